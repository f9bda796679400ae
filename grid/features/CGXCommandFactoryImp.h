// The grid's undo and redo: creates the commands the grid's operations record, files them in the parameter
// object's undo and redo lists (newest at the head), runs undo, redo and transactions, and updates the Undo
// and Redo menu entries.
//
// Call flow of an undo:
//   Undo -> (an edited, modified current cell: discard the edit and stop) -> ExecuteCommand(head, type 2)
//        -> the command's grid operation -> Record(inverse, 2) -> AddCommand -> head of the redo list
// Inside a transaction, or while a block executes, AddCommand files into the block at the head of the list.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "platform/base/CString.h"

class CCmdUI;
class CObList;
class CGXCommand;

class CGXCommandFactoryImp : public CGXCommandFactory {
 public:
  // Creators (null only when memory runs out).
  CObject* CreateBlockCmd(LPCTSTR name) override;
  CObject* CreateSetRowHeightCmd(ROWCOL from, ROWCOL to, int* heights) override;
  CObject* CreateHideRowsCmd(ROWCOL from, ROWCOL to, BOOL* hidden) override;
  CObject* CreateSetDefaultRowHeightCmd(int height) override;
  CObject* CreateSetColWidthCmd(ROWCOL from, ROWCOL to, int* widths) override;
  CObject* CreateHideColsCmd(ROWCOL from, ROWCOL to, BOOL* hidden) override;
  CObject* CreateSetDefaultColWidthCmd(int width) override;
  CObject* CreateMoveRowsCmd(ROWCOL from, ROWCOL to, ROWCOL dest, int commandType) override;
  CObject* CreateMoveColsCmd(ROWCOL from, ROWCOL to, ROWCOL dest, int commandType) override;
  CObject* CreateRemoveRowsCmd(ROWCOL from, ROWCOL to) override;
  CObject* CreateRemoveColsCmd(ROWCOL from, ROWCOL to) override;
  CObject* CreateInsertRowsCmd(ROWCOL row, ROWCOL count, int* heights, CObArray* cellStyles, CObArray* rowStyles,
                               ROWCOL colCount) override;
  CObject* CreateInsertColsCmd(ROWCOL col, ROWCOL count, int* widths, CObArray* cellStyles, CObArray* colStyles,
                               ROWCOL rowCount) override;
  CObject* CreateSetCoveredCellsCmd(const CGXRange& range, BOOL flag) override;
  CObject* CreateMoveDataRowsCmd(const CGXRange& range, CDWordArray* order, int commandType) override;
  CObject* CreateMoveDataColsCmd(const CGXRange& range, CDWordArray* order, int commandType) override;
  CObject* CreateMoveCellsCmd(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject* undoInfo,
                              int commandType) override;
  CObject* CreateSetStyleRangeCmd(const CGXRange& range, int type, CObArray* oldStyles) override;
  CObject* CreateSetFrozenRowsCmd(ROWCOL frozen, ROWCOL header) override;
  CObject* CreateSetFrozenColsCmd(ROWCOL frozen, ROWCOL header) override;
  CObject* CreateChangeStylesMapCmd(CGXStylesMap* oldMap, int commandType) override;
  CObject* CreateChangePropertiesCmd(CGXProperties* oldProperties, int commandType) override;
  CObject* CreateChangeBaseStyleCmd(WORD id, CGXStyle* oldStyle, const CString& name, int commandType) override;
  CObject* CreateSetRangeNameCmd(LPCTSTR name, BOOL hasRange, const CGXRange& range) override;
  CObject* CreateDeleteRangeNameCmd(LPCTSTR name, const CGXRange& range, CObject* object) override;

  // The cell store's undo records.
  BOOL EnableDataUndoRecording(CGXGridCore* grid, BOOL enable) override;
  CObject* DetachDataUndoInfo(CGXGridCore* grid) override;
  BOOL ApplyDataUndoInfo(CGXGridCore* grid, CObject* info, DWORD_PTR a, DWORD_PTR b) override;
  void DiscardDataUndoInfo(CGXGridCore* grid) override;

  // args: the command, the grid, the command type.
  LRESULT ExecuteCommand(CGXGridCore* grid, const GXForwardArgs& args) override;
  void AddCommand(CGXGridCore* grid, CObject* command, int commandType) override;
  void RemoveLastCommand(CGXGridCore* grid, int commandType) override;
  BOOL Undo(CGXGridCore* grid) override;
  BOOL Redo(CGXGridCore* grid) override;
  void BeginTransaction(CGXGridCore* grid, LPCTSTR name) override;
  void CommitTransaction(CGXGridCore* grid) override;
  void RollbackTransaction(CGXGridCore* grid) override;
  void RestoreCurrentCell(CGXGridCore* grid, ROWCOL row, ROWCOL col, BOOL moveGrid) override;
  // args: the command-update object (CCmdUI*, may be null). Enable or disable the entry and, for a menu,
  // set its text; the state is kept in m_bLastMenuEnabled.
  void UpdateUndoMenuText(CGXGridCore* grid, const GXForwardArgs& args) override;
  void UpdateRedoMenuText(CGXGridCore* grid, const GXForwardArgs& args) override;
  // Collects the cells' styles (bit 2 of the option word) and the lines' own styles (bit 1) of lines about
  // to be removed; asks before keeping more than the undo buffer holds. FALSE cancels the removal.
  BOOL SaveRemovedRowsData(CGXGridCore* grid, ROWCOL from, ROWCOL to, CObArray*& cellStyles,
                           CObArray*& rowStyles) override;
  BOOL SaveRemovedColsData(CGXGridCore* grid, ROWCOL from, ROWCOL to, CObArray*& cellStyles,
                           CObArray*& colStyles) override;

  // Per-grid state: set while a block executes (recorded commands go into its inverse block); a current
  // cell deferred until the block ends; the open transaction's name; the menu formats, built once.
  BOOL m_bExecutingBlock = FALSE;
  BOOL m_bDeferredCell = FALSE;
  ROWCOL m_nDeferredRow = 0, m_nDeferredCol = 0;
  BOOL m_bDeferredMove = FALSE;
  CString m_sTransactionName;
  CString m_sUndoFormat, m_sRedoFormat;
  BOOL m_bLastMenuEnabled = FALSE;

 private:
  BOOL SaveRemovedData(CGXGridCore* grid, BOOL rows, ROWCOL from, ROWCOL to, CObArray*& cells, CObArray*& lines);
  void UpdateMenu(CGXGridCore* grid, CCmdUI* ui, BOOL undo);
};
