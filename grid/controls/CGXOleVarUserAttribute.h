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
template <class T>
class CGXCaptiveManager {
 public:
  static CGXCaptiveManager& Pool() {
    static CGXCaptiveManager pool;
    return pool;
  }
  T* Acquire() {
    T* object = nullptr;
    if (!m_free.empty()) {
      object = m_free.front();
      m_free.erase(m_free.begin());
    } else {
      m_made.push_back(std::make_unique<T>());
      object = m_made.back().get();
      m_numbers[object] = ++m_nLastNumber;
    }
    m_held[m_numbers[object]] = object;
    return object;
  }
  void Release(T* object) {
    auto it = m_numbers.find(object);
    if (!object || it == m_numbers.end() || !m_held.erase(it->second)) return;  // not one of ours, or free
    m_free.push_back(object);
  }
  DWORD NumberOf(const T* object) const {
    auto it = m_numbers.find(object);
    return it == m_numbers.end() ? 0 : it->second;
  }
  T* Find(DWORD number) const {
    auto it = m_held.find(number);
    return it == m_held.end() ? nullptr : it->second;
  }
  size_t FreeCount() const { return m_free.size(); }

 private:
  CGXCaptiveManager() { m_free.reserve(10); }
  std::vector<std::unique_ptr<T>> m_made;
  std::vector<T*> m_free;
  std::map<const T*, DWORD> m_numbers;
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
