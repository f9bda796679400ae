#include "grid/core/CGXRangeList.h"

#include <vector>

#include "grid/core/gxarchive.h"
#include "grid/core/gxrangeadjust.h"
#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/Collections.h"

IMPLEMENT_SERIAL(CGXRangeList, CObject, 0)

CArchive& operator<<(CArchive& ar, const CGXRange& r) {
  ar << r.top << r.left << r.bottom << r.right;
  ar << static_cast<BYTE>(r.kind) << static_cast<BYTE>(r.valid);
  return ar;
}

CArchive& operator>>(CArchive& ar, CGXRange& r) {
  BYTE kind = 0, valid = 0;
  ar >> r.top >> r.left >> r.bottom >> r.right >> kind >> valid;
  if (kind > CGXRange::table) AfxThrowArchiveException(CArchiveException::genericException);
  r.kind = kind;
  r.valid = valid;
  return ar;
}

CGXRange* CGXRangeList::GetNext(POSITION& pos) const {
  Node* n = NodeOf(pos);
  if (!n) AfxThrowInvalidArgException();
  pos = Pos(n->next);
  return n->range;
}

CGXRange* CGXRangeList::GetPrev(POSITION& pos) const {
  Node* n = NodeOf(pos);
  if (!n) AfxThrowInvalidArgException();
  pos = Pos(n->prev);
  return n->range;
}

CGXRange* CGXRangeList::GetAt(POSITION pos) const {
  Node* n = NodeOf(pos);
  if (!n) AfxThrowInvalidArgException();
  return n->range;
}

POSITION CGXRangeList::AddTail(CGXRange* range) {
  Node* n = new Node{m_tail, nullptr, range};
  if (m_tail) m_tail->next = n; else m_head = n;
  m_tail = n;
  ++m_nCount;
  return Pos(n);
}

POSITION CGXRangeList::AddHead(CGXRange* range) {
  Node* n = new Node{nullptr, m_head, range};
  if (m_head) m_head->prev = n; else m_tail = n;
  m_head = n;
  ++m_nCount;
  return Pos(n);
}

void CGXRangeList::DeleteAt(POSITION pos) {
  Node* n = NodeOf(pos);
  if (!n) AfxThrowInvalidArgException();
  if (n->prev) n->prev->next = n->next; else m_head = n->next;
  if (n->next) n->next->prev = n->prev; else m_tail = n->prev;
  delete n->range;
  delete n;
  --m_nCount;
}

void CGXRangeList::DeleteAll() {
  while (m_head) DeleteAt(Pos(m_head));
}

void CGXRangeList::RemoveInvalidRanges() {
  for (Node* n = m_head; n;) {
    Node* next = n->next;
    if (!n->range || !n->range->IsValid()) DeleteAt(Pos(n));
    n = next;
  }
}

CGXRangeList& CGXRangeList::operator=(const CGXRangeList& other) {
  if (this == &other) return *this;
  DeleteAll();
  for (Node* n = other.m_head; n; n = n->next)
    if (n->range && n->range->IsValid()) AddTail(new CGXRange(*n->range));
  return *this;
}

BOOL CGXRangeList::ContainsCell(ROWCOL row, ROWCOL col, POSITION skip) const {
  for (Node* n = m_head; n; n = n->next)
    if (Pos(n) != skip && n->range && n->range->ContainsCell(row, col)) return TRUE;
  return FALSE;
}

POSITION CGXRangeList::FindCell(ROWCOL row, ROWCOL col) const {
  for (Node* n = m_head; n; n = n->next)
    if (n->range && n->range->ContainsCell(row, col)) return Pos(n);
  return nullptr;
}

BOOL CGXRangeList::IntersectsRow(ROWCOL row) const {
  for (Node* n = m_head; n; n = n->next) {
    const CGXRange* r = n->range;
    if (!r || !r->IsValid()) continue;
    if (r->IsCols() || r->IsTable() || (r->top <= row && row <= r->bottom)) return TRUE;
  }
  return FALSE;
}

