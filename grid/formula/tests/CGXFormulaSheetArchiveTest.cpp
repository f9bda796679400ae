// The formula sheet's archive form and its copies: bytes, round trips, refused schemas, formulas that no
// longer parse, and the grid parameter's copy.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "grid/formula/tests/sheettest.h"
#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"
#include "platform/base/CMemFile.h"

namespace {

using sheettest::SheetTest;

std::vector<BYTE> Store(CObject& object) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    object.Serialize(ar);
  }
  return std::vector<BYTE>(file.Data(), file.Data() + file.GetLength());
}

void Load(CObject& object, std::vector<BYTE> bytes) {
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  object.Serialize(ar);
}

// The archive's little-endian forms.
struct Bytes {
  std::vector<BYTE> b;
  Bytes& byte(BYTE v) {
    b.push_back(v);
    return *this;
  }
  Bytes& word(WORD v) { return byte(static_cast<BYTE>(v)).byte(static_cast<BYTE>(v >> 8)); }
  Bytes& dword(DWORD v) { return word(static_cast<WORD>(v)).word(static_cast<WORD>(v >> 16)); }
  Bytes& number(double v) {
    const auto* p = reinterpret_cast<const BYTE*>(&v);
    b.insert(b.end(), p, p + 8);
    return *this;
  }
  Bytes& text(const char* t) {
    byte(static_cast<BYTE>(std::strlen(t)));
    b.insert(b.end(), t, t + std::strlen(t));
    return *this;
  }
  Bytes& append(const std::vector<BYTE>& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
};

// An archive's part before its cell records: the schema, a plain store of `rows` x `cols`, the settings at
// their defaults and no names.
Bytes SheetHead(ROWCOL rows, ROWCOL cols) {
  CGXData plain;
  plain.StoreRowCount(rows);
  plain.StoreColCount(cols);
  Bytes head;
  head.word(1).append(Store(plain)).word(0).word(0).word(0).word(0).word(0).word(0);
  return head;
}

TEST_F(SheetTest, ASmallSheetIsStoredByteForByte) {
  CGXFormulaSheet s;
  s.StoreRowCount(3);
  s.StoreColCount(2);
  s.SetNumberValue(1, 1, 5.0);
  s.SetTextValue(2, 2, "ab");
  CGXData plain;
  plain.StoreRowCount(3);
  plain.StoreColCount(2);
  Bytes expected;
  expected.word(1).append(Store(plain));
  expected.word(0).word(0).word(0).word(0).word(0);  // iteration, blanks, manual, method, constraints
  expected.word(0);                                  // no names
  expected.byte(1).byte(1).byte(3).byte(0).dword(1).dword(0).word(0).number(5.0);
  expected.byte(1).byte(2).byte(5).byte(0).dword(2).dword(1).word(0).text("ab");
  expected.byte(0);
  EXPECT_EQ(Store(s), expected.b);
}

// A text longer than 511 characters was cut when stored and again when read back: it makes the round trip
// whole. A text record of an earlier sheet (its backslashes and TAB as stored) reads back unchanged.
TEST_F(SheetTest, TextsComeBackFromTheArchiveAsStored) {
  CGXFormulaSheet s;
  s.StoreRowCount(2);
  s.StoreColCount(1);
  const std::string longText(3501, 'w');
  s.SetTextValue(1, 1, longText.c_str());
  CGXFormulaSheet back;
  Load(back, Store(s));
  CString t;
  back.GetValueText(1, 1, t);
  EXPECT_TRUE(std::string(t) == longText) << t.GetLength();

  Bytes earlier = SheetHead(2, 1);
  earlier.byte(1).byte(2).byte(4).byte(0).dword(2).dword(0).word(0).text("C:\\temp\tnew\\x41").byte(0);
  Load(back, earlier.b);
  back.GetValueText(2, 1, t);
  EXPECT_EQ(std::string(t), "C:\\temp\tnew\\x41");
}

// A formula longer than 511 characters was read back cut, so that it no longer parsed or meant another sum.
TEST_F(SheetTest, ALongFormulaComesBackFromTheArchiveWhole) {
  CGXFormulaSheet s;
  s.StoreRowCount(2);
  s.StoreColCount(1);
  std::string formula = "=1";
  while (formula.size() < 701) formula += "+123456789.125";
  ASSERT_TRUE(s.SetExpression(1, 1, formula.c_str()));
  CGXFormulaSheet back;
  Load(back, Store(s));
  CString t;
  back.GetExpressionText(1, 1, t);
  EXPECT_TRUE(std::string(t) == formula) << t.GetLength();
  back.GetValueText(1, 1, t);
  EXPECT_EQ(t, "6172839457.25");
}

TEST_F(SheetTest, ARoundTripKeepsSettingsNamesCellsMarksAndStyles) {
  MakeSheetGrid(10, 6);
  sheet->SetIterationLimit(7);
  sheet->SetBlanksAreZeros(TRUE);
  sheet->SetRecalcMethod(1);
  sheet->SetValueText(1, 1, "2");
  sheet->SetValueText(1, 2, "=A1*rate");
  sheet->SetRangeName("rate", CGXRange(2, 1), nullptr);
  sheet->SetValueText(2, 1, "10");
  sheet->SetValueText(3, 1, "'007");
  sheet->SetValueText(3, 2, CString(static_cast<char>('y'), 40));
  sheet->SetValueText(4, 1, "#N/A");
  sheet->SetValueText(4, 2, "=1/0");
  sheet->SetValueText(5, 1, "=1+2");  // a formula of constants
  CGXStyle blue;
  blue.SetInteriorColor(RGB(0, 0, 255));
  sheet->StoreStyle(5, 2, &blue, gxOverride, 1);
  sheet->StoreStyle(1, 2, &blue, gxOverride, 1);
  sheet->SetRecalcMode(TRUE);
  Recalc();
  sheet->SetCellChanged(3, 1, TRUE);
  sheet->SetCellChanged(1, 1, FALSE);

  CGXFormulaSheet copy;
  Load(copy, Store(*sheet));
  EXPECT_EQ(copy.GetIterationLimit(), 7);
  EXPECT_TRUE(copy.GetBlanksAreZeros());
  EXPECT_TRUE(copy.GetRecalcMode());
  EXPECT_EQ(copy.GetRecalcMethod(), 1);
  CStringArray names;
  copy.GetNamesText(names);
  ASSERT_EQ(names.GetSize(), 1);
  EXPECT_EQ(names[0], "rate=A2");
  for (ROWCOL r = 1; r <= 5; ++r)
    for (ROWCOL c = 1; c <= 2; ++c) {
      CString a, b;
      sheet->GetExpressionText(r, c, a);
      copy.GetExpressionText(r, c, b);
      EXPECT_EQ(a, b) << r << "," << c;
      sheet->GetValueText(r, c, a);
      copy.GetValueText(r, c, b);
      EXPECT_EQ(a, b) << r << "," << c;
      const GX_CELL* x = sheet->FindCell(r, c);
      const GX_CELL* y = copy.FindCell(r, c);
      ASSERT_EQ(x == nullptr, y == nullptr);
      if (!x) continue;
      EXPECT_EQ(x->flags & 0x7F8000u, y->flags & 0x7F8000u) << r << "," << c;
      EXPECT_EQ(x->kind(), y->kind());
      EXPECT_EQ(x->style == nullptr, y->style == nullptr);
    }
  CGXStyle read;
  ASSERT_TRUE(copy.GetStyle(5, 2, read, gxCopy, 0));
  EXPECT_EQ(read.GetInterior().GetColor(), RGB(0, 0, 255));
  EXPECT_TRUE(copy.IsCellChanged(3, 1));
  // Stored again, the copy gives the same bytes.
  const std::vector<BYTE> bytes = Store(*sheet);
  EXPECT_EQ(Store(copy), bytes);
  // The bytes seed the archive reader's fuzz target.
  if (std::getenv("BRIM_UPDATE_REFERENCES")) {
    const char* root = std::getenv("BRIM_SOURCE_DIR");
    const std::string path = std::string(root ? root : ".") + "/fuzz/formula/corpus/sheet_archive/roundtrip.bin";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  }
}

TEST_F(SheetTest, OtherSchemasAreRefusedWithTheBadSchemaCause) {
  CGXFormulaSheet s;
  std::vector<BYTE> bytes = Store(s);
  bytes[0] = 2;
  int cause = -1;
  try {
    Load(s, bytes);
  } catch (CArchiveException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CArchiveException::badSchema);
}

TEST_F(SheetTest, AFormulaThatNoLongerParsesComesBackAsTextAtItsPlace) {
  Bytes b = SheetHead(4, 4);
  b.byte(1).byte(3).byte(3).byte(0).dword(2).dword(1).word(0).text("=1+*").number(3.0);
  // A placeholder for the same place comes after and is dropped (freed, not leaked).
  b.byte(1).byte(0).byte(0).byte(0).dword(2).dword(1).word(0);
  b.byte(0);
  CGXFormulaSheet s;
  Load(s, b.b);
  CString t;
  s.GetValueText(2, 2, t);
  EXPECT_EQ(t, "=1+*");
  ASSERT_NE(s.FindCell(2, 2), nullptr);
  EXPECT_EQ(s.FindCell(2, 2)->kind(), GX_KIND_TEXT);
  // A record out of the engine's bounds is bad input.
  Bytes bad = SheetHead(4, 4);
  bad.byte(1).byte(1).byte(3).byte(0).dword(0).dword(1).word(0).number(1.0).byte(0);
  CGXFormulaSheet t2;
  EXPECT_TRUE(enginetest::Throws<CArchiveException>([&] { Load(t2, bad.b); }));
}

TEST_F(SheetTest, AnArchiveWithTwoRecordsForOneCellKeepsTheLaterOne) {
  Bytes b = SheetHead(4, 4);
  // Cell (1, 1): a number, then a text. Cell (2, 1): a formula, then a number. Cell (3, 1): a number, then a
  // formula.
  b.byte(1).byte(1).byte(3).byte(0).dword(1).dword(0).word(0).number(5.0);
  b.byte(1).byte(2).byte(5).byte(0).dword(1).dword(0).word(0).text("later");
  b.byte(1).byte(3).byte(3).byte(0).dword(2).dword(0).word(0).text("=1+2").number(3.0);
  b.byte(1).byte(1).byte(3).byte(0).dword(2).dword(0).word(0).number(7.0);
  b.byte(1).byte(1).byte(3).byte(0).dword(3).dword(0).word(0).number(9.0);
  b.byte(1).byte(3).byte(3).byte(0).dword(3).dword(0).word(0).text("=4*5").number(20.0);
  b.byte(0);
  CGXFormulaSheet s;
  Load(s, b.b);
  CString t;
  s.GetValueText(1, 1, t);
  EXPECT_EQ(t, "later");
  s.GetValueText(2, 1, t);
  EXPECT_EQ(t, "7");
  ASSERT_NE(s.FindCell(2, 1), nullptr);
  EXPECT_NE(s.FindCell(2, 1)->kind(), GX_KIND_FORMULA);
  s.GetValueText(3, 1, t);
  EXPECT_EQ(t, "20");
  ASSERT_NE(s.FindCell(3, 1), nullptr);
  EXPECT_EQ(s.FindCell(3, 1)->kind(), GX_KIND_FORMULA);
  // Stored again, each cell is one record.
  CGXFormulaSheet again;
  Load(again, Store(s));
  again.GetValueText(1, 1, t);
  EXPECT_EQ(t, "later");
  again.GetValueText(2, 1, t);
  EXPECT_EQ(t, "7");
  again.GetValueText(3, 1, t);
  EXPECT_EQ(t, "20");
  EXPECT_EQ(Store(again), Store(s));
}

TEST_F(SheetTest, AParameterCopyKeepsTheFormulaSheet) {
  CGXGridWnd* g = MakeSheetGrid(6, 4);
  sheet->SetValueText(1, 1, "3");
  sheet->SetValueText(2, 1, "=A1*A1");
  sheet->SetRangeName("base", CGXRange(1, 1), nullptr);
  CGXGridParam copy;
  copy = *g->GetParam();
  auto* other = dynamic_cast<CGXFormulaSheet*>(copy.GetData());
  ASSERT_NE(other, nullptr);
  ASSERT_NE(other, sheet);
  CString t;
  other->GetValueText(2, 1, t);
  EXPECT_EQ(t, "9");
  other->GetExpressionText(2, 1, t);
  EXPECT_EQ(t, "=A1*A1");
  CGXRange r;
  EXPECT_TRUE(other->GetRangeName("base", r));
  // The copy is its own: a change there leaves the original alone, and dependants there recalculate.
  other->SetValueText(1, 1, "4");
  other->SetRangeChanged(CGXRange(1, 1));
  other->Recalc(FALSE);
  other->GetValueText(2, 1, t);
  EXPECT_EQ(t, "16");
  EXPECT_EQ(Value(2, 1), "9");
}

TEST_F(SheetTest, AssigningAPlainStoreMovesItsCellsIntoTheEngine) {
  CGXData plain;
  plain.StoreRowCount(3);
  plain.StoreColCount(3);
  CGXStyle s;
  plain.StoreStyle(1, 1, &s.SetValue("5"), gxOverride, 0);
  plain.StoreStyle(2, 1, &s.SetValue("=A1+1"), gxOverride, 0);
  CGXStyle styled;
  styled.SetInteriorColor(RGB(1, 2, 3));
  plain.StoreStyle(3, 3, &styled, gxOverride, 0);
  plain.StoreStyle(2, 0, &s.SetValue("row"), gxOverride, 0);
  CGXFormulaSheet f;
  f = plain;
  CString t;
  f.GetValueText(2, 1, t);
  EXPECT_EQ(t, "6");
  ASSERT_NE(f.FindCell(3, 3), nullptr);
  EXPECT_NE(f.FindCell(3, 3)->style, nullptr);
  // Only the header column stays in the base's rows.
  EXPECT_EQ(f.GetCells().GetSize(), 3);
  ASSERT_NE(f.GetCells().GetAt(2), nullptr);
  EXPECT_EQ(f.GetCells().GetAt(2)->GetSize(), 1);
  EXPECT_EQ(f.GetCells().GetAt(1), nullptr);
  CGXStyle header;
  EXPECT_TRUE(f.GetStyle(2, 0, header, gxCopy, 0));
  EXPECT_EQ(header.GetValue(), "row");
}

}  // namespace
