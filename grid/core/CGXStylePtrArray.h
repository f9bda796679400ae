// Owning arrays of styles: one row's cell styles (or the row and column base styles), and the rows of
// cell styles. Elements are null where nothing is stored; arrays may be shorter than the grid's counts.
#pragma once

#include <vector>

#include "grid/core/CGXStyle.h"

class CGXStylePtrArray : public CObject {
  DECLARE_SERIAL(CGXStylePtrArray)

 public:
  CGXStylePtrArray() = default;
  CGXStylePtrArray(const CGXStylePtrArray& other) : CObject() { *this = other; }
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
  std::vector<CGXStyle*> m_items;
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
template <class T>
void MoveElements(std::vector<T*>& v, INT_PTR from, INT_PTR count, INT_PTR dest);
}  // namespace gx
