// Creation and destruction sequences, handles, classes, relations, subclassing, geometry and placement.
#include <cstring>

#include "platform/base/SystemError.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/Painter.h"
#include "platform/window/WindowManager.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

class Lifetime : public WindowTest {};

TEST_F(Lifetime, ChildCreationSendsTheClassicSequenceAndNotifiesTheParent) {
  HWND top = Top();
  ClearLog();
  HWND child = Child(top, 7, {10, 20, 110, 70});
  ASSERT_TRUE(IsWindow(child));
  EXPECT_MESSAGES(Log(child), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW);
  auto notes = Entries(top, WM_PARENTNOTIFY);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(LOWORD(notes[0].wParam), WM_CREATE);
  EXPECT_EQ(HIWORD(notes[0].wParam), 7);
  EXPECT_EQ(reinterpret_cast<HWND>(notes[0].lParam), child);
  auto size = Entries(child, WM_SIZE);
  EXPECT_EQ(size[0].lParam, MAKELPARAM(100, 50));
  auto move = Entries(child, WM_MOVE);
  EXPECT_EQ(move[0].lParam, MAKELPARAM(10, 20));

  ClearLog();
  HWND quiet = Child(top, 8, {0, 0, 10, 10}, WS_CHILD, "TestWnd", WS_EX_NOPARENTNOTIFY);
  EXPECT_TRUE(Entries(top, WM_PARENTNOTIFY).empty());
  EXPECT_MESSAGES(Log(quiet), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE);
}

TEST_F(Lifetime, VisibleTopLevelWindowIsActivatedAndFocused) {
  HWND top = Top();
  EXPECT_MESSAGES(Log(top), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_NCACTIVATE,
                  WM_ACTIVATE, WM_SETFOCUS);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetFocus(), top);
}

TEST_F(Lifetime, DestructionGoesParentFirstThenChildrenAndNcDestroyLast) {
  HWND top = Top();
  HWND a = Child(top, 1, {0, 0, 50, 50});
  HWND a1 = Child(a, 11, {0, 0, 10, 10});
  HWND b = Child(top, 2, {60, 0, 100, 50});
  ClearLog();
  ASSERT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> seq;
  for (const Logged& l : All())
    if (l.msg == WM_DESTROY || l.msg == WM_NCDESTROY) seq.emplace_back(l.hwnd, l.msg);
  std::vector<std::pair<HWND, UINT>> expected = {
      {top, WM_DESTROY},    {a, WM_DESTROY},    {a1, WM_DESTROY},  {b, WM_DESTROY},
      {a1, WM_NCDESTROY},   {a, WM_NCDESTROY},  {b, WM_NCDESTROY}, {top, WM_NCDESTROY},
  };
  EXPECT_EQ(seq, expected);
  for (HWND h : {top, a, a1, b}) EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Lifetime, ChildDestructionNotifiesParentAndHandsFocusBack) {
  HWND top = Top();
  HWND child = Child(top, 3, {0, 0, 50, 50});
  SetFocus(child);
  ClearLog();
  DestroyWindow(child);
  auto notes = Entries(top, WM_PARENTNOTIFY);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(LOWORD(notes[0].wParam), WM_DESTROY);
  EXPECT_EQ(GetFocus(), top);
  // The parent's WM_PARENTNOTIFY comes first, then the child loses the focus before its WM_DESTROY.
  EXPECT_MESSAGES(Log(child), WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY);
}

