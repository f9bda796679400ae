#include "platform/controls/ListBox.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/StringApi.h"
#include "platform/controls/ChunkedList.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ControlSupport.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/WindowClassRegistry.h"

namespace plat::controls {
namespace {

struct Item {
  std::string text;
  ULONG_PTR data = 0;
  int height = 0;  // owner-draw variable only
  bool selected = false;
};

struct ListState {
  ChunkedList<Item> items;
  int sel = -1;     // single selection
  int caret = -1;   // focus item
  int anchor = -1;  // extended selection anchor
  int top = 0;
  int itemHeight = 16;
  HFONT font = nullptr;
  bool focused = false;
  bool tracking = false;  // mouse press in progress
  bool trackToggle = false;
  HWND combo = nullptr;
  bool measuring = false;  // inside WM_MEASUREITEM for a new item
  bool vscroll = false;    // created with WS_VSCROLL (the bar itself comes and goes with the need)
  bool hscroll = false;    // created with WS_HSCROLL (that bar too comes and goes with the need)
  int extent = 0;          // LB_SETHORIZONTALEXTENT: the width the items scroll over sideways
  int hpos = 0;            // how far they are scrolled to the left
};

StateTable<ListState>& States() { return StateTable<ListState>::Instance(); }

DWORD Style(HWND hwnd) { return StyleOf(hwnd); }
bool OwnerDraw(DWORD style) { return (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
bool HasStrings(DWORD style) { return !OwnerDraw(style) || (style & LBS_HASSTRINGS); }
bool Multi(DWORD style) { return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
int Count(const ListState& s) { return static_cast<int>(s.items.size()); }
bool Valid(const ListState& s, int i) { return i >= 0 && i < Count(s); }

// ---- Who hears about it -------------------------------------------------------------------------------

HWND NotifyTarget(HWND hwnd, const ListState& s) { return s.combo ? GetParent(s.combo) : GetParent(hwnd); }
HWND ItemWindow(HWND hwnd, const ListState& s) { return s.combo ? s.combo : hwnd; }
UINT OwnerDrawType(const ListState& s) { return s.combo ? ODT_COMBOBOX : ODT_LISTBOX; }

bool Notify(HWND hwnd, const ListState& s, UINT code) {
  if (s.combo) {
    HWND combo = s.combo;
    ListEvent ev = code == LBN_DBLCLK ? ListEvent::DoubleClick : ListEvent::SelChange;
    ComboListEvent(combo, ev);
    return IsWindow(hwnd) != FALSE;
  }
  if ((code == LBN_SELCHANGE || code == LBN_DBLCLK || code == LBN_SELCANCEL) && !(Style(hwnd) & LBS_NOTIFY))
    return true;
  return NotifyParent(hwnd, code);
}

// ---- Geometry -----------------------------------------------------------------------------------------

int HeightOf(HWND hwnd, const ListState& s, int i) {
  if ((Style(hwnd) & LBS_OWNERDRAWVARIABLE) && Valid(s, i)) return std::max(1, s.items[static_cast<size_t>(i)].height);
  return s.itemHeight;
}

int VisibleCount(HWND hwnd, const ListState& s) {
  const int h = ClientRectOf(hwnd).Height();
  if (!(Style(hwnd) & LBS_OWNERDRAWVARIABLE)) return std::max(1, h / s.itemHeight);
  int y = 0, n = 0;
  for (int i = s.top; i < Count(s); ++i) {
    y += HeightOf(hwnd, s, i);
    if (y > h) break;
    ++n;
  }
  return std::max(1, n);
}

CRect ItemRect(HWND hwnd, const ListState& s, int i) {
  const CRect c = ClientRectOf(hwnd);
  int y = 0;
  if (Style(hwnd) & LBS_OWNERDRAWVARIABLE) {
    if (i >= s.top)
      for (int k = s.top; k < i; ++k) y += HeightOf(hwnd, s, k);
    else
      for (int k = i; k < s.top; ++k) y -= HeightOf(hwnd, s, k);
  } else {
    y = (i - s.top) * s.itemHeight;
  }
  return CRect(c.left, y, c.right, y + HeightOf(hwnd, s, i));
}

// The item under a client point; `outside` when the point is past the items or the client area.
int ItemFromPoint(HWND hwnd, const ListState& s, CPoint pt, bool* outside) {
  const CRect c = ClientRectOf(hwnd);
  *outside = !c.PtInRect(pt);
  if (Count(s) == 0) {
    *outside = true;
    return 0;
  }
  int y = 0;
  int i = s.top;
  if (pt.y < 0) {
    *outside = true;
    return std::max(0, s.top - 1);
  }
  for (; i < Count(s); ++i) {
    const int h = HeightOf(hwnd, s, i);
    if (pt.y < y + h) return i;
    y += h;
  }
  *outside = true;
  return Count(s) - 1;
}

void UpdateScrollBar(HWND hwnd, const ListState& s) {
  if (!s.vscroll) return;
  SCROLLINFO si{sizeof(si),
                SIF_RANGE | SIF_PAGE | SIF_POS,
                0,
                std::max(0, Count(s) - 1),
                static_cast<UINT>(VisibleCount(hwnd, s)),
                s.top,
                0};
  if (Style(hwnd) & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
  SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

// The horizontal bar of a list with WS_HSCROLL: it scrolls over the extent the owner set, and shows while that is
// wider than the list (disabled, with LBS_DISABLENOSCROLL, when it is not).
void UpdateHorizontalBar(HWND hwnd, ListState& s) {
  if (!s.hscroll) return;
  const int width = ClientRectOf(hwnd).Width();
  s.hpos = std::clamp(s.hpos, 0, std::max(0, s.extent - width));
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, s.extent - 1),
                static_cast<UINT>(std::max(1, width)), s.hpos, 0};
  if (s.extent <= width) si = SCROLLINFO{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 1, 0, 0};
  if (Style(hwnd) & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
  SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
}

void SetHorizontalPos(HWND hwnd, ListState& s, int pos) {
  const int before = s.hpos;
  s.hpos = pos;
  UpdateHorizontalBar(hwnd, s);
  if (s.hpos != before) InvalidateRect(hwnd, nullptr, TRUE);
}

void SetTop(HWND hwnd, ListState& s, int top) {
  top = std::clamp(top, 0, std::max(0, Count(s) - 1));
  // Never scroll past the point where the last item sits at the bottom.
  const int h = ClientRectOf(hwnd).Height();
  if (!(Style(hwnd) & LBS_OWNERDRAWVARIABLE)) {
    top = std::min(top, std::max(0, Count(s) - std::max(1, h / s.itemHeight)));
  } else {
    // The lowest top from which the items to the end still fill the client area.
    int lowest = Count(s), y = 0;
    while (lowest > 0 && y + HeightOf(hwnd, s, lowest - 1) <= h) y += HeightOf(hwnd, s, --lowest);
    top = std::min(top, std::max(0, std::min(lowest, Count(s) - 1)));
  }
  if (top == s.top) return;
  s.top = top;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBar(hwnd, s);
}

void EnsureVisible(HWND hwnd, ListState& s, int i) {
  if (!Valid(s, i)) return;
  if (i < s.top) {
    SetTop(hwnd, s, i);
    return;
  }
  const int visible = VisibleCount(hwnd, s);
  if (i >= s.top + visible) {
    if (Style(hwnd) & LBS_OWNERDRAWVARIABLE) {
      const int h = ClientRectOf(hwnd).Height();
      int top = i, y = HeightOf(hwnd, s, i);
      while (top > 0 && y + HeightOf(hwnd, s, top - 1) <= h) y += HeightOf(hwnd, s, --top);
      SetTop(hwnd, s, top);
    } else {
      SetTop(hwnd, s, i - visible + 1);
    }
  }
}

void InvalidateItem(HWND hwnd, const ListState& s, int i) {
  if (!Valid(s, i)) return;
  const CRect r = ItemRect(hwnd, s, i);
  InvalidateRect(hwnd, &r, TRUE);
}

// ---- Items --------------------------------------------------------------------------------------------

int CompareItems(HWND hwnd, const ListState& s, const Item& a, const Item& b, int indexOfA) {
  if (HasStrings(Style(hwnd))) return Collate1252(a.text, b.text, true);
  COMPAREITEMSTRUCT cis{};
  cis.CtlType = OwnerDrawType(s);
  cis.CtlID = static_cast<UINT>(IdOf(ItemWindow(hwnd, s)));
  cis.hwndItem = ItemWindow(hwnd, s);
  cis.itemID1 = static_cast<UINT>(indexOfA);
  cis.itemData1 = a.data;
  cis.itemID2 = static_cast<UINT>(-1);
  cis.itemData2 = b.data;
  HWND target = NotifyTarget(hwnd, s);
  return target ? static_cast<int>(SendMessage(target, WM_COMPAREITEM, cis.CtlID, reinterpret_cast<LPARAM>(&cis))) : 0;
}

int SortedPosition(HWND hwnd, const ListState& s, const Item& item) {
  // After the last equal item, so equal texts keep their order of arrival.
  return static_cast<int>(s.items.PartitionPoint([&](const Item& existing, size_t index) {
    return CompareItems(hwnd, s, existing, item, static_cast<int>(index)) <= 0;
  }));
}

void Measure(HWND hwnd, ListState& s, int index, Item& item) {
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = OwnerDrawType(s);
  mis.CtlID = static_cast<UINT>(IdOf(ItemWindow(hwnd, s)));
  mis.itemID = static_cast<UINT>(index);
  mis.itemHeight = static_cast<UINT>(s.itemHeight);
  mis.itemWidth = static_cast<UINT>(ClientRectOf(hwnd).Width());
  mis.itemData = item.data;
  if (HWND target = NotifyTarget(hwnd, s))
    SendMessage(target, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
  item.height = static_cast<int>(mis.itemHeight);
}

// Puts one item in (LB_ADDSTRING's and LB_INSERTSTRING's `lParam`) without repainting: the caller repaints
// once for all it put in. LB_ERR for an index out of range or a list destroyed while the item was measured.
LRESULT PutItem(HWND hwnd, ListState& s, int index, LPARAM lParam, bool sortIt) {
  const DWORD style = Style(hwnd);
  Item item;
  if (HasStrings(style))
    item.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
  else
    item.data = static_cast<ULONG_PTR>(lParam);
  if (sortIt && (style & LBS_SORT)) index = SortedPosition(hwnd, s, item);
  if (index < 0 || index > Count(s)) {
    if (index != -1) return LB_ERR;
    index = Count(s);
  }
  if (HasStrings(style) && OwnerDraw(style)) item.data = 0;
  s.items.insert(static_cast<size_t>(index), std::move(item));
  if (s.sel >= index) ++s.sel;
  if (s.caret >= index) ++s.caret;
  if (s.anchor >= index) ++s.anchor;
  if (style & LBS_OWNERDRAWVARIABLE) {
    // Measured inside the add, with the item already counted (its text may not be readable yet).
    Item& it = s.items[static_cast<size_t>(index)];
    Item copy = it;
    s.measuring = true;
    Measure(hwnd, s, index, copy);
    if (!IsWindow(hwnd)) return LB_ERR;
    s.measuring = false;
    if (index < Count(s)) s.items[static_cast<size_t>(index)].height = copy.height;
  }
  return index;
}

LRESULT Insert(HWND hwnd, ListState& s, int index, LPARAM lParam, bool sortIt) {
  auto keep = States().Get(hwnd);
  const LRESULT put = PutItem(hwnd, s, index, lParam, sortIt);
  if (put == LB_ERR) return LB_ERR;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBar(hwnd, s);
  return put;
}

// LB_APPENDITEMS: every item as LB_INSERTSTRING at the end and LB_SETITEMDATA would put it in, one repaint.
LRESULT Append(HWND hwnd, ListState& s, size_t count, const LBAPPENDITEM* items) {
  if (!items) return LB_ERR;
  auto keep = States().Get(hwnd);
  const int first = Count(s);
  const bool strings = HasStrings(Style(hwnd));
  for (size_t k = 0; k < count; ++k) {
    const LPARAM put = strings ? reinterpret_cast<LPARAM>(items[k].text) : static_cast<LPARAM>(items[k].data);
    const LRESULT index = PutItem(hwnd, s, -1, put, false);
    if (index == LB_ERR) return LB_ERR;  // only a list destroyed while measuring stops it
    if (Valid(s, static_cast<int>(index))) s.items[static_cast<size_t>(index)].data = items[k].data;
  }
  if (count > 0) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateScrollBar(hwnd, s);
  }
  return first;
}

void SendDeleteItem(HWND hwnd, const ListState& s, int index, const Item& item) {
  if (!OwnerDraw(Style(hwnd))) return;
  DELETEITEMSTRUCT dis{};
  dis.CtlType = OwnerDrawType(s);
  dis.CtlID = static_cast<UINT>(IdOf(ItemWindow(hwnd, s)));
  dis.itemID = static_cast<UINT>(index);
  dis.hwndItem = ItemWindow(hwnd, s);
  dis.itemData = item.data;
  if (HWND target = NotifyTarget(hwnd, s))
    SendMessage(target, WM_DELETEITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

LRESULT Delete(HWND hwnd, ListState& s, int index) {
  if (!Valid(s, index)) return LB_ERR;
  auto keep = States().Get(hwnd);
  const Item item = s.items[static_cast<size_t>(index)];
  s.items.erase(static_cast<size_t>(index));
  auto shift = [&](int& v) {
    if (v == index)
      v = -1;
    else if (v > index)
      --v;
  };
  shift(s.sel);
  shift(s.anchor);
  if (s.caret > index || (s.caret == index && s.caret >= Count(s))) --s.caret;
  if (s.top > 0 && s.top >= Count(s)) s.top = std::max(0, Count(s) - 1);
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBar(hwnd, s);
  SendDeleteItem(hwnd, s, index, item);
  return Count(s);
}

void Reset(HWND hwnd, ListState& s) {
  auto keep = States().Get(hwnd);
  ChunkedList<Item> old = std::move(s.items);
  s.items.clear();
  s.sel = s.caret = s.anchor = -1;
  s.top = 0;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBar(hwnd, s);
  if (OwnerDraw(Style(hwnd)))
    for (size_t i = 0; i < old.size(); ++i) SendDeleteItem(hwnd, s, static_cast<int>(i), old[i]);
}

// ---- Search -------------------------------------------------------------------------------------------

bool PrefixMatch(const std::string& text, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (i >= text.size()) return false;
    if (ToLower1252(static_cast<unsigned char>(text[i])) != ToLower1252(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

LRESULT Find(HWND hwnd, const ListState& s, int start, LPARAM what, bool exact) {
  const int n = Count(s);
  if (n == 0) return LB_ERR;
  if (start < -1 || start >= n) start = -1;
  const bool strings = HasStrings(Style(hwnd));
  const char* text = strings ? (what ? reinterpret_cast<const char*>(what) : "") : nullptr;
  const size_t length = text ? std::strlen(text) : 0;
  // From the item after `start`, wrapping round; `start` itself is looked at last.
  const long hit = s.items.FindFrom(static_cast<size_t>(start + 1), [&](const Item& item) {
    if (!strings) return item.data == static_cast<ULONG_PTR>(what);
    if (exact) return item.text.size() == length && Collate1252(item.text, text, true) == 0;
    return PrefixMatch(item.text, text);
  });
  return hit < 0 ? LB_ERR : static_cast<LRESULT>(hit);
}

// ---- Selection ----------------------------------------------------------------------------------------

void RedrawItem(HWND hwnd, ListState& s, int i, UINT action);

// The item that shows the focus while the list has it: the caret item. Before there is one, a list that
// draws itself marks its first item, where the keys start; an owner-drawn list marks none.
int FocusItem(HWND hwnd, const ListState& s) {
  if (Valid(s, s.caret)) return s.caret;
  return Count(s) > 0 && !OwnerDraw(Style(hwnd)) ? 0 : -1;
}

// The focus item's focus rectangle comes and goes as ODA_FOCUS (drawn with or without ODS_FOCUS).
void CaretFocusOff(HWND hwnd, ListState& s) {
  const int i = FocusItem(hwnd, s);
  if (!s.focused || i < 0) return;
  s.focused = false;  // the state the item is drawn in
  RedrawItem(hwnd, s, i, ODA_FOCUS);
  s.focused = true;
}

void CaretFocusOn(HWND hwnd, ListState& s) {
  const int i = FocusItem(hwnd, s);
  if (s.focused && i >= 0) RedrawItem(hwnd, s, i, ODA_FOCUS);
}

void SetCaretItem(HWND hwnd, ListState& s, int i) {
  if (s.caret == i) return;
  CaretFocusOff(hwnd, s);
  s.caret = i;
  CaretFocusOn(hwnd, s);
}

// An item whose selection changed redraws as ODA_SELECT, which repaints it whole: the caret item gets its
// focus rectangle back after it.
void SelectionRedraw(HWND hwnd, ListState& s, int i) {
  if (!Valid(s, i)) return;
  RedrawItem(hwnd, s, i, ODA_SELECT);
  if (i == s.caret) CaretFocusOn(hwnd, s);
}

// Single selection: returns true when it changed. The focus leaves the old caret item before the
// selection moves and comes to the new one after, as the classic list draws them.
bool SelectSingle(HWND hwnd, ListState& s, int i) {
  if (s.sel == i) {
    SetCaretItem(hwnd, s, i);
    return false;
  }
  if (s.caret != i) {
    CaretFocusOff(hwnd, s);
    s.caret = -1;
  }
  const int old = s.sel;
  s.sel = i;
  SelectionRedraw(hwnd, s, old);
  if (s.caret == i) {
    SelectionRedraw(hwnd, s, i);
  } else {
    s.caret = i;
    RedrawItem(hwnd, s, i, ODA_SELECT);
    CaretFocusOn(hwnd, s);
  }
  return true;
}

bool SetItemSelected(HWND hwnd, ListState& s, int i, bool on) {
  Item& item = s.items[static_cast<size_t>(i)];
  if (item.selected == on) return false;
  item.selected = on;
  SelectionRedraw(hwnd, s, i);
  return true;
}

// Extended selection: exactly the range anchor..i selected.
bool SelectRange(HWND hwnd, ListState& s, int from, int to, bool clearOthers) {
  if (from > to) std::swap(from, to);
  bool changed = false;
  for (int k = 0; k < Count(s); ++k) {
    const bool in = k >= from && k <= to;
    if (in)
      changed |= SetItemSelected(hwnd, s, k, true);
    else if (clearOthers)
      changed |= SetItemSelected(hwnd, s, k, false);
  }
  return changed;
}

bool IsSelected(HWND hwnd, const ListState& s, int i) {
  if (!Valid(s, i)) return false;
  return Multi(Style(hwnd)) ? s.items[static_cast<size_t>(i)].selected : s.sel == i;
}

// A user's move of the caret to item i (keyboard or mouse), with the modifiers of that moment.
bool UserSelect(HWND hwnd, ListState& s, int i, bool shift, bool ctrl, bool toggle) {
  const DWORD style = Style(hwnd);
  if (!Valid(s, i) || (style & LBS_NOSEL)) return false;
  bool changed = false;
  if (style & LBS_MULTIPLESEL) {
    SetCaretItem(hwnd, s, i);
    if (toggle) changed = SetItemSelected(hwnd, s, i, !s.items[static_cast<size_t>(i)].selected);
  } else if (style & LBS_EXTENDEDSEL) {
    if (shift && s.anchor >= 0) {
      changed = SelectRange(hwnd, s, s.anchor, i, !ctrl);
    } else if (ctrl) {
      s.anchor = i;
      if (toggle) changed = SetItemSelected(hwnd, s, i, !s.items[static_cast<size_t>(i)].selected);
    } else {
      s.anchor = i;
      changed = SelectRange(hwnd, s, i, i, true);
    }
    SetCaretItem(hwnd, s, i);
  } else {
    changed = SelectSingle(hwnd, s, i);
  }
  EnsureVisible(hwnd, s, i);
  return changed;
}

// ---- Keyboard and mouse -------------------------------------------------------------------------------

LRESULT OnKeyDown(HWND hwnd, ListState& s, WPARAM vk) {
  const int n = Count(s);
  if (n == 0) return 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const int cur = s.caret < 0 ? (s.sel < 0 ? -1 : s.sel) : s.caret;
  const int page = std::max(1, VisibleCount(hwnd, s) - 1);
  int target = -1;
  switch (vk) {
    case VK_UP:
    case VK_LEFT: target = cur < 0 ? 0 : std::max(0, cur - 1); break;
    case VK_DOWN:
    case VK_RIGHT: target = cur < 0 ? 0 : std::min(n - 1, cur + 1); break;
    case VK_PRIOR: target = std::max(0, (cur < 0 ? 0 : cur) - page); break;
    case VK_NEXT: target = std::min(n - 1, (cur < 0 ? 0 : cur) + page); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = n - 1; break;
    case VK_SPACE:
      if (Style(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        if (UserSelect(hwnd, s, std::max(0, cur), false, true, true)) Notify(hwnd, s, LBN_SELCHANGE);
      }
      return 0;
    default: return 0;
  }
  // In a multiple-selection list the arrows move only the focus; Space toggles.
  const bool multiple = Style(hwnd) & LBS_MULTIPLESEL;
  if (UserSelect(hwnd, s, target, shift, ctrl && !multiple, !multiple && !ctrl) || (!multiple && ctrl))
    Notify(hwnd, s, LBN_SELCHANGE);
  return 0;
}

LRESULT OnChar(HWND hwnd, ListState& s, WPARAM wParam) {
  const auto c = static_cast<unsigned char>(wParam);
  if (c < 0x20 || !HasStrings(Style(hwnd)) || Count(s) == 0) return 0;
  const char prefix[2] = {static_cast<char>(c), 0};
  const int from = s.caret >= 0 ? s.caret : -1;
  const LRESULT i = Find(hwnd, s, from, reinterpret_cast<LPARAM>(prefix), false);
  if (i == LB_ERR) return 0;
  if (UserSelect(hwnd, s, static_cast<int>(i), false, false, false)) Notify(hwnd, s, LBN_SELCHANGE);
  return 0;
}

LRESULT OnButtonDown(HWND hwnd, ListState& s, LPARAM lParam, bool dbl) {
  auto keep = States().Get(hwnd);
  if (!s.combo && GetFocus() != hwnd) SetFocus(hwnd);
  if (!IsWindow(hwnd)) return 0;
  bool outside = false;
  const int i = ItemFromPoint(hwnd, s, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), &outside);
  if (s.combo && outside && !ClientRectOf(hwnd).PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))) {
    ComboListEvent(s.combo, ListEvent::Cancel);
    return 0;
  }
  s.tracking = true;
  SetCapture(hwnd);
  if (Count(s) == 0 || (outside && !s.combo)) {
    if (dbl) Notify(hwnd, s, LBN_DBLCLK);
    return 0;
  }
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool changed = UserSelect(hwnd, s, i, shift, ctrl, true);
  if (changed && !Notify(hwnd, s, LBN_SELCHANGE)) return 0;
  if (dbl) Notify(hwnd, s, LBN_DBLCLK);
  return 0;
}

LRESULT OnMouseMove(HWND hwnd, ListState& s, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  // An open combo list follows the mouse even before a press, as the classic dropped list does.
  if (!s.tracking && !(s.combo && GetCapture() == hwnd)) return 0;
  const DWORD style = Style(hwnd);
  if (style & LBS_MULTIPLESEL) return 0;
  bool outside = false;
  const int i = ItemFromPoint(hwnd, s, pt, &outside);
  if (s.combo && outside) return 0;
  if (!Valid(s, i)) return 0;
  bool changed = false;
  if (style & LBS_EXTENDEDSEL)
    changed = UserSelect(hwnd, s, i, true, GetKeyState(VK_CONTROL) < 0, false);
  else
    changed = UserSelect(hwnd, s, i, false, false, false);
  if (changed) Notify(hwnd, s, LBN_SELCHANGE);
  return 0;
}

LRESULT OnButtonUp(HWND hwnd, ListState& s, LPARAM lParam) {
  if (!s.tracking) return 0;
  s.tracking = false;
  if (s.combo) {
    auto keep = States().Get(hwnd);
    bool outside = false;
    ItemFromPoint(hwnd, s, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), &outside);
    if (!outside) ComboListEvent(s.combo, ListEvent::Chosen);
    // A simple combo's list is an ordinary child and lets go of the mouse itself; a dropped list's
    // capture belongs to its combo.
    if (IsWindow(hwnd) && (Style(hwnd) & WS_CHILD) && GetCapture() == hwnd) ReleaseCapture();
    return 0;
  }
  if (GetCapture() == hwnd) ReleaseCapture();
  return 0;
}

LRESULT OnFocus(HWND hwnd, ListState& s, bool gained) {
  if (s.focused != gained) {
    s.focused = gained;
    if (const int i = FocusItem(hwnd, s); i >= 0) RedrawItem(hwnd, s, i, ODA_FOCUS);
  }
  if (!gained && s.tracking && GetCapture() == hwnd && !s.combo) ReleaseCapture();
  if (!gained) s.tracking = false;
  if (!s.combo) NotifyParent(hwnd, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
  return 0;
}

// ---- Painting -----------------------------------------------------------------------------------------

void SendDrawItem(HWND hwnd, HDC dc, const ListState& s, int i, const CRect& r, UINT action) {
  const bool selected = IsSelected(hwnd, s, i);
  const bool focus = s.focused && s.caret == i;
  DRAWITEMSTRUCT dis{};
  dis.CtlType = OwnerDrawType(s);
  dis.CtlID = static_cast<UINT>(IdOf(ItemWindow(hwnd, s)));
  dis.itemID = static_cast<UINT>(i);
  dis.itemAction = action;
  dis.itemState =
      (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
  dis.hwndItem = ItemWindow(hwnd, s);
  dis.hDC = dc;
  dis.rcItem = r;
  dis.itemData = s.items[static_cast<size_t>(i)].data;
  if (HWND target = NotifyTarget(hwnd, s)) SendMessage(target, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

// The brush the list's owner gives (it also sets the DC's text colour), or null for the default.
HBRUSH ListBrush(HWND hwnd, const ListState& s, HDC dc) {
  if (s.combo)
    return reinterpret_cast<HBRUSH>(
        SendMessage(s.combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  return ControlColor(hwnd, WM_CTLCOLORLISTBOX, dc);
}

// A change of one item shows at once: an owner-drawn list's owner hears it as the given action (ODA_SELECT
// or ODA_FOCUS) through a client DC, as the classic list draws it inside the call; other lists repaint
// the item.
void RedrawItem(HWND hwnd, ListState& s, int i, UINT action) {
  if (!Valid(s, i)) return;
  if (!OwnerDraw(Style(hwnd)) || !IsWindowVisible(hwnd)) {
    InvalidateItem(hwnd, s, i);
    return;
  }
  const CRect client = ClientRectOf(hwnd);
  const CRect r = ItemRect(hwnd, s, i);
  if (r.bottom <= client.top || r.top >= client.bottom) return;
  auto keep = States().Get(hwnd);
  ClientDC dc(hwnd);
  if (!dc.dc()) return;
  ListBrush(hwnd, s, dc.dc());
  if (!IsWindow(hwnd)) return;
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc.dc(), GetSysColor(COLOR_GRAYTEXT));
  SelectScope font(dc.dc(), FontOr(s.font));
  SetBkMode(dc.dc(), TRANSPARENT);
  SendDrawItem(hwnd, dc.dc(), s, i, r, action);
}

void DrawItem(HWND hwnd, HDC dc, const ListState& s, int i, const CRect& r) {
  const DWORD style = Style(hwnd);
  const bool selected = IsSelected(hwnd, s, i);
  const bool focus = s.focused && FocusItem(hwnd, s) == i;
  if (OwnerDraw(style)) {
    // The whole item, then the focus rectangle of the caret item while the list has the focus.
    SendDrawItem(hwnd, dc, s, i, r, ODA_DRAWENTIRE);
    if (focus && IsWindow(hwnd)) SendDrawItem(hwnd, dc, s, i, r, ODA_FOCUS);
    return;
  }
  const std::string& text = s.items[static_cast<size_t>(i)].text;
  if (selected) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  }
  TextOut(dc, r.left + 2 - s.hpos, r.top, text.c_str(), static_cast<int>(text.size()));
  if (focus) DrawFocusRect(dc, &r);
}

void Paint(HWND hwnd, HDC dc, ListState& s) {
  auto keep = States().Get(hwnd);
  const HBRUSH brush = ListBrush(hwnd, s, dc);
  if (!IsWindow(hwnd)) return;
  const CRect client = ClientRectOf(hwnd);
  FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const COLORREF text = GetTextColor(dc);
  SelectScope font(dc, FontOr(s.font));
  SetBkMode(dc, TRANSPARENT);
  int y = 0;
  for (int i = s.top; i < Count(s) && y < client.bottom; ++i) {
    const int h = HeightOf(hwnd, s, i);
    const CRect r(client.left, y, client.right, y + h);
    SetTextColor(dc, text);
    DrawItem(hwnd, dc, s, i, r);
    if (!IsWindow(hwnd)) return;
    y += h;
  }
  // An empty focused list still shows where the focus is.
  if (Count(s) == 0 && s.focused && !OwnerDraw(Style(hwnd))) {
    CRect r(client.left, 0, client.right, s.itemHeight);
    DrawFocusRect(dc, &r);
  }
}

// ---- Messages -----------------------------------------------------------------------------------------

LRESULT OnGetText(HWND hwnd, const ListState& s, int i, LPARAM buffer) {
  if (!Valid(s, i) || !buffer) return LB_ERR;
  const Item& item = s.items[static_cast<size_t>(i)];
  if (!HasStrings(Style(hwnd))) {
    std::memcpy(reinterpret_cast<void*>(buffer), &item.data, sizeof(item.data));
    return sizeof(item.data);
  }
  std::memcpy(reinterpret_cast<char*>(buffer), item.text.c_str(), item.text.size() + 1);
  return static_cast<LRESULT>(item.text.size());
}

LRESULT OnGetTextLen(HWND hwnd, const ListState& s, int i) {
  if (!Valid(s, i)) return LB_ERR;
  if (!HasStrings(Style(hwnd))) return sizeof(ULONG_PTR);
  return static_cast<LRESULT>(s.items[static_cast<size_t>(i)].text.size());
}

LRESULT OnSetCurSel(HWND hwnd, ListState& s, int i) {
  if (Multi(Style(hwnd))) return LB_ERR;
  if (i == -1 || !Valid(s, i)) {
    SelectSingle(hwnd, s, -1);
    return LB_ERR;  // -1 clears and still answers LB_ERR
  }
  SelectSingle(hwnd, s, i);
  EnsureVisible(hwnd, s, i);
  return i;
}

LRESULT OnSetSel(HWND hwnd, ListState& s, bool on, int i) {
  if (!Multi(Style(hwnd))) return LB_ERR;
  if (i == -1) {
    for (int k = 0; k < Count(s); ++k) SetItemSelected(hwnd, s, k, on);
    return 0;
  }
  if (!Valid(s, i)) return LB_ERR;
  SetItemSelected(hwnd, s, i, on);
  if (on) {
    SetCaretItem(hwnd, s, i);
    s.anchor = i;
  }
  return 0;
}

LRESULT OnSelectString(HWND hwnd, ListState& s, int start, LPARAM text) {
  const LRESULT i = Find(hwnd, s, start, text, false);
  if (i == LB_ERR) return LB_ERR;
  if (Multi(Style(hwnd))) {
    SetItemSelected(hwnd, s, static_cast<int>(i), true);
    SetCaretItem(hwnd, s, static_cast<int>(i));
  } else {
    SelectSingle(hwnd, s, static_cast<int>(i));
  }
  EnsureVisible(hwnd, s, static_cast<int>(i));
  return i;
}

LRESULT OnGetSelItems(const ListState& s, int max, LPARAM out) {
  if (!out) return LB_ERR;
  int n = 0;
  for (int k = 0; k < Count(s) && n < max; ++k)
    if (s.items[static_cast<size_t>(k)].selected) reinterpret_cast<int*>(out)[n++] = k;
  return n;
}

LRESULT OnItemFromPoint(HWND hwnd, const ListState& s, LPARAM lParam) {
  bool outside = false;
  const int i = ItemFromPoint(hwnd, s, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), &outside);
  return MAKELONG(static_cast<WORD>(i), outside ? 1 : 0);
}

LRESULT OnSetItemHeight(HWND hwnd, ListState& s, int i, int h) {
  if (h <= 0 || h > 255) return LB_ERR;
  if (Style(hwnd) & LBS_OWNERDRAWVARIABLE) {
    if (!Valid(s, i)) return LB_ERR;
    s.items[static_cast<size_t>(i)].height = h;
  } else {
    s.itemHeight = h;
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBar(hwnd, s);
  return 0;
}

LRESULT OnScroll(HWND hwnd, ListState& s, WPARAM code) {
  const int page = std::max(1, VisibleCount(hwnd, s) - 1);
  switch (LOWORD(code)) {
    case SB_LINEUP: SetTop(hwnd, s, s.top - 1); break;
    case SB_LINEDOWN: SetTop(hwnd, s, s.top + 1); break;
    case SB_PAGEUP: SetTop(hwnd, s, s.top - page); break;
    case SB_PAGEDOWN: SetTop(hwnd, s, s.top + page); break;
    case SB_TOP: SetTop(hwnd, s, 0); break;
    case SB_BOTTOM: SetTop(hwnd, s, Count(s)); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetTop(hwnd, s, static_cast<SHORT>(HIWORD(code))); break;
    default: break;
  }
  return 0;
}

// Without LBS_NOINTEGRALHEIGHT a plain list box shows whole items only: its height shrinks to fit. A list
// of the combo-list class is sized by whoever drops it (a combo, or a popup it fills), so it keeps the
// height it is given.
bool Integral(HWND hwnd, const ListState& s) {
  if (s.combo || (Style(hwnd) & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE))) return false;
  char cls[16]{};
  GetClassName(hwnd, cls, sizeof(cls));
  return !SameName(cls, WC_COMBOLBOX);
}

int IntegralHeight(HWND hwnd, const ListState& s, int windowHeight) {
  RECT wr{}, cr{};
  GetWindowRect(hwnd, &wr);
  GetClientRect(hwnd, &cr);
  int frame = (wr.bottom - wr.top) - cr.bottom;  // borders and a horizontal bar
  if (cr.bottom <= 0) {
    // A window too small for its frame has no client area to measure the frame by: the borders'.
    RECT none{0, 0, 0, 0};
    AdjustWindowRectEx(&none, Style(hwnd) & ~(WS_VSCROLL | WS_HSCROLL), FALSE,
                       static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_EXSTYLE)));
    frame = none.bottom - none.top;
  }
  const int client = windowHeight - frame;
  if (client <= s.itemHeight) return windowHeight;
  return frame + client - client % s.itemHeight;
}

void OnPosChanging(HWND hwnd, const ListState& s, WINDOWPOS* wp) {
  if ((wp->flags & SWP_NOSIZE) || !Integral(hwnd, s)) return;
  wp->cy = IntegralHeight(hwnd, s, wp->cy);
}

void OnCreate(HWND hwnd, ListState& s) {
  s.vscroll = (Style(hwnd) & WS_VSCROLL) != 0;
  s.hscroll = (Style(hwnd) & WS_HSCROLL) != 0;
  s.itemHeight = FontHeight(s.font);
  if (Style(hwnd) & LBS_OWNERDRAWFIXED) {
    Item probe;
    Measure(hwnd, s, 0, probe);
    if (probe.height > 0) s.itemHeight = probe.height;
  }
  if (Integral(hwnd, s)) {
    RECT wr{};
    GetWindowRect(hwnd, &wr);
    const int h = IntegralHeight(hwnd, s, wr.bottom - wr.top);
    if (h != wr.bottom - wr.top)
      SetWindowPos(hwnd, nullptr, 0, 0, wr.right - wr.left, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UpdateScrollBar(hwnd, s);
  // No extent yet: a horizontal bar has nothing to scroll and shows (disabled) only with LBS_DISABLENOSCROLL.
  UpdateHorizontalBar(hwnd, s);
}

LRESULT OnHorizontalScroll(HWND hwnd, ListState& s, WPARAM code) {
  const int width = ClientRectOf(hwnd).Width();
  const int line = std::max(1, FontHeight(s.font) / 2);
  switch (LOWORD(code)) {
    case SB_LINELEFT: SetHorizontalPos(hwnd, s, s.hpos - line); break;
    case SB_LINERIGHT: SetHorizontalPos(hwnd, s, s.hpos + line); break;
    case SB_PAGELEFT: SetHorizontalPos(hwnd, s, s.hpos - width); break;
    case SB_PAGERIGHT: SetHorizontalPos(hwnd, s, s.hpos + width); break;
    case SB_LEFT: SetHorizontalPos(hwnd, s, 0); break;
    case SB_RIGHT: SetHorizontalPos(hwnd, s, s.extent); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetHorizontalPos(hwnd, s, static_cast<SHORT>(HIWORD(code))); break;
    default: break;
  }
  return 0;
}

LRESULT Dispatch(HWND hwnd, ListState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(wParam);
  if (const auto answer = PaintMessage(hwnd, s, msg, wParam, Paint)) return *answer;
  switch (msg) {
    case WM_CREATE: OnCreate(hwnd, s); return 0;
    case WM_WINDOWPOSCHANGING: OnPosChanging(hwnd, s, reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_SIZE:
      // A list sized after its selection was made (a combo's list before it first drops) shows from the
      // top again when everything fits.
      SetTop(hwnd, s, s.top);
      UpdateScrollBar(hwnd, s);
      UpdateHorizontalBar(hwnd, s);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      if (!OwnerDraw(Style(hwnd))) s.itemHeight = FontHeight(s.font);
      UpdateScrollBar(hwnd, s);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_MOUSEACTIVATE:
      // A dropped combo list never takes the activation (nor the focus) from the combo's window.
      if (s.combo && !(Style(hwnd) & WS_CHILD)) return MA_NOACTIVATE;
      break;
    case WM_SETFOCUS: return OnFocus(hwnd, s, true);
    case WM_KILLFOCUS: return OnFocus(hwnd, s, false);
    case WM_KEYDOWN: return OnKeyDown(hwnd, s, wParam);
    case WM_CHAR: return OnChar(hwnd, s, wParam);
    case WM_LBUTTONDOWN: return OnButtonDown(hwnd, s, lParam, false);
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, s, lParam, true);
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, s, lParam);
    case WM_LBUTTONUP: return OnButtonUp(hwnd, s, lParam);
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) {
        s.tracking = false;
        // Losing the mouse closes a dropped list (the combo ignores it when it closed the list itself).
        if (s.combo && !(Style(hwnd) & WS_CHILD)) ComboListEvent(s.combo, ListEvent::Cancel);
      }
      return 0;
    case WM_VSCROLL: return OnScroll(hwnd, s, wParam);
    case WM_HSCROLL: return OnHorizontalScroll(hwnd, s, wParam);
    case LB_SETHORIZONTALEXTENT:
      s.extent = static_cast<int>(std::min<WPARAM>(wParam, 0x7FFF));
      UpdateHorizontalBar(hwnd, s);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case LB_GETHORIZONTALEXTENT: return s.extent;
    case WM_MOUSEWHEEL: SetTop(hwnd, s, s.top - 3 * static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case LB_ADDSTRING: return Insert(hwnd, s, -1, lParam, true);
    case LB_INSERTSTRING: return Insert(hwnd, s, index, lParam, false);
    case LB_APPENDITEMS: return Append(hwnd, s, wParam, reinterpret_cast<const LBAPPENDITEM*>(lParam));
    case LB_DELETESTRING: return Delete(hwnd, s, index);
    case LB_RESETCONTENT: Reset(hwnd, s); return 0;
    case LB_SETCURSEL: return OnSetCurSel(hwnd, s, index);
    case LB_GETCURSEL: return Multi(Style(hwnd)) ? s.caret : s.sel;
    case LB_GETTEXT: return OnGetText(hwnd, s, index, lParam);
    case LB_GETTEXTLEN:
      // While the new item is being measured its text may not be readable yet.
      if (s.measuring) return 0;
      return OnGetTextLen(hwnd, s, index);
    case LB_GETCOUNT: return Count(s);
    case LB_SELECTSTRING: return OnSelectString(hwnd, s, index, lParam);
    case LB_FINDSTRING: return Find(hwnd, s, index, lParam, false);
    case LB_FINDSTRINGEXACT: return Find(hwnd, s, index, lParam, true);
    case LB_GETTOPINDEX: return s.top;
    case LB_SETTOPINDEX:
      if (!Valid(s, index) && !(index == 0 && Count(s) == 0)) return LB_ERR;
      SetTop(hwnd, s, index);
      return 0;
    case LB_GETITEMRECT:
      if (!Valid(s, index) || !lParam) return LB_ERR;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(hwnd, s, index);
      return 1;
    case LB_GETITEMDATA:
      return Valid(s, index) ? static_cast<LRESULT>(s.items[static_cast<size_t>(index)].data) : LB_ERR;
    case LB_SETITEMDATA:
      if (index == -1) {
        s.items.ForEach([&](Item& it) { it.data = static_cast<ULONG_PTR>(lParam); });
        return 0;
      }
      if (!Valid(s, index)) return LB_ERR;
      s.items[static_cast<size_t>(index)].data = static_cast<ULONG_PTR>(lParam);
      return 0;
    case LB_SETITEMHEIGHT: return OnSetItemHeight(hwnd, s, index, LOWORD(static_cast<DWORD_PTR>(lParam)));
    case LB_GETITEMHEIGHT:
      if ((Style(hwnd) & LBS_OWNERDRAWVARIABLE) && !Valid(s, index)) return LB_ERR;
      return HeightOf(hwnd, s, index);
    case LB_ITEMFROMPOINT: return OnItemFromPoint(hwnd, s, lParam);
    case LB_GETSEL: return Valid(s, index) ? (IsSelected(hwnd, s, index) ? 1 : 0) : LB_ERR;
    case LB_SETSEL: return OnSetSel(hwnd, s, wParam != 0, static_cast<int>(lParam));
    case LB_GETSELCOUNT: {
      if (!Multi(Style(hwnd))) return LB_ERR;
      int n = 0;
      s.items.ForEach([&](Item& it) { n += it.selected ? 1 : 0; });
      return n;
    }
    case LB_GETSELITEMS: return Multi(Style(hwnd)) ? OnGetSelItems(s, index, lParam) : LB_ERR;
    case LB_SELITEMRANGE:
      if (!Multi(Style(hwnd))) return LB_ERR;
      for (int k = std::max(0, static_cast<int>(LOWORD(static_cast<DWORD_PTR>(lParam))));
           k <= std::min(Count(s) - 1, static_cast<int>(HIWORD(static_cast<DWORD_PTR>(lParam)))); ++k)
        SetItemSelected(hwnd, s, k, wParam != 0);
      return 0;
    case LB_SETCARETINDEX:
      if (!Valid(s, index)) return LB_ERR;
      SetCaretItem(hwnd, s, index);
      EnsureVisible(hwnd, s, index);
      return 0;
    case LB_GETCARETINDEX: return s.caret;
    case LB_SETANCHORINDEX:
      if (!Valid(s, index)) return LB_ERR;
      s.anchor = index;
      return 0;
    case LB_GETANCHORINDEX: return s.anchor;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// A combo creates its list with itself as the creation parameter.
void OnCreate(HWND hwnd, ListState& s, LPARAM lParam) {
  char cls[16]{};
  GetClassName(hwnd, cls, sizeof(cls));
  const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
  if (cs && SameName(cls, WC_COMBOLBOX)) s.combo = static_cast<HWND>(cs->lpCreateParams);
}

}  // namespace

void RegisterListBoxClasses() {
  constexpr WNDPROC proc = ControlWndProc<ListState, Dispatch, OnCreate>;
  RegisterControlClass(WC_LISTBOX, proc, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS);
  RegisterControlClass(WC_COMBOLBOX, proc, CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS);
}

}  // namespace plat::controls
