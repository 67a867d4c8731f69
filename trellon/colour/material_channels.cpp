#include "colour/material_channels.h"

#include <array>
#include <cwctype>
#include <string_view>

#include "imtl.h"
#include "maxapi.h"

namespace trellon {
namespace {

struct ClassChannel {
    std::wstring_view name;
    DiffuseChannel channel;
};

constexpr DiffuseChannel kLeafAt0{ShiftKind::Leaf, 0, 10};
constexpr DiffuseChannel kContainer{ShiftKind::Container, -1, -1};

constexpr std::array<ClassChannel, 39> kClasses{{
    {L"Standard", {ShiftKind::Leaf, 1, 11}},
    {L"VRayMtl", kLeafAt0},
    {L"CoronaMtl", kLeafAt0},
    {L"Blend", kContainer},
    {L"Double Sided", kContainer},
    {L"Shell Material", kContainer},
    {L"Shellac", kContainer},
    {L"Top/Bottom", kContainer},
    {L"VRay2SidedMtl", kContainer},
    {L"VRayBlendMtl", kContainer},
    {L"VRayMtlWrapper", kContainer},
    {L"fR-2Sided", kContainer},
    {L"fR-Advanced", kLeafAt0},
    {L"fR-Architectural", kLeafAt0},
    {L"fR-CarPaint", kLeafAt0},
    {L"fR-CarPaint2", kLeafAt0},
    {L"fR-CD", kLeafAt0},
    {L"fR-Dirt", kLeafAt0},
    {L"fR-DistantFur", kLeafAt0},
    {L"fR-Electron", kLeafAt0},
    {L"fR-FastSkin", kLeafAt0},
    {L"fR-Fillet", kLeafAt0},
    {L"fR-Ghost", kLeafAt0},
    {L"fR-Glass", kLeafAt0},
    {L"fR-Matte/Shadow", kLeafAt0},
    {L"fR-Metal", kLeafAt0},
    {L"fR-Override", kContainer},
    {L"fR-REWrapper", kContainer},
    {L"fR-Skin", kLeafAt0},
    {L"fR-Skin2", kLeafAt0},
    {L"fR-ThinFilm", kLeafAt0},
    {L"fR-Velvet", kLeafAt0},
    {L"fR-VolumeSolid", kLeafAt0},
    {L"fR-Volumetric", kLeafAt0},
    {L"fR-Waves", kLeafAt0},
    {L"fR-Wax", kLeafAt0},
    {L"fR-Wet", kLeafAt0},
    {L"fR-Wire", kLeafAt0},
    {L"fR-XRay", kLeafAt0},
}};

wchar_t Fold(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

bool SameNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

}  // namespace

DiffuseChannel DiffuseChannelOf(const std::wstring& className) {
    for (const ClassChannel& c : kClasses) {
        if (c.name == className) return c.channel;
    }
    return {};
}

bool ShiftDiffuse(Mtl& mtl, const ColourOffsets& offsets, TimeValue t) {
    MSTR className;
    mtl.GetClassName(className);
    const DiffuseChannel channel = DiffuseChannelOf(className.data());
    if (channel.kind != ShiftKind::Leaf) return false;
    IParamBlock2* pb = mtl.GetParamBlock(0);
    if (!pb) return false;
    auto* correction =
        static_cast<Texmap*>(CreateInstance(TEXMAP_CLASS_ID, kColourCorrectionClassID));
    if (!correction) return false;
    IParamBlock2* cc = correction->GetParamBlock(0);
    if (!cc) {
        correction->DeleteThis();
        return false;
    }
    // The material's own map goes through the correction; without one, its colour does.
    if (ReferenceTarget* map = pb->GetReferenceTarget(channel.map, t)) {
        cc->SetValue(kCorrectionMap, t, map);
    } else {
        cc->SetValue(kCorrectionColour, t, pb->GetColor(channel.colour, t));
    }
    cc->SetValue(kCorrectionHue, t, offsets.hue);
    cc->SetValue(kCorrectionSaturation, t, offsets.saturation);
    cc->SetValue(kCorrectionBrightness, t, offsets.brightness);
    cc->SetValue(kCorrectionContrast, t, offsets.contrast);
    pb->SetValue(channel.map, t, correction);
    return true;
}

bool NameMatchesEntry(const std::wstring& name, const std::wstring& pattern) {
    if (!pattern.empty() && pattern.back() == L'*') {
        const std::wstring_view prefix(pattern.data(), pattern.size() - 1);
        return name.size() >= prefix.size() &&
               SameNoCase(std::wstring_view(name).substr(0, prefix.size()), prefix);
    }
    return SameNoCase(name, pattern);
}

}  // namespace trellon
