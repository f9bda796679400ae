// The styles map's registration, the cell store and the parameter object's ownership rules.
#include <gtest/gtest.h>

#include <string>

#include "grid/core/CGXAbstractGridPrintImp.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/tests/gxtest.h"

namespace {

class Model : public ::testing::Test {
 protected:
  void SetUp() override { gxtest::InstallAll(); }
};

TEST_F(Model, RegisteringANameTwiceReplacesItsStyle) {
  CGXStylesMap map;
  CGXStyle a, b;
  a.SetValue("first");
  b.SetValue("second");
  const WORD id1 = map.RegisterStyle("Mine", a);
  const WORD id2 = map.RegisterStyle("Mine", b);
  EXPECT_EQ(id1, id2);
  CGXStyle* stored = nullptr;
  ASSERT_TRUE(map.LookupStyle(id1, stored));
  EXPECT_EQ(stored->GetValue(), "second");
  UINT res = 1;
  EXPECT_STREQ(map.GetStyleName(id1, res), "Mine");
  EXPECT_EQ(res, 0u);
  EXPECT_EQ(map.GetIdFromName("Unknown"), 0);
  EXPECT_EQ(map.GetStyleName(99, res), nullptr);
}

TEST_F(Model, StandardStylesTakeTheFirstIds) {
  CGXStylesMap map;
  map.CreateStandardStyles();
  EXPECT_EQ(map.GetIdFromResourceId(52768), 0);
  EXPECT_EQ(map.GetIdFromResourceId(52770), 1);
  EXPECT_EQ(map.GetIdFromResourceId(52769), 2);
  EXPECT_EQ(map.GetStandardStyle(), 0);
  EXPECT_EQ(map.GetColHeaderStyle(), 1);
  EXPECT_EQ(map.GetRowHeaderStyle(), 2);
  EXPECT_EQ(map.GetIdFromName("Column Header"), 1);
  CGXStyle* header = nullptr;
  ASSERT_TRUE(map.LookupStyle(1, header));
  EXPECT_EQ(header->GetControl(), GX_IDS_CTRL_HEADER);
  EXPECT_TRUE(header->GetFont().GetBold());
  CGXStyle* standard = nullptr;
  ASSERT_TRUE(map.LookupStyle(0, standard));
  EXPECT_DOUBLE_EQ(standard->GetFont().GetSize(), 8);

  // Enumeration visits every style in id order.
  std::vector<WORD> ids;
  POSITION pos = map.GetStartPosition();
  while (pos) {
    WORD id;
    CString name;
    UINT nID;
    const CGXStyle* s;
    map.GetNextStyle(pos, id, name, nID, s);
    ids.push_back(id);
  }
  EXPECT_EQ(ids, (std::vector<WORD>{0, 1, 2}));

  map.DeleteContents();
  EXPECT_EQ(map.RegisterStyle("again", CGXStyle()), 0);
}

TEST_F(Model, MissingResourceNamesFallBack) {
  CGXStylesMap map;
  const WORD id = map.RegisterStyleFromResource(60001, CGXStyle());
  UINT res = 0;
  EXPECT_STREQ(map.GetStyleName(id, res), "STYLE60001");
  EXPECT_EQ(res, 60001u);
  EXPECT_EQ(map.RegisterStyleFromResource(60001, CGXStyle()), id);
}

TEST_F(Model, UserAttributesAndControlsRegisterOnce) {
  CGXStylesMap map;
  CGXStyle edit;
  edit.SetWrapText(TRUE);
  const GXUserAttributeEntry& e1 = map.AddUserAttribute(51011, &edit);
  const GXUserAttributeEntry& e2 = map.AddUserAttribute(51011);
  EXPECT_EQ(&e1, &e2);
  EXPECT_EQ(e1.name, "Valid: Min. Value");
  EXPECT_TRUE(e1.style->GetWrapText());
  EXPECT_EQ(map.GetUserAttributeMap().size(), 1u);
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { map.AddUserAttribute(60002); }), -2);  // resource exception

  map.AddControl(52512);
  map.AddControl(52512);
  EXPECT_EQ(map.GetControlNames().size(), 1u);
  EXPECT_EQ(map.GetControlNames().at(52512), "Edit Control");
}

