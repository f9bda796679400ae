#include "platform/controls/ToolTip.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr UINT kInitialMs = 500;
constexpr UINT kAutoPopMs = 5000;
constexpr UINT kReshowMs = 100;

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  bool callback = false;
  std::string text;
  LPARAM param = 0;
};

struct TipState {
  std::vector<Tool> tools;
  bool active = true;
  UINT initial = kInitialMs, autopop = kAutoPopMs, reshow = kReshowMs;
  int pending = -1;  // tool waiting for its delay
  int shown = -1;    // tool whose tip shows
  std::string text;  // the shown text
  HFONT font = nullptr;
};

StateTable<TipState>& States() { return StateTable<TipState>::Instance(); }

// Tool windows subclassed for TTF_SUBCLASS: their original procedure and their tooltip.
struct Subclass {
  WNDPROC original = nullptr;
  HWND tip = nullptr;
};
std::map<HWND, Subclass>& Subclassed() {
  static std::map<HWND, Subclass> map;
  return map;
}

bool Same(const Tool& t, const TOOLINFO* ti) { return t.hwnd == ti->hwnd && t.id == ti->uId; }

int FindTool(const TipState& s, const TOOLINFO* ti) {
  if (!ti) return -1;
  for (size_t i = 0; i < s.tools.size(); ++i)
    if (Same(s.tools[i], ti)) return static_cast<int>(i);
  return -1;
}

// The tool under a point of a window's client area.
int ToolAt(const TipState& s, HWND hwnd, POINT pt) {
  for (size_t i = 0; i < s.tools.size(); ++i) {
    const Tool& t = s.tools[i];
    if (t.flags & TTF_IDISHWND) {
      if (reinterpret_cast<HWND>(t.id) == hwnd) return static_cast<int>(i);
    } else if (t.hwnd == hwnd && PtInRect(&t.rect, pt)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void Notify(HWND tip, const Tool& tool, UINT code) {
  NMHDR nm{tip, tool.id, code};
  if (IsWindow(tool.hwnd)) SendMessage(tool.hwnd, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&nm));
}

std::string TextOf(HWND tip, const Tool& tool) {
  if (!tool.callback) return tool.text;
  NMTTDISPINFO info{};
  info.hdr = {tip, tool.id, TTN_GETDISPINFO};
  info.lParam = tool.param;
  info.uFlags = tool.flags;
  if (IsWindow(tool.hwnd)) SendMessage(tool.hwnd, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&info));
  if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK && reinterpret_cast<uintptr_t>(info.lpszText) > 0xFFFF)
    return info.lpszText;
  return info.szText;
}

void Hide(HWND tip, TipState& s) {
  KillTimer(tip, kPopTimer);
  if (s.shown < 0) return;
  const Tool tool = s.tools[static_cast<size_t>(s.shown)];
  s.shown = -1;
  ShowWindow(tip, SW_HIDE);
  Notify(tip, tool, TTN_POP);
}

