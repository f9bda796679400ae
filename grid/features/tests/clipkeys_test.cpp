// The clipboard keys in a focused grid window: each key of copy, cut and paste, a paste into the edit
// control of a cell being edited, and undo after a paste.
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
