// CArray<TYPE, ARG_TYPE>: the classic growable array.
//
// SetSize grows by value-initialised elements and shrinks by destroying the tail; SetSize(0) frees the
// memory. Capacity grows by the growth step given to SetSize or, by default, by an eighth of the size
// (at least 4, at most 1024 elements). Every index is checked: a bad one throws CInvalidArgException
// (the classic class only asserts). InsertAt past the end grows the array first, as the classic one does.
// Serialize writes WriteCount and the elements through SerializeElements.
#pragma once

#include <algorithm>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/CObject.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
  static_assert(!std::is_same_v<TYPE, bool>, "use BOOL or BYTE elements");

 public:
  CArray() = default;

  INT_PTR GetSize() const { return static_cast<INT_PTR>(data_.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return data_.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }

  void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
    if (newSize < 0) AfxThrowInvalidArgException();
    if (growBy >= 0) growBy_ = growBy;
    try {
      if (newSize == 0) {
        std::vector<TYPE>().swap(data_);
        return;
      }
      const auto n = static_cast<std::size_t>(newSize);
      if (n > data_.capacity()) {
        std::size_t step = static_cast<std::size_t>(growBy_);
        if (growBy_ <= 0) step = std::clamp<std::size_t>(data_.size() / 8, 4, 1024);
        data_.reserve(std::max(n, data_.capacity() + step));
      }
      data_.resize(n);
    } catch (const std::bad_alloc&) {
      AfxThrowMemoryException();
    } catch (const std::length_error&) {
      AfxThrowMemoryException();
    }
  }
  void FreeExtra() { data_.shrink_to_fit(); }
  void RemoveAll() { SetSize(0); }

  const TYPE& GetAt(INT_PTR i) const { return data_[Check(i)]; }
  TYPE& GetAt(INT_PTR i) { return data_[Check(i)]; }
  void SetAt(INT_PTR i, ARG_TYPE v) { data_[Check(i)] = v; }
  const TYPE& ElementAt(INT_PTR i) const { return data_[Check(i)]; }
  TYPE& ElementAt(INT_PTR i) { return data_[Check(i)]; }
  const TYPE& operator[](INT_PTR i) const { return data_[Check(i)]; }
  TYPE& operator[](INT_PTR i) { return data_[Check(i)]; }
  const TYPE* GetData() const { return data_.empty() ? nullptr : data_.data(); }
  TYPE* GetData() { return data_.empty() ? nullptr : data_.data(); }

  void SetAtGrow(INT_PTR i, ARG_TYPE v) {
    if (i < 0) AfxThrowInvalidArgException();
    TYPE copy(v);  // v may be an element that growing moves
    if (i >= GetSize()) SetSize(i + 1);
    data_[static_cast<std::size_t>(i)] = std::move(copy);
  }
  INT_PTR Add(ARG_TYPE v) {
    const INT_PTR index = GetSize();
    SetAtGrow(index, v);
    return index;
  }
  // Appends a copy of another array; appending an array to itself throws. Returns the old size.
  INT_PTR Append(const CArray& src) {
    if (&src == this) AfxThrowInvalidArgException();
    const INT_PTR old = GetSize();
    SetSize(old + src.GetSize());
    std::copy(src.data_.begin(), src.data_.end(), data_.begin() + old);
    return old;
  }
  void Copy(const CArray& src) {
    if (&src == this) return;
    SetSize(src.GetSize());
    std::copy(src.data_.begin(), src.data_.end(), data_.begin());
  }

  void InsertAt(INT_PTR index, ARG_TYPE v, INT_PTR count = 1) {
    if (index < 0 || count < 0) AfxThrowInvalidArgException();
    if (count == 0) return;
    TYPE copy(v);
    if (index >= GetSize()) {
      SetSize(index + count);
    } else {
      const INT_PTR old = GetSize();
      SetSize(old + count);
      std::move_backward(data_.begin() + index, data_.begin() + old, data_.end());
    }
    std::fill(data_.begin() + index, data_.begin() + index + count, copy);
  }
  // A null element of a pointer array (a bare nullptr would also fit the array overload).
  void InsertAt(INT_PTR index, std::nullptr_t, INT_PTR count = 1)
    requires std::is_pointer_v<TYPE>
  {
    InsertAt(index, static_cast<TYPE>(nullptr), count);
  }
  void InsertAt(INT_PTR startIndex, const CArray* newArray) {
    if (!newArray || newArray == this || startIndex < 0) AfxThrowInvalidArgException();
    if (newArray->GetSize() == 0) return;
    InsertAt(startIndex, newArray->GetAt(0), newArray->GetSize());
    std::copy(newArray->data_.begin(), newArray->data_.end(), data_.begin() + startIndex);
  }
  void RemoveAt(INT_PTR index, INT_PTR count = 1) {
    if (index < 0 || count < 0 || index > GetSize() - count) AfxThrowInvalidArgException();
    data_.erase(data_.begin() + index, data_.begin() + index + count);
  }

  void Serialize(CArchive& ar) override {
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD_PTR>(GetSize()));
    } else {
      const DWORD_PTR count = ar.ReadCount();
      ar.EnsureAvailable(count);  // every element form takes at least one byte
      SetSize(static_cast<INT_PTR>(count), -1);
    }
    SerializeElements<TYPE>(ar, GetData(), GetSize());
  }

 protected:
  std::size_t Check(INT_PTR i) const {
    if (i < 0 || i >= GetSize()) AfxThrowInvalidArgException();
    return static_cast<std::size_t>(i);
  }

  std::vector<TYPE> data_;
  INT_PTR growBy_ = -1;
};
