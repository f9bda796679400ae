#include "grid/core/CGXUserAttribute.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"

IMPLEMENT_SERIAL(CGXUserAttribute, CGXAbstractUserAttribute, 0)

namespace {

// Truncates towards zero and clamps into [lo, hi]; NaN gives 0.
long long Saturate(double d, long long lo, long long hi) {
  if (std::isnan(d)) return 0;
  const double t = std::trunc(d);
  if (t <= static_cast<double>(lo)) return lo;
  if (t >= static_cast<double>(hi)) return hi;
  return static_cast<long long>(t);
}

}  // namespace

CGXUserAttribute::CGXUserAttribute(const CGXUserAttribute& other)
    : CGXAbstractUserAttribute(other), m_kind(other.m_kind), m_text(other.m_text) {
  std::memcpy(m_cell, other.m_cell, sizeof m_cell);
}

CGXAbstractUserAttribute& CGXUserAttribute::SetValue(LPCTSTR text) {
  std::memset(m_cell, 0, sizeof m_cell);
  m_text.Empty();
  if (!text || !*text) {
    m_kind = empty;
    return *this;
  }
  double d = 0;
  if (gx::ParseDisplayText(text, d)) {
    CString back;
    back.Format("%.13g", d);
    if (back == text) {
      SetDoubleValue(d);
      return *this;
    }
  }
  m_text = text;
  m_kind = m_text.GetLength() > kShortText ? longText : shortText;
  return *this;
}

CGXUserAttribute& CGXUserAttribute::SetDWordValue(DWORD v) {
  m_text.Empty();
  m_kind = dword;
  SetCell(&v, sizeof v);
  return *this;
}

CGXUserAttribute& CGXUserAttribute::SetLongValue(LONG v) {
  m_text.Empty();
  m_kind = long32;
  SetCell(&v, sizeof v);
  return *this;
}

CGXUserAttribute& CGXUserAttribute::SetDoubleValue(double v) {
  m_text.Empty();
  m_kind = number;
  SetCell(&v, sizeof v);
  return *this;
}

CGXUserAttribute& CGXUserAttribute::SetInt64Value(ULONGLONG v) {
  m_text.Empty();
  m_kind = int64;
  SetCell(&v, sizeof v);
  return *this;
}

CString CGXUserAttribute::GetValue() const {
  CString s;
  switch (m_kind) {
    case empty: break;
    case dword: s.Format("%lu", static_cast<unsigned long>(Cell<DWORD>())); break;
    case long32: s.Format("%ld", static_cast<long>(Cell<LONG>())); break;
    case shortText:
    case longText: s = m_text; break;
    case number: s.Format("%.13g", Cell<double>()); break;
    case int64: {
      const ULONGLONG v = Cell<ULONGLONG>();
      s.Format("%08x%08x", static_cast<unsigned>(v & 0xFFFFFFFFu), static_cast<unsigned>(v >> 32));
      break;
    }
    default: s = "Value?"; break;
  }
  return s;
}

LONG CGXUserAttribute::GetLongValue() const {
  switch (m_kind) {
    case dword:
    case long32: return Cell<LONG>();
    case shortText:
    case longText: return static_cast<LONG>(std::atol(m_text));
    case number:
      return static_cast<LONG>(Saturate(Cell<double>(), std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
    default: return 0;
  }
}

DWORD CGXUserAttribute::GetDWordValue() const {
  if (m_kind == number) {
    // Negative values keep their 32-bit two's-complement form, as the integer kinds do.
    return static_cast<DWORD>(Saturate(Cell<double>(), std::numeric_limits<LONG>::min(), std::numeric_limits<DWORD>::max()));
  }
  return static_cast<DWORD>(GetLongValue());
}

double CGXUserAttribute::GetDoubleValue() const {
  switch (m_kind) {
    case dword: return static_cast<double>(Cell<DWORD>());
    case long32: return static_cast<double>(Cell<LONG>());
    case shortText:
    case longText: return std::atof(m_text);
    case number: return Cell<double>();
    default: return 0.0;
  }
}

CGXAbstractUserAttribute* CGXUserAttribute::Clone() const { return new CGXUserAttribute(*this); }

BOOL CGXUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const {
  const auto* o = dynamic_cast<const CGXUserAttribute*>(&other);
  if (!o) return CGXAbstractUserAttribute::IsEqual(other);
  if (m_nId != o->m_nId || m_kind != o->m_kind) return FALSE;
  switch (m_kind) {
    case empty: return TRUE;
    case dword:
    case long32: return Cell<DWORD>() == o->Cell<DWORD>();
    case shortText:
    case longText: return m_text == o->m_text;
    case number: return Cell<double>() == o->Cell<double>();  // false when either is NaN
    case int64: return std::memcmp(m_cell, o->m_cell, sizeof m_cell) == 0;
    default: return FALSE;
  }
}

void CGXUserAttribute::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<BYTE>(m_kind);
    if (m_kind == shortText || m_kind == longText)
      ar << m_text;
    else
      ar.Write(m_cell, sizeof m_cell);
    return;
  }
  BYTE kind = 0;
  ar >> kind;
  if (kind > int64) AfxThrowArchiveException(CArchiveException::genericException);
  m_text.Empty();
  std::memset(m_cell, 0, sizeof m_cell);
  if (kind == shortText || kind == longText) {
    ar >> m_text;
    // The kind follows the text, so that a short text never claims the long form or the reverse.
    kind = m_text.GetLength() > kShortText ? longText : shortText;
  } else if (ar.Read(m_cell, sizeof m_cell) != sizeof m_cell) {
    AfxThrowArchiveException(CArchiveException::endOfFile);
  }
  m_kind = static_cast<Kind>(kind);
}
