#include "grid/extras/GXExtras.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ButtonBitmap.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/CGXTabWnd.h"
#include "platform/base/ResourceTable.h"
#include "platform/window/windowapi.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {20064, "($1)\n-$1\n$-1\n$1-\n(1$)\n-1$\n1-$\n1$-\n-1 $\n-$ 1\n$ 1-"},
    {20065, "$1\n1$\n$ 1\n1 $\n(1$)"},
    {20124, "Enter"},
    {20125, "Error "},
    {51045, "Currency: Separators"},
    {51046, "Currency: Attributes"},
    {51047, "Currency: Positive Format"},
    {51048, "Currency: Negative Format"},
    {51049, "Currency: Number of decimals"},
    {51050, "Currency: Number of fractional digits "},
    {51051, "Currency: Enable calculator button"},
    {51054, "Currency: Monetary Symbol. "},
};

// The glyphs, in the classic look, as rows of the standard 16-colour palette (see the controls' bitmaps:
// k black, d dark grey, . light grey, w white); the system-colour loader maps the greys to the buttons'.
constexpr std::string_view kKey = "kmeonpt.dRGybfaw";
constexpr RGBQUAD kPalette[16] = {
    {0, 0, 0, 0},     {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0}, {128, 0, 0, 0},   {128, 0, 128, 0},
    {128, 128, 0, 0}, {192, 192, 192, 0}, {128, 128, 128, 0}, {0, 0, 255, 0}, {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},   {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0}};

// A small calculator: its display and three rows of keys.
const std::vector<std::string_view> kCalculatorGlyph = {
    "kkkkkkkkk", "kwwwwwwwk", "kwkkkkkwk", "kwwwwwwwk", "kwk.k.kwk",
    "kwwwwwwwk", "kwk.k.kwk", "kwwwwwwwk", "kwk.k.kwk", "kwwwwwwwk", "kkkkkkkkk"};
// The Enter key's return arrow.
const std::vector<std::string_view> kEnterGlyph = {
    "........kk", "........kk", "...k....kk", "..kk....kk", ".kkkkkkkkk", "kkkkkkkkkk", ".kkkkkkkk.", "..kk......",
    "...k......"};

void RegisterBitmaps() {
  static const std::vector<BYTE> calculator = foundation::MakePackedDib4(kCalculatorGlyph, kKey, kPalette);
  static const std::vector<BYTE> enter = foundation::MakePackedDib4(kEnterGlyph, kKey, kPalette);
  const HINSTANCE grid = plat::ResourceTable::ModuleHandle("grid");
  plat::ResourceTable::AddResource(grid, RT_BITMAP, MAKEINTRESOURCE(gx::kCurrencyButtonBitmap), calculator);
  plat::ResourceTable::AddResource(grid, RT_BITMAP, MAKEINTRESOURCE(gx::kCalculatorEnterBitmap), enter);
}

}  // namespace

namespace gx {

void SetPopupActive(BOOL active) { CGXGridGlobals::Get().m_bPopupActive = active; }

CString FormatFixed(double value, int digits) {
  const int size = std::snprintf(nullptr, 0, "%.*f", digits, value);
  std::string buffer(static_cast<size_t>(size > 0 ? size : 0) + 1, '\0');
  std::snprintf(buffer.data(), buffer.size(), "%.*f", digits, value);
  return CString(buffer.c_str());
}

}  // namespace gx

void GXRegisterExtras() {
  gx::AddGridStrings(kStrings);
  RegisterBitmaps();
  GXRegisterDateTimeCells();
  GXRegisterMaskCells();
  GXRegisterOleCells();
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterExtras))) return;
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_CURRENCY, [](CGXGridCore* g) {
    return static_cast<CGXControl*>(new CGXCurrencyEdit(g, GX_IDS_CTRL_CURRENCY));
  });
  CGXControlFactory::AddUserAttributeRegistrar([](CGXStylesMap& map) { CGXCurrencyEdit::RegisterUserAttributes(&map); });
  // The sheet-tab window and its beam, usable as dialog-template controls.
  CGXControlFactory::AddWndClassRegistrar([](HINSTANCE instance, bool unregister) {
    if (unregister) {
      CGXTabWnd::UnregisterWindowClass(instance);
      CGXTabBeam::UnregisterWindowClass(instance);
    } else {
      CGXTabWnd::RegisterWindowClass(instance);
      CGXTabBeam::RegisterWindowClass(instance);
    }
  });
}
