// The sideways offset of the working paths from the global entry (working_path.h).
#include "distribute/working_path.h"

#include "object/param_ids.h"

namespace trellon {
float GlobalPathOffset(IParamBlock2* pblock, TimeValue t) {
    if (!pblock) return 0.0f;
    // GetValue leaves a zero behind for an entry the table does not have.
    Interval valid = FOREVER;
    int random = 0;
    float offset = 0.0f;
    pblock->GetValue(Item_Random_Trans, t, random, valid, 0);
    pblock->GetValue(Item_Pos_InOut, t, offset, valid, 0);
    if (random == 0) return offset;
    // A randomised offset is drawn per copy between the two values; the path runs at their mean.
    float upper = 0.0f;
    pblock->GetValue(Item_Pos_InOut_Random, t, upper, valid, 0);
    return (offset + upper) * 0.5f;
}

}  // namespace trellon
