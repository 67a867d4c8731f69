// Joining two materials into a multi-material.
#include "imtl.h"

#include <vector>

#include "maxapi.h"

namespace {

// The slots a material contributes: its sub-materials when it is a multi, else itself.
std::vector<Mtl*> Slots(Mtl* m) {
    std::vector<Mtl*> out;
    if (m->IsMultiMtl()) {
        for (int i = 0; i < m->NumSubMtls(); ++i) out.push_back(m->GetSubMtl(i));
    } else {
        out.push_back(m);
    }
    return out;
}

}  // namespace

Mtl* CombineMaterials(Mtl* m1, Mtl* m2, int& mat2Offset) {
    mat2Offset = 0;
    if (!m1 || !m2 || m1 == m2) return m1 ? m1 : m2;

    const std::vector<Mtl*> first = Slots(m1);
    const std::vector<Mtl*> second = Slots(m2);
    auto* created =
        static_cast<Animatable*>(CreateInstance(MATERIAL_CLASS_ID, Class_ID(MULTI_CLASS_ID, 0)));
    auto* multi = dynamic_cast<MultiMtl*>(created);
    if (!multi) {
        if (created) created->DeleteThis();
        return nullptr;
    }
    multi->SetNumSubMtls(static_cast<int>(first.size() + second.size()));
    int slot = 0;
    for (Mtl* m : first) multi->SetSubMtl(slot++, m);
    for (Mtl* m : second) multi->SetSubMtl(slot++, m);
    mat2Offset = static_cast<int>(first.size());
    return multi;
}
