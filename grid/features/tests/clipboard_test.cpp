// Cut, copy and paste through the clipboard: the exact bytes of the text and styles formats, which formats
// each flag offers, what a paste takes and where it stops, and the direct copy and cut inside one grid.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>

#include "grid/features/CGXCutPasteImp.h"
#include "grid/features/gxcopyblock.h"
#include "grid/features/tests/cliptest.h"
#include "platform/base/CArchive.h"
#include "platform/window/AutomationProvider.h"
#include "platform/base/CObArray.h"
#include "platform/base/CSharedFile.h"

namespace {

using cliptest::Bytes;
using cliptest::ClipTest;
using cliptest::PutBytes;
using cliptest::Text;

UINT StylesFormat() { return CGXGridGlobals::Get().m_nStylesClipboardFormat; }

TEST_F(ClipTest, TextCopyWritesTheCellsExactly) {
  CGXGridWnd* g = Make(4, 4, 0x0008);
  g->SetCellValue(1, 1, "a\tb");
  g->SetCellValue(1, 2, "x");
  g->SetCellValue(2, 1, "p\r\nq\rr\ns");
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  // One cell: its text with the tab written as backslash + t, no line end, a NUL after it.
  ASSERT_TRUE(g->Copy());
  EXPECT_EQ(Bytes(CF_TEXT), std::string("a\\tb", 4) + '\0');  // the block holds exactly these bytes
  // Two cells of a row: a tab between them and a line end after the block.
  Select(g, CGXRange(1, 1, 1, 2));
  ASSERT_TRUE(g->Copy());
  EXPECT_EQ(Text(), "a\\tb\tx\r\n");
  // CR LF, a lone CR and a lone LF inside a cell each become one blank.
  Select(g, CGXRange(2, 1));
  ASSERT_TRUE(g->Copy());
  EXPECT_EQ(Text(), "p q r s");
  // With the escapes flag they are written as escapes.
  g->m_nClipboardFlags |= gx::kClipEscapes;
  ASSERT_TRUE(g->Copy());
  EXPECT_EQ(Text(), "p\\r\\nq\\rr\\ns");
  // The copy separator stands between the cells of a row.
  g->m_nClipboardFlags = 0x0008;
  g->m_sCopySeparator = ";";
  Select(g, CGXRange(1, 1, 2, 2));
  ASSERT_TRUE(g->Copy());
  EXPECT_EQ(Text(), "a\\tb;x\r\np q r s;\r\n");
  EXPECT_EQ(g->m_nLastCopiedRows, 2u);
  EXPECT_EQ(g->m_nLastCopiedCols, 2u);
  // Only empty cells: no text format is offered.
  Select(g, CGXRange(3, 3, 4, 4));
  EXPECT_FALSE(g->Copy());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(ClipTest, EachFlagSetOffersItsFormatsAndTheDirectMarkOnlyWithADirectSwitch) {
  CGXGridWnd* g = Make(3, 3);
  g->SetCellValue(1, 1, "v");
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  struct Case {
    DWORD flags;
    BOOL directCopy, directCut;
    bool text, styles, mark;
  } cases[] = {
      {0x0008, FALSE, FALSE, true, false, false},  {0x0010, FALSE, FALSE, false, true, false},
      {0x0018, FALSE, FALSE, true, true, false},   {0x0018, TRUE, FALSE, true, true, true},
      {0x0008, FALSE, TRUE, true, false, true},
  };
  for (const Case& c : cases) {
    g->m_nClipboardFlags = c.flags;
    g->GetParam()->m_bDirectCopyPaste = c.directCopy;
    g->GetParam()->m_bDirectCutPaste = c.directCut;
    EXPECT_TRUE(g->Copy()) << c.flags;
    EXPECT_EQ(IsClipboardFormatAvailable(CF_TEXT) != 0, c.text) << c.flags;
    EXPECT_EQ(IsClipboardFormatAvailable(StylesFormat()) != 0, c.styles) << c.flags;
    EXPECT_EQ(IsClipboardFormatAvailable(GetDirectCopyFormat()) != 0, c.mark) << c.flags;
  }
  // The mark names this parameter object in this process.
  const std::string mark = Bytes(GetDirectCopyFormat());
  ASSERT_EQ(mark.size(), sizeof(GXDirectCopyMark));
  GXDirectCopyMark read{};
  std::memcpy(&read, mark.data(), sizeof read);
  EXPECT_EQ(read, GXDirectCopyMark::Of(g->GetParam()));
}

TEST_F(ClipTest, AnotherGridProgramFindsTheDirectMarkByItsRegisteredName) {
  CGXGridWnd* g = Make(3, 3);
  g->SetCellValue(1, 1, "v");
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  g->m_nClipboardFlags = 0x0008;
  g->GetParam()->m_bDirectCopyPaste = TRUE;
  ASSERT_TRUE(g->Copy());
  // The other program knows the name only: registering it gives the number the mark lies under.
  const UINT named = RegisterClipboardFormat("GX_DIRECTCOPY");
  ASSERT_GE(named, 0xC000u);
  EXPECT_TRUE(IsClipboardFormatAvailable(named));
  ASSERT_TRUE(OpenClipboard(nullptr));
  // Every format past the standard ones that the copy offers has a name.
  std::vector<std::string> names;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    if (format < 0xC000) continue;
    char name[64] = {};
    names.emplace_back(GetClipboardFormatName(format, name, sizeof name) > 0 ? name : "unnamed");
  }
  CloseClipboard();
  EXPECT_EQ(names, std::vector<std::string>{"GX_DIRECTCOPY"});
}

TEST_F(ClipTest, TheStylesFormatIsRowsColumnsAndAnArrayWithNullsForCellsWithoutStyles) {
  CGXGridWnd* g = Make(3, 3, 0x0010);
  CGXStyle bold;
  bold.SetValue("s").SetInteriorColor(RGB(1, 2, 3));
  g->SetStyleRange(CGXRange(1, 1), bold);
  Select(g, CGXRange(1, 1, 1, 2));
  ASSERT_TRUE(g->Copy());
  const std::string bytes = Bytes(StylesFormat());
  ASSERT_FALSE(bytes.empty());
  CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  ar.m_pDocument = reinterpret_cast<CDocument*>(static_cast<CObject*>(g->GetStylesMap()));
  DWORD rows = 0, cols = 0;
  ar >> rows >> cols;
  EXPECT_EQ(rows, 1u);
  EXPECT_EQ(cols, 2u);
  std::unique_ptr<CObArray> array(static_cast<CObArray*>(ar.ReadObject(RUNTIME_CLASS(CObArray))));
  ASSERT_TRUE(array);
  ASSERT_EQ(array->GetSize(), 2);
  auto* first = dynamic_cast<CGXStyle*>(array->GetAt(0));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::string(first->GetValue()), "s");
  EXPECT_EQ(first->GetInterior().GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(array->GetAt(1), nullptr);
  delete first;
}

// Several selected blocks are written edge to edge, each cell in its own place: rows and columns of the later
// bands follow those of the earlier ones, and a paste brings every cell back.
TEST_F(ClipTest, TheStylesFormatOfSeveralBlocksKeepsEveryCell) {
  CGXGridWnd* g = Make(8, 6, 0x0010);
  const char* const values[][4] = {{"a", "", "c", ""}, {"b", "", "d", ""}, {"", "", "", ""}, {"e", "", "f", ""}};
  for (ROWCOL r = 1; r <= 4; ++r)
    for (ROWCOL c = 1; c <= 4; ++c) g->SetCellValue(r, c, values[r - 1][c - 1]);
  // Columns A and C of rows 1-2 and 4: two row bands and two column bands.
  g->GetParam()->GetSelection().DeleteAll();
  g->GetParam()->GetSelection().AddTail(new CGXRange(1, 1, 2, 1));
  g->GetParam()->GetSelection().AddTail(new CGXRange(1, 3, 2, 3));
  g->GetParam()->GetSelection().AddTail(new CGXRange(4, 1, 4, 1));
  g->GetParam()->GetSelection().AddTail(new CGXRange(4, 3, 4, 3));
  ASSERT_TRUE(g->Copy());
  Select(g, CGXRange(5, 4));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Values(g, 5, 4, 7, 5), "a,c|b,d|e,f");
}

