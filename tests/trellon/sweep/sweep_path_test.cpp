// The path side of the sweep walk: samples with trims, frames at straight and corner samples,
// texture seams, the cross-section scale and the texture tile length.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "matrix3.h"
#include "polyshp.h"
#include "support/near.h"
#include "sweep/sweep_walk.h"
#include "units.h"

using namespace trellon;

namespace {

using support::Near;

constexpr float kS = 0.70710678f;  // sin 45 degrees

PolyLine Line(const std::vector<Point3>& pts, bool closed) {
    PolyLine line;
    for (const Point3& p : pts) line.Append(PolyPt(p));
    if (closed) line.Close();
    return line;
}

// The counter-clockwise square of side 10 with a corner at the origin (length 40).
const std::vector<Point3> kSquare = {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 10, 0),
                                     Point3(0, 10, 0)};
// A straight open line of length 20 through a middle vertex.
const std::vector<Point3> kStraight = {Point3(0, 0, 0), Point3(10, 0, 0), Point3(20, 0, 0)};

struct SampleCase {
    const char* name;
    std::vector<Point3> line;
    bool closed;
    float startTrim, endTrim;
    std::vector<Point3> samples;
    bool loop;
};

class SamplePathTest : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SamplePathTest, SamplesTheTrimmedPolyline) {
    const SampleCase& c = GetParam();
    const PathRun run = SamplePath(Line(c.line, c.closed), c.startTrim, c.endTrim);
    EXPECT_EQ(run.loop, c.loop);
    ASSERT_EQ(run.samples.size(), c.samples.size());
    for (std::size_t i = 0; i < c.samples.size(); ++i)
        EXPECT_TRUE(Near(run.samples[i], c.samples[i])) << "sample " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Trims, SamplePathTest,
    ::testing::Values(
        // Closed, no trims: a loop of exactly its four corners, no end sample (rings wrap).
        SampleCase{"LoopWithoutTrims", kSquare, true, 0, 0, kSquare, true},
        // Negative trims count as none.
        SampleCase{"NegativeTrimsAreNone", kSquare, true, -1, -2, kSquare, true},
        // Start trim 2 of 40: from (2,0) round the corners back to the closing vertex (0,0).
        SampleCase{"StartTrimOpensTheLoop",
                   kSquare,
                   true,
                   2,
                   0,
                   {Point3(2, 0, 0), Point3(10, 0, 0), Point3(10, 10, 0), Point3(0, 10, 0),
                    Point3(0, 0, 0)},
                   false},
        // End trim 3: stops 3 short of the closing vertex, at (0,3) on the closing edge.
        SampleCase{"EndTrimOpensTheLoop",
                   kSquare,
                   true,
                   0,
                   3,
                   {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 10, 0), Point3(0, 10, 0),
                    Point3(0, 3, 0)},
                   false},
        // 5 off each end of a 20-long line: (5,0), the middle vertex, (15,0).
        SampleCase{"BothTrimsOnAnOpenLine",
                   kStraight,
                   false,
                   5,
                   5,
                   {Point3(5, 0, 0), Point3(10, 0, 0), Point3(15, 0, 0)},
                   false},
        // A trim ending exactly on a vertex does not sample it twice.
        SampleCase{
            "TrimOnAVertex", kStraight, false, 10, 0, {Point3(10, 0, 0), Point3(20, 0, 0)}, false},
        SampleCase{"OpenWithoutTrims", kStraight, false, 0, 0, kStraight, false},
        // Trims of 6 + 14 eat the whole 20: nothing is left.
        SampleCase{"TrimsEatThePath", kStraight, false, 6, 14, {}, false},
        // One point has no length.
        SampleCase{"SinglePoint", {Point3(1, 2, 3)}, false, 0, 0, {}, false}),
    [](const ::testing::TestParamInfo<SampleCase>& p) { return p.param.name; });

struct FrameCase {
    const char* name;
    std::vector<Point3> samples;
    int at;
    bool loop;
    std::array<Point3, 3> rows;  // the frame's rows 0 to 2; row 3 is the sample itself
};

class SweepFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(SweepFrame, RowsAtTheSample) {
    const FrameCase& c = GetParam();
    const Matrix3 f = SampleFrame(c.samples.data(), int(c.samples.size()), c.at, c.loop);
    for (int r = 0; r < 3; ++r) EXPECT_TRUE(Near(f.GetRow(r), c.rows[std::size_t(r)])) << r;
    EXPECT_TRUE(Near(f.GetRow(3), c.samples[std::size_t(c.at)]));
}

// Along +X: ArbAxis(+X) has rows +Y, +Z, +X.
const std::array<Point3, 3> kAlongX = {Point3(0, 1, 0), Point3(0, 0, 1), Point3(1, 0, 0)};
const std::vector<Point3> kDoubled = {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 0, 0)};

