// The general user attribute: a number, a text or a double, chosen from the text it is set from.
//
// Kinds: 0 empty, 1 unsigned 32-bit, 2 signed 32-bit, 3 short text (at most 8 characters), 4 longer text,
// 5 double, 6 64-bit value. A text that the installed number parser reads as a double, and that "%.13g"
// writes back exactly, becomes a double; any other text stays text ("12" and "0.5" are numbers, "012",
// "1e3" and " 12" texts).
#pragma once

#include <cstring>

#include "grid/core/CGXAbstractUserAttribute.h"

class CGXUserAttribute : public CGXAbstractUserAttribute {
  DECLARE_SERIAL(CGXUserAttribute)

 public:
  enum Kind : BYTE { empty = 0, dword = 1, long32 = 2, shortText = 3, longText = 4, number = 5, int64 = 6 };
  static constexpr int kShortText = 8;

  CGXUserAttribute() = default;
  explicit CGXUserAttribute(const CString& text) { SetValue(text); }
  explicit CGXUserAttribute(LPCTSTR text) { SetValue(text); }
  CGXUserAttribute(const CGXUserAttribute& other);
  CGXUserAttribute& operator=(const CGXUserAttribute&) = delete;
  ~CGXUserAttribute() override = default;

  void Serialize(CArchive& ar) override;

  using CGXAbstractUserAttribute::SetValue;
  CGXAbstractUserAttribute& SetValue(LPCTSTR text) override;
  CGXUserAttribute& SetDWordValue(DWORD v);
  CGXUserAttribute& SetLongValue(LONG v);
  CGXUserAttribute& SetDoubleValue(double v);
  CGXUserAttribute& SetInt64Value(ULONGLONG v);

  CString GetValue() const override;
  // Doubles are saturated into the result's range before the conversion (NaN gives 0).
  LONG GetLongValue() const override;
  DWORD GetDWordValue() const override;
  double GetDoubleValue() const override;
  CGXAbstractUserAttribute* Clone() const override;
  BOOL IsEqual(const CGXAbstractUserAttribute& other) const override;

  Kind GetKind() const { return m_kind; }

 private:
  // The 8-byte value cell of the numeric kinds.
  void SetCell(const void* bytes, std::size_t n) {
    std::memset(m_cell, 0, sizeof m_cell);
    std::memcpy(m_cell, bytes, n);
  }
  template <class T>
  T Cell() const {
    T v;
    std::memcpy(&v, m_cell, sizeof v);
    return v;
  }

  Kind m_kind = empty;
  BYTE m_cell[8] = {};
  CString m_text;  // kinds 3 and 4
};