// A styles block from elsewhere: its sizes must count its elements (in 64 bits) and every element must be a
// style or nothing, else the paste changes nothing.
TEST_F(ClipTest, AMalformedStylesBlockIsRefusedBeforeAnythingChanges) {
  CGXGridWnd* g = Make(3, 3, 0x0010);
  auto block = [&](DWORD rows, DWORD cols, CObArray& array) {
    CSharedFile file;
    {
      CArchive ar(&file, CArchive::store);
      ar << rows << cols;
      ar.WriteObject(&array);
    }
    return file.Detach();
  };
  CGXStyle value;
  value.SetValue("v");
  CObArray twoStyles;
  twoStyles.Add(&value);
  twoStyles.Add(&value);
  CObArray notStyles;
  CObArray inner;
  notStyles.Add(&inner);
  struct Case {
    DWORD rows, cols;
    CObArray* array;
  } cases[] = {{1, 1, &twoStyles}, {0x80000001u, 0x80000002u, &twoStyles}, {1, 1, &notStyles}};
  for (const Case& c : cases) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(StylesFormat(), block(c.rows, c.cols, *c.array));
    CloseClipboard();
    ASSERT_TRUE(g->MoveCurrentCellTo(3, 3, GX_UPDATENOW));
    EXPECT_FALSE(g->Paste()) << c.rows;
    EXPECT_EQ(Value(g, 3, 3), "") << c.rows;
    EXPECT_EQ(g->GetRowCount(), 3u);
    EXPECT_EQ(g->GetColCount(), 3u);
  }
  // The same element twice in a well-formed block pastes into both cells.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(StylesFormat(), block(1, 2, twoStyles));
  CloseClipboard();
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  EXPECT_TRUE(g->Paste());
  EXPECT_EQ(Values(g, 1, 1, 1, 2), "v,v");
}

