// The rich edit cell driven the way the user drives it: RTF values edited in place, rendered into inactive
// cells, rows that grow with the text, styles applied into the text, find and replace, the clipboard.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/tests/gxwindowtest.h"
#include "platform/base/GlobalMemory.h"
#include "platform/display/Desktop.h"

namespace enginetest {
namespace {

UINT RtfFormat() { return RegisterClipboardFormat("Rich Text Format"); }

std::string ClipboardText(UINT format) { return gxtest::ClipboardText(format); }
void PutOnClipboard(UINT format, const char* text) { gxtest::PutClipboardText(text, format); }

// The red pixels of an image inside a rectangle: how many, and the box around them (empty when none).
template <class Image>
int RedInk(const Image& image, const CRect& r, CRect* box) {
  int n = 0;
  *box = CRect(r.right, r.bottom, r.left, r.top);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = plat::colorFromPixel(image->pixel(x, y));
      if (GetRValue(c) > 150 && GetGValue(c) < 80 && GetBValue(c) < 80) {
        ++n;
        box->left = std::min<int>(box->left, x);
        box->top = std::min<int>(box->top, y);
        box->right = std::max<int>(box->right, x + 1);
        box->bottom = std::max<int>(box->bottom, y + 1);
      }
    }
  return n;
}

// A rich cell that takes no digits and records what it was told about refused text.
class NoDigits : public CGXRichEditCtrl {
 public:
  using CGXRichEditCtrl::CGXRichEditCtrl;
  BOOL AcceptsText(const CString& text) override { return text.FindOneOf("0123456789") < 0; }
  void OnCellNotify(DWORD_PTR text) override { refused += reinterpret_cast<LPCTSTR>(text); }
  std::string refused;
};

class RichCellTest : public CellControlTest {
 protected:
  // A grid whose cell (2, 1) is a rich cell holding `value` in `style`, current and focused (not editing).
  RecordingGrid* Grid(const char* value, CGXStyle style = CGXStyle(), int w = 400, int h = 300) {
    g = MakeRecordingGrid(8, 4, w, h);
    g->SetColWidth(1, 1, 150);
    CGXStyle rich;
    rich.SetControl(GX_IDS_CTRL_RICHEDIT);
    g->SetStyleRange(CGXRange().AssignCols(1, 1), rich);
    style.SetValue(value);
    SetCell(g, 2, 1, style);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    rich_ = ControlOf<CGXRichEditCtrl>(g, GX_IDS_CTRL_RICHEDIT);
    EXPECT_NE(rich_, nullptr);
    g->Take();
    return g;
  }
  void Activate() {
    Key(VK_END);
    g->CGXGridCore::UpdateWindow();
    Pump();
  }
  std::string Text() {
    CString t;
    rich_->GetWindowText(t);
    return std::string(t);
  }
  std::string Value(ROWCOL r, ROWCOL c) { return std::string(g->GetCellValue(r, c)); }
  std::string Plain(ROWCOL r, ROWCOL c) {
    CGXStyle style;
    g->ComposeCellStyle(r, c, style, TRUE);
    CString out;
    rich_->GetDisplayText(out, r, c, nullptr, style);
    return std::string(out);
  }
  ROWCOL Row() { return CurrentRow(g); }
  ROWCOL Col() { return CurrentCol(g); }
  // The grid wholly redrawn, as on screen.
  std::shared_ptr<plat::Surface> Repainted() {
    g->InvalidateGrid(TRUE);
    g->CGXGridCore::UpdateWindow();
    plat::Desktop::PaintAll();
    return plat::Desktop::Capture(*g);
  }
  static void WithKey(int vk, int key) {
    plat::InputRouter::Instance().KeyDown(vk);
    Key(key);
    plat::InputRouter::Instance().KeyUp(vk);
  }

