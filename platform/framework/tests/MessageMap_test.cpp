// CWnd binding, message maps, reflection, pre-translation and self-deleting windows.
#include <string>
#include <vector>

#include "platform/base/CException.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/WindowMap.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/window/InputRouter.h"

namespace plat::test {
namespace {

std::vector<std::string> g_calls;

void RegisterPlainClass() {
  WNDCLASS wc{};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "FwPlain";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(&wc);
}

class CBaseWnd : public CWnd {
 public:
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    g_calls.push_back(std::string("create ") + cs->lpszName);
    return CWnd::OnCreate(cs);
  }
  afx_msg void OnSize(UINT type, int cx, int cy) {
    g_calls.push_back("size " + std::to_string(type) + " " + std::to_string(cx) + "x" + std::to_string(cy));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
END_MESSAGE_MAP()

UINT g_registered = 0;

class CDerivedWnd : public CBaseWnd {
 public:
  afx_msg void OnLButtonDown(UINT flags, CPoint p) {
    g_calls.push_back("down " + std::to_string(flags) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
  }
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags) {
    g_calls.push_back("key " + std::to_string(key) + " " + std::to_string(repeat) + " " + std::to_string(flags & 0xFF));
  }
  afx_msg void OnOne() { g_calls.push_back("cmd one"); }
  afx_msg void OnRange(UINT id) { g_calls.push_back("range " + std::to_string(id)); }
  afx_msg void OnChange() { g_calls.push_back("change"); }
  afx_msg void OnPicked(NMHDR* header, LRESULT* result) {
    g_calls.push_back("notify " + std::to_string(header->idFrom));
    *result = 42;
  }
  afx_msg LRESULT OnUser(WPARAM w, LPARAM l) {
    g_calls.push_back("user " + std::to_string(w) + " " + std::to_string(l));
    return 7;
  }
  afx_msg LRESULT OnRegistered(WPARAM w, LPARAM) {
    g_calls.push_back("registered " + std::to_string(w));
    return 9;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_COMMAND(100, OnOne)
  ON_COMMAND_RANGE(200, 205, OnRange)
  ON_EN_CHANGE(300, OnChange)
  ON_NOTIFY(NM_DBLCLK, 400, OnPicked)
  ON_MESSAGE(WM_USER + 5, OnUser)
  ON_REGISTERED_MESSAGE(g_registered, OnRegistered)
END_MESSAGE_MAP()

class MessageMapTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterPlainClass();
    g_calls.clear();
    g_registered = RegisterWindowMessage("FwTestRegistered");
  }
};

TEST_F(MessageMapTest, TypedHandlersOfClassAndBasesRunFromCreationOn) {
  CDerivedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "FwPlain", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr));
  // WM_CREATE reached the object: it was bound before the first message.
  ASSERT_GE(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0], "create main");
  EXPECT_EQ(g_calls[1].substr(0, 7), "size 0 ");
  EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

  g_calls.clear();
  SetFocus(wnd);
  InputRouter::Instance().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(wnd, 12, 34));
  InputRouter::Instance().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(wnd, 12, 34));
  Key(VK_F2);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0], "down 1 12,34");
  EXPECT_EQ(g_calls[1], "key 113 1 60");  // scan code of F2 in the low byte of the flags

  // Unmapped messages reach the default procedure.
  wnd.SetWindowText("renamed");
  CString text;
  wnd.GetWindowText(text);
  EXPECT_EQ(text, "renamed");
}

TEST_F(MessageMapTest, CommandsNotificationsAndUserMessagesFindTheirEntries) {
  CDerivedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "FwPlain", "w", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
  g_calls.clear();
  EXPECT_EQ(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0), 0), 1);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(203, 0), 0);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(206, 0), 0);  // outside the range: nobody
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(300, EN_CHANGE), 0);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(300, EN_UPDATE), 0);  // another code: nobody
  NMHDR header{nullptr, 400, NM_DBLCLK};
  EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 400, reinterpret_cast<LPARAM>(&header)), 42);
  EXPECT_EQ(wnd.SendMessage(WM_USER + 5, 3, 4), 7);
  EXPECT_EQ(wnd.SendMessage(g_registered, 8, 0), 9);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"cmd one", "range 203", "change", "notify 400", "user 3 4", "registered 8"}));
}

