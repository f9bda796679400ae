#include "platform/base/COleVariant.h"

#include <cstring>

#include "platform/base/CException.h"
#include "platform/base/CodePage.h"

namespace {

void Check(HRESULT hr) {
  if (hr == E_OUTOFMEMORY) AfxThrowMemoryException();
  if (FAILED(hr)) AfxThrowInvalidArgException();
}

}  // namespace

COleVariant::COleVariant(const VARIANT& src) {
  VariantInit(this);
  Check(VariantCopy(this, &src));
}

COleVariant::COleVariant(LPCSTR text) {
  VariantInit(this);
  const std::u16string wide = plat::Utf16From1252(text ? text : "");
  vt = VT_BSTR;
  bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!bstrVal) AfxThrowMemoryException();
}

COleVariant::COleVariant(BYTE value) {
  VariantInit(this);
  vt = VT_UI1;
  bVal = value;
}

COleVariant::COleVariant(SHORT value, VARTYPE type) {
  VariantInit(this);
  vt = type == VT_BOOL ? VT_BOOL : VT_I2;
  if (vt == VT_BOOL) {
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    iVal = value;
  }
}

COleVariant::COleVariant(LONG value, VARTYPE type) {
  VariantInit(this);
  vt = type == VT_ERROR ? VT_ERROR : type == VT_BOOL ? VT_BOOL : VT_I4;
  if (vt == VT_BOOL) {
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (vt == VT_ERROR) {
    scode = value;
  } else {
    lVal = value;
  }
}

COleVariant::COleVariant(float value) {
  VariantInit(this);
  vt = VT_R4;
  fltVal = value;
}

COleVariant::COleVariant(double value) {
  VariantInit(this);
  vt = VT_R8;
  dblVal = value;
}

COleVariant::COleVariant(const COleDateTime& value) {
  VariantInit(this);
  vt = VT_DATE;
  date = value.m_dt;
}

COleVariant::COleVariant(const CByteArray& bytes) {
  VariantInit(this);
  SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.GetSize()));
  if (!a) AfxThrowMemoryException();
  if (bytes.GetSize()) std::memcpy(a->pvData, bytes.GetData(), static_cast<std::size_t>(bytes.GetSize()));
  vt = VT_ARRAY | VT_UI1;
  parray = a;
}

COleVariant::~COleVariant() { VariantClear(this); }

COleVariant& COleVariant::operator=(const VARIANT& src) {
  Check(VariantCopy(this, &src));
  return *this;
}

bool COleVariant::operator==(const VARIANT& o) const {
  if (vt != o.vt) return false;
  if (vt & VT_ARRAY) {
    if (!parray || !o.parray) return parray == o.parray;
    const ULONG n = parray->rgsabound[0].cElements;
    if (n != o.parray->rgsabound[0].cElements || parray->cbElements != o.parray->cbElements ||
        parray->rgsabound[0].lLbound != o.parray->rgsabound[0].lLbound)
      return false;
    if (parray->fFeatures & (FADF_BSTR | FADF_VARIANT)) return false;  // compared by identity only
    return std::memcmp(parray->pvData, o.parray->pvData, static_cast<std::size_t>(n) * parray->cbElements) == 0;
  }
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
      return true;
    case VT_BSTR: {
      const UINT n = SysStringByteLen(bstrVal);
      return n == SysStringByteLen(o.bstrVal) && (n == 0 || std::memcmp(bstrVal, o.bstrVal, n) == 0);
    }
    case VT_UI1:
      return bVal == o.bVal;
    case VT_I2:
      return iVal == o.iVal;
    case VT_BOOL:
      return boolVal == o.boolVal;
    case VT_I4:
      return lVal == o.lVal;
    case VT_ERROR:
      return scode == o.scode;
    case VT_R4:
      return fltVal == o.fltVal;
    case VT_R8:
      return dblVal == o.dblVal;
    case VT_DATE:
      return date == o.date;
    default:
      return llVal == o.llVal;
  }
}

void COleVariant::Clear() { VariantClear(this); }

void COleVariant::Attach(VARIANT& src) {
  VariantClear(this);
  *static_cast<VARIANT*>(this) = src;
  VariantInit(&src);
}

VARIANT COleVariant::Detach() {
  VARIANT out = *this;
  VariantInit(this);
  return out;
}

CString COleVariant::GetText() const {
  if (vt != VT_BSTR || !bstrVal) return CString();
  return CString(plat::Cp1252FromUtf16(std::u16string_view(bstrVal, SysStringLen(bstrVal))));
}

BOOL COleVariant::GetByteArray(CByteArray& bytes) const {
  if (vt != (VT_ARRAY | VT_UI1) || !parray) return FALSE;
  const ULONG n = parray->rgsabound[0].cElements;
  bytes.SetSize(static_cast<INT_PTR>(n));
  if (n) std::memcpy(bytes.GetData(), parray->pvData, n);
  return TRUE;
}
