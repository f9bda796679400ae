#include "brimstead/wizards/AnchorLayout.h"

#include "platform/framework/CWnd.h"

namespace {
bool Unknown(const RECT& r) { return r.left == -1 && r.top == -1 && r.right == -1 && r.bottom == -1; }
}  // namespace

void AnchorSpan(int flags, int nearFlag, int farFlag, int delta, LONG& low, LONG& high) {
  if (delta == 0 || !(flags & (nearFlag | farFlag)))
    return;
  const LONG size = high - low;
  if (flags & nearFlag) {
    // The parent's near edge is its client origin, which never moves.
    high = (flags & farFlag) ? high + delta : low + size;
  } else {
    high += delta;
    low = high - size;
  }
}

CAnchorLayout::CAnchorLayout(CWnd* parent) : m_hParent(parent ? parent->m_hWnd : nullptr) {
  if (m_hParent)
    ::GetClientRect(m_hParent, &m_Client);
}

CAnchorLayout::~CAnchorLayout() {
  for (CAnchorLayoutEntry* entry = m_pFirst; entry;) {
    CAnchorLayoutEntry* next = entry->next;
    delete entry;
    entry = next;
  }
}

CAnchorLayoutEntry* CAnchorLayout::Append(HWND child, int controlId, int flags) {
  auto* entry = new CAnchorLayoutEntry;
  entry->parent = m_hParent;
  entry->child = child;
  entry->controlId = controlId;
  entry->layout = this;
  entry->flags = flags;
  CAnchorLayoutEntry** tail = &m_pFirst;
  while (*tail)
    tail = &(*tail)->next;
  *tail = entry;
  return entry;
}

CAnchorLayoutEntry* CAnchorLayout::Add(CWnd* child, int flags) {
  return Append(child ? child->m_hWnd : nullptr, 0, flags);
}

CAnchorLayoutEntry* CAnchorLayout::AddControl(int controlId, int flags) { return Append(nullptr, controlId, flags); }

void CAnchorLayout::Reset(CAnchorLayoutEntry* entry, int flags) {
  if (!entry)
    return;
  if (flags != -1)
    entry->flags = flags;
  entry->rect = RECT{-1, -1, -1, -1};
}

void CAnchorLayout::Relayout() {
  if (!m_hParent || !::IsWindow(m_hParent))
    return;
  CRect client;
  ::GetClientRect(m_hParent, &client);
  const int dx = client.right - m_Client.right;
  const int dy = client.bottom - m_Client.bottom;
  for (CAnchorLayoutEntry* entry = m_pFirst; entry; entry = entry->next) {
    HWND child = entry->child ? entry->child : ::GetDlgItem(m_hParent, entry->controlId);
    if (!child || !::IsWindow(child))
      continue;
    RECT r = entry->rect;
    if (Unknown(r)) {
      ::GetWindowRect(child, &r);
      ::MapWindowPoints(nullptr, m_hParent, reinterpret_cast<POINT*>(&r), 2);
    }
    RECT moved = r;
    AnchorSpan(entry->flags, AnchorLeft, AnchorRight, dx, moved.left, moved.right);
    AnchorSpan(entry->flags, AnchorTop, AnchorBottom, dy, moved.top, moved.bottom);
    if (!::EqualRect(&moved, &r))
      ::MoveWindow(child, moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top, TRUE);
    entry->rect = moved;
  }
  m_Client = client;
}
