// Assignment of parameter objects, styles maps and properties: deep copies of everything a parameter
// object owns.
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CGXGridParam;
class CGXProperties;
class CGXStylesMap;

class CGXAbstractGridParamCopyOperatorImp : public CGXImpBase {
 public:
  virtual void AssignParam(CGXGridParam& target, const CGXGridParam& source) = 0;
  virtual void AssignStylesMap(CGXStylesMap& target, const CGXStylesMap& source) = 0;
  virtual void AssignProperties(CGXProperties& target, const CGXProperties& source) = 0;
};

class CGXGridParamCopyOperatorImp : public CGXAbstractGridParamCopyOperatorImp {
 public:
  // The target owns exactly the copies it makes: every object the source holds (owned or borrowed) is
  // deep-copied and owned by the target, so no object is ever shared or leaked.
  void AssignParam(CGXGridParam& target, const CGXGridParam& source) override;
  void AssignStylesMap(CGXStylesMap& target, const CGXStylesMap& source) override;
  void AssignProperties(CGXProperties& target, const CGXProperties& source) override;
};

void InstallParamCopyOperatorImp();
