// Pastes into the gallery's formatted-input cells with Ctrl+V, headless: a text the cell cannot take whole
// is refused whole and the cell keeps its value; nothing is made up from a part of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/tests/gxwindowtest.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/demo/tests/galleryshots.h"
#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/CGXMaskControl.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

using gallerypage::In;
using gallerypage::Key;

constexpr ROWCOL kLive = 3;

class GalleryPaste : public gallerypage::InputTest {
 protected:
  void SetUp() override {
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
    InputTest::SetUp();
  }
  // Ctrl+V of a desktop text on a cell, current but not edited, or edited with all of its text selected (then
  // stored with Return); the cell's value after it. The messages shown meanwhile are in plat::ShownLog().
  std::string Paste(ROWCOL row, ROWCOL col, const char* text, bool edited = false) {
    CGXGridWnd* g = opened.grid;
    ::SetFocus(g->GridHwnd());
    EXPECT_TRUE(g->MoveCurrentCellTo(row, col, GX_UPDATENOW));
    plat::RunUntilIdle();
    plat::ClearShownLog();
    if (edited) {
      Key(VK_END);
      In().KeyDown(VK_SHIFT);
      Key(VK_HOME);
      In().KeyUp(VK_SHIFT);
    }
    EXPECT_EQ(g->ControlOfCurrentCell()->GetEditingState() != FALSE, edited);
    gxtest::PutClipboardText(text);
    Key('V', true);
    if (edited) Key(VK_RETURN);
    return std::string(g->GetCellValue(row, col));
  }
  // The one message shown since the paste is the grid's refusal of a pasted text.
  static bool ShowedPasteRefusal() {
    const auto& log = plat::ShownLog();
    return log.size() == 1 && log[0].request.text.rfind("A pasted text is not a value its cell takes", 0) == 0;
  }
};

// The short date's live cell (6/15/2024 12:00) edited, a date that does not exist pasted and Return: the cell
// held 2/15/2024 (the month taken, the day and the year dropped); after 7/4/2025 it gave 2/4/2025.
TEST_F(GalleryPaste, ADateThatDoesNotExistIsRefusedWhole) {
  CGXGridWnd* g = Open("datetime");
  ASSERT_NE(g, nullptr);
  auto paste = [&](const char* text) {
    Click(1, kLive);
    gxtest::PutClipboardText(text);
    Key('V', true);
    Key(VK_RETURN);
    return std::string(g->GetCellValue(1, kLive));
  };
  EXPECT_EQ(paste("2/30/2024"), "45458.5");
  EXPECT_EQ(paste("13/45/2024"), "45458.5");
  EXPECT_EQ(paste("7/4/2025"), "45842");
  EXPECT_EQ(paste("2/30/2024"), "45842");
  // Fields as a list: taken whole, or not at all when a field refuses its token or a token is left over.
  EXPECT_EQ(paste("2 30 2024"), "45842");
  EXPECT_EQ(paste("2 28 2024 5"), "45842");
  EXPECT_EQ(paste("2 29 2024"), "45351");
}

// The rich edit page's "Grows while typing" cell edited and 139,999 characters pasted: the window's default
// limit took about 65,000 and the rest was lost once the cell stored. Without a maximum length all of it goes
// in; with one, a longer paste is refused whole with a message and the cell keeps its text.
TEST_F(GalleryPaste, ALongPasteIntoAnEditedRichEditCellGoesInWholeOrNotAtAll) {
  constexpr ROWCOL kGrowRow = 7;
  CGXGridWnd* g = Open("richedit");
  ASSERT_NE(g, nullptr);
  auto* rich = dynamic_cast<CGXRichEditCtrl*>(g->ControlForId(GX_IDS_CTRL_RICHEDIT));
  ASSERT_NE(rich, nullptr);
  auto plain = [&] {
    CString text;
    CGXStyle style;
    g->ComposeCellStyle(kGrowRow, 1, style, TRUE);
    rich->GetDisplayText(text, kGrowRow, 1, nullptr, style);
    return std::string(text);
  };
  auto pasteAndStore = [&](const std::string& text) {
    Click(kGrowRow, 1);
    EXPECT_TRUE(rich->GetEditingState());
    Key(VK_END, true);  // the caret after the text
    gxtest::PutClipboardText(text.c_str());
    Key('V', true);
    g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
    plat::RunUntilIdle();
  };
  const std::string longText(139999, 'x');
  pasteAndStore(longText);
  EXPECT_EQ(plain(), "Type here" + longText);
  EXPECT_TRUE(plat::ShownLog().empty());

  g->SetStyleRange(CGXRange(kGrowRow, 1), CGXStyle().SetValue("{\\rtf1 Type here}").SetMaxLength(100));
  pasteAndStore(std::string(92, 'y'));
  EXPECT_EQ(plain(), "Type here");
  EXPECT_EQ(plat::ShownLog().size(), 1u);
  pasteAndStore(std::string(91, 'y'));
  EXPECT_EQ(plain(), "Type here" + std::string(91, 'y'));
  EXPECT_EQ(plat::ShownLog().size(), 1u);
}

