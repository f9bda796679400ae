// CStringArray: An array of strings; archived as WriteCount and the strings.
#pragma once

#include "platform/base/CArray.h"

class CStringArray : public CArray<CString, const CString&> {
  DECLARE_SERIAL(CStringArray)
 public:
  CStringArray() = default;
};