TEST_F(ClipTest, APasteGrowsTheGridUnlessTheFlagsForbidIt) {
  struct Case {
    DWORD extra;
    ROWCOL rows, cols;
    std::string block;
  } cases[] = {
      {0, 4, 4, "1,2|3,4"},
      {0x0200, 3, 4, "1,2|,"},    // no new row: the second line is dropped
      {0x0400, 4, 3, "1,|3,"},    // no new column: the second fields are dropped
      {0x0600, 3, 3, "1,|,"},     // both: only the 1 is stored
  };
  for (const Case& c : cases) {
    CGXGridWnd* g = Make(3, 3, 0x0008 | c.extra);
    PutBytes(CF_TEXT, std::string("1\t2\r\n3\t4", 9));
    ASSERT_TRUE(g->MoveCurrentCellTo(3, 3, GX_UPDATENOW));
    EXPECT_TRUE(g->Paste()) << c.extra;
    EXPECT_EQ(g->GetRowCount(), c.rows) << c.extra;
    EXPECT_EQ(g->GetColCount(), c.cols) << c.extra;
    EXPECT_EQ(Values(g, 3, 3, 4, 4), c.block) << c.extra;
  }
}

// A grid that counts its paints.
class CountingGrid : public CGXGridWnd {
 public:
  void DrawGrid(CDC* dc) override {
    ++paints;
    CGXGridWnd::DrawGrid(dc);
  }
  int paints = 0;
};

// A shown grid of 3 rows x 2 columns, 400 pixels wide, that copies and pastes text; null when not created.
template <typename Grid>
Grid* ShownTextGrid(std::unique_ptr<Grid>& owned, int height) {
  owned = std::make_unique<Grid>();
  Grid* g = owned.get();
  if (!g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, height, nullptr, nullptr)) return nullptr;
  g->InitializeFromStyle();
  g->SetRowCount(3, 0);
  g->SetColCount(2, 0);
  g->m_nClipboardFlags = 0x0008;
  return g;
}

// A paste that added rows is undone in one step: the rows go, the cells it overwrote come back, and redo
// pastes it again. The window is painted once for the whole step, not once per row or cell.
TEST_F(ClipTest, UndoingAPasteThatAddedRowsRemovesThemAndRestoresTheCellsAndRedoPastesAgain) {
  Automate();
  std::unique_ptr<CountingGrid> owned;
  CountingGrid* g = ShownTextGrid(owned, 300);
  ASSERT_NE(g, nullptr);
  g->SetCellValue(2, 1, "kept");
  g->SetCellValue(3, 2, "over");
  CGXStyle bold;
  bold.SetFont(CGXFont().SetBold(TRUE));
  g->SetStyleRange(CGXRange(3, 1), bold);
  ClearUndo(g);
  std::string text;
  for (int i = 0; i < 40; ++i) text += std::to_string(i) + "\tx" + std::to_string(i) + "\r\n";
  PutBytes(CF_TEXT, text + '\0');
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 1, GX_UPDATENOW));
  ASSERT_TRUE(g->Paste());
  ASSERT_EQ(g->GetRowCount(), 42u);
  EXPECT_EQ(Values(g, 41, 1, 42, 2), "38,x38|39,x39");
  ASSERT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);

  Pump();
  g->paints = 0;
  ASSERT_TRUE(g->Undo());
  Pump();
  EXPECT_LE(g->paints, 2);
  EXPECT_EQ(g->GetRowCount(), 3u);
  EXPECT_EQ(Values(g, 2, 1, 3, 2), "kept,|,over");
  CGXStyle stored;
  ASSERT_TRUE(g->ReadStoredStyle(3, 1, stored, gxCopy, 0));
  EXPECT_TRUE(stored.IsIncluded(GX_IN_FONT));

  ASSERT_TRUE(g->Redo());
  EXPECT_EQ(g->GetRowCount(), 42u);
  EXPECT_EQ(Values(g, 3, 1, 4, 2), "0,x0|1,x1");
  EXPECT_EQ(Values(g, 41, 1, 42, 2), "38,x38|39,x39");
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->GetRowCount(), 3u);
  EXPECT_EQ(Values(g, 2, 1, 3, 2), "kept,|,over");
  g->DestroyWindow();
}

