// The cell control base and the static and header cells.
#include "foundation/VisualStyles.h"
#include "grid/controls/CGXHeader.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/gxstrings.h"
#include "grid/core/tests/enginetest.h"
#include "platform/base/CException.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/StringApi.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

namespace enginetest {
namespace {

using StaticCellTest = EngineTest;

TEST_F(StaticCellTest, TextMarginsFollowTheAlignment) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXStatic cell(g);
  const int m = CGXStatic::TextMargin();
  EXPECT_GE(m, 2);
  CGXStyle left, right;
  right.SetHorizontalAlignment(GX_DT_RIGHT);
  const CRect rect(100, 40, 150, 60);
  const CRect base = cell.CGXControl::ComputeInnerRect(rect, left);
  const CRect l = cell.ComputeInnerRect(rect, left), r = cell.ComputeInnerRect(rect, right);
  EXPECT_EQ(l.left, base.left + m);
  EXPECT_EQ(l.right, base.right - m / 2);
  EXPECT_EQ(r.right, base.right - (m + 1));
  // The inner rectangle leaves the grid line at the left and top edges.
  EXPECT_EQ(base, CRect(101, 41, 150, 60));
}

struct FixedSize : CGXAbstractCalcSizeImp {
  CSize CalcSize(CGXGridCore*, CGXControl* control, CDC*, ROWCOL row, ROWCOL col, const CGXStyle&, const CGXStyle*,
                 BOOL vertical) override {
    asked = control;
    return vertical ? CSize(0, static_cast<int>(row)) : CSize(static_cast<int>(col) * 10, 0);
  }
  CGXControl* asked = nullptr;
};

TEST_F(StaticCellTest, StaticCellsAreMeasuredByTheCellSizeFeature) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXStatic cell(g);
  CGXStyle style;
  EXPECT_EQ(cell.ComputeCellSize(nullptr, 2, 3, style, nullptr, FALSE), CSize(0, 0));
  auto* imp = new FixedSize;
  g->SetFeature(imp);
  EXPECT_EQ(cell.ComputeCellSize(nullptr, 2, 3, style, nullptr, FALSE), CSize(30, 0));
  EXPECT_EQ(cell.ComputeCellSize(nullptr, 2, 3, style, nullptr, TRUE), CSize(0, 2));
  EXPECT_EQ(imp->asked, &cell);
  // Floating text is the floating-cells feature's decision.
  struct FloatRowTwo : CGXGridFloatCellsImp {
    BOOL CanFloatText(CGXGridCore*, ROWCOL row, ROWCOL, const CGXStyle&, BOOL) override { return row == 2; }
  };
  EXPECT_FALSE(cell.CanFloatText(2, 1, style, FALSE));
  g->SetFeature(new FloatRowTwo);
  EXPECT_TRUE(cell.CanFloatText(2, 1, style, FALSE));
  EXPECT_FALSE(cell.CanFloatText(3, 1, style, FALSE));
  // The base control needs no size of its own and never floats.
  CGXControl base(g);
  EXPECT_EQ(base.ComputeCellSize(nullptr, 2, 3, style, nullptr, FALSE), CSize(0, 0));
  EXPECT_FALSE(base.CanFloatText(2, 1, style, FALSE));
}

TEST_F(StaticCellTest, ControlClassesChainToTheirBases) {
  CGXGridWnd* g = MakeGrid(1, 1);
  CGXHeader header(g);
  CGXStatic text(g);
  EXPECT_TRUE(header.IsKindOfControl(&CGXStatic::classCGXStatic));
  EXPECT_TRUE(header.IsKindOfControl(&CGXControl::classCGXControl));
  EXPECT_FALSE(text.IsKindOfControl(&CGXHeader::classCGXHeader));
  // A record of another library with the same name counts as the same class.
  const CGXControlClass lookalike = {"CGXStatic", nullptr};
  EXPECT_TRUE(header.IsKindOfControl(&lookalike));
}

TEST_F(StaticCellTest, TheRegistrationCallIsSafeToRepeatAndBringsTheControlsTexts) {
  CGXGridWnd* g = MakeGrid(1, 1);
  CGXControlFactory factory;
  const auto classOf = [&](UINT id) {
    std::unique_ptr<CGXControl> control(factory.CreateControl(id, g));
    return control ? control->GetControlClass() : nullptr;
  };
  GXRegisterStaticControls();  // the fixture made the call already
  EXPECT_EQ(classOf(GX_IDS_CTRL_STATIC), &CGXStatic::classCGXStatic);
  EXPECT_EQ(classOf(GX_IDS_CTRL_HEADER), &CGXHeader::classCGXHeader);
  EXPECT_EQ(gx::LoadGridString(51019), "Checkbox: Checked Value");
  CGXControlFactory::ClearRegistriesForTest();
  EXPECT_EQ(classOf(GX_IDS_CTRL_STATIC), nullptr);
  GXRegisterStaticControls();
  EXPECT_EQ(classOf(GX_IDS_CTRL_HEADER), &CGXHeader::classCGXHeader);
}

TEST_F(StaticCellTest, AHeaderOnePixelHighDrawsNothing) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXHeader header(g);
  // A 32-bit colour bitmap (a bitmap compatible with a fresh memory device would be monochrome).
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateBitmap(40, 20, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 40, 20, RGB(1, 2, 3));
  CGXStyle style;
  style.SetValue("Head").SetInteriorColor(RGB(200, 200, 200));
  header.DrawCell(&dc, CRect(0, 5, 40, 6), 0, 1, style, nullptr);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(dc.GetPixel(x, 5), RGB(1, 2, 3)) << x;
  header.DrawCell(&dc, CRect(0, 0, 40, 20), 0, 1, style, nullptr);
  EXPECT_NE(dc.GetPixel(20, 2), RGB(1, 2, 3));
  dc.SelectObject(old);
}

