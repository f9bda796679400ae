// The bitmaps of the cell controls, drawn here in the classic look as rows of palette indices and made into
// packed 4-bit bitmaps (the owner-draw buttons' code makes them), registered under the grid's module.
//
// Key of the rows: the standard 16-colour palette in its order, one character per entry:
//   k black, m maroon, e green, o olive, n navy, p purple, t teal, . light grey (192),
//   d dark grey (128), R red, G lime, y yellow, b blue, f fuchsia, a aqua, w white.
// The rows are constant data: the module's start-up registers the bitmaps while the libraries' statics are still
// being initialised, in an order nobody controls.
// The check boxes paint their interior red (their loader makes it the window colour) and their marks black
// (the window text); the arrows use black and the greys that the system-colour loader replaces.
#include "grid/controls/GXControlBitmaps.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "foundation/ButtonBitmap.h"
#include "platform/base/ResourceTable.h"
#include "platform/window/windowapi.h"

namespace gx {
namespace {

constexpr std::string_view kKey = "kmeonpt.dRGybfaw";
constexpr std::array<RGBQUAD, 16> kPalette = {{
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0}, {255, 255, 255, 0},
}};

// Five 13 x 13 boxes: unchecked, checked, unchecked pressed or disabled, checked pressed or disabled,
// undetermined. The 3-D box of version 4 systems: two sunken rings.
constexpr std::string_view kCheck3d[] = {
    "ddddddddddddwddddddddddddwddddddddddddwddddddddddddwddddddddddddw",
    "dkkkkkkkkkk.wdkkkkkkkkkk.wdkkkkkkkkkk.wdkkkkkkkkkk.wdkkkkkkkkkk.w",
    "dkRRRRRRRRR.wdkRRRRRRRRR.wdk..........wdk..........wdkw.w.w.w.w.w",
    "dkRRRRRRRRR.wdkRRRRRRRkR.wdk..........wdk.......d..wdk.w.w.w.d..w",
    "dkRRRRRRRRR.wdkRRRRRRkkR.wdk..........wdk......dd..wdkw.w.w.ddw.w",
    "dkRRRRRRRRR.wdkRkRRRkkkR.wdk..........wdk.d...ddd..wdk.d.w.ddd..w",
    "dkRRRRRRRRR.wdkRkkRkkkRR.wdk..........wdk.dd.ddd...wdkwdd.ddd.w.w",
    "dkRRRRRRRRR.wdkRkkkkkRRR.wdk..........wdk.ddddd....wdk.ddddd.w..w",
    "dkRRRRRRRRR.wdkRRkkkRRRR.wdk..........wdk..ddd.....wdkw.ddd.w.w.w",
    "dkRRRRRRRRR.wdkRRRkRRRRR.wdk..........wdk...d......wdk.w.d.w.w..w",
    "dkRRRRRRRRR.wdkRRRRRRRRR.wdk..........wdk..........wdkw.w.w.w.w.w",
    "d...........wd...........wd...........wd...........wd...........w",
    "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww",
};

// The 3-D box of older systems: one sunken ring.
constexpr std::string_view kCheck3dOld[] = {
    "ddddddddddddwddddddddddddwddddddddddddwddddddddddddwddddddddddddw",
    "dRRRRRRRRRRRwdRRRRRRRRRRRwd...........wd...........wdw.w.w.w.w.ww",
    "dRRRRRRRRRRRwdRRRRRRRRRRRwd...........wd...........wd.w.w.w.w.w.w",
    "dRRRRRRRRRRRwdRRRRRRRRkRRwd...........wd........d..wdw.w.w.w.d.ww",
    "dRRRRRRRRRRRwdRRRRRRRkkRRwd...........wd.......dd..wd.w.w.w.ddw.w",
    "dRRRRRRRRRRRwdRRkRRRkkkRRwd...........wd..d...ddd..wdw.d.w.ddd.ww",
    "dRRRRRRRRRRRwdRRkkRkkkRRRwd...........wd..dd.ddd...wd.wdd.ddd.w.w",
    "dRRRRRRRRRRRwdRRkkkkkRRRRwd...........wd..ddddd....wdw.ddddd.w.ww",
    "dRRRRRRRRRRRwdRRRkkkRRRRRwd...........wd...ddd.....wd.w.ddd.w.w.w",
    "dRRRRRRRRRRRwdRRRRkRRRRRRwd...........wd....d......wdw.w.d.w.w.ww",
    "dRRRRRRRRRRRwdRRRRRRRRRRRwd...........wd...........wd.w.w.w.w.w.w",
    "dRRRRRRRRRRRwdRRRRRRRRRRRwd...........wd...........wdw.w.w.w.w.ww",
    "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww",
};

// The flat box, also the printing bitmap: a black frame.
constexpr std::string_view kCheckFlat[] = {
    "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk",
    "kRRRRRRRRRRRkkRRRRRRRRRRRkk...........kk...........kkw.w.w.w.w.wk",
    "kRRRRRRRRRRRkkRRRRRRRRRRRkk...........kk...........kk.w.w.w.w.w.k",
    "kRRRRRRRRRRRkkRRRRRRRRkRRkk...........kk........d..kkw.w.w.w.d.wk",
    "kRRRRRRRRRRRkkRRRRRRRkkRRkk...........kk.......dd..kk.w.w.w.ddw.k",
    "kRRRRRRRRRRRkkRRkRRRkkkRRkk...........kk..d...ddd..kkw.d.w.ddd.wk",
    "kRRRRRRRRRRRkkRRkkRkkkRRRkk...........kk..dd.ddd...kk.wdd.ddd.w.k",
    "kRRRRRRRRRRRkkRRkkkkkRRRRkk...........kk..ddddd....kkw.ddddd.w.wk",
    "kRRRRRRRRRRRkkRRRkkkRRRRRkk...........kk...ddd.....kk.w.ddd.w.w.k",
    "kRRRRRRRRRRRkkRRRRkRRRRRRkk...........kk....d......kkw.w.d.w.w.wk",
    "kRRRRRRRRRRRkkRRRRRRRRRRRkk...........kk...........kk.w.w.w.w.w.k",
    "kRRRRRRRRRRRkkRRRRRRRRRRRkk...........kk...........kkw.w.w.w.w.wk",
    "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk",
};

// Radio buttons, 14 x 13 images on light grey in three rows of five (unselected, selected, unselected
// pressed, selected pressed, disabled): flat, 3-D, and 3-D greyed. The cells use the 3-D row's first two.
constexpr std::string_view kRadio[] = {
    "....kkkk..........kkkk..........kkkk..........kkkk..........kkkk......",
    "..kkwwwwkk......kkwwwwkk......kkwwwwkk......kkwwwwkk......kkwwwwkk....",
    ".kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk...",
    ".kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk...",
    "kwwwwwwwwwwk..kwwwwkkwwwwk..kwwwwwwwwwwk..kwwwwkkwwwwk..kwwwwwwwwwwk..",
    "kwwwwwwwwwwk..kwwwkkkkwwwk..kwwwwwwwwwwk..kwwwkkkkwwwk..kwwwwwwwwwwk..",
    "kwwwwwwwwwwk..kwwwkkkkwwwk..kwwwwwwwwwwk..kwwwkkkkwwwk..kwwwwwwwwwwk..",
    "kwwwwwwwwwwk..kwwwwkkwwwwk..kwwwwwwwwwwk..kwwwwkkwwwwk..kwwwwwwwwwwk..",
    ".kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk...",
    ".kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk....kwwwwwwwwk...",
    "..kkwwwwkk......kkwwwwkk......kkwwwwkk......kkwwwwkk......kkwwwwkk....",
    "....kkkk..........kkkk..........kkkk..........kkkk..........kkkk......",
    "......................................................................",
    "....dddd..........dddd..........dddd..........dddd..........dddd......",
    "..ddkkkkdd......ddkkkkdd......ddkkkkdd......ddkkkkdd......ddkkkkdd....",
    ".dkkwwwwk.w....dkkwwwwk.w....dkk....k.w....dkk....k.w....dkk....k.w...",
    ".dkwwwwww.w....dkwwwwww.w....dk.......w....dk.......w....dk.......w...",
    "dkwwwwwwww.w..dkwwwkkwww.w..dk.........w..dk...kk....w..dk.........w..",
    "dkwwwwwwww.w..dkwwkkkkww.w..dk.........w..dk..kkkk...w..dk.........w..",
    "dkwwwwwwww.w..dkwwkkkkww.w..dk.........w..dk..kkkk...w..dk.........w..",
    "dkwwwwwwww.w..dkwwwkkwww.w..dk.........w..dk...kk....w..dk.........w..",
    ".dkwwwwww.w....dkwwwwww.w....dk.......w....dk.......w....dk.......w...",
    ".d..wwww..w....d..wwww..w....d........w....d........w....d........w...",
    "..ww....ww......ww....ww......ww....ww......ww....ww......ww....ww....",
    "....wwww..........wwww..........wwww..........wwww..........wwww......",
    "......................................................................",
    "....dddd..........dddd..........dddd..........dddd..........dddd......",
    "..ddkkkkdd......ddkkkkdd......ddkkkkdd......ddkkkkdd......ddkkkkdd....",
    ".dkk....k.w....dkk....k.w....dkk....k.w....dkk....k.w....dkk....k.w...",
    ".dk.......w....dk.......w....dk.......w....dk.......w....dk.......w...",
    "dk.........w..dk...dd....w..dk.........w..dk...dd....w..dk.........w..",
    "dk.........w..dk..dddd...w..dk.........w..dk..dddd...w..dk.........w..",
    "dk.........w..dk..dddd...w..dk.........w..dk..dddd...w..dk.........w..",
    "dk.........w..dk...dd....w..dk.........w..dk...dd....w..dk.........w..",
    ".dk.......w....dk.......w....dk.......w....dk.......w....dk.......w...",
    ".d........w....d........w....d........w....d........w....d........w...",
    "..ww....ww......ww....ww......ww....ww......ww....ww......ww....ww....",
    "....wwww..........wwww..........wwww..........wwww..........wwww......",
    "......................................................................",
};

// The drop-down arrow: a black triangle on light grey, and its greyed twin in the shadow colour.
constexpr std::string_view kArrow[] = {"kkkkkkk", ".kkkkk.", "..kkk..", "...k..."};
constexpr std::string_view kArrowGrey[] = {"ddddddd", ".ddddd.", "..ddd..", "...d..."};

}  // namespace

