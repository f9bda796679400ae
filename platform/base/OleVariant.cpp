#include "platform/base/OleVariant.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/base/CodePage.h"

namespace {

// A BSTR's block: the byte length, then the units and a 16-bit NUL.
BSTR AllocBytes(const void* bytes, UINT byteLength) {
  auto* block = static_cast<BYTE*>(std::malloc(sizeof(ULONG) + byteLength + sizeof(OLECHAR) + 1));
  if (!block) return nullptr;
  const ULONG len = byteLength;
  std::memcpy(block, &len, sizeof len);
  BYTE* text = block + sizeof(ULONG);
  if (bytes && byteLength) std::memcpy(text, bytes, byteLength);
  std::memset(text + byteLength, 0, sizeof(OLECHAR) + 1);
  return reinterpret_cast<BSTR>(text);
}

// The array header keeps the element type just before the classic structure.
struct ArrayBlock {
  VARTYPE vt;
  SAFEARRAY array;
};

ArrayBlock* BlockOf(SAFEARRAY* a) {
  return reinterpret_cast<ArrayBlock*>(reinterpret_cast<BYTE*>(a) - offsetof(ArrayBlock, array));
}

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_R8:
    case VT_DATE:
      return 8;
    case VT_BSTR:
      return sizeof(BSTR);
    case VT_VARIANT:
      return sizeof(VARIANT);
    default:
      return 0;
  }
}

HRESULT Offset(SAFEARRAY* a, LONG* indices, std::size_t& offset) {
  if (!a || !indices) return E_INVALIDARG;
  const LONG i = indices[0] - a->rgsabound[0].lLbound;
  if (i < 0 || static_cast<ULONG>(i) >= a->rgsabound[0].cElements) return DISP_E_BADINDEX;
  offset = static_cast<std::size_t>(i) * a->cbElements;
  return S_OK;
}

}  // namespace

BSTR SysAllocString(LPCOLESTR text) {
  if (!text) return nullptr;
  UINT n = 0;
  while (text[n]) ++n;
  return SysAllocStringLen(text, n);
}

BSTR SysAllocStringLen(LPCOLESTR text, UINT length) { return AllocBytes(text, length * static_cast<UINT>(sizeof(OLECHAR))); }

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) { return AllocBytes(bytes, length); }

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<BYTE*>(text) - sizeof(ULONG));
}

