#include "colour/palette.h"

namespace trellon {
namespace {

// Entry 0, a yellow green, is the object's own; the items run through blues (1-3), oranges
// (4-6), greens (7-9), violets (10-12), cyans (13-15), yellows (16-18), black and grey (19-20),
// reds (21-23) and pinks (24-26), each family from strong to pale.
constexpr std::array<PaletteRGB, kPaletteSize> kPalette = {{
    {186, 214, 54},  {0, 18, 255},    {59, 96, 255},   {162, 173, 255}, {255, 114, 0},
    {255, 157, 52},  {255, 204, 149}, {0, 255, 18},    {105, 255, 98},  {171, 255, 171},
    {107, 8, 255},   {150, 56, 255},  {188, 151, 255}, {8, 235, 255},   {83, 255, 241},
    {160, 255, 243}, {255, 246, 6},   {255, 209, 68},  {255, 245, 180}, {0, 0, 0},
    {115, 115, 115}, {255, 6, 6},     {255, 59, 59},   {255, 147, 147}, {255, 0, 186},
    {255, 74, 198},  {247, 156, 255},
}};

const PaletteRGB& Entry(int entry) {
    return kPalette[static_cast<std::size_t>(entry >= 0 && entry < kPaletteSize ? entry : 0)];
}

}  // namespace

const std::array<PaletteRGB, kPaletteSize>& PaletteTable() { return kPalette; }

DWORD PaletteColourWord(int entry) {
    const PaletteRGB& c = Entry(entry);
    return RGB(c.r, c.g, c.b);
}

Color PaletteColour(int entry) {
    const PaletteRGB& c = Entry(entry);
    return Color(static_cast<float>(c.r) / 255.0f, static_cast<float>(c.g) / 255.0f,
                 static_cast<float>(c.b) / 255.0f);
}

int PaletteEntryForItem(int itemNumber) {
    // Modulo on n - 1 keeps the arithmetic inside int for every n and maps 1..26 to themselves.
    const long long zeroBased = (static_cast<long long>(itemNumber) - 1) % kPaletteItemEntries;
    return static_cast<int>(zeroBased < 0 ? zeroBased + kPaletteItemEntries : zeroBased) + 1;
}

}  // namespace trellon
