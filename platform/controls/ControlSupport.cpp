#include "platform/controls/ControlSupport.h"

#include "platform/gdi/SysColors.h"
#include "platform/window/WindowClassRegistry.h"

namespace plat::controls {

void RegisterControlClass(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor) {
  WNDCLASSEX wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursor(nullptr, cursor);
  wc.lpszClassName = name;
  WindowClassRegistry::Instance().Register(wc, true);
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

int IdOf(HWND hwnd) { return GetDlgCtrlID(hwnd); }

std::string WindowTextOf(HWND hwnd) {
  std::string s(static_cast<size_t>(GetWindowTextLength(hwnd)) + 1, '\0');
  s.resize(static_cast<size_t>(GetWindowText(hwnd, s.data(), static_cast<int>(s.size()))));
  return s;
}

bool NotifyParent(HWND hwnd, UINT code) {
  HWND parent = GetParent(hwnd);
  if (parent) {
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(IdOf(hwnd)), static_cast<WORD>(code)),
                reinterpret_cast<LPARAM>(hwnd));
  }
  return IsWindow(hwnd) != FALSE;
}

LRESULT SendNotify(HWND hwnd, NMHDR* header, UINT code) {
  header->hwndFrom = hwnd;
  header->idFrom = static_cast<UINT_PTR>(IdOf(hwnd));
  header->code = code;
  HWND parent = GetParent(hwnd);
  return parent ? SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header)) : 0;
}

HBRUSH ControlColor(HWND hwnd, UINT msg, HDC dc) {
  HWND parent = GetParent(hwnd);
  LRESULT r = 0;
  if (parent)
    r = SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
  else
    r = DefWindowProc(hwnd, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
  return reinterpret_cast<HBRUSH>(r);
}

namespace {
DialogKeyRoute g_dialogKeys;
}  // namespace

void SetDialogKeyRoute(DialogKeyRoute route) { g_dialogKeys = route; }

bool ParentIsDialog(HWND control) { return g_dialogKeys.parentIsDialog && g_dialogKeys.parentIsDialog(control); }

void DialogAction(HWND control, DialogKey key) {
  if (g_dialogKeys.act) g_dialogKeys.act(control, key);
}

bool MultilineDialogKeyDown(HWND hwnd, WPARAM vk, bool shift, bool ctrl) {
  if (ctrl) return false;
  DialogKey key;
  switch (vk) {
    case VK_TAB: key = shift ? DialogKey::Previous : DialogKey::Next; break;
    case VK_ESCAPE: key = DialogKey::Cancel; break;
    case VK_RETURN:
      if (StyleOf(hwnd) & ES_WANTRETURN) return false;
      key = DialogKey::Default;
      break;
    default: return false;
  }
  if (!ParentIsDialog(hwnd)) return false;
  DialogAction(hwnd, key);
  return true;
}

bool IsMultilineDialogChar(HWND hwnd, unsigned char c) {
  if (c != 0x09 && c != 0x0D) return false;
  if (c == 0x09 && GetKeyState(VK_CONTROL) < 0) return false;
  if (c == 0x0D && (StyleOf(hwnd) & ES_WANTRETURN)) return false;
  return ParentIsDialog(hwnd);
}

HFONT FontOr(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

PaintScope::PaintScope(HWND hwnd, WPARAM wParam) : hwnd_(hwnd), dc_(reinterpret_cast<HDC>(wParam)), own_(!dc_) {
  if (own_) dc_ = BeginPaint(hwnd, &ps_);
}

PaintScope::~PaintScope() {
  if (own_) EndPaint(hwnd_, &ps_);
}

CRect ClientRectOf(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return CRect(r);
}

int FontHeight(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontOr(font));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight;
}

}  // namespace plat::controls
