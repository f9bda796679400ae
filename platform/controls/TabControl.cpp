#include "platform/controls/TabControl.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/ImageList.h"
#include "platform/gdi/Mnemonic.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

struct Tab {
  std::string text;
  int image = -1;
  LPARAM param = 0;
};

struct TabState {
  std::vector<Tab> tabs;
  int cur = -1;
  bool focused = false;
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
};

StateTable<TabState>& States() { return StateTable<TabState>::Instance(); }

int Count(const TabState& s) { return static_cast<int>(s.tabs.size()); }
int RowHeight(const TabState& s) { return FontHeight(s.font) + 6; }

CRect TabRect(HWND hwnd, const TabState& s, int i) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, FontOr(s.font));
  int x = 2;
  CRect r;
  for (int k = 0; k <= i && k < Count(s); ++k) {
    SIZE size{};
    const std::string shown = ParseMnemonic(s.tabs[static_cast<size_t>(k)].text).shown;
    GetTextExtentPoint32(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    int w = size.cx + 12;
    if (s.images && s.tabs[static_cast<size_t>(k)].image >= 0) {
      int cx = 0, cy = 0;
      ImageList_GetIconSize(s.images, &cx, &cy);
      w += cx + 3;
    }
    r = CRect(x, 2, x + w, 2 + RowHeight(s));
    x += w;
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return r;
}

int HitTab(HWND hwnd, const TabState& s, CPoint pt) {
  for (int i = 0; i < Count(s); ++i)
    if (TabRect(hwnd, s, i).PtInRect(pt)) return i;
  return -1;
}

CRect DisplayArea(HWND hwnd, const TabState& s) {
  CRect c = ClientRectOf(hwnd);
  c.top = 2 + RowHeight(s);
  return c;
}

void UserSelect(HWND hwnd, TabState& s, int i) {
  if (i < 0 || i >= Count(s) || i == s.cur) return;
  auto keep = States().Get(hwnd);
  NMHDR nm{};
  if (SendNotify(hwnd, &nm, TCN_SELCHANGING) != 0 || !IsWindow(hwnd)) return;
  s.cur = i;
  InvalidateRect(hwnd, nullptr, TRUE);
  NMHDR done{};
  SendNotify(hwnd, &done, TCN_SELCHANGE);
}

void Paint(HWND hwnd, HDC dc, const TabState& s) {
  const CRect c = ClientRectOf(hwnd);
  HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORDLG, dc);
  if (!IsWindow(hwnd)) return;
  FillRect(dc, &c, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
  CRect body = DisplayArea(hwnd, s);
  body.top -= 2;
  DrawEdge(dc, &body, EDGE_RAISED, BF_RECT);
  SelectScope font(dc, FontOr(s.font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int i = 0; i < Count(s); ++i) {
    CRect r = TabRect(hwnd, s, i);
    const bool selected = i == s.cur;
    if (selected) {
      // The selected tab stands out and joins the body.
      r.InflateRect(2, 2, 2, 0);
      CRect fill(r.left + 1, r.top + 1, r.right - 1, r.bottom + 1);
      FillRect(dc, &fill, GetSysColorBrush(COLOR_3DFACE));
    }
    DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
    CRect label = r;
    label.DeflateRect(6, 2, 6, 0);
    const Tab& tab = s.tabs[static_cast<size_t>(i)];
    if (s.images && tab.image >= 0) {
      int cx = 0, cy = 0;
      ImageList_GetIconSize(s.images, &cx, &cy);
      ImageList_Draw(s.images, tab.image, dc, label.left, label.top + (label.Height() - cy) / 2, ILD_TRANSPARENT);
      label.left += cx + 3;
    }
    DrawText(dc, tab.text.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (selected && s.focused) {
      CRect f = r;
      f.DeflateRect(3, 3, 3, 1);
      DrawFocusRect(dc, &f);
    }
  }
}

LRESULT OnInsert(HWND hwnd, TabState& s, int index, const TCITEM* item) {
  if (!item || index < 0) return -1;
  index = std::min(index, Count(s));
  Tab tab;
  if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = item->pszText;
  if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
  if (item->mask & TCIF_PARAM) tab.param = item->lParam;
  s.tabs.insert(s.tabs.begin() + index, std::move(tab));
  if (s.cur >= index) ++s.cur;
  if (s.cur < 0) s.cur = 0;
  InvalidateRect(hwnd, nullptr, TRUE);
  return index;
}

LRESULT OnGetItem(const TabState& s, int i, TCITEM* item) {
  if (!item || i < 0 || i >= Count(s)) return FALSE;
  const Tab& tab = s.tabs[static_cast<size_t>(i)];
  if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
    const size_t n = std::min<size_t>(tab.text.size(), static_cast<size_t>(item->cchTextMax) - 1);
    std::memcpy(item->pszText, tab.text.data(), n);
    item->pszText[n] = '\0';
  }
  if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
  if (item->mask & TCIF_PARAM) item->lParam = tab.param;
  return TRUE;
}

LRESULT OnSetItem(HWND hwnd, TabState& s, int i, const TCITEM* item) {
  if (!item || i < 0 || i >= Count(s)) return FALSE;
  Tab& tab = s.tabs[static_cast<size_t>(i)];
  if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = item->pszText;
  if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
  if (item->mask & TCIF_PARAM) tab.param = item->lParam;
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT OnDelete(HWND hwnd, TabState& s, int i) {
  if (i < 0 || i >= Count(s)) return FALSE;
  s.tabs.erase(s.tabs.begin() + i);
  if (s.cur == i)
    s.cur = -1;
  else if (s.cur > i)
    --s.cur;
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT OnAdjustRect(const TabState& s, bool larger, RECT* r) {
  if (!r) return 0;
  const int top = 2 + RowHeight(s) + 2, side = 2;
  if (larger) {
    r->left -= side, r->right += side, r->bottom += side, r->top -= top;
  } else {
    r->left += side, r->right -= side, r->bottom -= side, r->top += top;
  }
  return 0;
}

LRESULT Dispatch(HWND hwnd, TabState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (const auto answer = PaintedControlMessage(hwnd, s, msg, wParam, lParam, Paint)) return *answer;
  const int index = static_cast<int>(wParam);
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN: {
      const int i = HitTab(hwnd, s, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      if (i >= 0 && !(StyleOf(hwnd) & TCS_FOCUSNEVER) && GetFocus() != hwnd) SetFocus(hwnd);
      if (IsWindow(hwnd)) UserSelect(hwnd, s, i);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_LEFT)
        UserSelect(hwnd, s, s.cur - 1);
      else if (wParam == VK_RIGHT)
        UserSelect(hwnd, s, s.cur + 1);
      return 0;
    case TCM_GETITEMCOUNT: return Count(s);
    case TCM_INSERTITEM: return OnInsert(hwnd, s, index, reinterpret_cast<const TCITEM*>(lParam));
    case TCM_GETITEM: return OnGetItem(s, index, reinterpret_cast<TCITEM*>(lParam));
    case TCM_SETITEM: return OnSetItem(hwnd, s, index, reinterpret_cast<const TCITEM*>(lParam));
    case TCM_DELETEITEM: return OnDelete(hwnd, s, index);
    case TCM_DELETEALLITEMS:
      s.tabs.clear();
      s.cur = -1;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEMRECT:
      if (index < 0 || index >= Count(s) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = TabRect(hwnd, s, index);
      return TRUE;
    case TCM_GETCURSEL: return s.cur;
    case TCM_SETCURSEL: {
      const int old = s.cur;
      if (index < 0 || index >= Count(s)) return -1;
      s.cur = index;
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case TCM_GETCURFOCUS: return s.cur;
    case TCM_SETCURFOCUS: UserSelect(hwnd, s, index); return 0;
    case TCM_HITTEST: {
      auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
      if (!info) return -1;
      const int i = HitTab(hwnd, s, CPoint(info->pt));
      info->flags = i >= 0 ? TCHT_ONITEM : TCHT_NOWHERE;
      return i;
    }
    case TCM_ADJUSTRECT: return OnAdjustRect(s, wParam != 0, reinterpret_cast<RECT*>(lParam));
    case TCM_SETIMAGELIST: {
      HIMAGELIST old = s.images;
      s.images = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(s.images);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterTabControlClass() {
  RegisterControlClass(WC_TABCONTROL, ControlWndProc<TabState, Dispatch>, CS_GLOBALCLASS | CS_DBLCLKS);
}

}  // namespace plat::controls