TEST_F(Lifetime, StaleHandlesAnswerClassicFailureValues) {
  HWND top = Top();
  HWND child = Child(top, 5, {0, 0, 10, 10});
  DestroyWindow(child);
  // A new window may reuse the slot, but never answers to the old handle.
  HWND again = Child(top, 6, {0, 0, 10, 10});
  ASSERT_NE(again, child);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(SendMessage(child, WM_USER, 1, 2), 0);
  EXPECT_FALSE(PostMessage(child, WM_USER, 0, 0));
  EXPECT_EQ(GetWindowLongPtr(child, GWLP_ID), 0);
  RECT r{1, 1, 1, 1};
  EXPECT_FALSE(GetWindowRect(child, &r));
  EXPECT_EQ(GetParent(child), nullptr);
  EXPECT_EQ(GetDlgCtrlID(child), 0);
  EXPECT_FALSE(DestroyWindow(child));
  EXPECT_EQ(SetFocus(child), nullptr);
  EXPECT_EQ(GetFocus(), top);
  EXPECT_EQ(GetDlgItem(top, 5), nullptr);
  EXPECT_EQ(GetDlgItem(top, 6), again);
  SetLastError(0);
  EXPECT_EQ(GetWindowTextLength(child), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtr(top, 4000), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

TEST_F(Lifetime, WindowDestroyedInsideItsOwnHandlerStaysReadableUntilItReturns) {
  HWND top = Top();
  HWND child = Child(top, 1, {0, 0, 10, 10});
  bool stillValidInside = true;
  std::string textAfter;
  On(child, [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_USER) return std::nullopt;
    DestroyWindow(h);
    stillValidInside = IsWindow(h);
    // The object is kept alive: the default procedure may still be called without harm.
    char buf[16] = "x";
    GetWindowText(h, buf, sizeof buf);
    textAfter = buf;
    return 42;
  });
  EXPECT_EQ(SendMessage(child, WM_USER, 0, 0), 42);
  EXPECT_FALSE(stillValidInside);
  EXPECT_EQ(textAfter, "");
  EXPECT_FALSE(IsWindow(child));
}

TEST_F(Lifetime, CreateFailsCleanlyWhenCreateRefuses) {
  HWND top = Top();
  HWND refused = nullptr;
  // The handler refuses creation for the next window it sees.
  WNDCLASS wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_CREATE) return -1;
    return DefWindowProc(h, m, w, l);
  };
  wc.lpszClassName = "Refuser";
  ASSERT_NE(RegisterClass(&wc), 0);
  refused = Child(top, 9, {0, 0, 5, 5}, WS_CHILD | WS_VISIBLE, "Refuser");
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(GetDlgItem(top, 9), nullptr);
  EXPECT_EQ(Child(top, 9, {0, 0, 5, 5}, WS_CHILD, "NoSuchClass"), nullptr);
  EXPECT_EQ(Child(nullptr, 9, {0, 0, 5, 5}), nullptr);  // a child needs a parent
}

TEST_F(Lifetime, ChildrenKeepCreationOrderForWalksAndIds) {
  HWND top = Top();
  HWND c1 = Child(top, 1, {0, 0, 5, 5});
  HWND c2 = Child(top, 2, {0, 0, 5, 5});
  HWND c3 = Child(top, 3, {0, 0, 5, 5});
  EXPECT_EQ(GetWindow(top, GW_CHILD), c1);
  EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), c2);
  EXPECT_EQ(GetWindow(c2, GW_HWNDNEXT), c3);
  EXPECT_EQ(GetWindow(c3, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(c3, GW_HWNDPREV), c2);
  EXPECT_EQ(GetDlgItem(top, 2), c2);
  EXPECT_EQ(GetDlgCtrlID(c3), 3);
  EXPECT_EQ(GetParent(c2), top);
  EXPECT_TRUE(IsChild(top, c2));
  EXPECT_FALSE(IsChild(c2, top));
  std::vector<HWND> seen;
  EnumChildWindows(top, [](HWND h, LPARAM l) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{c1, c2, c3}));
  // Moving one to the top of the Z order changes the walk, not the ids.
  SetWindowPos(c3, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c3);
  SetWindowPos(c3, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c1);
}

TEST_F(Lifetime, ClassesMatchIgnoringCaseAndGuardTheirWindows) {
  WNDCLASS info{};
  ASSERT_TRUE(GetClassInfo(nullptr, "testwnd", &info));
  EXPECT_STREQ(info.lpszClassName, "TestWnd");
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100}, "TESTWND");
  ASSERT_TRUE(IsWindow(top));
  char name[32];
  EXPECT_EQ(GetClassName(top, name, sizeof name), 7);
  EXPECT_STREQ(name, "TestWnd");
  WNDCLASS dup{};
  dup.lpfnWndProc = DefWindowProc;
  dup.lpszClassName = "testWND";
  EXPECT_EQ(RegisterClass(&dup), 0);                 // same instance, same name
  EXPECT_FALSE(UnregisterClass("TestWnd", nullptr));  // in use
  DestroyWindow(top);
  EXPECT_TRUE(UnregisterClass("TestWnd", nullptr));
  EXPECT_FALSE(GetClassInfo(nullptr, "TestWnd", &info));

  // A global class is found from any instance.
  HINSTANCE module = reinterpret_cast<HINSTANCE>(0x1234);
  WNDCLASS global{};
  global.style = CS_GLOBALCLASS | CS_DBLCLKS;
  global.lpfnWndProc = DefWindowProc;
  global.hInstance = module;
  global.lpszClassName = "GXWND";
  ASSERT_NE(RegisterClass(&global), 0);
  ASSERT_TRUE(GetClassInfo(reinterpret_cast<HINSTANCE>(0x9999), "gxwnd", &info));
  EXPECT_EQ(info.style, CS_GLOBALCLASS | CS_DBLCLKS);

  // Classes are also known by their atom.
  WNDCLASS byAtom{};
  byAtom.lpfnWndProc = DefWindowProc;
  byAtom.lpszClassName = "AtomClass";
  ATOM atom = RegisterClass(&byAtom);
  ASSERT_NE(atom, 0);
  HWND w = CreateWindowEx(0, MAKEINTRESOURCE(atom), "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(IsWindow(w));
  EXPECT_EQ(GetClassName(w, name, sizeof name), 9);
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClass(MAKEINTRESOURCE(atom), nullptr));
  EXPECT_FALSE(GetClassInfo(nullptr, "AtomClass", &info));
}