// A control class of the module that handles its own click (reflection) and one that declines.
class CSelfClick : public CWnd {
 public:
  explicit CSelfClick(BOOL handled) : handled_(handled) {}
  afx_msg BOOL OnClicked() {
    g_calls.push_back(handled_ ? "child took it" : "child saw it");
    return handled_;
  }
  afx_msg void OnNotifyReflect(NMHDR*, LRESULT* result) {
    g_calls.push_back("child notify");
    *result = 5;
  }
  DECLARE_MESSAGE_MAP()

 private:
  BOOL handled_;
};

BEGIN_MESSAGE_MAP(CSelfClick, CWnd)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_NOTIFY_REFLECT(NM_CLICK, OnNotifyReflect)
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
 public:
  afx_msg void OnClicked10() { g_calls.push_back("parent 10"); }
  afx_msg void OnClicked11() { g_calls.push_back("parent 11"); }
  afx_msg void OnNotify10(NMHDR*, LRESULT*) { g_calls.push_back("parent notify"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
  ON_BN_CLICKED(10, OnClicked10)
  ON_BN_CLICKED(11, OnClicked11)
  ON_NOTIFY(NM_CLICK, 10, OnNotify10)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, ReflectionOffersNotificationsToTheChildFirst) {
  CParentWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, "FwPlain", "p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
  CSelfClick taker(TRUE), decliner(FALSE);
  ASSERT_TRUE(taker.Create("Button", "a", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &parent, 10));
  ASSERT_TRUE(decliner.Create("Button", "b", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 30, 50, 50), &parent, 11));
  g_calls.clear();
  taker.SendMessage(BM_CLICK);
  decliner.SendMessage(BM_CLICK);
  NMHDR header{taker.m_hWnd, 10, NM_CLICK};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 10, reinterpret_cast<LPARAM>(&header)), 5);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"child took it", "child saw it", "parent 11", "child notify"}));
}

// An owner-draw control draws and measures itself: the parent's messages are reflected to it.
class COwnerDrawn : public CWnd {
 public:
  void DrawItem(LPDRAWITEMSTRUCT d) { g_calls.push_back("draw item " + std::to_string(d->CtlID)); }
  void MeasureItem(LPMEASUREITEMSTRUCT m) {
    g_calls.push_back("measure item " + std::to_string(m->CtlID));
    m->itemHeight = 21;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDrawn, CWnd)
  ON_WM_DRAWITEM_REFLECT()
  ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

class CDrawParent : public CWnd {
 public:
  afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT) { g_calls.push_back("parent draws " + std::to_string(id)); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrawParent, CWnd)
  ON_WM_DRAWITEM()
END_MESSAGE_MAP()

TEST_F(MessageMapTest, OwnerDrawMessagesReachTheControlsOwnObject) {
  CDrawParent parent;
  ASSERT_TRUE(parent.CreateEx(0, "FwPlain", "p", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
  COwnerDrawn drawn;
  ASSERT_TRUE(drawn.Create("FwPlain", "d", WS_VISIBLE, CRect(0, 0, 20, 20), &parent, 31));
  HWND plain = CreateWindowEx(0, "FwPlain", "x", WS_CHILD, 0, 30, 20, 20, parent, reinterpret_cast<HMENU>(32), nullptr,
                              nullptr);
  g_calls.clear();
  DRAWITEMSTRUCT d{4, 31, 0, 1, 0, drawn.m_hWnd, nullptr, {0, 0, 20, 20}, 0};
  parent.SendMessage(WM_DRAWITEM, 31, reinterpret_cast<LPARAM>(&d));
  DRAWITEMSTRUCT other{4, 32, 0, 1, 0, plain, nullptr, {0, 0, 20, 20}, 0};
  parent.SendMessage(WM_DRAWITEM, 32, reinterpret_cast<LPARAM>(&other));  // no object: the parent draws
  MEASUREITEMSTRUCT m{4, 31, 0, 0, 0, 0};
  parent.SendMessage(WM_MEASUREITEM, 31, reinterpret_cast<LPARAM>(&m));
  EXPECT_EQ(m.itemHeight, 21u);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"draw item 31", "parent draws 32", "measure item 31"}));
  // The Z-order sentinels carry the classic handle values.
  EXPECT_EQ(HwndOf(&CWnd::wndTopMost), HWND_TOPMOST);
  EXPECT_TRUE(drawn.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_EQ(GetWindow(GetWindow(parent, GW_CHILD), GW_HWNDNEXT), drawn.m_hWnd);
}

TEST_F(MessageMapTest, TemporaryWrappersAttachAndDetach) {
  HWND plain = CreateWindowEx(0, "FwPlain", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CWnd* temp = CWnd::FromHandle(plain);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp, CWnd::FromHandle(plain));  // one wrapper per handle until idle
  EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
  EXPECT_EQ(WindowMap::Instance().TemporaryCount(), 1u);
  AfxGetThread()->OnIdle(0);  // idle time frees the wrappers, never the windows
  EXPECT_EQ(WindowMap::Instance().TemporaryCount(), 0u);
  EXPECT_TRUE(IsWindow(plain));
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);

