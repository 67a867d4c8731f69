// Colours as the host packs them in a word, and the system unit: the length of one unit in
// other units. (CombineMaterials is exercised through the module's colour variants, the only way
// it is called.)
#include <gtest/gtest.h>

#include "color.h"
#include "units.h"

namespace {

TEST(ObjModelColor, WordsHoldRedInTheLowByte) {
    EXPECT_EQ(RGB(255, 128, 0), 0x000080FFu);
    const Color c(RGB(255, 0, 51));  // 51/255 = 0.2
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 0.0f);
    EXPECT_FLOAT_EQ(c.b, 0.2f);
    EXPECT_EQ(c.toRGB(), RGB(255, 0, 51));
    // Out of range channels clamp; 0.5 * 255 = 127.5 rounds to 128.
    EXPECT_EQ(Color(2.0f, -1.0f, 0.5f).toRGB(), RGB(255, 0, 128));
}

// The system unit: the length of one unit in other units.
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