LRESULT g_lastSubclassed = 0;
WNDPROC g_oldProc = nullptr;
LRESULT SubclassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) {
    g_lastSubclassed = static_cast<LRESULT>(w);
    return 100 + CallWindowProc(g_oldProc, h, m, w, l);
  }
  return CallWindowProc(g_oldProc, h, m, w, l);
}

TEST_F(Lifetime, SubclassingChainsToTheOldProcedureAndUndoes) {
  HWND top = Top();
  On(top, [](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_USER + 1) return static_cast<LRESULT>(w * 2);
    return std::nullopt;
  });
  g_oldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  ASSERT_NE(g_oldProc, nullptr);
  EXPECT_EQ(GetWindowLongPtr(top, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(SubclassProc));
  EXPECT_EQ(SendMessage(top, WM_USER + 1, 5, 0), 110);
  EXPECT_EQ(g_lastSubclassed, 5);
  // Un-subclass: the original answers alone again.
  SetWindowLongPtr(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_oldProc));
  g_lastSubclassed = 0;
  EXPECT_EQ(SendMessage(top, WM_USER + 1, 5, 0), 10);
  EXPECT_EQ(g_lastSubclassed, 0);
}

TEST_F(Lifetime, StyleChangesAreAnnouncedBeforeAndAfter) {
  HWND top = Top();
  HWND child = Child(top, 1, {0, 0, 10, 10});
  ClearLog();
  LONG old = GetWindowLong(child, GWL_STYLE);
  SetWindowLong(child, GWL_STYLE, old | WS_TABSTOP);
  EXPECT_MESSAGES(Log(child), WM_STYLECHANGING, WM_STYLECHANGED);
  auto changed = Entries(child, WM_STYLECHANGED);
  EXPECT_EQ(static_cast<int>(changed[0].wParam), GWL_STYLE);
  EXPECT_TRUE(GetWindowLong(child, GWL_STYLE) & WS_TABSTOP);
  SetWindowLongPtr(child, GWLP_USERDATA, 0x5150);
  EXPECT_EQ(GetWindowLongPtr(child, GWLP_USERDATA), 0x5150);
}

TEST_F(Lifetime, WindowTextGoesThroughMessages) {
  HWND top = Top();
  ClearLog();
  SetWindowText(top, "Caption");
  char buf[5];
  EXPECT_EQ(GetWindowText(top, buf, sizeof buf), 4);
  EXPECT_STREQ(buf, "Capt");
  EXPECT_EQ(GetWindowTextLength(top), 7);
  EXPECT_MESSAGES(Log(top, false), WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH);
}

TEST_F(Lifetime, OwnedPopupsDieWithTheirOwner) {
  HWND owner = Top();
  HWND popup = CreateWindowEx(0, "TestWnd", "popup", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, owner, nullptr,
                              nullptr, nullptr);
  ASSERT_TRUE(IsWindow(popup));
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
  EXPECT_EQ(GetParent(popup), owner);  // the classic quirk for popups
  ClearLog();
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(popup));
  std::vector<HWND> destroyOrder;
  for (const Logged& l : All())
    if (l.msg == WM_DESTROY) destroyOrder.push_back(l.hwnd);
  EXPECT_EQ(destroyOrder, (std::vector<HWND>{popup, owner}));
}