// A 32-bit colour bitmap selected into a memory device, filled with a marker colour.
struct Canvas {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  Canvas(int w, int h) {
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateBitmap(w, h, 1, 32, nullptr);
    old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, w, h, RGB(1, 2, 3));
  }
  ~Canvas() { dc.SelectObject(old); }
  COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
};

TEST_F(StaticCellTest, HeaderLooksFollowTheMarkingSwitchAndTheSelection) {
  CGXGridWnd* g = MakeGrid(5, 3);
  CGXHeader header(g);
  CGXStyle style;
  style.SetInteriorColor(RGB(200, 200, 200));
  const COLORREF black = RGB(0, 0, 0), grey = RGB(128, 128, 128), white = RGB(255, 255, 255),
                 face = RGB(200, 200, 200), light = CGXSysColorTable::GetColor(20);
  {
    // Without the switch: raised, highlight on top and left, black shadow at the bottom and right.
    Canvas c(40, 20);
    header.DrawCell(&c.dc, CRect(0, 0, 40, 20), 3, 0, style, nullptr);
    EXPECT_EQ(c.At(10, 0), light);
    EXPECT_EQ(c.At(0, 10), light);
    EXPECT_EQ(c.At(10, 19), black);
    EXPECT_EQ(c.At(39, 10), black);
    EXPECT_EQ(c.At(10, 10), face);
  }
  g->GetParam()->m_bHeaderMarking = TRUE;
  g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(3, 3)));
  {
    // With the switch a selected row's header is unmarked: raised, with black outer and grey inner lines.
    Canvas c(40, 20);
    header.DrawCell(&c.dc, CRect(0, 0, 40, 20), 3, 0, style, nullptr);
    EXPECT_EQ(c.At(0, 10), white);
    EXPECT_EQ(c.At(10, 19), black);
    EXPECT_EQ(c.At(39, 10), black);
    EXPECT_EQ(c.At(10, 18), grey);
    EXPECT_EQ(c.At(38, 10), grey);
    EXPECT_EQ(c.At(10, 0), light);
  }
  {
    // Any other row's header is marked: only the grey bottom and right lines and the white left line.
    Canvas c(40, 20);
    header.DrawCell(&c.dc, CRect(0, 0, 40, 20), 4, 0, style, nullptr);
    EXPECT_EQ(c.At(10, 19), grey);
    EXPECT_EQ(c.At(39, 10), grey);
    EXPECT_EQ(c.At(0, 10), white);
    EXPECT_EQ(c.At(10, 0), face);
    EXPECT_EQ(c.At(10, 18), face);
  }
  {
    // A whole row meets every column: all column headers mark, but only its own row header.
    EXPECT_TRUE(header.MarkEditHeader(0, 2, 0));
    EXPECT_TRUE(header.MarkEditHeader(3, 0, 0));
    EXPECT_FALSE(header.MarkEditHeader(4, 0, 0));
    g->GetParam()->GetSelection().DeleteAll();
    g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignCols(2, 2)));
    EXPECT_TRUE(header.MarkEditHeader(4, 0, 0));
    EXPECT_TRUE(header.MarkEditHeader(0, 2, 0));
    EXPECT_FALSE(header.MarkEditHeader(0, 1, 0));
  }
}

TEST_F(StaticCellTest, TheCurrentHeaderIsBoldWithTheSwitchButNotUnderVisualStyles) {
  CGXGridWnd* g = MakeGrid(5, 3);
  CGXHeader header(g);
  g->GetParam()->m_bHeaderMarking = TRUE;
  g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(3, 4)));
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 1, 0));
  auto ink = [&](ROWCOL row) {
    Canvas c(60, 20);
    CGXStyle style;
    style.SetValue("WWW").SetInteriorColor(RGB(200, 200, 200)).SetTextColor(RGB(0, 0, 255));
    header.DrawCell(&c.dc, CRect(0, 0, 60, 20), row, 0, style, nullptr);
    int n = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 60; ++x) n += c.At(x, y) == RGB(0, 0, 255);
    return n;
  };
  const int current = ink(3), other = ink(4);
  EXPECT_GT(current, other);  // both unmarked (selected); only the current one is bold
  foundation::RecordingThemeLibrary lib;
  UnloadThemeLibrary();
  foundation::InstallThemeLibrary(&lib);
  foundation::SetCommonControlsVersion(0x00060000);
  foundation::ThemeStartup();
  const int themed = ink(3);
  UnloadThemeLibrary();
  foundation::InstallThemeLibrary(nullptr);
  foundation::SetCommonControlsVersion(std::nullopt);
  foundation::ThemeStartup();
  EXPECT_EQ(themed, other);
}

// Marks the headers of column 2 (the feature that marks the edited cell's headers).
struct MarkColumnTwo : CGXGridMarkEditHeaderImp {
  BOOL IsHeaderMarked(CGXGridCore*, CGXControl* header, ROWCOL row, ROWCOL col) override {
    asked = header;
    return row == 0 && col == 2;
  }
  CGXControl* asked = nullptr;
};

TEST_F(StaticCellTest, TheMarkEditHeaderFeatureDrawsAHeaderPressed) {
  CGXGridWnd* g = MakeGrid(5, 3);
  CGXHeader header(g);
  EXPECT_FALSE(header.MarkEditHeader(0, 2, 0));
  auto* feature = new MarkColumnTwo;
  g->SetFeature(feature);
  EXPECT_TRUE(header.MarkEditHeader(0, 2, 0));
  EXPECT_EQ(feature->asked, &header);
  CGXStyle style;
  style.SetInteriorColor(RGB(200, 200, 200));
  Canvas marked(40, 20), plain(40, 20);
  header.DrawCell(&marked.dc, CRect(0, 0, 40, 20), 0, 2, style, nullptr);
  header.DrawCell(&plain.dc, CRect(0, 0, 40, 20), 0, 1, style, nullptr);
  // Pressed: no highlight on top, the black bottom and right lines only.
  EXPECT_EQ(marked.At(10, 0), RGB(200, 200, 200));
  EXPECT_EQ(marked.At(10, 19), RGB(0, 0, 0));
  EXPECT_EQ(marked.At(39, 10), RGB(0, 0, 0));
  EXPECT_EQ(plain.At(10, 0), CGXSysColorTable::GetColor(20));
}

