#include "platform/framework/MessageBox.h"

#include <algorithm>
#include <unordered_map>

#include "platform/base/CString.h"
#include "platform/base/CodePage.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/ChooserBox.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/Mnemonic.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Placement.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/WindowClassRegistry.h"

namespace plat {

std::vector<MessageBoxButton> MessageBoxButtons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
  }
}

int MessageBoxDefault(UINT type) {
  const auto buttons = MessageBoxButtons(type);
  std::size_t index = (type & MB_DEFMASK) >> 8;
  return buttons[std::min(index, buttons.size() - 1)].id;
}

int MessageBoxEscape(UINT type) {
  const auto buttons = MessageBoxButtons(type);
  if (buttons.size() == 1) return IDOK;
  for (const auto& b : buttons)
    if (b.id == IDCANCEL) return IDCANCEL;
  return 0;
}

namespace {

constexpr const char* kBoxClass = "BrimMessageBox";
constexpr int kMargin = 11;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kIconSize = 32;

struct BoxState {
  std::string text;
  UINT type = 0;
  std::vector<MessageBoxButton> buttons;
  std::vector<CRect> buttonRects;
  CRect textRect;
  CRect iconRect;
  int focus = 0;     // index of the focused button
  int pressed = -1;  // button under a mouse press
  int result = 0;
  HFONT font = nullptr;
  ModalLoop* loop = nullptr;  // the loop MessageBox runs for this box; none for a box made on its own
};

std::unordered_map<HWND, BoxState>& Boxes() {
  static std::unordered_map<HWND, BoxState> boxes;
  return boxes;
}

BoxState* BoxOf(HWND hwnd) {
  auto it = Boxes().find(hwnd);
  return it == Boxes().end() ? nullptr : &it->second;
}

BoxState* g_pendingBox = nullptr;

HFONT BoxFont() {
  LOGFONT lf{};
  lf.lfHeight = -11;  // 8 points at 96 DPI
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "MS Shell Dlg");
  return ::CreateFontIndirect(&lf);
}

void Answer(HWND box, int id) {
  if (BoxState* s = BoxOf(box); s && id) {
    s->result = id;
    if (s->loop) s->loop->Answer(id);
  }
}

