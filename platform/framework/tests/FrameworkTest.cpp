#include "platform/framework/tests/FrameworkTest.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "platform/base/CodePage.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/DialogManager.h"
#include "platform/base/RegistryStore.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/wingdi.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace plat::test {

namespace {

struct ControlState {
  int check = 0;
  int selStart = 0, selEnd = 0;
  int limit = 0;
  int pos = 0;
  int cur = -1;
  bool pressed = false;
  std::vector<std::string> items;
};

std::map<HWND, ControlState>& States() {
  static std::map<HWND, ControlState> states;
  return states;
}

std::map<HWND, HFONT>& Fonts() {
  static std::map<HWND, HFONT> fonts;
  return fonts;
}

std::vector<int> g_gridKeys;

DWORD Style(HWND h) { return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)); }
DWORD Kind(HWND h) { return Style(h) & BS_TYPEMASK; }

void Notify(HWND h, UINT code) {
  SendMessage(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code), reinterpret_cast<LPARAM>(h));
}

void PaintFrame(HWND h, COLORREF fill, UINT edge, UINT format) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r;
  GetClientRect(h, &r);
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  if (edge) DrawEdge(dc, &r, edge, BF_RECT);
  char text[256];
  GetWindowText(h, text, sizeof text);
  HGDIOBJ old = nullptr;
  if (Fonts().count(h) && Fonts()[h]) old = SelectObject(dc, Fonts()[h]);
  SetBkMode(dc, TRANSPARENT);
  InflateRect(&r, -3, -1);
  if ((Kind(h) != BS_PUSHBUTTON && Kind(h) != BS_DEFPUSHBUTTON) && (format & DT_SINGLELINE) && !(format & DT_CENTER))
    r.left += 14;  // room for a check box
  DrawText(dc, text, -1, &r, format);
  if (old) SelectObject(dc, old);
  EndPaint(h, &ps);
}

