// The masked-edit cell end to end on the recording test grid: the caret over literals, full masks and
// wrong characters, insert and overwrite, Backspace and Delete, the two clipboard formats, empty values,
// validation and screenshots of an edited and an inactive cell.
#include <gtest/gtest.h>

#include <cstring>

#include "grid/extras/CGXMaskControl.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/base/GlobalMemory.h"
#include "platform/display/ReferenceImage.h"

namespace {

using namespace extrastest;

// A masked cell that records the characters it refused.
class RecordingMask : public CGXMaskControl {
 public:
  using CGXMaskControl::CGXMaskControl;
  void OnInvalidChar(const CString& ch) override { refused += ch; }
  CString refused;
};

class MaskCellTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    g = MakeRecordingGrid(6, 3, 420, 200);
    g->SetColWidth(1, 3, 130, nullptr, 0);
    control = new RecordingMask(g, GX_IDS_CTRL_MASKEDIT);
    g->AddCellControl(GX_IDS_CTRL_MASKEDIT, control, FALSE);
    g->RedrawAll(GX_INVALIDATE);
    Pump();
  }
  static CGXStyle Masked(const char* value, const char* mask = "(###) ###-####") {
    CGXStyle s;
    s.SetControl(GX_IDS_CTRL_MASKEDIT).SetValue(value).SetUserAttribute(GX_IDS_UA_INPUTMASK, mask);
    return s;
  }
  void Edit(ROWCOL row, ROWCOL col) {
    g->MoveCurrentCellTo(row, col);
    Pump();
    Key(VK_HOME);
  }
  CString Text() {
    CString t;
    control->GetWindowText(t);
    return t;
  }
  static CString ClipboardFormat(UINT format) {
    CString text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(format)) {
      const char* p = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data)));
      const SIZE_T size = GlobalSize(static_cast<HGLOBAL>(data));
      text = CString(p, static_cast<int>(size));  // with the zero byte, to check it is there
      GlobalUnlock(static_cast<HGLOBAL>(data));
    }
    CloseClipboard();
    return text;
  }
  enginetest::RecordingGrid* g = nullptr;
  RecordingMask* control = nullptr;
};

TEST_F(MaskCellTest, TypingMovesTheCaretOverLiteralsAndStoresTheInputCharacters) {
  SetCell(g, 1, 1, Masked(""));
  Edit(1, 1);
  EXPECT_EQ(Text(), "(___) ___-____");
  EXPECT_EQ(control->CaretPos(), 1);
  Type("12");
  EXPECT_EQ(Text(), "(12_) ___-____");
  EXPECT_EQ(control->CaretPos(), 3);
  Key(VK_RIGHT);
  EXPECT_EQ(control->CaretPos(), 6);
  Key(VK_LEFT);
  EXPECT_EQ(control->CaretPos(), 3);
  Type("3456789012");  // fills up; the last digit finds no room
  EXPECT_EQ(Text(), "(123) 456-7890");
  EXPECT_TRUE(plat::RecordedBeeps().size() >= 1u);
  Type("x");
  Key(VK_HOME);
  Type("9");  // insert mode into a full mask: nothing changes
  EXPECT_EQ(Text(), "(123) 456-7890");
  Key(VK_INSERT);  // overwrite
  EXPECT_FALSE(control->GetInsertMode());
  Type("9a");
  EXPECT_EQ(Text(), "(923) 456-7890");
  EXPECT_EQ(control->refused, "a");  // a wrong-class character reaches the hook
  Key(VK_RETURN);
  EXPECT_EQ(g->GetCellValue(1, 1), "9234567890");
  // Inactive, the value shows through the mask.
  CString shown;
  control->GetDisplayText(shown, 1, 1, nullptr, Masked("9234567890"));
  EXPECT_EQ(shown, "(923) 456-7890");
}

TEST_F(MaskCellTest, BackspaceAndDeleteShiftTheRest) {
  SetCell(g, 1, 1, Masked("1234567890"));
  Edit(1, 1);
  Key(VK_RIGHT);
  Key(VK_RIGHT);  // caret before the 3 (position 3)
  Key(VK_BACK);   // the 2 goes
  EXPECT_EQ(Text(), "(134) 567-890_");
  EXPECT_EQ(control->CaretPos(), 2);
  Key(VK_DELETE);  // the 3 goes
  EXPECT_EQ(Text(), "(145) 678-90__");
  // A selection goes with Delete; the caret goes to its first input position.
  control->SetSel(1, 5);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "(678) 90_-____");
  Key(VK_ESCAPE);
  EXPECT_EQ(g->GetCellValue(1, 1), "1234567890");  // Escape keeps the stored value
  // Typed into a current cell that is not edited: the mask starts over with the character.
  g->MoveCurrentCellTo(2, 1);
  Pump();
  g->MoveCurrentCellTo(1, 1);
  Pump();
  Type("5");
  EXPECT_TRUE(control->GetEditingState());
  EXPECT_EQ(Text(), "(5__) ___-____");
  EXPECT_EQ(control->CaretPos(), 2);
  EXPECT_FALSE(control->ValidateValue() == FALSE);  // an unfilled mask is valid
}