// The mask page's live postal code (#####-####, holding 12345) current but not edited, and "abcde" pasted:
// the mask takes none of it, and the cell was emptied. It keeps its value; a text the mask takes still goes in.
TEST_F(GalleryPaste, APasteTheMaskRefusesLeavesACellNotEditedAsItWas) {
  CGXGridWnd* g = Open("mask");
  ASSERT_NE(g, nullptr);
  auto* mask = dynamic_cast<CGXMaskControl*>(g->ControlForId(GX_IDS_CTRL_MASKEDIT));
  ASSERT_NE(mask, nullptr);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, kLive, GX_UPDATENOW));
  ::SetFocus(g->GridHwnd());
  plat::RunUntilIdle();
  ASSERT_FALSE(mask->GetEditingState());
  gxtest::PutClipboardText("abcde");
  Key('V', true);
  EXPECT_EQ(std::string(g->GetCellValue(2, kLive)), "12345");
  ASSERT_FALSE(mask->GetEditingState());
  gxtest::PutClipboardText("98765-4321");
  Key('V', true);
  EXPECT_EQ(std::string(g->GetCellValue(2, kLive)), "987654321");
}

// Ctrl+V on a masked cell not being edited stored what the mask took of a text its editor refuses:
// "555-987-6543" on (555) 123-4567 gave "(555) ___-____", eleven digits lost the last one, "1234567890" on
// #####-#### became 12345-6789, "1/2/2024" on the prompt-* date gave "1*/**/****". Each is refused whole, as
// the edited cell refuses it, and the cell keeps its value; a text the editor takes still goes in.
TEST_F(GalleryPaste, AMaskedCellNotEditedRefusesWhatItsEditorRefuses) {
  CGXGridWnd* g = Open("mask");
  ASSERT_NE(g, nullptr);
  auto paste = [&](ROWCOL row, const char* text, bool edited) { return Paste(row, kLive, text, edited); };
  for (const bool edited : {true, false}) {
    SCOPED_TRACE(edited ? "edited" : "not edited");
    EXPECT_EQ(paste(1, "555-987-6543", edited), "5551234567");
    EXPECT_EQ(paste(1, "55598765432", edited), "5551234567");
    EXPECT_EQ(paste(2, "1234567890", edited), "12345");
    EXPECT_EQ(paste(2, "9876-54321", edited), "12345");
    EXPECT_EQ(paste(4, "1/2/2024", edited), "0107");
  }
  galleryshots::ExpectDesktopMatches("mask-paste-refused");
  EXPECT_EQ(paste(1, "(555) 987-6543", false), "5559876543");
  EXPECT_EQ(paste(1, "2223334444", false), "2223334444");
  EXPECT_EQ(paste(4, "01/02/2024", false), "01022024");
  EXPECT_EQ(paste(5, "notes 2", false), "notes 2");
  EXPECT_EQ(paste(5, "too long a note", false), "notes 2");
}

// Ctrl+V on the currency cell "Dollars, grouped" not being edited stored $12,345,678,901,234,568.00 for
// "12345678901234567": a double does not hold more than 15 significant digits. Its editor refuses such an
// amount; the cell paste refuses it too, and the cell keeps its value.
TEST_F(GalleryPaste, ACurrencyCellRefusesAPastedAmountOfMoreThanFifteenDigits) {
  CGXGridWnd* g = Open("currency");
  ASSERT_NE(g, nullptr);
  auto paste = [&](const char* text) {
    ::SetFocus(g->GridHwnd());
    EXPECT_TRUE(g->MoveCurrentCellTo(1, kLive, GX_UPDATENOW));
    plat::RunUntilIdle();
    gxtest::PutClipboardText(text);
    Key('V', true);
    return std::string(g->GetCellValue(1, kLive));
  };
  EXPECT_EQ(paste("12345678901234567"), "1234.5");
  EXPECT_EQ(paste("99999999999999999999999"), "1234.5");
  EXPECT_EQ(paste("1234567890123.45"), "1234567890123.45");
}

