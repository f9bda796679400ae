#include "platform/controls/TreeView.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/StringApi.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/ImageList.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

struct Node {
  uintptr_t id = 0;
  std::string text;
  bool callbackText = false;
  std::string lastShown;  // a callback item's text as last drawn (its width for hit testing)
  int image = 0, selImage = 0;
  LPARAM param = 0;
  int children = 0;  // cChildren: 1 shows a button before any child exists
  bool expanded = false;
  Node* parent = nullptr;
  std::vector<Node*> kids;
};

struct TreeState {
  std::map<uintptr_t, std::unique_ptr<Node>> nodes;  // by handle
  Node root;
  uintptr_t nextId = 0x100;
  Node* selected = nullptr;
  int top = 0;  // first visible row
  int indent = 19;
  HIMAGELIST images = nullptr;
  HIMAGELIST stateImages = nullptr;
  HFONT font = nullptr;
  bool focused = false;
  bool vscroll = false;
};

StateTable<TreeState>& States() { return StateTable<TreeState>::Instance(); }

HTREEITEM Handle(const Node* n) { return n ? reinterpret_cast<HTREEITEM>(n->id) : nullptr; }

Node* Find(TreeState& s, HTREEITEM h) {
  auto it = s.nodes.find(reinterpret_cast<uintptr_t>(h));
  return it == s.nodes.end() ? nullptr : it->second.get();
}

bool HasChildren(const Node* n) { return !n->kids.empty() || n->children > 0; }

// ---- Visible rows -------------------------------------------------------------------------------------

void Flatten(const Node* n, std::vector<Node*>* out) {
  for (Node* k : n->kids) {
    out->push_back(k);
    if (k->expanded) Flatten(k, out);
  }
}

std::vector<Node*> Rows(const TreeState& s) {
  std::vector<Node*> rows;
  Flatten(&s.root, &rows);
  return rows;
}

int RowOf(const std::vector<Node*>& rows, const Node* n) {
  auto it = std::find(rows.begin(), rows.end(), n);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int Depth(const Node* n) {
  int d = 0;
  for (const Node* p = n->parent; p && p->parent; p = p->parent) ++d;
  return d;
}

int ImageSize(const TreeState& s, int* cy = nullptr) {
  int cx = 0, h = 0;
  if (s.images && ImageList_GetIconSize(s.images, &cx, &h)) {
    if (cy) *cy = h;
    return cx;
  }
  if (cy) *cy = 0;
  return 0;
}

int RowHeight(const TreeState& s) {
  int cy = 0;
  ImageSize(s, &cy);
  return std::max(FontHeight(s.font) + 2, cy + 1);
}

int VisibleRows(HWND hwnd, const TreeState& s) { return std::max(1, ClientRectOf(hwnd).Height() / RowHeight(s)); }

// Left edge of the item's button column, image and text.
int IndentOf(HWND hwnd, const TreeState& s, const Node* n) {
  const bool atRoot = (StyleOf(hwnd) & (TVS_LINESATROOT)) != 0;
  return (Depth(n) + (atRoot ? 1 : 0)) * s.indent;
}

CRect TextRect(HWND hwnd, const TreeState& s, const Node* n, int row) {
  const int h = RowHeight(s);
  int x = IndentOf(hwnd, s, n) + 2;
  if (s.images) x += ImageSize(s) + 3;
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, FontOr(s.font));
  SIZE size{};
  const std::string& text = n->callbackText ? n->lastShown : n->text;
  GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  const int y = (row - s.top) * h;
  return CRect(x, y, x + size.cx + 4, y + h);
}

