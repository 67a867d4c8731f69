#include "shown_material.h"

#include <stb_image.h>

#include <algorithm>
#include <cmath>

#include "imtl.h"
#include "inode.h"
#include "iparamb2.h"
#include "material_classes.h"
#include "materials.h"
#include "object_functions.h"
#include "scene.h"
#include "scene_objects.h"
#include "strclass.h"

namespace host {
namespace {

// Material trees are shallow; the limit only guards against one that holds itself.
constexpr int kMaxDepth = 16;

// The item palette wraps item numbers into 1 .. 26; sweeps start at 27.
constexpr int kItemIds = 26;
constexpr int kFirstSweepId = 27;

Color ToHsv(const Color& c) {
    const float mx = std::max({c.r, c.g, c.b});
    const float mn = std::min({c.r, c.g, c.b});
    const float d = mx - mn;
    float h = 0.0f;
    if (d > 0.0f) {
        if (mx == c.r) {
            h = std::fmod((c.g - c.b) / d, 6.0f);
        } else if (mx == c.g) {
            h = (c.b - c.r) / d + 2.0f;
        } else {
            h = (c.r - c.g) / d + 4.0f;
        }
        h *= 60.0f;
        if (h < 0.0f) h += 360.0f;
    }
    return Color(h, mx > 0.0f ? d / mx : 0.0f, mx);
}

Color FromHsv(const Color& hsv) {
    const float h = std::fmod(std::fmod(hsv.r, 360.0f) + 360.0f, 360.0f) / 60.0f;
    const float c = hsv.b * hsv.g;
    const float x = c * (1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f));
    const float m = hsv.b - c;
    Color rgb;
    switch (static_cast<int>(h)) {
        case 0:
            rgb = Color(c, x, 0.0f);
            break;
        case 1:
            rgb = Color(x, c, 0.0f);
            break;
        case 2:
            rgb = Color(0.0f, c, x);
            break;
        case 3:
            rgb = Color(0.0f, x, c);
            break;
        case 4:
            rgb = Color(x, 0.0f, c);
            break;
        default:
            rgb = Color(c, 0.0f, x);
            break;
    }
    return Color(rgb.r + m, rgb.g + m, rgb.b + m);
}

Texmap* DiffuseMapOf(Mtl* m) {
    const MaterialClass* cls = ClassOf(m);
    IParamBlock2* pb = m ? m->GetParamBlock(0) : nullptr;
    if (!cls || !pb || cls->diffuseMap < 0) return nullptr;
    return dynamic_cast<Texmap*>(pb->GetReferenceTarget(cls->diffuseMap));
}

// The image file of a bitmap that has an image, else empty.
std::string ImageOf(Texmap* map) {
    auto* bitmap = dynamic_cast<BitmapMap*>(map);
    if (!bitmap || bitmap->GetBitmap(0) == nullptr) return {};
    return ToUTF8(bitmap->File());
}

float RoughnessOf(Mtl* m) {
    const MaterialClass* cls = ClassOf(m);
    IParamBlock2* pb = m ? m->GetParamBlock(0) : nullptr;
    if (!cls || !pb || cls->glossiness < 0) return 1.0f;
    const float gloss = pb->GetFloat(cls->glossiness) / cls->glossinessScale;
    return std::clamp(1.0f - gloss, 0.0f, 1.0f);
}

// The leaf a material shows for its first face: itself, or a container's first material.
Mtl* ShownLeaf(Mtl* m) {
    for (int depth = 0; m && m->NumSubMtls() > 0 && depth < kMaxDepth; ++depth) {
        Mtl* first = nullptr;
        for (int i = 0; i < m->NumSubMtls() && !first; ++i) first = m->GetSubMtl(i);
        if (!first) break;
        m = first;
    }
    return m;
}

}  // namespace

Color CorrectColour(const Color& c, Texmap* correction) {
    IParamBlock2* pb = correction ? correction->GetParamBlock(0) : nullptr;
    if (!pb) return c;
    Color hsv = ToHsv(c);
    hsv.r += pb->GetFloat(7);
    hsv.g = std::clamp(hsv.g * (1.0f + pb->GetFloat(8) / 100.0f), 0.0f, 1.0f);
    Color rgb = FromHsv(hsv);
    const float brightness = pb->GetFloat(12) / 100.0f;
    const float contrast = 1.0f + pb->GetFloat(13) / 100.0f;
    for (int i = 0; i < 3; ++i) {
        rgb[i] = std::clamp((rgb[i] + brightness - 0.5f) * contrast + 0.5f, 0.0f, 1.0f);
    }
    return rgb;
}