// A currency cell read a pasted text's last run of digits and dropped the rest: "6/15/2024" stored $2,024.00,
// "1e400" $400.00. A text that is more than an amount in the cell's format is refused; a shown amount is not.
TEST_F(GalleryPaste, ACurrencyCellRefusesATextThatIsMoreThanAnAmount) {
  CGXGridWnd* g = Open("currency");
  ASSERT_NE(g, nullptr);
  const char* const cases[][2] = {{"6/15/2024", "1234.5"}, {"1e400", "1234.5"}, {"12 34", "1234.5"},
                                  {"$1,234.50", "1234.50"}, {"(5)", "-5.00"}, {" -$7.25 ", "-7.25"}};
  for (const auto& [text, stored] : cases) {
    ::SetFocus(g->GridHwnd());
    EXPECT_TRUE(g->MoveCurrentCellTo(1, kLive, GX_UPDATENOW));
    g->SetCellValue(1, kLive, "1234.5", GX_UPDATENOW);
    gxtest::PutClipboardText(text);
    Key('V', true);
    EXPECT_EQ(std::string(g->GetCellValue(1, kLive)), stored) << text;
  }
}

// Ctrl+V of a text that is no choice on the drop-down page's text-fit and line-index cells emptied them
// without a word, and a block whose second field a cell refused kept its first field pasted. A block goes in
// whole or not at all, and a refusal says so.
TEST_F(GalleryPaste, APasteThatACellRefusesChangesNoCellAndSaysSo) {
  CGXGridWnd* g = Open("dropdowns");
  ASSERT_NE(g, nullptr);
  auto paste = [&](ROWCOL row, const char* text) {
    Paste(row, 1, text);
    return plat::ShownLog().size();
  };
  const char* const refused[][2] = {{"2", "Cyan"}, {"5", "  padded  "}, {"6", "7"}, {"1", "Red\r\nno colour"}};
  for (const auto& [row, text] : refused) {
    SCOPED_TRACE(text);
    EXPECT_EQ(paste(static_cast<ROWCOL>(std::atoi(row)), text), 1u);
    EXPECT_EQ(std::string(g->GetCellValue(1, 1)) + "," + std::string(g->GetCellValue(2, 1)) + "," +
                  std::string(g->GetCellValue(5, 1)) + "," + std::string(g->GetCellValue(6, 1)),
              "Green,Blue,3,0");
  }
  galleryshots::ExpectDesktopMatches("dropdowns-paste-refused");
  EXPECT_EQ(paste(1, "Red\r\nred"), 0u);
  EXPECT_EQ(std::string(g->GetCellValue(1, 1)) + "," + std::string(g->GetCellValue(2, 1)), "Red,Red");
}

// Ctrl+V of a text of blanks (or prompts) on the mask page's live (###) ###-#### cell not being edited emptied
// it without a word. A mask's text that puts no character in is refused, with the paste's message on a cell
// not being edited, with a beep in the editor; an empty text still empties a cell (the postal code, whose
// mask begins with an input position), pasted in the editor, on the cell (an empty cell's text) or as an
// empty field of a block, or deleted.
TEST_F(GalleryPaste, AMaskedCellRefusesAPasteOfBlanks) {
  CGXGridWnd* g = Open("mask");
  ASSERT_NE(g, nullptr);
  for (const bool edited : {false, true})
    for (const char* text : {"   ", " ", "___", "(   )    -    "}) {
      SCOPED_TRACE(std::string(edited ? "edited: '" : "not edited: '") + text + "'");
      EXPECT_EQ(Paste(1, kLive, text, edited), "5551234567");
      EXPECT_EQ(ShowedPasteRefusal(), !edited);
    }
  galleryshots::ExpectDesktopMatches("mask-blanks-refused");
  EXPECT_EQ(Paste(2, kLive, "", true), "");
  EXPECT_EQ(Paste(2, kLive, "98765", false), "98765");
  Key(VK_DELETE);
  Key(VK_RETURN);
  EXPECT_EQ(std::string(g->GetCellValue(2, kLive)), "");
  EXPECT_EQ(Paste(2, kLive, "98765", false), "98765");
  EXPECT_EQ(Paste(2, kLive, "\r\n", false), "");  // one empty cell, as a spreadsheet copies it
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_EQ(Paste(2, kLive, "98765", false), "98765");
  EXPECT_EQ(Paste(1, kLive, "2223334444\r\n\r\nCD5678", false), "2223334444");
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_EQ(std::string(g->GetCellValue(2, kLive)) + "," + std::string(g->GetCellValue(3, kLive)), ",CD5678");
}

