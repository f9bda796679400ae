// The clipboard keys in a focused grid window: each key of copy, cut and paste, a paste into the edit
// control of a cell being edited (whole, or refused with a message when the cell takes less, also before
// the editor is first drawn), and undo after a paste.
#include <functional>
#include <iterator>

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