BOOL CGXRangeList::IntersectsCol(ROWCOL col) const {
  for (Node* n = m_head; n; n = n->next) {
    const CGXRange* r = n->range;
    if (!r || !r->IsValid()) continue;
    if (r->IsRows() || r->IsTable() || (r->left <= col && col <= r->right)) return TRUE;
  }
  return FALSE;
}

namespace {

BOOL FillIntervals(const std::vector<gx::Interval>& iv, CDWordArray& starts, CDWordArray& ends) {
  starts.RemoveAll();
  ends.RemoveAll();
  for (const gx::Interval& i : iv) {
    starts.Add(i.start);
    ends.Add(i.end);
  }
  return !iv.empty();
}

}  // namespace

BOOL CGXRangeList::GetColIntervals(ROWCOL colCount, CDWordArray& starts, CDWordArray& ends, BOOL wholeOnly) const {
  std::vector<const CGXRange*> ranges;
  for (Node* n = m_head; n; n = n->next) ranges.push_back(n->range);
  return FillIntervals(gx::CollectIntervals(ranges, gx::Axis::cols, colCount, wholeOnly != 0), starts, ends);
}

BOOL CGXRangeList::GetRowIntervals(ROWCOL rowCount, CDWordArray& starts, CDWordArray& ends, BOOL wholeOnly) const {
  std::vector<const CGXRange*> ranges;
  for (Node* n = m_head; n; n = n->next) ranges.push_back(n->range);
  return FillIntervals(gx::CollectIntervals(ranges, gx::Axis::rows, rowCount, wholeOnly != 0), starts, ends);
}

template <class Fn>
void CGXRangeList::ForEach(Fn fn) {
  for (Node* n = m_head; n; n = n->next)
    if (n->range) fn(*n->range);
}

void CGXRangeList::AdjustForInsertedRows(ROWCOL first, ROWCOL count) {
  ForEach([&](CGXRange& r) { gx::AdjustForInserted(r, gx::Axis::rows, first, count); });
}
void CGXRangeList::AdjustForInsertedCols(ROWCOL first, ROWCOL count) {
  ForEach([&](CGXRange& r) { gx::AdjustForInserted(r, gx::Axis::cols, first, count); });
}
void CGXRangeList::AdjustForRemovedRows(ROWCOL from, ROWCOL to, ROWCOL maxRow) {
  ForEach([&](CGXRange& r) { gx::AdjustForRemoved(r, gx::Axis::rows, from, to, maxRow); });
}
void CGXRangeList::AdjustForRemovedCols(ROWCOL from, ROWCOL to, ROWCOL maxCol) {
  ForEach([&](CGXRange& r) { gx::AdjustForRemoved(r, gx::Axis::cols, from, to, maxCol); });
}
void CGXRangeList::AdjustForMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL maxRow) {
  ForEach([&](CGXRange& r) { gx::AdjustForMoved(r, gx::Axis::rows, from, to, dest, maxRow); });
}
void CGXRangeList::AdjustForMovedCols(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL maxCol) {
  ForEach([&](CGXRange& r) { gx::AdjustForMoved(r, gx::Axis::cols, from, to, dest, maxCol); });
}

void CGXRangeList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    RemoveInvalidRanges();
    ar << WORD{1};
    ar << static_cast<DWORD>(m_nCount);
    for (Node* n = m_head; n; n = n->next) ar << *n->range;
    return;
  }
  WORD schema = 0;
  ar >> schema;
  if (schema != 1) gx::ThrowBadSchema();
  // Emptied first, so that loading into a list that holds ranges gives exactly the archived list.
  DeleteAll();
  DWORD count = 0;
  ar >> count;
  // Each range takes 18 bytes: the end of the archive stops a count that is too large.
  for (DWORD i = 0; i < count; ++i) {
    auto r = std::make_unique<CGXRange>();
    ar >> *r;
    AddTail(r.release());
  }
}