TEST_F(Model, PropertiesColours) {
  CGXProperties p;
  EXPECT_EQ(p.GetColorNames()[0], "Grid Lines");
  EXPECT_EQ(p.GetTokens()[0], "$F");
  EXPECT_EQ(p.AddColorProperty("Grid Lines", 0x123456), 0);  // an existing name keeps its colour
  EXPECT_NE(p.GetColor(0), 0x123456u);
  EXPECT_EQ(p.GetColor(p.GetColorCount()), 0u);
  EXPECT_EQ(p.GetColor(-1), 0u);  // a negative index gives the default colour, never a read before the array
  EXPECT_TRUE(p.GetUserProperty(4711).IsEmpty());
  CGXData& header = p.GetHeaderTable();
  CGXStyle s;
  ASSERT_TRUE(header.GetStyle(1, 3, s, gxCopy));
  EXPECT_EQ(s.GetValue(), "$P/$N");
}

// Stands in for a grid's print feature: records which properties reached it.
class RecordingPrintImp : public CGXAbstractGridPrintImp {
 public:
  void BeginPrinting(CGXGridCore*, CDC*, CPrintInfo*) override {}
  void PrintPage(CGXGridCore*, CDC*, CPrintInfo*) override {}
  void EndPrinting(CGXGridCore*) override {}
  void PrintHeaderAndFooter(CGXProperties& p, CDC*, CPrintInfo*, CDocument*, CGXGridParam*) override {
    seen = &p;
  }
  int CalcHeaderFooterHeight(CDC*, const CGXData& table, CGXStylesMap*) override {
    return static_cast<int>(table.GetRowCount());
  }
  void DrawHeaderFooter(CGXProperties& p, CDC*, CPrintInfo*, const CRect&, const CGXData&, CGXStylesMap*) override {
    seen = &p;
  }
  CString SubstituteTokens(CGXProperties& p, const CString& text) override { return p.GetTokens()[0] + text; }
  CString GetTokenValue(CGXProperties& p, int token, CString& rest) override {
    rest = "taken";
    return p.GetTokens()[static_cast<size_t>(token)];
  }
  CString SplitFormatPart(CString& text) override { return text.Left(2); }
  CGXProperties* seen = nullptr;
};

RecordingPrintImp g_printImp;
CGXGridCore* const g_printingGrid = reinterpret_cast<CGXGridCore*>(0x1000);

TEST_F(Model, PropertiesReachThePrintFeatureOfTheirFirstGrid) {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  CGXProperties p;
  CString rest = "{%d}";
  // No grid uses the properties: nothing is forwarded.
  g.m_pfnGetGridPrintImp = [](CGXGridCore* grid) -> CGXAbstractGridPrintImp* {
    return grid == g_printingGrid ? &g_printImp : nullptr;
  };
  EXPECT_EQ(p.SubstTokenText("x"), "");
  EXPECT_EQ(p.CalcHeaderFooterHeight(nullptr, p.GetHeaderTable(), nullptr), 0);
  g.AddGridForObject(&p, g_printingGrid);
  EXPECT_EQ(p.SubstTokenText("x"), "$Fx");
  EXPECT_EQ(p.GetTokenArgs(4, rest), "$D");
  EXPECT_EQ(rest, "taken");
  EXPECT_EQ(p.SplitHeaderFooterText(rest), "ta");
  EXPECT_EQ(p.CalcHeaderFooterHeight(nullptr, p.GetFooterTable(), nullptr), 10);
  p.DrawHeaderFooter(nullptr, nullptr, CRect(0, 0, 1, 1), p.GetHeaderTable(), nullptr);
  EXPECT_EQ(g_printImp.seen, &p);
  // A grid without a print feature answers empty.
  g.m_pfnGetGridPrintImp = nullptr;
  EXPECT_EQ(p.GetTokenArgs(0, rest), "");
  g.RemoveGrid(g_printingGrid);
}

TEST_F(Model, LinesAndColoursFollowThePrintSettingsOnlyWhilePrinting) {
  CGXProperties p;
  p.m_bHorzLines = FALSE;
  p.m_bPrintVertLines = FALSE;
  EXPECT_FALSE(p.DrawsHorizontalLines(FALSE));
  EXPECT_TRUE(p.DrawsHorizontalLines(TRUE));
  EXPECT_TRUE(p.DrawsVerticalLines(FALSE));
  EXPECT_FALSE(p.DrawsVerticalLines(TRUE));
  EXPECT_FALSE(p.PrintsBlackAndWhite(FALSE));  // the screen keeps its colours even with the print switch on
  EXPECT_TRUE(p.PrintsBlackAndWhite(TRUE));
}