  RecordingGrid* g = nullptr;
  CGXRichEditCtrl* rich_ = nullptr;
};

TEST(RichCellFormats, StyleAndFormatsRoundTrip) {
  CGXStyle style;
  CGXFont font;
  font.SetWeight(700).SetItalic(TRUE).SetUnderline(TRUE).SetStrikeOut(FALSE).SetFaceName("Courier New");
  font.SetPointSize(14);
  style.SetFont(font).SetTextColor(RGB(200, 10, 20)).SetHorizontalAlignment(2);
  PARAFORMAT pf;
  CHARFORMAT cf;
  CGXRichEditCtrl::StyleToFormats(pf, cf, style);
  EXPECT_EQ(pf.cbSize, 156u);
  EXPECT_EQ(cf.cbSize, 60u);
  EXPECT_EQ(pf.dwMask, PFM_ALIGNMENT);
  EXPECT_EQ(pf.wAlignment, PFA_RIGHT);
  EXPECT_EQ(cf.dwMask & (CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_SIZE | CFM_COLOR),
            CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_SIZE | CFM_COLOR);
  EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT), CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
  EXPECT_EQ(cf.yHeight, 280);  // twips
  EXPECT_STREQ(cf.szFaceName, "Courier New");
  CGXStyle back;
  CGXRichEditCtrl::FormatsToStyle(pf, cf, back);
  EXPECT_EQ(back.GetHorizontalAlignment(), GX_DT_RIGHT);
  EXPECT_EQ(back.GetTextColor(), RGB(200, 10, 20));
  EXPECT_EQ(back.GetFont().GetWeight(), 700);
  EXPECT_TRUE(back.GetFont().GetItalic());
  EXPECT_TRUE(back.GetFont().GetUnderline());
  EXPECT_FALSE(back.GetFont().GetStrikeOut());
  EXPECT_EQ(back.GetFont().GetSize(), 14.0);
  EXPECT_EQ(back.GetFont().GetFaceName(), "Courier New");
  // Centre and left; a style without font or colour gives no character format.
  for (UINT h : {0u, 1u}) {
    CGXStyle aligned;
    aligned.SetHorizontalAlignment(h);
    CGXRichEditCtrl::StyleToFormats(pf, cf, aligned);
    EXPECT_EQ(pf.wAlignment, h == 1 ? PFA_CENTER : PFA_LEFT);
    EXPECT_EQ(cf.dwMask, 0u);
    CGXStyle again;
    CGXRichEditCtrl::FormatsToStyle(pf, cf, again);
    EXPECT_EQ(again.GetHorizontalAlignment(), h == 1 ? GX_DT_CENTER : GX_DT_LEFT);
  }
}

TEST(RichCellFormats, PlainTextBecomesRtfWithItsSpecialCharactersEscaped) {
  EXPECT_EQ(std::string(CGXRichEditCtrl::PlainTextToRtf("abc", TRUE)), "{\\rtf1 abc}");
  EXPECT_EQ(std::string(CGXRichEditCtrl::PlainTextToRtf("abc", FALSE)), "{abc}");
  EXPECT_EQ(std::string(CGXRichEditCtrl::PlainTextToRtf("C:\\temp a}b{", FALSE)), "{C:\\\\temp a\\}b\\{}");
  EXPECT_EQ(std::string(CGXRichEditCtrl::PlainTextToRtf("x\r\ny\nz\rw", FALSE)), "{x\\par y\\par z\\par w}");
  EXPECT_EQ(std::string(CGXRichEditCtrl::PlainTextToRtf("\xE9t\xE9", FALSE)), "{\\'e9t\\'e9}");
}