// Ctrl+V of "hello" on the drop-down page's check list (Red and Blue ticked) stored it without a word, and
// the list showed no tick; so did "8", a tick of a fourth item the list does not have. A text that is no
// tick mask of the cell's items is refused with the paste's message and the ticks stay (the list opened
// after the refusals shows them); a mask goes in, in its stored form. The items are those of the cell's
// list as it is when the text is pasted.
TEST_F(GalleryPaste, ACheckListRefusesAPastedTextThatIsNoTickMask) {
  constexpr ROWCOL kCheckRow = 13;
  CGXGridWnd* g = Open("dropdowns");
  ASSERT_NE(g, nullptr);
  for (const char* text : {"hello", "Red,Blue", "Red", "-1", "5x", "4294967296", "8", "15", "4294967295"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Paste(kCheckRow, 1, text), "5");
    EXPECT_TRUE(ShowedPasteRefusal());
  }
  In().KeyDown(VK_MENU);
  Key(VK_DOWN);
  In().KeyUp(VK_MENU);
  plat::RunUntilIdle();
  galleryshots::ExpectDesktopMatches("dropdowns-checklist-paste-refused");
  Key(VK_ESCAPE);
  EXPECT_EQ(Paste(kCheckRow, 1, "06"), "6");
  EXPECT_EQ(Paste(kCheckRow, 1, "0"), "");
  EXPECT_EQ(Paste(kCheckRow, 1, "7"), "7");
  EXPECT_TRUE(plat::ShownLog().empty());
  g->SetStyleRange(CGXRange(kCheckRow, 1), CGXStyle().SetChoiceList("Colours\nRed\nGreen\nBlue\nBlack"));
  EXPECT_EQ(Paste(kCheckRow, 1, "8"), "8");
  EXPECT_EQ(Paste(kCheckRow, 1, "16"), "8");
  In().KeyDown(VK_MENU);
  Key(VK_DOWN);
  In().KeyUp(VK_MENU);
  plat::RunUntilIdle();
  auto* list = dynamic_cast<CGXCheckListComboBox*>(g->ControlOfCurrentCell());
  auto* checks = dynamic_cast<CCheckListBox*>(list ? list->GetListBox() : nullptr);
  ASSERT_NE(checks, nullptr);
  EXPECT_EQ(checks->GetCount(), 4);
  EXPECT_EQ(checks->GetCheck(0) + checks->GetCheck(1) + checks->GetCheck(2) + 2 * checks->GetCheck(3), 2);
  Key(VK_ESCAPE);
}

// The edit page's live list box (holding Cyan) took a pasted Purple, which is none of its lines, without a word,
// current or open, where the drop-down list above it (holding Blue) refuses the same paste with its box. Both
// refuse it with the paste's message and keep their values; a line named in another case goes in as the line.
TEST_F(GalleryPaste, TheEditPagesListsTakeOnlyTheirLinesFromAPaste) {
  constexpr ROWCOL kDropList = 7, kList = 8, kEditLive = 6;
  CGXGridWnd* g = Open("edit");
  ASSERT_NE(g, nullptr);
  auto paste = [&](ROWCOL row, const char* text, bool open) {
    ::SetFocus(g->GridHwnd());
    EXPECT_TRUE(g->MoveCurrentCellTo(row, kEditLive, GX_UPDATENOW));
    plat::RunUntilIdle();
    if (open) g->ControlOfCurrentCell()->SetEditingState(TRUE);
    plat::ClearShownLog();
    gxtest::PutClipboardText(text);
    Key('V', true);
    if (open) Key(VK_RETURN);
    return std::string(g->GetCellValue(row, kEditLive));
  };
  for (const bool open : {false, true}) {
    SCOPED_TRACE(open ? "open" : "current");
    for (const auto& [row, kept] : {std::pair{kDropList, "Blue"}, std::pair{kList, "Cyan"}}) {
      EXPECT_EQ(paste(row, "Purple", open), kept) << row;
      EXPECT_TRUE(ShowedPasteRefusal()) << row;
      EXPECT_EQ(paste(row, "magenta", open), "Magenta") << row;
      EXPECT_TRUE(plat::ShownLog().empty()) << row;
      g->SetCellValue(row, kEditLive, kept);
    }
  }
}