// An owned window (a print preview, a dialog) stays above its owner: the owner brought to the top, by activation
// or by SetWindowPos, takes its owned windows (and theirs) up with it, in their order.
TEST_F(Lifetime, OwnedWindowsStayAboveTheirOwner) {
  HWND owner = Top();
  HWND owned = CreateWindowEx(0, "TestWnd", "owned", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, owner, nullptr, nullptr,
                              nullptr);
  HWND ownedByOwned = CreateWindowEx(0, "TestWnd", "second", WS_POPUP | WS_VISIBLE, 20, 20, 50, 50, owned, nullptr,
                                     nullptr, nullptr);
  HWND other = Top();
  ASSERT_EQ(GetTopWindow(nullptr), other);
  SetActiveWindow(owner);
  EXPECT_EQ(GetTopWindow(nullptr), ownedByOwned);
  EXPECT_EQ(GetWindow(ownedByOwned, GW_HWNDNEXT), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
  SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetTopWindow(nullptr), ownedByOwned);
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
}

// ---- Geometry ---------------------------------------------------------------------------------------------

TEST_F(Lifetime, ClientAreaFollowsFrameStylesAndScrollBars) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
  struct Case {
    DWORD style, ex;
    RECT client;
  } cases[] = {
      {WS_CHILD, 0, {0, 0, 100, 80}},
      {WS_CHILD | WS_BORDER, 0, {0, 0, 98, 78}},
      {WS_CHILD, WS_EX_CLIENTEDGE, {0, 0, 96, 76}},
      {WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, {0, 0, 94, 74}},
      {WS_CHILD, WS_EX_STATICEDGE, {0, 0, 98, 78}},
      {WS_CHILD | WS_VSCROLL, 0, {0, 0, 83, 80}},
      {WS_CHILD | WS_HSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE, {0, 0, 79, 59}},
      {WS_CHILD | WS_CAPTION, 0, {0, 0, 94, 56}},
      {WS_CHILD | WS_THICKFRAME | WS_CAPTION, 0, {0, 0, 92, 54}},
  };
  for (const Case& c : cases) {
    HWND h = Child(top, 1, {5, 5, 105, 85}, c.style, "TestWnd", c.ex);
    RECT r;
    GetClientRect(h, &r);
    EXPECT_TRUE(EqualRect(&r, &c.client)) << std::hex << c.style << " " << c.ex << ": " << std::dec << r.right
                                          << "x" << r.bottom;
    RECT adjusted = {0, 0, c.client.right, c.client.bottom};
    if (!(c.style & (WS_VSCROLL | WS_HSCROLL))) {
      AdjustWindowRectEx(&adjusted, c.style, FALSE, c.ex);
      EXPECT_EQ(adjusted.right - adjusted.left, 100);
      EXPECT_EQ(adjusted.bottom - adjusted.top, 80);
    }
    DestroyWindow(h);
  }
}

TEST_F(Lifetime, PointsMapThroughNestedClientAreas) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_BORDER, {100, 50, 400, 350});
  HWND a = Child(top, 1, {10, 20, 200, 200}, WS_CHILD | WS_VISIBLE, "TestWnd", WS_EX_CLIENTEDGE);
  HWND b = Child(a, 2, {5, 5, 50, 50});
  POINT p{3, 4};
  ClientToScreen(b, &p);
  // top client at (101,51); a at +10,+20 with a 2-pixel edge; b at +5,+5.
  EXPECT_EQ(p.x, 101 + 10 + 2 + 5 + 3);
  EXPECT_EQ(p.y, 51 + 20 + 2 + 5 + 4);
  ScreenToClient(a, &p);
  EXPECT_EQ(p.x, 5 + 3);
  EXPECT_EQ(p.y, 5 + 4);
  POINT q{0, 0};
  MapWindowPoints(b, top, &q, 1);
  EXPECT_EQ(q.x, 17);
  EXPECT_EQ(q.y, 27);
  RECT wr;
  GetWindowRect(b, &wr);
  EXPECT_EQ(wr.left, 118);
  EXPECT_EQ(wr.top, 78);
  POINT inB{wr.left + 1, wr.top + 1};
  EXPECT_EQ(WindowFromPoint(inB), b);
  EnableWindow(b, FALSE);
  EXPECT_EQ(WindowFromPoint(inB), a);  // a disabled child passes the point to its parent
  POINT inTop{top ? 100 + 1 + 250 : 0, 51 + 250};
  EXPECT_EQ(WindowFromPoint(inTop), top);
  POINT local{15, 25};
  EXPECT_EQ(ChildWindowFromPoint(top, local), a);
}

