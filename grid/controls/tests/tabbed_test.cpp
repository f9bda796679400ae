// The tabbed drop-down: values and texts through the key and text columns (searched, or through the maps
// of a unique choice-list id), typing with completion, the list's rows, sorting and columns, the header
// bar above or below the list, the shared maps' release, and the row and header drawing.
#include <gtest/gtest.h>

#include <cstring>

#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/core/CGXRange.h"
#include "grid/controls/tests/dropdowntest.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXGridParam.h"
#include "platform/base/ResourceTable.h"

namespace enginetest {
namespace {

constexpr const char* kIdName = "ID\tName\n1\tRed\n2\tGreen";

// An 8 x 24 24-bit DIB, all blue, registered as bitmap 31790 of the grid.
void RegisterTallBitmap() {
  static const std::vector<BYTE> dib = gx::MakeDib24(8, 24, [](int, int) { return RGB(0, 0, 255); });
  plat::ResourceTable::AddResource(plat::ResourceTable::ModuleHandle("grid"), RT_BITMAP, MAKEINTRESOURCE(31790), dib);
}

class TabbedTest : public DropDownTest {
 protected:
  // The ID/Name table: key column 0, text column 1, titles on; `id` the unique choice-list id.
  static CGXStyle IdName(int id = 0, const char* choices = kIdName) {
    CGXStyle style;
    style.SetChoiceList(choices);
    style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
    style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
    if (id) style.SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, std::to_string(id).c_str());
    return style;
  }
  CGXTabbedComboBox* Tabbed() { return dynamic_cast<CGXTabbedComboBox*>(box); }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < List()->GetCount(); ++i) {
      CString row;
      List()->GetText(i, row);
      rows.emplace_back(row);
    }
    return rows;
  }
  CRect HeaderRect() {
    CRect r;
    Tabbed()->Header()->GetWindowRect(&r);
    return r;
  }
  std::string Shown(ROWCOL row) {
    CGXStyle style;
    g->ComposeCellStyle(row, 1, style, TRUE);
    CString text;
    return box->GetDisplayText(text, row, 1, nullptr, style) ? std::string(text) : std::string("<none>");
  }
};

TEST_F(TabbedTest, KeysAreStoredAndDisplayFieldsShownWithOrWithoutSharedMaps) {
  for (int id : {0, 1}) {
    Grid(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "2", IdName(id));
    EXPECT_EQ(Shown(2), "Green") << id;
    EXPECT_EQ(EditText(), "Green") << id;
    CGXStyle style;
    g->ComposeCellStyle(2, 1, style, TRUE);
    CString pasted = "Red";
    EXPECT_TRUE(box->ConvertTextForCell(pasted, 2, 1, style)) << id;
    EXPECT_EQ(std::string(pasted), "1") << id;
    CString unknown = "Purple";
    EXPECT_FALSE(box->ConvertTextForCell(unknown, 2, 1, style)) << id;
    EXPECT_TRUE(box->AcceptsText("gr")) << id;
    EXPECT_FALSE(box->AcceptsText("x")) << id;
    // Picking Red in the list stores its key.
    AltDown();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Red\t1\tRed", "Green\t2\tGreen"})) << id;
    EXPECT_EQ(std::string(Tabbed()->Header()->m_strTitle), "Name\tID\tName") << id;
    EXPECT_EQ(List()->GetCurSel(), 1) << id;
    Key(VK_UP);
    Key(VK_RETURN);
    EXPECT_EQ(EditText(), "Red") << id;
    Leave();
    EXPECT_EQ(Value(), "1") << id;
    // Typing completes: g gives Green with reen selected, r keeps it with een selected.
    Grid(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "", IdName(id));
    Type("g");
    EXPECT_EQ(EditText(), "Green") << id;
    int start = 0, end = 0;
    box->GetSel(start, end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(1, 5)) << id;
    Type("r");
    box->GetSel(start, end);
    EXPECT_EQ(EditText(), "Green") << id;
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(2, 5)) << id;
    Leave();
    EXPECT_EQ(Value(), "2") << id;
    // The shared map never learns the prefixes asked.
    if (id) {
      EXPECT_EQ(g->GetParam()->m_displayMaps.at(1)->GetCount(), 2);
    }
  }
}

