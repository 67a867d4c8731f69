// Reading a .glb back in tests: its JSON chunk (with nlohmann-json), its binary chunk, the data
// of an accessor, the vertex and face totals a viewer shows, and the container and accessor rules
// of glTF 2.0 that a validator checks.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace glbtest {

struct Glb {
    nlohmann::json json;
    std::vector<unsigned char> bin;
};

// A little-endian number of type T at byte `at`.
template <class T>
T Read(const std::vector<unsigned char>& b, std::size_t at) {
    T v{};
    std::memcpy(&v, b.data() + at, sizeof(T));
    return v;
}

inline std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) {
    return Read<std::uint32_t>(b, at);
}

// The two chunks of a .glb's bytes; false with a reason when the container is malformed.
inline bool ParseGlb(const std::string& bytes, Glb& out, std::string& error) {
    const auto fail = [&error](const char* why) {
        error = why;
        return false;
    };
    const std::vector<unsigned char> b(bytes.begin(), bytes.end());
    if (b.size() < 20 || std::memcmp(b.data(), "glTF", 4) != 0 || U32(b, 4) != 2)
        return fail("not a glTF 2.0 binary");
    if (U32(b, 8) != b.size() || b.size() % 4 != 0)
        return fail("the header's length is not the file's, or not a multiple of 4");
    const std::uint32_t jsonLength = U32(b, 12);
    if (U32(b, 16) != 0x4E4F534Au || jsonLength % 4 != 0 || 20ull + jsonLength > b.size())
        return fail("bad JSON chunk");
    out.json = nlohmann::json::parse(b.begin() + 20, b.begin() + 20 + jsonLength, nullptr, false);
    if (out.json.is_discarded()) return fail("the JSON chunk does not parse");
    out.bin.clear();
    const std::size_t binAt = 20ull + jsonLength;
    if (binAt < b.size()) {
        const std::uint32_t binLength = U32(b, binAt);
        if (b.size() < binAt + 8 || U32(b, binAt + 4) != 0x004E4942u || binLength % 4 != 0 ||
            binAt + 8 + binLength != b.size())
            return fail("bad BIN chunk");
        out.bin.assign(b.begin() + static_cast<long>(binAt) + 8, b.end());
    }
    return true;
}

inline bool ReadGlb(const std::string& path, Glb& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    return ParseGlb(std::string(std::istreambuf_iterator<char>(in), {}), out, error);
}

// Bytes of one component: unsigned byte, unsigned short, unsigned int and float.
inline std::size_t ComponentSize(int type) {
    if (type == 5121) return 1;
    if (type == 5123) return 2;
    return type == 5125 || type == 5126 ? 4 : 0;
}

// Components of one element: 1 for SCALAR, n for VECn.
inline std::size_t Components(const std::string& type) {
    if (type == "SCALAR") return 1;
    return type.rfind("VEC", 0) == 0 ? std::stoul(type.substr(3)) : 0;
}

// Every number of an accessor, as doubles (packed or interleaved views).
inline std::vector<double> AccessorValues(const Glb& g, int index) {
    const auto& acc = g.json["accessors"][static_cast<std::size_t>(index)];
    const auto& view = g.json["bufferViews"][acc["bufferView"].get<std::size_t>()];
    const int ct = acc["componentType"].get<int>();
    const std::size_t components = Components(acc["type"]);
    const std::size_t size = ComponentSize(ct);
    const std::size_t stride = view.value("byteStride", components * size);
    const std::size_t n = acc["count"].get<std::size_t>() * components;
    const std::size_t first =
        view.value("byteOffset", std::size_t{0}) + acc.value("byteOffset", std::size_t{0});
    std::vector<double> out;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = first + (i / components) * stride + (i % components) * size;
        if (ct == 5126) {
            out.push_back(Read<float>(g.bin, at));
        } else if (ct == 5125) {
            out.push_back(Read<std::uint32_t>(g.bin, at));
        } else {
            out.push_back(ct == 5123 ? Read<std::uint16_t>(g.bin, at) : g.bin[at]);
        }
    }
    return out;
}

struct Totals {
    std::size_t vertices = 0;
    std::size_t faces = 0;
};

