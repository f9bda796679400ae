// The hash map that the grid's own keyed collections share.
//
// Built like the class library's maps so that iteration order, which the archives expose, is the classic
// one: a bucket table created on first insertion, new entries at the head of their bucket's chain, and
// iteration over the buckets in index order, each chain from its head. Nodes come from blocks and return
// to a free list; all blocks are released when the map is emptied.
//
// Positions are opaque: the before-start position is all bits set, the end is null.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/wintypes.h"

namespace gx {

inline POSITION BeforeStartPosition() { return reinterpret_cast<POSITION>(static_cast<ULONG_PTR>(-1)); }

// Hash: a functor mapping a key to an unsigned value that is taken modulo the bucket count.
template <class Key, class Value, class Hash>
class HashMap {
 public:
  explicit HashMap(UINT buckets = 17, int blockSize = 10)
      : m_nHashTableSize(buckets ? buckets : 17), m_nBlockSize(blockSize > 0 ? blockSize : 10) {}
  HashMap(const HashMap&) = delete;
  HashMap& operator=(const HashMap&) = delete;
  ~HashMap() = default;

  INT_PTR GetCount() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }
  UINT GetHashTableSize() const { return m_nHashTableSize; }

  // Drops the entries and sets a new bucket count for the next table.
  void InitHashTable(UINT buckets) {
    RemoveAll();
    m_nHashTableSize = buckets ? buckets : 1;
  }

  BOOL Lookup(const Key& key, Value& value) const {
    if (const Node* n = Find(key)) {
      value = n->value;
      return TRUE;
    }
    return FALSE;
  }
  Value* PLookup(const Key& key) {
    Node* n = Find(key);
    return n ? &n->value : nullptr;
  }

  // The value slot of a key, created value-initialised when missing.
  Value& operator[](const Key& key) {
    if (Node* n = Find(key)) return n->value;
    if (m_table.empty()) m_table.assign(m_nHashTableSize, nullptr);
    const UINT b = Bucket(key);
    Node* n = NewNode();
    n->key = key;
    n->value = Value{};
    n->bucket = b;
    n->next = m_table[b];
    m_table[b] = n;
    ++m_nCount;
    return n->value;
  }
  void SetAt(const Key& key, const Value& value) { (*this)[key] = value; }

  // Removing the last entry releases the node blocks too when freeWhenEmpty is set.
  BOOL RemoveKey(const Key& key, bool freeWhenEmpty = false) {
    if (m_table.empty()) return FALSE;
    Node** link = &m_table[Bucket(key)];
    for (Node* n = *link; n; link = &n->next, n = n->next) {
      if (n->key == key) {
        *link = n->next;
        n->value = Value{};
        n->next = m_free;
        m_free = n;
        --m_nCount;
        if (m_nCount == 0 && freeWhenEmpty) RemoveAll();
        return TRUE;
      }
    }
    return FALSE;
  }

  void RemoveAll() {
    m_table.clear();
    m_blocks.clear();
    m_free = nullptr;
    m_nCount = 0;
  }

  POSITION GetStartPosition() const { return m_nCount ? BeforeStartPosition() : nullptr; }

  void GetNextAssoc(POSITION& pos, Key& key, Value& value) const {
    const Node* n = reinterpret_cast<const Node*>(pos);
    if (pos == BeforeStartPosition()) {
      n = nullptr;
      for (UINT b = 0; b < m_table.size() && !n; ++b) n = m_table[b];
    }
    if (!n) {  // past the end or empty: nothing to report
      pos = nullptr;
      return;
    }
    key = n->key;
    value = n->value;
    const Node* next = n->next;
    for (UINT b = n->bucket + 1; !next && b < m_table.size(); ++b) next = m_table[b];
    pos = reinterpret_cast<POSITION>(const_cast<Node*>(next));
  }

  // Number of node blocks held (for tests of the release rules).
  std::size_t GetBlockCount() const { return m_blocks.size(); }

 private:
  struct Node {
    Node* next = nullptr;
    UINT bucket = 0;
    Key key{};
    Value value{};
  };

  UINT Bucket(const Key& key) const { return static_cast<UINT>(Hash{}(key) % m_nHashTableSize); }

  Node* Find(const Key& key) const {
    if (m_table.empty()) return nullptr;
    for (Node* n = m_table[Bucket(key)]; n; n = n->next)
      if (n->key == key) return n;
    return nullptr;
  }

  Node* NewNode() {
    if (!m_free) {
      auto block = std::make_unique<Node[]>(m_nBlockSize);
      for (int i = m_nBlockSize - 1; i >= 0; --i) {
        block[i].next = m_free;
        m_free = &block[i];
      }
      m_blocks.push_back(std::move(block));
    }
    Node* n = m_free;
    m_free = n->next;
    n->next = nullptr;
    return n;
  }

  std::vector<Node*> m_table;
  UINT m_nHashTableSize;
  INT_PTR m_nCount = 0;
  Node* m_free = nullptr;
  std::vector<std::unique_ptr<Node[]>> m_blocks;
  int m_nBlockSize;
};

}  // namespace gx