// Each cell shows the display field of its own list, though the lines of a list are kept from cell to cell for the
// drawing: cells of two lists asked in turn, and a list changed in a cell, show theirs at once.
TEST_F(TabbedTest, CellsOfOtherListsAndAChangedListShowTheirOwnDisplayFields) {
  for (WORD id : {GX_IDS_CTRL_TABBED_COMBOBOX, GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST}) {
    SCOPED_TRACE(id);
    g = MakeRecordingGrid(6, 4, 400, 300);
    SetCell(g, 2, 1, IdName().SetControl(id).SetValue("2"));
    SetCell(g, 3, 1, IdName(0, "ID\tName\n1\tRot\n2\tGruen").SetControl(id).SetValue("2"));
    CGXControl* control = g->ControlForId(id);
    ASSERT_NE(control, nullptr);
    const auto shown = [&](ROWCOL row) {
      CGXStyle style;
      g->ComposeCellStyle(row, 1, style, TRUE);
      CString text;
      return control->GetDisplayText(text, row, 1, nullptr, style) ? std::string(text) : std::string("<none>");
    };
    EXPECT_EQ(shown(2), "Green");
    EXPECT_EQ(shown(3), "Gruen");
    EXPECT_EQ(shown(2), "Green");
    g->SetStyleRange(CGXRange(2, 1), CGXStyle().SetChoiceList("ID\tName\n1\tRed\n2\tLime"));
    EXPECT_EQ(shown(2), "Lime");
    g->SetStyleRange(CGXRange(2, 1), CGXStyle().SetChoiceList("ID\tName\n1\tRed"));
    EXPECT_EQ(shown(2), "<none>");
    EXPECT_EQ(shown(3), "Gruen");
  }
}

TEST_F(TabbedTest, AnExactDisplayTextWinsOverALongerOneAndTextsAreComparedWhole) {
  const CString longName(std::string(200, 'L').c_str());
  const CString choices = "1\tReddish\n2\tRed\n3\t" + longName + "A\n4\t" + longName + "B";
  for (int id : {0, 2}) {
    CGXStyle style = IdName(id, choices);
    style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "0");
    Grid(GX_IDS_CTRL_TABBED_COMBOBOX, choices, "2", style);
    AltDown();
    EXPECT_EQ(List()->GetCurSel(), 1) << id;  // "Red", not "Reddish"
    Key(VK_ESCAPE);
    EXPECT_EQ(Shown(2), "Red") << id;
    g->SetCellValue(2, 1, "4");
    EXPECT_EQ(Shown(2), std::string(longName) + "B") << id;
    CGXStyle composed;
    g->ComposeCellStyle(2, 1, composed, TRUE);
    CString pasted = longName + "A";
    ASSERT_TRUE(box->ConvertTextForCell(pasted, 2, 1, composed)) << id;
    EXPECT_EQ(std::string(pasted), "3") << id;
  }
}

TEST_F(TabbedTest, SortingShowAllAndColumnWidthsShapeTheList) {
  CGXStyle style = IdName(0, "ID\tName\n1\tRed\n2\tGreen\n3\tBlue");
  style.SetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL, "1");
  Grid(GX_IDS_CTRL_TABBED_COMBOBOX, "ID\tName\n1\tRed\n2\tGreen\n3\tBlue", "", style);
  AltDown();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Blue\t3\tBlue", "Green\t2\tGreen", "Red\t1\tRed"}));
  EXPECT_EQ(std::string(Tabbed()->Header()->m_strTitle), "Name\tID\tName");
  Key(VK_RETURN);  // the first row
  Leave();
  EXPECT_EQ(Value(), "3");
  // Show all columns off: the text column alone, the others 0 wide.
  style = IdName();
  style.SetUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, "0");
  Grid(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "1", style);
  AltDown();
  const GXTabbedLayout& single = Tabbed()->Layout();
  ASSERT_EQ(single.widths.size(), 2u);
  EXPECT_EQ(single.widths[0], 0);
  EXPECT_GT(single.widths[1], 0);
  // Given widths, and the list at least as wide as its columns.
  style = IdName();
  style.SetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS, "150, 120");
  Grid(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "1", style);
  AltDown();
  EXPECT_EQ(Tabbed()->Layout().widths, (std::vector<int>{150, 120}));
  EXPECT_EQ(PopupRect().Width(), 270 + GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(PopupRect().left, CellOnScreen().left);
}

