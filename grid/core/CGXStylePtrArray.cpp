#include "grid/core/CGXStylePtrArray.h"

#include <algorithm>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXStylePtrArray, CObject, 0)
IMPLEMENT_SERIAL(CGXStylePtrArrayPtrArray, CObject, 0)

namespace gx {

template <class Array>
void MoveElements(Array& v, INT_PTR from, INT_PTR count, INT_PTR dest) {
  const INT_PTR size = static_cast<INT_PTR>(v.size());
  if (from == dest || count <= 0 || from < 0 || dest < 0) return;
  if (from >= size && dest >= size) return;
  // Elements past the end move as nulls: grow so that the whole run and its place exist (the nulls
  // added at the end stay behind the elements that were there).
  v.resize(static_cast<std::size_t>(std::max({size, from + count, dest + count})));
  if (dest > from)
    std::rotate(v.begin() + from, v.begin() + from + count, v.begin() + dest + count);
  else
    std::rotate(v.begin() + dest, v.begin() + from, v.begin() + from + count);
}

template void MoveElements(InlinePtrArray<CGXStyle, 3>&, INT_PTR, INT_PTR, INT_PTR);
template void MoveElements(std::vector<CGXStylePtrArray*>&, INT_PTR, INT_PTR, INT_PTR);

}  // namespace gx

// ---- CGXStylePtrArray

CGXStylePtrArray& CGXStylePtrArray::operator=(const CGXStylePtrArray& other) {
  if (this == &other) return *this;
  DeleteAll();
  m_items.resize(other.m_items.size());
  for (std::size_t i = 0; i < other.m_items.size(); ++i)
    if (const CGXStyle* s = other.m_items[i]) m_items[i] = s->Clone();
  return *this;
}

void CGXStylePtrArray::Serialize(CArchive& ar) {
  if (CGXAbstractGridDocSerializeImp* imp = CGXGridGlobals::Get().m_pDocSerializeImp) imp->SerializeStyleArray(*this, ar);
}

void CGXStylePtrArray::SetAtGrow(INT_PTR i, CGXStyle* style) {
  if (i < 0) {
    delete style;
    return;
  }
  if (i >= GetSize()) m_items.resize(static_cast<std::size_t>(i) + 1);
  CGXStyle*& slot = m_items[static_cast<std::size_t>(i)];
  if (slot != style) delete slot;
  slot = style;
}

CGXStyle* CGXStylePtrArray::Detach(INT_PTR i) {
  if (i < 0 || i >= GetSize()) return nullptr;
  CGXStyle* s = m_items[static_cast<std::size_t>(i)];
  m_items[static_cast<std::size_t>(i)] = nullptr;
  return s;
}

void CGXStylePtrArray::SetSize(INT_PTR n) {
  if (n < 0) n = 0;
  for (INT_PTR i = n; i < GetSize(); ++i) delete m_items[static_cast<std::size_t>(i)];
  m_items.resize(static_cast<std::size_t>(n));
}

void CGXStylePtrArray::InsertAt(INT_PTR i, INT_PTR count) {
  if (count <= 0 || i < 0 || i > GetSize()) return;
  m_items.insert_nulls(static_cast<std::size_t>(i), static_cast<std::size_t>(count));
}

void CGXStylePtrArray::DeleteAll() {
  for (CGXStyle* s : m_items) delete s;
  m_items.clear();
}

void CGXStylePtrArray::DeleteAt(INT_PTR i, INT_PTR count) {
  if (i < 0 || count <= 0 || i >= GetSize()) return;
  const INT_PTR end = std::min(GetSize(), i + count);
  for (INT_PTR k = i; k < end; ++k) delete m_items[static_cast<std::size_t>(k)];
  m_items.erase(static_cast<std::size_t>(i), static_cast<std::size_t>(end));
}

void CGXStylePtrArray::MoveElements(INT_PTR from, INT_PTR count, INT_PTR dest) {
  gx::MoveElements(m_items, from, count, dest);
}

// ---- CGXStylePtrArrayPtrArray

CGXStylePtrArrayPtrArray& CGXStylePtrArrayPtrArray::operator=(const CGXStylePtrArrayPtrArray& other) {
  if (this == &other) return *this;
  DeleteAll();
  m_items.reserve(other.m_items.size());
  for (const CGXStylePtrArray* r : other.m_items) m_items.push_back(r ? new CGXStylePtrArray(*r) : nullptr);
  return *this;
}

void CGXStylePtrArrayPtrArray::Serialize(CArchive& ar) {
  if (CGXAbstractGridDocSerializeImp* imp = CGXGridGlobals::Get().m_pDocSerializeImp) imp->SerializeStyleRows(*this, ar);
}

CGXStylePtrArray& CGXStylePtrArrayPtrArray::Row(INT_PTR i) {
  if (i >= GetSize()) m_items.resize(static_cast<std::size_t>(i) + 1, nullptr);
  CGXStylePtrArray*& slot = m_items[static_cast<std::size_t>(i)];
  if (!slot) slot = new CGXStylePtrArray;
  return *slot;
}

void CGXStylePtrArrayPtrArray::SetAtGrow(INT_PTR i, CGXStylePtrArray* row) {
  if (i < 0) {
    delete row;
    return;
  }
  if (i >= GetSize()) m_items.resize(static_cast<std::size_t>(i) + 1, nullptr);
  CGXStylePtrArray*& slot = m_items[static_cast<std::size_t>(i)];
  if (slot != row) delete slot;
  slot = row;
}

CGXStylePtrArray* CGXStylePtrArrayPtrArray::Detach(INT_PTR i) {
  if (i < 0 || i >= GetSize()) return nullptr;
  CGXStylePtrArray* row = m_items[static_cast<std::size_t>(i)];
  m_items[static_cast<std::size_t>(i)] = nullptr;
  return row;
}

void CGXStylePtrArrayPtrArray::SetSize(INT_PTR n) {
  if (n < 0) n = 0;
  for (INT_PTR i = n; i < GetSize(); ++i) delete m_items[static_cast<std::size_t>(i)];
  m_items.resize(static_cast<std::size_t>(n), nullptr);
}

void CGXStylePtrArrayPtrArray::InsertAt(INT_PTR i, INT_PTR count) {
  if (count <= 0 || i < 0 || i > GetSize()) return;
  m_items.insert(m_items.begin() + i, static_cast<std::size_t>(count), nullptr);
}

void CGXStylePtrArrayPtrArray::DeleteAll() {
  for (CGXStylePtrArray* r : m_items) delete r;
  m_items.clear();
}

void CGXStylePtrArrayPtrArray::DeleteAt(INT_PTR i, INT_PTR count) {
  if (i < 0 || count <= 0 || i >= GetSize()) return;
  const INT_PTR end = std::min(GetSize(), i + count);
  for (INT_PTR k = i; k < end; ++k) delete m_items[static_cast<std::size_t>(k)];
  m_items.erase(m_items.begin() + i, m_items.begin() + end);
}

void CGXStylePtrArrayPtrArray::MoveElements(INT_PTR from, INT_PTR count, INT_PTR dest) {
  gx::MoveElements(m_items, from, count, dest);
}
