// A user attribute that carries a VARIANT (the byte array of a picture field), taken from a process-wide
// pool of variants, and that pool.
//
// Archives hold no content, only a 32-bit number that names the held variant inside the writing process
// (0 for none): a transfer within one process while the variant is held. Loading looks the number up among
// the pool's variants that attributes hold now; it is never taken as an address, and an unknown number
// leaves the attribute empty.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "grid/core/CGXAbstractUserAttribute.h"
#include "platform/base/COleVariant.h"

constexpr WORD GX_IDS_UA_DAOBITMAP = 52794;

// A pool of reusable objects: Acquire takes the first free one (or makes one), Release gives it back
// without clearing it. Every object the pool made has a number (never 0); Find answers the held object of
// a number, null for a free or unknown one.
//
// Destroying a pool deletes its free objects only: an object still held (by an attribute of a cell that
// outlives the pool) stays its holder's, and its Release deletes it. The pool in use (Pool) is the most
// recently constructed one alive, else the library's own, which lives until the process ends.
template <class T>
class CGXCaptiveManager {
  // Each pooled object knows its pool (null once the pool is gone) and its number.
  struct Item : T {
    CGXCaptiveManager* owner = nullptr;
    DWORD number = 0;
  };

 public:
  CGXCaptiveManager() : m_pOuter(s_pCurrent) {
    m_free.reserve(10);
    s_pCurrent = this;
  }
  ~CGXCaptiveManager() {
    for (T* object : m_free) delete static_cast<Item*>(object);
    for (auto& [number, object] : m_held) static_cast<Item*>(object)->owner = nullptr;
    if (s_pCurrent == this) s_pCurrent = m_pOuter;
  }
  CGXCaptiveManager(const CGXCaptiveManager&) = delete;
  CGXCaptiveManager& operator=(const CGXCaptiveManager&) = delete;

  static CGXCaptiveManager& Pool() {
    if (s_pCurrent) return *s_pCurrent;
    static CGXCaptiveManager library;
    return library;
  }
  T* Acquire() {
    Item* item = nullptr;
    if (!m_free.empty()) {
      item = static_cast<Item*>(m_free.front());
      m_free.erase(m_free.begin());
    } else {
      item = new Item;
      item->owner = this;
      item->number = ++m_nLastNumber;
    }
    m_held[item->number] = item;
    return item;
  }
  // Gives an object back to the pool that made it; deletes it when that pool is gone. Objects this kind of
  // pool did not make must not be given.
  static void Release(T* object) {
    if (!object) return;
    Item* item = static_cast<Item*>(object);
    if (!item->owner) {
      delete item;
      return;
    }
    CGXCaptiveManager* pool = item->owner;
    if (!pool->m_held.erase(item->number)) return;  // free already
    pool->m_free.push_back(item);
  }
  DWORD NumberOf(const T* object) const {
    const Item* item = static_cast<const Item*>(object);
    return object && item->owner == this ? item->number : 0;
  }
  T* Find(DWORD number) const {
    auto it = m_held.find(number);
    return it == m_held.end() ? nullptr : it->second;
  }
  size_t FreeCount() const { return m_free.size(); }
  size_t HeldCount() const { return m_held.size(); }

 private:
  static inline CGXCaptiveManager* s_pCurrent = nullptr;
  CGXCaptiveManager* m_pOuter;
  std::vector<T*> m_free;
  std::map<DWORD, T*> m_held;
  DWORD m_nLastNumber = 0;
};

class CGXOleVarUserAttribute : public CGXAbstractUserAttribute {
  DECLARE_SERIAL(CGXOleVarUserAttribute)

 public:
  CGXOleVarUserAttribute() = default;
  ~CGXOleVarUserAttribute() override;

  void Serialize(CArchive& ar) override;
  // The value is no text: setting one does nothing, reading gives "".
  CGXAbstractUserAttribute& SetValue(LPCTSTR) override { return *this; }
  CGXAbstractUserAttribute& SetValue(const CString&) override { return *this; }
  CString GetValue() const override { return CString(); }
  // A new attribute with a copy of the value (none when this holds none).
  CGXAbstractUserAttribute* Clone() const override;
  BOOL IsEmpty() const override;
  // The same id and the very same pooled variant (not equal contents).
  virtual BOOL IsSameValue(const CGXAbstractUserAttribute& other) const;

  void SetVariant(const VARIANT& value);
  COleVariant* GetVariant() const { return m_pVariant; }
  BOOL m_bSet = FALSE;

 private:
  COleVariant* m_pVariant = nullptr;
};
