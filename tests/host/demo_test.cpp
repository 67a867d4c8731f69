// The embedded default scene: what `trellon-host demo` builds, writes and prints.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

#include "build_command.h"
#include "demo_command.h"
#include "evaluated_scene.h"
#include "materials.h"
#include "module_scene_fixture.h"
#include "render_command.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"

namespace {

// The image file of the material's first bitmap map whose image is loaded, else "".
std::string LoadedImage(Mtl* m) {
    for (int i = 0; m && i < m->NumSubTexmaps(); ++i) {
        auto* bitmap = dynamic_cast<host::BitmapMap*>(m->GetSubTexmap(i));
        if (bitmap && bitmap->GetBitmap(0)) return ToUTF8(bitmap->File());
    }
    return "";
}

// Triangles of each item mesh in examples/demo/demo-assets (their files' header lines).
constexpr int kPicketFaces = 16;    // a pentagon board: two 5-gons and five sides
constexpr int kPostFaces = 24;      // post, cap and pyramid
constexpr int kEndPostFaces = 110;  // post, cap, neck and an 8 x 6 ball

class DemoTest : public ModuleSceneTest {
protected:
    INode* Node(const char* name) {
        return scene->GetINodeByName(MSTR(std::wstring(name, name + std::strlen(name))));
    }
    // Faces of the node's evaluated mesh that carry material index m and whose centre, in world
    // space, passes `where`.
    int FacesWithMaterial(const char* node, int m,
                          const std::function<bool(const Point3&)>& where = nullptr) {
        INode* n = Node(node);
        host::EvaluatedNode e;
        if (!n || !host::EvaluateNode(n, scene->GetTime(), e)) return -1;
        int count = 0;
        for (int f = 0; f < e.Geometry().getNumFaces(); ++f) {
            if (e.Geometry().getFaceMtlIndex(f) != m) continue;
            Point3 centre(0.0f, 0.0f, 0.0f);
            for (int c = 0; c < 3; ++c)
                centre += e.Geometry().getVert(e.Geometry().faces[f].v[c]) / 3.0f;
            count += !where || where(centre * e.objectTM);
        }
        return count;
    }
    support::ScratchDir dir;
};

TEST_F(DemoTest, WritesItsFilesAndCopiesWhereThePathSaysAndItsSceneRendersTheSameGlb) {
    std::ostringstream out, err;
    host::DemoFiles files;
    ASSERT_EQ(host::BuildDemo(*scene, dir.string(), out, err, &files), 0) << err.str();
    EXPECT_GT(std::filesystem::file_size(files.glb), 0u);
    EXPECT_GT(std::filesystem::file_size(files.scene), 0u);
    // The meshes and textures the scene names travel in the program and come out beside it.
    ASSERT_FALSE(host::DemoAssets().empty());
    for (const host::DemoAsset& asset : host::DemoAssets()) {
        EXPECT_EQ(support::ReadText(dir / asset.path),
                  std::string(reinterpret_cast<const char*>(asset.data), asset.size))
            << asset.path;
    }
    // The counts are the object's own: the item's row, then the copies right-aligned in 8
    // columns. The fence's posts and end posts: see below.
    const std::string text = out.str();
    EXPECT_NE(text.find("Post (post)                   10\n"), std::string::npos) << text;
    EXPECT_NE(text.find("End Post (end)                 2\n"), std::string::npos) << text;
    // The flower bed: a circle of radius 250 (the Bezier circle of four knots), whose slots lie
    // on the path moved inward by the mean of the "All Objects" sideways range 15 .. 135: a
    // circle of radius 175, 2 pi 175 = 1099.6 long (1098.2 as the polyline of 36 chords that 8
    // steps per knot make). Slots every 12: int(1098.2 / 12) = 91, the last skipped where the
    // closed path meets its start: 90. The groups take turns in list order: (Stem, Petals Pink)
    // at slots 0, 3, ..., 87, (Stem, Petals Violet) at 1, 4, ..., 88, Shrub at 2, 5, ..., 89:
    // 30 each. A stem and its petals share their group's slots: one stem to each head.
    EXPECT_NE(text.find("Stem                          30\n"
                        "                Petals Pink                   30\n"
                        "                Stem                          30\n"
                        "                Petals Violet                 30\n"
                        "                Shrub                         30\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(err.str(), "");

    // Items: 0 Picket, 1 Tall Picket, 2 Post (made a post), 3 End Post (made an end): material
    // index item + 1.
    // End posts: one end item on one open spline stands at both ends: 2 copies.
    EXPECT_EQ(FacesWithMaterial("Garden Fence", 4), 2 * kEndPostFaces);
    // Posts: 5 knots, and per span m = length / 180 rounded half up parts: the straight 500 span
    // (m = 2.78) gets 2 inner posts, the three curved spans (each between 335 and 450 long,
    // 1.5 <= m < 2.5) one each: 5 + 5 = 10 posts.
    EXPECT_EQ(FacesWithMaterial("Garden Fence", 3), 10 * kPostFaces);
    // The first leg, (0, 0) to (500, 0), is straight: posts at 0, 166.7, 333.3 and 500. Each
    // part keeps KnotThresh 6 free beside its posts, leaving 154.7 = 11.05 spacings of 14;
    // a fraction below one half gives 11 - 1 = 10 slots, so the leg has slots 0 .. 29. The
    // sequence takes turns: Picket, Tall Picket, the gap: 10 of each. (The next span curves
    // away from x = 500, and its first slot stands 6 further on.)
    const auto firstLeg = [](const Point3& p) { return p.x < 500.0f; };
    EXPECT_EQ(FacesWithMaterial("Garden Fence", 1, firstLeg), 10 * kPicketFaces);
    EXPECT_EQ(FacesWithMaterial("Garden Fence", 2, firstLeg), 10 * kPicketFaces);

    // That each flower head sits on its stem's tip is the sequence walk's promise (the rows of
    // a group share their slot and its values), worked by hand in the module's placement tests.

    // The demo's file is a render with instancing: the saved scene, loaded from its folder and
    // rendered the same way, gives the same bytes.
    NewScene();
    host::RenderOptions options;
    options.scene = files.scene;
    options.output = (dir / "again.glb").string();
    options.renderer = "corona";
    ASSERT_EQ(host::RenderScene(*scene, options, out, err), 0) << err.str();
    EXPECT_EQ(support::ReadText(files.glb), support::ReadText(options.output));
    // The items show their textures, found in the folder the demo wrote; the stems show a
    // plain green.
    for (const char* item : {"Picket", "Post", "Petals Pink", "Petals Violet", "Shrub"}) {
        INode* node = Node(item);
        ASSERT_NE(node, nullptr) << item;
        const std::filesystem::path texture = LoadedImage(node->GetMtl());
        EXPECT_EQ(texture.parent_path(), dir / "demo-assets") << item;
    }
    ASSERT_NE(Node("Stem"), nullptr);
    Mtl* stem = Node("Stem")->GetMtl();
    ASSERT_NE(stem, nullptr);
    EXPECT_EQ(LoadedImage(stem), "");
    EXPECT_NEAR(stem->GetDiffuse().g, 0.48f, 1e-6f);
}

}  // namespace
