// CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>: the classic hash map, whose iteration order is part of what
// callers see (archives, choice lists) and therefore the classic one:
//   - the table has InitHashTable's size (17 by default) and is created at the first insertion;
//   - bucket = HashKey(key) % size; string keys hash h = h * 33 + c over the bytes taken as signed char,
//     integer and pointer keys as key >> 4;
//   - iteration walks the buckets in ascending order and each bucket from its newest entry to its oldest.
// InitHashTable on a filled map rebuilds the table in insertion order, so the result is the order the
// entries would have had in a table of that size from the start (the classic class only asserts).
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"

namespace plat {

inline UINT HashString(std::string_view s) {
  UINT h = 0;
  for (char c : s) h = (h << 5) + h + static_cast<UINT>(static_cast<int>(static_cast<signed char>(c)));
  return h;
}

}  // namespace plat

// The classic hash of a key. Specialise for other key types.
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key) {
  using K = std::remove_cvref_t<ARG_KEY>;
  if constexpr (std::is_same_v<K, CString>) {
    return plat::HashString(key.View());
  } else if constexpr (std::is_convertible_v<K, const char*>) {
    const char* s = key;
    return plat::HashString(s ? std::string_view(s) : std::string_view());
  } else if constexpr (std::is_pointer_v<K>) {
    return static_cast<UINT>(reinterpret_cast<DWORD_PTR>(key) >> 4);
  } else {
    return static_cast<UINT>(static_cast<DWORD_PTR>(key) >> 4);
  }
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
  struct Assoc {
    Assoc* next;
    UINT hash;
    std::uint64_t age;  // insertion order, for rebuilding the table
    const CMap* owner;
    KEY key;
    VALUE value;
  };

 public:
  explicit CMap(INT_PTR /*blockSize*/ = 10) {}
  ~CMap() override { RemoveAll(); }

  INT_PTR GetCount() const { return count_; }
  INT_PTR GetSize() const { return count_; }
  BOOL IsEmpty() const { return count_ == 0; }
  UINT GetHashTableSize() const { return tableSize_; }

  void InitHashTable(UINT size, BOOL allocNow = TRUE) {
    if (size == 0) AfxThrowInvalidArgException();
    std::vector<Assoc*> all;
    all.reserve(static_cast<std::size_t>(count_));
    for (Assoc* head : table_)
      for (Assoc* a = head; a; a = a->next) all.push_back(a);
    std::sort(all.begin(), all.end(), [](const Assoc* a, const Assoc* b) { return a->age < b->age; });
    tableSize_ = size;
    table_.clear();
    if (allocNow || !all.empty()) table_.assign(size, nullptr);
    for (Assoc* a : all) {
      Assoc*& bucket = table_[a->hash % tableSize_];
      a->next = bucket;
      bucket = a;
    }
  }

  BOOL Lookup(ARG_KEY key, VALUE& value) const {
    const Assoc* a = Find(key);
    if (!a) return FALSE;
    value = a->value;
    return TRUE;
  }
  VALUE& operator[](ARG_KEY key) {
    if (Assoc* a = Find(key)) return a->value;
    if (table_.empty()) table_.assign(tableSize_, nullptr);
    const UINT h = HashKey<ARG_KEY>(key);
    Assoc*& bucket = table_[h % tableSize_];
    bucket = new Assoc{bucket, h, nextAge_++, this, KEY(key), VALUE{}};
    ++count_;
    return bucket->value;
  }
  void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }
  BOOL RemoveKey(ARG_KEY key) {
    if (table_.empty()) return FALSE;
    const UINT h = HashKey<ARG_KEY>(key);
    for (Assoc** link = &table_[h % tableSize_]; *link; link = &(*link)->next) {
      if ((*link)->key == key) {
        Assoc* gone = *link;
        *link = gone->next;
        delete gone;
        --count_;
        return TRUE;
      }
    }
    return FALSE;
  }
  void RemoveAll() {
    for (Assoc*& head : table_) {
      while (head) {
        Assoc* next = head->next;
        delete head;
        head = next;
      }
    }
    table_.clear();
    count_ = 0;
  }

  POSITION GetStartPosition() const {
    for (Assoc* head : table_)
      if (head) return ToPos(head);
    return nullptr;
  }
  // Returns the entry at pos and moves pos to the next one (null after the last). The entry just
  // returned may be removed before the next call.
  void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const {
    const Assoc* a = reinterpret_cast<const Assoc*>(pos);
    if (!a || a->owner != this) AfxThrowInvalidArgException();
    key = a->key;
    value = a->value;
    pos = ToPos(Next(a));
  }

  void Serialize(CArchive& ar) override {
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD_PTR>(count_));
      for (POSITION pos = GetStartPosition(); pos;) {
        KEY k{};
        VALUE v{};
        GetNextAssoc(pos, k, v);
        SerializeElements<KEY>(ar, &k, 1);
        SerializeElements<VALUE>(ar, &v, 1);
      }
    } else {
      DWORD_PTR count = ar.ReadCount();
      ar.EnsureAvailable(count);
      while (count-- > 0) {
        KEY k{};
        VALUE v{};
        SerializeElements<KEY>(ar, &k, 1);
        SerializeElements<VALUE>(ar, &v, 1);
        SetAt(k, v);
      }
    }
  }

 protected:
  static POSITION ToPos(const Assoc* a) { return reinterpret_cast<POSITION>(const_cast<Assoc*>(a)); }
  const Assoc* Next(const Assoc* a) const {
    if (a->next) return a->next;
    for (std::size_t b = a->hash % tableSize_ + 1; b < table_.size(); ++b)
      if (table_[b]) return table_[b];
    return nullptr;
  }
  Assoc* Find(ARG_KEY key) const {
    if (table_.empty()) return nullptr;
    const UINT h = HashKey<ARG_KEY>(key);
    for (Assoc* a = table_[h % tableSize_]; a; a = a->next)
      if (a->key == key) return a;
    return nullptr;
  }

  std::vector<Assoc*> table_;
  UINT tableSize_ = 17;
  INT_PTR count_ = 0;
  std::uint64_t nextAge_ = 0;
};
