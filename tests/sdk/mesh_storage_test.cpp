// The raw storage under the mesh arrays: alignment of large blocks, zeroing, and that every
// block is given back.
#include <gtest/gtest.h>

#include <cstdint>

#include "hugearray.h"
#include "mesh.h"
#include "mesh_fixtures.h"

namespace {

bool OnHugePageBoundary(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) % HugeArray::kHugePageBytes == 0;
}

TEST(MeshStorage, LargeArraysStartOnA2MiBBoundary) {
    Mesh m;
    // 300000 vertices x 12 bytes = 3.6 MB and 300000 faces x 20 bytes = 6 MB: both large.
    ASSERT_TRUE(m.setNumVerts(300000));
    ASSERT_TRUE(m.setNumFaces(300000));
    EXPECT_TRUE(OnHugePageBoundary(m.verts));
    EXPECT_TRUE(OnHugePageBoundary(m.faces));
    // A fresh large block reads as zero all through (Face() values, the origin).
    EXPECT_EQ(m.faces[299999].flags, 0u);
    EXPECT_EQ(m.faces[123456].smGroup, 0u);
    EXPECT_EQ(m.getVert(299999), Point3(0, 0, 0));
    m.setVert(299999, 1, 2, 3);
    EXPECT_EQ(m.verts[299999], Point3(1, 2, 3));
}

TEST(MeshStorage, EveryBlockIsGivenBack) {
    const std::size_t before = HugeArray::LiveBytes();
    {
        Mesh m;
        meshtest::AppendCube(m);
        m.setNumVerts(400000, TRUE);  // small block, then large
        m.setNumTVerts(10);
        m.setNumTVFaces(12);
        m.setMapSupport(4);
        m.setNumFaces(200000, TRUE);  // the supported channels follow, large too
        Mesh copy(m);
        copy.setNumVerts(5, TRUE);
        copy.setNumVerts(0);
        m = copy;
        EXPECT_GT(HugeArray::LiveBytes(), before);
    }
    EXPECT_EQ(HugeArray::LiveBytes(), before);
}

TEST(MeshStorage, GrowingPastTheBlockMovesTheEntries) {
    Mesh m;
    m.setNumVerts(1000);
    m.setVert(999, 4, 5, 6);
    m.setNumVerts(250000, TRUE);  // into a large block
    EXPECT_EQ(m.getVert(999), Point3(4, 5, 6));
    EXPECT_EQ(m.getVert(1000), Point3(0, 0, 0));
    EXPECT_TRUE(OnHugePageBoundary(m.verts));
}

TEST(MeshStorage, ResizeArrayRefusesNegativeCounts) {
    int* p = nullptr;
    std::size_t cap = 0;
    EXPECT_FALSE(HugeArray::ResizeArray(p, cap, 0, -1, true));
    EXPECT_TRUE(HugeArray::ResizeArray(p, cap, 0, 10, false));
    EXPECT_EQ(cap, 10u);
    EXPECT_FALSE(HugeArray::ResizeArray(p, cap, 10, -4, true));
    EXPECT_EQ(cap, 10u);
    EXPECT_TRUE(HugeArray::ResizeArray(p, cap, 10, 0, true));
    EXPECT_EQ(p, nullptr);
}

}  // namespace
