#include "materials.h"

namespace host {

Class_ID MaterialClassIdFor(const std::wstring& className) {
    if (className == L"Standard") return Class_ID(DMTL_CLASS_ID, 0);
    if (className == L"Multi/Sub-Object") return Class_ID(MULTI_CLASS_ID, 0);
    // Any other class gets a stable ID of its own from its name, so scenes can tell them apart.
    ULONG h = 2166136261u;
    for (wchar_t c : className) h = (h ^ static_cast<ULONG>(c)) * 16777619u;
    return Class_ID(0x7A000000u | (h & 0x00FFFFFFu), 0x4D544C00u);
}

Material::Material(std::wstring className, Class_ID classId, bool isMulti)
    : className_(std::move(className)), classId_(classId), isMulti_(isMulti) {}

Mtl* Material::GetSubMtl(int i) {
    if (i < 0 || i >= NumSubMtls()) return nullptr;
    return subs_[static_cast<std::size_t>(i)];
}

void Material::SetSubMtl(int i, Mtl* m) {
    if (i < 0) return;
    if (i >= NumSubMtls()) SetNumSubMtls(i + 1);
    ReplaceReference(i + 1, m);
}

void Material::SetNumSubMtls(int n) {
    if (n < 0) n = 0;
    while (NumSubMtls() > n) {
        DeleteReference(NumSubMtls());
        subs_.pop_back();
    }
    subs_.resize(static_cast<std::size_t>(n), nullptr);
}

Color Material::GetAmbient(int, BOOL) { return diffuse_ * 0.5f; }
Color Material::GetDiffuse(int, BOOL) { return diffuse_; }
Color Material::GetSpecular(int, BOOL) { return Color(0.9f, 0.9f, 0.9f); }

void Material::SetSubTexmap(int i, Texmap* m) {
    if (i == 0) ReplaceReference(0, m);
}

RefTargetHandle Material::GetReference(int i) {
    if (i == 0) return diffuseMap_;
    if (i >= 1 && i <= NumSubMtls()) return subs_[static_cast<std::size_t>(i - 1)];
    return nullptr;
}

void Material::SetReference(int i, RefTargetHandle rtarg) {
    if (i == 0) {
        diffuseMap_ = dynamic_cast<Texmap*>(rtarg);
    } else if (i >= 1 && i <= NumSubMtls()) {
        subs_[static_cast<std::size_t>(i - 1)] = dynamic_cast<Mtl*>(rtarg);
    }
}

ReferenceTarget* Material::Clone(RemapDir& remap) {
    auto* m = new Material(className_, classId_, isMulti_);
    m->SetName(GetName());
    m->diffuse_ = diffuse_;
    m->SetNumSubMtls(NumSubMtls());
    for (int i = 0; i < NumRefs(); ++i) {
        if (RefTargetHandle r = GetReference(i)) m->ReplaceReference(i, remap.CloneRef(r));
    }
    BaseClone(this, m, remap);
    return m;
}

}  // namespace host