// A grid that counts the row insertions its store makes.
class InsertCountingGrid : public CGXGridWnd {
 public:
  BOOL StoreInsertRows(ROWCOL row, ROWCOL count, BOOL force) override {
    ++insertions;
    return CGXGridWnd::StoreInsertRows(row, count, force);
  }
  int insertions = 0;
};

// A paste running past the last row raises the row count towards the row of its last line in few steps:
// raised line by line it made a row insertion per line, each of which shifts every cell and reference of a
// formula sheet (100,000 pasted numbers took minutes). Lines ending in a lone CR or LF count as the walk
// counts them.
TEST_F(ClipTest, APastePastTheLastRowGrowsTheGridOnceToItsLastLine) {
  Automate();
  std::unique_ptr<InsertCountingGrid> owned;
  InsertCountingGrid* g = ShownTextGrid(owned, 300);
  ASSERT_NE(g, nullptr);
  ClearUndo(g);
  std::string text;
  for (int i = 0; i < 500; ++i) text += std::to_string(i) + (i % 3 == 0 ? "\tx\r\n" : i % 3 == 1 ? "\n" : "\r");
  PutBytes(CF_TEXT, text + '\0');
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 1, GX_UPDATENOW));
  g->insertions = 0;
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(g->insertions, 1);
  EXPECT_EQ(g->GetRowCount(), 502u);
  EXPECT_EQ(Values(g, 3, 1, 4, 2), "0,x|1,");
  EXPECT_EQ(Values(g, 501, 1, 502, 2), "498,x|499,");
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->GetRowCount(), 3u);
  // 70,000 lines grow it in three steps, none larger than its undo keeps without asking.
  text.clear();
  for (int i = 0; i < 70000; ++i) text += "7\r\n";
  PutBytes(CF_TEXT, text + '\0');
  g->insertions = 0;
  plat::ClearShownLog();
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(g->insertions, 3);
  EXPECT_EQ(g->GetRowCount(), 70002u);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->GetRowCount(), 3u);
  EXPECT_TRUE(plat::ShownLog().empty());
  g->DestroyWindow();
}

// A grid that counts the row heights asked for.
class HeightCountingGrid : public CGXGridWnd {
 public:
  int GetRowHeight(ROWCOL row) const override {
    ++asked;
    return CGXGridWnd::GetRowHeight(row);
  }
  mutable long asked = 0;
};

// The undo of a paste that grew the grid removes its rows with updates locked: each removal measures its own
// row, not the rows above it down to the window's edge, whichever rows are shown.
TEST_F(ClipTest, UndoingAPasteOfManyRowsAsksForAFewHeightsPerRemovedRow) {
  Automate();
  for (const ROWCOL top : {1u, 150u}) {
    std::unique_ptr<HeightCountingGrid> owned;
    HeightCountingGrid* g = ShownTextGrid(owned, 600);
    ASSERT_NE(g, nullptr);
    ClearUndo(g);
    std::string text;
    for (int i = 0; i < 200; ++i) text += std::to_string(i) + "\r\n";
    PutBytes(CF_TEXT, text + '\0');
    ASSERT_TRUE(g->MoveCurrentCellTo(3, 1, GX_UPDATENOW));
    ASSERT_TRUE(g->Paste());
    ASSERT_EQ(g->GetRowCount(), 202u);
    g->SetTopRow(top, GX_UPDATENOW);
    Pump();
    g->asked = 0;
    ASSERT_TRUE(g->Undo());
    Pump();
    EXPECT_EQ(g->GetRowCount(), 3u);
    EXPECT_EQ(Values(g, 3, 1, 3, 1), "") << top;  // the cell the paste began in is empty again
    // 199 rows removed; a window's walk per row (30 rows of 20 pixels) would ask some 6,000 heights.
    EXPECT_LE(g->asked, 4 * 199 + 200) << top;
    g->DestroyWindow();
  }
}