void UpdateScroll(HWND hwnd, const TreeState& s) {
  if (!s.vscroll) return;
  const int rows = static_cast<int>(Rows(s).size());
  SCROLLINFO si{sizeof(si),
                SIF_RANGE | SIF_PAGE | SIF_POS,
                0,
                std::max(0, rows - 1),
                static_cast<UINT>(VisibleRows(hwnd, s)),
                s.top,
                0};
  SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

void SetTop(HWND hwnd, TreeState& s, int top) {
  const int rows = static_cast<int>(Rows(s).size());
  top = std::clamp(top, 0, std::max(0, rows - VisibleRows(hwnd, s)));
  if (top == s.top) return;
  s.top = top;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScroll(hwnd, s);
}

void EnsureRowVisible(HWND hwnd, TreeState& s, int row) {
  if (row < 0) return;
  if (row < s.top)
    SetTop(hwnd, s, row);
  else if (row >= s.top + VisibleRows(hwnd, s))
    SetTop(hwnd, s, row - VisibleRows(hwnd, s) + 1);
}

void Changed(HWND hwnd, TreeState& s) {
  const int rows = static_cast<int>(Rows(s).size());
  s.top = std::clamp(s.top, 0, std::max(0, rows - 1));
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScroll(hwnd, s);
}

// ---- Notifications ------------------------------------------------------------------------------------

void FillItem(const Node* n, TVITEM* item) {
  *item = {};
  if (!n) return;
  item->mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item->hItem = Handle(n);
  item->lParam = n->param;
  item->state = n->expanded ? TVIS_EXPANDED : 0;
  item->iImage = n->image;
  item->iSelectedImage = n->selImage;
}

LRESULT NotifyTree(HWND hwnd, UINT code, UINT action, const Node* oldItem, const Node* newItem) {
  NMTREEVIEW nm{};
  nm.action = action;
  FillItem(oldItem, &nm.itemOld);
  FillItem(newItem, &nm.itemNew);
  return SendNotify(hwnd, &nm.hdr, code);
}

// ---- Operations ---------------------------------------------------------------------------------------

bool Select(HWND hwnd, TreeState& s, Node* n, UINT action) {
  if (n == s.selected) return true;
  auto keep = States().Get(hwnd);
  Node* old = s.selected;
  if (NotifyTree(hwnd, TVN_SELCHANGING, action, old, n) != 0 || !IsWindow(hwnd)) return false;
  // The parent may have deleted items meanwhile.
  if (n && !Find(s, Handle(n))) return false;
  if (old && !Find(s, Handle(old))) old = nullptr;
  s.selected = n;
  if (n) {
    // The selection is always visible: its ancestors open.
    for (Node* p = n->parent; p && p->parent; p = p->parent) p->expanded = true;
    Changed(hwnd, s);
    EnsureRowVisible(hwnd, s, RowOf(Rows(s), n));
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  NotifyTree(hwnd, TVN_SELCHANGED, action, old, n);
  return true;
}

bool Expand(HWND hwnd, TreeState& s, Node* n, UINT code) {
  if (!n) return false;
  const bool want = code == TVE_EXPAND ? true : code == TVE_COLLAPSE ? false : !n->expanded;
  if (want == n->expanded) return true;
  if (!HasChildren(n)) return false;
  auto keep = States().Get(hwnd);
  const UINT action = want ? TVE_EXPAND : TVE_COLLAPSE;
  if (NotifyTree(hwnd, TVN_ITEMEXPANDING, action, nullptr, n) != 0 || !IsWindow(hwnd) || !Find(s, Handle(n)))
    return false;
  n->expanded = want;
  // Collapsing over the selection moves it up to the collapsed item.
  if (!want && s.selected) {
    for (Node* p = s.selected->parent; p; p = p->parent)
      if (p == n) {
        s.selected = n;
        break;
      }
  }
  Changed(hwnd, s);
  NotifyTree(hwnd, TVN_ITEMEXPANDED, action, nullptr, n);
  return true;
}

HTREEITEM Insert(HWND hwnd, TreeState& s, const TVINSERTSTRUCT* ins) {
  if (!ins) return nullptr;
  Node* parent = (!ins->hParent || ins->hParent == TVI_ROOT) ? &s.root : Find(s, ins->hParent);
  if (!parent) return nullptr;
  auto node = std::make_unique<Node>();
  node->id = s.nextId++;
  const TVITEM& item = ins->item;
  if (item.mask & TVIF_TEXT) {
    if (item.pszText == reinterpret_cast<LPSTR>(-1))
      node->callbackText = true;
    else if (item.pszText)
      node->text = item.pszText;
  }
  if (item.mask & TVIF_IMAGE) node->image = item.iImage;
  if (item.mask & TVIF_SELECTEDIMAGE) node->selImage = item.iSelectedImage;
  if (item.mask & TVIF_PARAM) node->param = item.lParam;
  if (item.mask & TVIF_CHILDREN) node->children = item.cChildren;
  if ((item.mask & TVIF_STATE) && (item.stateMask & TVIS_EXPANDED)) node->expanded = (item.state & TVIS_EXPANDED) != 0;
  node->parent = parent;
  auto& kids = parent->kids;
  size_t at = kids.size();
  if (ins->hInsertAfter == TVI_FIRST) {
    at = 0;
  } else if (ins->hInsertAfter == TVI_SORT) {
    at = 0;
    while (at < kids.size() && lstrcmpi(kids[at]->text.c_str(), node->text.c_str()) <= 0) ++at;
  } else if (ins->hInsertAfter && ins->hInsertAfter != TVI_LAST) {
    Node* after = Find(s, ins->hInsertAfter);
    if (after && after->parent == parent)
      at = static_cast<size_t>(std::find(kids.begin(), kids.end(), after) - kids.begin()) + 1;
  }
  Node* raw = node.get();
  kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(at), raw);
  s.nodes[raw->id] = std::move(node);
  Changed(hwnd, s);
  return Handle(raw);
}

void CollectSubtree(Node* n, std::vector<Node*>* out) {
  for (Node* k : n->kids) CollectSubtree(k, out);
  out->push_back(n);
}

bool Delete(HWND hwnd, TreeState& s, HTREEITEM h) {
  auto keep = States().Get(hwnd);
  std::vector<Node*> doomed;
  Node* top = nullptr;
  if (!h || h == TVI_ROOT) {
    for (Node* k : s.root.kids) CollectSubtree(k, &doomed);
  } else {
    top = Find(s, h);
    if (!top) return false;
    CollectSubtree(top, &doomed);
  }
  // Unlink first, so the parent hears about items that are already out of the tree.
  if (top) {
    auto& sib = top->parent->kids;
    sib.erase(std::remove(sib.begin(), sib.end(), top), sib.end());
  } else {
    s.root.kids.clear();
  }
  bool selectionGone = false;
  for (Node* n : doomed) selectionGone |= n == s.selected;
  if (selectionGone) s.selected = nullptr;
  std::vector<std::unique_ptr<Node>> owned;
  for (Node* n : doomed) {
    auto it = s.nodes.find(n->id);
    owned.push_back(std::move(it->second));
    s.nodes.erase(it);
  }
  for (const auto& n : owned) {
    NotifyTree(hwnd, TVN_DELETEITEM, 0, n.get(), nullptr);
    if (!IsWindow(hwnd)) return true;
  }
  Changed(hwnd, s);
  return true;
}

HTREEITEM NextItem(TreeState& s, UINT code, HTREEITEM h) {
  switch (code) {
    case TVGN_ROOT: return s.root.kids.empty() ? nullptr : Handle(s.root.kids.front());
    case TVGN_CARET: return Handle(s.selected);
    case TVGN_FIRSTVISIBLE: {
      const auto rows = Rows(s);
      return s.top < static_cast<int>(rows.size()) ? Handle(rows[static_cast<size_t>(s.top)]) : nullptr;
    }
    default: break;
  }
  Node* n = Find(s, h);
  if (!n) return nullptr;
  switch (code) {
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
      auto& sib = n->parent->kids;
      const auto it = std::find(sib.begin(), sib.end(), n);
      if (code == TVGN_NEXT) return it + 1 == sib.end() ? nullptr : Handle(*(it + 1));
      return it == sib.begin() ? nullptr : Handle(*(it - 1));
    }
    case TVGN_PARENT: return n->parent == &s.root ? nullptr : Handle(n->parent);
    case TVGN_CHILD: return n->kids.empty() ? nullptr : Handle(n->kids.front());
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      const auto rows = Rows(s);
      const int r = RowOf(rows, n);
      if (r < 0) return nullptr;
      const int k = r + (code == TVGN_NEXTVISIBLE ? 1 : -1);
      return k >= 0 && k < static_cast<int>(rows.size()) ? Handle(rows[static_cast<size_t>(k)]) : nullptr;
    }
    default: return nullptr;
  }
}

