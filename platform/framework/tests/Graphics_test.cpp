// Painting through the class library (CPaintDC, typed paint and colour handlers with reflection), image
// lists from a bitmap strip, popup menus and command-UI updates.
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/ResourceTable.h"
#include "platform/controls/ImageList.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CTreeCtrl.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/tests/FrameworkTest.h"

namespace plat::test {
namespace {

std::vector<std::string> g_seen;

void RegisterPlain() {
  WNDCLASS wc{};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "FwPaint";
  RegisterClass(&wc);
}

class CPainted : public CWnd {
 public:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(&r, RGB(200, 0, 0));
    g_seen.push_back("paint");
  }
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
    g_seen.push_back(pDC ? "erase with dc" : "erase without dc");
    return TRUE;
  }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT kind) {
    g_seen.push_back("parent colour " + std::to_string(kind) + " " + std::to_string(pWnd->GetDlgCtrlID()));
    pDC->SetTextColor(RGB(255, 0, 0));
    return brush_;
  }
  afx_msg void OnCopy() { g_seen.push_back("copy"); }
  afx_msg void OnUpdateCopy(CCmdUI* ui) {
    g_seen.push_back("update " + std::to_string(ui->m_nID));
    ui->Enable(FALSE);
    ui->SetCheck(1);
  }
  HBRUSH brush_ = ::CreateSolidBrush(RGB(1, 2, 3));
  ~CPainted() override { ::DeleteObject(brush_); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPainted, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
  ON_COMMAND(100, OnCopy)
  ON_UPDATE_COMMAND_UI(100, OnUpdateCopy)
END_MESSAGE_MAP()

class CColouredChild : public CWnd {
 public:
  explicit CColouredChild(bool own) : own_(own) {}
  afx_msg HBRUSH CtlColor(CDC*, UINT kind) {
    g_seen.push_back("child colour " + std::to_string(kind));
    return own_ ? brush_ : nullptr;  // null: the parent decides
  }
  HBRUSH brush_ = ::CreateSolidBrush(RGB(9, 9, 9));
  ~CColouredChild() override { ::DeleteObject(brush_); }
  DECLARE_MESSAGE_MAP()

 private:
  bool own_;
};

BEGIN_MESSAGE_MAP(CColouredChild, CWnd)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class GraphicsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterPlain();
    g_seen.clear();
  }
  void TearDown() override {
    ResourceTable::RemoveModule(AfxGetInstanceHandle());
    FrameworkTest::TearDown();
  }
};

TEST_F(GraphicsTest, PaintHandlersGetTheirDeviceContexts) {
  CPainted wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "FwPaint", "p", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30, nullptr, nullptr));
  wnd.Invalidate(TRUE);
  wnd.UpdateWindow();
  EXPECT_EQ(g_seen, (std::vector<std::string>{"erase with dc", "paint"}));
  CClientDC dc(&wnd);
  EXPECT_EQ(dc.GetPixel(5, 5), RGB(200, 0, 0));
  EXPECT_EQ(dc.GetPixel(39, 29), RGB(200, 0, 0));
}