TEST_F(StaticCellTest, AHeaderWithItsOwnFrameSettingGetsNoHeaderLook) {
  CGXGridWnd* g = MakeGrid(5, 3);
  CGXHeader header(g);
  CGXStyle style;
  style.SetInteriorColor(RGB(200, 200, 200)).SetDraw3dFrame(2);  // inset
  Canvas c(40, 20);
  g->m_bNeedsOwnBackground = TRUE;
  header.DrawCell(&c.dc, CRect(0, 0, 40, 20), 3, 0, style, nullptr);
  // The control's inset frame lies in the ring inside the grid line: black on top and left.
  EXPECT_EQ(c.At(10, 1), RGB(0, 0, 0));
  EXPECT_EQ(c.At(1, 10), RGB(0, 0, 0));
  EXPECT_EQ(c.At(10, 19), CGXSysColorTable::GetColor(20));
}

// A child button that records what reaches it.
class RecordingChild : public CGXChild {
 public:
  RecordingChild(CGXControl* c, std::vector<CString>* log, const char* name) : CGXChild(c), m_log(log), m_name(name) {}
  void Draw(CDC*, BOOL) override {}
  BOOL OnLButtonDown(UINT, CPoint) override { return Log("down"), handles; }
  BOOL OnLButtonUp(UINT, CPoint) override { return Log("up"), handles; }
  BOOL OnLButtonDblClk(UINT, CPoint) override { return Log("dblclk"), handles; }
  BOOL OnKeyMessage(UINT, UINT, UINT, UINT) override { return Log("key"), handles; }
  void ReleaseState() override { Log("release"); }
  BOOL handles = TRUE;

 private:
  void Log(const char* what) { m_log->push_back(CString(m_name) + ":" + what); }
  std::vector<CString>* m_log;
  const char* m_name;
};

// A control whose two children sit side by side in the inner rectangle.
class TwoButtonControl : public CGXControl {
 public:
  using CGXControl::CGXControl;
  void LayOutChildren(ROWCOL, ROWCOL, const CRect& inner) override {
    const int mid = (inner.left + inner.right) / 2;
    GetChildAt(0)->SetRect(CRect(inner.left, inner.top, mid, inner.bottom));
    GetChildAt(1)->SetRect(CRect(mid, inner.top, inner.right, inner.bottom));
  }
  BOOL OnCharInCell(UINT ch, UINT, UINT) override { return chars.push_back(ch), TRUE; }
  BOOL OnDbcsCharInCell(const CString& s, UINT, UINT) override { return dbcs.push_back(s), TRUE; }
  std::vector<UINT> chars;
  std::vector<CString> dbcs;
};

class GridWithClickLog : public CGXGridWnd {
 public:
  BOOL OnLButtonDblClkCell(ROWCOL r, ROWCOL c, UINT, CPoint) override {
    log.push_back(CString("grid:dblclk"));
    (void)r, (void)c;
    return FALSE;
  }
  BOOL OnLButtonClickedCell(ROWCOL, ROWCOL, UINT, CPoint) override { return log.push_back("grid:up"), FALSE; }
  std::vector<CString> log;
};

TEST_F(StaticCellTest, ChildrenTakeTheMouseFirstAndTheGridHearsEveryDoubleClick) {
  auto* g = MakeGrid<GridWithClickLog>(4, 3);
  TwoButtonControl control(g);
  control.AppendChild(new RecordingChild(&control, &g->log, "a"));
  auto* b = new RecordingChild(&control, &g->log, "b");
  control.AppendChild(b);
  control.InitForCell(2, 2);
  const CRect cell = g->CalcCellRect(2, 2);
  const CPoint inB(cell.right - 3, cell.CenterPoint().y);
  EXPECT_TRUE(control.OnLButtonDownInCell(0, inB.x, inB.y, 64));
  EXPECT_EQ(control.GetActiveChild(), b);
  EXPECT_TRUE(control.OnLButtonUpInCell(0, inB.x, inB.y, 64));
  // A double-click handled by a child still reaches the grid.
  EXPECT_TRUE(control.OnLButtonDblClkInCell(0, inB.x, inB.y));
  // Keys go to the active child first; one it refuses goes on to the control.
  b->handles = FALSE;
  EXPECT_TRUE(control.OnKeyMessage(WM_CHAR, 'x', 1, 0));
  control.ReleaseChildButtons();
  const std::vector<CString> expected = {"b:down", "b:up", "grid:up", "b:dblclk", "grid:dblclk", "b:key",
                                         "a:release", "b:release"};
  EXPECT_EQ(g->log, expected);
  EXPECT_EQ(control.chars, std::vector<UINT>{'x'});
  // Detaching hands the child back undeleted.
  control.DetachChild(b);
  EXPECT_EQ(control.GetChildCount(), 1);
  EXPECT_EQ(control.GetActiveChild(), nullptr);
  delete b;
}

