#include "platform/window/tests/WindowTestSupport.h"

#include "platform/base/VirtualClock.h"
#include "platform/window/MessageSpy.h"
#include "platform/window/Pump.h"

namespace plat::test {

namespace {

std::vector<Logged> g_log;
std::map<HWND, Handler> g_handlers;

LRESULT TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  g_log.push_back({hwnd, msg, wParam, lParam});
  auto it = g_handlers.find(hwnd);
  if (it != g_handlers.end() && it->second) {
    Handler h = it->second;  // the handler may replace itself
    if (auto r = h(hwnd, msg, wParam, lParam)) return *r;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

bool Noise(UINT m) {
  return m == WM_NCHITTEST || m == WM_SETCURSOR || m == WM_GETTEXT || m == WM_GETTEXTLENGTH ||
         m == WM_NCPAINT || m == WM_ERASEBKGND || m == WM_PAINT || m == WM_CTLCOLORSCROLLBAR;
}

}  // namespace

void WindowTest::SetUp() {
  ResetWindowSystem();
  VirtualClock::Reset();
  g_log.clear();
  g_handlers.clear();
  WNDCLASS wc{};
  wc.lpfnWndProc = TestProc;
  wc.lpszClassName = "TestWnd";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_NE(RegisterClass(&wc), 0);
  wc.style = CS_DBLCLKS;
  wc.lpszClassName = "TestDblWnd";
  ASSERT_NE(RegisterClass(&wc), 0);
}

void WindowTest::TearDown() {
  ResetWindowSystem();
  g_handlers.clear();
  g_log.clear();
}

HWND WindowTest::Top(DWORD style, RECT r, const char* cls, DWORD exStyle) {
  return CreateWindowEx(exStyle, cls, "top", style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                        nullptr, nullptr, nullptr);
}

HWND WindowTest::Child(HWND parent, int id, RECT r, DWORD style, const char* cls, DWORD exStyle) {
  return CreateWindowEx(exStyle, cls, "child", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

std::vector<UINT> WindowTest::Log(HWND hwnd, bool skipNoise) const {
  std::vector<UINT> out;
  for (const Logged& l : g_log)
    if (l.hwnd == hwnd && (!skipNoise || !Noise(l.msg))) out.push_back(l.msg);
  return out;
}

std::vector<Logged> WindowTest::Entries(HWND hwnd, UINT msg) const {
  std::vector<Logged> out;
  for (const Logged& l : g_log)
    if (l.hwnd == hwnd && l.msg == msg) out.push_back(l);
  return out;
}

std::vector<Logged>& WindowTest::All() const { return g_log; }

void WindowTest::ClearLog() const { g_log.clear(); }

void WindowTest::On(HWND hwnd, Handler handler) { g_handlers[hwnd] = std::move(handler); }

std::string Names(const std::vector<UINT>& messages) {
  std::string out;
  for (UINT m : messages) out += MessageName(m) + " ";
  return out;
}

}  // namespace plat::test

// Fontconfig keeps its configuration cache for the life of the process; LeakSanitizer reports it at exit.
// It is not ours to free, so it is suppressed here rather than hidden by turning leak checks off.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
