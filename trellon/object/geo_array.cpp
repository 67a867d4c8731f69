#include "object/geo_array.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "iparamb2.h"
#include "object/param_ids.h"
#include "random.h"

namespace trellon {
int SequenceGroupCount(IParamBlock2& pb, TimeValue t) {
    const int rows = pb.Count(Sequence_Groups);
    if (rows <= 0) return 0;
    const int last = pb.GetInt(Sequence_Groups, t, rows - 1);
    if (last < 0) return 0;
    return last == std::numeric_limits<int>::max() ? last : last + 1;
}

void FitGroupSequence(IParamBlock2& pb, TimeValue t, int m, Random& generator) {
    m = std::max(m, 0);
    const int count = pb.Count(Geo_Array);
    if (count > m) {
        pb.Delete(Geo_Array, m, count - m);
        return;
    }
    const int groups = SequenceGroupCount(pb, t);
    if (count == m || groups <= 0) return;
    std::vector<int> draws(static_cast<size_t>(m - count));
    for (int& g : draws) g = generator.rand() % groups;
    pb.Append(Geo_Array, static_cast<int>(draws.size()), draws.data());
}

}  // namespace trellon
