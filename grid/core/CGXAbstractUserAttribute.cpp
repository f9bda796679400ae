#include "grid/core/CGXAbstractUserAttribute.h"

#include <cstdlib>

#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXAbstractUserAttribute, CObject, 0)

void CGXAbstractUserAttribute::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << GetValue();
  } else {
    CString text;
    ar >> text;
    SetValue(text);
  }
}

CGXAbstractUserAttribute& CGXAbstractUserAttribute::SetValue(LPCTSTR) { return *this; }
CGXAbstractUserAttribute& CGXAbstractUserAttribute::SetValue(const CString& text) { return SetValue(text.GetString()); }
CString CGXAbstractUserAttribute::GetValue() const { return CString(); }
LONG CGXAbstractUserAttribute::GetLongValue() const { return static_cast<LONG>(std::atol(GetValue())); }
DWORD CGXAbstractUserAttribute::GetDWordValue() const { return static_cast<DWORD>(GetLongValue()); }
double CGXAbstractUserAttribute::GetDoubleValue() const { return std::atof(GetValue()); }
CGXAbstractUserAttribute* CGXAbstractUserAttribute::Clone() const { return nullptr; }

BOOL CGXAbstractUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const {
  return m_nId == other.m_nId && GetValue() == other.GetValue();
}

BOOL CGXAbstractUserAttribute::IsEmpty() const { return GetValue().IsEmpty(); }
