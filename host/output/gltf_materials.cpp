#include "gltf_materials.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "color.h"
#include "shown_material.h"
#include "whole_file.h"

namespace host::gltf {
namespace {

constexpr double kRoughness = 0.7;

double SrgbToLinear(float c) {
    const double v = std::isfinite(c) ? std::clamp(static_cast<double>(c), 0.0, 1.0) : 0.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

json Colour(const std::string& name, const Color& c, double roughness) {
    json m = json::object();
    m["name"] = name;
    m["pbrMetallicRoughness"] = {
        {"baseColorFactor", {SrgbToLinear(c.r), SrgbToLinear(c.g), SrgbToLinear(c.b), 1.0}},
        {"metallicFactor", 0.0},
        {"roughnessFactor", roughness}};
    return m;
}

}  // namespace

int ImageTable::Index(const std::string& file) {
    auto [it, added] = byFile_.try_emplace(file, -1);
    if (!added) return it->second;
    Image image;
    if (!Read(file, image)) return -1;
    image.name = std::filesystem::path(file).filename().string();
    image.at = bytes_;
    bytes_ += (image.bytes.size() + 3) & ~std::uint64_t{3};
    images_.push_back(std::move(image));
    it->second = static_cast<int>(images_.size()) - 1;
    return it->second;
}

bool ImageTable::Read(const std::string& file, Image& image) {
    const std::optional<std::string> read = ReadWholeFile(file);
    if (!read) return false;
    image.bytes.assign(read->begin(), read->end());
    const auto& b = image.bytes;
    if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
        image.mimeType = "image/png";
        return true;
    }
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
        image.mimeType = "image/jpeg";
        return true;
    }
    int w = 0, h = 0, channels = 0;
    unsigned char* px =
        stbi_load_from_memory(b.data(), static_cast<int>(b.size()), &w, &h, &channels, 0);
    if (!px) return false;
    std::vector<unsigned char> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<unsigned char>*>(context);
            const auto* bytes = static_cast<const unsigned char*>(data);
            out->insert(out->end(), bytes, bytes + size);
        },
        &png, w, h, channels, px, w * channels);
    stbi_image_free(px);
    if (png.empty()) return false;
    image.bytes = std::move(png);
    image.mimeType = "image/png";
    return true;
}

int MaterialTable::Index(Mtl* m, DWORD wireColor, const std::string& standIn) {
    if (m) {
        auto [it, added] = byMtl_.try_emplace({m, standIn}, 0);
        if (added) it->second = Add(Make(m, standIn));
        return it->second;
    }
    const DWORD rgb = wireColor & 0x00FFFFFFu;
    auto [it, added] = byWire_.try_emplace({rgb, standIn}, 0);
    if (added) {
        char name[16];
        std::snprintf(name, sizeof(name), "Wire %02X%02X%02X", GetRValue(rgb), GetGValue(rgb),
                      GetBValue(rgb));
        it->second = Add(Colour(standIn.empty() ? name : standIn, Color(rgb), kRoughness));
    }
    return it->second;
}

json MaterialTable::Make(Mtl* m, const std::string& standIn) {
    const MaterialLook look = ShowMaterial(m);
    json material = Colour(standIn.empty() ? look.name : standIn, look.baseColour, look.roughness);
    if (!look.textureFile.empty()) {
        if (const int texture = Texture(look.textureFile); texture >= 0)
            material["pbrMetallicRoughness"]["baseColorTexture"] = {{"index", texture}};
    }
    return material;
}

int MaterialTable::Texture(const std::string& file) {
    const int image = images_.Index(file);
    if (image < 0) return -1;
    auto [it, added] = byImage_.try_emplace(image, 0);
    if (added) {
        textures_.push_back({{"sampler", 0}, {"source", image}});
        it->second = static_cast<int>(textures_.size()) - 1;
    }
    return it->second;
}

int MaterialTable::Add(json material) {
    materials_.push_back(std::move(material));
    return static_cast<int>(materials_.size()) - 1;
}

}  // namespace host::gltf
