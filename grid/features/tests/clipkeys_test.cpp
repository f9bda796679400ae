// The clipboard keys in a focused grid window: each key of copy, cut and paste, a paste into the edit
// control of a cell being edited (whole, or refused with a message when the cell takes less, also before
// the editor is first drawn), and undo after a paste.
#include <functional>
#include <iterator>

#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/features/tests/cliptest.h"
#include "platform/display/ReferenceImage.h"

namespace {

using cliptest::ClipTest;
using cliptest::PutBytes;
using cliptest::Text;

class ClipKeysTest : public ClipTest {
 protected:
  CGXGridWnd* MakeFocused() {
    CGXGridWnd* g = Make(5, 3, 0x0008);
    g->SetCellValue(1, 1, "one");
    g->SetCellValue(2, 1, "two");
    ClearUndo(g);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
    Pump();
    return g;
  }
  static void Move(CGXGridCore* g, ROWCOL r, ROWCOL c) {
    EXPECT_TRUE(g->MoveCurrentCellTo(r, c, GX_UPDATENOW));
    Pump();
  }
};

TEST_F(ClipKeysTest, EveryCopyCutAndPasteKeyReachesTheClipboard) {
  CGXGridWnd* g = MakeFocused();
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(Text(), "one");
  Move(g, 3, 2);
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Value(g, 3, 2), "one");