TEST_F(ClipTest, AStylesPasteOfAnotherSizeAsksAndCancelChangesNothing) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDCANCEL, {}, 0}, "Clipboard size is different");
  CGXGridWnd* g = Make(5, 5, 0x0010 | 0x0100);
  for (ROWCOL r = 1; r <= 2; ++r)
    for (ROWCOL c = 1; c <= 3; ++c) g->SetCellValue(r, c, std::to_string(r * 10 + c).c_str());
  Select(g, CGXRange(1, 1, 2, 3));
  ASSERT_TRUE(g->Copy());
  Select(g, CGXRange(4, 4));
  ClearUndo(g);
  EXPECT_FALSE(g->Paste());
  EXPECT_EQ(Values(g, 4, 4, 5, 5), ",|,");
  EXPECT_EQ(g->GetColCount(), 5u);
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
  // OK pastes the whole block, growing the columns; one undo step takes it all back.
  EXPECT_TRUE(g->Paste());
  EXPECT_EQ(g->GetColCount(), 6u);
  EXPECT_EQ(Values(g, 4, 4, 5, 6), "11,12,13|21,22,23");
  EXPECT_TRUE(g->Undo());
  EXPECT_EQ(g->GetColCount(), 5u);
  EXPECT_EQ(Values(g, 4, 4, 5, 5), ",|,");
}

TEST_F(ClipTest, MultiAreaSelectionsCanBeCopiedButNotPasted) {
  CGXGridWnd* g = Make(5, 5, 0x0008);
  g->SetCellValue(1, 1, "a");
  g->SetCellValue(3, 3, "c");
  g->GetParam()->GetSelection().AddTail(new CGXRange(1, 1));
  g->GetParam()->GetSelection().AddTail(new CGXRange(3, 3));
  // Two separate ranges copy as one packed block.
  ASSERT_TRUE(g->Copy());
  EXPECT_EQ(Text(), "a\t\r\n\tc\r\n");
  plat::ClearShownLog();
  EXPECT_FALSE(g->Paste());
  ASSERT_FALSE(plat::ShownLog().empty());
  EXPECT_EQ(plat::ShownLog().back().request.text, "Pasting is not possible for multi-area selections.");
}

TEST_F(ClipTest, StylesWinOverTextTheOemTextServesWithoutTextAndBytesAfterTheNulAreIgnored) {
  CGXGridWnd* g = Make(4, 4);
  g->SetCellValue(1, 1, "S");
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  ASSERT_TRUE(g->Copy());  // text "S" and styles with "S"
  PutBytes(CF_TEXT, std::string("T\0", 2), true, g->GetSafeHwnd());  // a text beside the styles
  ASSERT_EQ(cliptest::Text(), "T");
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Value(g, 2, 2), "S");

  PutBytes(CF_OEMTEXT, std::string("oem\0", 4));
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 3, GX_UPDATENOW));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Value(g, 3, 3), "oem");

  PutBytes(CF_TEXT, std::string("x\0\tjunk\r\nmore", 13));
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 1, GX_UPDATENOW));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Values(g, 4, 1, 4, 3), "x,,");
  EXPECT_EQ(g->GetRowCount(), 4u);
}

TEST_F(ClipTest, AClipboardHeldOpenByAnotherWindowStopsCopyAndCut) {
  CGXGridWnd* g = Make(3, 3);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  EXPECT_TRUE(g->CanCopy());
  EXPECT_TRUE(g->CanCut());
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, "GXWND", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  ASSERT_TRUE(OpenClipboard(other.GetSafeHwnd()));
  EXPECT_FALSE(g->CanCopy());
  EXPECT_FALSE(g->CanCut());
  EXPECT_FALSE(g->Copy());
  CloseClipboard();
  EXPECT_TRUE(g->CanCopy());
  // A read-only grid can copy, but not cut or paste.
  g->SetReadOnly(TRUE);
  EXPECT_TRUE(g->CanCopy());
  EXPECT_FALSE(g->CanCut());
  EXPECT_FALSE(g->CanPaste());
}