INSTANTIATE_TEST_SUITE_P(
    Samples, SweepFrame,
    ::testing::Values(
        FrameCase{"StraightMiddle", kStraight, 1, false, kAlongX},
        // The ends have one direction only.
        FrameCase{"StraightStart", kStraight, 0, false, kAlongX},
        FrameCase{"StraightEnd", kStraight, 2, false, kAlongX},
        // Regression: a sample doubled in place at the end of a run (a polyline vertex under a
        // trimmed end) had no direction of its own and fell back to the identity frame, turning
        // its ring into the path. It takes the direction of the path there, like its twin.
        FrameCase{"DoubledSampleFellBackToTheIdentityFrame", kDoubled, 2, false, kAlongX},
        FrameCase{"DoubledSamplesTwin", kDoubled, 1, false, kAlongX},
        // Up at (0.6, 0, 0.8) then down at (0.6, 0, -0.8): X and Y agree, so the sample is
        // straight along the bisector +X, unstretched (as a corner it would stretch by
        // 1/sin(37.3 deg) = 1.65): only X and Y decide a corner.
        FrameCase{"RidgeIsNoCorner",
                  {Point3(0, 0, 0), Point3(6, 0, 8), Point3(12, 0, 0)},
                  1,
                  false,
                  kAlongX},
        // At a right angle row 2 turns 45 degrees onto the bisector and the cross-section's X
        // (row 0, +Y before the turn) is stretched by 1/sin 45 = sqrt 2 across the bend: it
        // reaches the mitre corner (+-1, +-1) of an outline one unit wide on both legs. +X then
        // +Y: bisector (s, s), X to the inner mitre corner (-1, 1).
        FrameCase{"LeftTurn",
                  {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 10, 0)},
                  1,
                  false,
                  {Point3(-1, 1, 0), Point3(0, 0, 1), Point3(kS, kS, 0.0f)}},
        // +X then -Y: bisector (s, -s); X to the outer mitre corner (1, 1).
        FrameCase{"RightTurn",
                  {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, -10, 0)},
                  1,
                  false,
                  {Point3(1, 1, 0), Point3(0, 0, 1), Point3(kS, -kS, 0.0f)}},
        // On a loop the first sample's neighbours are the last and the second: the square's
        // corner at the origin comes in along -Y and leaves along +X, the left turn above turned
        // a quarter clockwise.
        FrameCase{"LoopJoinsTheEnds",
                  kSquare,
                  0,
                  true,
                  {Point3(1, 1, 0), Point3(0, 0, 1), Point3(kS, -kS, 0.0f)}}),
    [](const ::testing::TestParamInfo<FrameCase>& p) { return p.param.name; });

struct SeamCase {
    const char* name;
    float turnDegrees;
    float seamDegrees;
    bool seam;
};

class SweepSeam : public ::testing::TestWithParam<SeamCase> {};

TEST_P(SweepSeam, SplitsWhereThePathTurnsMoreThanTheSeamAngle) {
    const SeamCase& c = GetParam();
    const float a = c.turnDegrees * trellon::kDegToRad;
    const std::vector<Point3> s = {Point3(-10, 0, 0), Point3(0, 0, 0),
                                   Point3(10 * std::cos(a), 10 * std::sin(a), 0.0f)};
    EXPECT_EQ(SeamAt(s.data(), 3, 1, false, c.seamDegrees * trellon::kDegToRad), c.seam);
    // End samples never split.
    EXPECT_FALSE(SeamAt(s.data(), 3, 0, false, 0.0f));
    EXPECT_FALSE(SeamAt(s.data(), 3, 2, false, 0.0f));
}

INSTANTIATE_TEST_SUITE_P(Angles, SweepSeam,
                         ::testing::Values(SeamCase{"TenAboveSeven", 10, 7, true},
                                           SeamCase{"FiveBelowSeven", 5, 7, false},
                                           SeamCase{"EightAboveSeven", 8, 7, true},
                                           SeamCase{"StraightNeverSplits", 0, 7, false}),
                         [](const ::testing::TestParamInfo<SeamCase>& p) { return p.param.name; });

// The loop's last sample turns towards the first: every square corner but S_0 (which starts
// the texture anyway) is a seam.
TEST(SweepSeamLoop, LastSampleIsTestedAgainstTheFirst) {
    EXPECT_FALSE(SeamAt(kSquare.data(), 4, 0, true, 0.1f));
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(SeamAt(kSquare.data(), 4, i, true, 0.1f)) << i;
    EXPECT_FALSE(SeamAt(kSquare.data(), 4, 3, false, 0.1f));
}

struct ScaleCase {
    const char* name;
    bool unifyAll, unifyOwn;
    Point3 scale;
};

class SweepScaleTest : public ::testing::TestWithParam<ScaleCase> {};

// All sweeps (100, 300, 50) percent, the sweep (200, 50, 300): the sweep's changes are
// Xk = 1, Yk = -0.5, Zk = 2 added to X0 = 1, Y0 = 3, Z0 = 0.5.
TEST_P(SweepScaleTest, CombinesBothEntriesByTheUnifySwitches) {
    const ScaleCase& c = GetParam();
    EXPECT_TRUE(Near(
        trellon::SweepScale(Point3(100, 300, 50), Point3(200, 50, 300), c.unifyAll, c.unifyOwn),
        c.scale));
}

INSTANTIATE_TEST_SUITE_P(Unify, SweepScaleTest,
                         ::testing::Values(
                             // (1 + 1, -0.5 + 3, 2 + 0.5)
                             ScaleCase{"NeitherUnified", false, false, Point3(2.0f, 2.5f, 2.5f)},
                             // the sweep's X change on every axis: (1 + 1, 1 + 3, 1 + 0.5)
                             ScaleCase{"SweepUnified", false, true, Point3(2.0f, 4.0f, 1.5f)},
                             // the all-sweeps X value on every axis: (1 + 1, -0.5 + 1, 2 + 1)
                             ScaleCase{"AllUnified", true, false, Point3(2.0f, 0.5f, 3.0f)}),
                         [](const ::testing::TestParamInfo<ScaleCase>& p) { return p.param.name; });

}  // namespace
