#include <gtest/gtest.h>

#include "interval.h"
#include "point3.h"

TEST(Point3, CrossOfXAndYIsZ) { EXPECT_EQ(CrossProd(Point3::XAxis, Point3::YAxis), Point3::ZAxis); }
TEST(Interval, ForeverHoldsEveryTime) { EXPECT_TRUE(FOREVER.InInterval(12345)); }