std::optional<LRESULT> Common(HWND h, UINT m, WPARAM w, LPARAM) {
  switch (m) {
    case WM_SETFONT: Fonts()[h] = reinterpret_cast<HFONT>(w); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(Fonts().count(h) ? Fonts()[h] : nullptr);
    case WM_NCDESTROY:
      States().erase(h);
      Fonts().erase(h);
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::vector<HWND> Siblings(HWND h) {
  std::vector<HWND> order;
  for (HWND x = GetWindow(GetParent(h), GW_CHILD); x; x = GetWindow(x, GW_HWNDNEXT)) order.push_back(x);
  return order;
}

void Click(HWND h) {
  if (!IsWindowEnabled(h) || !IsWindowVisible(h)) return;
  ControlState& s = States()[h];
  switch (Kind(h)) {
    case BS_AUTOCHECKBOX: s.check = !s.check; break;
    case BS_AUTORADIOBUTTON: {
      // Checks itself and clears the other auto radios of its group (no WS_GROUP between them).
      std::vector<HWND> order = Siblings(h);
      auto self = std::find(order.begin(), order.end(), h);
      for (auto it = order.begin(); it != order.end(); ++it) {
        if (*it == h || Kind(*it) != BS_AUTORADIOBUTTON) continue;
        auto lo = std::min(it, self), hi = std::max(it, self);
        bool same = true;
        for (auto k = lo + 1; k <= hi; ++k)
          if (Style(*k) & WS_GROUP) same = false;
        if (same) States()[*it].check = 0;
      }
      s.check = 1;
      break;
    }
    default: break;
  }
  InvalidateRect(h, nullptr, TRUE);
  Notify(h, BN_CLICKED);
}

LRESULT ButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (auto r = Common(h, m, w, l)) return *r;
  ControlState& s = States()[h];
  switch (m) {
    case WM_GETDLGCODE:
      switch (Kind(h)) {
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
      }
    case BM_GETCHECK: return s.check;
    case BM_SETCHECK:
      s.check = static_cast<int>(w);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case BM_SETSTYLE:
      SetWindowLong(h, GWL_STYLE, static_cast<LONG>((Style(h) & ~BS_TYPEMASK) | (static_cast<DWORD>(w) & BS_TYPEMASK)));
      if (l) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case BM_CLICK: Click(h); return 0;
    case WM_LBUTTONDOWN:
      SetFocus(h);
      SetCapture(h);
      s.pressed = true;
      return 0;
    case WM_LBUTTONUP: {
      bool was = s.pressed;
      s.pressed = false;
      ReleaseCapture();
      RECT r;
      GetClientRect(h, &r);
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (was && PtInRect(&r, p)) Click(h);
      return 0;
    }
    case WM_KEYUP:
      if (w == VK_SPACE) Click(h);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      const DWORD kind = Kind(h);
      const bool push = kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
      PaintFrame(h, GetSysColor(COLOR_BTNFACE), push ? EDGE_RAISED : 0,
                 push ? DT_CENTER | DT_VCENTER | DT_SINGLELINE : DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      HDC dc = GetDC(h);
      RECT r;
      GetClientRect(h, &r);
      if (!push && kind != BS_GROUPBOX) {
        RECT box{0, (r.bottom - 10) / 2, 10, (r.bottom - 10) / 2 + 10};
        FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (s.check) {
          RECT dot{3, box.top + 3, 7, box.top + 7};
          FillRect(dc, &dot, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
      }
      if (kind == BS_DEFPUSHBUTTON) FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      if (GetFocus() == h) {
        RECT f = r;
        InflateRect(&f, -3, -3);
        DrawFocusRect(dc, &f);
      }
      ReleaseDC(h, dc);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    default: return DefWindowProc(h, m, w, l);
  }
}

LRESULT EditProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (auto r = Common(h, m, w, l)) return *r;
  ControlState& s = States()[h];
  switch (m) {
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (Style(h) & ES_MULTILINE) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case EM_SETSEL:
      s.selStart = static_cast<int>(w);
      s.selEnd = static_cast<int>(l);
      return 0;
    case EM_GETSEL: return MAKELONG(s.selStart, s.selEnd);
    case EM_LIMITTEXT: s.limit = static_cast<int>(w); return 0;
    case EM_GETLIMITTEXT: return s.limit;
    case WM_LBUTTONDOWN:
      SetFocus(h);
      s.selStart = s.selEnd = GetWindowTextLength(h);  // a click places the caret at the end
      return 0;
    case WM_CHAR: {
      std::string text(static_cast<std::size_t>(GetWindowTextLength(h)) + 1, '\0');
      GetWindowText(h, text.data(), static_cast<int>(text.size()));
      text.resize(std::strlen(text.c_str()));
      if (s.selStart == 0 && s.selEnd == -1) text.clear();  // typing replaces a whole selection
      if (w == 8) {
        if (!text.empty()) text.pop_back();
      } else if (w >= ' ') {
        text += static_cast<char>(w);
      } else {
        return 0;
      }
      DefWindowProc(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      s.selStart = s.selEnd = static_cast<int>(text.size());
      InvalidateRect(h, nullptr, TRUE);
      Notify(h, EN_CHANGE);
      return 0;
    }
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, m, w, l);
      s.selStart = s.selEnd = 0;
      InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      PaintFrame(h, RGB(255, 255, 255), EDGE_SUNKEN, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      return 0;
    default: return DefWindowProc(h, m, w, l);
  }
}

LRESULT StaticProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (auto r = Common(h, m, w, l)) return *r;
  switch (m) {
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintFrame(h, GetSysColor(COLOR_BTNFACE), 0, DT_LEFT | DT_TOP); return 0;
    default: return DefWindowProc(h, m, w, l);
  }
}

int FindPrefix(const std::vector<std::string>& items, const char* text) {
  const std::size_t n = std::strlen(text);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].size() >= n && CompareNoCase1252(items[i].substr(0, n), text) == 0) return static_cast<int>(i);
  return -1;
}

LRESULT ListProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (auto r = Common(h, m, w, l)) return *r;
  ControlState& s = States()[h];
  if (m == CB_ADDSTRING || m == LB_ADDSTRING) {
    s.items.emplace_back(reinterpret_cast<const char*>(l));
    InvalidateRect(h, nullptr, TRUE);
    return static_cast<LRESULT>(s.items.size() - 1);
  }
  switch (m) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case CB_GETCURSEL:
    case LB_GETCURSEL: return s.cur;
    case CB_SETCURSEL:
    case LB_SETCURSEL: {
      int i = static_cast<int>(w);
      s.cur = i >= 0 && i < static_cast<int>(s.items.size()) ? i : -1;
      InvalidateRect(h, nullptr, TRUE);
      return i == -1 || s.cur >= 0 ? s.cur : -1;
    }
    case CB_SELECTSTRING:
    case LB_SELECTSTRING: {
      int i = FindPrefix(s.items, reinterpret_cast<const char*>(l));
      if (i >= 0) s.cur = i;
      return i;
    }
    case LB_GETTEXTLEN: return w < s.items.size() ? static_cast<LRESULT>(s.items[w].size()) : -1;
    case LB_GETTEXT:
      if (w >= s.items.size()) return -1;
      std::strcpy(reinterpret_cast<char*>(l), s.items[w].c_str());
      return static_cast<LRESULT>(s.items[w].size());
    case WM_GETTEXTLENGTH:
      if (s.cur >= 0) return static_cast<LRESULT>(s.items[static_cast<std::size_t>(s.cur)].size());
      return DefWindowProc(h, m, w, l);
    case WM_GETTEXT:
      if (s.cur >= 0 && w > 0) {
        const std::string& t = s.items[static_cast<std::size_t>(s.cur)];
        std::size_t n = std::min<std::size_t>(t.size(), w - 1);
        std::memcpy(reinterpret_cast<char*>(l), t.c_str(), n);
        reinterpret_cast<char*>(l)[n] = '\0';
        return static_cast<LRESULT>(n);
      }
      return DefWindowProc(h, m, w, l);
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
      if (Fonts().count(h) && Fonts()[h]) SelectObject(dc, Fonts()[h]);
      SetBkMode(dc, TRANSPARENT);
      RECT line{r.left + 3, r.top + 2, r.right - 3, r.top + 15};
      for (std::size_t i = 0; i < s.items.size() && line.top < r.bottom; ++i) {
        if (static_cast<int>(i) == s.cur) {
          FillRect(dc, &line, GetSysColorBrush(COLOR_HIGHLIGHT));
          SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
          SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        }
        DrawText(dc, s.items[i].c_str(), -1, &line, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        OffsetRect(&line, 0, 13);
      }
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProc(h, m, w, l);
  }
}

