// The control classes: the members that do more than forward one message, and owner-draw reflection from the
// parent to the control's object.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/framework/CButton.h"
#include "platform/framework/CComboBox.h"
#include "platform/framework/CEdit.h"
#include "platform/framework/CListBox.h"
#include "platform/framework/CRichEditCtrl.h"
#include "platform/framework/CScrollBar.h"
#include "platform/framework/CToolTipCtrl.h"
#include "platform/framework/CTreeCtrl.h"
#include "platform/framework/tests/FrameworkTest.h"

namespace plat::test {
namespace {

class ControlWrappers : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, "Static", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  }
  CWnd parent;
};

std::vector<std::string> g_log;

class CLoggingList : public CListBox {
 public:
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    g_log.push_back("measure " + std::to_string(mis->itemID));
    mis->itemHeight = 20 + mis->itemID;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override { g_log.push_back("draw " + std::to_string(dis->itemID)); }
  // Orders by item data, highest first, so the answer visibly comes from here.
  int CompareItem(LPCOMPAREITEMSTRUCT cis) override {
    g_log.push_back("compare");
    return cis->itemData1 > cis->itemData2 ? -1 : cis->itemData1 < cis->itemData2 ? 1 : 0;
  }
  void DeleteItem(LPDELETEITEMSTRUCT dis) override { g_log.push_back("delete " + std::to_string(dis->itemData)); }
};

class CLoggingButton : public CButton {
 public:
  void DrawItem(LPDRAWITEMSTRUCT dis) override { g_log.push_back("button " + std::to_string(dis->CtlType)); }
};

TEST_F(ControlWrappers, OwnerDrawMessagesReachTheListObjectThroughItsParent) {
  g_log.clear();
  CLoggingList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_SORT, CRect(0, 0, 100, 200), &parent, 7));
  EXPECT_EQ(list.AddString(reinterpret_cast<LPCSTR>(1)), 0);
  EXPECT_EQ(list.AddString(reinterpret_cast<LPCSTR>(5)), 0);  // sorted before 1 by the override
  EXPECT_EQ(list.GetItemData(0), 5u);
  EXPECT_EQ(list.GetItemHeight(1), 20);  // measured while it was added, as item 0
  EXPECT_NE(std::find(g_log.begin(), g_log.end(), "compare"), g_log.end());
  EXPECT_EQ(g_log.front(), "measure 0");
  list.UpdateWindow();
  EXPECT_NE(std::find(g_log.begin(), g_log.end(), "draw 1"), g_log.end());
  g_log.clear();
  list.DeleteString(0);
  EXPECT_EQ(g_log, std::vector<std::string>{"delete 5"});
}

TEST_F(ControlWrappers, OwnerDrawButtonPaintsInDrawItemAndPlainButtonsIgnoreIt) {
  g_log.clear();
  CLoggingButton owner;
  ASSERT_TRUE(owner.Create("x", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 50, 20), &parent, 8));
  owner.UpdateWindow();
  EXPECT_EQ(g_log, std::vector<std::string>{"button " + std::to_string(ODT_BUTTON)});
  // A plain CButton answers a reflected draw without drawing or passing it back to the parent's map.
  CButton plain;
  ASSERT_TRUE(plain.Create("y", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 30, 50, 50), &parent, 9));
  plain.UpdateWindow();
  EXPECT_EQ(g_log.size(), 1u);
}

TEST_F(ControlWrappers, TextsComeBackWholeAndBadIndexesGiveEmptyStrings) {
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, CRect(0, 0, 100, 100), &parent, 1));
  const std::string longText(300, 'q');
  list.AddString(longText.c_str());
  CString text = "stale";
  list.GetText(0, text);
  EXPECT_EQ(std::string(text), longText);
  list.GetText(4, text);
  EXPECT_TRUE(text.IsEmpty());

  CComboBox combo;
  ASSERT_TRUE(
      combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_HASSTRINGS, CRect(0, 0, 100, 100), &parent, 2));
  combo.AddString("Plane");
  combo.GetLBText(0, text);
  EXPECT_EQ(std::string(text), "Plane");
  text = "stale";
  combo.GetLBText(-1, text);
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ControlWrappers, EditLinesHonourTheCallersBufferSize) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 200, 100), &parent, 3));
  edit.SetWindowText("first line\r\nsecond");
  char buffer[32] = {};
  EXPECT_EQ(edit.GetLine(1, buffer, sizeof buffer), 6);
  EXPECT_EQ(std::string(buffer, 6), "second");
  char tiny[1] = {'#'};
  EXPECT_EQ(edit.GetLine(0, tiny, 1), 1);  // no room for the size word: still one character, nothing beyond
  EXPECT_EQ(tiny[0], 'f');
  char sized[8];
  const WORD size = 5;
  std::memcpy(sized, &size, sizeof size);
  EXPECT_EQ(edit.GetLine(0, sized), 5);  // the classic form reads the size from the buffer
  EXPECT_EQ(std::string(sized, 5), "first");

  edit.SetSel(2, 5);
  int start = 0;
  int end = 0;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(end, 5);
}

