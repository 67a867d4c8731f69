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

}  // namespace