std::string ShownText(HWND hwnd, const Node* n) {
  if (!n->callbackText) return n->text;
  // Callback texts are the parent's to give each time the item is drawn.
  char buffer[260]{};
  NMTVDISPINFO info{};
  info.item.mask = TVIF_TEXT;
  info.item.hItem = Handle(n);
  info.item.lParam = n->param;
  info.item.pszText = buffer;
  info.item.cchTextMax = sizeof(buffer);
  SendNotify(hwnd, &info.hdr, TVN_GETDISPINFO);
  const char* text = info.item.pszText ? info.item.pszText : buffer;
  return std::string(text, strnlen(text, sizeof(buffer)));
}

bool HasNextSibling(const Node* n) { return n->parent && n->parent->kids.back() != n; }

// Dotted connecting lines: every other pixel, as the classic tree draws them.
void DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF c) {
  if (x0 == x1)
    for (int y = y0; y < y1; ++y) {
      if ((x0 + y) % 2 == 0) SetPixelV(dc, x0, y, c);
    }
  else
    for (int x = x0; x < x1; ++x) {
      if ((x + y0) % 2 == 0) SetPixelV(dc, x, y0, c);
    }
}

void DrawLines(HWND hwnd, HDC dc, const TreeState& s, const Node* n, int y, int h) {
  const bool atRoot = (StyleOf(hwnd) & TVS_LINESATROOT) != 0;
  if (n->parent == &s.root && !atRoot) return;
  const COLORREF c = GetSysColor(COLOR_3DSHADOW);
  const int indent = IndentOf(hwnd, s, n);
  const int x = indent - s.indent / 2, mid = y + h / 2;
  DottedLine(dc, x, mid, indent, mid, c);
  const bool first = n->parent == &s.root && n->parent->kids.front() == n;
  DottedLine(dc, x, first ? mid : y, x, HasNextSibling(n) ? y + h : mid + 1, c);
  // Ancestors with later siblings continue their lines through this row.
  int ax = x;
  for (const Node* p = n->parent; p && p != &s.root; p = p->parent) {
    ax -= s.indent;
    if (p->parent == &s.root && !atRoot) break;
    if (HasNextSibling(p)) DottedLine(dc, ax, y, ax, y + h, c);
  }
}

