// The process-wide pool of cell bitmaps: a cell names its bitmap in its text with "#BMP(" and a resource
// id or a quoted resource name; the pool loads each bitmap once and keeps it for the process (a missing
// one is remembered as missing).
#pragma once

#include <map>
#include <string>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CGXDIBPool : public CObject {
  DECLARE_DYNAMIC(CGXDIBPool)

 public:
  CGXDIBPool() = default;
  ~CGXDIBPool() override;

  // The DIB a cell text refers to, or null.
  virtual HGLOBAL GetDIB(LPCTSTR text);
  // 0 when the text is no reference; else the id of a numeric reference (name "#%u") or non-zero for a
  // quoted name. Ids above 65535 are refused, not truncated.
  virtual UINT ParseReference(LPCTSTR text, CString& name) const;
  virtual HGLOBAL LoadDIB(LPCTSTR text, UINT reference, const CString& name);
  virtual void FormatNameReference(const CString& name, CString& out) const;
  virtual void FormatIdReference(UINT id, CString& out) const;

  INT_PTR GetCount() const { return static_cast<INT_PTR>(m_dibs.size()); }

 private:
  std::map<std::string, HGLOBAL> m_dibs;
};

CGXDIBPool& GetDIBPool();