TEST_F(RichCellTest, PlainTextsStoredFromOutsideComeBackAsTheyWere) {
  CGXStyle style;
  style.SetMaxLength(3);
  Grid("");
  SetCell(g, 3, 1, style);
  for (const char* text : {"C:\\temp", "a}b{c", "\xE9t\xE9 \xFC", "two\r\nlines"}) {
    ASSERT_TRUE(g->SetCellTextThroughControl(4, 1, text, GX_INVALIDATE)) << text;
    EXPECT_EQ(Value(4, 1).front(), '{');
    EXPECT_EQ(Plain(4, 1), text);
  }
  // MaxLength counts the plain characters before escaping.
  ASSERT_TRUE(g->SetCellTextThroughControl(3, 1, "}}}}", GX_INVALIDATE));
  EXPECT_EQ(Value(3, 1), "{\\}\\}\\}}");
  EXPECT_EQ(Plain(3, 1), "}}}");
  // A read-only cell takes nothing from outside.
  CGXStyle locked;
  locked.SetReadOnly(TRUE);
  SetCell(g, 5, 1, locked);
  EXPECT_FALSE(g->SetCellTextThroughControl(5, 1, "zz", GX_INVALIDATE));
  EXPECT_EQ(Value(5, 1), "");
}

TEST_F(RichCellTest, TypedTextIsStoredAsRtfAndEditsInPlace) {
  Grid("{\\rtf1 {\\b bold} plain}");
  EXPECT_EQ(Plain(2, 1), "bold plain");
  EXPECT_FALSE(rich_->GetEditingState());
  Type("abc");  // the first character replaces the cell's text
  EXPECT_TRUE(rich_->GetEditingState());
  g->CGXGridCore::UpdateWindow();
  Pump();
  EXPECT_TRUE(rich_->IsWindowVisible());
  EXPECT_EQ(::GetFocus(), rich_->m_hWnd);
  EXPECT_EQ(Text(), "abc");
  Key(VK_DOWN);  // leaves and stores
  EXPECT_EQ(Row(), 3u);
  const std::string stored = Value(2, 1);
  EXPECT_EQ(stored.rfind("{\\rtf1", 0), 0u) << stored;
  EXPECT_EQ(stored.back(), '}');
  EXPECT_EQ(Plain(2, 1), "abc");
  // Editing keeps the formats of the text: Home, then typing inside the bold word.
  Grid("{\\rtf1 {\\b bold} plain}");
  Key(VK_HOME);
  g->CGXGridCore::UpdateWindow();
  Pump();
  Key(VK_RIGHT);
  Type("X");
  Key(VK_TAB);
  EXPECT_EQ(Plain(2, 1), "bXold plain");
  EXPECT_NE(Value(2, 1).find("\\b"), std::string::npos);
}

TEST_F(RichCellTest, TheKeyTableSendsKeysToTheGridOrTheWindow) {
  CGXStyle enter;
  enter.SetAllowEnter(TRUE);
  Grid("{one\\par two}");
  SetCell(g, 4, 1, enter);
  g->SetCellValue(4, 1, "{x}", 0);
  g->SetCellValue(3, 1, "{abc}", 0);
  // Right at the end leaves; Ctrl+Right stays.
  g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
  Activate();
  WithKey(VK_CONTROL, VK_RIGHT);
  EXPECT_EQ(Row(), 3u);
  EXPECT_EQ(Col(), 1u);
  Key(VK_RIGHT);
  EXPECT_EQ(Col(), 2u);
  // Up on the first line and Down on the last leave; in between they move the caret.
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  Key(VK_HOME);
  g->CGXGridCore::UpdateWindow();
  Key(VK_DOWN);
  EXPECT_EQ(Row(), 2u);
  Key(VK_DOWN);
  EXPECT_EQ(Row(), 3u);
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  Activate();
  Key(VK_UP);
  EXPECT_EQ(Row(), 2u);
  Key(VK_UP);
  EXPECT_EQ(Row(), 1u);
  // Return without AllowEnter goes to the grid; with it, it breaks the paragraph.
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  Activate();
  const long before = rich_->GetTextLength();
  Key(VK_RETURN);
  EXPECT_EQ(rich_->GetTextLength(), before);
  EXPECT_EQ(Plain(2, 1), "one\r\ntwo");
  g->MoveCurrentCellTo(4, 1, GX_UPDATENOW);
  Activate();
  EXPECT_TRUE(rich_->GetStyle() & ES_WANTRETURN);
  Key(VK_RETURN);
  EXPECT_EQ(Row(), 4u);
  EXPECT_EQ(rich_->GetLineCount(), 2);
}