// Texts as spreadsheet programs put them on the clipboard (committed byte for byte).
TEST_F(ClipTest, SpreadsheetTextsPasteAsTheirCellsAndMeasureAsTheyPaste) {
  struct Case {
    const char* file;
    DWORD rows, cols;
    std::string block;
  } cases[] = {
      {"crlf-last-line-end.txt", 2, 2, "a,b,|c,d,|,,"},
      {"crlf-no-last-line-end.txt", 2, 2, "a,b,|c,d,|,,"},
      {"empty-fields.txt", 2, 3, "a,,c|,x,|,,"},
      {"lf-only.txt", 2, 2, "a,b,|c,d,|,,"},
      {"cr-only.txt", 2, 2, "a,b,|c,d,|,,"},
      {"cp1252.txt", 2, 2, "caf\xe9,\x80 5,|\xfc\xdf,\xa0,|,,"},
  };
  for (const Case& c : cases) {
    // From the source tree (the test may run in another folder).
    const char* root = std::getenv("BRIM_SOURCE_DIR");
    const std::string dir = std::string(root ? root : ".") + "/grid/features/tests/clipdata/";
    std::ifstream in(dir + c.file, std::ios::binary);
    ASSERT_TRUE(in) << c.file;
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str() + '\0';
    CGXGridWnd* g = Make(5, 5, 0x0008);
    DWORD rows = 0, cols = 0;
    GXForwardArgs a;
    a.v = {reinterpret_cast<DWORD_PTR>(text.data()), text.size(), reinterpret_cast<DWORD_PTR>(&rows),
           reinterpret_cast<DWORD_PTR>(&cols)};
    EXPECT_TRUE(g->TextExchangeForward4(a));
    EXPECT_EQ(rows, c.rows) << c.file;
    EXPECT_EQ(cols, c.cols) << c.file;
    PutBytes(CF_TEXT, text);
    ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
    EXPECT_TRUE(g->Paste()) << c.file;
    EXPECT_EQ(Values(g, 1, 1, 3, 3), c.block) << c.file;
    EXPECT_EQ(g->GetRowCount(), 5u) << c.file;
  }
}

TEST_F(ClipTest, EscapedTextRoundTripsAndPlainTextKeepsItsBackslashes) {
  CGXGridWnd* g = Make(4, 4, 0x0008 | gx::kClipEscapes);
  g->SetCellValue(1, 1, "l1\r\nl2\tt\\x");
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  ASSERT_TRUE(g->Copy());
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Value(g, 2, 2), "l1\r\nl2\tt\\x");
  // Without the flag a pasted backslash + t stays two characters (the tab a copy wrote is not turned back).
  g->m_nClipboardFlags = 0x0008;
  PutBytes(CF_TEXT, std::string("a\\tb\0", 5));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Value(g, 2, 2), "a\\tb");
}

TEST_F(ClipTest, ADirectCutMovesTheCellsOnceAndASecondPasteUsesTheFormats) {
  CGXGridWnd* g = Make(6, 4, 0x0008);
  g->GetParam()->m_bDirectCutPaste = TRUE;
  g->SetCellValue(1, 1, "m");
  g->SetCellValue(1, 2, "n");
  Select(g, CGXRange(1, 1, 1, 2));
  ClearUndo(g);
  ASSERT_TRUE(g->CanCut());
  ASSERT_TRUE(g->CutSelection());
  // The cells stay where they are until the paste.
  EXPECT_EQ(Values(g, 1, 1, 1, 2), "m,n");
  EXPECT_TRUE(g->GetParam()->m_bCutPending);
  Select(g, CGXRange(4, 2));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Values(g, 1, 1, 1, 2), ",");
  EXPECT_EQ(Values(g, 4, 2, 4, 3), "m,n");
  EXPECT_FALSE(g->GetParam()->m_bCutPending);
  EXPECT_TRUE(g->GetParam()->m_copiedRanges.IsEmpty());
  // A second paste copies from the text format; nothing moves again.
  Select(g, CGXRange(5, 1));
  ASSERT_TRUE(g->Paste());
  EXPECT_EQ(Values(g, 5, 1, 5, 2), "m,n");
  EXPECT_EQ(Values(g, 4, 2, 4, 3), "m,n");
  // Undo takes the paste back, then the move.
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Values(g, 5, 1, 5, 2), ",");
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Values(g, 1, 1, 1, 2), "m,n");
  EXPECT_EQ(Values(g, 4, 2, 4, 3), ",");
}

