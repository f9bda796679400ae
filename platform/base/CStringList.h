// CStringList: A list of strings; archived as WriteCount and the strings.
#pragma once

#include "platform/base/CList.h"

class CStringList : public CList<CString, const CString&> {
  DECLARE_SERIAL(CStringList)
 public:
  explicit CStringList(INT_PTR blockSize = 10) : CList<CString, const CString&>(blockSize) {}
};