LRESULT OnGetItem(TreeState& s, TVITEM* item) {
  if (!item) return FALSE;
  Node* n = Find(s, item->hItem);
  if (!n) return FALSE;
  if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
    const size_t len = std::min<size_t>(n->text.size(), static_cast<size_t>(item->cchTextMax) - 1);
    std::memcpy(item->pszText, n->text.data(), len);
    item->pszText[len] = '\0';
  }
  if (item->mask & TVIF_IMAGE) item->iImage = n->image;
  if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = n->selImage;
  if (item->mask & TVIF_PARAM) item->lParam = n->param;
  if (item->mask & TVIF_CHILDREN) item->cChildren = HasChildren(n) ? 1 : 0;
  if (item->mask & TVIF_STATE)
    item->state = (n->expanded ? TVIS_EXPANDED : 0u) | (n == s.selected ? TVIS_SELECTED : 0u);
  return TRUE;
}

LRESULT OnSetItem(HWND hwnd, TreeState& s, const TVITEM* item) {
  if (!item) return FALSE;
  Node* n = Find(s, item->hItem);
  if (!n) return FALSE;
  if ((item->mask & TVIF_TEXT) && item->pszText && item->pszText != reinterpret_cast<LPSTR>(-1))
    n->text = item->pszText;
  if (item->mask & TVIF_IMAGE) n->image = item->iImage;
  if (item->mask & TVIF_SELECTEDIMAGE) n->selImage = item->iSelectedImage;
  if (item->mask & TVIF_PARAM) n->param = item->lParam;
  if (item->mask & TVIF_CHILDREN) n->children = item->cChildren;
  if ((item->mask & TVIF_STATE) && (item->stateMask & TVIS_EXPANDED)) n->expanded = (item->state & TVIS_EXPANDED) != 0;
  Changed(hwnd, s);
  return TRUE;
}