TEST_F(RichCellTest, TypingIntoACellScrolledOutOfViewBringsItBack) {
  Grid("{abc}");
  g->SetRowCount(60);
  Activate();
  ASSERT_TRUE(rich_->GetEditingState());
  // Scrolled wholly away while the cell edits, the grid hides the window; the next typed character brings
  // the cell back into view and lands in its text.
  g->SetTopRow(30, GX_UPDATENOW);
  Pump();
  ASSERT_EQ(g->GetTopRow(), 30u);
  Type("d");
  EXPECT_LE(g->GetTopRow(), 2u);
  EXPECT_EQ(Row(), 2u);
  EXPECT_EQ(Text(), "abcd");
  // Scrolled a row down while it edits, a cell taller than the grid keeps its window, and the focus: a
  // typed character, a key that moves the caret, and a character that comes without a key press (as an
  // input method sends it) each scroll the cell's top back into view.
  g->SetRowHeight(8, 8, 400);
  g->MoveCurrentCellTo(8, 1, GX_UPDATENOW);
  Click(g, 8, 1, 10, 5);
  Pump();
  ASSERT_TRUE(rich_->GetEditingState());
  ASSERT_EQ(g->GetTopRow(), 8u);
  auto scrollAway = [&] {
    g->SetTopRow(7, GX_UPDATENOW);
    Pump();
    ASSERT_EQ(g->GetTopRow(), 7u);
    ASSERT_EQ(::GetFocus(), rich_->m_hWnd);
  };
  scrollAway();
  Type("e");
  EXPECT_EQ(g->GetTopRow(), 8u);
  scrollAway();
  Key(VK_LEFT);
  EXPECT_EQ(g->GetTopRow(), 8u);
  scrollAway();
  rich_->SendMessage(WM_CHAR, 'f', 1);
  Pump();
  EXPECT_EQ(g->GetTopRow(), 8u);
  EXPECT_EQ(Text(), "fe");
  EXPECT_EQ(Row(), 8u);
}