LRESULT SliderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (auto r = Common(h, m, w, l)) return *r;
  ControlState& s = States()[h];
  switch (m) {
    case TBM_GETPOS: return s.pos;
    case TBM_SETPOS: s.pos = static_cast<int>(l); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    default: return DefWindowProc(h, m, w, l);
  }
}

LRESULT GridProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (auto r = Common(h, m, w, l)) return *r;
  switch (m) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_KEYDOWN: g_gridKeys.push_back(static_cast<int>(w)); return 0;
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      HPEN pen = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
      HGDIOBJ old = SelectObject(dc, pen);
      for (int x = 0; x < r.right; x += 40) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, r.bottom);
      }
      for (int y = 0; y < r.bottom; y += 16) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, r.right, y);
      }
      SelectObject(dc, old);
      DeleteObject(pen);
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProc(h, m, w, l);
  }
}

void Register(const char* name, WNDPROC proc) {
  WNDCLASS wc{};
  wc.style = CS_GLOBALCLASS;  // like the standard controls: found from any module
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(&wc);
}

}  // namespace

std::vector<int>& GridKeys() { return g_gridKeys; }

std::pair<int, int> EditSelection(HWND edit) {
  const ControlState& s = States()[edit];
  return {s.selStart, s.selEnd};
}

void FrameworkTest::SetUp() {
  SetInstanceHandle(ResourceTable::ModuleHandle("framework-tests"));
  ResetWindowSystem();
  VirtualClock::Reset();
  CWnd::DeleteTempMap();
  RegistryStore::Reset();
  States().clear();
  Fonts().clear();
  g_gridKeys.clear();
  Register("TestButton", ButtonProc);
  Register("TestEdit", EditProc);
  Register("TestStatic", StaticProc);
  Register("TestCombo", ListProc);
  Register("TestList", ListProc);
  Register("TestSlider", SliderProc);
  Register("TestGrid", GridProc);
  // The property sheet makes its own buttons of the standard class; stand in for it until it exists.
  WNDCLASS standard{};
  if (!GetClassInfo(nullptr, "BUTTON", &standard)) Register("BUTTON", ButtonProc);
  SetAutomationProvider(&automation);
}

void FrameworkTest::TearDown() {
  SetAutomationProvider(nullptr);
  ResetWindowSystem();
  CWnd::DeleteTempMap();
  States().clear();
  Fonts().clear();
}

void FrameworkTest::Pump() {
  // The application's loop, without waiting: pre-translation (dialog keys) included.
  MSG msg;
  for (int guard = 0; PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
    ASSERT_LT(guard, 100000) << "the queue never became idle";
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!AfxGetThread()->PreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
}

void FrameworkTest::Key(int vk) {
  InputRouter::Instance().KeyPress(vk);
  Pump();
}

void FrameworkTest::ShiftKey(int vk) {
  InputRouter& in = InputRouter::Instance();
  in.KeyDown(VK_SHIFT);
  in.KeyPress(vk);
  in.KeyUp(VK_SHIFT);
  Pump();
}

void FrameworkTest::Type(const char* text) {
  InputRouter::Instance().TypeText(text);
  Pump();
}

void FrameworkTest::ClickAt(HWND hwnd, int x, int y) {
  InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(hwnd, x, y));
  Pump();
}

std::string FrameworkTest::Text(HWND hwnd) {
  char text[512];
  GetWindowText(hwnd, text, sizeof text);
  return text;
}

}  // namespace plat::test