void RegisterControlBitmaps() {
  // The bytes are made once and must outlive their registration; registering again (after a test dropped
  // the module's resources) replaces the entries with the same bytes.
  struct Made {
    UINT id;
    std::vector<BYTE> dib;
  };
  static const std::vector<Made> made = [] {
    const auto make = [](std::span<const std::string_view> rows) {
      return foundation::MakePackedDib4(std::vector<std::string_view>(rows.begin(), rows.end()), kKey, kPalette);
    };
    return std::vector<Made>{{kCheckBox3dBitmap, make(kCheck3d)},         {kCheckBox3dOldBitmap, make(kCheck3dOld)},
                             {kCheckBoxFlatBitmap, make(kCheckFlat)},     {kRadioBitmap, make(kRadio)},
                             {kComboArrowBitmap, make(kArrow)},           {kComboArrowGreyBitmap, make(kArrowGrey)},
                             {kComboWndArrowBitmap, make(kArrow)},        {kComboWndArrowGreyBitmap, make(kArrowGrey)}};
  }();
  const HINSTANCE grid = plat::ResourceTable::ModuleHandle("grid");
  for (const Made& m : made) plat::ResourceTable::AddResource(grid, RT_BITMAP, MAKEINTRESOURCE(m.id), m.dib);
}

}  // namespace gx
