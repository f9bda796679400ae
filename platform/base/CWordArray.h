// CWordArray: An array of unsigned 16-bit words; archived as WriteCount and the words.
#pragma once

#include "platform/base/CArray.h"

class CWordArray : public CArray<WORD, WORD> {
  DECLARE_SERIAL(CWordArray)
 public:
  CWordArray() = default;
};
