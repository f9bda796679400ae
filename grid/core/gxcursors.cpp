// The grid's own cursors, drawn here as 16 x 16 pictures on a 32 x 32 cursor and registered in the "grid"
// resource module: 'X' black, 'o' white, '.' transparent; the hot spot is marked by the picture's '+' (a
// black pixel).
#include "grid/core/gxcursors.h"

#include <array>
#include <cstring>
#include <vector>

#include "grid/core/CGXGridCore.h"
#include "platform/base/ResourceTable.h"

namespace {

struct Picture {
  UINT id;
  std::array<const char*, 16> rows;
};

// clang-format off
const Picture kPictures[] = {
    {GX_IDC_VRESIZE, {"......oXo.......", "......oXo.......", "...o..oXo..o....", "..oXo.oXo.oXo...",
                      ".oXXooo+oooXXo..", "oXXXXXXXXXXXXXo.", ".oXXooXXXooXXo..", "..oXo.oXo.oXo...",
                      "...o..oXo..o....", "......oXo.......", "......oXo.......", "................",
                      "................", "................", "................", "................"}},
    {GX_IDC_HRESIZE, {".......o........", "......oXo.......", ".....oXXXo......", "....oXXXXXo.....",
                      ".......X........", "oooooooXoooooooo", "XXXXXXX+XXXXXXXX", "oooooooXoooooooo",
                      ".......X........", "....oXXXXXo.....", ".....oXXXo......", "......oXo.......",
                      ".......o........", "................", "................", "................"}},
    {GX_IDC_VHIDDEN, {"....oXoXo.......", "....oXoXo.......", "..o.oXoXo.o.....", ".oXooXoXooXo....",
                      "oXXXXX+XXXXXo...", ".oXooXoXooXo....", "..o.oXoXo.o.....", "....oXoXo.......",
                      "....oXoXo.......", "................", "................", "................",
                      "................", "................", "................", "................"}},
    {GX_IDC_HHIDDEN, {"....o...........", "...oXo..........", "..oXXXo.........", "oooooXoooo......",
                      "XXXXXXXXXX......", "oooooooooo......", "XXXXX+XXXX......", "oooooXoooo......",
                      "..oXXXo.........", "...oXo..........", "....o...........", "................",
                      "................", "................", "................", "................"}},
    {GX_IDC_SELDRAG, {"+...............", "Xo..............", "XXo.............", "XoXo............",
                      "XooXo...........", "XoooXo..........", "XooooXo.........", "XoooXXXo........",
                      "XoXoXo..........", "XX.XoXo.........", "X..XXXXXXXX.....", "....XooooooX....",
                      "....XooooooX....", "....XooooooX....", "....XXXXXXXX....", "................"}},
    {GX_IDC_SELCOL, {"....oXXXo.......", "....oXXXo.......", "....oXXXo.......", "....oXXXo.......",
                     "oooooXXXooooo...", ".oXXXXXXXXXo....", "..oXXXXXXXo.....", "...oXXXXXo......",
                     "....oXXXo.......", ".....oXo........", "......+.........", "................",
                     "................", "................", "................", "................"}},
    {GX_IDC_SELROW, {"....o...........", "....oo..........", "....oXo.........", "....oXXo........",
                     "ooooXXXXo.......", "XXXXXXXXXo......", "XXXXXXXXXX+.....", "XXXXXXXXXo......",
                     "ooooXXXXo.......", "....oXXo........", "....oXo.........", "....oo..........",
                     "....o...........", "................", "................", "................"}},
    {20208, {"....oXXXXXo.....", "..oXXXoooXXXo...", ".oXXoo...ooXXo..", ".XXXXo.....oXX..",
             "oXooXXo.....oXo.", "XXo.oXXo....oXX.", "XXo..oXX+...oXX.", "XXo...oXXo..oXX.",
             "oXo....oXXo.oXo.", ".XXo....oXXXXX..", ".oXXoo...ooXXo..", "..oXXXoooXXXo...",
             "....oXXXXXo.....", "................", "................", "................"}},
    {GX_IDC_FILLHANDLE, {"......ooo.......", "......oXo.......", "......oXo.......", "......oXo.......",
                         "......oXo.......", "......oXo.......", "oooooooXooooooo.", "oXXXXXX+XXXXXXo.",
                         "oooooooXooooooo.", "......oXo.......", "......oXo.......", "......oXo.......",
                         "......oXo.......", "......oXo.......", "......ooo.......", "................"}},
    // The sheet-tab window's splitter: a double bar with arrows to both sides.
    {30980, {".....oXoXo......", ".....oXoXo......", ".....oXoXo......", "..oX.oXoXo.Xo...",
             ".oXXooXoXooXXo..", "oXXXXXX+XXXXXXo.", ".oXXooXoXooXXo..", "..oX.oXoXo.Xo...",
             ".....oXoXo......", ".....oXoXo......", ".....oXoXo......", "................",
             "................", "................", "................", "................"}},
};
// clang-format on

constexpr int kSize = 32, kRowBytes = kSize / 8;

// The classic cursor resource: the hot spot (two WORDs), then a monochrome bitmap of twice the height, the
// colour (XOR) mask over the transparency (AND) mask.
std::vector<BYTE> MakeCursor(const Picture& p) {
  struct Header {
    DWORD size;
    LONG width, height;
    WORD planes, bits;
    DWORD compression, imageSize;
    LONG xppm, yppm;
    DWORD used, important;
  } header{40, kSize, 2 * kSize, 1, 1, 0, 2 * kSize * kRowBytes, 0, 0, 2, 0};
  std::vector<BYTE> xorMask(kSize * kRowBytes, 0), andMask(kSize * kRowBytes, 0xFF);
  WORD hotX = 0, hotY = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const char c = p.rows[static_cast<std::size_t>(y)][x];
      if (c == '.') continue;
      const int row = kSize - 1 - y;  // bottom-up
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      andMask[static_cast<std::size_t>(row * kRowBytes + x / 8)] &= static_cast<BYTE>(~bit);
      if (c == 'o') xorMask[static_cast<std::size_t>(row * kRowBytes + x / 8)] |= bit;
      if (c == '+') hotX = static_cast<WORD>(x), hotY = static_cast<WORD>(y);
    }
  // Hot spot, header, the two-colour palette, then the XOR and AND masks, in one block of its final size.
  const std::size_t masksAt = 4 + sizeof header + 8;
  std::vector<BYTE> out(masksAt + xorMask.size() + andMask.size());
  std::memcpy(out.data(), &hotX, 2);
  std::memcpy(out.data() + 2, &hotY, 2);
  std::memcpy(out.data() + 4, &header, sizeof header);
  const BYTE palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  std::memcpy(out.data() + 4 + sizeof header, palette, 8);
  std::memcpy(out.data() + masksAt, xorMask.data(), xorMask.size());
  std::memcpy(out.data() + masksAt + xorMask.size(), andMask.data(), andMask.size());
  return out;
}

}  // namespace

namespace gx {

void RegisterGridCursors() {
  static const std::vector<std::vector<BYTE>> made = [] {
    std::vector<std::vector<BYTE>> all;
    for (const Picture& p : kPictures) all.push_back(MakeCursor(p));
    return all;
  }();
  HINSTANCE grid = plat::ResourceTable::ModuleHandle("grid");
  for (std::size_t i = 0; i < made.size(); ++i)
    plat::ResourceTable::AddResource(grid, RT_CURSOR, MAKEINTRESOURCE(kPictures[i].id), made[i]);
}

std::vector<BYTE> CursorMasks(UINT id, POINT* hotSpot) {
  for (const Picture& p : kPictures)
    if (p.id == id) {
      std::vector<BYTE> bytes = MakeCursor(p);
      if (hotSpot) {
        WORD x = 0, y = 0;
        std::memcpy(&x, bytes.data(), 2);
        std::memcpy(&y, bytes.data() + 2, 2);
        *hotSpot = POINT{x, y};
      }
      return bytes;
    }
  return {};
}

}  // namespace gx