TEST_F(Lifetime, SetWindowPosSendsChangeMessagesForWhatChanged) {
  HWND top = Top();
  HWND child = Child(top, 1, {0, 0, 100, 100});
  ClearLog();
  SetWindowPos(child, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_MESSAGES(Log(child), WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE);
  ClearLog();
  SetWindowPos(child, nullptr, 0, 0, 50, 60, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_MESSAGES(Log(child), WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE);
  EXPECT_EQ(Entries(child, WM_SIZE)[0].lParam, MAKELPARAM(50, 60));
  ClearLog();
  MoveWindow(child, 1, 2, 30, 40, TRUE);
  EXPECT_MESSAGES(Log(child), WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE);
  RECT r;
  GetWindowRect(child, &r);
  POINT o{0, 0};
  ClientToScreen(top, &o);
  EXPECT_EQ(r.left - o.x, 1);
  EXPECT_EQ(r.bottom - r.top, 40);

  // A handler may change the placement while it is being decided.
  On(child, [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(l)->cx = 77;
    return std::nullopt;
  });
  MoveWindow(child, 1, 2, 30, 40, TRUE);
  GetClientRect(child, &r);
  EXPECT_EQ(r.right, 77);
}

TEST_F(Lifetime, DeferredPositionsApplyAtTheEndInOrder) {
  HWND top = Top();
  HWND a = Child(top, 1, {0, 0, 10, 10});
  HWND b = Child(top, 2, {0, 0, 10, 10});
  HDWP dwp = BeginDeferWindowPos(2);
  dwp = DeferWindowPos(dwp, a, nullptr, 5, 5, 20, 20, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, b, nullptr, 30, 5, 20, 20, SWP_NOZORDER);
  RECT r;
  GetClientRect(a, &r);
  EXPECT_EQ(r.right, 10);  // nothing moved yet
  ClearLog();
  ASSERT_TRUE(EndDeferWindowPos(dwp));
  GetClientRect(b, &r);
  EXPECT_EQ(r.right, 20);
  std::vector<HWND> order;
  for (const Logged& l : All())
    if (l.msg == WM_SIZE) order.push_back(l.hwnd);
  EXPECT_EQ(order, (std::vector<HWND>{a, b}));
}

TEST_F(Lifetime, ShowWindowReturnsThePreviousVisibility) {
  HWND top = Top();
  HWND child = Child(top, 1, {0, 0, 10, 10}, WS_CHILD);
  ClearLog();
  EXPECT_FALSE(ShowWindow(child, SW_SHOW));
  EXPECT_TRUE(ShowWindow(child, SW_SHOW));
  EXPECT_TRUE(ShowWindow(child, SW_HIDE));
  EXPECT_FALSE(ShowWindow(child, SW_HIDE));
  auto shows = Entries(child, WM_SHOWWINDOW);
  ASSERT_EQ(shows.size(), 2u);
  EXPECT_EQ(shows[0].wParam, static_cast<WPARAM>(TRUE));
  EXPECT_EQ(shows[1].wParam, static_cast<WPARAM>(FALSE));
  ShowWindow(child, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  ShowWindow(top, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(child));  // visibility needs every ancestor visible
  EXPECT_TRUE(GetWindowLong(child, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Lifetime, ControlsOwnTheirFrameThroughNcCalcSizeAndHitTest) {
  WNDCLASS wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    // A 3-pixel frame of its own, answered as HTBORDER, as the grid and the edit cells do.
    if (m == WM_NCCALCSIZE) {
      RECT* r = reinterpret_cast<RECT*>(l);
      InflateRect(r, -3, -3);
      return 0;
    }
    if (m == WM_NCHITTEST) {
      LRESULT hit = DefWindowProc(h, m, w, l);
      return hit == HTNOWHERE ? HTBORDER : hit;
    }
    return DefWindowProc(h, m, w, l);
  };
  wc.cbWndExtra = 16;
  wc.cbClsExtra = 8;
  wc.lpszClassName = "OwnFrame";
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND top = Top(WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND c = Child(top, 1, {10, 10, 60, 40}, WS_CHILD | WS_VISIBLE, "OwnFrame");
  RECT r;
  GetClientRect(c, &r);
  EXPECT_EQ(r.right, 44);
  EXPECT_EQ(r.bottom, 24);
  EXPECT_EQ(SendMessage(c, WM_NCHITTEST, 0, MAKELPARAM(11, 11)), HTBORDER);
  EXPECT_EQ(SendMessage(c, WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTCLIENT);
  // A frame change asks again, and the size change comes with WM_SIZE.
  MoveWindow(c, 10, 10, 70, 40, TRUE);
  GetClientRect(c, &r);
  EXPECT_EQ(r.right, 64);
  // Window and class extra bytes start zeroed and keep what is stored.
  EXPECT_EQ(GetWindowLongPtr(c, 8), 0);
  SetWindowLongPtr(c, 8, 0x1234);
  EXPECT_EQ(GetWindowLongPtr(c, 8), 0x1234);
  EXPECT_EQ(GetWindowLongPtr(c, 9), 0x12);  // a 32-bit read where a pointer-sized one does not fit
  EXPECT_EQ(GetWindowLongPtr(c, 13), 0);    // past the end: refused
  EXPECT_EQ(SetClassLongPtr(c, 0, 77), 0u);
  EXPECT_EQ(GetClassLongPtr(c, 0), 77u);
}

TEST_F(Lifetime, TopmostWindowsStayAboveTheOthers) {
  HWND pinned = Top(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10}, "TestWnd", WS_EX_TOPMOST);
  HWND later = Top(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  EXPECT_EQ(GetTopWindow(nullptr), pinned);  // created later, but not above a topmost window
  EXPECT_EQ(GetWindow(pinned, GW_HWNDNEXT), later);
  SetWindowPos(later, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), later);
  EXPECT_TRUE(GetWindowLong(later, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(later, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), pinned);
  EXPECT_EQ(GetWindow(pinned, GW_HWNDNEXT), later);
}

TEST_F(Lifetime, RegisteredMessagesShareOneNumberPerName) {
  UINT a = RegisterWindowMessage("commdlg_FindReplace");
  UINT b = RegisterWindowMessage("COMMDLG_FINDREPLACE");
  UINT c = RegisterWindowMessage("Another");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

}  // namespace
}  // namespace plat::test

namespace plat::test {
namespace {

class DesktopChild : public WindowTest {};

// A bar like a drop-down list's header: a child of the desktop over a topmost popup.
TEST_F(DesktopChild, LiesInScreenCoordinatesAboveTopLevelWindowsAndIsComposedAndHitLikeThem) {
  HWND popup = Top(WS_POPUP | WS_VISIBLE, {100, 100, 300, 200});
  ASSERT_TRUE(SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  HWND bar = CreateWindowEx(WS_EX_TOOLWINDOW, "TestWnd", "", WS_CHILD, 150, 80, 100, 40, GetDesktopWindow(), nullptr,
                            nullptr, nullptr);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetParent(bar), GetDesktopWindow());
  auto fill = [](COLORREF colour) {
    return [colour](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg != WM_PAINT) return std::nullopt;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT client;
      GetClientRect(h, &client);
      HBRUSH brush = CreateSolidBrush(colour);
      FillRect(dc, &client, brush);
      DeleteObject(brush);
      EndPaint(h, &ps);
      return 0;
    };
  };
  On(bar, fill(RGB(255, 0, 0)));
  On(popup, fill(RGB(0, 0, 255)));
  ShowWindow(bar, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), popup);  // showing it activates nothing
  RECT r;
  GetWindowRect(bar, &r);
  EXPECT_EQ(CRect(r), CRect(150, 80, 250, 120));
  EXPECT_EQ(WindowFromPoint({160, 110}), bar);
  EXPECT_EQ(WindowFromPoint({160, 130}), popup);
  // The popup brought to the top of the topmost windows again stays under the bar.
  ASSERT_TRUE(SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW));
  EXPECT_EQ(WindowFromPoint({160, 110}), bar);
  UpdateWindow(popup);
  UpdateWindow(bar);
  auto screen = Painter::ScreenSnapshot();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(colorFromPixel(screen->pixel(160, 110)) & 0xFFFFFF, RGB(255, 0, 0));
  EXPECT_EQ(colorFromPixel(screen->pixel(160, 130)) & 0xFFFFFF, RGB(0, 0, 255));
  // Moved in screen coordinates, hidden and destroyed like a top-level window.
  ASSERT_TRUE(SetWindowPos(bar, nullptr, 120, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
  EXPECT_EQ(WindowFromPoint({125, 155}), bar);
  ShowWindow(bar, SW_HIDE);
  EXPECT_EQ(WindowFromPoint({125, 155}), popup);
  EXPECT_TRUE(DestroyWindow(bar));
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_TRUE(IsWindow(popup));
}

}  // namespace
}  // namespace plat::test