TEST_F(Model, StoreAndReadCells) {
  CGXData data;
  CGXStyle s;
  s.SetValue("v").SetReadOnly(TRUE);
  EXPECT_TRUE(data.StoreStyle(10, 3, &s, gxOverride));
  EXPECT_EQ(data.GetRowCount(), 10u);
  EXPECT_EQ(data.GetColCount(), 3u);
  CGXStyle back;
  EXPECT_TRUE(data.GetStyle(10, 3, back, gxCopy));
  EXPECT_TRUE(back.IsSubSet(s) && s.IsSubSet(back));
  EXPECT_FALSE(data.GetStyle(11, 3, back, gxCopy));

  CGXStyle before;
  data.StoreStyle(2, 2, &s, gxExclude);  // nothing stored: nothing happens
  EXPECT_FALSE(data.GetStyle(2, 2, before, gxCopy));

  data.StoreStyle(10, 3, nullptr, gxRemove);
  EXPECT_FALSE(data.GetStyle(10, 3, back, gxCopy));
  EXPECT_EQ(data.GetRowCount(), 10u);

  // A row base style and the cell (3, 0) are different entries.
  CGXStyle row, cell;
  row.SetValue("row");
  cell.SetValue("cell");
  data.StoreStyle(3, 0, &row, gxOverride, GX_BASESTYLE);
  data.StoreStyle(3, 0, &cell, gxOverride);
  CGXStyle r, c;
  ASSERT_TRUE(data.GetStyle(3, 0, r, gxCopy, GX_BASESTYLE));
  ASSERT_TRUE(data.GetStyle(3, 0, c, gxCopy));
  EXPECT_EQ(r.GetValue(), "row");
  EXPECT_EQ(c.GetValue(), "cell");
}

TEST_F(Model, StoringANumberMarksItsValueType) {
  CGXData data;
  CGXStyle s;
  s.SetValue("3.5");
  data.StoreStyle(1, 1, &s, gxOverride, 1);
  CGXStyle back;
  data.GetStyle(1, 1, back, gxCopy);
  EXPECT_EQ(back.GetValueType(), GX_VT_NUMBER);
  s.SetValue("text");
  data.StoreStyle(1, 2, &s, gxOverride, 1);
  data.GetStyle(1, 2, back, gxCopy);
  EXPECT_EQ(back.GetValueType(), GX_VT_TEXT);
  // Applying a number where a text is stored keeps the text, and it stays a text.
  CGXStyle n;
  n.SetValue("42");
  data.StoreStyle(1, 2, &n, gxApplyNew, 1);
  data.GetStyle(1, 2, back, gxCopy);
  EXPECT_EQ(back.GetValue(), "text");
  EXPECT_EQ(back.GetValueType(), GX_VT_TEXT);
}

TEST_F(Model, RemovingRowsPastTheCountRemovesOnlyThoseThatExist) {
  CGXData data;
  data.StoreRowCount(7);
  CGXStyle s;
  s.SetValue("four");
  data.StoreStyle(4, 1, &s, gxOverride);
  s.SetValue("six");
  data.StoreStyle(6, 1, &s, gxOverride);
  data.RemoveRows(5, 9);
  EXPECT_EQ(data.GetRowCount(), 4u);
  CGXStyle back;
  EXPECT_TRUE(data.GetStyle(4, 1, back, gxCopy));
  EXPECT_EQ(back.GetValue(), "four");
  data.RemoveRows(8, 9);
  EXPECT_EQ(data.GetRowCount(), 4u);
  data.StoreRowCount(0);
  EXPECT_EQ(data.GetRowCount(), 0u);
  EXPECT_FALSE(data.GetStyle(4, 1, back, gxCopy));
}

