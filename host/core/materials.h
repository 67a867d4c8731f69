// The host's materials. Every material keeps the class name the host reports for it
// ("Standard", "Multi/Sub-Object", "VRayMtl", ...), its diffuse colour, and its sub-materials by
// reference; a multi/sub-object material reports IsMultiMtl.
#pragma once

#include <string>
#include <vector>

#include "imtl.h"

namespace host {

// Class IDs the host gives the material classes it knows; the standard and multi/sub-object IDs
// are the SDK's.
Class_ID MaterialClassIdFor(const std::wstring& className);

class Material : public MultiMtl {
public:
    Material(std::wstring className, Class_ID classId, bool isMulti);

    Class_ID ClassID() override { return classId_; }
    void GetClassName(MSTR& s) override { s = MSTR(className_); }
    const std::wstring& HostClassName() const { return className_; }

    BOOL IsMultiMtl() override { return isMulti_ ? TRUE : FALSE; }
    int NumSubMtls() override { return static_cast<int>(subs_.size()); }
    Mtl* GetSubMtl(int i) override;
    void SetSubMtl(int i, Mtl* m) override;
    void SetNumSubMtls(int n) override;

    Color GetAmbient(int mtlNum = 0, BOOL backFace = FALSE) override;
    Color GetDiffuse(int mtlNum = 0, BOOL backFace = FALSE) override;
    Color GetSpecular(int mtlNum = 0, BOOL backFace = FALSE) override;
    void SetDiffuse(const Color& c) { diffuse_ = c; }
    void SetDiffuse(Color c, TimeValue /*t*/) override { diffuse_ = c; }

    int NumSubTexmaps() override { return 1; }
    Texmap* GetSubTexmap(int i) override { return i == 0 ? diffuseMap_ : nullptr; }
    void SetSubTexmap(int i, Texmap* m) override;

    int NumRefs() override { return 1 + static_cast<int>(subs_.size()); }
    RefTargetHandle GetReference(int i) override;
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
    ReferenceTarget* Clone(RemapDir& remap) override;

private:
    void SetReference(int i, RefTargetHandle rtarg) override;

    std::wstring className_;
    Class_ID classId_;
    bool isMulti_;
    Color diffuse_{0.5f, 0.5f, 0.5f};
    Texmap* diffuseMap_ = nullptr;  // reference 0
    std::vector<Mtl*> subs_;        // references 1..n
};

// A bitmap texture: a file name.
class BitmapTex : public Texmap {
public:
    explicit BitmapTex(std::wstring file) : file_(std::move(file)) {}
    Class_ID ClassID() override { return Class_ID(0x00000240, 0); }
    void GetClassName(MSTR& s) override { s = MSTR(_M("Bitmap")); }
    const std::wstring& File() const { return file_; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }

private:
    std::wstring file_;
};

}  // namespace host
