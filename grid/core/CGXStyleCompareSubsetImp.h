// Whether a style already holds everything that another style sets: every attribute the other includes
// is included here with an equal value.
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CGXStyle;

class CGXAbstractStyleCompareSubsetImp : public CGXImpBase {
 public:
  virtual BOOL IsSubSet(const CGXStyle& style, const CGXStyle& other) = 0;
};

class CGXStyleCompareSubsetImp : public CGXAbstractStyleCompareSubsetImp {
 public:
  BOOL IsSubSet(const CGXStyle& style, const CGXStyle& other) override;
};

void InstallStyleCompareSubsetImp();
