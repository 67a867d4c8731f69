#include "colour/palette.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

using namespace trellon;

namespace {

TEST(Palette, Holds27DistinctColoursStartingWithTheObjectsOwn) {
    std::set<DWORD> words;
    for (int i = 0; i < trellon::kPaletteSize; ++i) words.insert(trellon::PaletteColourWord(i));
    EXPECT_EQ(words.size(), 27u);
    EXPECT_EQ(trellon::PaletteColourWord(0), RGB(186, 214, 54));
    EXPECT_EQ(trellon::PaletteColourWord(26), RGB(247, 156, 255));
}

struct ItemEntry {
    int item;
    int entry;
};

class PaletteItemEntry : public testing::TestWithParam<ItemEntry> {};

TEST_P(PaletteItemEntry, CyclesThroughTheItemEntries) {
    EXPECT_EQ(trellon::PaletteEntryForItem(GetParam().item), GetParam().entry);
}

// Numbers above 26 drop by 26 until they are at most 26; entry 0 is never an item's.
// INT_MAX - 1 = 26 * 82595524 + 22, so INT_MAX takes entry 23; INT_MIN - 1 = -(26 * 82595524 +
// 25), so INT_MIN takes entry 2.
INSTANTIATE_TEST_SUITE_P(Items, PaletteItemEntry,
                         testing::Values(ItemEntry{1, 1}, ItemEntry{26, 26}, ItemEntry{27, 1},
                                         ItemEntry{52, 26}, ItemEntry{53, 1}, ItemEntry{0, 26},
                                         ItemEntry{-1, 25}, ItemEntry{INT_MAX, 23},
                                         ItemEntry{INT_MIN, 2}));

}  // namespace
