// The ellipsis type of a cell (none, "...", "#"), a number of which archives keep 16 bits.
#pragma once

#include "grid/core/CGXAbstractUserAttribute.h"

class CGXEllipseUserAttribute : public CGXAbstractUserAttribute {
  DECLARE_SERIAL(CGXEllipseUserAttribute)

 public:
  CGXEllipseUserAttribute() = default;
  explicit CGXEllipseUserAttribute(DWORD number) : m_nNumber(number) {}
  CGXEllipseUserAttribute(const CGXEllipseUserAttribute& other)
      : CGXAbstractUserAttribute(other), m_nNumber(other.m_nNumber) {}
  ~CGXEllipseUserAttribute() override = default;

  void Serialize(CArchive& ar) override;
  // Its text is always empty: setting a text does nothing.
  CGXAbstractUserAttribute& SetValue(LPCTSTR) override { return *this; }
  CGXAbstractUserAttribute& SetValue(const CString&) override { return *this; }
  double GetDoubleValue() const override { return static_cast<double>(m_nNumber); }
  CGXAbstractUserAttribute* Clone() const override { return new CGXEllipseUserAttribute(*this); }
  // Equal numbers; the id is not compared.
  BOOL IsEqual(const CGXAbstractUserAttribute& other) const override;

  virtual void SetNumber(DWORD number) { m_nNumber = number; }
  virtual DWORD GetNumber() const { return m_nNumber; }

 private:
  DWORD m_nNumber = 0;
};
