// Owning arrays of styles: one row's cell styles (or the row and column base styles), and the rows of
// cell styles. Elements are null where nothing is stored; arrays may be shorter than the grid's counts.
#pragma once

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "grid/core/CGXStyle.h"

namespace gx {
// An array of pointers that holds its first few elements in itself: a row of a grid with one or two
// columns (entries 0 to 2) then needs no storage of its own. Elements added are null; the array does not
// own what they point to.
template <class T, std::size_t N>
class InlinePtrArray {
 public:
  InlinePtrArray() = default;
  InlinePtrArray(const InlinePtrArray&) = delete;
  InlinePtrArray& operator=(const InlinePtrArray&) = delete;
  ~InlinePtrArray() { clear(); }

  std::size_t size() const { return m_size; }
  T** begin() { return data(); }
  T** end() { return data() + m_size; }
  T* const* begin() const { return data(); }
  T* const* end() const { return data() + m_size; }
  T*& operator[](std::size_t i) { return data()[i]; }
  T* operator[](std::size_t i) const { return data()[i]; }

  // Grows with nulls or shrinks (the storage stays).
  void resize(std::size_t n) {
    reserve(n);
    for (std::size_t i = m_size; i < n; ++i) data()[i] = nullptr;
    m_size = static_cast<std::uint32_t>(n);
  }
  void reserve(std::size_t n) {
    if (n <= m_capacity) return;
    if (n > UINT32_MAX) throw std::bad_alloc();
    const std::size_t capacity = std::min<std::size_t>(UINT32_MAX, std::max<std::size_t>(n, 2 * std::size_t{m_capacity}));
    T** grown = new T*[capacity];
    std::copy(begin(), end(), grown);
    if (OnHeap()) delete[] m_heap;
    m_heap = grown;
    m_capacity = static_cast<std::uint32_t>(capacity);
  }
  // count nulls before position at.
  void insert_nulls(std::size_t at, std::size_t count) {
    const std::size_t old = m_size;
    resize(old + count);
    std::copy_backward(data() + at, data() + old, data() + old + count);
    std::fill(data() + at, data() + at + count, nullptr);
  }
  void erase(std::size_t first, std::size_t last) {
    std::copy(data() + last, end(), data() + first);
    m_size -= static_cast<std::uint32_t>(last - first);
  }
  // Empty, and the storage given back.
  void clear() {
    if (OnHeap()) delete[] m_heap;
    m_capacity = N;
    m_size = 0;
    std::fill(m_inline, m_inline + N, nullptr);
  }

 private:
  bool OnHeap() const { return m_capacity > N; }
  T** data() { return OnHeap() ? m_heap : m_inline; }
  T* const* data() const { return OnHeap() ? m_heap : m_inline; }

  union {
    T* m_inline[N] = {};
    T** m_heap;
  };
  std::uint32_t m_size = 0;
  std::uint32_t m_capacity = N;
};
}  // namespace gx

class CGXStylePtrArray : public CObject {
  DECLARE_SERIAL(CGXStylePtrArray)

 public:
  CGXStylePtrArray() = default;
  CGXStylePtrArray(const CGXStylePtrArray& other) : CObject() { *this = other; }
  CGXStylePtrArray(CGXStylePtrArray&&) = delete;
  // Deep copy through each element's Clone.
  CGXStylePtrArray& operator=(const CGXStylePtrArray& other);
  ~CGXStylePtrArray() override { DeleteAll(); }

  // The document serialisation's form; nothing without it.
  void Serialize(CArchive& ar) override;

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  // Null past the end.
  CGXStyle* GetAt(INT_PTR i) const { return i >= 0 && i < GetSize() ? m_items[static_cast<std::size_t>(i)] : nullptr; }
  // Takes ownership; the array grows as needed; a style already there is deleted.
  void SetAtGrow(INT_PTR i, CGXStyle* style);
  // Gives up ownership of an element and leaves null.
  CGXStyle* Detach(INT_PTR i);
  // Grows with nulls or shrinks, deleting what falls off.
  void SetSize(INT_PTR n);
  void InsertAt(INT_PTR i, INT_PTR count);
  void DeleteAll();
  // Deletes the existing elements i..i+count-1 and removes them; indexes past the end are ignored.
  void DeleteAt(INT_PTR i, INT_PTR count = 1);
  // Moves count elements from `from` so that they start at `dest` in the resulting array.
  void MoveElements(INT_PTR from, INT_PTR count, INT_PTR dest);

 private:
  gx::InlinePtrArray<CGXStyle, 3> m_items;
};

class CGXStylePtrArrayPtrArray : public CObject {
  DECLARE_SERIAL(CGXStylePtrArrayPtrArray)

 public:
  CGXStylePtrArrayPtrArray() = default;
  CGXStylePtrArrayPtrArray(const CGXStylePtrArrayPtrArray& other) : CObject() { *this = other; }
  CGXStylePtrArrayPtrArray& operator=(const CGXStylePtrArrayPtrArray& other);
  ~CGXStylePtrArrayPtrArray() override { DeleteAll(); }

  void Serialize(CArchive& ar) override;

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  CGXStylePtrArray* GetAt(INT_PTR i) const {
    return i >= 0 && i < GetSize() ? m_items[static_cast<std::size_t>(i)] : nullptr;
  }
  // The row array at i, created (and the array grown) when missing.
  CGXStylePtrArray& Row(INT_PTR i);
  void SetAtGrow(INT_PTR i, CGXStylePtrArray* row);
  // Gives up ownership of a row and leaves null (null past the end).
  CGXStylePtrArray* Detach(INT_PTR i);
  void SetSize(INT_PTR n);
  void InsertAt(INT_PTR i, INT_PTR count);
  void DeleteAll();
  void DeleteAt(INT_PTR i, INT_PTR count = 1);
  void MoveElements(INT_PTR from, INT_PTR count, INT_PTR dest);

 private:
  std::vector<CGXStylePtrArray*> m_items;
};

namespace gx {
// The element move shared by the owning arrays: count elements from `from` to start at `dest`.
template <class Array>
void MoveElements(Array& v, INT_PTR from, INT_PTR count, INT_PTR dest);
}  // namespace gx
