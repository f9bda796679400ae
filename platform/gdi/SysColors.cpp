#include "platform/gdi/SysColors.h"

#include <array>
#include <map>

namespace plat {

namespace {

// The classic standard scheme (RGB as COLORREF 0x00BBGGRR).
constexpr std::array<COLORREF, COLOR_COUNT> kDefaultColors = {
    RGB(192, 192, 192),  //  0 COLOR_SCROLLBAR
    RGB(0, 128, 128),    //  1 COLOR_BACKGROUND
    RGB(0, 0, 128),      //  2 COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  //  3 COLOR_INACTIVECAPTION
    RGB(192, 192, 192),  //  4 COLOR_MENU
    RGB(255, 255, 255),  //  5 COLOR_WINDOW
    RGB(0, 0, 0),        //  6 COLOR_WINDOWFRAME
    RGB(0, 0, 0),        //  7 COLOR_MENUTEXT
    RGB(0, 0, 0),        //  8 COLOR_WINDOWTEXT
    RGB(255, 255, 255),  //  9 COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // 10 COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // 11 COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // 12 COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // 13 COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // 14 COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // 15 COLOR_BTNFACE
    RGB(128, 128, 128),  // 16 COLOR_BTNSHADOW
    RGB(128, 128, 128),  // 17 COLOR_GRAYTEXT
    RGB(0, 0, 0),        // 18 COLOR_BTNTEXT
    RGB(192, 192, 192),  // 19 COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // 20 COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // 21 COLOR_3DDKSHADOW
    RGB(192, 192, 192),  // 22 COLOR_3DLIGHT
    RGB(0, 0, 0),        // 23 COLOR_INFOTEXT
    RGB(255, 255, 225),  // 24 COLOR_INFOBK
    RGB(180, 180, 180),  // 25 (unused slot)
    RGB(0, 0, 255),      // 26 COLOR_HOTLIGHT
    RGB(16, 132, 208),   // 27 COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181),  // 28 COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),      // 29 COLOR_MENUHILIGHT
    RGB(192, 192, 192),  // 30 COLOR_MENUBAR
};

// A 1280 x 1024 screen at 96 DPI with the classic (unthemed) frame sizes.
const std::map<int, int>& defaultMetrics() {
  static const std::map<int, int> m = {
      {SM_CXSCREEN, 1280},       {SM_CYSCREEN, 1024},        {SM_CXVSCROLL, 17},         {SM_CYHSCROLL, 17},
      {SM_CYCAPTION, 18},        {SM_CXBORDER, 1},           {SM_CYBORDER, 1},           {SM_CXDLGFRAME, 3},
      {SM_CYDLGFRAME, 3},        {SM_CYVTHUMB, 17},          {SM_CXHTHUMB, 17},          {SM_CXICON, 32},
      {SM_CYICON, 32},           {SM_CXCURSOR, 32},          {SM_CYCURSOR, 32},          {SM_CYMENU, 19},
      {SM_CXFULLSCREEN, 1280},   {SM_CYFULLSCREEN, 1006},    {SM_CYKANJIWINDOW, 0},      {SM_MOUSEPRESENT, 1},
      {SM_CYVSCROLL, 17},        {SM_CXHSCROLL, 17},         {SM_DEBUG, 0},              {SM_SWAPBUTTON, 0},
      {SM_CXMIN, 112},           {SM_CYMIN, 27},             {SM_CXSIZE, 18},            {SM_CYSIZE, 18},
      {SM_CXFRAME, 4},           {SM_CYFRAME, 4},            {SM_CXMINTRACK, 112},       {SM_CYMINTRACK, 27},
      {SM_CXDOUBLECLK, 4},       {SM_CYDOUBLECLK, 4},        {SM_CXICONSPACING, 75},     {SM_CYICONSPACING, 75},
      {SM_MENUDROPALIGNMENT, 0}, {SM_PENWINDOWS, 0},         {SM_DBCSENABLED, 0},        {SM_CMOUSEBUTTONS, 3},
      {SM_SECURE, 0},            {SM_CXEDGE, 2},             {SM_CYEDGE, 2},             {SM_CXMINSPACING, 160},
      {SM_CYMINSPACING, 24},     {SM_CXSMICON, 16},          {SM_CYSMICON, 16},          {SM_CYSMCAPTION, 15},
      {SM_CXSMSIZE, 15},         {SM_CYSMSIZE, 15},          {SM_CXMENUSIZE, 18},        {SM_CYMENUSIZE, 18},
      {SM_ARRANGE, 8},           {SM_CXMINIMIZED, 160},      {SM_CYMINIMIZED, 24},       {SM_CXMAXTRACK, 1292},
      {SM_CYMAXTRACK, 1036},     {SM_CXMAXIMIZED, 1288},     {SM_CYMAXIMIZED, 1032},     {SM_NETWORK, 3},
      {SM_CLEANBOOT, 0},         {SM_CXDRAG, 4},             {SM_CYDRAG, 4},             {SM_SHOWSOUNDS, 0},
      {SM_CXMENUCHECK, 13},      {SM_CYMENUCHECK, 13},       {SM_SLOWMACHINE, 0},        {SM_MIDEASTENABLED, 0},
      {SM_MOUSEWHEELPRESENT, 1}, {SM_XVIRTUALSCREEN, 0},     {SM_YVIRTUALSCREEN, 0},     {SM_CXVIRTUALSCREEN, 1280},
      {SM_CYVIRTUALSCREEN, 1024}, {SM_CMONITORS, 1},         {SM_SAMEDISPLAYFORMAT, 1},  {SM_CXFOCUSBORDER, 1},
      {SM_CYFOCUSBORDER, 1},     {SM_REMOTESESSION, 0},
  };
  return m;
}

struct Tables {
  std::array<COLORREF, COLOR_COUNT> colors = kDefaultColors;
  std::map<int, int> metrics = defaultMetrics();
};

Tables& tables() {
  static Tables t;
  return t;
}

}  // namespace

BOOL SetSysColorValues(int count, const INT* indexes, const COLORREF* colors) {
  if (count < 0 || (count > 0 && (!indexes || !colors))) return FALSE;
  for (int i = 0; i < count; ++i) {
    if (indexes[i] >= 0 && indexes[i] < COLOR_COUNT) tables().colors[indexes[i]] = colors[i] & 0xFFFFFFu;
  }
  return TRUE;
}

int SetSystemMetricValue(int index, int value) {
  auto& m = tables().metrics;
  auto it = m.find(index);
  const int old = it == m.end() ? 0 : it->second;
  m[index] = value;
  return old;
}

void ResetSysColorsAndMetrics() { tables() = Tables{}; }

COLORREF DefaultSysColor(int index) {
  return (index >= 0 && index < COLOR_COUNT) ? kDefaultColors[index] : 0;
}

}  // namespace plat

DWORD GetSysColor(int index) {
  if (index < 0 || index >= COLOR_COUNT) return 0;
  return plat::tables().colors[index];
}

int GetSystemMetrics(int index) {
  const auto& m = plat::tables().metrics;
  auto it = m.find(index);
  return it == m.end() ? 0 : it->second;
}

UINT GetDoubleClickTime() { return 500; }

BOOL SystemParametersInfoA(UINT action, UINT, void* out, UINT) {
  if (action != SPI_GETWORKAREA || !out) return FALSE;
  RECT* r = static_cast<RECT*>(out);
  *r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return TRUE;
}