void DrawIcon(HDC dc, const CRect& r, UINT icon) {
  if (!icon) return;
  // Simple flat pictograms: a red disc with a cross, a blue disc with "?" or "i", a yellow disc with "!".
  COLORREF fill = icon == MB_ICONHAND ? RGB(200, 0, 0) : icon == MB_ICONEXCLAMATION ? RGB(240, 200, 0) : RGB(0, 0, 200);
  HBRUSH brush = ::CreateSolidBrush(fill);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  ::Ellipse(dc, r.left, r.top, r.right, r.bottom);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(brush);
  const char* glyph = icon == MB_ICONHAND ? "X" : icon == MB_ICONQUESTION ? "?" : icon == MB_ICONEXCLAMATION ? "!" : "i";
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, icon == MB_ICONEXCLAMATION ? RGB(0, 0, 0) : RGB(255, 255, 255));
  RECT tr = r;
  ::DrawText(dc, glyph, 1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void Paint(HWND hwnd, BoxState& s) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd, &ps);
  RECT client;
  ::GetClientRect(hwnd, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ oldFont = ::SelectObject(dc, s.font);
  DrawIcon(dc, s.iconRect, s.type & MB_ICONMASK);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  RECT tr = s.textRect;
  ::DrawText(dc, s.text.c_str(), static_cast<int>(s.text.size()), &tr, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  for (std::size_t i = 0; i < s.buttons.size(); ++i) {
    RECT r = s.buttonRects[i];
    const bool isDefault = static_cast<int>(i) == s.focus;
    const bool down = static_cast<int>(i) == s.pressed;
    if (isDefault) {
      ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
      ::InflateRect(&r, -1, -1);
    }
    ::DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    RECT label = r;
    if (down) ::OffsetRect(&label, 1, 1);
    ::DrawText(dc, s.buttons[i].text, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (isDefault) {
      RECT focus = r;
      ::InflateRect(&focus, -3, -3);
      ::DrawFocusRect(dc, &focus);
    }
  }
  ::SelectObject(dc, oldFont);
  ::EndPaint(hwnd, &ps);
}

int ButtonAt(const BoxState& s, POINT p) {
  for (std::size_t i = 0; i < s.buttonRects.size(); ++i)
    if (s.buttonRects[i].PtInRect(p)) return static_cast<int>(i);
  return -1;
}

void OnKey(HWND hwnd, BoxState& s, int vk) {
  const int count = static_cast<int>(s.buttons.size());
  switch (vk) {
    case VK_TAB:
      s.focus = (s.focus + (::GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1)) % count;
      break;
    case VK_LEFT:
    case VK_UP: s.focus = (s.focus + count - 1) % count; break;
    case VK_RIGHT:
    case VK_DOWN: s.focus = (s.focus + 1) % count; break;
    case VK_RETURN:
    case VK_SPACE: Answer(hwnd, s.buttons[static_cast<std::size_t>(s.focus)].id); return;
    case VK_ESCAPE: Answer(hwnd, MessageBoxEscape(s.type)); return;
    default: return;
  }
  ::InvalidateRect(hwnd, nullptr, FALSE);
}

void OnChar(HWND hwnd, BoxState& s, char ch) {
  const char wanted = static_cast<char>(ToLower1252(static_cast<unsigned char>(ch)));
  for (const auto& b : s.buttons) {
    if (MnemonicChar(b.text) == wanted) {
      Answer(hwnd, b.id);
      return;
    }
  }
}

LRESULT BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  BoxState* s = BoxOf(hwnd);
  if (!s && g_pendingBox) {
    s = &Boxes().emplace(hwnd, std::move(*g_pendingBox)).first->second;
    g_pendingBox = nullptr;
  }
  if (!s) return ::DefWindowProc(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: Paint(hwnd, *s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN: OnKey(hwnd, *s, static_cast<int>(wParam)); return 0;
    case WM_CHAR:
    case WM_SYSCHAR: OnChar(hwnd, *s, static_cast<char>(wParam)); return 0;
    case WM_LBUTTONDOWN:
      s->pressed = ButtonAt(*s, PointFrom(lParam));
      if (s->pressed >= 0) {
        s->focus = s->pressed;
        ::SetCapture(hwnd);
        ::InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP: {
      int was = s->pressed;
      s->pressed = -1;
      if (::GetCapture() == hwnd) ::ReleaseCapture();
      ::InvalidateRect(hwnd, nullptr, FALSE);
      if (was >= 0 && ButtonAt(*s, PointFrom(lParam)) == was) Answer(hwnd, s->buttons[static_cast<std::size_t>(was)].id);
      return 0;
    }
    case WM_CLOSE: Answer(hwnd, MessageBoxEscape(s->type)); return 0;
    case WM_NCDESTROY:
      // Gone unanswered (with the window that owns it): the box answers what its close box would.
      if (s->loop) s->loop->End(s->result ? s->result : MessageBoxEscape(s->type));
      if (s->font) ::DeleteObject(s->font);
      Boxes().erase(hwnd);
      return ::DefWindowProc(hwnd, message, wParam, lParam);
    default: return ::DefWindowProc(hwnd, message, wParam, lParam);
  }
}

void RegisterBoxClass() {
  if (WindowClassRegistry::Instance().Find(kBoxClass, nullptr)) return;
  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_SAVEBITS | CS_GLOBALCLASS;
  wc.lpfnWndProc = &BoxProc;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kBoxClass;
  WindowClassRegistry::Instance().Register(wc, /*system=*/true);
}

// Lays the box out: icon at the left, the text word-wrapped up to a third of the screen wide, the
// buttons centred in a row below.
void Layout(BoxState& s, CSize& client) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, s.font);
  RECT measure{0, 0, 400, 0};
  ::DrawText(dc, s.text.c_str(), static_cast<int>(s.text.size()), &measure, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  const int textW = measure.right - measure.left;
  const int textH = std::max<int>(measure.bottom - measure.top, 13);
  const bool icon = (s.type & MB_ICONMASK) != 0;
  const int textX = kMargin + (icon ? kIconSize + kMargin : 0);
  const int topH = std::max(textH, icon ? kIconSize : 0);
  s.iconRect = icon ? CRect(kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize) : CRect();
  s.textRect = CRect(textX, kMargin + (topH - textH) / 2, textX + textW, kMargin + (topH - textH) / 2 + textH);
  const int n = static_cast<int>(s.buttons.size());
  const int rowW = n * kButtonWidth + (n - 1) * kButtonGap;
  const int width = std::max(textX + textW + kMargin, rowW + 2 * kMargin);
  const int rowY = kMargin + topH + kMargin;
  int x = (width - rowW) / 2;
  s.buttonRects.clear();
  for (int i = 0; i < n; ++i, x += kButtonWidth + kButtonGap)
    s.buttonRects.emplace_back(x, rowY, x + kButtonWidth, rowY + kButtonHeight);
  client = CSize(width, rowY + kButtonHeight + kMargin);
}

}  // namespace

HWND CreateMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  RegisterBoxClass();
  BoxState state;
  state.text = text;
  state.type = type;
  state.buttons = MessageBoxButtons(type);
  const int def = MessageBoxDefault(type);
  for (std::size_t i = 0; i < state.buttons.size(); ++i)
    if (state.buttons[i].id == def) state.focus = static_cast<int>(i);
  state.font = BoxFont();
  CSize client;
  Layout(state, client);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  const DWORD exStyle = (type & MB_TOPMOST) ? WS_EX_TOPMOST : 0;
  RECT frame{0, 0, client.cx, client.cy};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;
  // Centred on the owner, else on the work area; on the work area in any case.
  const RECT placed = plat::PlaceOwnedFrame(owner, SIZE{w, h});
  const int x = placed.left;
  const int y = placed.top;
  g_pendingBox = &state;
  HWND box = ::CreateWindowEx(exStyle, kBoxClass, caption.c_str(), style, x, y, w, h, owner, nullptr, nullptr, nullptr);
  g_pendingBox = nullptr;
  if (!box && state.font) ::DeleteObject(state.font);
  return box;
}

