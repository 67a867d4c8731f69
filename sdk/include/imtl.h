// Materials and texture maps: MtlBase (name, flags, sub-maps), Mtl, MultiMtl, Texmap, BitmapTex.
//
// The name and the flags are kept here; the shading itself is the host's (its material classes
// implement Mtl). A material's sub-materials and maps are its references, so the host's classes
// keep them through ReplaceReference.
//
// CombineMaterials(m1, m2, mat2Offset) makes one material for two objects being joined: a new
// multi-material (created through the core interface) whose slots are m1's sub-materials (or m1
// itself when it is not a multi) followed by m2's (or m2). mat2Offset is the number of slots m1
// contributes, to be added to the joined object's material IDs. When either is null, or both are
// the same material, no new material is made: the non-null one (m1 first) is returned with
// mat2Offset 0. Null when the host cannot create a multi-material.
#pragma once

#include "color.h"
#include "ref.h"
#include "strclass.h"
#include "superclassids.h"

class Bitmap;
class Texmap;

// MtlBase flags (SetMtlFlag / ClearMtlFlag / TestMtlFlag).
constexpr int MTL_IN_SCENE = 1 << 0;
constexpr int MTL_BEING_EDITED = 1 << 1;
constexpr int MTL_TEX_DISPLAY_ENABLED = 1 << 8;  // a map of it shows in the viewports
constexpr int MTL_HW_TEX_ENABLED = 1 << 9;

class MtlBase : public ReferenceTarget {
public:
    virtual MSTR GetName() { return name_; }
    virtual void SetName(const MSTR& s) { name_ = s; }
    void SetMtlFlag(int mask, BOOL val = TRUE) {
        if (val) {
            flags_ |= static_cast<DWORD>(mask);
        } else {
            flags_ &= ~static_cast<DWORD>(mask);
        }
    }
    void ClearMtlFlag(int mask) { flags_ &= ~static_cast<DWORD>(mask); }
    int TestMtlFlag(int mask) const { return (flags_ & static_cast<DWORD>(mask)) != 0 ? 1 : 0; }

    virtual int NumSubTexmaps() { return 0; }
    virtual Texmap* GetSubTexmap(int /*i*/) { return nullptr; }
    virtual void SetSubTexmap(int /*i*/, Texmap* /*m*/) {}
    virtual MSTR GetSubTexmapSlotName(int /*i*/) { return MSTR(); }

    // Switches the display of this map in the viewports on or off (a map's own flag; the host
    // shows the map only where a material activates it, Interface::ActivateTexture).
    virtual void ActivateTexDisplay(BOOL onoff) { texDisplay_ = onoff != FALSE; }
    // Stand-in extension: whether ActivateTexDisplay last switched the display on.
    bool TexDisplayActive() const { return texDisplay_; }

private:
    MSTR name_;
    DWORD flags_ = 0;
    bool texDisplay_ = false;
};

class Mtl : public MtlBase {
public:
    SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }

    virtual int NumSubMtls() { return 0; }
    virtual Mtl* GetSubMtl(int /*i*/) { return nullptr; }
    virtual void SetSubMtl(int /*i*/, Mtl* /*m*/) {}
    virtual MSTR GetSubMtlSlotName(int /*i*/) { return MSTR(); }
    virtual BOOL IsMultiMtl() { return FALSE; }

    virtual Color GetAmbient(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    virtual Color GetDiffuse(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    virtual Color GetSpecular(int mtlNum = 0, BOOL backFace = FALSE) = 0;
    // Sets the diffuse colour at time t. A material class that keeps a diffuse colour overrides
    // it; the base has no colour to set.
    virtual void SetDiffuse(Color /*c*/, TimeValue /*t*/) {}

    // The map shown in the viewports for this material (not a reference).
    virtual void SetActiveTexmap(MtlBase* txm) { activeTexmap_ = txm; }
    virtual MtlBase* GetActiveTexmap() { return activeTexmap_; }

private:
    MtlBase* activeTexmap_ = nullptr;
};

// A multi/sub-object material (class Class_ID(MULTI_CLASS_ID, 0)).
class MultiMtl : public Mtl {
public:
    BOOL IsMultiMtl() override { return TRUE; }
    virtual void SetNumSubMtls(int n) = 0;
};

class Texmap : public MtlBase {
public:
    SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
};

// A bitmap texture (class Class_ID(BMTEX_CLASS_ID, 0)): an image file. GetBitmap gives the loaded
// image, or null when the file is missing or cannot be read (the map is then shown as a blank
// slot and renders black).
class BitmapTex : public Texmap {
public:
    virtual const MCHAR* GetMapName() = 0;
    virtual void SetMapName(const MCHAR* name, bool isUIAction = false) = 0;
    virtual Bitmap* GetBitmap(TimeValue t) = 0;
};

Mtl* CombineMaterials(Mtl* m1, Mtl* m2, int& mat2Offset);