// A mask that starts with an input position: Home puts the caret at 0, an empty selection there, so what is
// typed, deleted or pasted acts at the caret and the rest of the text stays.
TEST_F(MaskCellTest, TypingDeletingAndPastingAtTheFirstPositionActAtTheCaret) {
  SetCell(g, 1, 1, Masked("12345", "###-####"));
  Edit(1, 1);
  EXPECT_EQ(Text(), "123-45__");
  ASSERT_EQ(control->CaretPos(), 0);
  Type("9");
  EXPECT_EQ(Text(), "912-345_");
  EXPECT_EQ(control->CaretPos(), 1);
  Key(VK_HOME);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "123-45__");
  EXPECT_EQ(control->CaretPos(), 0);
  Key(VK_INSERT);  // overwrite: the first character only
  Type("7");
  EXPECT_EQ(Text(), "723-45__");
  Key(VK_INSERT);
  Key(VK_HOME);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(h), "68", 3);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  EXPECT_TRUE(control->PasteFromClipboard());
  EXPECT_EQ(Text(), "687-2345");
  Key(VK_RETURN);
  EXPECT_EQ(g->GetCellValue(1, 1), "6872345");
}

TEST_F(MaskCellTest, CopyPutsBothFormatsAndEitherPastes) {
  SetCell(g, 1, 1, Masked("5551234567"));
  SetCell(g, 2, 1, Masked(""));
  Edit(1, 1);
  // Nothing selected: Ctrl+C leaves the clipboard alone.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(control->CopyToClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  control->SetSel(0, -1);
  EXPECT_TRUE(control->CopyToClipboard());
  const CString masked = ClipboardFormat(CGXMaskControl::MaskDataFormat());
  ASSERT_EQ(masked.GetLength(), 11);
  EXPECT_EQ(std::memcmp(masked.GetString(), "5551234567\0", 11), 0);
  EXPECT_EQ(CString(ClipboardFormat(CF_TEXT).GetString()), "(555) 123-4567");
  // The mask data pastes into another cell.
  Edit(2, 1);
  EXPECT_TRUE(control->CanPasteFromClipboard());
  EXPECT_TRUE(control->PasteFromClipboard());
  EXPECT_EQ(Text(), "(555) 123-4567");
  // Plain text pastes too: shown text with literals, or the raw characters.
  control->SetSel(0, -1);
  Key(VK_DELETE);
  control->SetSel(0, -1);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 9);
  std::memcpy(GlobalLock(h), "(987) 65", 9);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  EXPECT_TRUE(control->PasteFromClipboard());
  EXPECT_EQ(Text(), "(987) 65_-____");
  CString raw = "4441112222";
  EXPECT_TRUE(control->ConvertTextForCell(raw, 2, 1, Masked("")));
  EXPECT_EQ(raw, "4441112222");
  CString shown = "(444) 111-2222";
  EXPECT_TRUE(control->ConvertTextForCell(shown, 2, 1, Masked("")));
  EXPECT_EQ(shown, "4441112222");
}

TEST_F(MaskCellTest, EmptyValuesInvalidTextsAndScreenshots) {
  SetCell(g, 1, 1, Masked("5551234567"));
  SetCell(g, 2, 1, Masked(""));
  SetCell(g, 3, 1, Masked("ab", "UU-##"));
  CString shown = "x";
  EXPECT_TRUE(control->GetDisplayText(shown, 2, 1, nullptr, Masked("")));
  EXPECT_EQ(shown, "");
  control->SetShowEmptyMask(TRUE);
  EXPECT_TRUE(control->GetDisplayText(shown, 2, 1, nullptr, Masked("")));
  EXPECT_EQ(shown, "(___) ___-____");
  control->SetShowEmptyMask(FALSE);
  // A text the mask refuses does not validate.
  Edit(3, 1);
  EXPECT_EQ(Text(), "AB-__");
  control->EditData()->SetMask("##-##");  // the data kept under another mask: letters where digits go
  EXPECT_FALSE(control->EditData()->IsValid());
  EXPECT_FALSE(control->ValidateValue());
  control->EditData()->SetMask("UU-##");
  control->SetEditText("CD-12");
  EXPECT_TRUE(control->ValidateValue());
  Key(VK_RETURN);
  EXPECT_EQ(g->GetCellValue(3, 1), "CD12");

  Edit(1, 1);
  Key(VK_END);
  auto shot = enginetest::Shot(g->GridHwnd());
  ASSERT_TRUE(shot);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*shot, "grid/extras/tests/reference/mask-cells.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

TEST_F(MaskCellTest, APasteIntoACellTakesThatCellsMaskNotTheOneLastShown) {
  SetCell(g, 1, 1, Masked("5551234567"));
  SetCell(g, 2, 1, Masked("", "UU-##"));
  // The phone cell shown last, then a paste into the letters cell: its own mask upper-cases the letters.
  CString shown;
  ASSERT_TRUE(control->GetDisplayText(shown, 1, 1, nullptr, Masked("5551234567")));
  EXPECT_EQ(shown, "(555) 123-4567");
  CString pasted = "ab12";
  EXPECT_TRUE(control->ConvertTextForCell(pasted, 2, 1, Masked("", "UU-##")));
  EXPECT_EQ(pasted, "AB12");
  // And back: the phone mask again, where letters do not fit.
  CString digits = "(444) 111-2222";
  EXPECT_TRUE(control->ConvertTextForCell(digits, 1, 1, Masked("")));
  EXPECT_EQ(digits, "4441112222");
  // Letters the phone mask takes none of are refused and stay as they were: never "AB" through the other
  // cell's mask, nor an empty value.
  CString letters = "ab";
  EXPECT_FALSE(control->ConvertTextForCell(letters, 1, 1, Masked("")));
  EXPECT_EQ(letters, "ab");
}

}  // namespace
