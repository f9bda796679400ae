#include "platform/window/MessageSpy.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace plat {

namespace {

std::vector<MessageSpy*>& Spies() {
  static std::vector<MessageSpy*> spies;
  return spies;
}

bool IsNoise(UINT m) {
  return m == WM_NCHITTEST || m == WM_SETCURSOR || m == WM_GETTEXT || m == WM_GETTEXTLENGTH ||
         m == WM_GETMINMAXINFO || m == WM_GETDLGCODE || m == WM_CTLCOLORSCROLLBAR;
}

}  // namespace

MessageSpy::MessageSpy(HWND watched) : watched_(watched) { Spies().push_back(this); }

MessageSpy::~MessageSpy() { std::erase(Spies(), this); }

void MessageSpy::Notify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery) {
  for (MessageSpy* spy : Spies())
    if (!spy->watched_ || spy->watched_ == hwnd) spy->records_.push_back({hwnd, message, wParam, lParam, delivery});
}

std::vector<UINT> MessageSpy::Messages(bool skipNoise) const {
  std::vector<UINT> out;
  for (const SpyRecord& r : records_)
    if (!skipNoise || !IsNoise(r.message)) out.push_back(r.message);
  return out;
}

std::vector<UINT> MessageSpy::MessagesTo(HWND hwnd) const {
  std::vector<UINT> out;
  for (const SpyRecord& r : records_)
    if (r.hwnd == hwnd) out.push_back(r.message);
  return out;
}

std::string MessageSpy::Decoded() const {
  std::string out;
  char buf[160];
  for (const SpyRecord& r : records_) {
    std::snprintf(buf, sizeof buf, "%s %p %s w=%#llx l=%#llx\n", r.delivery == Delivery::Sent ? "S" : "P",
                  static_cast<void*>(r.hwnd), MessageName(r.message).c_str(),
                  static_cast<unsigned long long>(r.wParam), static_cast<unsigned long long>(r.lParam));
    out += buf;
  }
  return out;
}

std::string MessageName(UINT m) {
  static const std::map<UINT, const char*> names = {
      {WM_NULL, "WM_NULL"}, {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"}, {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"}, {WM_ENABLE, "WM_ENABLE"}, {WM_SETREDRAW, "WM_SETREDRAW"},
      {WM_SETTEXT, "WM_SETTEXT"}, {WM_GETTEXT, "WM_GETTEXT"}, {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
      {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"}, {WM_QUIT, "WM_QUIT"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_CANCELMODE, "WM_CANCELMODE"},
      {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"}, {WM_SETFONT, "WM_SETFONT"}, {WM_GETFONT, "WM_GETFONT"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NOTIFY, "WM_NOTIFY"}, {WM_STYLECHANGING, "WM_STYLECHANGING"}, {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_NCPAINT, "WM_NCPAINT"}, {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_GETDLGCODE, "WM_GETDLGCODE"}, {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"}, {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"}, {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"}, {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_SYSCHAR, "WM_SYSCHAR"}, {WM_INITDIALOG, "WM_INITDIALOG"}, {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_TIMER, "WM_TIMER"}, {WM_HSCROLL, "WM_HSCROLL"},
      {WM_VSCROLL, "WM_VSCROLL"}, {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"}, {WM_CTLCOLORLISTBOX, "WM_CTLCOLORLISTBOX"},
      {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"}, {WM_CTLCOLORDLG, "WM_CTLCOLORDLG"},
      {WM_CTLCOLORSCROLLBAR, "WM_CTLCOLORSCROLLBAR"}, {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"}, {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"}, {WM_MBUTTONUP, "WM_MBUTTONUP"},
      {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"}, {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"}, {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"}, {WM_MOUSEHOVER, "WM_MOUSEHOVER"},
      {WM_DESTROYCLIPBOARD, "WM_DESTROYCLIPBOARD"},
  };
  auto it = names.find(m);
  if (it != names.end()) return it->second;
  char buf[32];
  if (m >= WM_USER && m < 0x8000)
    std::snprintf(buf, sizeof buf, "WM_USER+%u", m - WM_USER);
  else
    std::snprintf(buf, sizeof buf, "%#x", m);
  return buf;
}

}  // namespace plat
