// The materials and images of a .glb file, gathered while its nodes are planned.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "imtl.h"
#include "maxtypes.h"

namespace host::gltf {

using json = nlohmann::ordered_json;

// The images the materials' textures show, embedded at the start of the binary part. A PNG or
// JPEG file goes in as it is; any other image the host reads (BMP, TGA, ...) is decoded and
// written as PNG, the formats a glTF viewer must read. A file that cannot be read any more gives
// no image, and its material shows its colour alone.
class ImageTable {
public:
    struct Image {
        std::string name;  // the file's name, without its folders
        std::string mimeType;
        std::vector<unsigned char> bytes;
        std::uint64_t at = 0;  // offset in the binary part
    };

    // The image index for a file, or -1.
    int Index(const std::string& file);

    const std::vector<Image>& Images() const { return images_; }
    // The bytes the images take, each padded to 4.
    std::uint64_t Bytes() const { return bytes_; }

private:
    static bool Read(const std::string& file, Image& image);

    std::map<std::string, int> byFile_;
    std::vector<Image> images_;
    std::uint64_t bytes_ = 0;
};

// The glTF materials: one per host material shown (under another name where a palette colour
// stands in for an item that has no material of its own), one per wire colour used without one.
//
// A host material becomes what ShowMaterial makes of it: its base colour decoded from sRGB (a
// texture's tint is decoded the same way, which keeps a tint of 1 at 1 and darkens the way the
// eye expects), its bitmap diffuse map as the base-colour texture (repeated, as the host tiles
// maps), 1 - its reflection glossiness as roughness; never metallic. A wire colour is a plain
// colour with roughness 0.7.
class MaterialTable {
public:
    explicit MaterialTable(ImageTable& images) : images_(images) {}

    // `standIn`: the name the material takes (an item's name, for a palette colour); empty keeps
    // the material's own.
    int Index(Mtl* m, DWORD wireColor, const std::string& standIn = {});

    const json& Materials() const { return materials_; }
    const json& Textures() const { return textures_; }

private:
    json Make(Mtl* m, const std::string& standIn);
    int Texture(const std::string& file);
    int Add(json material);

    ImageTable& images_;
    json materials_ = json::array();
    json textures_ = json::array();
    std::map<std::pair<Mtl*, std::string>, int> byMtl_;
    std::map<std::pair<DWORD, std::string>, int> byWire_;
    std::map<int, int> byImage_;
};

}  // namespace host::gltf
