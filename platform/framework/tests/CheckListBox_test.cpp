// The check list box: states that follow their items, toggling by click and Space with the parent told, and
// the box drawn before each item.
#include <string>
#include <vector>

#include "platform/display/Desktop.h"
#include "platform/framework/CCheckListBox.h"
#include "platform/framework/tests/FrameworkTest.h"

namespace plat::test {
namespace {

class CParent : public CWnd {
 public:
  std::vector<int> changes;  // control ids of CLBN_CHKCHANGE, in order
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (HIWORD(wParam) == CLBN_CHKCHANGE) changes.push_back(LOWORD(wParam));
    return CWnd::OnCommand(wParam, lParam);
  }
};

class CheckListBoxTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, "Static", "parent", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr));
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_SORT, CRect(0, 0, 150, 120), &parent, 21));
  }
  CParent parent;
  CCheckListBox list;
};

TEST_F(CheckListBoxTest, StatesFollowTheirItemsThroughSortedInsertsAndDeletes) {
  EXPECT_TRUE(list.GetStyle() & LBS_OWNERDRAWFIXED);
  EXPECT_GE(list.GetItemHeight(0), 15);  // room for the box
  list.AddString("Via");
  list.SetCheck(0, 1);
  list.AddString("Plane");  // sorts before Via
  list.InsertString(1, "Trace");
  list.SetItemData(2, 99);
  EXPECT_EQ(list.GetCheck(0), 0);
  EXPECT_EQ(list.GetCheck(1), 0);
  EXPECT_EQ(list.GetCheck(2), 1);       // Via kept its tick
  EXPECT_EQ(list.GetItemData(2), 99u);  // item data stays the caller's
  list.DeleteString(0);
  EXPECT_EQ(list.GetCheck(1), 1);
  list.SetCheck(7, 1);  // out of range: ignored
  EXPECT_EQ(list.GetCheck(7), 0);
  list.ResetContent();
  list.AddString("Again");
  EXPECT_EQ(list.GetCheck(0), 0);
}

TEST_F(CheckListBoxTest, ItemsAppendedInOneMessageGetTheirOwnStates) {
  list.AddString("Via");
  list.SetCheck(0, 1);
  const LBAPPENDITEM more[] = {{"Plane", 1}, {"Trace", 2}};
  EXPECT_EQ(list.AppendItems(more, 2), 1);
  list.SetCheck(2, 2);
  EXPECT_EQ(list.GetCheck(0), 1);
  EXPECT_EQ(list.GetCheck(1), 0);
  EXPECT_EQ(list.GetCheck(2), 2);
  list.DeleteString(0);
  EXPECT_EQ(list.GetCheck(0), 0);
  EXPECT_EQ(list.GetCheck(1), 2);
  EXPECT_EQ(list.GetItemData(1), 2u);
}

TEST_F(CheckListBoxTest, ClickOnTheBoxAndSpaceToggleAndTellTheParent) {
  for (const char* k : {"a", "b", "c"}) list.AddString(k);
  CRect second;
  list.GetItemRect(1, &second);
  ClickAt(list, 60, second.CenterPoint().y);  // on the text: selects only
  EXPECT_EQ(list.GetCurSel(), 1);
  EXPECT_EQ(list.GetCheck(1), 0);
  EXPECT_TRUE(parent.changes.empty());
  ClickAt(list, 8, second.CenterPoint().y);  // on the box
  EXPECT_EQ(list.GetCheck(1), 1);
  EXPECT_EQ(parent.changes, std::vector<int>{21});
  Key(VK_SPACE);
  EXPECT_EQ(list.GetCheck(1), 0);
  EXPECT_EQ(list.GetCurSel(), 1);  // Space is no search key
  list.SetCheckStyle(BS_AUTO3STATE);
  for (int expected : {1, 2, 0}) {
    Key(VK_SPACE);
    EXPECT_EQ(list.GetCheck(1), expected);
  }
  // A manual style leaves the state to the parent.
  list.SetCheckStyle(BS_CHECKBOX);
  Key(VK_SPACE);
  EXPECT_EQ(list.GetCheck(1), 0);
  EXPECT_EQ(parent.changes.size(), 6u);
}

TEST_F(CheckListBoxTest, EachItemShowsItsBoxBeforeTheText) {
  list.AddString("ticked");
  list.AddString("unticked");
  list.SetCheck(0, 1);
  Pump();
  auto image = Desktop::Capture(list);
  ASSERT_TRUE(image);
  CRect first;
  CRect second;
  list.GetItemRect(0, &first);
  list.GetItemRect(1, &second);
  // The capture is the window rectangle: the client area starts inside the border.
  CRect window;
  list.GetWindowRect(&window);
  CPoint origin(0, 0);
  list.ClientToScreen(&origin);
  const int border = origin.x - window.left;
  // Count dark pixels inside each box: the tick adds some.
  auto dark = [&](const CRect& item) {
    int n = 0;
    for (int y = item.top + 3; y < item.bottom - 3; ++y)
      for (int x = 5; x < 14; ++x) {
        const COLORREF c = colorFromPixel(image->pixel(x + border, y + border));
        if (GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64) ++n;
      }
    return n;
  };
  EXPECT_GT(dark(first), dark(second) + 4);
}

// A list with control id 0 (as a drop-down's list inside its popup has) is still drawn by its object: the
// item type, not the id, tells a control's item from a menu's.
TEST_F(CheckListBoxTest, AListWithIdZeroDrawsItsBoxesAndText) {
  CCheckListBox zero;
  ASSERT_TRUE(zero.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(160, 0, 290, 120), &parent, 0));
  EXPECT_GE(zero.GetItemHeight(0), 15);  // measured by the object too
  zero.AddString("ticked");
  zero.SetCheck(0, 1);
  Pump();
  auto image = Desktop::Capture(zero);
  ASSERT_TRUE(image);
  CRect first;
  zero.GetItemRect(0, &first);
  int dark = 0;
  for (int y = first.top; y < first.bottom; ++y)
    for (int x = 0; x < first.right; ++x) {
      const COLORREF c = colorFromPixel(image->pixel(x + 1, y + 1));
      if (GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64) ++dark;
    }
  EXPECT_GT(dark, 20) << "the box, its tick and the text";
}

}  // namespace
}  // namespace plat::test