TEST_F(StaticCellTest, ChoiceListsFindEqualLinesBeforePrefixes) {
  CGXGridWnd* g = MakeGrid(1, 1);
  CGXControl control(g);
  const CString choices = "apple\r\ncherry\rCher\nlast";
  CString out;
  EXPECT_EQ(control.FindChoiceListItem(out, "Cher", choices, FALSE), 2);
  EXPECT_EQ(out, "Cher");
  EXPECT_EQ(control.FindChoiceListItem(out, "che", choices, FALSE), 1);
  EXPECT_EQ(out, "cherry");
  EXPECT_EQ(control.FindChoiceListItem(out, "che", choices, TRUE), -1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(control.FindChoiceListItem(out, "", choices, FALSE), -1);
  EXPECT_TRUE(control.GetChoiceListItem(out, choices, 3));
  EXPECT_EQ(out, "last");
  EXPECT_FALSE(control.GetChoiceListItem(out, choices, 4));
  EXPECT_FALSE(control.GetChoiceListItem(out, choices, -1));
  EXPECT_EQ(out, "");
}

// The answer is the first line in list order, whatever the order without regard to case, and asking in turn
// about more lists than are kept gives each list's own answer.
TEST_F(StaticCellTest, ChoiceLookupsAnswerTheFirstLineInListOrder) {
  CGXGridWnd* g = MakeGrid(1, 1);
  CGXControl control(g);
  const struct {
    const char* choices;
    std::string text;
    BOOL exact;
    int line;
  } cases[] = {
      {"zeta\nAlpha\nalpha\nALPHA", "alpha", FALSE, 1},     // equal in any case: the first in the list
      {"bb\nab\naa\nabc", "a", FALSE, 1},                   // beginning with it: the first in the list, not "aa"
      {"abcd\nab\nabc", "abc", FALSE, 2},                   // an equal line before any line it begins
      {"abcd\nab\nabc", "abc", TRUE, 2},
      {"abcd\nab", "abc", TRUE, -1},
      {"abcd\nab", "abcde", FALSE, -1},
      {"\xC4pfel\nBirne", "\xE4p", FALSE, 0},              // the code page's letters fold too
      {"a\n\nb", "b", FALSE, 2},                            // an empty line is a line
      {"ab\nabc", std::string("ab\0c", 4), FALSE, 0},      // compared up to its NUL, and begins no line
      {"abc", std::string("ab\0", 3), FALSE, -1},
  };
  std::vector<CGXStyle> styles(std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) styles[i].SetChoiceList(cases[i].choices);
  for (int round = 0; round < 2; ++round)  // the second round finds the lists kept or split anew
    for (size_t i = 0; i < std::size(cases); ++i) {
      const auto& c = cases[i];
      const CString text(std::string_view(c.text));
      CString out, line;
      EXPECT_EQ(control.FindChoiceListItem(out, text, c.choices, c.exact), c.line) << c.choices << " / " << c.text;
      control.GetChoiceListItem(line, c.choices, c.line);
      EXPECT_EQ(out, line);
      // Through the style holding the list: the same answers, from the lines its list keeps.
      EXPECT_EQ(control.FindChoiceListItem(out, text, styles[i], c.exact), c.line) << c.choices << " / " << c.text;
      control.GetChoiceListItem(line, styles[i], c.line);
      EXPECT_EQ(out, line);
    }
}

// A list of GXChoiceLines::kIndexedLines lines or more, once asked for often enough, is looked up through an index
// kept with its text, a shorter one or one asked for a few times is walked, and both answer alike. Each row is asked
// of its list as given and lengthened past the threshold by lines after its own (which no text names), walked and
// indexed, through a style whose list replaced another (its lines reversed, indexed before) and through the text;
// the lists of one text share one index, which answers after the list that made it is replaced.
TEST_F(StaticCellTest, ChoiceLookupsAnswerAlikeWalkedAndIndexed) {
  CGXGridWnd* g = MakeGrid(1, 1);
  CGXControl control(g);
  std::string items;  // "item 099" down to "item 000": the lines beginning with "item" span many blocks
  for (int i = 99; i >= 0; --i) items += "item 0" + std::to_string(i / 10) + std::to_string(i % 10) + "\n";
  struct Case {
    std::string choices;
    std::string text;
    BOOL exact;
    int line;
  };
  std::vector<Case> cases = {
      {"b\nB\nb", "B", FALSE, 0},                    // duplicates in any case: the first
      {"x\nab\nAB\nab", "aB", TRUE, 1},
      {"zz\nAbc\nab", "AB", FALSE, 2},               // an equal line after a longer one beginning with it
      {"abc\nABD\nab", "aB", FALSE, 2},
      {"bd\nbc\nba", "B", FALSE, 0},                 // beginning with it: the first in list order, not "ba"
      {"a\n\nb", "b", FALSE, 2},                     // empty lines are lines
      {"a\n\n\nb", std::string("\0x", 2), FALSE, 1},  // up to its NUL: empty, the first empty line
      {"a\r\nb\rc\nd", "D", FALSE, 3},              // CR LF, CR and LF each end a line
      {"a\nb", "a\nb", FALSE, -1},                   // a text of two lines names none
      {"a\nb", "A\r", FALSE, -1},
      {"a\nb\n", "", FALSE, -1},                      // an empty text names none
      {"abc\nabd", "abcd", FALSE, -1},                // longer than every line
      {"abc\nabd", "ab", TRUE, -1},
      {"\xC4pfel\n\xE4pfel", "\xE4PFEL", TRUE, 0},    // the code page's letters fold
      // Eight characters are compared at a time, and a line's end looked for so: cases, ends and the code page's
      // letters past the first eight, and the signs beside the ASCII capitals, which no case folds.
      {"abcdefghij\nABCDEFGHIJKLMNOPQ\nabcdefghijklmnopqr", "abcdefghijklmnopq", TRUE, 1},
      {"{{{{0123456789\n[[[[0123456789", "[[[[0123456789", TRUE, 1},
      {"````0123456789\n@@@@0123456789", "@@@@0123456789", TRUE, 1},
      {"abcdefghijkl\rmnop\nabcdefghijklmnop", "ABCDEFGHIJKLMNOP", TRUE, 2},
      {"kleine Stra\xDF" "e\nGROSSE BL\xC4TTER", "grosse bl\xE4tter", TRUE, 1},
      {"abcdefghijk1\nABCDEFGHIJ2", "ABCDEFGHIJ", FALSE, 0},
      // The last eight characters of a longer text overlap those before; its NUL, CR or LF is looked for eight
      // characters at a time too.
      {"abcdefghiX\nABCDEFGHIJ", "abcdefghij", TRUE, 1},
      {"abcdefgh\xC4X\nabcdefgh\xC4x", "ABCDEFGH\xE4x", TRUE, 0},
      {"abcdefghij\nx", std::string("ABCDEFGHIJ\0klmnopqrs", 20), FALSE, 0},
      {"abcdefghijklm\nx", std::string("abcdefghij\0klmnopqrs", 20), FALSE, -1},
      {"abcdefghij\nklmnopqrs", "abcdefghij\nklmnopqrs", FALSE, -1},
      {items, "item", FALSE, 0},
      {items, "ITEM 05", FALSE, 40},
      {items, "Item 050", TRUE, 49},
      {items, "item 0500", FALSE, -1},
      // A line's end is lower than any character, the control characters below CR and LF too.
      {"ab\x01\nab\nab\t", "AB\x01", TRUE, 0},
      {"ab\x01\nab\nab\t", "aB", TRUE, 1},
      {"ab\t\nab\x01", "AB", FALSE, 0},
      {"ab\x02\nab\x01", "AB\x01", FALSE, 1},
      // Longer texts than are folded on the stack, a letter of the code page among them.
      {std::string(150, 'a') + "\xC4" + std::string(149, 'b') + "\n" + std::string(150, 'a') + "\xC4",
       std::string(150, 'A') + "\xE4" + std::string(149, 'B'), TRUE, 0},
      {std::string(300, 'a') + "x\n" + std::string(300, 'A'), std::string(300, 'a'), FALSE, 1},
      {std::string(300, 'a') + "x\n" + std::string(299, 'A'), std::string(300, 'a'), FALSE, 0},
      // The first and last ASCII capitals fold in a word of eight as alone.
      {"GND\nGND_ZONE1\nZENER DIODE", "gnd_zone1", TRUE, 1},
      {"gnd\ngnd_zone1\nzener diode", "ZENER DIODE", TRUE, 2},
      {"gnd\ngnd_zone1\nzener diode", "ZENER", FALSE, 2},
  };
  // A capital A or Z at each of the eight places of a word, against lines of small letters and of capitals.
  for (const char capital : {'A', 'Z'})
    for (size_t at = 0; at < 8; ++at) {
      const char small = static_cast<char>(capital + ('a' - 'A'));
      std::string word(9, small);
      word[at] = capital;
      cases.push_back({"x\n" + std::string(9, small), word, TRUE, 1});
      cases.push_back({"x\n" + std::string(9, capital), word, TRUE, 1});
      cases.push_back({"x\n" + std::string(9, capital), word.substr(0, 8), FALSE, 1});
    }
  for (const auto& c : cases)
    for (const bool lengthened : {false, true}) {
      std::string list = c.choices;
      if (lengthened) {
        if (!list.empty() && list.back() != '\n' && list.back() != '\r') list += '\n';
        for (size_t n = 0; n < GXChoiceLines::kIndexedLines; ++n) list += "~" + std::to_string(n) + "\n";
      }
      const std::string where = c.choices.substr(0, 20) + (lengthened ? " (lengthened) / " : " / ") + c.text;
      const std::vector<CString> lines = CGXControl::SplitChoiceList(CString(std::string_view(list)));
      const CString text(std::string_view(c.text)), expected = c.line < 0 ? CString() : lines[size_t(c.line)];
      // Walked and through an index of its own alike, whatever the list's length.
      const auto index = GXChoiceLines::MakeIndex(list);
      if (!c.text.empty()) {
        EXPECT_EQ(GXChoiceLines(list).Find(c.text, c.exact), c.line) << where;
        EXPECT_EQ(GXChoiceLines(list, index.get()).Find(c.text, c.exact), c.line) << where;
      }
      // Through a style whose list replaced another, and through a twin of the same text, both asked for until
      // they are indexed.
      std::string reversed;
      for (auto it = lines.rbegin(); it != lines.rend(); ++it) reversed += it->GetString() + std::string("\n");
      CGXStyle style, twin;
      style.SetChoiceList(reversed.c_str());
      twin.SetChoiceList(list.c_str());
      CString out;
      for (unsigned n = 0; n <= GXChoiceLines::kWalksBeforeIndex; ++n) {
        control.FindChoiceListItem(out, text, style, c.exact);
        control.FindChoiceListItem(out, text, twin, c.exact);
      }
      // A list is walked while it is asked for a few times, then looked up through the index of its twin.
      style.SetChoiceList(list.c_str());
      for (unsigned n = 0; n < GXChoiceLines::kWalksBeforeIndex; ++n) {
        const GXChoiceLines walked = control.SplitChoiceListKept(style);
        EXPECT_EQ(walked.Index(), nullptr) << where << " ask " << n;
        if (!c.text.empty()) {
          EXPECT_EQ(walked.Find(c.text, c.exact), c.line) << where << " ask " << n;
        }
      }
      const GXChoiceLines kept = control.SplitChoiceListKept(style);
      EXPECT_EQ(kept.Index() != nullptr, lines.size() >= GXChoiceLines::kIndexedLines) << where;
      EXPECT_EQ(kept.Index(), control.SplitChoiceListKept(twin).Index()) << where;
      twin.SetChoiceList("");
      EXPECT_EQ(control.FindChoiceListItem(out, text, style, c.exact), c.line) << where;
      EXPECT_EQ(out, expected) << where;
      EXPECT_EQ(control.FindChoiceListItem(out, text, CString(list.c_str()), c.exact), c.line) << where;
      EXPECT_EQ(out, expected) << where;
      EXPECT_EQ(kept.Count(), lines.size()) << where;
    }
  // A line may hold a NUL, which a text looked up ends at: it is no line's end, in the index as in a walk.
  using namespace std::string_view_literals;
  const struct {
    std::string_view choices, text;
    BOOL exact;
    int line;
  } nuls[] = {
      {"ab\0c\nab\nx"sv, "AB", TRUE, 1},
      {"ab\0c\nx\ny"sv, "ab", TRUE, -1},
      {"ab\0c\nx\ny"sv, "ab", FALSE, 0},
      {"ab\0\nab\0c\nab"sv, "aB", FALSE, 2},
      {"ab\0c\nab\0\nx"sv, "AB\0c"sv, FALSE, -1},
      {"x\nab\0c\nab\0"sv, "ab\0"sv, FALSE, -1},
      {"ab\0\x01\nab\0\nab"sv, "ab\x01", FALSE, -1},
  };
  for (const auto& c : nuls) {
    const auto index = GXChoiceLines::MakeIndex(c.choices);
    EXPECT_EQ(GXChoiceLines(c.choices).Find(c.text, c.exact), c.line) << c.text;
    EXPECT_EQ(GXChoiceLines(c.choices, index.get()).Find(c.text, c.exact), c.line) << c.text;
  }
}

TEST_F(StaticCellTest, StoredTextsAreCutToTheMaximumLengthAndReadOnlyCellsRefuse) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXControl control(g);
  CGXStyle limited;
  limited.SetMaxLength(4);
  EXPECT_TRUE(control.StoreCellText(1, 1, "abcdefgh", GX_INVALIDATE, &limited));
  EXPECT_EQ(g->GetCellValue(1, 1), "abcd");
  CGXStyle unlimited;
  unlimited.SetMaxLength(0);
  EXPECT_TRUE(control.StoreCellText(1, 2, "abcdefgh", GX_INVALIDATE, &unlimited));
  EXPECT_EQ(g->GetCellValue(1, 2), "abcdefgh");
  CGXStyle ro;
  ro.SetReadOnly(TRUE);
  EXPECT_FALSE(control.StoreCellText(1, 3, "x", GX_INVALIDATE, &ro));
  EXPECT_EQ(g->GetCellValue(1, 3), "");
}

