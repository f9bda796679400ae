#include "platform/controls/Button.h"

#include <string>

#include "platform/controls/ControlSupport.h"
#include "platform/gdi/Mnemonic.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

StateTable<ButtonState>& States() { return StateTable<ButtonState>::Instance(); }

bool IsCheckKind(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadioKind(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

// ---- Drawing (reads the state only) -------------------------------------------------------------------

UINT OwnerDrawState(HWND hwnd, const ButtonState& s) {
  UINT st = 0;
  if (s.pushed) st |= ODS_SELECTED;
  if (s.focused) st |= ODS_FOCUS;
  if (!IsWindowEnabled(hwnd)) st |= ODS_DISABLED;
  return st;
}

void SendDrawItem(HWND hwnd, HDC dc, const ButtonState& s, UINT action) {
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = static_cast<UINT>(IdOf(hwnd));
  dis.itemAction = action;
  dis.itemState = OwnerDrawState(hwnd, s);
  dis.hwndItem = hwnd;
  dis.hDC = dc;
  dis.rcItem = ClientRectOf(hwnd);
  if (HWND parent = GetParent(hwnd)) SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

void DrawLabel(HDC dc, HWND hwnd, CRect r, UINT format) {
  const std::string text = WindowTextOf(hwnd);
  SetBkMode(dc, TRANSPARENT);
  if (!IsWindowEnabled(hwnd)) {
    // Classic embossed grey text: white shadow one pixel down-right, then the grey text.
    CRect shadow = r;
    shadow.OffsetRect(1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawText(dc, text.c_str(), -1, &shadow, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  DrawText(dc, text.c_str(), -1, &r, format);
}

UINT HorizontalFormat(DWORD style, UINT dflt) {
  switch (style & BS_CENTER) {
    case BS_LEFT: return DT_LEFT;
    case BS_RIGHT: return DT_RIGHT;
    case BS_CENTER: return DT_CENTER;
    default: return dflt;
  }
}

// BS_MULTILINE wraps the label (top-aligned); otherwise it is one line, centred vertically.
UINT LabelLines(DWORD style) { return (style & BS_MULTILINE) ? DT_WORDBREAK : DT_VCENTER | DT_SINGLELINE; }

// The focus rectangle drawn around the label of check boxes and radio buttons.
CRect LabelBox(HDC dc, HWND hwnd, CRect area, UINT format) {
  std::string shown = ParseMnemonic(WindowTextOf(hwnd)).shown;
  CRect calc = area;
  DrawText(dc, shown.empty() ? " " : shown.c_str(), -1, &calc, (format | DT_CALCRECT | DT_NOPREFIX) & ~DT_VCENTER);
  const int h = calc.Height();
  CRect box(area.left, area.top + (area.Height() - h) / 2, area.left + calc.Width(), 0);
  if (format & DT_RIGHT) box.left = area.right - calc.Width(), box.right = area.right;
  if (format & DT_CENTER) box.left = area.left + (area.Width() - calc.Width()) / 2, box.right = box.left + calc.Width();
  box.bottom = box.top + h;
  box.InflateRect(1, 1);
  box.IntersectRect(&box, &area);
  return box;
}

void PaintPush(HDC dc, HWND hwnd, const ButtonState& s, DWORD style) {
  CRect r = ClientRectOf(hwnd);
  // The parent's brush shows only where the face does not reach; the face keeps the 3-D colour.
  HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORBTN, dc);
  FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
  const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  if (isDefault) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    r.DeflateRect(1, 1);
  }
  const bool down = s.pushed || ((style & BS_PUSHLIKE) && s.check != BST_UNCHECKED);
  if (down && isDefault) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW));
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  }
  CRect label = r;
  label.DeflateRect(2, 2);
  if (down) label.OffsetRect(1, 1);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawLabel(dc, hwnd, label, HorizontalFormat(style, DT_CENTER) | LabelLines(style));
  if (s.focused) {
    CRect f = r;
    f.DeflateRect(3, 3);
    DrawFocusRect(dc, &f);
  }
}

void PaintCheckOrRadio(HDC dc, HWND hwnd, const ButtonState& s, DWORD style) {
  CRect r = ClientRectOf(hwnd);
  HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORSTATIC, dc);
  FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
  const DWORD type = style & BS_TYPEMASK;
  constexpr int kBox = 13;
  CRect box(0, r.top + (r.Height() - kBox) / 2, kBox, 0);
  box.bottom = box.top + kBox;
  CRect label(r.left + kBox + 4, r.top, r.right, r.bottom);
  if (style & BS_LEFTTEXT) {
    box.OffsetRect(r.right - kBox, 0);
    label = CRect(r.left, r.top, r.right - kBox - 4, r.bottom);
  }
  UINT state = IsRadioKind(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if ((type == BS_3STATE || type == BS_AUTO3STATE) && s.check == BST_INDETERMINATE)
    state = DFCS_BUTTON3STATE | DFCS_CHECKED;
  else if (s.check != BST_UNCHECKED)
    state |= DFCS_CHECKED;
  if (s.pushed) state |= DFCS_PUSHED;
  if (!IsWindowEnabled(hwnd)) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &box, DFC_BUTTON, state);
  const UINT format = HorizontalFormat(style, DT_LEFT) | LabelLines(style);
  DrawLabel(dc, hwnd, label, format);
  if (s.focused) {
    CRect f = LabelBox(dc, hwnd, label, format);
    DrawFocusRect(dc, &f);
  }
}

