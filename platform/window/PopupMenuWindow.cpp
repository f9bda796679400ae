#include "platform/window/PopupMenuWindow.h"

#include <algorithm>

#include "platform/gdi/Mnemonic.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/Menus.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/Placement.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

constexpr int kPad = 3;         // raised edge and a pixel of air
constexpr int kRowHeight = 18;
constexpr int kSeparatorHeight = 8;
constexpr int kTextIndent = 20;  // room for the check mark

struct MenuState {
  std::vector<PopupItem> items;
  std::vector<CRect> rows;  // client coordinates
  int hot = -1;
  UINT result = 0;
  ModalLoop* loop = nullptr;
  HWND owner = nullptr;
  int depth = 0;
  bool cascading = false;  // a submenu is up: losing the capture to it is not a cancel
};

MenuState* StateOf(HWND h) { return reinterpret_cast<MenuState*>(GetWindowLongPtr(h, GWLP_USERDATA)); }

bool Selectable(const PopupItem& it) {
  return !(it.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_POPUP));
}

// The label without its mnemonic marks ("&&" stays one ampersand), and the accelerator text after a tab.
void SplitLabel(const std::string& text, std::string& label, std::string& accel) {
  std::size_t tab = text.find('\t');
  label = ParseMnemonic(std::string_view(text).substr(0, tab)).shown;
  accel = tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

int ItemAt(const MenuState& s, POINT p) {
  for (std::size_t i = 0; i < s.rows.size(); ++i)
    if (s.rows[i].PtInRect(p) && !(s.items[i].flags & MF_SEPARATOR)) return static_cast<int>(i);
  return -1;
}

void Fill(HDC dc, const CRect& r, int color) { FillRect(dc, &r, GetSysColorBrush(color)); }

void Paint(HWND h, MenuState& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT client;
  GetClientRect(h, &client);
  CRect r = client;
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  Fill(dc, r, COLOR_MENU);
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < s.items.size(); ++i) {
    const PopupItem& it = s.items[i];
    CRect row = s.rows[i];
    if (it.flags & MF_SEPARATOR) {
      int y = row.top + row.Height() / 2 - 1;
      Fill(dc, CRect(row.left + 1, y, row.right - 1, y + 1), COLOR_BTNSHADOW);
      Fill(dc, CRect(row.left + 1, y + 1, row.right - 1, y + 2), COLOR_BTNHIGHLIGHT);
      continue;
    }
    const bool hot = static_cast<int>(i) == s.hot;
    const bool grayed = (it.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    if (hot) Fill(dc, row, COLOR_HIGHLIGHT);
    int textColor = grayed ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    SetTextColor(dc, GetSysColor(textColor));
    std::string label, accel;
    SplitLabel(it.text, label, accel);
    SIZE ext{};
    GetTextExtentPoint32A(dc, "Ag", 2, &ext);
    int ty = row.top + (row.Height() - ext.cy) / 2;
    TextOutA(dc, row.left + kTextIndent, ty, label.c_str(), static_cast<int>(label.size()));
    if (!accel.empty()) {
      SIZE a{};
      GetTextExtentPoint32A(dc, accel.c_str(), static_cast<int>(accel.size()), &a);
      TextOutA(dc, row.right - 16 - a.cx, ty, accel.c_str(), static_cast<int>(accel.size()));
    }
    if (it.flags & MF_CHECKED) {
      // A check mark of short rows: down-stroke then up-stroke.
      int cx = row.left + 6, cy = row.top + row.Height() / 2;
      for (int k = 0; k < 3; ++k) Fill(dc, CRect(cx + k, cy - 1 + k, cx + k + 1, cy + 2 + k), textColor);
      for (int k = 0; k < 4; ++k) Fill(dc, CRect(cx + 3 + k, cy + 1 - k, cx + 4 + k, cy + 4 - k), textColor);
    }
    if (it.flags & MF_POPUP) {
      int ax = row.right - 10, ay = row.top + row.Height() / 2;
      for (int k = 0; k < 4; ++k) Fill(dc, CRect(ax + k, ay - 3 + k, ax + k + 1, ay + 4 - k), textColor);
    }
  }
  SelectObject(dc, oldFont);
  EndPaint(h, &ps);
}

void SetHot(HWND h, MenuState& s, int hot) {
  if (hot == s.hot) return;
  s.hot = hot;
  InvalidateRect(h, nullptr, FALSE);
}

void Finish(MenuState& s, UINT result) {
  s.result = result;
  if (s.loop) s.loop->End(0);
}

// Opens the submenu of item i beside its row; a choice there ends this menu too.
void Cascade(HWND h, MenuState& s, int i) {
  const PopupItem& it = s.items[static_cast<std::size_t>(i)];
  if (!(it.flags & MF_POPUP) || (it.flags & (MF_GRAYED | MF_DISABLED)) || it.submenu.empty()) return;
  POINT at{s.rows[static_cast<std::size_t>(i)].right, s.rows[static_cast<std::size_t>(i)].top - kPad};
  ClientToScreen(h, &at);
  s.cascading = true;
  UINT chosen = PopupMenuWindow::Run(s.owner, it.submenu, at, s.depth + 1);
  s.cascading = false;
  if (!IsWindow(h)) return;
  if (chosen)
    Finish(s, chosen);
  else
    SetCapture(h);  // back in this menu
}

LRESULT MenuProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  MenuState* s = StateOf(h);
  if (!s) return DefWindowProc(h, m, w, l);
  POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  RECT client;
  GetClientRect(h, &client);
  switch (m) {
    case WM_PAINT: Paint(h, *s); return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // the owner stays active while its menu is up
    case WM_MOUSEMOVE: SetHot(h, *s, ItemAt(*s, p)); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (!PtInRect(&client, p)) Finish(*s, 0);  // a press outside closes the menu
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      int i = ItemAt(*s, p);
      if (i < 0) return 0;
      if (Selectable(s->items[static_cast<std::size_t>(i)]))
        Finish(*s, s->items[static_cast<std::size_t>(i)].id);
      else
        Cascade(h, *s, i);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (!s->cascading) Finish(*s, 0);
      return 0;
    default: return DefWindowProc(h, m, w, l);
  }
}

void RegisterMenuClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = MenuProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = PopupMenuWindow::kClassName;
  registered = WindowClassRegistry::Instance().Register(wc, true) != 0;
}

// Moves the highlight to the next selectable item in a direction, wrapping around.
void Step(HWND h, MenuState& s, int dir) {
  int n = static_cast<int>(s.items.size());
  for (int k = 1; k <= n; ++k) {
    int i = ((s.hot < 0 ? (dir > 0 ? -1 : n) : s.hot) + dir * k % n + n) % n;
    if (!(s.items[static_cast<std::size_t>(i)].flags & MF_SEPARATOR)) {
      SetHot(h, s, i);
      return;
    }
  }
}

}  // namespace

UINT PopupMenuWindow::Run(HWND owner, const std::vector<PopupItem>& items, POINT at, int depth) {
  if (items.empty() || depth > 8) return 0;
  RegisterMenuClass();
  MenuState state;
  state.items = items;
  state.owner = owner;
  state.depth = depth;

  // Measure with the menu font: the widest label plus the widest accelerator.
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = screen ? SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT)) : nullptr;
  int labelW = 0, accelW = 0, y = kPad;
  for (const PopupItem& it : items) {
    std::string label, accel;
    SplitLabel(it.text, label, accel);
    SIZE a{}, b{};
    if (screen) {
      GetTextExtentPoint32A(screen, label.c_str(), static_cast<int>(label.size()), &a);
      GetTextExtentPoint32A(screen, accel.c_str(), static_cast<int>(accel.size()), &b);
    }
    labelW = std::max(labelW, static_cast<int>(a.cx));
    accelW = std::max(accelW, static_cast<int>(b.cx));
    int hgt = (it.flags & MF_SEPARATOR) ? kSeparatorHeight : kRowHeight;
    state.rows.emplace_back(kPad, y, 0, y + hgt);
    y += hgt;
  }
  if (screen) {
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
  }
  int width = kPad * 2 + kTextIndent + labelW + (accelW ? accelW + 24 : 0) + 20;
  for (CRect& r : state.rows) r.right = width - kPad;
  RECT place = PlacePopup(RECT{at.x, at.y, at.x, at.y}, SIZE{width, y + kPad});

  HWND menu = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, place.left, place.top,
                             place.right - place.left, place.bottom - place.top, owner, nullptr, nullptr, nullptr);
  if (!menu) return 0;
  SetWindowLongPtr(menu, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  ShowWindow(menu, SW_SHOWNA);
  UpdateWindow(menu);
  SetCapture(menu);

  ModalLoop::Options options;
  options.preTranslate = [&](MSG& msg) {
    // The menu keeps the keyboard while it is up; the focus window never sees these keys.
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      switch (msg.wParam) {
        case VK_ESCAPE: Finish(state, 0); break;
        case VK_UP: Step(menu, state, -1); break;
        case VK_DOWN: Step(menu, state, 1); break;
        case VK_LEFT:
          if (state.depth > 0) Finish(state, 0);  // back to the parent menu
          break;
        case VK_RIGHT:
        case VK_RETURN:
          if (state.hot < 0) break;
          if (Selectable(state.items[static_cast<std::size_t>(state.hot)])) {
            if (msg.wParam == VK_RETURN) Finish(state, state.items[static_cast<std::size_t>(state.hot)].id);
          } else {
            Cascade(menu, state, state.hot);
          }
          break;
        default: break;
      }
    }
    return true;
  };
  ModalLoop loop(options);
  state.loop = &loop;
  loop.Run();
  state.loop = nullptr;
  SetWindowLongPtr(menu, GWLP_USERDATA, 0);  // the state dies with this frame
  if (GetCapture() == menu) ReleaseCapture();
  DestroyWindow(menu);
  return state.result;
}

}  // namespace plat