void Show(HWND tip, TipState& s, int index) {
  auto keep = States().Get(tip);
  const Tool tool = s.tools[static_cast<size_t>(index)];
  s.text = TextOf(tip, tool);
  if (!IsWindow(tip) || s.text.empty()) return;
  HDC dc = GetDC(tip);
  HGDIOBJ old = SelectObject(dc, FontOr(s.font));
  RECT calc{0, 0, 300, 0};
  DrawText(dc, s.text.c_str(), -1, &calc, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(tip, dc);
  POINT cursor{};
  GetCursorPos(&cursor);
  s.shown = index;
  SetWindowPos(tip, HWND_TOPMOST, cursor.x, cursor.y + 20, calc.right + 8, calc.bottom + 4,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  InvalidateRect(tip, nullptr, TRUE);
  Notify(tip, tool, TTN_SHOW);
  if (IsWindow(tip)) SetTimer(tip, kPopTimer, s.autopop, nullptr);
}

void Relay(HWND tip, TipState& s, const MSG& m) {
  if (!s.active) return;
  switch (m.message) {
    case WM_MOUSEMOVE: {
      POINT pt{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
      const int tool = ToolAt(s, m.hwnd, pt);
      if (tool == s.shown && tool >= 0) return;
      const bool wasShowing = s.shown >= 0;
      if (wasShowing) Hide(tip, s);
      if (tool == s.pending && tool >= 0) return;
      KillTimer(tip, kShowTimer);
      s.pending = tool;
      if (tool >= 0) SetTimer(tip, kShowTimer, wasShowing ? s.reshow : s.initial, nullptr);
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      KillTimer(tip, kShowTimer);
      s.pending = -1;
      Hide(tip, s);
      break;
    default: break;
  }
}

LRESULT SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = Subclassed().find(hwnd);
  if (it == Subclassed().end()) return DefWindowProc(hwnd, msg, wParam, lParam);
  const Subclass sub = it->second;
  if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSELEAVE) {
    if (auto s = States().Get(sub.tip)) {
      MSG m{hwnd, msg, wParam, lParam, 0, {0, 0}};
      Relay(sub.tip, *s, m);
    }
  }
  if (msg == WM_NCDESTROY) Subclassed().erase(hwnd);
  return CallWindowProc(sub.original, hwnd, msg, wParam, lParam);
}

void SubclassTool(HWND tip, HWND hwnd) {
  if (!IsWindow(hwnd) || Subclassed().count(hwnd)) return;
  Subclass sub;
  sub.tip = tip;
  sub.original =
      reinterpret_cast<WNDPROC>(SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  Subclassed()[hwnd] = sub;
}

Tool ToolFrom(const TOOLINFO* ti) {
  Tool t;
  t.flags = ti->uFlags;
  t.hwnd = ti->hwnd;
  t.id = ti->uId;
  t.rect = ti->rect;
  t.param = ti->lParam;
  if (ti->lpszText == LPSTR_TEXTCALLBACK)
    t.callback = true;
  else if (ti->lpszText && reinterpret_cast<uintptr_t>(ti->lpszText) > 0xFFFF)
    t.text = ti->lpszText;
  return t;
}

void FillInfo(const Tool& t, TOOLINFO* ti) {
  ti->uFlags = t.flags;
  ti->hwnd = t.hwnd;
  ti->uId = t.id;
  ti->rect = t.rect;
  ti->lParam = t.param;
  if (t.callback) ti->lpszText = LPSTR_TEXTCALLBACK;
}

void CopyText(const Tool& t, TOOLINFO* ti) {
  // The classic call gives no buffer size; the buffer is taken to hold 80 characters.
  if (!ti->lpszText || t.callback) return;
  const size_t n = std::min<size_t>(t.text.size(), 79);
  std::memcpy(ti->lpszText, t.text.data(), n);
  ti->lpszText[n] = '\0';
}

void Paint(HWND hwnd, HDC dc, const TipState& s) {
  CRect c = ClientRectOf(hwnd);
  FillRect(dc, &c, GetSysColorBrush(COLOR_INFOBK));
  FrameRect(dc, &c, GetSysColorBrush(COLOR_WINDOWFRAME));
  SelectScope font(dc, FontOr(s.font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  c.DeflateRect(4, 2);
  DrawText(dc, s.text.c_str(), -1, &c, DT_NOPREFIX | DT_EXPANDTABS);
}

LRESULT SetDelay(TipState& s, WPARAM which, LPARAM value) {
  const int v = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(value)));
  switch (which) {
    case TTDT_AUTOMATIC:
      s.initial = v < 0 ? kInitialMs : static_cast<UINT>(v);
      s.autopop = s.initial * 10;
      s.reshow = s.initial / 5;
      break;
    case TTDT_INITIAL: s.initial = v < 0 ? kInitialMs : static_cast<UINT>(v); break;
    case TTDT_AUTOPOP: s.autopop = v < 0 ? kAutoPopMs : static_cast<UINT>(v); break;
    case TTDT_RESHOW: s.reshow = v < 0 ? kReshowMs : static_cast<UINT>(v); break;
    default: break;
  }
  return 0;
}

LRESULT Dispatch(HWND hwnd, TipState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
  if (const auto answer = PaintMessage(hwnd, s, msg, wParam, Paint)) return *answer;
  switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_SETFONT: s.font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_TIMER:
      if (wParam == kShowTimer) {
        KillTimer(hwnd, kShowTimer);
        const int tool = s.pending;
        s.pending = -1;
        if (tool >= 0 && tool < static_cast<int>(s.tools.size())) Show(hwnd, s, tool);
      } else if (wParam == kPopTimer) {
        Hide(hwnd, s);
      }
      return 0;
    case WM_DESTROY:
      for (auto it = Subclassed().begin(); it != Subclassed().end();) {
        if (it->second.tip == hwnd) {
          if (IsWindow(it->first))
            SetWindowLongPtr(it->first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.original));
          it = Subclassed().erase(it);
        } else {
          ++it;
        }
      }
      break;
    case TTM_ACTIVATE:
      s.active = wParam != 0;
      if (!s.active) {
        KillTimer(hwnd, kShowTimer);
        s.pending = -1;
        Hide(hwnd, s);
      }
      return 0;
    case TTM_SETDELAYTIME: return SetDelay(s, wParam, lParam);
    case TTM_GETDELAYTIME: return wParam == TTDT_AUTOPOP ? s.autopop : wParam == TTDT_RESHOW ? s.reshow : s.initial;
    case TTM_ADDTOOL:
      if (!ti || !IsWindow(ti->hwnd) || FindTool(s, ti) >= 0) return FALSE;
      s.tools.push_back(ToolFrom(ti));
      if (ti->uFlags & TTF_SUBCLASS)
        SubclassTool(hwnd, (ti->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(ti->uId) : ti->hwnd);
      return TRUE;
    case TTM_DELTOOL: {
      const int i = FindTool(s, ti);
      if (i < 0) return 0;
      if (s.shown == i) Hide(hwnd, s);
      if (s.pending == i) s.pending = -1;
      s.tools.erase(s.tools.begin() + i);
      if (s.shown > i) --s.shown;
      if (s.pending > i) --s.pending;
      return 0;
    }
    case TTM_NEWTOOLRECT: {
      const int i = FindTool(s, ti);
      if (i >= 0) s.tools[static_cast<size_t>(i)].rect = ti->rect;
      return 0;
    }
    case TTM_RELAYEVENT:
      if (lParam) Relay(hwnd, s, *reinterpret_cast<const MSG*>(lParam));
      return 0;
    case TTM_GETTOOLINFO: {
      const int i = FindTool(s, ti);
      if (i < 0) return FALSE;
      FillInfo(s.tools[static_cast<size_t>(i)], ti);
      CopyText(s.tools[static_cast<size_t>(i)], ti);
      return TRUE;
    }
    case TTM_SETTOOLINFO: {
      const int i = FindTool(s, ti);
      if (i >= 0) s.tools[static_cast<size_t>(i)] = ToolFrom(ti);
      return 0;
    }
    case TTM_GETTEXT: {
      const int i = FindTool(s, ti);
      if (i >= 0) CopyText(s.tools[static_cast<size_t>(i)], ti);
      return 0;
    }
    case TTM_UPDATETIPTEXT: {
      const int i = FindTool(s, ti);
      if (i < 0) return 0;
      Tool& t = s.tools[static_cast<size_t>(i)];
      const Tool fresh = ToolFrom(ti);
      t.callback = fresh.callback;
      t.text = fresh.text;
      if (s.shown == i) {
        s.text = TextOf(hwnd, t);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(s.tools.size());
    case TTM_POP:
      KillTimer(hwnd, kShowTimer);
      s.pending = -1;
      Hide(hwnd, s);
      return 0;
    case TTM_UPDATE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterToolTipClass() {
  RegisterControlClass(TOOLTIPS_CLASS, ControlWndProc<TipState, Dispatch>, CS_GLOBALCLASS | CS_SAVEBITS);
}

}  // namespace plat::controls
