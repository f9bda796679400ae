// Automation values: BSTR strings, one-dimensional SAFEARRAYs and VARIANTs, the subset the module uses
// (byte arrays of stored objects, dates, numbers, texts).
//
// OLECHAR is a 16-bit unit; a BSTR is length-prefixed and NUL-terminated. Arrays are one-dimensional
// (other ranks are refused); their elements may be bytes, integers, doubles, dates, BSTRs or VARIANTs,
// and arrays of BSTRs or VARIANTs own their elements. VariantClear frees what a VARIANT owns,
// VariantCopy copies deeply.
#pragma once

#include "platform/base/LocaleTable.h"
#include "platform/base/OleDate.h"
#include "platform/base/wintypes.h"

using VARTYPE = USHORT;
using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using VARIANT_BOOL = SHORT;
using SCODE = LONG;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UI1 = 17,
  VT_ARRAY = 0x2000,
};

constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008u);
constexpr HRESULT DISP_E_ARRAYISLOCKED = static_cast<HRESULT>(0x8002000Du);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);

struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
};

struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  void* pvData;
  SAFEARRAYBOUND rgsabound[1];
};
constexpr USHORT FADF_HAVEVARTYPE = 0x0080;
constexpr USHORT FADF_BSTR = 0x0100;
constexpr USHORT FADF_VARIANT = 0x0800;

struct tagVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    DATE date;
    BSTR bstrVal;
    SAFEARRAY* parray;
    void* byref;
  };
};
using VARIANT = tagVARIANT;
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;
using LPCVARIANT = const VARIANT*;

BSTR SysAllocString(LPCOLESTR text);
BSTR SysAllocStringLen(LPCOLESTR text, UINT length);
// `length` bytes taken as they are (an 8-bit text or raw data), NUL-terminated.
BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* lower);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* upper);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
// Copies in or out (BSTR and VARIANT elements deeply).
HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* out);
HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value);
HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** out);

void VariantInit(VARIANTARG* v);
HRESULT VariantClear(VARIANTARG* v);
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src);

// The locale number rules of plat::ParseLocaleNumber on a wide text: S_OK, DISP_E_TYPEMISMATCH or
// DISP_E_OVERFLOW.
HRESULT VarR8FromStr(LPCOLESTR text, LCID locale, ULONG flags, double* out);
