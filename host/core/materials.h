// The host's materials and texture maps. Every one is an instance of a class of the table in
// material_classes.h and keeps its values in its parameter block 0 (reference 0): colours,
// floats, file names, and its sub-materials and sub-maps as references of the block, so a clone
// through a remap directory copies the whole tree. Sub-materials are the block's material
// parameters in order (a table parameter gives one per entry), sub-maps its map parameters.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bitmap.h"
#include "imtl.h"
#include "material_classes.h"

namespace host {

// A new material or map of a class of the table (a Bitmap is a BitmapMap), its block at the
// class's starting values; null for a class the table does not have.
MtlBase* NewMaterialOrMap(const MaterialClass& cls);
// The same by class name as the host reports it; null for an unknown name.
MtlBase* NewMaterialOrMap(const std::wstring& className);

// The class of a host material or map; null for anything else.
const MaterialClass* ClassOf(MtlBase* m);

// The parameters a material or map keeps in its block, common to materials and maps.
class ParamBlockHolder {
public:
    explicit ParamBlockHolder(const MaterialClass& cls) : cls_(&cls) {}
    const MaterialClass& Class() const { return *cls_; }

protected:
    // The block's sub-objects of one kind (TYPE_MTL or TYPE_TEXMAP): how many, the n-th (its
    // parameter and table entry), its slot name.
    int CountOf(IParamBlock2* pb, int type) const;
    bool Locate(IParamBlock2* pb, int type, int n, ParamID& id, int& entry) const;
    MSTR SlotName(IParamBlock2* pb, int type, int n) const;

    const MaterialClass* cls_;
};

// Parameter block 0 as reference 0, the one reference every material and map of the table has:
// the block and reference overrides each would otherwise repeat, and the end of their clones.
template <class Base>
class BlockOwner : public Base {
public:
    int NumParamBlocks() override { return 1; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock_ : nullptr; }
    IParamBlock2* GetParamBlockByID(short id) override { return id == 0 ? pblock_ : nullptr; }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? pblock_ : nullptr; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }

protected:
    // Finishes a clone made of the same class: the name, the block cloned through remap (the
    // sub-materials and maps with it) and what BaseClone copies.
    ReferenceTarget* FinishClone(BlockOwner* copy, RemapDir& remap) {
        copy->SetName(this->GetName());
        copy->ReplaceReference(0, remap.CloneRef(pblock_));
        this->BaseClone(this, copy, remap);
        return copy;
    }

    IParamBlock2* pblock_ = nullptr;

private:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pblock_ = dynamic_cast<IParamBlock2*>(rtarg);
    }
};

class Material : public BlockOwner<MultiMtl>, public ParamBlockHolder {
public:
    explicit Material(const MaterialClass& cls);

    Class_ID ClassID() override { return Class().classId; }
    void GetClassName(MSTR& s) override { s = MSTR(Class().name); }

    BOOL IsMultiMtl() override { return Class().kind == MaterialKind::Multi ? TRUE : FALSE; }
    int NumSubMtls() override;
    Mtl* GetSubMtl(int i) override;
    void SetSubMtl(int i, Mtl* m) override;
    MSTR GetSubMtlSlotName(int i) override;
    // A multi/sub-object material's number of slots; other classes keep their fixed slots.
    void SetNumSubMtls(int n) override;
    // The sub-materials in slot order: a multi's list, a container's slots and then its table
    // of further materials (sized to what is left); slots past the end are left empty, and
    // materials past the class's room are not taken.
    void SetSubMaterials(const std::vector<Mtl*>& subs);

    int NumSubTexmaps() override;
    Texmap* GetSubTexmap(int i) override;
    void SetSubTexmap(int i, Texmap* m) override;
    MSTR GetSubTexmapSlotName(int i) override;

    // The diffuse colour: a leaf's diffuse parameter; a multi's sub-material mtlNum's; a
    // container's first material's; grey without any.
    Color GetAmbient(int mtlNum = 0, BOOL backFace = FALSE) override;
    Color GetDiffuse(int mtlNum = 0, BOOL backFace = FALSE) override;
    Color GetSpecular(int mtlNum = 0, BOOL backFace = FALSE) override;
    void SetDiffuse(Color c, TimeValue t) override;
    // The diffuse map of a leaf (its class's diffuse map parameter), or null.
    Texmap* DiffuseMap();

    ReferenceTarget* Clone(RemapDir& remap) override;
};

// A map of the table other than a bitmap (the colour-correction map).
class TextureMap : public BlockOwner<Texmap>, public ParamBlockHolder {
public:
    explicit TextureMap(const MaterialClass& cls);

    Class_ID ClassID() override { return Class().classId; }
    void GetClassName(MSTR& s) override { s = MSTR(Class().name); }
    int NumSubTexmaps() override;
    Texmap* GetSubTexmap(int i) override;
    void SetSubTexmap(int i, Texmap* m) override;
    MSTR GetSubTexmapSlotName(int i) override;

    ReferenceTarget* Clone(RemapDir& remap) override;
};

// An image file read by the host: its size (the pixels stay in the file).
class LoadedImage : public Bitmap {
public:
    LoadedImage(int width, int height) : width_(width), height_(height) {}
    int Width() override { return width_; }
    int Height() override { return height_; }

private:
    int width_;
    int height_;
};

// A bitmap texture: its file name in the block (an absolute path once a scene file is read).
// The image is read when it is first asked for and read again after the name changes; a file
// that is missing or no image gives no bitmap.
class BitmapMap : public BlockOwner<BitmapTex>, public ParamBlockHolder {
public:
    BitmapMap();
    explicit BitmapMap(const std::wstring& file);

    Class_ID ClassID() override { return Class().classId; }
    void GetClassName(MSTR& s) override { s = MSTR(Class().name); }
    const MCHAR* GetMapName() override;
    void SetMapName(const MCHAR* name, bool isUIAction = false) override;
    Bitmap* GetBitmap(TimeValue t) override;
    std::wstring File() { return GetMapName(); }

    ReferenceTarget* Clone(RemapDir& remap) override;

private:
    std::unique_ptr<LoadedImage> image_;
    std::wstring imageOf_;  // the file name the image was read from
};

}  // namespace host
