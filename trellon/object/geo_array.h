// The group sequence of Geo_Pattern 0: Geo_Array holds, for every copy slot of the path, the
// sequence group placed there, drawn at random once and then kept, so the layout stays put from
// build to build and is saved with the scene.
#pragma once

#include "maxtypes.h"

class IParamBlock2;
class Random;

namespace trellon {
// The number of sequence groups G: the last row's Sequence_Groups value + 1, or 0 without rows
// (group numbers are consecutive, so the last row has the largest).
int SequenceGroupCount(IParamBlock2& pb, TimeValue t);

// Brings Geo_Array to length m (a negative m counts as 0): a longer array keeps its first m
// entries; a shorter one is extended with generator.rand() % G for each new entry, G as above, in
// one Append. With G <= 0 nothing is appended, so the array stays shorter than m.
void FitGroupSequence(IParamBlock2& pb, TimeValue t, int m, Random& generator);

}  // namespace trellon
