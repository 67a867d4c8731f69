// Colours as the host packs them in a word. (CombineMaterials is exercised through the module's
// colour variants, the only way it is called.)
#include <gtest/gtest.h>

#include "color.h"

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

}  // namespace