TEST_F(Model, InsertMoveAndCopyCells) {
  CGXData data;
  for (ROWCOL r = 1; r <= 4; ++r) {
    CGXStyle s;
    s.SetValue(static_cast<DWORD>(r));
    data.StoreStyle(r, 1, &s, gxOverride);
  }
  data.InsertRows(2, 1);
  EXPECT_EQ(data.GetRowCount(), 5u);
  CGXStyle back;
  EXPECT_FALSE(data.GetStyle(2, 1, back, gxCopy));
  data.GetStyle(3, 1, back, gxCopy);
  EXPECT_EQ(back.GetValue(), "2");
  data.MoveRows(1, 1, 4);  // row 1 ends up as row 4
  data.GetStyle(4, 1, back, gxCopy);
  EXPECT_EQ(back.GetValue(), "1");
  data.InsertCols(1, 2);
  data.GetStyle(4, 3, back, gxCopy);
  EXPECT_EQ(back.GetValue(), "1");

  CGXData copy(data);
  data.DeleteContents();
  EXPECT_TRUE(copy.GetStyle(4, 3, back, gxCopy));

  // A huge count before stored lines is refused whole; a place past the end appends.
  EXPECT_FALSE(copy.InsertRows(1, 0x7FFFFFF0u));
  EXPECT_FALSE(copy.InsertCols(1, 0x7FFFFFF0u));
  EXPECT_EQ(copy.GetRowCount(), 5u);
  EXPECT_TRUE(copy.GetStyle(4, 3, back, gxCopy));
  EXPECT_TRUE(copy.InsertRows(1000, 100000000));  // appended: no array grows
  EXPECT_TRUE(copy.GetStyle(4, 3, back, gxCopy));
  EXPECT_TRUE(copy.InsertCols(99, 2));
  EXPECT_TRUE(copy.StoreStyle(4, copy.GetColCount(), &back, gxOverride));
  EXPECT_TRUE(copy.GetStyle(4, copy.GetColCount(), back, gxCopy));
}

TEST_F(Model, ParamDefaultsAndOwnership) {
  CGXGridParam param;
  EXPECT_TRUE(param.IsSelectionAllowed(GX_SELROW));
  EXPECT_TRUE(param.IsSelectionAllowed(GX_SELCOL));
  EXPECT_TRUE(param.IsRowResizeAllowed(0xFFFF));
  EXPECT_TRUE(param.IsColResizeAllowed(0xFFFF));
  LONG h = 0;
  EXPECT_TRUE(param.GetRowHeights().Lookup(0, h));
  EXPECT_EQ(h, 1400);

  param.SetSelectionFlags(GX_SELROW);
  EXPECT_TRUE(param.IsSelectionAllowed(0x1));
  EXPECT_FALSE(param.IsSelectionAllowed(0x2));

  auto* data = new CGXData;
  param.SetData(data, TRUE);
  param.SetData(data, TRUE);  // the object it already holds stays alive
  data->StoreRowCount(3);
  EXPECT_EQ(param.GetData()->GetRowCount(), 3u);
  param.SetData(new CGXData, TRUE);  // the first one is deleted (ASan would report a leak otherwise)

  CGXData borrowed;
  {
    CGXGridParam p2;
    p2.SetData(&borrowed, FALSE);
  }
  borrowed.StoreRowCount(2);  // still alive
}

TEST_F(Model, ParamCopyOwnsExactlyItsCopies) {
  CGXGridParam source;
  auto* map = new CGXStylesMap;
  map->CreateStandardStyles();
  source.SetStylesMap(map, TRUE);
  CGXData borrowedData;
  borrowedData.StoreRowCount(5);
  source.SetData(&borrowedData, FALSE);
  source.GetSelection().AddTail(new CGXRange(1, 1, 2, 2));
  source.m_sName = "copied";

  CGXGridParam target;
  target.SetData(new CGXData, TRUE);
  target = source;
  EXPECT_NE(target.GetStylesMap(), source.GetStylesMap());
  EXPECT_NE(target.GetData(), &borrowedData);
  EXPECT_TRUE(target.OwnsData());
  EXPECT_EQ(target.GetData()->GetRowCount(), 5u);
  EXPECT_EQ(target.GetStylesMap()->GetIdFromResourceId(52770), 1);
  EXPECT_EQ(target.GetSelection().GetCount(), 1);
  EXPECT_EQ(target.m_sName, "copied");
  // Destroying the target frees only its copies; the borrowed data stays with its owner.
}

}  // namespace

