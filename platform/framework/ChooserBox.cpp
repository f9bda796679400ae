#include "platform/framework/ChooserBox.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "platform/base/geometry.h"
#include "platform/framework/ControlCodes.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/Placement.h"
#include "platform/window/WindowClassRegistry.h"

namespace plat {

namespace {

constexpr const char* kChooserClass = "BrimChooser";
constexpr int kMargin = 11;
constexpr int kWidth = 320;
constexpr int kLine = 16;
constexpr int kVisibleLines = 10;
constexpr int kEntryHeight = 21;
constexpr int kButtonW = 75, kButtonH = 23;

// Where the keyboard is: the list, OK or Cancel (the entry, when shown, takes characters in every place).
enum class Part { List, Ok, Cancel };

// What RunChooser waits on: its own loop, and the answer, kept even when the window goes before the loop returns.
struct Waiter {
  ModalLoop* loop;
  ChooserResult result;
};

struct State {
  ChooserSpec spec;
  int top = 0;  // first visible item
  Part focus = Part::List;
  int answer = 0;
  ChooserResult result;
  HFONT font = nullptr;
  CRect promptRect, entryRect, listRect, okRect, cancelRect;
  Waiter* waiter = nullptr;  // none for a chooser made on its own
};

std::unordered_map<HWND, State>& States() {
  static std::unordered_map<HWND, State> states;
  return states;
}

State* StateOf(HWND hwnd) {
  auto it = States().find(hwnd);
  return it == States().end() ? nullptr : &it->second;
}

State* g_pending = nullptr;

void Finish(HWND hwnd, State& s, int answer) {
  if (answer == IDOK) {
    const bool typed = s.spec.entry;
    if (!typed && s.spec.selected < 0) return;  // nothing chosen yet: OK waits
    s.result.index = s.spec.selected;
    s.result.text = typed ? s.spec.text : s.spec.items[static_cast<std::size_t>(s.spec.selected)];
    if (typed && s.spec.selected >= 0 && s.spec.text != s.spec.items[static_cast<std::size_t>(s.spec.selected)])
      s.result.index = -1;
  }
  s.answer = answer;
  ::InvalidateRect(hwnd, nullptr, FALSE);
  if (s.waiter) {
    s.waiter->result = s.result;
    s.waiter->loop->Answer(answer);
  }
}

void Select(HWND hwnd, State& s, int index) {
  const int count = static_cast<int>(s.spec.items.size());
  if (count == 0) return;
  index = std::clamp(index, 0, count - 1);
  s.spec.selected = index;
  if (s.spec.entry) s.spec.text = s.spec.items[static_cast<std::size_t>(index)];
  if (index < s.top) s.top = index;
  if (index >= s.top + kVisibleLines) s.top = index - kVisibleLines + 1;
  ::InvalidateRect(hwnd, nullptr, FALSE);
}

void DrawButton(HDC dc, const CRect& r, const char* text, bool focused) {
  RECT box = r;
  if (focused) {
    ::FrameRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::InflateRect(&box, -1, -1);
  }
  ::DrawEdge(dc, &box, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  ::DrawText(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (focused) {
    ::InflateRect(&box, -3, -3);
    ::DrawFocusRect(dc, &box);
  }
}

void Paint(HWND hwnd, State& s) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd, &ps);
  RECT client;
  ::GetClientRect(hwnd, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ oldFont = ::SelectObject(dc, s.font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  RECT r = s.promptRect;
  ::DrawText(dc, s.spec.prompt.c_str(), -1, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (s.spec.entry) {
    r = s.entryRect;
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    ::InflateRect(&r, -4, 0);
    ::DrawText(dc, (s.spec.text + "|").c_str(), -1, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  r = s.listRect;
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  const int count = static_cast<int>(s.spec.items.size());
  for (int i = s.top; i < count && i < s.top + kVisibleLines; ++i) {
    CRect line(s.listRect.left + 2, s.listRect.top + 2 + (i - s.top) * kLine, s.listRect.right - 2,
               s.listRect.top + 2 + (i - s.top + 1) * kLine);
    const bool chosen = i == s.spec.selected;
    if (chosen) ::FillRect(dc, &line, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    ::SetTextColor(dc, ::GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = line;
    text.left += 3;
    if (static_cast<std::size_t>(i) < s.spec.swatches.size()) {
      RECT swatch{line.left + 2, line.top + 2, line.left + 14, line.bottom - 2};
      HBRUSH brush = ::CreateSolidBrush(s.spec.swatches[static_cast<std::size_t>(i)]);
      ::FillRect(dc, &swatch, brush);
      ::DeleteObject(brush);
      ::FrameRect(dc, &swatch, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
      text.left += 16;
    }
    ::DrawText(dc, s.spec.items[static_cast<std::size_t>(i)].c_str(), -1, &text,
               DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (chosen && s.focus == Part::List) ::DrawFocusRect(dc, &line);
  }
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  DrawButton(dc, s.okRect, "OK", s.focus == Part::Ok || s.focus == Part::List);
  DrawButton(dc, s.cancelRect, "Cancel", s.focus == Part::Cancel);
  ::SelectObject(dc, oldFont);
  ::EndPaint(hwnd, &ps);
}

void OnKey(HWND hwnd, State& s, int vk) {
  switch (vk) {
    case VK_UP: Select(hwnd, s, s.spec.selected - 1); return;
    case VK_DOWN: Select(hwnd, s, s.spec.selected + 1); return;
    case VK_PRIOR: Select(hwnd, s, s.spec.selected - kVisibleLines); return;
    case VK_NEXT: Select(hwnd, s, s.spec.selected + kVisibleLines); return;
    case VK_TAB: {
      const bool back = ::GetKeyState(VK_SHIFT) < 0;
      const int next = (static_cast<int>(s.focus) + (back ? 2 : 1)) % 3;
      s.focus = static_cast<Part>(next);
      ::InvalidateRect(hwnd, nullptr, FALSE);
      return;
    }
    case VK_RETURN: Finish(hwnd, s, s.focus == Part::Cancel ? IDCANCEL : IDOK); return;
    case VK_ESCAPE: Finish(hwnd, s, IDCANCEL); return;
    default: return;
  }
}

void OnChar(HWND hwnd, State& s, char ch) {
  if (!s.spec.entry) return;
  if (ch == '\b') {
    if (!s.spec.text.empty()) s.spec.text.pop_back();
  } else if (static_cast<unsigned char>(ch) >= ' ') {
    s.spec.text += ch;
  } else {
    return;
  }
  ::InvalidateRect(hwnd, nullptr, FALSE);
}

int ItemAt(const State& s, POINT p) {
  if (!s.listRect.PtInRect(p)) return -1;
  const int i = s.top + (p.y - s.listRect.top - 2) / kLine;
  return i >= 0 && i < static_cast<int>(s.spec.items.size()) ? i : -1;
}

LRESULT ChooserProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  State* s = StateOf(hwnd);
  if (!s && g_pending) {
    s = &States().emplace(hwnd, std::move(*g_pending)).first->second;
    g_pending = nullptr;
  }
  if (!s) return ::DefWindowProc(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: Paint(hwnd, *s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN: OnKey(hwnd, *s, static_cast<int>(wParam)); return 0;
    case WM_CHAR: OnChar(hwnd, *s, static_cast<char>(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (int i = ItemAt(*s, p); i >= 0) {
        s->focus = Part::List;
        Select(hwnd, *s, i);
        if (message == WM_LBUTTONDBLCLK) Finish(hwnd, *s, IDOK);
      } else if (s->okRect.PtInRect(p)) {
        Finish(hwnd, *s, IDOK);
      } else if (s->cancelRect.PtInRect(p)) {
        Finish(hwnd, *s, IDCANCEL);
      }
      return 0;
    }
    case WM_CLOSE: Finish(hwnd, *s, IDCANCEL); return 0;
    case WM_NCDESTROY:
      // Gone unanswered (with the window that owns it): the chooser is cancelled, as its close box would.
      if (s->waiter) s->waiter->loop->End(s->answer ? s->answer : IDCANCEL);
      if (s->font) ::DeleteObject(s->font);
      States().erase(hwnd);
      return ::DefWindowProc(hwnd, message, wParam, lParam);
    default: return ::DefWindowProc(hwnd, message, wParam, lParam);
  }
}

void RegisterChooserClass() {
  if (WindowClassRegistry::Instance().Find(kChooserClass, nullptr)) return;
  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS;
  wc.lpfnWndProc = &ChooserProc;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kChooserClass;
  WindowClassRegistry::Instance().Register(wc, /*system=*/true);
}

}  // namespace

bool SystemDialogsOnScreen() { return !GetAutomationProvider() && MessageQueue::Instance().eventSource != nullptr; }

HWND CreateChooserWindow(HWND owner, const ChooserSpec& spec) {
  RegisterChooserClass();
  State state;
  state.spec = spec;
  if (state.spec.selected >= static_cast<int>(state.spec.items.size())) state.spec.selected = -1;
  LOGFONT lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "MS Shell Dlg");
  state.font = ::CreateFontIndirect(&lf);
  int y = kMargin;
  state.promptRect = CRect(kMargin, y, kWidth - kMargin, y + 14);
  y += 18;
  if (spec.entry) {
    state.entryRect = CRect(kMargin, y, kWidth - kMargin, y + kEntryHeight);
    y += kEntryHeight + 6;
  }
  state.listRect = CRect(kMargin, y, kWidth - kMargin, y + kVisibleLines * kLine + 4);
  y = state.listRect.bottom + kMargin;
  state.cancelRect = CRect(kWidth - kMargin - kButtonW, y, kWidth - kMargin, y + kButtonH);
  state.okRect = CRect(state.cancelRect.left - 6 - kButtonW, y, state.cancelRect.left - 6, y + kButtonH);
  const int height = y + kButtonH + kMargin;
  if (state.spec.selected >= kVisibleLines) state.top = state.spec.selected - kVisibleLines + 1;

  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  RECT frame{0, 0, kWidth, height};
  ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  const RECT placed = PlaceOwnedFrame(owner, SIZE{w, h});
  g_pending = &state;
  HWND hwnd = ::CreateWindowEx(0, kChooserClass, spec.caption.c_str(), style, placed.left, placed.top, w,
                               h, owner, nullptr, nullptr, nullptr);
  g_pending = nullptr;
  if (!hwnd && state.font) ::DeleteObject(state.font);
  return hwnd;
}

int ChooserWindowAnswer(HWND chooser, ChooserResult* result) {
  State* s = StateOf(chooser);
  if (!s) return 0;
  if (result && s->answer == IDOK) *result = s->result;
  return s->answer;
}

std::optional<ChooserResult> RunChooser(HWND owner, const ChooserSpec& spec) {
  HWND top = owner ? ::GetTopLevelParent(owner) : nullptr;
  HWND chooser = CreateChooserWindow(top, spec);
  if (!chooser) return std::nullopt;
  ModalLoop::Options options;
  options.owner = top;
  options.window = chooser;
  options.letGo = [chooser] {
    if (State* s = StateOf(chooser)) s->waiter = nullptr;
  };
  ModalLoop loop(std::move(options));
  Waiter waiter{&loop, {}};
  StateOf(chooser)->waiter = &waiter;
  ::ShowWindow(chooser, SW_SHOWNORMAL);
  ::SetFocus(chooser);
  const int answer = loop.Run();
  if (::IsWindow(chooser)) ::DestroyWindow(chooser);
  if (answer != IDOK) return std::nullopt;
  return waiter.result;
}

}  // namespace plat