TEST_F(RichCellTest, ClipboardKeysCopyBothFormatsAndPastePrefersRtf) {
  Grid("{\\rtf1 {\\b abc}def}");
  g->SetCellValue(3, 1, "{xyz}", 0);
  Activate();
  rich_->SetSel(0, 3);
  WithKey(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(ClipboardText(CF_TEXT), "abc");
  EXPECT_NE(ClipboardText(RtfFormat()).find("\\b"), std::string::npos);
  // Ctrl+C reaches the grid, which copies through the control: both formats again.
  PutOnClipboard(CF_TEXT, "old");
  rich_->SetSel(3, 6);
  WithKey(VK_CONTROL, 'C');
  EXPECT_EQ(ClipboardText(CF_TEXT), "def");
  EXPECT_FALSE(ClipboardText(RtfFormat()).empty());
  // Shift+Delete cuts (both formats), Shift+Insert pastes the RTF back with its bold.
  rich_->SetSel(0, 3);
  WithKey(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(Text(), "def");
  EXPECT_EQ(ClipboardText(CF_TEXT), "abc");
  EXPECT_FALSE(ClipboardText(RtfFormat()).empty());
  rich_->SetSel(3, 3);
  WithKey(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(Text(), "defabc");
  CHARFORMAT cf{};
  rich_->SetSel(4, 5);
  rich_->GetSelectionCharFormat(cf);
  EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
  // An RTF paste into a cell that is not editing replaces its whole text.
  Key(VK_DOWN);
  EXPECT_EQ(Plain(2, 1), "defabc");
  EXPECT_FALSE(rich_->GetEditingState());
  EXPECT_TRUE(rich_->PasteFromClipboard());
  EXPECT_EQ(Text(), "abc");
  // Plain text pastes as text.
  PutOnClipboard(CF_TEXT, "plain");
  EXPECT_TRUE(rich_->PasteFromClipboard());
  EXPECT_EQ(Text(), "abcplain");
}

TEST_F(RichCellTest, ReadOnlyCellsRefuseTypingPastingAndDelete) {
  CGXStyle locked;
  locked.SetReadOnly(TRUE);
  Grid("{keep}", locked);
  Type("x");
  Key(VK_DELETE);
  PutOnClipboard(RtfFormat(), "{\\rtf1 new}");
  EXPECT_FALSE(rich_->CanPasteFromClipboard());
  EXPECT_FALSE(rich_->PasteFromClipboard());
  Key(VK_DOWN);
  EXPECT_EQ(Value(2, 1), "{keep}");
}

TEST_F(RichCellTest, DeleteOnAnInactiveCellEmptiesItAndARefusedCharacterIsDropped) {
  g = MakeRecordingGrid(8, 4);
  auto* picky = new NoDigits(g, 9200);
  g->AddCellControl(9200, picky);
  picky->CreateEditWindow(ES_MULTILINE, 9200);
  CGXStyle style;
  style.SetControl(9200).SetValue("{text}");
  SetCell(g, 2, 1, style);
  ::SetFocus(*g);
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  Pump();
  Key(VK_END);
  g->CGXGridCore::UpdateWindow();
  Type("a1b");
  CString t;
  picky->GetWindowText(t);
  EXPECT_EQ(std::string(t), "textab");
  EXPECT_EQ(picky->refused, "1");
  Key(VK_DOWN);
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  Key(VK_DELETE);
  EXPECT_TRUE(picky->GetEditingState());
  picky->GetWindowText(t);
  EXPECT_EQ(std::string(t), "");
  EXPECT_TRUE(picky->GetModifiedState());
}

TEST_F(RichCellTest, AutoSizeGrowsTheRowWhileTypingUpToTheVisibleHeightAndShrinksBack) {
  CGXStyle style;
  style.SetAutoSize(TRUE).SetAllowEnter(TRUE);
  Grid("{a}", style, 400, 200);
  const int bound = g->GetRowHeight(2);
  EXPECT_EQ(rich_->BoundRowHeight(), bound);
  Activate();
  Key(VK_RETURN);
  Type("b");
  Key(VK_RETURN);
  Type("c");
  Pump();
  const int grown = g->GetRowHeight(2);
  EXPECT_GT(grown, bound);
  // Many lines stop at the height of the grid below the frozen rows.
  for (int i = 0; i < 20; ++i) {
    Key(VK_RETURN);
    Type("x");
  }
  Pump();
  CRect area;
  g->GetDrawingArea(&area);
  const int limit = area.Height() - g->GetRowHeight(0) - 1;
  EXPECT_LE(g->GetRowHeight(2), limit);
  EXPECT_GT(g->GetRowHeight(2), grown);
  // Deleting everything shrinks it back, never below the height at binding.
  rich_->SetSel(0, -1);
  Key(VK_DELETE);
  Pump();
  EXPECT_EQ(g->GetRowHeight(2), bound);
}

TEST_F(RichCellTest, InactiveCellsRenderTheirFormatsAsTheActiveWindowShowsThem) {
  const char* value = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\qc\\cf1\\b RED}";
  Grid(value);
  g->SetCellValue(4, 1, value, 0);
  auto inactive = Repainted();
  ASSERT_TRUE(inactive);
  const CRect cell = g->CalcCellRect(4, 1);
  CRect ink1;
  const int red = RedInk(inactive, cell, &ink1);
  EXPECT_GT(red, 20);
  // Centred: about as much room on the left as on the right.
  EXPECT_LT(std::abs((ink1.left - cell.left) - (cell.right - (ink1.right - 1))), 12);
  // The active cell draws the same text at the same place.
  g->MoveCurrentCellTo(4, 1, GX_UPDATENOW);
  Activate();
  plat::Desktop::PaintAll();
  auto active = plat::Desktop::Capture(*g);
  CRect ink2;
  EXPECT_NEAR(RedInk(active, cell, &ink2), red, red / 4);
  EXPECT_NEAR(ink2.left, ink1.left, 2);
  // An empty cell draws no text.
  CRect ink3;
  EXPECT_EQ(RedInk(active, g->CalcCellRect(5, 1), &ink3), 0);
}

TEST_F(RichCellTest, InactiveCellsFollowTheGridsZoom) {
  // A red word, in a cell that is not current, at 100 % and at two zooms: its ink scales with the zoom.
  Grid("{a}", CGXStyle(), 900, 500);
  g->SetCellValue(4, 1, "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\fs20 Wide}", 0);
  auto redInk = [&] {
    auto image = Repainted();
    EXPECT_TRUE(image);
    const CRect cell = g->CalcCellRect(4, 1);
    CRect ink;
    if (image) RedInk(image, cell, &ink);
    // The ink starts near the cell's top left whatever the zoom.
    EXPECT_LT(ink.left - cell.left, cell.Width() / 4);
    EXPECT_LT(ink.top - cell.top, cell.Height() / 2);
    return ink;
  };
  const CRect plain = redInk();
  ASSERT_GT(plain.Width(), 10);
  ASSERT_GT(plain.Height(), 5);
  for (int zoom : {200, 150}) {
    ASSERT_TRUE(g->SetZoom(zoom, 0));
    const CRect zoomed = redInk();
    EXPECT_NEAR(zoomed.Width(), plain.Width() * zoom / 100.0, plain.Width() * 0.15) << zoom << " %";
    EXPECT_NEAR(zoomed.Height(), plain.Height() * zoom / 100.0, plain.Height() * 0.25) << zoom << " %";
  }
}

TEST_F(RichCellTest, StylesGoIntoTheSelectionOrIntoTheWholeInactiveValue) {
  Grid("{abcdef}");
  g->SetCellValue(4, 1, "{\\rtf1 other}", 0);
  CGXStyle bold;
  CGXFont font;
  font.SetBold(TRUE);
  bold.SetFont(font).SetTextColor(RGB(0, 0, 255));
  // The whole value of another cell; its style keeps no font of its own.
  ASSERT_TRUE(g->SetStyleRange(CGXRange(4, 1), bold, gxOverride));
  const std::string stored = Value(4, 1);
  EXPECT_NE(stored.find("\\b"), std::string::npos) << stored;
  EXPECT_EQ(Plain(4, 1), "other");
  CGXStyle cellStyle;
  g->ReadStoredStyle(4, 1, cellStyle, gxCopy, 0);
  EXPECT_FALSE(cellStyle.IsIncluded(GX_IN_FONT));
  CGXStyle read;
  read.SetValue(stored.c_str());
  rich_->ApplyEditedValueToStyle(4, 1, read);
  EXPECT_TRUE(read.GetFont().GetBold());
  EXPECT_EQ(read.GetTextColor(), RGB(0, 0, 255));
  // The active cell: only the selection.
  Activate();
  rich_->SetSel(0, 3);
  ASSERT_TRUE(g->SetStyleRange(CGXRange(2, 1), bold, gxOverride));
  EXPECT_TRUE(rich_->GetModifiedState());
  CGXStyle sel;
  rich_->ApplyEditedValueToStyle(2, 1, sel);
  EXPECT_TRUE(sel.GetFont().GetBold());
  rich_->SetSel(3, 6);
  CGXStyle rest;
  rich_->ApplyEditedValueToStyle(2, 1, rest);
  EXPECT_FALSE(rest.GetFont().GetBold());
}

TEST_F(RichCellTest, FindAndReplaceInTheActiveAndInAnotherCell) {
  Grid("{one two One}");
  g->SetCellValue(4, 1, "{\\rtf1 xx {\\b ONE} yy}", 0);
  CGXFindReplaceState request;
  request.m_strFind = "one";
  request.m_strReplace = "1";
  request.m_bCase = FALSE;
  const auto req = reinterpret_cast<DWORD_PTR>(&request);
  Activate();
  rich_->SetSel(0, 0);
  ASSERT_TRUE(rich_->FindInCell(req, 2, 1, TRUE, TRUE));
  long s = 0, e = 0;
  rich_->GetSel(s, e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 3);
  ASSERT_TRUE(rich_->FindInCell(req, 2, 1, FALSE, TRUE));
  rich_->GetSel(s, e);
  EXPECT_EQ(s, 8);
  request.m_bCase = TRUE;
  EXPECT_FALSE(rich_->FindInCell(req, 2, 1, FALSE, TRUE));
  request.m_bCase = FALSE;
  // Another cell becomes current and shows the hit selected.
  ASSERT_TRUE(rich_->FindInCell(req, 4, 1, TRUE, TRUE));
  EXPECT_EQ(Row(), 4u);
  EXPECT_TRUE(rich_->GetEditingState());
  rich_->GetSel(s, e);
  EXPECT_EQ(s, 3);
  EXPECT_EQ(e, 6);
  // Replacing in a cell that is not editing keeps the formats around the replacement.
  ASSERT_TRUE(rich_->ReplaceInCell(req, 2, 1));
  EXPECT_EQ(Plain(2, 1), "1 two 1");
  request.m_strFind = "zzz";
  EXPECT_FALSE(rich_->ReplaceInCell(req, 2, 1));
  // Replacing in the active cell stores the result.
  request.m_strFind = "yy";
  request.m_strReplace = "yyy";
  rich_->SetSel(0, 0);
  ASSERT_TRUE(rich_->ReplaceInCell(req, 4, 1));
  EXPECT_EQ(Plain(4, 1), "xx ONE yyy");
  EXPECT_NE(Value(4, 1).find("\\b"), std::string::npos);
  // A result past the maximum length, in the active cell or another, is refused whole: both keep their texts.
  g->SetStyleRange(CGXRange(2, 1, 4, 1), CGXStyle().SetMaxLength(10));
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 1, GX_UPDATENOW));
  rich_->SetEditingState(TRUE);
  rich_->SetSel(0, 0);
  for (const ROWCOL row : {4, 2}) {
    request.m_strFind = row == 4 ? "yy" : "two";  // "xx ONE yyyy", "1 two two 1": 11 characters
    request.m_strReplace = row == 4 ? "yyy" : "two two";
    g->SetWarningText(nullptr);
    EXPECT_FALSE(rich_->ReplaceInCell(req, row, 1));
    EXPECT_FALSE(g->GetWarningText().IsEmpty());
  }
  EXPECT_EQ(Plain(4, 1), "xx ONE yyy");
  EXPECT_EQ(Plain(2, 1), "1 two 1");
}

TEST_F(RichCellTest, TheCellSizeComesFromTheMeasuringWindow) {
  Grid("{one}");
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  CDC* dc = g->GetCachedDC();
  const CSize one = rich_->ComputeCellSize(dc, 2, 1, style, nullptr, TRUE);
  style.SetValue("{one\\par two\\par three}");
  const CSize three = rich_->ComputeCellSize(dc, 2, 1, style, nullptr, TRUE);
  EXPECT_GT(one.cy, 8);
  EXPECT_NEAR(three.cy - 1, 3 * (one.cy - 1), 6);
  EXPECT_EQ(one.cx, three.cx);  // the width is the cell's
}

}  // namespace
}  // namespace enginetest
