// The page of the rich edit cell: a row per look of an RTF value drawn inactive (bold, italic, underline,
// colours, faces, alignments), a row that grows while the user types, a row whose match the find selects,
// and under the grid a plain rich edit window whose text is copied and pasted as RTF; its lines do not wrap,
// so a long one takes the view sideways and shows the horizontal bar. Last, the grid zooms.
#include <algorithm>
#include <cstring>
#include <vector>

#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "platform/base/ResourceTable.h"
#include "platform/controls/RichEdit.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

constexpr int kPlainId = 200;
constexpr int kGridHeight = 300;

struct Look {
  const char* label;
  const char* value;
};
constexpr Look kLooks[] = {
    {"Bold", "{\\rtf1 Plain and {\\b bold} text}"},
    {"Italic, underline", "{\\rtf1 {\\i italic}, {\\ul underlined}, {\\strike struck}}"},
    {"Colours",
     "{\\rtf1{\\colortbl;\\red192\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue192;}"
     "\\cf1 red \\cf2 green \\cf3 blue}"},
    {"Faces and sizes",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}{\\f2 Times New Roman;}}\\f1 Courier \\f2\\fs28 Times \\f0\\fs16 "
     "small}"},
    {"Centred", "{\\rtf1\\qc centred paragraph}"},
    {"Right aligned", "{\\rtf1\\qr right aligned}"},
    {"Grows while typing", "{\\rtf1 Type here}"},
    {"Find", "{\\rtf1 needle in a {\\b haystack}}"},
};
constexpr ROWCOL kRows = sizeof kLooks / sizeof kLooks[0];
constexpr ROWCOL kGrowRow = 7, kFindRow = 8;