int MessageBoxWindowResult(HWND box) {
  BoxState* s = BoxOf(box);
  return s ? s->result : 0;
}

namespace {

// The focus and capture dance around any box, scripted or shown.
class BoxScope {
 public:
  BoxScope() : focus_(::GetFocus()) {
    if (HWND capture = ::GetCapture()) ::SendMessage(capture, WM_CANCELMODE, 0, 0);
    if (focus_) ::SetFocus(nullptr);
  }
  ~BoxScope() {
    if (focus_ && ::IsWindow(focus_)) ::SetFocus(focus_);
  }

 private:
  HWND focus_;
};

}  // namespace

}  // namespace plat

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const std::string body = text ? text : "";
  const std::string title = caption ? caption : "Error";
  plat::BoxScope scope;
  if (!plat::SystemDialogsOnScreen()) {
    // Headless: the provider answers (and the request is recorded); without one this throws.
    plat::SystemRequest request;
    request.kind = plat::SystemUiKind::MessageBox;
    request.owner = owner;
    request.caption = title;
    request.text = body;
    request.flags = type;
    for (const auto& b : plat::MessageBoxButtons(type)) request.buttons.emplace_back(b.text);
    return plat::RequestSystemAnswer(request).code;
  }
  HWND top = owner ? ::GetTopLevelParent(owner) : nullptr;
  HWND box = plat::CreateMessageBoxWindow(top, body, title, type);
  if (!box) return 0;
  plat::ModalLoop::Options options;
  options.owner = top;
  options.window = box;
  options.letGo = [box] {
    if (plat::BoxState* s = plat::BoxOf(box)) s->loop = nullptr;
  };
  plat::ModalLoop loop(std::move(options));
  plat::BoxOf(box)->loop = &loop;
  ::ShowWindow(box, SW_SHOWNORMAL);
  ::SetFocus(box);
  int result = loop.Run();
  if (::IsWindow(box)) ::DestroyWindow(box);
  return result == plat::ModalLoop::kQuitResult ? 0 : result;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
  HWND owner = ::GetActiveWindow();
  if (!owner) owner = HwndOf(AfxGetMainWnd());
  if (owner) owner = ::GetTopLevelParent(owner);
  const char* name = AfxGetAppName();
  return ::MessageBox(owner, lpszText, name && *name ? name : nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString text;
  text.LoadString(nIDPrompt);
  return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
