// The least range-name feature a grid with a formula sheet needs: names are stored through the cell store's
// hooks (CGXData::SetRangeName, DeleteRangeName), and setting and deleting one are undoable commands.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXFormulaRangeNameImp : public CGXGridRangeNameImp {
 public:
  // `value` may carry the undo information of a deleted name (the delete command's undo hands it back);
  // the feature then owns and frees it.
  BOOL SetRangeName(CGXGridCore* grid, LPCTSTR name, const CGXRange* range, DWORD_PTR value, UINT flags,
                    int commandType) override;
  BOOL DeleteRangeName(CGXGridCore* grid, LPCTSTR name, UINT flags, int commandType) override;
};
