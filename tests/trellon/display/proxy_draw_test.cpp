// The per-copy proxy markers: the point-cloud count rule, dots, boxes and bulbs, drawn into the
// host's recording window with the identity as its transform (so the recorded points are the
// object-space points the drawer gave). (Their palette colour: the display's box test.)
#include <gtest/gtest.h>

#include <vector>

#include "display/proxy_draw.h"
#include "recording_window.h"
#include "support/near.h"
#include "viewport.h"

using namespace trellon;

namespace {

constexpr float kEps = 1e-5f;

void ExpectNear(const Point3& a, const Point3& b) { EXPECT_TRUE(support::Near(a, b, kEps)); }

struct CloudCase {
    int n;
    int pointCloud;
    int drawn;
};

class ProxyCloudCount : public testing::TestWithParam<CloudCase> {};

TEST_P(ProxyCloudCount, DrawsWhileTheIndexIsBelowTheCount) {
    EXPECT_EQ(CloudDrawCount(GetParam().n, GetParam().pointCloud), GetParam().drawn);
}

INSTANTIATE_TEST_SUITE_P(Rule, ProxyCloudCount,
                         testing::Values(
                             // Up to 25 stored points all are drawn, whatever PointCloud says.
                             CloudCase{25, 1, 25},
                             // 26 points at 50: 10 + 49 * 16 / 99 = 17.92 -> 18.
                             CloudCase{26, 50, 18},
                             // Nothing stored, nothing drawn.
                             CloudCase{-3, 10, 0}));
// (100 points at PointCloud 10, the first 19 in their stored order: the display's cloud test.)

class ProxyDrawTest : public testing::Test {
protected:
    host::TopViewport view;
    host::RecordingGraphicsWindow gw{view};
};

TEST_F(ProxyDrawTest, DotAtTheBoxCentreThroughTheCopyTransform) {
    Matrix3 m(1);
    m.SetTrans(Point3(100, 0, 0));
    trellon::DrawDot(gw, m, Point3(-1, 0, 0), Point3(3, 2, 4));
    const auto r = gw.Take();
    ASSERT_EQ(r.markers.size(), 1u);
    // Centre (1, 1, 2), moved by (100, 0, 0).
    ExpectNear(r.markers[0].point, Point3(101, 1, 2));
    EXPECT_EQ(r.markers[0].type, DOT_MRKR);
}

TEST_F(ProxyDrawTest, BoxIsTwoClosedFacesAndFourUprightsTurnedWithTheCopy) {
    // A quarter turn about Z, then (10, 0, 0): (x, y) -> (10 - y, x).
    Matrix3 m = RotateZMatrix(HALFPI);
    m.SetTrans(Point3(10, 0, 0));
    trellon::DrawBox(gw, m, Point3(0, 0, 0), Point3(2, 1, 3));
    const auto r = gw.Take();
    ASSERT_EQ(r.polylines.size(), 6u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(r.polylines[i].closed);
        ASSERT_EQ(r.polylines[i].points.size(), 4u);
    }
    // Bottom face at z 0: (0,0), (2,0), (2,1), (0,1) turned.
    ExpectNear(r.polylines[0].points[0], Point3(10, 0, 0));
    ExpectNear(r.polylines[0].points[1], Point3(10, 2, 0));
    ExpectNear(r.polylines[0].points[2], Point3(9, 2, 0));
    ExpectNear(r.polylines[0].points[3], Point3(9, 0, 0));
    ExpectNear(r.polylines[1].points[2], Point3(9, 2, 3));
    for (int i = 2; i < 6; ++i) {
        EXPECT_FALSE(r.polylines[i].closed);
        ASSERT_EQ(r.polylines[i].points.size(), 2u);
        // Each upright joins a bottom corner to the top corner above it.
        ExpectNear(r.polylines[i].points[0], r.polylines[0].points[i - 2]);
        ExpectNear(r.polylines[i].points[1], r.polylines[1].points[i - 2]);
    }
}

TEST_F(ProxyDrawTest, BulbIsEightOpenOutlinesTurnedAboutTheCopysZ) {
    trellon::DrawBulb(gw, Matrix3(1), 2.0f);
    const auto r = gw.Take();
    ASSERT_EQ(r.polylines.size(), 8u);
    for (const auto& line : r.polylines) {
        EXPECT_FALSE(line.closed);
        EXPECT_EQ(line.points.size(), 20u);
    }
    // Outline 0, point 4: the table's (-0.276043, y, -0.276062) times the height 2.
    ExpectNear(r.polylines[0].points[4], Point3(-0.552086f, -0.00000504f, -0.552124f));
    // Outline 2 is turned a quarter: (x, y) -> (-y, x).
    ExpectNear(r.polylines[2].points[4], Point3(0.00000504f, -0.552086f, -0.552124f));
    // The tip and the base stay on the axis, 2 units apart.
    EXPECT_NEAR(r.polylines[5].points[19].z - r.polylines[5].points[0].z, 2 * 0.999228f, kEps);
}

struct CopyCase {
    int mode;
    int kind;
    int markers;
    int polylines;
};

class ProxyCopy : public ProxyDrawTest, public testing::WithParamInterface<CopyCase> {};

TEST_P(ProxyCopy, DrawsWhatTheModeAndKindAsk) {
    const CopyCase& c = GetParam();
    std::vector<Point3> cloud(30, Point3(0, 0, 0));
    ProxyItem item{c.kind, Point3(0, 0, 0), Point3(1, 1, 1), cloud};
    trellon::DrawProxyCopy(gw, static_cast<trellon::DisplayMode>(c.mode), 0, item, Matrix3(1), 1);
    const auto r = gw.Take();
    EXPECT_EQ(int(r.markers.size()), c.markers);
    EXPECT_EQ(int(r.polylines.size()), c.polylines);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ProxyCopy,
    testing::Values(CopyCase{0, 0, 0, 0}, CopyCase{1, 0, 1, 0}, CopyCase{2, 0, 0, 6},
                    // 30 stored points at PointCloud 1: ten.
                    CopyCase{3, 0, 10, 0},
                    // A light is eight bulb outlines in every proxy mode, nothing in the others.
                    CopyCase{1, 1, 0, 8}, CopyCase{3, 1, 0, 8}, CopyCase{4, 1, 0, 0}));

}  // namespace
