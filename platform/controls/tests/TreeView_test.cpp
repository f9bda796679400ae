// Tree views and image lists: inserting with images and data, navigation, selection and expansion with
// their notifications and refusals, keys, the double click's "handled" answer, deletion, and looks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/controls/ImageList.h"
#include "platform/controls/tests/ControlTestSupport.h"

namespace plat::test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

class Trees : public ControlTest {
 protected:
  HTREEITEM Add(HWND tree, HTREEITEM parent, const char* text, int image = 0, LPARAM data = 0) {
    TVINSERTSTRUCT ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(text);
    ins.item.iImage = image;
    ins.item.iSelectedImage = image + 1;
    ins.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
  }
  HTREEITEM Next(HWND tree, UINT code, HTREEITEM item = nullptr) {
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  RECT ItemRect(HWND tree, HTREEITEM item, bool textOnly = true) {
    RECT r{};
    std::memcpy(&r, &item, sizeof(item));
    SendMessage(tree, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  HWND Tree(DWORD extra = 0) {
    return Make(WC_TREEVIEW, "", kChild | WS_BORDER | TVS_HASBUTTONS | TVS_LINESATROOT | extra, {10, 10, 210, 190},
                600);
  }
  // Tree notifications that reached the host: code and the new item's handle.
  std::vector<std::pair<UINT, HTREEITEM>> notes;
  LRESULT refuseCode = 0;
  UINT refuse = 0;
  void Record(HWND tree) {
    hostHook = [this, tree](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
      if (msg != WM_NOTIFY) return std::nullopt;
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (hdr->hwndFrom != tree) return std::nullopt;
      HTREEITEM item = nullptr;
      if (hdr->code == TVN_SELCHANGING || hdr->code == TVN_SELCHANGED || hdr->code == TVN_ITEMEXPANDING ||
          hdr->code == TVN_ITEMEXPANDED)
        item = reinterpret_cast<NMTREEVIEW*>(lp)->itemNew.hItem;
      if (hdr->code == TVN_DELETEITEM) item = reinterpret_cast<NMTREEVIEW*>(lp)->itemOld.hItem;
      if (hdr->code == TVN_KEYDOWN) return 0;
      notes.emplace_back(hdr->code, item);
      return hdr->code == refuse ? refuseCode : 0;
    };
  }
};

TEST_F(Trees, InsertNavigateAndReadItems) {
  HWND tree = Tree();
  HTREEITEM a = Add(tree, TVI_ROOT, "Stackup", 0, 11);
  HTREEITEM a1 = Add(tree, a, "Top", 2, 12);
  HTREEITEM a2 = Add(tree, a, "Bottom", 2, 13);
  HTREEITEM b = Add(tree, TVI_ROOT, "Nets", 4, 14);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(Next(tree, TVGN_ROOT), a);
  EXPECT_EQ(Next(tree, TVGN_NEXT, a), b);
  EXPECT_EQ(Next(tree, TVGN_CHILD, a), a1);
  EXPECT_EQ(Next(tree, TVGN_NEXT, a1), a2);
  EXPECT_EQ(Next(tree, TVGN_PREVIOUS, a2), a1);
  EXPECT_EQ(Next(tree, TVGN_PARENT, a2), a);
  EXPECT_EQ(Next(tree, TVGN_PARENT, a), nullptr);
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), b);  // collapsed
  char buf[32]{};
  TVITEM item{};
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
  item.hItem = a2;
  item.pszText = buf;
  item.cchTextMax = sizeof(buf);
  ASSERT_TRUE(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(buf, "Bottom");
  EXPECT_EQ(item.iImage, 2);
  EXPECT_EQ(item.iSelectedImage, 3);
  EXPECT_EQ(item.lParam, 13);
  EXPECT_EQ(item.cChildren, 0);
  // Insertion positions: first and sorted.
  TVINSERTSTRUCT ins{};
  ins.hParent = TVI_ROOT;
  ins.hInsertAfter = TVI_FIRST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = const_cast<char*>("Board");
  HTREEITEM first = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
  EXPECT_EQ(Next(tree, TVGN_ROOT), first);
  ins.hParent = a;
  ins.hInsertAfter = TVI_SORT;
  ins.item.pszText = const_cast<char*>("Inner");
  HTREEITEM inner = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
  // A sorted insert goes before the first sibling that sorts after it ("Top" here; the siblings were not sorted).
  EXPECT_EQ(Next(tree, TVGN_CHILD, a), inner);
  // An unknown handle is refused.
  ins.hParent = reinterpret_cast<HTREEITEM>(0x7777);
  EXPECT_EQ(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)), 0);
}