  CWnd owner;
  ASSERT_TRUE(owner.Attach(plain));
  EXPECT_EQ(CWnd::FromHandle(plain), &owner);
  CWnd second;
  EXPECT_FALSE(second.Attach(plain));  // one object per window
  EXPECT_EQ(owner.Detach(), plain);
  EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
  EXPECT_TRUE(IsWindow(plain));
  DestroyWindow(plain);
  EXPECT_EQ(CWnd::FromHandle(plain), nullptr);  // stale handles give nothing
}

// Subclassing an existing control: the object sees its messages first and passes the rest on.
class CKeyFilter : public CWnd {
 public:
  afx_msg void OnChar(UINT ch, UINT, UINT) {
    if (ch >= '0' && ch <= '9') Default();  // digits only
  }
  afx_msg UINT OnGetDlgCode() { return CWnd::OnGetDlgCode() | DLGC_WANTALLKEYS; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKeyFilter, CWnd)
  ON_WM_CHAR()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

TEST_F(MessageMapTest, SubclassingAnExistingControlFiltersAndUnsubclassRestores) {
  HWND parent = CreateWindowEx(0, "FwPlain", "p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  HWND edit = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, parent,
                             reinterpret_cast<HMENU>(5), nullptr, nullptr);
  CKeyFilter filter;
  CWnd parentObject;
  ASSERT_TRUE(parentObject.Attach(parent));
  ASSERT_TRUE(filter.SubclassDlgItem(5, &parentObject));
  SetFocus(edit);
  Type("a1b2");
  EXPECT_EQ(Text(edit), "12");
  EXPECT_EQ(filter.SendMessage(WM_GETDLGCODE) & (DLGC_WANTALLKEYS | DLGC_HASSETSEL), DLGC_WANTALLKEYS | DLGC_HASSETSEL);

  EXPECT_EQ(filter.UnsubclassWindow(), edit);
  Type("c");
  EXPECT_EQ(Text(edit), "12c");
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  parentObject.Detach();
}

class CThrowing : public CWnd {
 public:
  bool failCreate = false;
  int paints = 0;
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    if (failCreate) AfxThrowResourceException();
    return CWnd::OnCreate(cs);
  }
  afx_msg void OnPaint() {
    ++paints;
    AfxThrowNotSupportedException();  // painting before the engine was set up
  }
  afx_msg void OnUser() { AfxThrowUserException(); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowing, CWnd)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_COMMAND(1, OnUser)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, ExceptionsFromHandlersAreReportedAndEndThere) {
  automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, /*repeat=*/true);
  CThrowing refused;
  refused.failCreate = true;
  EXPECT_FALSE(refused.CreateEx(0, "FwPlain", "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(refused.m_hWnd, nullptr);
  ASSERT_EQ(ShownLog().size(), 1u);

  CThrowing wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "FwPlain", "w", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr));
  Pump();
  Pump();
  EXPECT_EQ(wnd.paints, 1);  // validated after the failure: no endless repainting
  ASSERT_EQ(ShownLog().size(), 2u);
  EXPECT_EQ(ShownLog()[1].request.flags, MB_ICONEXCLAMATION);
  wnd.SendMessage(WM_COMMAND, 1);  // the silent exception tells nobody
  EXPECT_EQ(ShownLog().size(), 2u);
}