void PaintGroupBox(HDC dc, HWND hwnd) {
  CRect r = ClientRectOf(hwnd);
  HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORSTATIC, dc);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  const std::string shown = ParseMnemonic(WindowTextOf(hwnd)).shown;
  CRect frame = r;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (!shown.empty()) {
    CRect calc(0, 0, 0, 0);
    DrawText(dc, shown.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    CRect label(r.left + 8, r.top, r.left + 8 + calc.Width() + 4, r.top + tm.tmHeight);
    if (label.right > r.right - 2) label.right = r.right - 2;
    FillRect(dc, &label, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
    label.left += 2;
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawLabel(dc, hwnd, label, DT_LEFT | DT_TOP | DT_SINGLELINE);
  }
}

void Paint(HWND hwnd, HDC dc, const ButtonState& s) {
  const DWORD style = StyleOf(hwnd);
  const DWORD type = style & BS_TYPEMASK;
  SelectScope font(dc, FontOr(s.font));
  if (type == BS_OWNERDRAW) {
    SendDrawItem(hwnd, dc, s, ODA_DRAWENTIRE);
  } else if (type == BS_GROUPBOX) {
    PaintGroupBox(dc, hwnd);
  } else if (IsCheckKind(type) || IsRadioKind(type)) {
    if (style & BS_PUSHLIKE)
      PaintPush(dc, hwnd, s, style);
    else
      PaintCheckOrRadio(dc, hwnd, s, style);
  } else {
    PaintPush(dc, hwnd, s, style);
  }
}

// A state change shows at once, as classic buttons redraw inside the call; owner-draw buttons hear the
// change as ODA_SELECT or ODA_FOCUS.
void Redraw(HWND hwnd, const ButtonState& s, UINT ownerDrawAction) {
  if (!IsWindowVisible(hwnd)) return;
  if ((StyleOf(hwnd) & BS_TYPEMASK) == BS_OWNERDRAW) {
    ClientDC dc(hwnd);
    if (dc.dc()) SendDrawItem(hwnd, dc.dc(), s, ownerDrawAction);
    return;
  }
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
}

// ---- Behaviour ----------------------------------------------------------------------------------------

void SetPushed(HWND hwnd, ButtonState& s, bool pushed) {
  if (s.pushed == pushed) return;
  s.pushed = pushed;
  Redraw(hwnd, s, ODA_SELECT);
}

void SetCheck(HWND hwnd, ButtonState& s, UINT check) {
  const DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
  if (check > BST_INDETERMINATE) check = BST_CHECKED;
  if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) check = BST_CHECKED;
  if (!IsCheckKind(type) && !IsRadioKind(type)) return;
  if (s.check == check) return;
  s.check = check;
  // A checked radio button is the one its group tabs to.
  if (IsRadioKind(type)) {
    DWORD style = StyleOf(hwnd);
    SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(check ? style | WS_TABSTOP : style & ~WS_TABSTOP));
  }
  Redraw(hwnd, s, ODA_SELECT);
}