// A rich edit that keeps the heights its window asks for, from the notification reflected by its parent.
class CGrowingRichEdit : public CRichEditCtrl {
 public:
  afx_msg void OnRequestResize(NMHDR* header, LRESULT* result) {
    heights.push_back(reinterpret_cast<REQRESIZE*>(header)->rc.bottom);
    *result = 0;
  }
  std::vector<int> heights;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGrowingRichEdit, CRichEditCtrl)
  ON_NOTIFY_REFLECT(EN_REQUESTRESIZE, OnRequestResize)
END_MESSAGE_MAP()

TEST_F(ControlWrappers, RichEditReflectsResizeRequestsAndReadsItsSelection) {
  CGrowingRichEdit rich;
  ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 200, 100), &parent, 5));
  rich.SetEventMask(ENM_REQUESTRESIZE);
  rich.ReplaceSel("one\r\ntwo");
  ASSERT_EQ(rich.heights.size(), 1u);
  rich.RequestResize();
  ASSERT_EQ(rich.heights.size(), 2u);
  EXPECT_EQ(rich.heights[0], rich.heights[1]);
  EXPECT_EQ(rich.GetLineCount(), 2);
  EXPECT_EQ(rich.GetTextLength(), 7);  // the break is one position
  rich.SetSel(4, -1);
  EXPECT_EQ(std::string(rich.GetSelText()), "two");
  long start = 0, end = 0;
  rich.GetSel(start, end);
  EXPECT_EQ(start, 4);
  EXPECT_EQ(end, 7);
  CHARFORMAT cf{};
  cf.dwMask = CFM_BOLD;
  cf.dwEffects = CFE_BOLD;
  EXPECT_TRUE(rich.SetSelectionCharFormat(cf));
  CHARFORMAT back{};
  EXPECT_TRUE(rich.GetSelectionCharFormat(back) & CFM_BOLD);
  EXPECT_TRUE(back.dwEffects & CFE_BOLD);
  FINDTEXTEX ft{{0, -1}, "TWO", {0, 0}};
  EXPECT_EQ(rich.FindText(FR_DOWN, &ft), 4);
  EXPECT_EQ(rich.FindText(FR_DOWN | FR_MATCHCASE, &ft), -1);
}

TEST_F(ControlWrappers, ScrollLimitIsTheRangeLessThePage) {
  CScrollBar bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(0, 0, 200, 16), &parent, 4));
  bar.SetScrollRange(0, 100);
  EXPECT_EQ(bar.GetScrollLimit(), 100);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_PAGE;
  info.nPage = 30;
  bar.SetScrollInfo(&info);
  EXPECT_EQ(bar.GetScrollLimit(), 71);
  info.nPage = 500;  // a page larger than the range leaves the thumb at the start
  bar.SetScrollInfo(&info);
  EXPECT_EQ(bar.GetScrollLimit(), 0);
}

TEST_F(ControlWrappers, ToolsNamedByWindowOrByIdAreFoundAgain) {
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, "Static", "child", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, parent.m_hWnd, nullptr));
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&parent));
  ASSERT_TRUE(tip.AddTool(&child, "whole window"));
  CRect area(0, 100, 40, 120);
  ASSERT_TRUE(tip.AddTool(&parent, "an area", &area, 12));
  EXPECT_EQ(tip.GetToolCount(), 2);
  CString text;
  tip.GetText(text, &child);
  EXPECT_EQ(std::string(text), "whole window");
  tip.UpdateTipText("changed", &parent, 12);
  tip.GetText(text, &parent, 12);
  EXPECT_EQ(std::string(text), "changed");
  TOOLINFO info{};
  ASSERT_TRUE(tip.GetToolInfo(info, &child));
  EXPECT_TRUE(info.uFlags & TTF_IDISHWND);
  tip.DelTool(&child);
  EXPECT_EQ(tip.GetToolCount(), 1);
  EXPECT_FALSE(tip.GetToolInfo(info, &child));
}

TEST_F(ControlWrappers, TreeItemsKeepTextDataImagesAndState) {
  CTreeCtrl tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 200), &parent, 5));
  HTREEITEM board = tree.InsertItem("Board", 1, 2);
  const std::string longName(500, 'n');
  HTREEITEM net = tree.InsertItem(longName.c_str(), board);
  ASSERT_NE(board, nullptr);
  EXPECT_EQ(std::string(tree.GetItemText(net)), longName);  // longer than the first buffer
  EXPECT_TRUE(tree.SetItemData(net, 77));
  EXPECT_EQ(tree.GetItemData(net), 77u);
  int image = 0;
  int selected = 0;
  ASSERT_TRUE(tree.GetItemImage(board, image, selected));
  EXPECT_EQ(image, 1);
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(tree.GetParentItem(net), board);
  EXPECT_TRUE(tree.ItemHasChildren(board));
  tree.Expand(board, TVE_EXPAND);
  EXPECT_EQ(tree.GetItemState(board, TVIS_EXPANDED), TVIS_EXPANDED);
  tree.SelectItem(net);
  EXPECT_EQ(tree.GetSelectedItem(), net);
  CRect r;
  ASSERT_TRUE(tree.GetItemRect(net, &r, TRUE));
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(r.CenterPoint(), &flags), net);
  EXPECT_TRUE(flags & TVHT_ONITEMLABEL);
  EXPECT_EQ(std::string(tree.GetItemText(nullptr)), "");
}

}  // namespace
}  // namespace plat::test