TEST_F(GraphicsTest, ColourMessagesGoToTheChildFirstAndToTheParentWhenItDeclines) {
  CPainted parent;
  ASSERT_TRUE(parent.CreateEx(0, "FwPaint", "p", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  CColouredChild own(true), declining(false);
  ASSERT_TRUE(own.Create("FwPaint", "a", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 7));
  ASSERT_TRUE(declining.Create("FwPaint", "b", WS_VISIBLE, CRect(0, 20, 10, 30), &parent, 8));
  CClientDC dc(&parent);
  auto ask = [&](CWnd& child, UINT msg) {
    return reinterpret_cast<HBRUSH>(parent.SendMessage(msg, reinterpret_cast<WPARAM>(dc.m_hDC),
                                                       reinterpret_cast<LPARAM>(child.m_hWnd)));
  };
  EXPECT_EQ(ask(own, WM_CTLCOLORSTATIC), own.brush_);
  EXPECT_EQ(ask(declining, WM_CTLCOLOREDIT), parent.brush_);
  EXPECT_EQ(dc.GetTextColor(), RGB(255, 0, 0));
  EXPECT_EQ(g_seen, (std::vector<std::string>{"child colour 6", "child colour 1", "parent colour 1 8"}));
}

TEST_F(GraphicsTest, CommandUiUpdatesReachTheirHandlers) {
  CPainted wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "FwPaint", "p", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  CCmdUI ui;
  ui.m_nID = 100;
  EXPECT_TRUE(ui.DoUpdate(&wnd, TRUE));
  EXPECT_FALSE(ui.m_bEnabled);
  EXPECT_EQ(ui.m_nCheck, 1);
  CCmdUI other;
  other.m_nID = 101;
  EXPECT_FALSE(other.DoUpdate(&wnd, TRUE));  // no handler: disabled when asked to
  EXPECT_FALSE(other.m_bEnabled);
  EXPECT_EQ(g_seen, std::vector<std::string>{"update 100"});
}

TEST_F(GraphicsTest, PopupMenusAskTheProviderAndSendTheChoice) {
  CPainted owner;
  ASSERT_TRUE(owner.CreateEx(0, "FwPaint", "p", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  CMenu bar;
  ASSERT_TRUE(bar.CreateMenu());
  CMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  popup.AppendMenu(MF_STRING, 100, "&Copy");
  popup.AppendMenu(MF_SEPARATOR);
  popup.AppendMenu(MF_STRING | MF_GRAYED, 101, "&Paste");
  bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), "&Edit");
  CMenu* edit = bar.GetSubMenu(0);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetMenuItemCount(), 3);
  CString text;
  edit->GetMenuString(101, text, MF_BYCOMMAND);
  EXPECT_EQ(text, "&Paste");
  EXPECT_EQ(edit->GetMenuState(101, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);

  automation.Reply(SystemUiKind::PopupMenu, {100, {}, 0});
  EXPECT_TRUE(edit->TrackPopupMenu(TPM_LEFTALIGN, 10, 10, &owner));
  EXPECT_EQ(g_seen, std::vector<std::string>{"copy"});
  automation.Reply(SystemUiKind::PopupMenu, {101, {}, 0});  // grayed: nothing is chosen
  EXPECT_EQ(edit->TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), 0);
  AfxGetThread()->OnIdle(0);  // frees the temporary wrapper, not the menu
  EXPECT_TRUE(IsMenu(GetSubMenu(bar, 0)));
}

// A 24-bit packed DIB strip: `count` images of 16 x 16, image i filled with colours[i] inside a magenta
// one-pixel border.
std::vector<BYTE> Strip(const std::vector<COLORREF>& colours) {
  const int w = 16 * static_cast<int>(colours.size()), h = 16;
  const int stride = (w * 3 + 3) & ~3;
  std::vector<BYTE> dib(40 + static_cast<std::size_t>(stride * h), 0);
  BITMAPINFOHEADER bih{};
  bih.biSize = 40;
  bih.biWidth = w;
  bih.biHeight = h;
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  std::memcpy(dib.data(), &bih, 40);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int local = x % 16;
      const bool border = local == 0 || local == 15 || y == 0 || y == 15;
      COLORREF c = border ? RGB(255, 0, 255) : colours[static_cast<std::size_t>(x / 16)];
      BYTE* p = dib.data() + 40 + static_cast<std::size_t>((h - 1 - y) * stride + x * 3);  // bottom-up rows
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return dib;
}

TEST_F(GraphicsTest, ImageListsCutStripsAndDrawWithTransparency) {
  static const std::vector<BYTE> strip = Strip({RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)});
  ResourceTable::AddResource(AfxGetInstanceHandle(), RT_BITMAP, MAKEINTRESOURCE(300), strip);
  CImageList list;
  ASSERT_TRUE(list.Create(300, 16, 2, RGB(255, 0, 255)));
  EXPECT_EQ(list.GetImageCount(), 3);

  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap target;
  ASSERT_TRUE(target.CreateBitmap(40, 20, 1, 32, nullptr));  // colour (a memory DC's compatible ones are mono)
  CBitmap* old = dc.SelectObject(&target);
  dc.FillSolidRect(CRect(0, 0, 40, 20), RGB(255, 255, 255));
  ASSERT_TRUE(list.Draw(&dc, 1, CPoint(2, 2), ILD_TRANSPARENT));
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(255, 255, 255));  // the border is transparent
  EXPECT_EQ(dc.GetPixel(3, 3), RGB(0, 128, 0));
  list.SetBkColor(RGB(0, 0, 0));
  ASSERT_TRUE(list.Draw(&dc, 2, CPoint(20, 2), ILD_NORMAL));
  EXPECT_EQ(dc.GetPixel(20, 2), RGB(0, 0, 0));  // masked pixels take the background colour
  EXPECT_EQ(dc.GetPixel(25, 8), RGB(0, 0, 255));
  EXPECT_FALSE(list.Draw(&dc, 3, CPoint(0, 0), ILD_NORMAL));
  dc.SelectObject(old);

  // More images grow the list; removing one closes the gap.
  CBitmap more;
  ASSERT_TRUE(more.LoadBitmap(300));
  EXPECT_EQ(list.Add(&more, RGB(255, 0, 255)), 3);
  EXPECT_EQ(list.GetImageCount(), 6);
  EXPECT_TRUE(list.Remove(0));
  EXPECT_EQ(list.GetImageCount(), 5);
  EXPECT_FALSE(list.Create(999, 16, 2, RGB(255, 0, 255)));  // no such bitmap
}

