#include "platform/controls/ComboBox.h"

#include <algorithm>
#include <string>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Edit.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

struct ComboState {
  HWND edit = nullptr;
  HWND list = nullptr;
  WNDPROC editProc = nullptr;  // the edit's procedure under the combo's subclass
  bool dropped = false;
  int selBeforeDrop = -1;
  std::string textBeforeDrop;  // a drop-down's edit text when its list opened
  bool extendedUI = false;
  int fieldItemHeight = 16;  // CB_GETITEMHEIGHT(-1)
  int droppedHeight = 100;   // list height when dropped
  bool sizing = false;       // the combo is resizing itself
  HFONT font = nullptr;
  bool focused = false;  // the combo or its edit has the focus
  bool arrowPushed = false;
  bool editWasReadOnly = false;
  bool syncing = false;  // the combo itself is setting the edit's text
};

StateTable<ComboState>& States() { return StateTable<ComboState>::Instance(); }

DWORD Kind(HWND hwnd) { return StyleOf(hwnd) & 3; }
bool IsDropKind(HWND hwnd) { return Kind(hwnd) == CBS_DROPDOWN || Kind(hwnd) == CBS_DROPDOWNLIST; }
bool OwnerDraw(HWND hwnd) { return (StyleOf(hwnd) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }

int FieldHeight(const ComboState& s) { return s.fieldItemHeight + 6; }

CRect ArrowRect(HWND hwnd) {
  const CRect c = ClientRectOf(hwnd);
  const int w = std::max(12, GetSystemMetrics(SM_CXVSCROLL));
  return CRect(c.right - 2 - w, c.top + 2, c.right - 2, c.bottom - 2);
}

CRect FieldRect(HWND hwnd, const ComboState& s) {
  CRect c = ClientRectOf(hwnd);
  if (Kind(hwnd) == CBS_SIMPLE) c.bottom = FieldHeight(s);
  CRect r(c.left + 3, c.top + 3, c.right - 3, c.bottom - 3);
  if (IsDropKind(hwnd)) r.right = ArrowRect(hwnd).left - 1;
  return r;
}

LRESULT ListSend(const ComboState& s, UINT msg, WPARAM w, LPARAM l) {
  return s.list ? SendMessage(s.list, msg, w, l) : CB_ERR;
}

std::string ItemText(const ComboState& s, int i) {
  const LRESULT n = ListSend(s, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
  if (n < 0) return {};
  std::string t(static_cast<size_t>(n) + 1, '\0');
  ListSend(s, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(t.data()));
  t.resize(static_cast<size_t>(n));
  return t;
}

int CurSel(const ComboState& s) { return static_cast<int>(ListSend(s, LB_GETCURSEL, 0, 0)); }

// Shows `text` in the edit, all of it selected; the edit's own change notifications must not pass as the user's
// typing.
void SetEditText(ComboState& s, const std::string& text) {
  s.syncing = true;
  SetWindowText(s.edit, text.c_str());
  s.syncing = false;
  SendMessage(s.edit, EM_SETSEL, 0, -1);
}

// The edit shows the selected item's text, all selected.
void SyncEditToSelection(HWND hwnd, ComboState& s) {
  if (s.edit) {
    const int sel = CurSel(s);
    SetEditText(s, sel >= 0 && !(OwnerDraw(hwnd) && !(StyleOf(hwnd) & CBS_HASSTRINGS)) ? ItemText(s, sel)
                                                                                     : std::string());
  }
  InvalidateRect(hwnd, nullptr, FALSE);
}

bool Notify(HWND hwnd, UINT code) { return NotifyParent(hwnd, code); }

// ---- Opening and closing ------------------------------------------------------------------------------

void ShowList(HWND hwnd, ComboState& s) {
  if (s.dropped || !IsDropKind(hwnd) || !s.list) return;
  auto keep = States().Get(hwnd);
  if (!Notify(hwnd, CBN_DROPDOWN)) return;
  s.selBeforeDrop = CurSel(s);
  if (s.edit) s.textBeforeDrop = WindowTextOf(s.edit);
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  RECT listRect{};
  GetWindowRect(s.list, &listRect);
  const int width = std::max<int>(wr.right - wr.left, 0);
  int height = std::max(s.droppedHeight, static_cast<int>(ListSend(s, LB_GETITEMHEIGHT, 0, 0)) + 2);
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  GetMonitorInfo(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi);
  int y = wr.bottom;
  if (y + height > mi.rcWork.bottom && wr.top - height >= mi.rcWork.top) y = wr.top - height;
  s.dropped = true;
  SetWindowPos(s.list, HWND_TOPMOST, wr.left, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  if (!IsWindow(hwnd)) return;
  const int sel = CurSel(s);
  if (sel >= 0) ListSend(s, LB_SETCARETINDEX, static_cast<WPARAM>(sel), 0);
  SetCapture(s.list);
  InvalidateRect(hwnd, nullptr, FALSE);
}

enum class Close { Accept, Cancel, Restore, Quiet };

void HideList(HWND hwnd, ComboState& s, Close how) {
  if (!s.dropped) return;
  auto keep = States().Get(hwnd);
  s.dropped = false;
  s.arrowPushed = false;
  if (how == Close::Restore && CurSel(s) != s.selBeforeDrop) {
    ListSend(s, LB_SETCURSEL, static_cast<WPARAM>(s.selBeforeDrop), 0);
    // A drop-down's field shows again what it held, typed text included, not the text of the item selected.
    if (s.edit) SetEditText(s, s.textBeforeDrop);
    InvalidateRect(hwnd, nullptr, FALSE);
  }
  if (how == Close::Accept && !Notify(hwnd, CBN_SELENDOK)) return;
  if ((how == Close::Cancel || how == Close::Restore) && !Notify(hwnd, CBN_SELENDCANCEL)) return;
  if (GetCapture() == s.list) ReleaseCapture();
  ShowWindow(s.list, SW_HIDE);
  InvalidateRect(hwnd, nullptr, FALSE);
  Notify(hwnd, CBN_CLOSEUP);
}

// ---- Keyboard (from the combo or its edit) ------------------------------------------------------------

// Returns true when the key was the combo's.
bool OnComboKey(HWND hwnd, ComboState& s, UINT msg, WPARAM vk) {
  const bool alt = msg == WM_SYSKEYDOWN;
  if ((vk == VK_F4 && !alt) || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (!IsDropKind(hwnd)) return false;
    if (s.dropped)
      HideList(hwnd, s, Close::Accept);
    else
      ShowList(hwnd, s);
    return true;
  }
  if (alt) return false;
  if (s.dropped) {
    if (vk == VK_RETURN) {
      HideList(hwnd, s, Close::Accept);
      return true;
    }
    if (vk == VK_ESCAPE) {
      HideList(hwnd, s, Close::Restore);
      return true;
    }
  }
  const bool listKey =
      vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT || ((vk == VK_HOME || vk == VK_END) && !s.edit);
  if (!listKey) return false;
  if (s.extendedUI && !s.dropped && vk == VK_DOWN && IsDropKind(hwnd)) {
    ShowList(hwnd, s);
    return true;
  }
  SendMessage(s.list, WM_KEYDOWN, vk, 0);
  return true;
}

void FocusChanged(HWND hwnd, ComboState& s, bool gained, HWND other) {
  if (gained == s.focused) return;
  // Focus moving between the combo and its own edit or list is no change for the parent.
  if (other && (other == hwnd || other == s.edit || other == s.list)) return;
  auto keep = States().Get(hwnd);
  s.focused = gained;
  if (!gained) HideList(hwnd, s, Close::Cancel);
  if (!IsWindow(hwnd)) return;
  InvalidateRect(hwnd, nullptr, FALSE);
  if (gained && s.edit) SendMessage(s.edit, EM_SETSEL, 0, -1);
  Notify(hwnd, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
}

LRESULT ComboEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND combo = GetParent(edit);
  auto s = States().Get(combo);
  if (!s || !s->editProc) return DefWindowProc(edit, msg, wParam, lParam);
  const WNDPROC base = s->editProc;
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (OnComboKey(combo, *s, msg, wParam)) return 0;
      break;
    case WM_CHAR:
      // Enter and Esc belong to the open list, not to the text.
      if (s->dropped && (wParam == 0x0D || wParam == 0x1B)) return 0;
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProc(base, edit, msg, wParam, lParam);
      if (s->dropped) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETFOCUS: {
      LRESULT r = CallWindowProc(base, edit, msg, wParam, lParam);
      FocusChanged(combo, *s, true, reinterpret_cast<HWND>(wParam));
      return r;
    }
    case WM_KILLFOCUS: {
      LRESULT r = CallWindowProc(base, edit, msg, wParam, lParam);
      if (IsWindow(combo)) FocusChanged(combo, *s, false, reinterpret_cast<HWND>(wParam));
      return r;
    }
    default: break;
  }
  return CallWindowProc(base, edit, msg, wParam, lParam);
}

// ---- Painting -----------------------------------------------------------------------------------------

void PaintField(HWND hwnd, HDC dc, ComboState& s) {
  const CRect field = FieldRect(hwnd, s);
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  HBRUSH brush = ControlColor(hwnd, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, dc);
  if (!IsWindow(hwnd)) return;
  FillRect(dc, &field, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
  const int sel = CurSel(s);
  const bool highlight = s.focused && !s.dropped;
  if (OwnerDraw(hwnd)) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = static_cast<UINT>(IdOf(hwnd));
    dis.itemID = static_cast<UINT>(sel);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_COMBOBOXEDIT | (highlight ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    dis.rcItem = field;
    dis.itemData = sel >= 0 ? static_cast<ULONG_PTR>(ListSend(s, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0)) : 0;
    if (HWND parent = GetParent(hwnd)) SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  SelectScope font(dc, FontOr(s.font));
  SetBkMode(dc, TRANSPARENT);
  if (highlight) {
    FillRect(dc, &field, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!enabled) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  if (sel >= 0) {
    const std::string text = ItemText(s, sel);
    // Cut at the field's right edge: a wider text never runs over the arrow button. Upwards and downwards the
    // text keeps the room inside the sunken edge, where an underscore below the field's last line still shows.
    CRect clip = field;
    const CRect client = ClientRectOf(hwnd);
    clip.top = std::min(clip.top, client.top + 2);
    clip.bottom = std::max(clip.bottom, std::min(client.bottom - 2, clip.bottom + 2));
    ExtTextOut(dc, field.left + 2, field.top + (field.Height() - s.fieldItemHeight) / 2, ETO_CLIPPED, &clip,
               text.c_str(), static_cast<UINT>(text.size()), nullptr);
  }
  if (highlight) DrawFocusRect(dc, &field);
}

void Paint(HWND hwnd, HDC dc, ComboState& s) {
  CRect c = ClientRectOf(hwnd);
  if (Kind(hwnd) == CBS_SIMPLE) c.bottom = FieldHeight(s);
  // The parent's background around the field (simple combos leave the list area to the list).
  FillRect(dc, &c, GetSysColorBrush(COLOR_3DFACE));
  DrawEdge(dc, &c, EDGE_SUNKEN, BF_RECT);
  if (IsDropKind(hwnd)) {
    CRect arrow = ArrowRect(hwnd);
    DrawFrameControl(dc, &arrow, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (s.arrowPushed ? DFCS_PUSHED | DFCS_FLAT : 0) |
                         (IsWindowEnabled(hwnd) ? 0 : DFCS_INACTIVE));
  }
  if (!s.edit)
    PaintField(hwnd, dc, s);
  else {
    const CRect field = FieldRect(hwnd, s);
    HBRUSH brush = ControlColor(hwnd, WM_CTLCOLOREDIT, dc);
    FillRect(dc, &field, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
  }
}

// ---- Creation and layout ------------------------------------------------------------------------------

void LayoutChildren(HWND hwnd, ComboState& s) {
  const CRect c = ClientRectOf(hwnd);
  if (s.edit) {
    CRect f = FieldRect(hwnd, s);
    MoveWindow(s.edit, f.left, f.top, f.Width(), f.Height(), TRUE);
  }
  if (Kind(hwnd) == CBS_SIMPLE && s.list) {
    const int top = FieldHeight(s);
    MoveWindow(s.list, 0, top, c.Width(), std::max(0, c.Height() - top), TRUE);
  }
}

void SetOwnHeight(HWND hwnd, ComboState& s, int height) {
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  s.sizing = true;
  SetWindowPos(hwnd, nullptr, 0, 0, wr.right - wr.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  s.sizing = false;
}

LRESULT OnCreate(HWND hwnd, ComboState& s, const CREATESTRUCT* cs) {
  const DWORD style = StyleOf(hwnd);
  const int id = IdOf(hwnd);
  s.fieldItemHeight = FontHeight(s.font);
  if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
    // The selection field is measured first, as item -1.
    MEASUREITEMSTRUCT mis{
        ODT_COMBOBOX, static_cast<UINT>(id), static_cast<UINT>(-1), 0, static_cast<UINT>(s.fieldItemHeight), 0};
    if (HWND parent = GetParent(hwnd))
      SendMessage(parent, WM_MEASUREITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&mis));
    if (!IsWindow(hwnd)) return -1;
    if (mis.itemHeight > 0) s.fieldItemHeight = static_cast<int>(mis.itemHeight);
  }
  DWORD listStyle = WS_VSCROLL | WS_BORDER | LBS_NOTIFY;
  if (style & CBS_SORT) listStyle |= LBS_SORT;
  if (style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
  if (style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
  if (style & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
  if (style & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
  if (Kind(hwnd) != CBS_DROPDOWNLIST) {
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_LEFT;
    if (style & CBS_AUTOHSCROLL) editStyle |= ES_AUTOHSCROLL;
    if (style & CBS_UPPERCASE) editStyle |= ES_UPPERCASE;
    if (style & CBS_LOWERCASE) editStyle |= ES_LOWERCASE;
    s.edit = CreateWindowEx(0, WC_EDIT, "", editStyle, 0, 0, 0, 0, hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboEditId)), nullptr, nullptr);
    if (!s.edit) return -1;
    s.editProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(s.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ComboEditProc)));
  }
  if (Kind(hwnd) == CBS_SIMPLE) {
    s.list = CreateWindowEx(0, WC_COMBOLBOX, "", WS_CHILD | WS_VISIBLE | listStyle, 0, 0, 0, 0, hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboListId)), nullptr, hwnd);
  } else {
    s.list = CreateWindowEx(WS_EX_TOOLWINDOW, WC_COMBOLBOX, "", WS_POPUP | listStyle, 0, 0, 0, 0, hwnd, nullptr,
                            nullptr, hwnd);
  }
  if (!s.list) return -1;
  if (Kind(hwnd) != CBS_SIMPLE) {
    s.droppedHeight = std::max(0, cs->cy - FieldHeight(s));
    SetOwnHeight(hwnd, s, FieldHeight(s));
  }
  LayoutChildren(hwnd, s);
  return 0;
}

// The requested height is field plus list; the window keeps the field's.
void OnPosChanging(HWND hwnd, ComboState& s, WINDOWPOS* wp) {
  if (s.sizing || !IsDropKind(hwnd) || (wp->flags & SWP_NOSIZE)) return;
  RECT wr{};
  GetWindowRect(hwnd, &wr);
  if (wp->cy == wr.bottom - wr.top && wp->cy == FieldHeight(s)) return;
  s.droppedHeight = std::max(0, wp->cy - FieldHeight(s));
  wp->cy = FieldHeight(s);
}

// ---- Mouse --------------------------------------------------------------------------------------------

LRESULT OnButtonDown(HWND hwnd, ComboState& s, LPARAM lParam) {
  auto keep = States().Get(hwnd);
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  HWND focusTarget = s.edit ? s.edit : hwnd;
  if (GetFocus() != focusTarget) SetFocus(focusTarget);
  if (!IsWindow(hwnd) || !IsDropKind(hwnd)) return 0;
  // A drop-down list opens from anywhere on the field; a drop-down only from the arrow. Posted clicks at
  // (0, 0) count as the field.
  const bool onArrow = ArrowRect(hwnd).PtInRect(pt) != FALSE;
  if (Kind(hwnd) == CBS_DROPDOWN && !onArrow && !(pt.x == 0 && pt.y == 0)) return 0;
  if (s.dropped) {
    HideList(hwnd, s, Close::Accept);
    return 0;
  }
  s.arrowPushed = true;
  ShowList(hwnd, s);
  return 0;
}

}  // namespace

void ComboListEvent(HWND combo, ListEvent event) {
  auto s = States().Get(combo);
  if (!s) return;
  switch (event) {
    case ListEvent::SelChange:
      SyncEditToSelection(combo, *s);
      Notify(combo, CBN_SELCHANGE);
      break;
    case ListEvent::Chosen: HideList(combo, *s, Close::Accept); break;
    case ListEvent::Cancel: HideList(combo, *s, Close::Cancel); break;
    case ListEvent::DoubleClick: Notify(combo, CBN_DBLCLK); break;
  }
}

namespace {

LRESULT OnGetText(ComboState& s, WPARAM size, LPARAM buffer) {
  if (s.edit) return SendMessage(s.edit, WM_GETTEXT, size, buffer);
  if (!buffer || size == 0) return 0;
  const int sel = CurSel(s);
  const std::string text = sel >= 0 ? ItemText(s, sel) : std::string();
  const size_t n = std::min<size_t>(text.size(), size - 1);
  std::copy_n(text.data(), n, reinterpret_cast<char*>(buffer));
  reinterpret_cast<char*>(buffer)[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT OnSetText(HWND hwnd, ComboState& s, LPARAM text) {
  if (s.edit) {
    // Text set by the program is no user edit: no CBN_EDITUPDATE/CBN_EDITCHANGE.
    s.syncing = true;
    const LRESULT r = SendMessage(s.edit, WM_SETTEXT, 0, text);
    s.syncing = false;
    return r;
  }
  // A drop-down list can only show one of its items.
  const LRESULT i = ListSend(s, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text);
  if (i == LB_ERR) return CB_ERR;
  ListSend(s, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
  InvalidateRect(hwnd, nullptr, FALSE);
  return TRUE;
}

LRESULT OnEnable(HWND hwnd, ComboState& s, bool enabled) {
  // A disabled combo keeps its edit usable for selecting and copying, but read-only.
  if (s.edit) {
    if (!enabled) {
      s.editWasReadOnly = (StyleOf(s.edit) & ES_READONLY) != 0;
      SendMessage(s.edit, EM_SETREADONLY, TRUE, 0);
    } else {
      SendMessage(s.edit, EM_SETREADONLY, s.editWasReadOnly, 0);
    }
  }
  if (!enabled) HideList(hwnd, s, Close::Cancel);
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT Dispatch(HWND hwnd, ComboState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(wParam);
  if (const auto answer = PaintMessage(hwnd, s, msg, wParam, Paint)) return *answer;
  switch (msg) {
    case WM_CREATE: return OnCreate(hwnd, s, reinterpret_cast<const CREATESTRUCT*>(lParam));
    case WM_DESTROY:
      if (s.list && IsWindow(s.list)) DestroyWindow(s.list);
      s.list = nullptr;
      break;
    case WM_WINDOWPOSCHANGING: OnPosChanging(hwnd, s, reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_SIZE:
      LayoutChildren(hwnd, s);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      if (s.edit) SendMessage(s.edit, WM_SETFONT, wParam, lParam);
      if (s.list) SendMessage(s.list, WM_SETFONT, wParam, lParam);
      if (!OwnerDraw(hwnd)) {
        s.fieldItemHeight = FontHeight(s.font);
        if (IsDropKind(hwnd)) SetOwnHeight(hwnd, s, FieldHeight(s));
        LayoutChildren(hwnd, s);
      }
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_SETTEXT: return OnSetText(hwnd, s, lParam);
    case WM_GETTEXT: return OnGetText(s, wParam, lParam);
    case WM_GETTEXTLENGTH: {
      if (s.edit) return GetWindowTextLength(s.edit);
      const int sel = CurSel(s);
      return sel >= 0 ? static_cast<LRESULT>(ItemText(s, sel).size()) : 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (s.dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
      if (s.edit) {
        SetFocus(s.edit);
        return 0;
      }
      FocusChanged(hwnd, s, true, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_KILLFOCUS: FocusChanged(hwnd, s, false, reinterpret_cast<HWND>(wParam)); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (OnComboKey(hwnd, s, msg, wParam)) return 0;
      break;
    case WM_CHAR:
      // A drop-down list selects by the typed initial.
      if (!s.edit && wParam >= 0x20) SendMessage(s.list, WM_CHAR, wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, s, lParam);
    case WM_LBUTTONUP:
      // The press opened the list and the list keeps it open: the release changes nothing.
      if (s.arrowPushed) {
        s.arrowPushed = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_ENABLE: return OnEnable(hwnd, s, wParam != 0);
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == s.edit && s.edit) {
        if (s.syncing) return 0;
        if (HIWORD(wParam) == EN_CHANGE)
          Notify(hwnd, CBN_EDITCHANGE);
        else if (HIWORD(wParam) == EN_UPDATE)
          Notify(hwnd, CBN_EDITUPDATE);
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      // The edit's and the list's colours are the parent's to choose, in the combo's place.
      if (HWND parent = GetParent(hwnd)) return SendMessage(parent, msg, wParam, lParam);
      break;
    case CB_ADDSTRING: return ListSend(s, LB_ADDSTRING, 0, lParam);
    case CB_INSERTSTRING: return ListSend(s, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: return ListSend(s, LB_DELETESTRING, wParam, lParam);
    case CB_RESETCONTENT:
      ListSend(s, LB_RESETCONTENT, 0, 0);
      if (s.edit) {
        s.syncing = true;
        SetWindowText(s.edit, "");
        s.syncing = false;
      }
      InvalidateRect(hwnd, nullptr, FALSE);
      return CB_OKAY;
    case CB_GETCOUNT: return ListSend(s, LB_GETCOUNT, 0, 0);
    case CB_GETCURSEL: return CurSel(s);
    case CB_GETLBTEXT: return ListSend(s, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return ListSend(s, LB_GETTEXTLEN, wParam, lParam);
    case CB_FINDSTRING: return ListSend(s, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return ListSend(s, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
      const LRESULT i = ListSend(s, LB_SELECTSTRING, wParam, lParam);
      if (i != LB_ERR) SyncEditToSelection(hwnd, s);
      return i;
    }
    case CB_SETCURSEL: {
      const LRESULT r = ListSend(s, LB_SETCURSEL, wParam, 0);
      SyncEditToSelection(hwnd, s);
      return index == -1 ? CB_ERR : r;
    }
    case CB_GETITEMDATA: return ListSend(s, LB_GETITEMDATA, wParam, 0);
    case CB_SETITEMDATA: return ListSend(s, LB_SETITEMDATA, wParam, lParam);
    case CB_SHOWDROPDOWN:
      if (wParam)
        ShowList(hwnd, s);
      else
        HideList(hwnd, s, Close::Quiet);
      return TRUE;
    case CB_GETDROPPEDSTATE: return s.dropped;
    case CB_GETDROPPEDCONTROLRECT: {
      if (!lParam) return CB_ERR;
      RECT wr{};
      GetWindowRect(hwnd, &wr);
      wr.bottom = wr.top + FieldHeight(s) + s.droppedHeight;
      *reinterpret_cast<RECT*>(lParam) = wr;
      return TRUE;
    }
    case CB_SETEXTENDEDUI: s.extendedUI = wParam != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return s.extendedUI;
    case CB_GETEDITSEL:
      if (!s.edit) return CB_ERR;
      return SendMessage(s.edit, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL:
      if (!s.edit) return CB_ERR;
      SendMessage(s.edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)))),
                  static_cast<LPARAM>(static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))));
      return TRUE;
    case CB_LIMITTEXT:
      if (!s.edit) return CB_ERR;
      SendMessage(s.edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_SETITEMHEIGHT:
      if (index == -1) {
        const int h = LOWORD(static_cast<DWORD_PTR>(lParam));
        if (h <= 0) return CB_ERR;
        s.fieldItemHeight = h;
        if (IsDropKind(hwnd)) SetOwnHeight(hwnd, s, FieldHeight(s));
        LayoutChildren(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
      }
      return ListSend(s, LB_SETITEMHEIGHT, wParam, lParam);
    case CB_GETITEMHEIGHT:
      if (index == -1) return s.fieldItemHeight;
      return ListSend(s, LB_GETITEMHEIGHT, wParam, 0);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The scroll bar styles are the list's; the combo itself never shows a bar.
void OnCreate(HWND hwnd, ComboState&, LPARAM) {
  const DWORD style = StyleOf(hwnd);
  if (style & (WS_VSCROLL | WS_HSCROLL))
    SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(style & ~(WS_VSCROLL | WS_HSCROLL)));
}

}  // namespace

bool FillComboBoxInfo(HWND combo, COMBOBOXINFO* info) {
  auto s = States().Get(combo);
  if (!s || !info || info->cbSize != sizeof(COMBOBOXINFO)) return false;
  info->rcItem = FieldRect(combo, *s);
  info->rcButton = IsDropKind(combo) ? RECT(ArrowRect(combo)) : RECT{};
  info->stateButton = s->arrowPushed ? STATE_SYSTEM_PRESSED : 0;
  info->hwndCombo = combo;
  info->hwndItem = s->edit ? s->edit : combo;
  info->hwndList = s->list;
  return true;
}

void RegisterComboBoxClass() {
  RegisterControlClass(WC_COMBOBOX, ControlWndProc<ComboState, Dispatch, OnCreate>,
                       CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS);
}

}  // namespace plat::controls

BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO* info) {
  return plat::controls::FillComboBoxInfo(combo, info) ? TRUE : FALSE;
}