namespace {

// What the covered-cells feature would install: counts the ranges it was synchronised with.
class CountingPoolImp : public CGXAbstractCoveredCellPoolImp {
 public:
  CObject* CreatePool(CGXGridParam&) override { return new CGXRangeList; }
  void SyncPool(CObject* pool, const CGXRangeList& covered) override { *static_cast<CGXRangeList*>(pool) = covered; }
};

// A row array keeps its first entries in itself and moves them to storage of its own when it grows past
// them: every operation keeps the styles in their places across that boundary, in both directions.
TEST(StyleRowArray, EntriesKeepTheirPlacesWhenTheArrayOutgrowsOrShrinksBackToItsOwnRoom) {
  auto tagged = [](int n) {
    auto* s = new CGXStyle;
    s->SetValue(CString(std::to_string(n)));
    return s;
  };
  auto values = [](const CGXStylePtrArray& a) {
    std::string out;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) out += a.GetAt(i) ? std::string(a.GetAt(i)->GetValue()) + "," : "-,";
    return out;
  };
  CGXStylePtrArray row;
  row.SetAtGrow(1, tagged(1));
  row.SetAtGrow(2, tagged(2));
  EXPECT_EQ(values(row), "-,1,2,");
  row.InsertAt(1, 2);  // grows past the room inside
  EXPECT_EQ(values(row), "-,-,-,1,2,");
  row.SetAtGrow(9, tagged(9));
  EXPECT_EQ(values(row), "-,-,-,1,2,-,-,-,-,9,");
  row.MoveElements(9, 1, 0);
  EXPECT_EQ(values(row), "9,-,-,-,1,2,-,-,-,-,");
  row.MoveElements(0, 2, 12);  // past the end: nulls fill up to the new place
  EXPECT_EQ(values(row), "-,-,1,2,-,-,-,-,-,-,-,-,9,-,");
  CGXStylePtrArray copy(row);
  row.DeleteAt(0, 12);
  EXPECT_EQ(values(row), "9,-,");
  row.SetSize(1);
  EXPECT_EQ(values(row), "9,");
  EXPECT_EQ(values(copy), "-,-,1,2,-,-,-,-,-,-,-,-,9,-,");
  CGXStyle* detached = copy.Detach(2);
  EXPECT_EQ(detached->GetValue(), "1");
  delete detached;
  copy.DeleteAll();
  EXPECT_EQ(copy.GetSize(), 0);
  copy.SetAtGrow(0, tagged(5));
  copy.InsertAt(0, 1);
  EXPECT_EQ(values(copy), "-,5,");
}

TEST(CoveredCellPool, RebuiltThroughTheInstalledFeature) {
  CGXGridParam p;
  p.SyncCoveredCellPool();
  EXPECT_EQ(p.GetCoveredCellPool(), nullptr);  // no feature: no index
  CGXGridGlobals& g = CGXGridGlobals::Get();
  auto* imp = new CountingPoolImp;
  g.m_pCoveredCellPoolImp = imp;
  g.AddToAutoDeleteList(imp);
  p.GetCoveredCells().AddTail(new CGXRange(1, 1, 2, 2));
  p.SyncCoveredCellPool();
  ASSERT_NE(p.GetCoveredCellPool(), nullptr);
  EXPECT_EQ(static_cast<CGXRangeList*>(p.GetCoveredCellPool())->GetCount(), 1);
}

}  // namespace

#include "platform/base/Collections.h"

namespace {

TEST(ParamCommands, RedoListIsEmptiedAndCommandsAreOwned) {
  CGXGridParam p;
  p.GetUndoList().AddTail(new CGXRangeList);  // any object stands for a command here
  p.GetRedoList().AddTail(new CGXRangeList);
  p.GetRedoList().AddTail(new CGXRangeList);
  p.EmptyRedoList();
  EXPECT_TRUE(p.GetRedoList().IsEmpty());
  EXPECT_EQ(p.GetUndoList().GetCount(), 1);
  // The undo command is deleted with the parameter object (ASan reports a leak otherwise).
}

TEST(DataForwarders, WithoutFeaturesNothingMoves) {
  CGXData data;
  CObject* undo = nullptr;
  EXPECT_FALSE(data.CopyCells(CGXRange(1, 1, 2, 2), 5, 5));
  EXPECT_FALSE(data.MoveCells(CGXRange(1, 1, 2, 2), 5, 5, undo, TRUE));
  CDWordArray order;
  EXPECT_FALSE(data.MoveDataRows(CGXRange(1, 1, 2, 2), order));
}

}  // namespace
