// System units: the length of one unit in other units.
#include <gtest/gtest.h>

#include "units.h"

namespace {

struct UnitCase {
    int type;
    double inches;  // inches in one unit of type
};

class ObjModelUnits : public ::testing::TestWithParam<UnitCase> {
protected:
    void TearDown() override { SetMasterUnitInfo(UNITS_INCHES, 1.0f); }
};

// One inch is 25.4 mm: mm = 1/25.4 in, cm = 1/2.54 in, m = 1000/25.4 in, km = 1e6/25.4 in.
INSTANTIATE_TEST_SUITE_P(EveryType, ObjModelUnits,
                         ::testing::Values(UnitCase{UNITS_INCHES, 1.0}, UnitCase{UNITS_FEET, 12.0},
                                           UnitCase{UNITS_MILES, 63360.0},
                                           UnitCase{UNITS_MILLIMETERS, 1.0 / 25.4},
                                           UnitCase{UNITS_CENTIMETERS, 1.0 / 2.54},
                                           UnitCase{UNITS_METERS, 39.370079},
                                           UnitCase{UNITS_KILOMETERS, 39370.079}));

TEST_P(ObjModelUnits, OneSystemUnitInInches) {
    ASSERT_TRUE(SetMasterUnitInfo(GetParam().type, 1.0f));
    EXPECT_NEAR(GetMasterScale(UNITS_INCHES), GetParam().inches, GetParam().inches * 1e-7);
    // Twice the scale, twice the inches.
    ASSERT_TRUE(SetMasterUnitInfo(GetParam().type, 2.0f));
    EXPECT_NEAR(GetMasterScale(UNITS_INCHES), 2.0 * GetParam().inches, GetParam().inches * 2e-7);
    int type = -1;
    float scale = 0.0f;
    GetMasterUnitInfo(&type, &scale);
    EXPECT_EQ(type, GetParam().type);
    EXPECT_EQ(scale, 2.0f);
}

TEST(ObjModelUnitsScale, DefaultIsOneInchAndOtherTargetsConvert) {
    int type = -1;
    float scale = 0.0f;
    GetMasterUnitInfo(&type, &scale);
    EXPECT_EQ(type, UNITS_INCHES);
    EXPECT_EQ(scale, 1.0f);
    // 1 inch = 25.4 mm = 1/12 ft.
    EXPECT_NEAR(GetMasterScale(UNITS_MILLIMETERS), 25.4, 1e-9);
    EXPECT_NEAR(GetMasterScale(UNITS_FEET), 1.0 / 12.0, 1e-12);
    // 1 unit = 1 m: 100 cm, 0.001 km.
    SetMasterUnitInfo(UNITS_METERS, 1.0f);
    EXPECT_NEAR(GetMasterScale(UNITS_CENTIMETERS), 100.0, 1e-9);
    EXPECT_NEAR(GetMasterScale(UNITS_KILOMETERS), 0.001, 1e-12);
    EXPECT_EQ(GetMasterScale(7), -1.0);
    EXPECT_EQ(GetMasterScale(-1), -1.0);
    // Invalid settings leave the unit unchanged.
    EXPECT_FALSE(SetMasterUnitInfo(9, 1.0f));
    EXPECT_FALSE(SetMasterUnitInfo(UNITS_FEET, 0.0f));
    EXPECT_FALSE(SetMasterUnitInfo(UNITS_FEET, -2.0f));
    GetMasterUnitInfo(&type, &scale);
    EXPECT_EQ(type, UNITS_METERS);
    SetMasterUnitInfo(UNITS_INCHES, 1.0f);
}

}  // namespace
