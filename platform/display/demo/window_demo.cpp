// A small demonstration of the window system: a main window with a few children that paint through
// WM_PAINT, a list that scrolls with its scroll bar (ScrollWindowEx), and buttons that react to clicks.
//
//   window_demo --png out.png     headless: lays the windows out, paints, writes a screenshot
//   window_demo --screen [--seconds N]
//                                  on screen through the SDL2 presenter until closed (or N seconds)
#include <cstring>
#include <string>

#include "platform/base/VirtualClock.h"
#include "platform/display/DemoRunner.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/windowapi.h"

// The X and SDL libraries keep process-wide state until exit; on screen their allocations are not ours.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr int kRows = 40;
constexpr int kRowHeight = 18;
int g_clicks = 0;

void Text(HDC dc, int x, int y, const std::string& s, COLORREF color) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// A push button drawn by hand: raised edge, pressed while the mouse holds it, a click counter.
LRESULT ButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  static bool pressed = false;
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
      DrawEdge(dc, &r, pressed && GetCapture() == h ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
      char text[64];
      GetWindowText(h, text, sizeof text);
      HGDIOBJ old = SelectObject(dc, GuiFont());
      SIZE ext;
      GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &ext);
      Text(dc, (r.right - ext.cx) / 2, (r.bottom - ext.cy) / 2, text, GetSysColor(COLOR_BTNTEXT));
      SelectObject(dc, old);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      pressed = true;
      SetCapture(h);
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == h) {
        ReleaseCapture();
        pressed = false;
        InvalidateRect(h, nullptr, FALSE);
        SendMessage(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), 0), reinterpret_cast<LPARAM>(h));
      }
      return 0;
  }
  return DefWindowProc(h, m, w, l);
}

// A list of rows that scrolls by whole rows; only the strip that comes into view repaints.
LRESULT ListProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE: {
      SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, kRows - 1, 6, 0, 0};
      SetScrollInfo(h, SB_VERT, &si, FALSE);
      return 0;
    }
    case WM_VSCROLL: {
      int pos = GetScrollPos(h, SB_VERT), next = pos;
      switch (LOWORD(w)) {
        case SB_LINEUP: next = pos - 1; break;
        case SB_LINEDOWN: next = pos + 1; break;
        case SB_PAGEUP: next = pos - 6; break;
        case SB_PAGEDOWN: next = pos + 6; break;
        case SB_THUMBTRACK: next = HIWORD(w); break;
        default: return 0;
      }
      SetScrollPos(h, SB_VERT, next, TRUE);
      int now = GetScrollPos(h, SB_VERT);
      if (now != pos) ScrollWindowEx(h, 0, (pos - now) * kRowHeight, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      HGDIOBJ old = SelectObject(dc, GuiFont());
      int top = GetScrollPos(h, SB_VERT);
      RECT client;
      GetClientRect(h, &client);
      for (int y = ps.rcPaint.top / kRowHeight; y * kRowHeight < ps.rcPaint.bottom; ++y) {
        int row = top + y;
        RECT r{0, y * kRowHeight, client.right, (y + 1) * kRowHeight};
        bool odd = row % 2 != 0;
        HBRUSH b = CreateSolidBrush(odd ? RGB(235, 242, 250) : RGB(255, 255, 255));
        FillRect(dc, &r, b);
        DeleteObject(b);
        if (row < kRows) Text(dc, 6, r.top + 2, "Capacitor C" + std::to_string(row + 1) + "   100 nF", RGB(0, 0, 0));
      }
      SelectObject(dc, old);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProc(h, m, w, l);
}

LRESULT MainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      HGDIOBJ old = SelectObject(dc, GuiFont());
      Text(dc, 16, 12, "Decoupling capacitors on the board", GetSysColor(COLOR_WINDOWTEXT));
      Text(dc, 260, 150, "Clicks: " + std::to_string(g_clicks), GetSysColor(COLOR_WINDOWTEXT));
      HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
      HGDIOBJ oldPen = SelectObject(dc, pen);
      MoveToEx(dc, 16, 32, nullptr);
      LineTo(dc, 380, 32);
      SelectObject(dc, oldPen);
      DeleteObject(pen);
      SelectObject(dc, old);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_COMMAND: {
      ++g_clicks;
      RECT counter{260, 150, 380, 170};
      InvalidateRect(h, &counter, TRUE);
      if (LOWORD(w) == 2) SendMessage(GetDlgItem(h, 10), WM_VSCROLL, SB_PAGEDOWN, 0);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProc(h, m, w, l);
}

HWND BuildWindows() {
  WNDCLASS wc{};
  wc.lpfnWndProc = MainProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_3DFACE + 1));
  wc.lpszClassName = "DemoMain";
  RegisterClass(&wc);
  wc.lpfnWndProc = ButtonProc;
  wc.lpszClassName = "DemoButton";
  RegisterClass(&wc);
  wc.lpfnWndProc = ListProc;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = "DemoList";
  RegisterClass(&wc);

  HWND main = CreateWindowEx(0, "DemoMain", "Window system demo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                             420, 260, nullptr, nullptr, nullptr, nullptr);
  CreateWindowEx(WS_EX_CLIENTEDGE, "DemoList", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 16, 44, 230, 160, main,
                 reinterpret_cast<HMENU>(10), nullptr, nullptr);
  CreateWindowEx(0, "DemoButton", "Count", WS_CHILD | WS_VISIBLE, 260, 44, 120, 28, main,
                 reinterpret_cast<HMENU>(1), nullptr, nullptr);
  CreateWindowEx(0, "DemoButton", "Page down", WS_CHILD | WS_VISIBLE, 260, 84, 120, 28, main,
                 reinterpret_cast<HMENU>(2), nullptr, nullptr);
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
  return main;
}

}  // namespace

int main(int argc, char** argv) {
  return plat::RunDemo({"window_demo", 480, 320, BuildWindows}, argc, argv);
}