std::optional<Color> MeanImageColour(const std::string& file) {
    int w = 0, h = 0, channels = 0;
    unsigned char* px = stbi_load(file.c_str(), &w, &h, &channels, 3);
    if (!px) return std::nullopt;
    double sum[3] = {0.0, 0.0, 0.0};
    const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    for (std::size_t i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) sum[k] += px[3 * i + static_cast<std::size_t>(k)];
    stbi_image_free(px);
    if (n == 0) return std::nullopt;
    const double scale = 1.0 / (255.0 * static_cast<double>(n));
    return Color(sum[0] * scale, sum[1] * scale, sum[2] * scale);
}

MaterialLook ShowMaterial(Mtl* m) {
    MaterialLook shown;
    if (!m) return shown;
    shown.name = ToUTF8(m->GetName().data());
    Mtl* leaf = ShownLeaf(m);
    shown.baseColour = leaf->GetDiffuse();
    shown.roughness = RoughnessOf(leaf);
    Texmap* map = DiffuseMapOf(leaf);
    if (map && map->ClassID() == kColorCorrectionClassID) {
        IParamBlock2* cc = map->GetParamBlock(0);
        const std::string image = ImageOf(dynamic_cast<Texmap*>(cc->GetReferenceTarget(1)));
        if (image.empty()) {
            shown.baseColour = CorrectColour(cc->GetColor(0), map);
        } else {
            shown.textureFile = image;
            shown.baseColour = Color(1.0f, 1.0f, 1.0f);
            if (const std::optional<Color> mean = MeanImageColour(image)) {
                const Color corrected = CorrectColour(*mean, map);
                for (int i = 0; i < 3; ++i) {
                    const float from = (*mean)[i];
                    shown.baseColour[i] =
                        from > 0.0f ? std::clamp(corrected[i] / from, 0.0f, 1.0f) : 1.0f;
                }
            }
        }
    } else if (const std::string image = ImageOf(map); !image.empty()) {
        // A texture shows as it is: the factor stays white.
        shown.textureFile = image;
        shown.baseColour = Color(1.0f, 1.0f, 1.0f);
    }
    return shown;
}

std::vector<FaceSource> TrellonFaceMaterials(Scene& scene, INode* node) {
    std::vector<FaceSource> table;
    Object* obj = node ? node->GetObjectRef() : nullptr;
    if (!obj || obj->ClassID() != kTrellonClassID) return table;
    FPValue items;
    std::string error;
    if (CallObjectFunction(scene, obj, _M("itemNodes"), {}, items, error) != FPS_OK ||
        base_type(items.type) != TYPE_INODE || !is_tab(items.type) || !items.n_tab) {
        return table;
    }
    table.resize(kFirstSweepId);
    for (int k = 0; k < items.n_tab->Count(); ++k) {
        FaceSource& source = table[static_cast<std::size_t>(k % kItemIds + 1)];
        INode* item = (*items.n_tab)[k];
        if (!source.name.empty() || !item) continue;
        source.material = item->GetMtl();
        source.name = ToUTF8(item->GetName());
    }
    // The profiles of the sweeps, from the block's list of them.
    if (IParamBlock2* pb = obj->GetParamBlock(0)) {
        ParamBlockDesc2* desc = pb->GetDesc();
        const int index = desc ? desc->NameToIndex(_M("Sweep_Nodes")) : -1;
        const ParamID id = index >= 0 ? desc->IndextoID(index) : -1;
        for (int k = 0; id >= 0 && k < pb->Count(id); ++k) {
            INode* profile = pb->GetINode(id, 0, k);
            FaceSource source;
            if (profile) {
                source.material = profile->GetMtl();
                source.name = ToUTF8(profile->GetName());
            }
            table.push_back(std::move(source));
        }
    }
    return table;
}

}  // namespace host
