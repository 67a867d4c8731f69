// Reading and writing whole tables of a parameter block, so a test compares a table with the
// list it expects in one line.
#pragma once

#include <string>
#include <vector>

#include "inode.h"
#include "iparamb2.h"

namespace support {

inline std::vector<int> Ints(IParamBlock2* pb, ParamID id) {
    std::vector<int> v;
    for (int i = 0; i < pb->Count(id); ++i) v.push_back(pb->GetInt(id, 0, i));
    return v;
}

inline std::vector<float> Floats(IParamBlock2* pb, ParamID id) {
    std::vector<float> v;
    for (int i = 0; i < pb->Count(id); ++i) v.push_back(pb->GetFloat(id, 0, i));
    return v;
}

inline std::vector<Point3> Points(IParamBlock2* pb, ParamID id) {
    std::vector<Point3> v;
    for (int i = 0; i < pb->Count(id); ++i) v.push_back(pb->GetPoint3(id, 0, i));
    return v;
}

inline std::vector<std::wstring> Names(IParamBlock2* pb, ParamID id) {
    std::vector<std::wstring> v;
    for (int i = 0; i < pb->Count(id); ++i) v.emplace_back(pb->GetStr(id, 0, i));
    return v;
}

// The names of the nodes of a node table, "null" for an empty entry.
inline std::vector<std::wstring> NodeNames(IParamBlock2* pb, ParamID id) {
    std::vector<std::wstring> v;
    for (int i = 0; i < pb->Count(id); ++i) {
        INode* n = pb->GetINode(id, 0, i);
        v.emplace_back(n ? n->GetName() : L"null");
    }
    return v;
}

inline void SetInts(IParamBlock2* pb, ParamID id, const std::vector<int>& values) {
    pb->ZeroCount(id);
    for (int v : values) pb->Append(id, 1, &v);
}

}  // namespace support