UINT SysStringByteLen(BSTR text) {
  if (!text) return 0;
  ULONG len;
  std::memcpy(&len, reinterpret_cast<BYTE*>(text) - sizeof(ULONG), sizeof len);
  return len;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds) {
  const ULONG size = ElementSize(vt);
  if (dims != 1 || !bounds || size == 0) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(bounds[0].cElements) * size;
  if (bounds[0].cElements > 0 && bytes / size != bounds[0].cElements) return nullptr;
  auto* block = new (std::nothrow) ArrayBlock{};
  if (!block) return nullptr;
  block->vt = vt;
  SAFEARRAY* a = &block->array;
  a->cDims = 1;
  a->fFeatures = FADF_HAVEVARTYPE | (vt == VT_BSTR ? FADF_BSTR : 0) | (vt == VT_VARIANT ? FADF_VARIANT : 0);
  a->cbElements = size;
  a->rgsabound[0] = bounds[0];
  a->pvData = std::calloc(bytes ? bytes : 1, 1);  // zeroed: null BSTRs, empty VARIANTs
  if (!a->pvData) {
    delete block;
    return nullptr;
  }
  return a;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  SAFEARRAYBOUND bound{elements, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* a) {
  if (!a) return S_OK;
  if (a->cLocks) return DISP_E_ARRAYISLOCKED;
  const ULONG n = a->rgsabound[0].cElements;
  if (a->fFeatures & FADF_BSTR)
    for (ULONG i = 0; i < n; ++i) SysFreeString(static_cast<BSTR*>(a->pvData)[i]);
  if (a->fFeatures & FADF_VARIANT)
    for (ULONG i = 0; i < n; ++i) VariantClear(static_cast<VARIANT*>(a->pvData) + i);
  std::free(a->pvData);
  delete BlockOf(a);
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* a, void** data) {
  if (!a || !data) return E_INVALIDARG;
  ++a->cLocks;
  *data = a->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* a) {
  if (!a || a->cLocks == 0) return E_UNEXPECTED;
  --a->cLocks;
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* a, UINT dim, LONG* lower) {
  if (!a || !lower) return E_INVALIDARG;
  if (dim != 1) return DISP_E_BADINDEX;
  *lower = a->rgsabound[0].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* a, UINT dim, LONG* upper) {
  if (!a || !upper) return E_INVALIDARG;
  if (dim != 1) return DISP_E_BADINDEX;
  *upper = a->rgsabound[0].lLbound + static_cast<LONG>(a->rgsabound[0].cElements) - 1;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* a) { return a ? a->cDims : 0; }
UINT SafeArrayGetElemsize(SAFEARRAY* a) { return a ? a->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* a, VARTYPE* vt) {
  if (!a || !vt) return E_INVALIDARG;
  *vt = BlockOf(a)->vt;
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* a, LONG* indices, void* out) {
  std::size_t offset = 0;
  if (const HRESULT hr = Offset(a, indices, offset); FAILED(hr)) return hr;
  if (!out) return E_INVALIDARG;
  const BYTE* element = static_cast<const BYTE*>(a->pvData) + offset;
  if (a->fFeatures & FADF_BSTR) {
    const BSTR src = *reinterpret_cast<const BSTR*>(element);
    *static_cast<BSTR*>(out) = src ? SysAllocStringByteLen(reinterpret_cast<const char*>(src), SysStringByteLen(src)) : nullptr;
    return S_OK;
  }
  if (a->fFeatures & FADF_VARIANT) {
    VariantInit(static_cast<VARIANT*>(out));
    return VariantCopy(static_cast<VARIANT*>(out), reinterpret_cast<const VARIANT*>(element));
  }
  std::memcpy(out, element, a->cbElements);
  return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* a, LONG* indices, void* value) {
  std::size_t offset = 0;
  if (const HRESULT hr = Offset(a, indices, offset); FAILED(hr)) return hr;
  BYTE* element = static_cast<BYTE*>(a->pvData) + offset;
  if (a->fFeatures & FADF_BSTR) {
    BSTR& slot = *reinterpret_cast<BSTR*>(element);
    const auto src = static_cast<BSTR>(value);  // a BSTR element is passed as the string itself
    SysFreeString(slot);
    slot = src ? SysAllocStringByteLen(reinterpret_cast<const char*>(src), SysStringByteLen(src)) : nullptr;
    return S_OK;
  }
  if (a->fFeatures & FADF_VARIANT) return VariantCopy(reinterpret_cast<VARIANT*>(element), static_cast<const VARIANT*>(value));
  if (!value) return E_INVALIDARG;
  std::memcpy(element, value, a->cbElements);
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* a, SAFEARRAY** out) {
  if (!a || !out) return E_INVALIDARG;
  SAFEARRAY* copy = SafeArrayCreate(BlockOf(a)->vt, 1, a->rgsabound);
  if (!copy) return E_OUTOFMEMORY;
  for (ULONG i = 0; i < a->rgsabound[0].cElements; ++i) {
    LONG index = a->rgsabound[0].lLbound + static_cast<LONG>(i);
    if (a->fFeatures & FADF_BSTR) {
      SafeArrayPutElement(copy, &index, static_cast<BSTR*>(a->pvData)[i]);
    } else if (a->fFeatures & FADF_VARIANT) {
      SafeArrayPutElement(copy, &index, static_cast<VARIANT*>(a->pvData) + i);
    }
  }
  if (!(a->fFeatures & (FADF_BSTR | FADF_VARIANT)))
    std::memcpy(copy->pvData, a->pvData, static_cast<std::size_t>(a->rgsabound[0].cElements) * a->cbElements);
  *out = copy;
  return S_OK;
}

void VariantInit(VARIANTARG* v) {
  if (!v) return;
  std::memset(v, 0, sizeof *v);
  v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* v) {
  if (!v) return E_INVALIDARG;
  if (v->vt & VT_ARRAY) {
    if (const HRESULT hr = SafeArrayDestroy(v->parray); FAILED(hr)) return hr;
  } else if (v->vt == VT_BSTR) {
    SysFreeString(v->bstrVal);
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (dest == src) return S_OK;
  VARIANT copy = *src;
  if (src->vt & VT_ARRAY) {
    copy.parray = nullptr;
    if (src->parray) {
      if (const HRESULT hr = SafeArrayCopy(src->parray, &copy.parray); FAILED(hr)) return hr;
    }
  } else if (src->vt == VT_BSTR && src->bstrVal) {
    copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(src->bstrVal), SysStringByteLen(src->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  VariantClear(dest);
  *dest = copy;
  return S_OK;
}

HRESULT VarR8FromStr(LPCOLESTR text, LCID locale, ULONG, double* out) {
  if (!text || !out) return E_INVALIDARG;
  std::u16string_view view(text);
  double v = 0;
  switch (plat::ParseLocaleNumber(plat::Cp1252FromUtf16(view), locale, v)) {
    case plat::NumberParse::Ok:
      *out = v;
      return S_OK;
    case plat::NumberParse::Overflow:
      return DISP_E_OVERFLOW;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}
