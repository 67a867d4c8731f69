// Messages that reject a name say what would have been right: the nearest name, or the choices.
// (The scene files' messages are checked whole with the Trellon refusals.)
#include "name_choices.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Distance {
    const char* a;
    const char* b;
    int d;
};

// Worked by hand: one edit each for a dropped, added, changed or swapped letter; case is free.
TEST(NameChoices, DistanceCountsEditsWithoutCase) {
    const Distance kCases[] = {{"Item_Spacng", "Item_Spacing", 1},
                               {"Pikcet", "Picket", 1},
                               {"boxx", "box", 1},
                               {"TRELLON", "Trellon", 0},
                               {"makPost", "makePost", 1},
                               {"Post", "Path", 3},
                               {"", "line", 4},
                               {"ab", "ba", 1}};
    for (const Distance& c : kCases) EXPECT_EQ(host::NameDistance(c.a, c.b), c.d) << c.a;
}

TEST(NameChoices, NearestWithinAThirdElseTheListWhenShort) {
    const std::vector<std::string> units = {"inches", "feet", "meters", "centimeters"};
    EXPECT_EQ(host::NameChoices("centimetres", units), "; did you mean centimeters?");
    EXPECT_EQ(host::NameChoices("yards", units),
              "; expected one of inches, feet, meters, centimeters");
    // Too far from any, and too many to list: nothing to add.
    EXPECT_EQ(host::NameChoices("yards", units, 3), "");
    // "Path" and "Post" are 3 apart: too far for a four-letter name.
    EXPECT_EQ(host::NearestName("Path", {"Post"}), "");
}

}  // namespace
