// COleVariant: a VARIANT that owns what it holds (cleared on destruction, copied deeply).
//
// Texts become BSTRs (code page 1252 to UTF-16) and read back as 8-bit text through GetText; a byte array
// becomes a one-dimensional VT_UI1 array with lower bound 0 (VT_ARRAY | VT_UI1 = 8209).
#pragma once

#include "platform/base/CByteArray.h"
#include "platform/base/COleDateTime.h"
#include "platform/base/CString.h"
#include "platform/base/OleVariant.h"

class COleVariant : public tagVARIANT {
 public:
  COleVariant() { VariantInit(this); }
  COleVariant(const VARIANT& src);
  COleVariant(const COleVariant& src) : COleVariant(static_cast<const VARIANT&>(src)) {}
  COleVariant(LPCSTR text);
  COleVariant(const CString& text) : COleVariant(text.GetString()) {}
  COleVariant(BYTE value);
  COleVariant(SHORT value, VARTYPE vt = VT_I2);
  COleVariant(LONG value, VARTYPE vt = VT_I4);
  COleVariant(float value);
  COleVariant(double value);
  COleVariant(const COleDateTime& value);
  COleVariant(const CByteArray& bytes);
  ~COleVariant();

  COleVariant& operator=(const VARIANT& src);
  COleVariant& operator=(const COleVariant& src) { return *this = static_cast<const VARIANT&>(src); }
  // Same type and equal content (texts and arrays by content).
  bool operator==(const VARIANT& other) const;

  void Clear();
  // Takes over `src` (which is left empty) / gives the content away (this is left empty).
  void Attach(VARIANT& src);
  VARIANT Detach();

  // The 8-bit text of a VT_BSTR value; empty for other types.
  CString GetText() const;
  // The bytes of a VT_ARRAY | VT_UI1 value; FALSE for other types.
  BOOL GetByteArray(CByteArray& bytes) const;

  operator LPVARIANT() { return this; }
  operator LPCVARIANT() const { return this; }
};