// An editing control over a text of its own, for the validation.
class EditingControl : public CGXControl {
 public:
  using CGXControl::CGXControl;
  BOOL GetEditingState() const override { return TRUE; }
  BOOL GetModifiedState() const override { return TRUE; }
  void GetEditText(CString& out) const override { out = text; }
  BOOL AcceptsText(const CString& t) override { return t != "refused"; }
  CString text;
};

TEST_F(StaticCellTest, ValidationChecksBothBoundsInclusively) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXStyle bounds;
  bounds.SetUserAttribute(GX_IDS_UA_VALID_MIN, "10").SetUserAttribute(GX_IDS_UA_VALID_MAX, "20");
  bounds.SetUserAttribute(GX_IDS_UA_VALID_MSG, "Between 10 and 20");
  g->SetStyleRange(CGXRange(2, 2), bounds);
  EditingControl control(g);
  control.InitForCell(2, 2);
  for (const char* ok : {"10", "20", " 15.5", ""}) {
    control.text = ok;
    EXPECT_TRUE(control.ValidateValue()) << ok;
  }
  for (const char* bad : {"9.99", "20.01", "abc"}) {  // a text that is no number counts as 0
    control.text = bad;
    EXPECT_FALSE(control.ValidateValue()) << bad;
  }
  control.text = "refused";
  bounds.SetUserAttribute(GX_IDS_UA_VALID_MIN, "");
  bounds.SetUserAttribute(GX_IDS_UA_VALID_MAX, "");
  g->SetStyleRange(CGXRange(2, 2), bounds);
  control.InitForCell(2, 2);
  EXPECT_FALSE(control.ValidateValue());  // no bounds, but the control does not accept the text
}