TEST_F(TabbedTest, TheColumnWidthRuleTakesNumbersInOrderWhateverSeparatesThem) {
  const int three[10] = {10, 20, 30, -1, -1, -1, -1, -1, -1, -1};
  const int scroll = GetSystemMetrics(SM_CXVSCROLL);
  GXTabbedLayout l = ApplyTabbedColumnWidths(three, "50, x, 30", TRUE, 0);
  EXPECT_EQ(l.widths, (std::vector<int>{50, 30, 34}));
  EXPECT_EQ(l.rightEdges, (std::vector<int>{50, 80}));
  EXPECT_EQ(l.separators, 2);
  EXPECT_EQ(l.totalWidth, 114 + scroll);
  EXPECT_EQ(ApplyTabbedColumnWidths(three, "7-8", TRUE, 0).widths, (std::vector<int>{7, 8, 34}));  // a minus separates
  EXPECT_EQ(ApplyTabbedColumnWidths(three, "", FALSE, 1).widths, (std::vector<int>{0, 24, 0}));
  EXPECT_EQ(ApplyTabbedColumnWidths(three, "99999999999999", TRUE, 0).widths[0], 0x7FFF);  // no overflow
  const int none[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  l = ApplyTabbedColumnWidths(none, "5", TRUE, 0);
  EXPECT_TRUE(l.widths.empty());
  EXPECT_EQ(l.separators, 0);
  EXPECT_EQ(l.totalWidth, scroll);
  // Eleven fields: ten columns measured.
  Canvas c(10, 10);
  int measured[10];
  std::fill(std::begin(measured), std::end(measured), -1);
  MeasureTabbedColumns(&c.dc, "a\tb\tc\td\te\tf\tg\th\ti\tj\tk", 10, measured);
  EXPECT_EQ(ApplyTabbedColumnWidths(measured, "", TRUE, 0).widths.size(), 10u);
}

TEST_F(TabbedTest, ChoiceLinesBecomeATitleAndRowsLaidOutByTheirMeasuredColumns) {
  Canvas c(10, 10);
  const std::vector<CString> lines = {"Code\tName", "1\tOne", "22\tTwenty-two"};
  GXTabbedRows made = MakeTabbedRows(&c.dc, lines, "", TRUE, 1, TRUE);
  EXPECT_EQ(made.title, MakeTabbedRowText(lines[0], 1));
  ASSERT_EQ(made.rows.size(), 2u);
  EXPECT_EQ(made.rows[0], "One\t1\tOne");  // the text column's field first
  EXPECT_EQ(made.rows[1], MakeTabbedRowText(lines[2], 1));
  // The title line is measured with the others: its "Name" may set the column's width.
  int measured[GX_MAX_TABBED_COLUMNS];
  std::fill(std::begin(measured), std::end(measured), -1);
  for (const CString& line : lines) MeasureTabbedColumns(&c.dc, line, GX_MAX_TABBED_COLUMNS, measured);
  EXPECT_EQ(made.layout.widths, ApplyTabbedColumnWidths(measured, "", TRUE, 1).widths);
  EXPECT_EQ(made.layout.widths.size(), 2u);

  made = MakeTabbedRows(&c.dc, lines, "5,6", FALSE, 0, FALSE);
  EXPECT_TRUE(made.title.IsEmpty());
  EXPECT_EQ(made.rows, lines);
  EXPECT_EQ(made.layout.widths, (std::vector<int>{5, 6}));
  made = MakeTabbedRows(&c.dc, {}, "", TRUE, 0, TRUE);
  EXPECT_TRUE(made.rows.empty());
  EXPECT_TRUE(made.title.IsEmpty());
}

TEST_F(TabbedTest, TheHeaderBarSitsOverTheRowsBelowTheCellAndOverTheListAboveIt) {
  Grid(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "1", IdName());
  AltDown();
  ASSERT_NE(Tabbed()->Header()->m_hWnd, nullptr);
  EXPECT_TRUE(Tabbed()->Header()->IsWindowVisible());
  EXPECT_EQ(HeaderRect().top, CellOnScreen().bottom);
  EXPECT_EQ(PopupRect().top, HeaderRect().bottom);
  EXPECT_EQ(PopupRect().left, HeaderRect().left);
  // The bar lies above the popup for the mouse too.
  const POINT inBar{HeaderRect().left + 3, HeaderRect().top + 2};
  EXPECT_EQ(::WindowFromPoint(inBar), Tabbed()->Header()->m_hWnd);
  const HWND popup = box->GetDropDownWindow()->m_hWnd, list = List()->m_hWnd, bar = Tabbed()->Header()->m_hWnd;
  Key(VK_ESCAPE);
  EXPECT_FALSE(::IsWindowVisible(popup));
  EXPECT_FALSE(::IsWindowVisible(bar));
  // The same windows come back at the next drop-down.
  AltDown();
  EXPECT_EQ(box->GetDropDownWindow()->m_hWnd, popup);
  EXPECT_EQ(List()->m_hWnd, list);
  EXPECT_EQ(Tabbed()->Header()->m_hWnd, bar);
  Key(VK_ESCAPE);
  // Near the bottom of the screen: the list above the cell, the bar above the list.
  plat::Desktop::Configure(800, 100);
  Grid(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "1", IdName());
  AltDown();
  EXPECT_EQ(PopupRect().bottom, CellOnScreen().top);
  EXPECT_EQ(HeaderRect().bottom, PopupRect().top);
}

TEST_F(TabbedTest, CellsSharingAUniqueIdTranslateWithANewChoiceListAfterTheMapsAreReleased) {
  Grid(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "2", IdName(7));
  CGXStyle other = IdName(7);
  other.SetControl(GX_IDS_CTRL_TABBED_COMBOBOX).SetValue("1");
  SetCell(g, 3, 1, other);
  EXPECT_EQ(Shown(2), "Green");
  EXPECT_EQ(Shown(3), "Red");
  CGXGridParam* param = g->GetParam();
  const int changes = param->m_nChoiceMapChangeCount;
  // A new list applied to the current cell releases the maps of its id.
  CGXStyle renamed;
  renamed.SetChoiceList("ID\tName\n1\tRuby\n2\tJade");
  ASSERT_TRUE(box->ApplyStyleToCell(2, 1, &renamed, gxOverride, 0, nullptr));
  EXPECT_EQ(param->m_nChoiceMapChangeCount, changes + 1);
  EXPECT_EQ(Shown(2), "Jade");
  EXPECT_EQ(Shown(3), "Ruby");  // the map was rebuilt from the first style that asked
  // Releasing: -1 every map, an id its own, 0 nothing.
  ASSERT_NE(param->m_keyMaps.at(7), nullptr);
  CGXTabbedComboBox::ReleaseChoiceMaps(param, 0);
  EXPECT_EQ(param->m_nChoiceMapChangeCount, changes + 1);
  CGXTabbedComboBox::ReleaseChoiceMaps(param, 7);
  EXPECT_EQ(param->m_keyMaps.at(7), nullptr);
  EXPECT_EQ(param->m_nChoiceMapChangeCount, changes + 2);
  Shown(2);
  CGXTabbedComboBox::ReleaseChoiceMaps(param, -1);
  EXPECT_TRUE(param->m_keyMaps.empty() && param->m_displayMaps.empty());
  EXPECT_EQ(param->m_nChoiceMapChangeCount, changes + 3);
  // Ids too large to index a map are searched instead.
  CGXStyle huge = IdName(2000000000);
  EXPECT_EQ(Tabbed()->GetKeyMap(huge), nullptr);
  EXPECT_TRUE(param->m_keyMaps.empty());
}

TEST_F(TabbedTest, BitmapFieldsRaiseTheRowsAndTextsNever) {
  RegisterTallBitmap();
  int height = 12;
  MeasureTabbedRowHeight("1\t#BMP(31790)", height, FALSE, FALSE, 1);
  EXPECT_EQ(height, 24);
  height = 12;
  MeasureTabbedRowHeight("1\ta much longer text than the row is high", height, FALSE, FALSE, 1);
  EXPECT_EQ(height, 12);
  height = 12;
  MeasureTabbedRowHeight("1\t#BMP(31790)", height, TRUE, FALSE, 1);  // one column: the bitmap is not drawn
  EXPECT_EQ(height, 12);
  Grid(GX_IDS_CTRL_TABBED_COMBOBOX, "1\t#BMP(31790)\n2\tplain", "1", [] {
    CGXStyle s = IdName(0, "1\t#BMP(31790)\n2\tplain");
    s.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "0");
    return s;
  }());
  AltDown();
  EXPECT_EQ(List()->GetItemHeight(0), 24);
  EXPECT_LT(List()->GetItemHeight(1), 24);
}