// ---- Hit testing, keyboard and mouse ------------------------------------------------------------------

Node* HitTest(HWND hwnd, TreeState& s, CPoint pt, UINT* flags) {
  const auto rows = Rows(s);
  *flags = TVHT_NOWHERE;
  if (pt.y < 0) return nullptr;
  const int row = s.top + pt.y / RowHeight(s);
  if (row < 0 || row >= static_cast<int>(rows.size())) return nullptr;
  Node* n = rows[static_cast<size_t>(row)];
  const int indent = IndentOf(hwnd, s, n);
  const CRect text = TextRect(hwnd, s, n, row);
  if (pt.x < indent) {
    // The button sits in the indent column just before the item.
    const bool buttons = (StyleOf(hwnd) & TVS_HASBUTTONS) && HasChildren(n) &&
                         (n->parent != &s.root || (StyleOf(hwnd) & TVS_LINESATROOT));
    *flags = (buttons && pt.x >= indent - s.indent) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
  } else if (s.images && pt.x < text.left) {
    *flags = TVHT_ONITEMICON;
  } else if (pt.x < text.right) {
    *flags = TVHT_ONITEMLABEL;
  } else {
    *flags = TVHT_ONITEMRIGHT;
  }
  return n;
}

LRESULT OnKeyDown(HWND hwnd, TreeState& s, WPARAM vk) {
  auto keep = States().Get(hwnd);
  NMTVKEYDOWN kd{};
  kd.wVKey = static_cast<WORD>(vk);
  SendNotify(hwnd, &kd.hdr, TVN_KEYDOWN);
  if (!IsWindow(hwnd)) return 0;
  const auto rows = Rows(s);
  if (rows.empty()) return 0;
  Node* cur = s.selected;
  const int row = cur ? RowOf(rows, cur) : -1;
  auto at = [&](int r) { return rows[static_cast<size_t>(std::clamp(r, 0, static_cast<int>(rows.size()) - 1))]; };
  switch (vk) {
    case VK_UP: Select(hwnd, s, row < 0 ? at(0) : at(row - 1), TVC_BYKEYBOARD); break;
    case VK_DOWN: Select(hwnd, s, row < 0 ? at(0) : at(row + 1), TVC_BYKEYBOARD); break;
    case VK_HOME: Select(hwnd, s, at(0), TVC_BYKEYBOARD); break;
    case VK_END: Select(hwnd, s, at(static_cast<int>(rows.size()) - 1), TVC_BYKEYBOARD); break;
    case VK_PRIOR: Select(hwnd, s, at(row - VisibleRows(hwnd, s) + 1), TVC_BYKEYBOARD); break;
    case VK_NEXT: Select(hwnd, s, at(row + VisibleRows(hwnd, s) - 1), TVC_BYKEYBOARD); break;
    case VK_LEFT:
      if (cur && cur->expanded)
        Expand(hwnd, s, cur, TVE_COLLAPSE);
      else if (cur && cur->parent != &s.root)
        Select(hwnd, s, cur->parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (cur && !cur->expanded && HasChildren(cur))
        Expand(hwnd, s, cur, TVE_EXPAND);
      else if (cur && !cur->kids.empty())
        Select(hwnd, s, cur->kids.front(), TVC_BYKEYBOARD);
      break;
    case VK_ADD:
      if (cur) Expand(hwnd, s, cur, TVE_EXPAND);
      break;
    case VK_SUBTRACT:
      if (cur) Expand(hwnd, s, cur, TVE_COLLAPSE);
      break;
    case VK_RETURN: {
      NMHDR nm{};
      SendNotify(hwnd, &nm, NM_RETURN);
      break;
    }
    default: break;
  }
  return 0;
}

LRESULT OnButtonDown(HWND hwnd, TreeState& s, LPARAM lParam, bool dbl) {
  auto keep = States().Get(hwnd);
  if (GetFocus() != hwnd) SetFocus(hwnd);
  if (!IsWindow(hwnd)) return 0;
  UINT flags = 0;
  Node* n = HitTest(hwnd, s, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), &flags);
  if (dbl) {
    NMHDR nm{};
    const LRESULT handled = SendNotify(hwnd, &nm, NM_DBLCLK);
    if (!IsWindow(hwnd)) return 0;
    if (!handled && n && Find(s, Handle(n)) && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT)))
      Expand(hwnd, s, n, TVE_TOGGLE);
    return 0;
  }
  if (n && (flags & TVHT_ONITEMBUTTON)) {
    Expand(hwnd, s, n, TVE_TOGGLE);
    return 0;
  }
  if (n && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT))) Select(hwnd, s, n, TVC_BYMOUSE);
  if (!IsWindow(hwnd)) return 0;
  NMHDR nm{};
  SendNotify(hwnd, &nm, NM_CLICK);
  return 0;
}

