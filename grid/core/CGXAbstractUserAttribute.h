// A user attribute of a cell style: a value keyed by a 16-bit id that cell controls and applications
// define (a check box's checked value, a spin edit's bounds, a tooltip text).
//
// The base class holds only the id; its value operations work on the text that GetValue returns, which
// here is always empty. Texts are returned by value: a caller may keep two of them side by side.
#pragma once

#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CGXAbstractUserAttribute : public CObject {
  DECLARE_SERIAL(CGXAbstractUserAttribute)

 public:
  CGXAbstractUserAttribute() = default;
  ~CGXAbstractUserAttribute() override = default;

  // Storing writes the value text; loading reads a text and gives it to SetValue.
  void Serialize(CArchive& ar) override;

  virtual CGXAbstractUserAttribute& SetValue(LPCTSTR text);
  virtual CGXAbstractUserAttribute& SetValue(const CString& text);
  virtual CString GetValue() const;
  virtual LONG GetLongValue() const;
  virtual DWORD GetDWordValue() const;
  virtual double GetDoubleValue() const;
  // A new copy on the heap, owned by the caller; the base has nothing to copy and returns null.
  virtual CGXAbstractUserAttribute* Clone() const;
  // Equal ids and equal value texts.
  virtual BOOL IsEqual(const CGXAbstractUserAttribute& other) const;
  virtual BOOL IsEmpty() const;

  WORD GetId() const { return m_nId; }
  void SetId(WORD id) { m_nId = id; }

 protected:
  CGXAbstractUserAttribute(const CGXAbstractUserAttribute& other) : CObject(), m_nId(other.m_nId) {}

  WORD m_nId = 0;
};