// The siblings of an auto radio button's group: from the nearest WS_GROUP at or before it to the next one.
void ClearGroup(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  HWND start = hwnd;
  while (!(StyleOf(start) & WS_GROUP)) {
    HWND prev = GetWindow(start, GW_HWNDPREV);
    if (!prev) break;
    start = prev;
  }
  for (HWND h = start; h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h != start && (StyleOf(h) & WS_GROUP)) break;
    if (h == hwnd) continue;
    if ((StyleOf(h) & BS_TYPEMASK) != BS_AUTORADIOBUTTON) continue;
    if (SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) SendMessage(h, BM_SETCHECK, BST_UNCHECKED, 0);
    if (!IsWindow(hwnd)) return;
  }
}

// The release of a press inside the button: the automatic kinds change state, then the parent hears it.
void Clicked(HWND hwnd) {
  auto keep = States().Get(hwnd);
  if (!keep) return;
  const DWORD style = StyleOf(hwnd);
  const DWORD type = style & BS_TYPEMASK;
  if (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE) {
    SendMessage(hwnd, BM_SETCHECK, NextCheckState(style, keep->check), 0);
  } else if (type == BS_AUTORADIOBUTTON) {
    SendMessage(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    if (!IsWindow(hwnd)) return;
    ClearGroup(hwnd);
  }
  if (IsWindow(hwnd)) NotifyParent(hwnd, BN_CLICKED);
}

bool PointInside(HWND hwnd, LPARAM lParam) {
  const CRect r = ClientRectOf(hwnd);
  return r.PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) != FALSE;
}

LRESULT OnButtonDown(HWND hwnd, ButtonState& s) {
  auto keep = States().Get(hwnd);
  SetCapture(hwnd);
  s.captured = true;
  if (GetFocus() != hwnd) SetFocus(hwnd);
  if (!IsWindow(hwnd)) return 0;
  SetPushed(hwnd, s, true);
  return 0;
}

LRESULT OnButtonUp(HWND hwnd, ButtonState& s, LPARAM lParam) {
  if (!s.captured) return 0;
  auto keep = States().Get(hwnd);
  s.captured = false;
  const bool inside = PointInside(hwnd, lParam);
  SetPushed(hwnd, s, false);
  if (GetCapture() == hwnd) ReleaseCapture();
  if (inside && IsWindow(hwnd)) Clicked(hwnd);
  return 0;
}

LRESULT OnMouseMove(HWND hwnd, ButtonState& s, LPARAM lParam) {
  if (s.captured) SetPushed(hwnd, s, PointInside(hwnd, lParam));
  return 0;
}

LRESULT OnDoubleClick(HWND hwnd, ButtonState& s) {
  const DWORD style = StyleOf(hwnd);
  const DWORD type = style & BS_TYPEMASK;
  // Radio and owner-draw buttons (or any with BS_NOTIFY) report the double click; the rest take it as a
  // second press.
  if ((style & BS_NOTIFY) || IsRadioKind(type) || type == BS_OWNERDRAW) {
    NotifyParent(hwnd, BN_DOUBLECLICKED);
    return 0;
  }
  return OnButtonDown(hwnd, s);
}

LRESULT OnKeyDown(HWND hwnd, ButtonState& s, WPARAM vk) {
  if (vk == VK_SPACE && !s.captured) {
    s.spaceDown = true;
    SetPushed(hwnd, s, true);
  }
  return 0;
}

LRESULT OnKeyUp(HWND hwnd, ButtonState& s, WPARAM vk) {
  if (vk != VK_SPACE || !s.spaceDown) return 0;
  auto keep = States().Get(hwnd);
  s.spaceDown = false;
  SetPushed(hwnd, s, false);
  if (IsWindow(hwnd)) Clicked(hwnd);
  return 0;
}

LRESULT OnFocus(HWND hwnd, ButtonState& s, bool gained) {
  auto keep = States().Get(hwnd);
  s.focused = gained;
  if (!gained) {
    if (s.captured && GetCapture() == hwnd) ReleaseCapture();
    s.captured = false;
    s.spaceDown = false;
    s.pushed = false;
  }
  Redraw(hwnd, s, ODA_FOCUS);
  if (IsWindow(hwnd) && (StyleOf(hwnd) & BS_NOTIFY)) NotifyParent(hwnd, gained ? BN_SETFOCUS : BN_KILLFOCUS);
  return 0;
}

