// Undo, redo and clearing as users reach them: typed into the edit cells of a grid window with the focus,
// then the keys of the engine (Ctrl+Z, Ctrl+R, Alt+Backspace, Ctrl+Backspace, Delete, Ctrl+Delete).
#include <string>

#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/features/tests/featuretest.h"
#include "platform/display/ReferenceImage.h"

namespace {

using featuretest::FeatureTest;

class KeyboardTest : public FeatureTest {
 protected:
  // A focused grid whose cells hold `before` values; the lists start empty and the current cell is (1, 1).
  CGXGridWnd* Make() {
    CGXGridWnd* g = MakeGrid(5, 3, 200, 140);
    g->SetCellValue(1, 1, "old");
    g->SetCellValue(2, 2, "2.5");
    CGXStyle tinted;
    tinted.SetInteriorColor(RGB(255, 255, 160)).SetValue("kept");
    g->SetStyleRange(CGXRange(3, 3), tinted);
    ClearUndo(g);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
    Pump();
    return g;
  }
  static std::string Value(CGXGridCore* g, ROWCOL r, ROWCOL c) { return std::string(g->GetCellValue(r, c)); }
  static INT_PTR Undos(CGXGridCore* g) { return g->GetParam()->GetUndoList().GetCount(); }
  static INT_PTR Redos(CGXGridCore* g) { return g->GetParam()->GetRedoList().GetCount(); }
  static void ExpectMatchesReference(HWND hwnd, const std::string& name) {
    plat::Desktop::PaintAll();
    auto image = plat::Desktop::Capture(hwnd);
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, "grid/features/tests/reference/" + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
  static bool Tinted(CGXGridCore* g, ROWCOL r, ROWCOL c) {
    CGXStyle s;
    return g->ReadStoredStyle(r, c, s, gxCopy, 0) && s.IsIncluded(GX_IN_INTERIOR);
  }
};

TEST_F(KeyboardTest, TypedValuesGoBackAndForthWithEveryUndoAndRedoKey) {
  CGXGridWnd* g = Make();
  Type("new");  // replaces "old"
  Key(VK_DOWN);
  Type("12");
  Key(VK_DOWN);
  EXPECT_EQ(Value(g, 1, 1), "new");
  EXPECT_EQ(Value(g, 2, 1), "12");
  ASSERT_EQ(Undos(g), 2);
  ASSERT_EQ(::GetFocus(), g->m_hWnd);  // the edit window left with the cell

  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Value(g, 2, 1), "");
  EXPECT_EQ(Value(g, 1, 1), "new");
  Chord(VK_MENU, VK_BACK);
  EXPECT_EQ(Value(g, 1, 1), "old");
  EXPECT_EQ(Undos(g), 0);
  EXPECT_EQ(Redos(g), 2);
  Chord(VK_CONTROL, 'Z');  // nothing left: nothing changes
  EXPECT_EQ(Value(g, 1, 1), "old");

  Chord(VK_CONTROL, 'R');
  EXPECT_EQ(Value(g, 1, 1), "new");
  EXPECT_EQ(Value(g, 2, 1), "");
  Chord(VK_CONTROL, VK_BACK);
  EXPECT_EQ(Value(g, 2, 1), "12");
  EXPECT_EQ(Undos(g), 2);
  EXPECT_EQ(Redos(g), 0);
  // Everything else is as it was.
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  EXPECT_EQ(Value(g, 3, 3), "kept");
  EXPECT_TRUE(Tinted(g, 3, 3));
}

TEST_F(KeyboardTest, UndoWhileEditingDiscardsOnlyTheEdit) {
  CGXGridWnd* g = Make();
  Type("first");
  Key(VK_DOWN);
  Type("pending");  // row 2 is being edited, not stored
  Chord(VK_CONTROL, 'Z');
  g->CGXGridCore::UpdateWindow();
  Pump();
  EXPECT_EQ(Value(g, 2, 1), "");
  EXPECT_EQ(Value(g, 1, 1), "first");
  EXPECT_EQ(Undos(g), 1);
}

TEST_F(KeyboardTest, DeleteInAnEditCellEmptiesOnlyTheCurrentCell) {
  CGXGridWnd* g = Make();
  g->GetParam()->GetSelection().AddTail(new CGXRange(1, 1, 2, 2));
  Key(VK_DELETE);  // the edit cell takes it: an empty edit of the current cell
  Key(VK_DOWN);
  EXPECT_EQ(Value(g, 1, 1), "");
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  EXPECT_EQ(Undos(g), 1);
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Value(g, 1, 1), "old");
}

