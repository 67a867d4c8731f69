#include "materials.h"

#include <stb_image.h>

#include <string>

#include "strclass.h"

namespace host {
namespace {

bool IsTable(IParamBlock2* pb, int k) { return is_tab(pb->GetParameterType(pb->IndextoID(k))); }

// A new block of the class for owner, at the class's starting values, without notifying anyone
// (nothing refers to the owner yet).
IParamBlock2* NewBlock(const MaterialClass& cls, ReferenceMaker* owner) {
    IParamBlock2* pb = CreateParameterBlock2(cls.params, owner);
    pb->EnableNotifications(FALSE);
    for (const auto& [id, v] : cls.initial) {
        if (base_type(pb->GetParameterType(id)) == TYPE_RGBA) {
            pb->SetValue(id, 0, Point3(v, v, v));
        } else {
            pb->SetValue(id, 0, v);
        }
    }
    pb->EnableNotifications(TRUE);
    return pb;
}

// What a material or map shows for ClassOf, by its kind.
template <class T>
const MaterialClass* HolderClass(MtlBase* m) {
    auto* h = dynamic_cast<T*>(m);
    return h ? &h->Class() : nullptr;
}

}  // namespace

int ParamBlockHolder::CountOf(IParamBlock2* pb, int type) const {
    if (!pb) return 0;
    int n = 0;
    for (int k = 0; k < pb->NumParams(); ++k) {
        const ParamID id = pb->IndextoID(k);
        if (base_type(pb->GetParameterType(id)) != type) continue;
        n += IsTable(pb, k) ? pb->Count(id) : 1;
    }
    return n;
}

bool ParamBlockHolder::Locate(IParamBlock2* pb, int type, int n, ParamID& id, int& entry) const {
    if (!pb || n < 0) return false;
    for (int k = 0; k < pb->NumParams(); ++k) {
        id = pb->IndextoID(k);
        if (base_type(pb->GetParameterType(id)) != type) continue;
        const int here = IsTable(pb, k) ? pb->Count(id) : 1;
        if (n < here) {
            entry = IsTable(pb, k) ? n : 0;
            return true;
        }
        n -= here;
    }
    return false;
}

MSTR ParamBlockHolder::SlotName(IParamBlock2* pb, int type, int n) const {
    ParamID id = -1;
    int entry = 0;
    if (!Locate(pb, type, n, id, entry)) return MSTR();
    MSTR name = pb->GetParamDef(id).int_name;
    if (is_tab(pb->GetParameterType(id))) {
        MSTR number;
        number.printf(_M(" %d"), entry + 1);
        name += number;
    }
    return name;
}

// --- Material ------------------------------------------------------------------------------------

Material::Material(const MaterialClass& cls) : ParamBlockHolder(cls) {
    ReplaceReference(0, NewBlock(cls, this));
}

int Material::NumSubMtls() { return CountOf(pblock_, TYPE_MTL); }

Mtl* Material::GetSubMtl(int i) {
    ParamID id = -1;
    int entry = 0;
    if (!Locate(pblock_, TYPE_MTL, i, id, entry)) return nullptr;
    return dynamic_cast<Mtl*>(pblock_->GetReferenceTarget(id, 0, entry));
}

void Material::SetSubMtl(int i, Mtl* m) {
    if (i < 0) return;
    // A multi grows to hold the slot, as its material count would be raised.
    if (IsMultiMtl() && i >= NumSubMtls()) SetNumSubMtls(i + 1);
    ParamID id = -1;
    int entry = 0;
    if (Locate(pblock_, TYPE_MTL, i, id, entry)) pblock_->SetValue(id, 0, m, entry);
}

MSTR Material::GetSubMtlSlotName(int i) { return SlotName(pblock_, TYPE_MTL, i); }

void Material::SetNumSubMtls(int n) {
    if (!IsMultiMtl() || n < 0) return;
    pblock_->SetCount(0, n);
}

void Material::SetSubMaterials(const std::vector<Mtl*>& subs) {
    std::size_t next = 0;
    for (int k = 0; k < pblock_->NumParams(); ++k) {
        const ParamID id = pblock_->IndextoID(k);
        if (base_type(pblock_->GetParameterType(id)) != TYPE_MTL) continue;
        if (!IsTable(pblock_, k)) {
            if (next < subs.size()) pblock_->SetValue(id, 0, subs[next++]);
            continue;
        }
        const int rest = static_cast<int>(subs.size() - next);
        pblock_->SetCount(id, rest);
        for (int e = 0; e < rest; ++e) pblock_->SetValue(id, 0, subs[next++], e);
    }
}

int Material::NumSubTexmaps() { return CountOf(pblock_, TYPE_TEXMAP); }

Texmap* Material::GetSubTexmap(int i) {
    ParamID id = -1;
    int entry = 0;
    if (!Locate(pblock_, TYPE_TEXMAP, i, id, entry)) return nullptr;
    return dynamic_cast<Texmap*>(pblock_->GetReferenceTarget(id, 0, entry));
}

void Material::SetSubTexmap(int i, Texmap* m) {
    ParamID id = -1;
    int entry = 0;
    if (Locate(pblock_, TYPE_TEXMAP, i, id, entry)) pblock_->SetValue(id, 0, m, entry);
}

MSTR Material::GetSubTexmapSlotName(int i) { return SlotName(pblock_, TYPE_TEXMAP, i); }

Color Material::GetDiffuse(int mtlNum, BOOL backFace) {
    const MaterialClass& c = Class();
    if (c.diffuseColour >= 0) return pblock_->GetColor(c.diffuseColour);
    const int n = NumSubMtls();
    if (n > 0) {
        Mtl* sub = GetSubMtl(c.kind == MaterialKind::Multi ? (mtlNum % n + n) % n : 0);
        if (sub) return sub->GetDiffuse(mtlNum, backFace);
    }
    return Color(0.5f, 0.5f, 0.5f);
}

Color Material::GetAmbient(int mtlNum, BOOL backFace) {
    return GetDiffuse(mtlNum, backFace) * 0.5f;
}

Color Material::GetSpecular(int /*mtlNum*/, BOOL /*backFace*/) {
    if (Class().name == L"Standard") return pblock_->GetColor(2);
    return Color(0.9f, 0.9f, 0.9f);
}

void Material::SetDiffuse(Color c, TimeValue t) {
    if (Class().diffuseColour >= 0) pblock_->SetValue(Class().diffuseColour, t, c);
}

Texmap* Material::DiffuseMap() {
    if (Class().diffuseMap < 0) return nullptr;
    return dynamic_cast<Texmap*>(pblock_->GetReferenceTarget(Class().diffuseMap));
}

ReferenceTarget* Material::Clone(RemapDir& remap) {
    return FinishClone(new Material(Class()), remap);
}

// --- TextureMap ----------------------------------------------------------------------------------

TextureMap::TextureMap(const MaterialClass& cls) : ParamBlockHolder(cls) {
    ReplaceReference(0, NewBlock(cls, this));
}

int TextureMap::NumSubTexmaps() { return CountOf(pblock_, TYPE_TEXMAP); }

Texmap* TextureMap::GetSubTexmap(int i) {
    ParamID id = -1;
    int entry = 0;
    if (!Locate(pblock_, TYPE_TEXMAP, i, id, entry)) return nullptr;
    return dynamic_cast<Texmap*>(pblock_->GetReferenceTarget(id, 0, entry));
}

void TextureMap::SetSubTexmap(int i, Texmap* m) {
    ParamID id = -1;
    int entry = 0;
    if (Locate(pblock_, TYPE_TEXMAP, i, id, entry)) pblock_->SetValue(id, 0, m, entry);
}

MSTR TextureMap::GetSubTexmapSlotName(int i) { return SlotName(pblock_, TYPE_TEXMAP, i); }

ReferenceTarget* TextureMap::Clone(RemapDir& remap) {
    return FinishClone(new TextureMap(Class()), remap);
}

// --- BitmapMap -----------------------------------------------------------------------------------

BitmapMap::BitmapMap() : ParamBlockHolder(*FindMaterialClass(L"Bitmap")) {
    ReplaceReference(0, NewBlock(Class(), this));
}

BitmapMap::BitmapMap(const std::wstring& file) : BitmapMap() { SetMapName(file.c_str()); }

const MCHAR* BitmapMap::GetMapName() { return pblock_->GetStr(0); }

void BitmapMap::SetMapName(const MCHAR* name, bool /*isUIAction*/) {
    pblock_->SetValue(0, 0, name ? name : _M(""));
}

Bitmap* BitmapMap::GetBitmap(TimeValue /*t*/) {
    const std::wstring file = GetMapName();
    if (file != imageOf_) {
        image_.reset();
        imageOf_ = file;
        int w = 0, h = 0, channels = 0;
        if (!file.empty() && stbi_info(ToUTF8(file).c_str(), &w, &h, &channels) && w > 0 && h > 0) {
            image_ = std::make_unique<LoadedImage>(w, h);
        }
    }
    return image_.get();
}

ReferenceTarget* BitmapMap::Clone(RemapDir& remap) { return FinishClone(new BitmapMap(), remap); }

// --- Making and recognising
// ------------------------------------------------------------------------

MtlBase* NewMaterialOrMap(const MaterialClass& cls) {
    if (cls.kind != MaterialKind::Map) return new Material(cls);
    if (cls.classId == Class_ID(BMTEX_CLASS_ID, 0)) return new BitmapMap();
    return new TextureMap(cls);
}

MtlBase* NewMaterialOrMap(const std::wstring& className) {
    const MaterialClass* cls = FindMaterialClass(className);
    return cls ? NewMaterialOrMap(*cls) : nullptr;
}

const MaterialClass* ClassOf(MtlBase* m) {
    if (const MaterialClass* c = HolderClass<Material>(m)) return c;
    if (const MaterialClass* c = HolderClass<TextureMap>(m)) return c;
    return HolderClass<BitmapMap>(m);
}

}  // namespace host