TEST_F(Trees, SelectionAndExpansionAskFirst) {
  HWND tree = Tree();
  HTREEITEM a = Add(tree, TVI_ROOT, "A");
  HTREEITEM a1 = Add(tree, a, "A1");
  HTREEITEM b = Add(tree, TVI_ROOT, "B");
  Record(tree);
  EXPECT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b)));
  EXPECT_EQ(Next(tree, TVGN_CARET), b);
  refuse = TVN_SELCHANGING;
  refuseCode = 1;
  EXPECT_FALSE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a)));
  EXPECT_EQ(Next(tree, TVGN_CARET), b);
  refuse = 0;
  // Selecting a hidden child opens its parents.
  notes.clear();
  EXPECT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a1)));
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), a1);
  EXPECT_EQ(notes, (std::vector<std::pair<UINT, HTREEITEM>>{{TVN_SELCHANGING, a1}, {TVN_SELCHANGED, a1}}));
  // Collapsing over the selection moves it to the collapsed item.
  notes.clear();
  EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(a)));
  EXPECT_EQ(Next(tree, TVGN_CARET), a);
  EXPECT_EQ(notes, (std::vector<std::pair<UINT, HTREEITEM>>{{TVN_ITEMEXPANDING, a}, {TVN_ITEMEXPANDED, a}}));
  refuse = TVN_ITEMEXPANDING;
  refuseCode = 1;
  EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a)));
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), b);
  EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(b)));  // no children
}

TEST_F(Trees, KeysNavigateAndExpand) {
  HWND tree = Tree();
  HTREEITEM a = Add(tree, TVI_ROOT, "A");
  HTREEITEM a1 = Add(tree, a, "A1");
  HTREEITEM b = Add(tree, TVI_ROOT, "B");
  SetFocus(tree);
  Key(VK_DOWN);
  EXPECT_EQ(Next(tree, TVGN_CARET), a);
  Key(VK_RIGHT);
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), a1);
  Key(VK_RIGHT);
  EXPECT_EQ(Next(tree, TVGN_CARET), a1);
  Key(VK_LEFT);
  EXPECT_EQ(Next(tree, TVGN_CARET), a);
  Key(VK_LEFT);
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), b);
  Key(VK_END);
  EXPECT_EQ(Next(tree, TVGN_CARET), b);
  EXPECT_EQ(SendMessage(tree, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

TEST_F(Trees, DoubleClickTogglesUnlessTheParentHandlesIt) {
  HWND tree = Tree();
  HTREEITEM a = Add(tree, TVI_ROOT, "Parent");
  HTREEITEM a1 = Add(tree, a, "Child");
  Record(tree);
  const RECT r = ItemRect(tree, a);
  in().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(tree, r.left + 3, r.top + 3));
  RunUntilIdle();
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), a1);
  EXPECT_EQ(Next(tree, TVGN_CARET), a);
  refuse = NM_DBLCLK;
  refuseCode = 1;
  AdvanceAndPump(1000);
  in().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(tree, r.left + 3, r.top + 3));
  RunUntilIdle();
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), a1);  // handled: still open
  // A click on the button toggles without selecting.
  AdvanceAndPump(1000);
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a1));
  const RECT row = ItemRect(tree, a, false);
  const int indent = static_cast<int>(SendMessage(tree, TVM_GETINDENT, 0, 0));
  TVHITTESTINFO hit{{indent / 2, row.top + 5}, 0, nullptr};
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))), a);
  EXPECT_EQ(hit.flags, TVHT_ONITEMBUTTON);
  ClickAt(tree, indent / 2, row.top + 5);
  EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), nullptr);
}