// A grid that pastes styles leaves Delete to the grid: it clears the selection.
TEST_F(KeyboardTest, DeleteClearsTheSelectedValuesAndCtrlDeleteTheirStyles) {
  CGXGridWnd* g = Make();
  g->GetParam()->m_bPasteStyles = TRUE;
  g->GetParam()->GetSelection().AddTail(new CGXRange(2, 2, 3, 3));
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  g->RedrawAll(GX_INVALIDATE);
  Pump();
  ExpectMatchesReference(*g, "gridfeatures-before-delete");

  Key(VK_DELETE);
  EXPECT_EQ(Value(g, 2, 2), "");
  EXPECT_EQ(Value(g, 3, 3), "");
  EXPECT_TRUE(Tinted(g, 3, 3));         // Delete keeps the styles
  EXPECT_EQ(Value(g, 1, 1), "old");     // outside the selection
  EXPECT_EQ(Undos(g), 1);
  ExpectMatchesReference(*g, "gridfeatures-after-delete");

  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  EXPECT_EQ(Value(g, 3, 3), "kept");
  EXPECT_TRUE(Tinted(g, 3, 3));

  plat::InputRouter::Instance().KeyDown(VK_CONTROL);
  Key(VK_DELETE);
  plat::InputRouter::Instance().KeyUp(VK_CONTROL);
  Pump();
  EXPECT_FALSE(Tinted(g, 3, 3));
  EXPECT_EQ(Value(g, 3, 3), "");  // the value was part of the stored style
  EXPECT_EQ(Value(g, 1, 1), "old");
  ExpectMatchesReference(*g, "gridfeatures-after-ctrl-delete");

  Chord(VK_CONTROL, 'Z');
  EXPECT_TRUE(Tinted(g, 3, 3));
  EXPECT_EQ(Value(g, 3, 3), "kept");
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  ExpectMatchesReference(*g, "gridfeatures-before-delete");  // exactly as before
  Chord(VK_CONTROL, 'R');
  EXPECT_FALSE(Tinted(g, 3, 3));
}

// A current cell that takes no typed text keeps its value under Delete and its style under Ctrl+Delete: a static
// text, a check box and a push button show a value the program gave them, and nothing could be typed back in.
TEST_F(KeyboardTest, DeleteLeavesACellThatTakesNoTypedTextAsItIs) {
  CGXGridWnd* g = Make();
  g->AddCellControl(GX_IDS_CTRL_CHECKBOX, new CGXCheckBox(g), TRUE);
  g->AddCellControl(GX_IDS_CTRL_PUSHBTN, new CGXPushbutton(g), TRUE);
  for (const WORD id : {GX_IDS_CTRL_STATIC, GX_IDS_CTRL_CHECKBOX, GX_IDS_CTRL_PUSHBTN}) {
    SCOPED_TRACE(id);
    g->SetStyleRange(CGXRange(2, 2), CGXStyle().SetControl(id).SetValue("1"));
    ClearUndo(g);
    ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
    Key(VK_DELETE);
    Chord(VK_CONTROL, VK_DELETE);
    CGXStyle style;
    g->ComposeCellStyle(2, 2, style);
    EXPECT_EQ(Value(g, 2, 2), "1");
    EXPECT_EQ(style.GetControl(), id);
    EXPECT_EQ(Undos(g), 0);
    ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  }
}

}  // namespace