TEST_F(StaticCellTest, BoundsTakeDecimalNumbersOnly) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXStyle bounds;
  bounds.SetUserAttribute(GX_IDS_UA_VALID_MIN, "0").SetUserAttribute(GX_IDS_UA_VALID_MAX, "10");
  bounds.SetUserAttribute(GX_IDS_UA_VALID_MSG, "0..10");
  g->SetStyleRange(CGXRange(2, 2), bounds);
  EditingControl control(g);
  control.InitForCell(2, 2);
  for (const char* ok : {"1e1", " +3.5 ", ".5", "-0", "10.", "1e-400"}) {
    control.text = ok;
    EXPECT_TRUE(control.ValidateValue()) << ok;
  }
  // NaN compares false with both bounds; hexadecimal and infinity are no decimal numbers; 1e400 is too big.
  for (const char* bad : {"nan", "NAN", "0x5", "inf", "-infinity", "1e400", "5abc", "-", "."}) {
    control.text = bad;
    g->SetWarningText(nullptr);
    EXPECT_FALSE(control.ValidateValue()) << bad;
    EXPECT_EQ(g->GetWarningText(), "0..10") << bad;  // the cell's usual message
  }
  // A bound text that is no number reads as 0 and cannot switch the check off.
  bounds.SetUserAttribute(GX_IDS_UA_VALID_MAX, "nan");
  g->SetStyleRange(CGXRange(2, 2), bounds);
  control.InitForCell(2, 2);
  control.text = "5";
  EXPECT_FALSE(control.ValidateValue());
  control.text = "0";
  EXPECT_TRUE(control.ValidateValue());
}

TEST_F(StaticCellTest, ChildrenAreHeldOnceAndLookedUpByExistingIndex) {
  CGXGridWnd* g = MakeGrid(3, 3);
  std::vector<CString> log;
  TwoButtonControl control(g);
  auto expectInvalid = [](auto&& call) { EXPECT_TRUE(Throws<CInvalidArgException>(call)); };
  expectInvalid([&] { control.GetChildAt(0); });  // no list yet
  auto* a = new RecordingChild(&control, &log, "a");
  control.AppendChild(a);
  expectInvalid([&] { control.AppendChild(a); });  // held already: would be deleted twice
  expectInvalid([&] { control.AppendChild(nullptr); });
  EXPECT_EQ(control.GetChildCount(), 1);
  EXPECT_EQ(control.GetChildAt(0), a);
  expectInvalid([&] { control.GetChildAt(1); });
  expectInvalid([&] { control.GetChildAt(-1); });
}