TEST_F(TabbedTest, RowsDrawTheirSeparatorsAndClipTheirFields) {
  Canvas c(120, 16, RGB(9, 9, 9));
  const std::vector<int> edges{40, 80};
  c.dc.SelectStockObject(DEFAULT_GUI_FONT);
  DrawTabbedRow(&c.dc, CRect(0, 0, 120, 16), "a\tb\tc", FALSE, 0, 2, edges, RGB(192, 192, 192), RGB(255, 255, 255),
                RGB(0, 0, 0));
  for (int y = 0; y < 16; ++y) {
    EXPECT_EQ(c.At(38, y), RGB(192, 192, 192)) << y;
    EXPECT_EQ(c.At(78, y), RGB(192, 192, 192)) << y;
  }
  EXPECT_EQ(c.Count(CRect(0, 0, 120, 16), RGB(9, 9, 9)), 0);  // the background fills the row
  // A field too long for its column is cut at the column's edge.
  Canvas clipped(120, 16, RGB(9, 9, 9));
  clipped.dc.SelectStockObject(DEFAULT_GUI_FONT);
  DrawTabbedRow(&clipped.dc, CRect(0, 0, 120, 16), "WWWWWWWWWWWW\t\tc", FALSE, 0, 2, edges, RGB(192, 192, 192),
                RGB(255, 255, 255), RGB(0, 0, 0));
  EXPECT_LT(clipped.Darkest(CRect(0, 0, 40, 16)), 64);
  EXPECT_EQ(clipped.Darkest(CRect(40, 0, 78, 16)), 255);
  // One column: no separator, the front field across the width.
  Canvas one(120, 16, RGB(9, 9, 9));
  DrawTabbedRow(&one.dc, CRect(0, 0, 120, 16), "a\tb\tc", TRUE, 0, 2, edges, RGB(192, 192, 192), RGB(255, 255, 255),
                RGB(0, 0, 0));
  EXPECT_EQ(one.Count(CRect(30, 0, 120, 16), RGB(192, 192, 192)), 0);
  EXPECT_EQ(one.Count(CRect(0, 0, 120, 16), RGB(9, 9, 9)), 0);
}