TEST_F(ClipTest, ADirectCopyPastesInPlaceInItsGridAndThroughTheFormatsInAnother) {
  CGXGridWnd* a = Make(4, 4, 0x0008);
  a->GetParam()->m_bDirectCopyPaste = TRUE;
  CGXStyle tinted;
  tinted.SetValue("t").SetInteriorColor(RGB(9, 9, 9));
  a->SetStyleRange(CGXRange(1, 1), tinted);
  Select(a, CGXRange(1, 1));
  ASSERT_TRUE(a->Copy());
  // In the same grid the whole style comes along (the text format carries only the value).
  Select(a, CGXRange(2, 2));
  ASSERT_TRUE(a->Paste());
  CGXStyle copied;
  ASSERT_TRUE(a->ReadStoredStyle(2, 2, copied, gxCopy, 0));
  EXPECT_TRUE(copied.IsIncluded(GX_IN_INTERIOR));
  EXPECT_EQ(Value(a, 2, 2), "t");

  // Grid B has a parameter object of its own: the mark does not name it.
  CGXGridWnd b;
  ASSERT_TRUE(b.CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  b.InitializeFromStyle();
  b.SetRowCount(3, 0);
  b.SetColCount(3, 0);
  b.m_nClipboardFlags = 0x0008;
  b.GetParam()->m_bDirectCopyPaste = TRUE;
  ASSERT_TRUE(b.MoveCurrentCellTo(3, 3, GX_UPDATENOW));
  ASSERT_TRUE(b.Paste());
  EXPECT_EQ(Value(&b, 3, 3), "t");
  CGXStyle pasted;
  b.ReadStoredStyle(3, 3, pasted, gxCopy, 0);
  EXPECT_FALSE(pasted.IsIncluded(GX_IN_INTERIOR));
  // A mark with this grid's address but another serial number (a freed object's) is not this grid's.
  GXDirectCopyMark stale = GXDirectCopyMark::Of(a->GetParam());
  stale.serial += 1000;
  PutBytes(GetDirectCopyFormat(), std::string(reinterpret_cast<const char*>(&stale), sizeof stale), false,
           a->GetSafeHwnd());
  PutBytes(CF_TEXT, std::string("fmt\0", 4), true, a->GetSafeHwnd());
  Select(a, CGXRange(3, 3));
  ASSERT_TRUE(a->Paste());
  EXPECT_EQ(Value(a, 3, 3), "fmt");
}

// A direct paste over the current cell shows the pasted value in the cell's control at once, whether the block
// goes to the current cell itself or to a selected range that covers it.
TEST_F(ClipTest, ADirectPasteOverTheCurrentCellRefreshesItsControl) {
  CGXGridWnd* g = Make(6, 6, 0x0008);
  g->GetParam()->m_bDirectCopyPaste = TRUE;
  g->SetCellValue(1, 1, "p");
  g->SetCellValue(1, 2, "q");
  struct Case {
    CGXRange target;  // the selected target; none pastes at the current cell (4, 4)
    const char* shown;
  } cases[] = {{CGXRange(), "p"}, {CGXRange(4, 3), "q"}, {CGXRange(5, 5), "old"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target.left);
    g->SetCellValue(4, 4, "old");
    Select(g, CGXRange(1, 1, 1, 2));
    ASSERT_TRUE(g->Copy());
    g->GetParam()->GetSelection().DeleteAll();
    ASSERT_TRUE(g->MoveCurrentCellTo(4, 4, GX_UPDATENOW));
    CGXControl* control = g->ControlOfCurrentCell();
    ASSERT_NE(control, nullptr);
    CString text;
    control->GetEditText(text);
    ASSERT_EQ(std::string(text), "old");
    if (c.target.IsValid()) {
      Select(g, c.target);
      g->GetParam()->m_bKeepsCurrentSelRange = TRUE;
    }
    ASSERT_TRUE(g->Paste());
    control->GetEditText(text);
    EXPECT_EQ(std::string(text), c.shown);
    g->GetParam()->GetSelection().DeleteAll();
    g->GetParam()->m_bKeepsCurrentSelRange = FALSE;
  }
}

// A cell store whose copy runs out of memory at its n-th block (counted from 1), after the block's first row: an
// allocation that fails on purpose, with the platform's memory exception or the standard one.
class StoreOutOfMemory : public CGXData {
 public:
  int failAt = 0;
  bool standard = false;
  int calls = 0;
  BOOL CopyCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol) override {
    if (++calls == failAt) {
      CGXData::CopyCells(CGXRange(range.top, range.left, range.top, range.right), destRow, destCol);
      if (standard) throw std::bad_alloc();
      AfxThrowMemoryException();
    }
    return CGXData::CopyCells(range, destRow, destCol);
  }
};