TEST_F(StaticCellTest, ALeadByteWaitsForItsTrailByte) {
  CGXGridWnd* g = MakeGrid(1, 1);
  TwoButtonControl control(g);
  const BYTE lead = 0x82;
  plat::SetLeadBytePredicate([](BYTE b) { return b >= 0x81 && b <= 0x9F; });
  EXPECT_TRUE(control.OnKeyMessage(WM_CHAR, lead, 1, 0));
  EXPECT_TRUE(control.chars.empty());
  EXPECT_TRUE(control.OnKeyMessage(WM_CHAR, 0x41, 1, 0));
  ASSERT_EQ(control.dbcs.size(), 1u);
  EXPECT_EQ(static_cast<BYTE>(control.dbcs[0][0]), lead);
  EXPECT_EQ(control.dbcs[0][1], 'A');
  EXPECT_TRUE(control.OnKeyMessage(WM_CHAR, 'b', 1, 0));  // a plain character after the pair
  EXPECT_EQ(control.chars, std::vector<UINT>{'b'});
  plat::SetLeadBytePredicate(nullptr);
}

TEST_F(StaticCellTest, TheCurrentCellFrameFollowsTheUserProperty) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXControl control(g);
  auto frame = [&](const char* look) {
    CGXStyle value;
    value.SetValue(look);
    g->GetProperties()->AddUserProperty(GX_IDS_UP_CURRENTCELL, value);
    auto c = std::make_unique<Canvas>(20, 20);
    c->dc.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));
    control.DrawCurrentCellFrame(&c->dc, CRect(2, 2, 18, 18));
    return c;
  };
  auto thin = frame("Invert Thin.");
  EXPECT_EQ(thin->At(2, 10), RGB(0, 0, 0));
  EXPECT_EQ(thin->At(3, 10), RGB(255, 255, 255));
  EXPECT_EQ(thin->At(2, 2), RGB(0, 0, 0));  // the corner inverted once, not twice
  auto thick = frame("Invert Thick.");
  EXPECT_EQ(thick->At(3, 10), RGB(0, 0, 0));
  EXPECT_EQ(thick->At(10, 16), RGB(0, 0, 0));
  EXPECT_EQ(thick->At(4, 10), RGB(255, 255, 255));
  auto none = frame("No Border.");
  EXPECT_EQ(none->At(2, 10), RGB(255, 255, 255));
  auto border = frame("Thick Border.");
  EXPECT_EQ(border->At(16, 10), RGB(0, 0, 0));
  EXPECT_EQ(border->At(15, 10), RGB(255, 255, 255));
}

TEST_F(StaticCellTest, ARightAlignedStaticCellDrawsItsTextAtTheRight) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXStatic cell(g);
  g->m_bNeedsOwnBackground = TRUE;
  auto inkColumns = [&](UINT align) {
    Canvas c(120, 20);
    CGXStyle style;
    style.SetValue("WWW").SetInteriorColor(RGB(255, 255, 255)).SetTextColor(RGB(0, 0, 0)).SetHorizontalAlignment(align);
    cell.DrawCell(&c.dc, CRect(0, 0, 120, 20), 1, 1, style, nullptr);
    int first = -1, last = -1;
    for (int x = 1; x < 120; ++x)
      for (int y = 1; y < 20; ++y)
        if (c.At(x, y) != RGB(255, 255, 255)) {
          if (first < 0) first = x;
          last = x;
        }
    return std::pair(first, last);
  };
  auto [l0, l1] = inkColumns(GX_DT_LEFT);
  auto [r0, r1] = inkColumns(GX_DT_RIGHT);
  EXPECT_GE(l0, 1 + CGXStatic::TextMargin());
  EXPECT_LT(l1, 60);
  EXPECT_GT(r0, 60);
  EXPECT_LE(r1, 120 - (CGXStatic::TextMargin() + 1));  // (one pixel of a glyph's overhang)
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

using ControlBaseTest = EngineTest;

// An editor-like control: editing and modified states of its own, a text it edits.
class StatefulControl : public CGXControl {
 public:
  using CGXControl::CGXControl;
  void SetEditingState(BOOL b) override { editing = b; }
  BOOL GetEditingState() const override { return editing; }
  void SetModifiedState(BOOL b) override { modified = b; }
  BOOL GetModifiedState() const override { return modified; }
  BOOL StoreValue() override { return ++stores, TRUE; }
  void GetSelectionText(CString& out) override { out = selection; }
  void ReplaceSelectedText(LPCTSTR text) override { replaced.push_back(text); }
  BOOL editing = FALSE, modified = FALSE;
  int stores = 0;
  CString selection;
  std::vector<CString> replaced;
};

struct RecordingCopy : CGXGridCutPasteImp {
  BOOL CopyRanges(CGXGridCore*, const CGXRangeList& ranges) override {
    for (POSITION p = ranges.GetHeadPosition(); p;) copied.push_back(*ranges.GetNext(p));
    return TRUE;
  }
  std::vector<CGXRange> copied;
};