TEST_F(TabbedTest, TheHeaderDrawsRaisedItemsOrThemedOnesWithTheTextColumnHot) {
  CGXTabbedLBoxHeader header;
  ASSERT_TRUE(header.CreateHeaderWindow());
  const std::vector<int> edges{40};
  header.m_strTitle = "Name\tID\tName";
  header.m_nTextCol = 1;
  header.m_nSeparators = 1;
  header.m_pRightEdges = &edges;
  Canvas classic(100, 18);
  header.Draw(&classic.dc, CRect(0, 0, 100, 18));
  // Raised inner edges: highlight at each item's top-left, shadow at its bottom-right.
  EXPECT_EQ(classic.At(0, 5), GetSysColor(COLOR_BTNHIGHLIGHT) & 0xFFFFFF);
  EXPECT_EQ(classic.At(38, 5), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
  EXPECT_EQ(classic.At(40, 5), GetSysColor(COLOR_BTNHIGHLIGHT) & 0xFFFFFF);
  EXPECT_EQ(classic.At(99, 5), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
  plat::RecordingThemeProvider provider;
  UseThemeProvider(&provider);
  Canvas themed(100, 18);
  header.Draw(&themed.dc, CRect(0, 0, 100, 18));
  EXPECT_EQ(provider.log,
            (std::vector<std::string>{"background HEADER 1 1", "background HEADER 1 1", "background HEADER 1 2"}));
  header.DestroyWindow();
}

}  // namespace
}  // namespace enginetest