  Move(g, 2, 1);
  Chord(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(Text(), "two");
  Move(g, 3, 3);
  Chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(Value(g, 3, 3), "two");

  Move(g, 1, 1);
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(Text(), "one");
  EXPECT_EQ(Value(g, 1, 1), "");
  Move(g, 2, 1);
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(Text(), "two");
  EXPECT_EQ(Value(g, 2, 1), "");
}

TEST_F(ClipKeysTest, APasteWhileACellIsEditedGoesIntoItsEditControl) {
  CGXGridWnd* g = MakeFocused();
  PutBytes(CF_TEXT, std::string("ins\0", 4));
  plat::InputRouter::Instance().TypeText("ab");
  Pump();
  ASSERT_TRUE(g->CurrentCellIsActive());
  Chord(VK_CONTROL, 'V');
  // The text went into the editor, not into the cells: the grid did not grow and no cell changed yet.
  EXPECT_EQ(Value(g, 1, 1), "one");
  plat::InputRouter::Instance().KeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(Value(g, 1, 1), "abins");
}

// The editor's text of the current cell.
std::string Edited(CGXGridCore* g) {
  CString text;
  CGXControl* control = g->ControlOfCurrentCell();
  if (!control || !control->GetEditedValue(text)) return "<none>";
  return std::string(text);
}

TEST_F(ClipKeysTest, APasteLongerThanTheEditedCellTakesIsRefusedWholeWithAMessageOnEveryRoute) {
  CGXGridWnd* g = MakeFocused();
  CGXStyle six;
  six.SetMaxLength(6);
  g->SetStyleRange(CGXRange(1, 1), six);
  const std::string refused = "The pasted text does not fit: the cell would hold 7 characters, and it takes at most 6. "
                              "Nothing was pasted.";
  auto& in = plat::InputRouter::Instance();
  // The keys in the editor, and the grid's paste command (a menu's) while the cell is edited.
  const std::function<void()> routes[] = {
      [] { Chord(VK_CONTROL, 'V'); },
      [] { Chord(VK_SHIFT, VK_INSERT); },
      [g] { EXPECT_FALSE(g->Paste()); },
  };
  for (size_t route = 0; route < std::size(routes); ++route) {
    Move(g, 1, 1);
    in.TypeText("ab");
    Pump();
    ASSERT_TRUE(g->CurrentCellIsActive());
    PutBytes(CF_TEXT, std::string("12345\0", 6));
    plat::ClearShownLog();
    routes[route]();
    Pump();
    ASSERT_EQ(plat::ShownLog().size(), 1u) << route;
    EXPECT_EQ(plat::ShownLog().back().request.text, refused) << route;
    // Still editing its own text; nothing reached the cells.
    EXPECT_TRUE(g->CurrentCellIsActive()) << route;
    EXPECT_EQ(Edited(g), "ab") << route;
    EXPECT_EQ(Values(g, 1, 1, 3, 1), "one|two|") << route;
    EXPECT_EQ(g->GetRowCount(), 5u) << route;
    in.KeyPress(VK_ESCAPE);
    Pump();
  }
  // A text that fits in place of the selection goes in whole, without a word.
  in.TypeText("ab");
  Pump();
  auto* edit = dynamic_cast<CGXEditControl*>(g->ControlOfCurrentCell());
  ASSERT_NE(edit, nullptr);
  edit->SetSel(0, -1);
  plat::ClearShownLog();
  Chord(VK_CONTROL, 'V');
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_EQ(Edited(g), "12345");
  in.KeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(Value(g, 1, 1), "12345");
}

// The same paste on the cell not being edited was stored cut to "123456": it is refused whole with the
// same message, and the cell keeps its value.
TEST_F(ClipKeysTest, APasteLongerThanACellNotEditedTakesIsRefusedWholeWithTheMessage) {
  CGXGridWnd* g = MakeFocused();
  CGXStyle six;
  six.SetMaxLength(6);
  g->SetStyleRange(CGXRange(1, 1), six);
  Move(g, 1, 1);
  PutBytes(CF_TEXT, std::string("1234567\0", 8));
  plat::ClearShownLog();
  EXPECT_FALSE(g->Paste());
  Pump();
  ASSERT_EQ(plat::ShownLog().size(), 1u);
  EXPECT_EQ(plat::ShownLog().back().request.text, "The pasted text does not fit: the cell would hold 7 characters, "
                                                  "and it takes at most 6. Nothing was pasted.");
  EXPECT_EQ(Values(g, 1, 1, 3, 1), "one|two|");
}

TEST_F(ClipKeysTest, APasteBeforeTheEditorIsFirstDrawnKeepsEveryLineAndMeetsItsOwnCellsLimit) {
  CGXGridWnd* g = MakeFocused();
  CGXStyle three;
  three.SetMaxLength(3);
  g->SetStyleRange(CGXRange(1, 1), three);
  // Lines longer together than the window's limit before any cell set one (30,000 characters), into the
  // grid's first edited cell, whose window was never shown yet.
  std::string big;
  for (int i = 0; i < 4000; ++i) big += "bbbbbbbbb\n";
  auto pasteRightAfterEditingStarts = [&](ROWCOL row, const std::string& text) {
    Move(g, row, 1);
    PutBytes(CF_TEXT, text + '\0');
    g->ControlOfCurrentCell()->SetEditingState(TRUE);  // as a command starts editing: no paint yet
    return g->Paste();
  };
  EXPECT_TRUE(pasteRightAfterEditingStarts(2, big));
  EXPECT_TRUE(Edited(g) == big) << Edited(g).size();  // in place of "two", selected as editing starts
  g->ControlOfCurrentCell()->SetEditingState(FALSE);
  // The cell limited to 3 characters, drawn while edited: its limit is the window's then.
  Move(g, 1, 1);
  plat::InputRouter::Instance().TypeText("x");
  Pump();
  plat::Desktop::PaintAll();
  plat::InputRouter::Instance().KeyPress(VK_ESCAPE);
  Pump();
  // The next cell has no limit: a paste right after its editing starts is not cut to the last one's.
  EXPECT_TRUE(pasteRightAfterEditingStarts(3, "0123456789"));
  EXPECT_EQ(Edited(g), "0123456789");
  g->ControlOfCurrentCell()->SetEditingState(FALSE);
  // And back in the limited cell, a longer paste is refused rather than taken whole.
  plat::ClearShownLog();
  EXPECT_FALSE(pasteRightAfterEditingStarts(1, "0123456789"));
  EXPECT_EQ(plat::ShownLog().size(), 1u);
  EXPECT_EQ(Value(g, 1, 1), "one");
}

TEST_F(ClipKeysTest, UndoAfterAPasteRestoresEveryCell) {
  CGXGridWnd* g = MakeFocused();
  const HWND h = g->GetSafeHwnd();
  auto shot = [&](const char* name) {
    plat::Desktop::PaintAll();
    auto image = plat::Desktop::Capture(h);
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, std::string("grid/features/tests/reference/") + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  };
  PutBytes(CF_TEXT, std::string("p\tq\r\nr\ts\r\nt\tu\r\n\0", 16));
  shot("clipboard-before-paste");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Values(g, 1, 1, 3, 2), "p,q|r,s|t,u");
  shot("clipboard-after-paste");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Values(g, 1, 1, 3, 2), "one,|two,|,");
  shot("clipboard-before-paste");
  Chord(VK_CONTROL, 'R');
  EXPECT_EQ(Values(g, 1, 1, 3, 2), "p,q|r,s|t,u");
}

}  // namespace