TEST_F(ControlBaseTest, CopyingTakesTheSelectedTextWhileEditingElseTheCell) {
  CGXGridWnd* g = MakeGrid(3, 3);
  auto* copy = new RecordingCopy;
  g->SetFeature(copy);
  auto* c = new StatefulControl(g);
  g->AddCellControl(GX_IDS_CTRL_EDIT, c, TRUE);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, 0));
  ASSERT_EQ(g->ControlOfCurrentCell(), c);
  // Not editing: the grid copies the one-cell range.
  EXPECT_TRUE(c->CopyToClipboard());
  ASSERT_EQ(copy->copied.size(), 1u);
  EXPECT_EQ(copy->copied[0], CGXRange(2, 2));
  // Editing: the selected text goes to the clipboard as CF_TEXT; an empty selection sets nothing.
  c->editing = TRUE;
  c->selection = "";
  EXPECT_FALSE(c->CopyToClipboard());
  c->selection = "picked";
  EXPECT_TRUE(c->CopyToClipboard());
  ASSERT_TRUE(OpenClipboard(g->m_hWnd));
  HANDLE data = GetClipboardData(CF_TEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data))), "picked");
  GlobalUnlock(static_cast<HGLOBAL>(data));
  CloseClipboard();
  // Pasting hands the clipboard text to the selection; a read-only cell refuses.
  EXPECT_TRUE(c->PasteFromClipboard());
  EXPECT_EQ(c->replaced, std::vector<CString>{"picked"});
  CGXStyle ro;
  ro.SetReadOnly(TRUE);
  c->editing = FALSE;  // (an editing control is not bound again under its edit)
  g->SetStyleRange(CGXRange(2, 2), ro);
  c->editing = TRUE;
  EXPECT_FALSE(c->PasteFromClipboard());
  EXPECT_FALSE(c->CanCutToClipboard());
}

TEST_F(ControlBaseTest, BindingClearsTheStatesAndActivationFlag4StartsEditing) {
  CGXGridWnd* g = MakeGrid(3, 3);
  StatefulControl c(g);
  EXPECT_FALSE(c.NotifyEditStart());  // unbound
  c.editing = c.modified = TRUE;
  c.InitForCell(1, 2);
  EXPECT_TRUE(c.IsBoundToCell(1, 2));
  EXPECT_FALSE(c.editing);
  EXPECT_FALSE(c.modified);
  g->GetParam()->m_wActivateFlags = 4;
  c.InitForCell(1, 3);
  EXPECT_TRUE(c.editing);
  c.RedrawIfChanged();
  EXPECT_FALSE(c.IsInitialized());
  EXPECT_FALSE(c.editing);
  EXPECT_EQ(c.GetCol(), 3u);  // row and column keep their last values
}

TEST_F(ControlBaseTest, ReadOnlyCellsCountOnlyWhileTheGridEnforcesIt) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXStyle ro;
  ro.SetReadOnly(TRUE);
  g->SetStyleRange(CGXRange(1, 1), ro);
  CGXControl c(g);
  c.InitForCell(1, 1);
  EXPECT_TRUE(c.IsCellReadOnly());
  c.InitForCell(1, 2);
  EXPECT_FALSE(c.IsCellReadOnly());
  g->SetReadOnly(TRUE);
  EXPECT_TRUE(c.IsCellReadOnly());
  g->GetParam()->m_bReadOnlyEnforced = FALSE;
  EXPECT_FALSE(c.IsCellReadOnly());
  c.InitForCell(1, 1);
  EXPECT_FALSE(c.IsCellReadOnly());
}

TEST_F(ControlBaseTest, ScrollingStopsAnEditThatStraddlesTheFrozenColumns) {
  CGXGridWnd* g = MakeGrid(5, 5);
  g->SetFeature(new CoveredBlock(CGXRange(2, 1, 2, 3)));
  StatefulControl c(g);
  c.InitForCell(2, 1);
  c.editing = c.modified = TRUE;
  MSG other{};
  other.message = WM_PAINT;
  c.OnGridWindowMessage(&other);
  MSG scroll{};
  scroll.message = WM_HSCROLL;
  c.OnGridWindowMessage(&scroll);
  EXPECT_TRUE(c.editing);  // no frozen columns: nothing straddles
  g->SetFrozenCols(1, 0, 0);
  c.OnGridWindowMessage(&other);
  EXPECT_TRUE(c.editing);
  c.OnGridWindowMessage(&scroll);
  EXPECT_FALSE(c.editing);
  EXPECT_EQ(c.stores, 1);
}

TEST_F(ControlBaseTest, AStyleAppliedToTheBoundCurrentCellBecomesTheEditedValue) {
  CGXGridWnd* g = MakeGrid(3, 3);
  auto* c = new StatefulControl(g);
  g->AddCellControl(GX_IDS_CTRL_EDIT, c, TRUE);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, 0));
  ASSERT_TRUE(c->IsBoundToCell(1, 1));
  c->modified = TRUE;
  CGXStyle v;
  v.SetValue("new");
  EXPECT_TRUE(c->ApplyStyleToCell(1, 1, &v, gxOverride, GX_INVALIDATE, nullptr));
  CString edited;
  EXPECT_TRUE(c->GetEditedValue(edited));
  EXPECT_EQ(edited, "new");
  EXPECT_TRUE(c->modified);  // kept, except by a copy
  EXPECT_TRUE(c->ApplyStyleToCell(1, 1, &v, gxCopy, GX_INVALIDATE, nullptr));
  EXPECT_FALSE(c->modified);
  // A read-only current style refuses.
  CGXStyle ro;
  ro.SetReadOnly(TRUE);
  EXPECT_FALSE(c->ApplyStyleToCell(1, 1, &v, gxOverride, GX_INVALIDATE, &ro));
}

TEST_F(ControlBaseTest, AWindowTakingTheFocusIsForwardedToTheGrid) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 500, 0, 50, 50, nullptr, nullptr));
  CGXControl c(g);
  ::SetFocus(g->m_hWnd);
  ASSERT_TRUE(g->m_bHasFocus);
  c.ForwardKillFocusToGrid(g);  // the grid itself: nothing
  EXPECT_TRUE(g->m_bHasFocus);
  c.ForwardKillFocusToGrid(&other);
  EXPECT_FALSE(g->m_bHasFocus);
  other.DestroyWindow();
}

}  // namespace
}  // namespace enginetest
