// A growable array of records held by value, in the class library's array manner: the analysis records keep their
// probe records in one, and the wizard pages count, index, refill and sort them. A bad index raises the class
// library's invalid-argument exception (AfxThrowInvalidArgException) and ends the operation.
#pragma once

#include "platform/base/CException.h"

#include <vector>

template <class T>
class CRecordArray {
public:
  int GetSize() const { return static_cast<int>(m_items.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  bool IsEmpty() const { return m_items.empty(); }

  // Growing makes new records with their new-record values; shrinking destroys the records dropped.
  void SetSize(int size) {
    if (size < 0)
      AfxThrowInvalidArgException();
    m_items.resize(static_cast<size_t>(size));
  }
  void RemoveAll() { m_items.clear(); }

  T& ElementAt(int index) { return m_items[Checked(index)]; }
  const T& GetAt(int index) const { return m_items[Checked(index)]; }
  T& operator[](int index) { return ElementAt(index); }
  const T& operator[](int index) const { return GetAt(index); }
  void SetAt(int index, const T& record) { m_items[Checked(index)] = record; }
  // Grows to index + 1 first when needed.
  void SetAtGrow(int index, const T& record) {
    if (index < 0)
      AfxThrowInvalidArgException();
    if (index >= GetSize())
      m_items.resize(static_cast<size_t>(index) + 1);
    m_items[static_cast<size_t>(index)] = record;
  }
  // A copy at the end; answers its index.
  int Add(const T& record) {
    m_items.push_back(record);
    return GetUpperBound();
  }
  // Copies of every record of another array at the end; answers the old count.
  int Append(const CRecordArray& other) {
    if (&other == this)
      AfxThrowInvalidArgException();
    const int old = GetSize();
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    return old;
  }
  // This array becomes copies of the other's records, assigned in order.
  void Copy(const CRecordArray& other) {
    if (&other == this)
      return;
    m_items.resize(other.m_items.size());
    for (size_t i = 0; i < m_items.size(); ++i)
      m_items[i] = other.m_items[i];
  }
  void InsertAt(int index, const T& record, int count = 1) {
    if (index < 0 || index > GetSize() || count < 0)
      AfxThrowInvalidArgException();
    m_items.insert(m_items.begin() + index, static_cast<size_t>(count), record);
  }
  void RemoveAt(int index, int count = 1) {
    if (index < 0 || count < 0 || index + count > GetSize())
      AfxThrowInvalidArgException();
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
  }
  // The element buffer, for sorting in place; valid until the array changes.
  T* GetData() { return m_items.data(); }
  const T* GetData() const { return m_items.data(); }

private:
  size_t Checked(int index) const {
    if (index < 0 || index >= GetSize())
      AfxThrowInvalidArgException();
    return static_cast<size_t>(index);
  }
  std::vector<T> m_items;
};