// What a viewer counts: over the default scene's nodes, each primitive's POSITION count and its
// indices / 3.
inline Totals CountScene(const Glb& g) {
    Totals t;
    const auto& scene = g.json["scenes"][g.json.value("scene", 0)];
    for (const auto& n : scene.value("nodes", nlohmann::json::array())) {
        const auto& node = g.json["nodes"][n.get<std::size_t>()];
        if (!node.contains("mesh")) continue;
        for (const auto& p : g.json["meshes"][node["mesh"].get<std::size_t>()]["primitives"]) {
            t.vertices +=
                g.json["accessors"][p["attributes"]["POSITION"].get<std::size_t>()]["count"]
                    .get<std::size_t>();
            t.faces +=
                g.json["accessors"][p["indices"].get<std::size_t>()]["count"].get<std::size_t>() /
                3;
        }
    }
    return t;
}

// The rules a validator checks that the writer must keep: views inside the one buffer on 4-byte
// boundaries, accessors inside their views, POSITION bounds equal to the data's, unit normals,
// triangle index lists within the vertex count, of the smallest type that avoids the restart
// value.
inline void ExpectValid(const Glb& g) {
    const auto& j = g.json;
    EXPECT_EQ(j["asset"]["version"], "2.0");
    if (j.contains("buffers")) {
        ASSERT_EQ(j["buffers"].size(), 1u);
        EXPECT_FALSE(j["buffers"][0].contains("uri"));
        const auto length = j["buffers"][0]["byteLength"].get<std::size_t>();
        EXPECT_GE(length, 1u);
        EXPECT_LE(length, g.bin.size());
        EXPECT_LT(g.bin.size() - length, 4u);
        for (const auto& v : j["bufferViews"]) {
            const auto offset = v.value("byteOffset", std::size_t{0});
            EXPECT_EQ(offset % 4, 0u);
            EXPECT_GE(v["byteLength"].get<std::size_t>(), 1u);
            EXPECT_LE(offset + v["byteLength"].get<std::size_t>(), length);
        }
    }
    for (const auto& a : j.value("accessors", nlohmann::json::array())) {
        const auto& v = j["bufferViews"][a["bufferView"].get<std::size_t>()];
        // The last element ends inside the view, whether packed or interleaved.
        const std::size_t element = ComponentSize(a["componentType"]) * Components(a["type"]);
        const std::size_t count = a["count"].get<std::size_t>();
        const std::size_t stride = v.value("byteStride", element);
        EXPECT_GE(count, 1u);
        EXPECT_LE(a.value("byteOffset", std::size_t{0}) + (count - 1) * stride + element,
                  v["byteLength"].get<std::size_t>());
        EXPECT_LE(a.value("byteOffset", std::size_t{0}) + element, stride);
    }
    for (const auto& mesh : j.value("meshes", nlohmann::json::array())) {
        for (const auto& p : mesh["primitives"]) {
            const int pos = p["attributes"]["POSITION"];
            const auto& acc = j["accessors"][static_cast<std::size_t>(pos)];
            const std::size_t count = acc["count"];
            const std::vector<double> xyz = AccessorValues(g, pos);
            ASSERT_TRUE(acc.contains("min") && acc.contains("max"));
            for (std::size_t c = 0; c < 3; ++c) {
                double lo = INFINITY, hi = -INFINITY;
                for (std::size_t i = c; i < xyz.size(); i += 3) {
                    lo = std::min(lo, xyz[i]);
                    hi = std::max(hi, xyz[i]);
                }
                EXPECT_EQ(acc["min"][c].get<double>(), lo);
                EXPECT_EQ(acc["max"][c].get<double>(), hi);
            }
            const std::vector<double> n = AccessorValues(g, p["attributes"]["NORMAL"]);
            ASSERT_EQ(n.size(), 3 * count);
            for (std::size_t i = 0; i < n.size(); i += 3) {
                EXPECT_NEAR(std::sqrt(n[i] * n[i] + n[i + 1] * n[i + 1] + n[i + 2] * n[i + 2]), 1.0,
                            1e-5);
            }
            if (p["attributes"].contains("TEXCOORD_0")) {
                EXPECT_EQ(AccessorValues(g, p["attributes"]["TEXCOORD_0"]).size(), 2 * count);
            }
            const auto& ia = j["accessors"][p["indices"].get<std::size_t>()];
            EXPECT_EQ(ia["componentType"].get<int>(), count <= 65535 ? 5123 : 5125);
            EXPECT_EQ(ia["count"].get<std::size_t>() % 3, 0u);
            for (double index : AccessorValues(g, p["indices"])) EXPECT_LT(index, count);
            EXPECT_EQ(j["bufferViews"][ia["bufferView"].get<std::size_t>()]["target"], 34963);
        }
    }
}

}  // namespace glbtest