LRESULT OnGetDlgCode(HWND hwnd) {
  const DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
  switch (type) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
  }
}

LRESULT OnSetStyle(HWND hwnd, WPARAM style, LPARAM redraw) {
  const DWORD old = StyleOf(hwnd);
  SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>((old & ~0xFFFFu) | (static_cast<DWORD>(style) & 0xFFFF)));
  if (redraw) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
  }
  return 0;
}

LRESULT OnClick(HWND hwnd) {
  // A disabled or hidden button ignores the click, as no user could have made it.
  if (!IsWindowEnabled(hwnd) || !IsWindowVisible(hwnd)) return 0;
  SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  if (IsWindow(hwnd)) SendMessage(hwnd, WM_LBUTTONUP, 0, 0);
  return 0;
}

LRESULT OnGetState(const ButtonState& s) {
  return static_cast<LRESULT>(s.check | (s.pushed ? BST_PUSHED : 0) | (s.focused ? BST_FOCUS : 0));
}

LRESULT Dispatch(HWND hwnd, ButtonState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PaintScope paint(hwnd, wParam);
      Paint(hwnd, paint.dc(), s);
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // painting covers the whole button
    case WM_GETDLGCODE: return OnGetDlgCode(hwnd);
    case WM_NCHITTEST:
      // A group box is only a frame drawn around other controls: the mouse goes through it to the radios
      // inside, even when the box lies above them in the Z order (as it does when a dialog template lists it
      // first), and to the parent elsewhere.
      if ((StyleOf(hwnd) & BS_TYPEMASK) == BS_GROUPBOX) return HTTRANSPARENT;
      break;
    case WM_LBUTTONDOWN: return OnButtonDown(hwnd, s);
    case WM_LBUTTONUP: return OnButtonUp(hwnd, s, lParam);
    case WM_LBUTTONDBLCLK: return OnDoubleClick(hwnd, s);
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, s, lParam);
    case WM_KEYDOWN: return OnKeyDown(hwnd, s, wParam);
    case WM_KEYUP: return OnKeyUp(hwnd, s, wParam);
    case WM_SETFOCUS: return OnFocus(hwnd, s, true);
    case WM_KILLFOCUS: return OnFocus(hwnd, s, false);
    case WM_CAPTURECHANGED:
      if (s.captured && reinterpret_cast<HWND>(lParam) != hwnd) {
        s.captured = false;
        SetPushed(hwnd, s, false);
      }
      return 0;
    case WM_ENABLE: Redraw(hwnd, s, ODA_DRAWENTIRE); return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case BM_GETCHECK: return s.check;
    case BM_SETCHECK: SetCheck(hwnd, s, static_cast<UINT>(wParam)); return 0;
    case BM_GETSTATE: return OnGetState(s);
    case BM_SETSTATE: SetPushed(hwnd, s, wParam != 0); return 0;
    case BM_SETSTYLE: return OnSetStyle(hwnd, wParam, lParam);
    case BM_CLICK: return OnClick(hwnd);
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(s.image);
    case BM_SETIMAGE: {
      HANDLE old = s.image;
      s.image = reinterpret_cast<HANDLE>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

UINT NextCheckState(DWORD style, UINT check) {
  switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX: return check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
    case BS_AUTO3STATE:
      return check == BST_UNCHECKED ? BST_CHECKED : check == BST_CHECKED ? BST_INDETERMINATE : BST_UNCHECKED;
    default: return check;
  }
}

void RegisterButtonClass() {
  RegisterControlClass(WC_BUTTON, ControlWndProc<ButtonState, Dispatch>, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS);
}

}  // namespace plat::controls

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  if (!IsWindow(dialog)) return FALSE;
  for (int id = firstId; id <= lastId; ++id) {
    if (HWND h = GetDlgItem(dialog, id)) SendMessage(h, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND h = GetDlgItem(dialog, id);
  if (!h) return FALSE;
  SendMessage(h, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND h = GetDlgItem(dialog, id);
  return h ? static_cast<UINT>(SendMessage(h, BM_GETCHECK, 0, 0)) : 0;
}
