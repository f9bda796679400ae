#pragma once
// A grid flag set for the length of a scope. The destructor gives the previous value back on every path,
// also when a control, a feature or a data store throws (the class library's user exception is this
// library's abort path): a busy or guard flag left set by an exception would change the grid for good.
#include "platform/base/wintypes.h"

class CGXFlagScope {
public:
  CGXFlagScope(BOOL& flag, BOOL value) : m_flag(flag), m_old(flag) { m_flag = value; }
  ~CGXFlagScope() { m_flag = m_old; }
  CGXFlagScope(const CGXFlagScope&) = delete;
  CGXFlagScope& operator=(const CGXFlagScope&) = delete;

private:
  BOOL& m_flag;
  BOOL m_old;
};