// The date-time page's "2024 only" cell (15 Jun 2024) stored a pasted date outside 2024 without a word, on the
// cell and in its editor, where the year 2025 typed is refused. Such a date is refused and the cell keeps its
// date: with the paste's message on the cell not being edited, with a beep in the editor.
TEST_F(GalleryPaste, ADateOutsideItsCellsBoundsIsRefused) {
  constexpr ROWCOL k2024Row = 6;
  CGXGridWnd* g = Open("datetime");
  ASSERT_NE(g, nullptr);
  for (const bool edited : {false, true})
    for (const char* text : {"1/1/2025", "12/31/2023", "45000", "46000", "1 1 2025"}) {
      SCOPED_TRACE(std::string(edited ? "edited: " : "not edited: ") + text);
      EXPECT_EQ(Paste(k2024Row, kLive, text, edited), "45458");
      EXPECT_EQ(ShowedPasteRefusal(), !edited);
    }
  galleryshots::ExpectDesktopMatches("datetime-paste-refused");
  EXPECT_EQ(Paste(k2024Row, kLive, "12/31/2024", false), "45657");
  EXPECT_EQ(Paste(k2024Row, kLive, "45292", true), "45292");
}

// A cut copies its whole block and clears only the cells that may be cleared: on the edit page the block from
// row 1's inactive cell to row 2's right-aligned cell lost its read-only cells' "Some text" and "12" too, and on
// the windowless page the current check box "On" disappeared under Ctrl+X and Shift+Delete. Ctrl+Z gives back
// exactly what was cleared.
TEST_F(GalleryPaste, ACutCopiesItsBlockAndClearsOnlyWhatMayBeCleared) {
  using Cell = std::pair<ROWCOL, ROWCOL>;
  const struct Case {
    const char* page;
    CGXRange block;  // selected when it is more than the current cell, its top left
    bool shiftDelete;
    std::vector<Cell> kept;
  } cases[] = {
      {"edit", CGXRange(1, 1, 2, 3), false, {{1, 2}, {2, 2}}},
      {"edit", CGXRange(1, 1, 2, 3), true, {{1, 2}, {2, 2}}},
      {"windowless", CGXRange(1, 2), false, {{1, 2}}},
      {"windowless", CGXRange(1, 2), true, {{1, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.page) + (c.shiftDelete ? " Shift+Delete" : " Ctrl+X"));
    if (opened.main) DestroyWindow(opened.main);
    CGXGridWnd* g = Open(c.page);
    ASSERT_NE(g, nullptr);
    ::SetFocus(g->GridHwnd());
    ASSERT_TRUE(g->MoveCurrentCellTo(c.block.top, c.block.left, GX_UPDATENOW));
    if (c.block.bottom > c.block.top || c.block.right > c.block.left)
      g->GetParam()->GetSelection().AddTail(new CGXRange(c.block));
    plat::RunUntilIdle();
    std::vector<std::pair<Cell, std::string>> before;
    for (ROWCOL r = c.block.top; r <= c.block.bottom; ++r)
      for (ROWCOL col = c.block.left; col <= c.block.right; ++col)
        before.push_back({{r, col}, std::string(g->GetCellValue(r, col))});
    if (c.shiftDelete) {
      In().KeyDown(VK_SHIFT);
      Key(VK_DELETE);
      In().KeyUp(VK_SHIFT);
    } else {
      Key('X', true);
    }
    const std::string copied = gxtest::ClipboardText();
    for (const auto& [cell, value] : before) {
      const bool kept = std::find(c.kept.begin(), c.kept.end(), cell) != c.kept.end();
      EXPECT_FALSE(value.empty());
      EXPECT_EQ(std::string(g->GetCellValue(cell.first, cell.second)), kept ? value : "")
          << cell.first << "," << cell.second;
      EXPECT_NE(copied.find(value), std::string::npos) << copied;
    }
    Key('Z', true);
    for (const auto& [cell, value] : before)
      EXPECT_EQ(std::string(g->GetCellValue(cell.first, cell.second)), value) << cell.first << "," << cell.second;
  }
}

}  // namespace
