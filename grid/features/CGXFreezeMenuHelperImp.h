// The freeze commands: the selected run of whole rows (columns) moves to the first place after the headers
// and is frozen; unfreezing moves it back. Each is one undoable transaction.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXFreezeMenuHelperImp : public CGXGridFreezeMenuHelperImp {
 public:
  BOOL CanFreezeRows(CGXGridCore* g) override;
  BOOL CanUnfreezeRows(CGXGridCore* g) override;
  void FreezeRows(CGXGridCore* g) override;
  void UnfreezeRows(CGXGridCore* g) override;
  BOOL CanFreezeCols(CGXGridCore* g) override;
  BOOL CanUnfreezeCols(CGXGridCore* g) override;
  void FreezeCols(CGXGridCore* g) override;
  void UnfreezeCols(CGXGridCore* g) override;

 private:
  static BOOL SelectedRun(CGXGridCore* g, BOOL rows, ROWCOL* first, ROWCOL* last);
  void Freeze(CGXGridCore* g, BOOL rows);
  void Unfreeze(CGXGridCore* g, BOOL rows);
};