TEST_F(Trees, DeletionNotifiesEachItemAndStaleHandlesFail) {
  HWND tree = Tree();
  HTREEITEM a = Add(tree, TVI_ROOT, "A");
  HTREEITEM a1 = Add(tree, a, "A1");
  HTREEITEM b = Add(tree, TVI_ROOT, "B");
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a1));
  Record(tree);
  EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(a)));
  EXPECT_EQ(notes, (std::vector<std::pair<UINT, HTREEITEM>>{{TVN_DELETEITEM, a1}, {TVN_DELETEITEM, a}}));
  EXPECT_EQ(Next(tree, TVGN_CARET), nullptr);
  EXPECT_EQ(Next(tree, TVGN_ROOT), b);
  TVITEM item{};
  item.mask = TVIF_PARAM;
  item.hItem = a1;
  EXPECT_FALSE(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a)));
  SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(Trees, CallbackTextsAreAskedForWhenDrawn) {
  HWND tree = Tree();
  TVINSERTSTRUCT ins{};
  ins.hParent = TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = reinterpret_cast<LPSTR>(-1);
  ins.item.lParam = 42;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
  int asked = 0;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == TVN_GETDISPINFO) {
      auto* info = reinterpret_cast<NMTVDISPINFO*>(lp);
      EXPECT_EQ(info->item.hItem, item);
      EXPECT_EQ(info->item.lParam, 42);
      std::strcpy(info->item.pszText, "Given late");
      ++asked;
    }
    return std::nullopt;
  };
  RunUntilIdle();
  EXPECT_GE(asked, 1);
  // The label is as wide as the text it was given.
  const RECT r = ItemRect(tree, item);
  EXPECT_GT(r.right - r.left, 30);
}

HBITMAP Strip(int images) {
  // 8x8 images: a coloured square on magenta (the mask colour), a different colour per image.
  std::vector<DWORD> bits(static_cast<size_t>(8 * images) * 8, 0x00FF00FF);
  const DWORD colours[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00808000};
  for (int i = 0; i < images; ++i)
    for (int y = 2; y < 6; ++y)
      for (int x = 2; x < 6; ++x) bits[static_cast<size_t>(y * 8 * images + i * 8 + x)] = colours[i % 4];
  return CreateBitmap(8 * images, 8, 1, 32, bits.data());
}

TEST(ImageLists, AddMaskedDrawsOnlyOpaquePixelsAndChecksHandles) {
  HIMAGELIST list = ImageList_Create(8, 8, ILC_COLOR32 | ILC_MASK, 4, 4);
  HBITMAP strip = Strip(4);
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
  EXPECT_EQ(ImageList_GetImageCount(list), 4);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateBitmap(16, 8, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, target);
  RECT all{0, 0, 16, 8};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_TRUE(ImageList_Draw(list, 1, dc, 4, 0, ILD_TRANSPARENT));
  EXPECT_EQ(GetPixel(dc, 4, 0), RGB(255, 255, 255));  // mask colour left the background
  EXPECT_NE(GetPixel(dc, 7, 3), RGB(255, 255, 255));
  EXPECT_FALSE(ImageList_Draw(list, 9, dc, 0, 0, ILD_NORMAL));
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  DeleteObject(strip);
  EXPECT_TRUE(ImageList_Remove(list, 0));
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
}

TEST_F(Trees, Look) {
  HIMAGELIST images = ImageList_Create(8, 8, ILC_COLOR32 | ILC_MASK, 4, 4);
  HBITMAP strip = Strip(4);
  ImageList_AddMasked(images, strip, RGB(255, 0, 255));
  DeleteObject(strip);
  HWND tree = Tree(TVS_SHOWSELALWAYS | TVS_HASLINES);
  SendMessage(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  HTREEITEM a = Add(tree, TVI_ROOT, "Stackup", 0);
  Add(tree, a, "Top layer", 2);
  HTREEITEM sel = Add(tree, a, "Bottom layer", 2);
  HTREEITEM b = Add(tree, TVI_ROOT, "Nets", 0);
  Add(tree, b, "GND", 2);
  Add(tree, TVI_ROOT, "Analyses", 0);
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(sel));
  MoveWindow(host, 50, 50, 220, 200, TRUE);
  ExpectMatchesReference(host, "treeview.png");
  DestroyWindow(tree);
  ImageList_Destroy(images);
}

}  // namespace
}  // namespace plat::test