// ---- Painting -----------------------------------------------------------------------------------------

void Paint(HWND hwnd, HDC dc, TreeState& s) {
  const CRect c = ClientRectOf(hwnd);
  FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
  SelectScope font(dc, FontOr(s.font));
  SetBkMode(dc, TRANSPARENT);
  const DWORD style = StyleOf(hwnd);
  const auto rows = Rows(s);
  const int h = RowHeight(s);
  const int last = std::min(static_cast<int>(rows.size()), s.top + VisibleRows(hwnd, s) + 1);
  for (int row = s.top; row < last; ++row) {
    Node* n = rows[static_cast<size_t>(row)];
    const int y = (row - s.top) * h;
    const int indent = IndentOf(hwnd, s, n);
    if (style & TVS_HASLINES) DrawLines(hwnd, dc, s, n, y, h);
    if ((style & TVS_HASBUTTONS) && HasChildren(n) && (n->parent != &s.root || (style & TVS_LINESATROOT))) {
      const int cx = indent - s.indent / 2, cy = y + h / 2;
      CRect box(cx - 4, cy - 4, cx + 5, cy + 5);
      FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
      FrameRect(dc, &box, GetSysColorBrush(COLOR_3DSHADOW));
      CRect minus(cx - 2, cy, cx + 3, cy + 1);
      FillRect(dc, &minus, GetSysColorBrush(COLOR_WINDOWTEXT));
      if (!n->expanded) {
        CRect plus(cx, cy - 2, cx + 1, cy + 3);
        FillRect(dc, &plus, GetSysColorBrush(COLOR_WINDOWTEXT));
      }
    }
    int x = indent + 2;
    const bool selected = n == s.selected;
    if (s.images) {
      int cy = 0;
      const int cx = ImageSize(s, &cy);
      ImageList_Draw(s.images, selected ? n->selImage : n->image, dc, x, y + (h - cy) / 2, ILD_TRANSPARENT);
      x += cx + 3;
    }
    const std::string shown = ShownText(hwnd, n);
    if (!IsWindow(hwnd) || !Find(s, Handle(n))) return;
    n->lastShown = shown;
    const CRect text = TextRect(hwnd, s, n, row);
    const bool showSel = selected && (s.focused || (style & TVS_SHOWSELALWAYS));
    if (showSel) {
      FillRect(dc, &text, GetSysColorBrush(s.focused ? COLOR_HIGHLIGHT : COLOR_3DFACE));
      SetTextColor(dc, GetSysColor(s.focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    } else {
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    }
    TextOut(dc, text.left + 2, y + (h - FontHeight(s.font)) / 2, shown.c_str(), static_cast<int>(shown.size()));
    if (selected && s.focused) {
      CRect f = text;
      DrawFocusRect(dc, &f);
    }
  }
}

LRESULT Dispatch(HWND hwnd, TreeState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (const auto answer = PaintedControlMessage(hwnd, s, msg, wParam, lParam, Paint)) return *answer;
  switch (msg) {
    case WM_CREATE:
      s.vscroll = (StyleOf(hwnd) & WS_VSCROLL) != 0;
      UpdateScroll(hwnd, s);
      return 0;
    case WM_SIZE:
      UpdateScroll(hwnd, s);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: return OnKeyDown(hwnd, s, wParam);
    case WM_LBUTTONDOWN: return OnButtonDown(hwnd, s, lParam, false);
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, s, lParam, true);
    case WM_VSCROLL: {
      const int page = VisibleRows(hwnd, s);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: SetTop(hwnd, s, s.top - 1); break;
        case SB_LINEDOWN: SetTop(hwnd, s, s.top + 1); break;
        case SB_PAGEUP: SetTop(hwnd, s, s.top - page); break;
        case SB_PAGEDOWN: SetTop(hwnd, s, s.top + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(hwnd, s, static_cast<SHORT>(HIWORD(wParam))); break;
        default: break;
      }
      return 0;
    }
    case TVM_INSERTITEM:
      return reinterpret_cast<LRESULT>(Insert(hwnd, s, reinterpret_cast<const TVINSERTSTRUCT*>(lParam)));
    case TVM_DELETEITEM: return Delete(hwnd, s, reinterpret_cast<HTREEITEM>(lParam));
    case TVM_EXPAND:
      return Expand(hwnd, s, Find(s, reinterpret_cast<HTREEITEM>(lParam)), static_cast<UINT>(wParam) & TVE_TOGGLE);
    case TVM_GETCOUNT: return static_cast<LRESULT>(s.nodes.size());
    case TVM_GETINDENT: return s.indent;
    case TVM_SETINDENT:
      s.indent = std::max(static_cast<int>(wParam), 4);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? s.stateImages : s.images);
    case TVM_SETIMAGELIST: {
      HIMAGELIST& which = wParam == TVSIL_STATE ? s.stateImages : s.images;
      HIMAGELIST old = which;
      which = reinterpret_cast<HIMAGELIST>(lParam);
      Changed(hwnd, s);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM:
      return reinterpret_cast<LRESULT>(NextItem(s, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam)));
    case TVM_SELECTITEM: {
      if (wParam != TVGN_CARET && wParam != TVGN_FIRSTVISIBLE) return FALSE;
      Node* n = Find(s, reinterpret_cast<HTREEITEM>(lParam));
      if (lParam && !n) return FALSE;
      if (wParam == TVGN_FIRSTVISIBLE) {
        SetTop(hwnd, s, RowOf(Rows(s), n));
        return TRUE;
      }
      return Select(hwnd, s, n, TVC_UNKNOWN);
    }
    case TVM_GETITEM: return OnGetItem(s, reinterpret_cast<TVITEM*>(lParam));
    case TVM_SETITEM: return OnSetItem(hwnd, s, reinterpret_cast<const TVITEM*>(lParam));
    case TVM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (!r) return FALSE;
      HTREEITEM h = nullptr;
      std::memcpy(&h, r, sizeof(h));
      Node* n = Find(s, h);
      const int row = n ? RowOf(Rows(s), n) : -1;
      if (row < 0) return FALSE;
      const CRect text = TextRect(hwnd, s, n, row);
      *r = wParam ? RECT(text) : RECT{0, text.top, ClientRectOf(hwnd).right, text.bottom};
      return TRUE;
    }
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
      if (!info) return 0;
      Node* n = HitTest(hwnd, s, CPoint(info->pt), &info->flags);
      info->hItem = Handle(n);
      return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_ENSUREVISIBLE: {
      Node* n = Find(s, reinterpret_cast<HTREEITEM>(lParam));
      if (!n) return FALSE;
      for (Node* p = n->parent; p && p->parent; p = p->parent)
        if (!p->expanded) Expand(hwnd, s, p, TVE_EXPAND);
      EnsureRowVisible(hwnd, s, RowOf(Rows(s), n));
      return TRUE;
    }
    case TVM_GETITEMHEIGHT: return RowHeight(s);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterTreeViewClass() {
  RegisterControlClass(WC_TREEVIEW, ControlWndProc<TreeState, Dispatch>, CS_GLOBALCLASS | CS_DBLCLKS);
}

}  // namespace plat::controls
