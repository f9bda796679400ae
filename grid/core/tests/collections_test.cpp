#include <gtest/gtest.h>

#include <map>

#include "grid/core/CGXMapDWordToLong.h"

namespace {

std::map<DWORD, LONG> Entries(const CGXCollMapDWordToLong& m) {
  std::map<DWORD, LONG> out;
  POSITION pos = m.GetStartPosition();
  while (pos) {
    DWORD k = 0;
    LONG v = 0;
    m.GetNextAssoc(pos, k, v);
    EXPECT_TRUE(out.emplace(k, v).second) << "key reported twice: " << k;
  }
  EXPECT_EQ(out.size(), static_cast<std::size_t>(m.GetCount()));
  return out;
}

CGXMapDWordToLong Make(std::initializer_list<std::pair<const DWORD, LONG>> init) {
  CGXMapDWordToLong m;
  for (auto& [k, v] : init) m.SetAt(k, v);
  return m;
}

TEST(CGXMapDWordToLong, InsertAndRemoveKeys) {
  auto m = Make({{2, 50}, {3, 60}});
  m.InsertKeys(3, 2);
  EXPECT_EQ(Entries(m), (std::map<DWORD, LONG>{{2, 50}, {5, 60}}));

  auto w = Make({{2, 50}, {3, 60}, {5, 70}});
  w.RemoveKeys(3, 4);
  EXPECT_EQ(Entries(w), (std::map<DWORD, LONG>{{2, 50}, {3, 70}}));
}

TEST(CGXMapDWordToLong, MoveKeysDownAndUp) {
  // Rows 2..3 move so that they start at row 5: 4,5,6 close up to 2,3,4.
  auto m = Make({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}});
  m.MoveKeys(2, 3, 5);
  EXPECT_EQ(Entries(m), (std::map<DWORD, LONG>{{1, 1}, {2, 4}, {3, 5}, {4, 6}, {5, 2}, {6, 3}, {7, 7}}));

  // Rows 5..6 move up to row 2.
  auto u = Make({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}});
  u.MoveKeys(5, 6, 2);
  EXPECT_EQ(Entries(u), (std::map<DWORD, LONG>{{1, 1}, {2, 5}, {3, 6}, {4, 2}, {5, 3}, {6, 4}, {7, 7}}));

  auto same = Make({{3, 3}});
  same.MoveKeys(3, 3, 3);
  EXPECT_EQ(Entries(same), (std::map<DWORD, LONG>{{3, 3}}));
}

TEST(CGXMapDWordToLong, IterationAndMissingKeys) {
  CGXMapDWordToLong m;
  EXPECT_EQ(m.GetStartPosition(), nullptr);
  LONG v = 7;
  EXPECT_FALSE(m.Lookup(3, v));
  EXPECT_EQ(v, 7);
  EXPECT_EQ(m[3], 0);  // created zero
  EXPECT_TRUE(m.Lookup(3, v));
  EXPECT_FALSE(m.RemoveKey(4));
  // Many keys in few buckets: every key is reported once.
  for (DWORD k = 0; k < 500; ++k) m.SetAt(k * 7, static_cast<LONG>(k));
  EXPECT_EQ(Entries(m).size(), 501u);  // with key 3

  CGXMapDWordToLong copy(m);
  EXPECT_EQ(Entries(copy), Entries(m));
}

TEST(GxHashMap, LastRemovalCanReleaseBlocks) {
  gx::HashMap<DWORD, int, gx::RowColHash> m;
  m[5] = 1;
  EXPECT_EQ(m.GetBlockCount(), 1u);
  EXPECT_TRUE(m.RemoveKey(5, true));
  EXPECT_EQ(m.GetBlockCount(), 0u);
  EXPECT_EQ(m.GetStartPosition(), nullptr);
}

}  // namespace

#include "grid/core/CMapNdxToOb.h"

namespace {

TEST(CGXMapByte8ToPtr, RemovingTheOnlyKeyFreesTheBlocks) {
  CGXMapByte8ToPtr m;
  int x = 0;
  m.SetAt({1, 2}, &x);
  EXPECT_EQ(m.GetBlockCount(), 1u);
  EXPECT_TRUE(m.RemoveKey({1, 2}));
  EXPECT_EQ(m.GetBlockCount(), 0u);
}

TEST(CMapNdxToOb, CellsAreDistinctKeys) {
  CGXMapCellToOb m;
  CGXMapDWordToLong a, b;
  m.SetAt(1, 2, &a);
  m.SetAt(2, 1, &b);
  CObject* o = nullptr;
  ASSERT_TRUE(m.Lookup(1, 2, o));
  EXPECT_EQ(o, &a);
  ASSERT_TRUE(m.Lookup(2, 1, o));
  EXPECT_EQ(o, &b);
  EXPECT_FALSE(m.Lookup(1, 1, o));
  EXPECT_EQ(m.GetCount(), 2);
}

}  // namespace

#include "grid/core/CGXPluginComponent.h"
#include "grid/core/CGXSortInfoArray.h"
#include "platform/window/windowapi.h"

namespace {

TEST(CGXSortInfoArray, GrowsZeroFilledAndFrees) {
  CGXSortInfoArray a;
  a.SetSize(1);
  ASSERT_EQ(a.GetSize(), 1);
  EXPECT_EQ(a[0].nRC, 0u);
  EXPECT_EQ(a[0].sortOrder, 0u);
  a[0].nRC = 7;
  a.SetSize(3);
  EXPECT_EQ(a[0].nRC, 7u);
  EXPECT_EQ(a[2].sortType, 0u);
  a.SetSize(0);
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(a.GetCapacity(), 0);
}

TEST(CGXPluginComponent, BorrowsTheGridWindow) {
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "GXPluginTestWnd";
  RegisterClass(&wc);
  HWND grid = CreateWindowEx(0, "GXPluginTestWnd", "grid", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_NE(grid, nullptr);
  auto* plugin = new CGXPluginComponent;
  EXPECT_TRUE(plugin->PlugIn(CWnd::FromHandle(grid)));
  EXPECT_EQ(plugin->m_hWnd, grid);
  plugin->m_bExitMessage = plugin->m_bSkipDefault = TRUE;
  plugin->HandleMessage(WM_TIMER, 1, 0, nullptr);
  EXPECT_FALSE(plugin->m_bExitMessage);
  EXPECT_FALSE(plugin->m_bSkipDefault);
  delete plugin;
  EXPECT_TRUE(IsWindow(grid));  // the grid window lives on
  DestroyWindow(grid);
  CWnd::DeleteTempMap();
}

}  // namespace