TEST_F(GraphicsTest, ImageListsGoToTheTreeAsHandlesThatFollowLaterChanges) {
  static const std::vector<BYTE> strip = Strip({RGB(255, 0, 0), RGB(0, 128, 0)});
  ResourceTable::AddResource(AfxGetInstanceHandle(), RT_BITMAP, MAKEINTRESOURCE(301), strip);
  CImageList list;
  EXPECT_EQ(list.GetSafeHandle(), nullptr);  // nothing before Create
  ASSERT_TRUE(list.Create(301, 16, 2, RGB(255, 0, 255)));
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  CTreeCtrl tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &parent, 1));
  EXPECT_EQ(tree.SetImageList(&list, TVSIL_NORMAL), nullptr);
  EXPECT_EQ(tree.GetImageList(TVSIL_NORMAL), &list);
  HTREEITEM item = tree.InsertItem("net", 1, 1);
  HIMAGELIST handle = list.GetSafeHandle();
  EXPECT_EQ(ImageList_GetImageCount(handle), 2);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(handle, &cx, &cy));
  EXPECT_EQ(cx, 16);
  // The handle draws like the list: the key colour border stays transparent.
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap target;
  ASSERT_TRUE(target.CreateBitmap(20, 20, 1, 32, nullptr));
  CBitmap* old = dc.SelectObject(&target);
  dc.FillSolidRect(CRect(0, 0, 20, 20), RGB(255, 255, 255));
  ASSERT_TRUE(ImageList_Draw(handle, 1, dc.m_hDC, 2, 2, ILD_TRANSPARENT));
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 128, 0));
  dc.SelectObject(old);
  // Later changes reach the same handle.
  CBitmap more;
  ASSERT_TRUE(more.LoadBitmap(301));
  list.Add(&more, RGB(255, 0, 255));
  EXPECT_EQ(ImageList_GetImageCount(handle), 4);
  list.Remove(0);
  EXPECT_EQ(ImageList_GetImageCount(handle), 3);
  int image = 0, selected = 0;
  EXPECT_TRUE(tree.GetItemImage(item, image, selected));
  EXPECT_EQ(image, 1);
  // Another list replaces it; the tree answers with the one it had.
  CImageList other;
  ASSERT_TRUE(other.Create(16, 16, ILC_COLOR24, 0, 1));
  EXPECT_EQ(tree.SetImageList(&other, TVSIL_NORMAL), &list);
  tree.SetImageList(nullptr, TVSIL_NORMAL);
  list.DeleteImageList();
  EXPECT_EQ(CImageList::FromHandlePermanent(handle), nullptr);
}

}  // namespace
}  // namespace plat::test