// A cell that does not wrap shows one line, and typing gives it no line break: a text pasted into its editor (Ctrl+V,
// Shift+Insert) or on the cell as a field (a line break reaches a field through the escapes flag) went in with
// its line breaks (a name "3V3_BULK3V3_BULK\r\n3V3_MID"). It takes the text up to its first line break, as a
// one-line edit does, and a tab or another control character left in that refuses the paste with a message; a
// cell that wraps takes the text whole.
TEST_F(ClipKeysTest, AOneLineCellTakesAPastedTextsFirstLineAndNoOtherControlCharacter) {
  CGXGridWnd* g = MakeFocused();
  g->m_nClipboardFlags = 0x0008 | 0x1000;
  const std::string refused = "A pasted text holds a control character (a tab or another character that cannot be "
                              "typed) that a one-line cell does not take: nothing was pasted.";
  auto& in = plat::InputRouter::Instance();
  struct Case {
    const char* way;
    bool edited;  // typed "ab" first, so the paste goes into the editor
    int modifier, key;
    bool wraps;
    const char* clipboard;
    const char* value;  // the cell's value once stored
    bool message;
  } cases[] = {
      {"editor Ctrl+V", true, VK_CONTROL, 'V', false, "3V3\r\nMID\r\n", "ab3V3", false},
      {"editor Shift+Insert", true, VK_SHIFT, VK_INSERT, false, "3V3\nMID", "ab3V3", false},
      {"editor, a tab", true, VK_CONTROL, 'V', false, "3V3\tMID", "ab", true},
      {"editor, a wrapped cell", true, VK_CONTROL, 'V', true, "3V3\r\nMID", "ab3V3\r\nMID", false},
      {"cell Ctrl+V, escaped line break", false, VK_CONTROL, 'V', false, "3V3\\r\\nMID", "3V3", false},
      {"cell Shift+Insert, escaped line break", false, VK_SHIFT, VK_INSERT, false, "3V3\\nMID", "3V3", false},
      {"cell, escaped tab", false, VK_CONTROL, 'V', false, "3V3\\tMID", "one", true},
      {"cell, another control character", false, VK_SHIFT, VK_INSERT, false, "3V3\x02", "one", true},
      {"cell, a wrapped cell", false, VK_CONTROL, 'V', true, "3V3\\r\\nMID", "3V3\r\nMID", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    g->SetStyleRange(CGXRange(1, 1), CGXStyle().SetValue("one").SetWrapText(c.wraps));
    Move(g, 1, 1);
    if (c.edited) {
      in.TypeText("ab");
      Pump();
      ASSERT_TRUE(g->CurrentCellIsActive());
    }
    PutBytes(CF_TEXT, std::string(c.clipboard) + '\0');
    plat::ClearShownLog();
    Chord(c.modifier, c.key);
    Pump();
    if (c.message) {
      ASSERT_EQ(plat::ShownLog().size(), 1u);
      EXPECT_EQ(plat::ShownLog().back().request.text, refused);
    } else {
      EXPECT_TRUE(plat::ShownLog().empty());
    }
    if (c.edited) {
      in.KeyPress(VK_RETURN);
      Pump();
    }
    EXPECT_EQ(Value(g, 1, 1), c.value);
    // Nothing went past the cell.
    EXPECT_EQ(Values(g, 1, 2, 2, 2), "|");
    EXPECT_EQ(Value(g, 2, 1), "two");
  }
}

// A drop-down list (a box without free text) that stores its choice's text stored whatever text was pasted on it:
// a value its list neither shows nor gives back. It takes only one of its choices (a choice's beginning, in any
// case, names it), pasted on the cell or into its box being edited; anything else is refused with a message and
// the cells keep their values, a block whole, also in a grid that records no undo. A drop-down box, which takes
// free text, takes any.
TEST_F(ClipKeysTest, ADropDownListTakesOnlyOneOfItsChoicesFromAPaste) {
  CGXGridWnd* g = MakeFocused();
  const std::string refused = "A pasted text is not a value its cell takes (not one of its choices, against its mask, "
                              "out of its bounds, or read-only): nothing is pasted, and the cells keep their values.";
  struct Case {
    const char* way;
    ROWCOL row;
    bool edited, undo;
    const char* clipboard;
    const char* column;  // rows 1 to 3 of column 1 afterwards
    bool message;
  } cases[] = {
      {"a choice in another case", 1, false, true, "blue", "Blue|Red|", false},
      {"a choice's beginning", 1, false, true, "Gre", "Green|Red|", false},
      {"no choice", 1, false, true, "Cyan", "Green|Red|", true},
      {"a block whose second field is no choice", 1, false, true, "Blue\r\nCyan", "Green|Red|", true},
      {"the same without undo", 1, false, false, "Blue\r\nCyan", "Green|Red|", true},
      {"a block of choices without undo", 1, false, false, "Blue\r\nGreen", "Blue|Green|", false},
      {"no choice in the box being edited", 1, true, true, "Cyan", "Green|Red|", true},
      {"a choice in the box being edited", 1, true, true, "Blue", "Blue|Red|", false},
      {"free text in a drop-down box", 3, false, true, "Cyan", "Green|Red|Cyan", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    g->GetParam()->m_bUndoEnabled = c.undo;
    CGXStyle list;
    list.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList("Red\nGreen\nBlue");
    g->SetStyleRange(CGXRange(1, 1), CGXStyle(list).SetValue("Green"));
    g->SetStyleRange(CGXRange(2, 1), CGXStyle(list).SetValue("Red"));
    g->SetStyleRange(CGXRange(3, 1), CGXStyle(list).SetControl(GX_IDS_CTRL_CBS_DROPDOWN).SetValue(""));
    Move(g, c.row, 1);
    if (c.edited) {
      g->ControlOfCurrentCell()->SetEditingState(TRUE);
      ASSERT_TRUE(g->CurrentCellIsActive());
    }
    PutBytes(CF_TEXT, std::string(c.clipboard) + '\0');
    plat::ClearShownLog();
    Chord(VK_CONTROL, 'V');
    Pump();
    EXPECT_EQ(plat::ShownLog().size(), c.message ? 1u : 0u);
    if (c.message && !plat::ShownLog().empty()) {
      EXPECT_EQ(plat::ShownLog().back().request.text, refused);
    }
    g->CompleteCellEdit(TRUE);
    EXPECT_EQ(Values(g, 1, 1, 3, 1), c.column);
  }
}
