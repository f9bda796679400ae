#include "grid/formula/CGXFormulaRangeNameImp.h"

#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/formula/CGXFormulaSheet.h"

BOOL CGXFormulaRangeNameImp::SetRangeName(CGXGridCore* grid, LPCTSTR name, const CGXRange* range, DWORD_PTR value,
                                          UINT flags, int commandType) {
  CGXData* data = grid->GetData();
  if (!data || !name || !*name || !range) return FALSE;
  CGXRange previous;
  const BOOL had = data->GetRangeName(name, previous);
  auto* info = reinterpret_cast<CObject*>(value);
  if (!data->SetRangeName(name, *range, info)) return FALSE;
  delete info;  // its records are back in the sheet
  if (grid->UndoApplies(commandType)) {
    CGXRange now;
    data->GetRangeName(name, now);
    grid->Record(grid->GetCommandFactory()->CreateSetRangeNameCmd(name, had, had ? previous : now), commandType);
  }
  grid->SetModifiedFlag(TRUE);
  grid->RedrawAll(flags ? flags : GX_INVALIDATE);
  return TRUE;
}

BOOL CGXFormulaRangeNameImp::DeleteRangeName(CGXGridCore* grid, LPCTSTR name, UINT flags, int commandType) {
  CGXData* data = grid->GetData();
  CGXRange previous;
  if (!data || !name || !data->GetRangeName(name, previous)) return FALSE;
  const BOOL record = grid->UndoApplies(commandType);
  CObject* info = nullptr;
  const BOOL existed = data->DeleteRangeName(name, info, record);
  if (existed && record) {
    CObject* command = grid->GetCommandFactory()->CreateDeleteRangeNameCmd(name, previous, info);
    if (!command) delete info;
    grid->Record(command, commandType);
  } else {
    delete info;
  }
  if (existed) {
    grid->SetModifiedFlag(TRUE);
    grid->RedrawAll(flags ? flags : GX_INVALIDATE);
  }
  return existed;
}

void GXInstallFormulaSheetFeatures(CGXGridCore* grid) {
  if (!grid) return;
  if (!grid->GetRangeNameImp()) grid->SetFeature(new CGXFormulaRangeNameImp, TRUE);
  // Values reach the sheet as the user typed them: numbers, dates, "=" formulas and "'" texts are told
  // apart there, and the editor and the undo copies see expressions.
  grid->m_nDefaultStorageType = 1;
}