HWND BuildPage() {
  HWND main = CreatePageWindow("Cell gallery: rich edit", 800, 440);
  CGXGridWnd* g = PageGrid(main);
  g->InitializeFromStyle();
  g->SetRowCount(kRows, 0);
  g->SetColCount(2, 0);
  g->SetColWidth(0, 0, 130, nullptr, 0);
  g->SetColWidth(1, 1, 300, nullptr, 0);
  g->SetColWidth(2, 2, 200, nullptr, 0);
  g->SetStyleRange(CGXRange(0, 1), CGXStyle().SetValue("Rich edit cell"));
  g->SetStyleRange(CGXRange(0, 2), CGXStyle().SetValue("Its plain text"));
  for (ROWCOL r = 1; r <= kRows; ++r) {
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(kLooks[r - 1].label).SetHorizontalAlignment(GX_DT_LEFT));
    CGXStyle rich;
    rich.SetControl(GX_IDS_CTRL_RICHEDIT).SetValue(kLooks[r - 1].value).SetInteriorColor(RGB(255, 255, 255));
    if (r == 4) g->SetRowHeight(r, r, 28, nullptr, 0);  // the larger face
    if (r == kGrowRow) rich.SetAutoSize(TRUE).SetAllowEnter(TRUE).SetInteriorColor(RGB(255, 255, 224));
    g->SetStyleRange(CGXRange(r, 1), rich);
    CString plain;
    CGXStyle composed;
    g->ComposeCellStyle(r, 1, composed, TRUE);
    g->ControlForId(GX_IDS_CTRL_RICHEDIT)->GetDisplayText(plain, r, 1, nullptr, composed);
    g->SetStyleRange(CGXRange(r, 2), CGXStyle().SetValue(plain).SetInteriorColor(RGB(240, 240, 240)));
  }
  RECT client{};
  GetClientRect(main, &client);
  MoveWindow(g->GridHwnd(), 8, 8, client.right - 16, kGridHeight, TRUE);
  HWND plain = CreateWindowEx(WS_EX_CLIENTEDGE, RICHEDIT_CLASS, "",
                              WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_TABSTOP | WS_HSCROLL | ES_AUTOHSCROLL, 8,
                              kGridHeight + 16, client.right - 16, client.bottom - kGridHeight - 24, main,
                              reinterpret_cast<HMENU>(kPlainId), AfxGetInstanceHandle(), nullptr);
  const char* rtf = "{\\rtf1{\\colortbl;\\red0\\green0\\blue192;}A plain rich edit window: {\\b\\cf1 copy me} then paste.}";
  SendMessage(plain, EM_SETTARGETDEVICE, 0, 1);  // no wrapping
  SendMessage(plain, EM_SETEVENTMASK, 0, ENM_CHANGE);
  plat::controls::StreamInBytes(plain, rtf, SF_RTF);
  g->MoveCurrentCellTo(1, 1, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

POINT ScreenPoint(HWND h, int x, int y) { return plat::InputRouter::ClientPoint(h, x, y); }
plat::InputRouter& In() { return plat::InputRouter::Instance(); }

void WithKey(int held, int key) {
  In().KeyDown(held);
  In().KeyPress(key);
  In().KeyUp(held);
}

std::vector<Step> Steps() {
  return {
      // The first cell edited: a click puts the caret into its text, Home at its start, Shift+Ctrl+Right
      // selects a word.
      {"editing",
       [](CGXGridWnd* g) {
         const CRect r = g->CalcCellRect(1, 1);
         In().Click(plat::MouseButton::Left, ScreenPoint(g->GridHwnd(), r.left + 8, r.CenterPoint().y));
         In().KeyPress(VK_HOME);
         In().KeyDown(VK_SHIFT);
         WithKey(VK_CONTROL, VK_RIGHT);
         In().KeyUp(VK_SHIFT);
       }},
      // The growing cell: three more lines typed make its row taller.
      {"grown",
       [](CGXGridWnd* g) {
         g->MoveCurrentCellTo(kGrowRow, 1, GX_UPDATENOW);
         In().KeyPress(VK_END);
         for (const char* line : {"second line", "third line", "fourth line"}) {
           In().KeyPress(VK_RETURN);
           In().TypeText(line);
         }
       }},
      // The find selects "haystack" in another cell, which becomes current and edits.
      {"found",
       [](CGXGridWnd* g) {
         CGXFindReplaceState& request = CGXFindReplaceState::Get();
         request.m_strFind = "haystack";
         request.m_bCase = FALSE;
         g->ControlForId(GX_IDS_CTRL_RICHEDIT)
             ->FindInCell(reinterpret_cast<DWORD_PTR>(&request), kFindRow, 1, TRUE, TRUE);
       }},
      // The plain window: the bold blue words copied with Ctrl+C and pasted at the end with Ctrl+V.
      {"plain-window-pasted",
       [](CGXGridWnd* g) {
         HWND plain = GetDlgItem(GetParent(g->GridHwnd()), kPlainId);
         In().Click(plat::MouseButton::Left, ScreenPoint(plain, 4, 8));
         WithKey(VK_CONTROL, VK_HOME);
         for (int i = 0; i < 26; ++i) In().KeyPress(VK_RIGHT);  // "copy me" starts at 26
         In().KeyDown(VK_SHIFT);
         for (int i = 0; i < 7; ++i) In().KeyPress(VK_RIGHT);
         In().KeyUp(VK_SHIFT);
         WithKey(VK_CONTROL, 'C');
         WithKey(VK_CONTROL, VK_END);
         In().TypeText(" ");
         WithKey(VK_CONTROL, 'V');
       }},
      // Typed on past the window's right edge, the line takes the view sideways and the bar shows.
      {"plain-window-scrolled",
       [](CGXGridWnd*) {
         In().TypeText(" and typed on along the same line, past the right edge of the window, until the view "
                       "follows the caret sideways, word by word");
       }},
      // The grid at 150 %: the rich cells, none of them being edited, scale with the others.
      {"zoomed",
       [](CGXGridWnd* g) {
         g->MoveCurrentCellTo(1, 2, GX_UPDATENOW);
         g->SetZoom(150);
       }},
  };
}

}  // namespace

Page RichEditCellsPage() { return {"richedit", 840, 480, BuildPage, Steps}; }

}  // namespace gallery