int g_deleted = 0;

class CSelfDeleting : public CWnd {
 public:
  ~CSelfDeleting() override { ++g_deleted; }
  afx_msg void OnDestroy() {
    g_calls.push_back("destroy");
    CWnd::OnDestroy();
  }
  void PostNcDestroy() override {
    g_calls.push_back(m_hWnd ? "still bound" : "unbound");
    delete this;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfDeleting, CWnd)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST_F(MessageMapTest, PostNcDestroyRunsLastAndMayDeleteTheObject) {
  g_deleted = 0;
  auto* wnd = new CSelfDeleting;
  ASSERT_TRUE(wnd->CreateEx(0, "FwPlain", "self", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
  HWND hwnd = wnd->m_hWnd;
  g_calls.clear();
  DestroyWindow(hwnd);  // from outside the object, as a parent's destruction would
  EXPECT_EQ(g_calls, (std::vector<std::string>{"destroy", "unbound"}));
  EXPECT_EQ(g_deleted, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);

  // A self-deleting child goes with its parent.
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, "FwPlain", "p", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  auto* child = new CSelfDeleting;
  ASSERT_TRUE(child->Create("FwPlain", "c", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 1));
  parent.DestroyWindow();
  EXPECT_EQ(g_deleted, 2);
}

// Pre-translation walks from the window with the message up through its parents' objects.
class CTranslating : public CWnd {
 public:
  CTranslating(const char* name, int swallowKey) : name_(name), swallow_(swallowKey) {}
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_KEYDOWN) return FALSE;
    g_calls.push_back(name_ + " pre " + std::to_string(msg->wParam));
    return static_cast<int>(msg->wParam) == swallow_;
  }
  afx_msg void OnKeyDown(UINT key, UINT, UINT) { g_calls.push_back(name_ + " key " + std::to_string(key)); }
  DECLARE_MESSAGE_MAP()

 private:
  std::string name_;
  int swallow_;
};

BEGIN_MESSAGE_MAP(CTranslating, CWnd)
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST_F(MessageMapTest, PreTranslateWalksFromTheFocusUpAndMayConsume) {
  CTranslating top("top", VK_F5), middle("middle", VK_F6), leaf("leaf", 0);
  ASSERT_TRUE(top.CreateEx(0, "FwPlain", "t", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
  ASSERT_TRUE(middle.Create("FwPlain", "m", WS_VISIBLE, CRect(0, 0, 100, 100), &top, 1));
  ASSERT_TRUE(leaf.Create("FwPlain", "l", WS_VISIBLE, CRect(0, 0, 50, 50), &middle, 2));
  leaf.SetFocus();
  g_calls.clear();
  Key(VK_F5);
  Key(VK_F6);
  Key(VK_F7);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"leaf pre 116", "middle pre 116", "top pre 116",  //
                                               "leaf pre 117", "middle pre 117",                  //
                                               "leaf pre 118", "middle pre 118", "top pre 118", "leaf key 118"}));
}

}  // namespace
}  // namespace plat::test