TEST_F(ClipTest, APasteThatRunsOutOfMemoryTellsTheUserAndRollsBackEveryBlockPastedSoFar) {
  for (const bool standard : {false, true}) {
    SCOPED_TRACE(standard);
    CGXGridWnd* g = Make(8, 6, 0x0008);
    auto* store = new StoreOutOfMemory;
    store->InitParam(g->GetParam());
    g->GetParam()->SetData(store, TRUE);
    g->SetRowCount(8, 0);
    g->SetColCount(6, 0);
    g->GetParam()->m_bDirectCopyPaste = TRUE;
    g->SetCellValue(1, 1, "a");
    g->SetCellValue(2, 1, "b");
    g->SetCellValue(1, 4, "d");
    g->SetCellValue(2, 4, "e");
    g->SetCellValue(5, 1, "old");
    // Columns A and D of rows 1 and 2: two blocks, pasted edge to edge at row 5.
    g->GetParam()->GetSelection().DeleteAll();
    g->GetParam()->GetSelection().AddTail(new CGXRange(1, 1, 2, 1));
    g->GetParam()->GetSelection().AddTail(new CGXRange(1, 4, 2, 4));
    ASSERT_TRUE(g->Copy());
    g->GetParam()->GetSelection().DeleteAll();
    ASSERT_TRUE(g->MoveCurrentCellTo(5, 1, GX_UPDATENOW));
    ClearUndo(g);
    // The first block is pasted, the second runs out of memory.
    store->failAt = 2;
    store->standard = standard;
    store->calls = 0;
    plat::ClearShownLog();
    EXPECT_FALSE(g->Paste());
    EXPECT_EQ(store->calls, 2);
    ASSERT_EQ(plat::ShownLog().size(), 1u);
    EXPECT_EQ(plat::ShownLog()[0].request.text, "Range too big.");
    EXPECT_EQ(Values(g, 5, 1, 6, 2), "old,|,");
    EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
    // With memory enough the same paste goes through, and one undo takes it back.
    store->failAt = 0;
    plat::ClearShownLog();
    ASSERT_TRUE(g->Paste());
    EXPECT_TRUE(plat::ShownLog().empty());
    EXPECT_EQ(Values(g, 5, 1, 6, 2), "a,d|b,e");
    ASSERT_TRUE(g->Undo());
    EXPECT_EQ(Values(g, 5, 1, 6, 2), "old,|,");
  }
}

TEST_F(ClipTest, ACutThatCannotClearRollsBackAndKeepsTheCells) {
  CGXGridWnd* g = Make(3, 3, 0x0008);
  g->SetCellValue(1, 1, "keep");
  Select(g, CGXRange(1, 1));
  ClearUndo(g);
  // Without the clear feature the cut cannot clear: nothing changes, and the undo list stays empty.
  g->SetFeature(static_cast<CGXGridClearCellsImp*>(nullptr));
  EXPECT_FALSE(g->CutSelection());
  EXPECT_EQ(Value(g, 1, 1), "keep");
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
}

// A paste refused by a cell it would change (read-only here) leaves the grid as it was, its size included,
// whether or not the grid records undo: where a transaction cannot take back the rows and columns the paste
// added on its way to the refused cell, the paste takes them back itself.
TEST_F(ClipTest, ARefusedPasteLeavesTheGridItsSize) {
  enum class Door { TextRows, TextCols, Styles };
  const struct Case {
    Door door;
    const char* name;
    ROWCOL row, col;  // where the paste goes
  } cases[] = {{Door::TextRows, "text, rows added before the refused field", 2, 1},
               {Door::TextCols, "text, columns added before the refused field", 1, 2},
               {Door::Styles, "styles, rows and columns added first", 2, 2}};
  for (const Case& c : cases) {
    for (const BOOL undo : {TRUE, FALSE}) {
      SCOPED_TRACE(std::string(c.name) + (undo ? ", undo recorded" : ", no undo"));
      plat::ClearShownLog();
      CGXGridWnd* g = Make(2, 2, 0x0008 | (c.door == Door::Styles ? 0x0010 : 0));
      g->GetParam()->m_bUndoEnabled = undo;
      g->SetCellValue(1, 1, "p");
      g->SetCellValue(1, 2, "q");
      g->SetCellValue(2, 1, "r");
      // The copied block (styles) before column 2, or row 2, turns read-only.
      if (c.door == Door::Styles) {
        Select(g, CGXRange(1, 1, 2, 2));
        ASSERT_TRUE(g->Copy());
        g->GetParam()->GetSelection().DeleteAll();
      } else {
        PutBytes(CF_TEXT, std::string(c.door == Door::TextRows ? "a\r\nb\r\nc\tx" : "a\tb\tc\r\nx") + '\0');
      }
      CGXStyle readOnly;
      readOnly.SetReadOnly(TRUE);
      const CGXRange locked = c.door == Door::TextCols ? CGXRange().AssignRows(2, 2) : CGXRange().AssignCols(2, 2);
      g->SetStyleRange(locked, readOnly);
      ClearUndo(g);
      ASSERT_TRUE(g->MoveCurrentCellTo(c.row, c.col, GX_UPDATENOW));
      EXPECT_FALSE(g->Paste());
      EXPECT_EQ(g->GetRowCount(), 2u);
      EXPECT_EQ(g->GetColCount(), 2u);
      EXPECT_EQ(Values(g, 1, 1, 2, 2), "p,q|r,");
      EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
    }
  }
}

}  // namespace
