// The item palette: 27 fixed, distinct colours that tell the items of a Trellon object apart.
//
// Entry 0 is the object's own colour (its wire colour); entries 1 to 26 belong to the items. Item
// number n (counted from 1) takes entry n, with numbers above 26 brought back into 1..26 by
// steps of 26, so no item ever takes entry 0. The same table colours the sub-materials of the
// object's multi/sub-object material (sub-material i gets entry i, and the copies of item k carry
// material index k + 1) and the proxy markers drawn in the viewport, so an item shows in one
// colour whichever way it is displayed.
#pragma once

#include <array>

#include "color.h"
#include "maxtypes.h"

namespace trellon {
constexpr int kPaletteSize = 27;
// Entries that items cycle through: 1 .. kPaletteItemEntries.
constexpr int kPaletteItemEntries = kPaletteSize - 1;

struct PaletteRGB {
    BYTE r;
    BYTE g;
    BYTE b;
};

// The whole table, entries 0 to 26, as 0-255 values.
const std::array<PaletteRGB, kPaletteSize>& PaletteTable();

// Entry i as a colour word (0x00BBGGRR); an entry outside 0..26 gives entry 0.
DWORD PaletteColourWord(int entry);
// Entry i as fractions of 255; an entry outside 0..26 gives entry 0.
Color PaletteColour(int entry);

// The entry of item number n (counted from 1): n brought into 1..26 by steps of 26. Numbers below
// 1 wrap the same way (0 gives 26), so every int has an item entry.
int PaletteEntryForItem(int itemNumber);

}  // namespace trellon
