// The interfaces of the grid's optional features. The engine keeps one pointer per feature and offers each
// feature operation as a virtual forwarder of its own (CGXGridCoreFeatures.cpp): installed, the forwarder
// calls the feature with the grid first and its own arguments in order; not installed, it answers 0, FALSE
// or a null pointer, or does nothing.
//
// Decision: every feature is a class of its own with named virtual operations and a virtual destructor.
// The feature tables of the original layout are numbered (operation 0, 1, ...); those numbers describe
// where an operation sat in a table, not what it does, so they appear here only as the names of the
// operations whose meaning belongs to the feature (`...Forward<n>`). Such operations take their arguments
// as one block of machine words (GXForwardArgs), in the caller's order. Every operation of an interface
// has the "not installed" answer as its default body, so a feature overrides only what it provides.
//
// The Delete key clears the selected cells through ClearCellsForward1(ctrlHeld) of the clear-cells feature;
// the copy and paste keys reach the cut/paste feature's Copy and Paste.
//
// The engine owns an installed feature through its auto-delete list (freed by plain deletion through the
// virtual destructor when the grid goes).
#pragma once

#include <array>

#include "grid/core/gxtypes.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

class CGXGridCore;
class CGXControl;
class CGXRange;
class CGXRangeList;
class CGXStyle;
class CGXStylesMap;
class CGXProperties;
class CDC;
class CObject;
class CObArray;
class CFindReplaceDialog;
class CDWordArray;
class CGXFindReplaceState;

// The argument block of the forwarders named by operation number: up to eight words, in argument order.
struct GXForwardArgs {
  std::array<DWORD_PTR, 8> v{};
};

class CGXGridPrintImp {
 public:
  virtual ~CGXGridPrintImp() = default;
  virtual void PrintForward0(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void PrintForward2(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void PrintForward1(CGXGridCore*, const GXForwardArgs& /*args*/) {}
};

class CGXGridSortImp {
 public:
  virtual ~CGXGridSortImp() = default;
  virtual void SortRows(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual LRESULT SortForward2(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT StoreMoveDataRows(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual void RefreshAfterSort(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void SortForward5(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void SortCols(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual LRESULT SortForward7(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT StoreMoveDataCols(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual void RefreshAfterSortCols(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void SortForward10(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void SortKeys(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  // Update hint 32 from another view: columns were sorted there.
  virtual void OnColsSortedHint(CGXGridCore*, const CGXRange& /*range*/, UINT /*flags*/) {}
  // A double click on a cell that no control took (row, col, keys, point): TRUE when handled.
  virtual BOOL OnDblClkCell(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, UINT /*keys*/, POINT /*pt*/) {
    return FALSE;
  }
};

class CGXGridCoveredCellsImp {
 public:
  virtual ~CGXGridCoveredCellsImp() = default;
  virtual BOOL SetCoveredCellsRowCol(CGXGridCore*, ROWCOL /*top*/, ROWCOL /*left*/, ROWCOL /*bottom*/,
                                     ROWCOL /*right*/, UINT /*flags*/, int /*commandType*/) {
    return FALSE;
  }
  virtual CGXRange* GetCoveredCellsRowCol(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, CGXRange& /*out*/) {
    return nullptr;
  }
  virtual BOOL StoreCoveredCellsRowCol(CGXGridCore*, ROWCOL /*top*/, ROWCOL /*left*/, ROWCOL /*bottom*/,
                                       ROWCOL /*right*/, BOOL /*set*/) {
    return FALSE;
  }
  virtual void UpdateCoveredCellsRowCol(CGXGridCore*, ROWCOL /*top*/, ROWCOL /*left*/, ROWCOL /*bottom*/,
                                        ROWCOL /*right*/, UINT /*flags*/, BOOL /*createHint*/) {}
  virtual void WidenRangeByCoveredCells(CGXGridCore*, CGXRange& /*range*/) {}
  // Update hint 18 from another view: the covered cells of the block changed and redraw.
  virtual void OnCoveredCellsHint(CGXGridCore*, ROWCOL /*top*/, ROWCOL /*left*/, ROWCOL /*bottom*/,
                                  ROWCOL /*right*/, UINT /*flags*/) {}
  // Told before rows from..to are removed (operation 5); it may change the redraw flags of the removal.
  virtual void OnRemoveRows(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, UINT* /*flags*/, int /*commandType*/) {}
  // The column form: told before columns from..to are removed, with the same say over the redraw flags.
  virtual void OnRemoveCols(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, UINT* /*flags*/, int /*commandType*/) {}
};

class CGXGridFloatCellsImp {
 public:
  virtual ~CGXGridFloatCellsImp() = default;
  virtual LRESULT FloatCellsForward5(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  // The engine's plain members reach these (the range evaluation only while the mode is on and the grid
  // does not suspend it).
  virtual void RecalcFloatCells(CGXGridCore*, const CGXRange& /*range*/, int /*flag*/) {}
  virtual BOOL CalcFloatCellsInRange(CGXGridCore*, const CGXRange& /*range*/) { return FALSE; }
  virtual void UpdateFloatCellsAfterChange(CGXGridCore*, const CGXRange& /*range*/, UINT /*flags*/) {}
  virtual BOOL GetFloatedCellsRange(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, CGXRange& /*out*/) { return FALSE; }
  virtual void RedrawFloatCells(CGXGridCore*, const CGXRange& /*range*/, UINT /*flags*/) {}
  virtual void WidenRangeByFloatCells(CGXGridCore*, CGXRange& /*range*/) {}
  // Whether a text cell's text may spread into empty neighbours (asked by the text cell controls).
  virtual BOOL CanFloatText(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, const CGXStyle& /*style*/, BOOL /*flag*/) {
    return FALSE;
  }
};

class CGXGridMergeCellsImp {
 public:
  virtual ~CGXGridMergeCellsImp() = default;
  virtual LRESULT MergeCellsForward4(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual BOOL CanMergeStyles(CGXGridCore*, const CGXStyle& /*a*/, const CGXStyle& /*b*/) { return FALSE; }
  // The engine's plain members reach these (the range evaluation only while the mode is on and the grid
  // does not suspend it).
  virtual void RecalcMergedCells(CGXGridCore*, const CGXRange& /*range*/, int /*flag*/) {}
  virtual BOOL CalcMergedCellsInRange(CGXGridCore*, const CGXRange& /*range*/) { return FALSE; }
  virtual void UpdateMergedCellsAfterChange(CGXGridCore*, const CGXRange& /*range*/, UINT /*flags*/) {}
  virtual BOOL GetMergedCellsRange(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, CGXRange& /*out*/,
                                   int /*direction*/) {
    return FALSE;
  }
  virtual void RedrawMergedCells(CGXGridCore*, const CGXRange& /*range*/, UINT /*flags*/) {}
  virtual void WidenRangeByMergedCells(CGXGridCore*, CGXRange& /*range*/) {}
};

// The undo feature. The row and column operations of the engine ask it, while undo applies (factory installed,
// command type not 1, the parameter object's undo switch on), for the command that undoes them and hand that
// command to AddCommand.
//
// Ownership: a creator takes over every array it is given (int arrays allocated with new[], object arrays
// with their objects) and hands them to the command it returns; when it returns null it must not have freed
// them, and the engine frees them. AddCommand takes over the command; a factory that does not file it deletes
// it (the default does).
//
// Sizes: the row heights, column widths and defaults handed to the size and insert creators are stored units
// (-1 for "the default"), not pixels, so that an undo restores exactly what was stored; under command types
// 2 (undo) and 3 (redo) the engine's size and insert operations read the sizes they are given as such units.
// Frees an array of collected undo data: its objects (the objects of a list element with the list) and the
// array itself.
void GXFreeUndoArray(CObArray* array);

class CGXCommandFactory {
 public:
  virtual ~CGXCommandFactory() = default;
  // Creators of the row and column commands (null: nothing is recorded).
  virtual CObject* CreateSetRowHeightCmd(ROWCOL /*from*/, ROWCOL /*to*/, int* /*heights*/) { return nullptr; }
  virtual CObject* CreateSetDefaultRowHeightCmd(int /*height*/) { return nullptr; }
  virtual CObject* CreateSetColWidthCmd(ROWCOL /*from*/, ROWCOL /*to*/, int* /*widths*/) { return nullptr; }
  virtual CObject* CreateSetDefaultColWidthCmd(int /*width*/) { return nullptr; }
  virtual CObject* CreateRemoveRowsCmd(ROWCOL /*from*/, ROWCOL /*to*/) { return nullptr; }
  virtual CObject* CreateRemoveColsCmd(ROWCOL /*from*/, ROWCOL /*to*/) { return nullptr; }
  virtual CObject* CreateInsertRowsCmd(ROWCOL /*row*/, ROWCOL /*count*/, int* /*heights*/, CObArray* /*cellStyles*/,
                                       CObArray* /*rowStyles*/, ROWCOL /*colCount*/) {
    return nullptr;
  }
  virtual CObject* CreateInsertColsCmd(ROWCOL /*col*/, ROWCOL /*count*/, int* /*widths*/, CObArray* /*cellStyles*/,
                                       CObArray* /*colStyles*/, ROWCOL /*rowCount*/) {
    return nullptr;
  }
  virtual CObject* CreateSetFrozenRowsCmd(ROWCOL /*frozen*/, ROWCOL /*header*/) { return nullptr; }
  virtual CObject* CreateSetFrozenColsCmd(ROWCOL /*frozen*/, ROWCOL /*header*/) { return nullptr; }
  // Creators the engine does not call itself; the features that perform these operations record through
  // them. A block groups commands under a name (null: "Block"); the hide commands take over an array of
  // the former hidden flags (one BOOL per line, new[]); the covered-cells command the former covered range.
  virtual CObject* CreateBlockCmd(LPCTSTR /*name*/) { return nullptr; }
  virtual CObject* CreateHideRowsCmd(ROWCOL /*from*/, ROWCOL /*to*/, BOOL* /*hidden*/) { return nullptr; }
  virtual CObject* CreateHideColsCmd(ROWCOL /*from*/, ROWCOL /*to*/, BOOL* /*hidden*/) { return nullptr; }
  virtual CObject* CreateMoveRowsCmd(ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/, int /*commandType*/) {
    return nullptr;
  }
  virtual CObject* CreateMoveColsCmd(ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/, int /*commandType*/) {
    return nullptr;
  }
  virtual CObject* CreateSetCoveredCellsCmd(const CGXRange& /*range*/, BOOL /*flag*/) { return nullptr; }
  // Sorted data: the order that puts the range's rows (columns) back, one offset per place (taken over,
  // new). Moved cells: the block at its new place, where it came from and the cell store's record of what
  // the move overwrote (taken over).
  virtual CObject* CreateMoveDataRowsCmd(const CGXRange& /*range*/, CDWordArray* /*order*/, int /*commandType*/) {
    return nullptr;
  }
  virtual CObject* CreateMoveDataColsCmd(const CGXRange& /*range*/, CDWordArray* /*order*/, int /*commandType*/) {
    return nullptr;
  }
  virtual CObject* CreateMoveCellsCmd(const CGXRange& /*range*/, ROWCOL /*destRow*/, ROWCOL /*destCol*/,
                                      CObject* /*undoInfo*/, int /*commandType*/) {
    return nullptr;
  }
  // Range names: setting a name is undone by setting its former range (or deleting a name that did not
  // exist); deleting one by setting it again with its range and attached object (taken over).
  virtual CObject* CreateSetRangeNameCmd(LPCTSTR /*name*/, BOOL /*hasRange*/, const CGXRange& /*range*/) {
    return nullptr;
  }
  virtual CObject* CreateDeleteRangeNameCmd(LPCTSTR /*name*/, const CGXRange& /*range*/, CObject* /*object*/) {
    return nullptr;
  }
  // Creators of the style commands. Each takes over the old state it is given only when it returns a
  // command (the command then belongs to the undo list through AddCommand); on null the grid frees it.
  // The set-style-range command receives the range, the storage type recorded for undo and the old styles,
  // one per cell in row-major order (null where nothing was stored), possibly followed by one extra undo
  // record of the data object; undoing it applies them with ApplyStyleToRange and command type 2.
  virtual CObject* CreateSetStyleRangeCmd(const CGXRange& /*range*/, int /*type*/, CObArray* /*oldStyles*/) {
    return nullptr;
  }
  // The replace commands receive a copy of the object that was replaced (for a base style: its id, a copy
  // of the old style and its name) and the command type of the replacing call.
  virtual CObject* CreateChangeStylesMapCmd(CGXStylesMap* /*oldMap*/, int /*commandType*/) { return nullptr; }
  virtual CObject* CreateChangePropertiesCmd(CGXProperties* /*oldProperties*/, int /*commandType*/) {
    return nullptr;
  }
  virtual CObject* CreateChangeBaseStyleCmd(WORD /*id*/, CGXStyle* /*oldStyle*/, const CString& /*name*/,
                                            int /*commandType*/) {
    return nullptr;
  }
  // Collects what a removal of rows from..to destroys so that the insert command can bring it back: the
  // cells' styles (row by row, colCount + 1 per row) and the rows' own styles, each a new array owned by the
  // caller, or left null. FALSE refuses the removal (nothing collected). Asked only while undo applies, so the
  // default collects nothing and lets the removal go on.
  virtual BOOL SaveRemovedRowsData(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, CObArray*& /*cellStyles*/,
                                   CObArray*& /*rowStyles*/) {
    return TRUE;
  }
  virtual BOOL SaveRemovedColsData(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, CObArray*& /*cellStyles*/,
                                   CObArray*& /*colStyles*/) {
    return TRUE;
  }
  virtual BOOL Undo(CGXGridCore*) { return FALSE; }
  virtual BOOL Redo(CGXGridCore*) { return FALSE; }
  virtual void BeginTransaction(CGXGridCore*, LPCTSTR /*name*/) {}
  virtual void CommitTransaction(CGXGridCore*) {}
  virtual void RollbackTransaction(CGXGridCore*) {}
  virtual void UpdateUndoMenuText(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void UpdateRedoMenuText(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void AddCommand(CGXGridCore*, CObject* command, int /*commandType*/) { delete command; }
  // Removes (and deletes) the newest command of the undo list (types 0 and 3) or the redo list (1 and 2).
  virtual void RemoveLastCommand(CGXGridCore*, int /*commandType*/) {}
  // After an undo or redo: moves the grid to the cell (moveGrid TRUE also scrolls it into view).
  virtual void RestoreCurrentCell(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, BOOL /*moveGrid*/) {}
  virtual BOOL EnableDataUndoRecording(CGXGridCore*, BOOL /*enable*/) { return FALSE; }
  virtual CObject* DetachDataUndoInfo(CGXGridCore*) { return nullptr; }
  virtual BOOL ApplyDataUndoInfo(CGXGridCore*, CObject* /*info*/, DWORD_PTR /*a*/, DWORD_PTR /*b*/) { return FALSE; }
  virtual void DiscardDataUndoInfo(CGXGridCore*) {}
  virtual LRESULT ExecuteCommand(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
};

class CGXGridResizeToFitImp {
 public:
  virtual ~CGXGridResizeToFitImp() = default;
  virtual LRESULT ResizeToFitForward0(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ResizeToFitForward1(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
};

class CGXGridHideCellsImp {
 public:
  virtual ~CGXGridHideCellsImp() = default;
  // Hides or shows lines from..to: all alike by `hide`, or one flag per line from `hidden` when it is given
  // (an undo restores the former flags so); the command type says whether and where the inverse is recorded.
  virtual BOOL HideRows(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, BOOL /*hide*/, UINT /*flags*/,
                        const BOOL* /*hidden*/, int /*commandType*/) {
    return FALSE;
  }
  virtual BOOL HideCols(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, BOOL /*hide*/, UINT /*flags*/,
                        const BOOL* /*hidden*/, int /*commandType*/) {
    return FALSE;
  }
  virtual BOOL IsRowHidden(CGXGridCore*, ROWCOL /*row*/) { return FALSE; }
  virtual BOOL IsColHidden(CGXGridCore*, ROWCOL /*col*/) { return FALSE; }
  virtual BOOL StoreHideRow(CGXGridCore*, ROWCOL /*row*/, BOOL /*hide*/) { return FALSE; }
  virtual BOOL StoreHideCol(CGXGridCore*, ROWCOL /*col*/, BOOL /*hide*/) { return FALSE; }
  // Told by the store halves when rows come and go (operations 2 and 0 of the feature's table).
  virtual void OnInsertRows(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*count*/) {}
  virtual void OnRemoveRows(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/) {}
  // The column forms, told by the column store halves, so that hidden columns stay with their columns.
  virtual void OnInsertCols(CGXGridCore*, ROWCOL /*col*/, ROWCOL /*count*/) {}
  virtual void OnRemoveCols(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/) {}
  // Told by the row (column) move: the hidden marks of from..to go with their lines to dest (the first
  // line the block occupies afterwards).
  virtual void OnMoveRows(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/) {}
  virtual void OnMoveCols(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/) {}
  // Runs of hidden lines are jumped with these: the first row at or after `row` (the last at or before it)
  // that is not hidden; every row between `row` and the answer is hidden. Row 0 is answered as itself
  // (whether it shows is IsRowHidden's to say), so a backward answer is never below 0; a forward one is
  // GX_INVALID only past GX_MAXROWCOL. An implementation that cannot answer returns `row`: the callers
  // then look at each line on its own.
  virtual ROWCOL NextShownRow(CGXGridCore*, ROWCOL row) { return row; }
  virtual ROWCOL PrevShownRow(CGXGridCore*, ROWCOL row) { return row; }
  virtual ROWCOL NextShownCol(CGXGridCore*, ROWCOL col) { return col; }
  virtual ROWCOL PrevShownCol(CGXGridCore*, ROWCOL col) { return col; }
  // Runs of shown lines are measured whole with these: the first row at or after `row` that may be hidden
  // (every row between `row` and the answer is shown), GX_INVALID when none is. An implementation that
  // cannot answer returns `row`: the callers then look at each line on its own.
  virtual ROWCOL NextHiddenRow(CGXGridCore*, ROWCOL row) { return row; }
  virtual ROWCOL NextHiddenCol(CGXGridCore*, ROWCOL col) { return col; }
};

class CGXGridFindReplaceImp {
 public:
  virtual ~CGXGridFindReplaceImp() = default;
  // The find dialog's notification (the registered find message) for this grid.
  virtual void OnFindReplace(CGXGridCore*, CFindReplaceDialog* /*dialog*/) {}
  virtual void SetFindRequest(CGXGridCore*, LPCTSTR /*text*/, BOOL /*flag*/, DWORD /*flags*/) {}
  virtual void FindReplaceForward5(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void FindReplaceForward6(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void FindReplaceForward0(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void FindReplaceForward7(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  // The find members: the next match from the current position, and a search from a cell (moved to the match).
  virtual BOOL SearchNextMatch(CGXGridCore*, BOOL /*flag*/) { return FALSE; }
  virtual BOOL SearchFromCell(CGXGridCore*, ROWCOL* /*row*/, ROWCOL* /*col*/, DWORD /*flags*/) { return FALSE; }
  // The cell-control base's own search in one cell and replace-all in one cell come here.
  virtual BOOL FindTextInCell(CGXControl*, CGXFindReplaceState& /*state*/, ROWCOL /*row*/, ROWCOL /*col*/,
                              BOOL /*includeCurrent*/, BOOL /*setCurrent*/) {
    return FALSE;
  }
  virtual BOOL ReplaceAllInCell(CGXControl*, CGXFindReplaceState& /*state*/, ROWCOL /*row*/, ROWCOL /*col*/) {
    return FALSE;
  }
};

class CGXGridUserSelectRangeImp {
 public:
  virtual ~CGXGridUserSelectRangeImp() = default;
  virtual void SetSelection(CGXGridCore*, POSITION /*pos*/, ROWCOL /*top*/, ROWCOL /*left*/, ROWCOL /*bottom*/,
                            ROWCOL /*right*/) {}
  virtual void SelectRangeForward4(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual LRESULT SelectRangeForward5(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual void SelectRangeForward6(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void SelectRangeForward8(CGXGridCore*, const CGXRange& /*range*/, BOOL /*flag*/) {}
  virtual void SelectRangeForward9(CGXGridCore*, BOOL /*flag*/) {}
  // Update hints from another view: 13 selection changed, 14 selection cleared, 23 range changed.
  virtual void OnSelectionChangedHint(CGXGridCore*, DWORD_PTR /*arg*/, ROWCOL /*top*/, ROWCOL /*left*/,
                                      ROWCOL /*bottom*/, ROWCOL /*right*/) {}
  virtual void OnSelectionClearedHint(CGXGridCore*) {}
  virtual void OnRangeChangedHint(CGXGridCore*, const CGXRange& /*range*/, DWORD /*extra*/) {}
  // The engine's keyboard and mouse hand these over. A keyboard move is carried out whole by the feature
  // with its own selection handling (Shift extends the selection; the feature moves the current cell).
  virtual BOOL MoveByKey(CGXGridCore*, int /*direction*/, ROWCOL /*count*/) { return FALSE; }
  virtual void OnPressStarted(CGXGridCore*, UINT /*keys*/, POINT /*pt*/, int /*hitCode*/, ROWCOL /*row*/,
                              ROWCOL /*col*/) {}
  // The mouse reached another cell during a press (extend the selection to it).
  virtual void OnPressMoved(CGXGridCore*, UINT /*keys*/, POINT /*pt*/, ROWCOL /*row*/, ROWCOL /*col*/) {}
  virtual void OnPressReleased(CGXGridCore*, UINT /*keys*/, POINT /*pt*/) {}
  virtual void ClearSelection(CGXGridCore*) {}
  virtual void SelectCell(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/) {}
  // A click that the cell's control did not take: TRUE when handled.
  virtual BOOL OnClickedCell(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, UINT /*keys*/, POINT /*pt*/) {
    return FALSE;
  }
};

class CGXGridExcelLikeFrameImp {
 public:
  virtual ~CGXGridExcelLikeFrameImp() = default;
  virtual void SelectionFrameForward0(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  // The plain members of the engine reach these: draw the frame (erasing the old one first), follow the cells
  // after a scroll or change (four words), and hide it while locked (returns the previous lock state).
  virtual void DrawFrame(CGXGridCore*, CDC* /*dc*/, BOOL /*eraseOld*/, const CGXRange* /*newRange*/) {}
  virtual void UpdateFrame(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual BOOL LockFrame(CGXGridCore*, BOOL /*lock*/, BOOL /*redraw*/) { return FALSE; }
};

class CGXGridExcelLikeFillImp {
 public:
  virtual ~CGXGridExcelLikeFillImp() = default;
  virtual void FillForward5(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void FillForward6(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  // Told before the grid scrolls its window contents (while the fill-handle switch is on).
  virtual void BeforeScrollWindow(CGXGridCore*) {}
  // The fill handle: a press on it starts the fill, moves and the release follow.
  virtual void StartFill(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, UINT /*keys*/, POINT /*pt*/) {}
  virtual BOOL OnFillMove(CGXGridCore*, UINT /*keys*/, POINT /*pt*/) { return FALSE; }
  virtual void EndFill(CGXGridCore*, UINT /*keys*/, POINT /*pt*/) {}
};

class CGXGridUserDragSelectRangeImp {
 public:
  virtual ~CGXGridUserDragSelectRangeImp() = default;
  virtual BOOL BeginDragSelect(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/) { return FALSE; }
  virtual LRESULT DragSelectForward4(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT DragSelectForward5(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual void EndDragSelect(CGXGridCore*) {}
  // Offered each press, move and release before the engine's own handling: TRUE when taken.
  virtual BOOL OnButtonDown(CGXGridCore*, UINT /*keys*/, POINT /*pt*/, ROWCOL /*row*/, ROWCOL /*col*/) {
    return FALSE;
  }
  virtual BOOL OnMouseMove(CGXGridCore*, UINT /*keys*/, POINT /*pt*/) { return FALSE; }
  virtual BOOL OnButtonUp(CGXGridCore*, UINT /*keys*/, POINT /*pt*/) { return FALSE; }
  // Cancel mode: TRUE when a drag selection was running (and is cancelled now).
  virtual BOOL CancelDragSelect(CGXGridCore*) { return FALSE; }
};

class CGXGridMoveRowsColsImp {
 public:
  virtual ~CGXGridMoveRowsColsImp() = default;
  virtual BOOL StoreMoveRows(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/) { return FALSE; }
  virtual BOOL StoreMoveCols(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/) { return FALSE; }
  virtual BOOL MoveRows(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/, UINT /*flags*/,
                        int /*commandType*/) {
    return FALSE;
  }
  virtual BOOL MoveCols(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/, UINT /*flags*/,
                        int /*commandType*/) {
    return FALSE;
  }
  virtual void UpdateMovedRows(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/, UINT /*flags*/,
                               BOOL /*createHint*/) {}
  virtual void UpdateMovedCols(CGXGridCore*, ROWCOL /*from*/, ROWCOL /*to*/, ROWCOL /*dest*/, UINT /*flags*/,
                               BOOL /*createHint*/) {}
};

class CGXGridUserResizeCellsImp {
 public:
  virtual ~CGXGridUserResizeCellsImp() = default;
  virtual LRESULT UserResizeForward4(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual void UserResizeForward5(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void UserResizeForward7(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual void UserResizeForward6(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  // The mouse over row and column boundaries (hit codes 1, 2, 7 and 8).
  virtual BOOL OnHover(CGXGridCore*, UINT /*keys*/, POINT /*pt*/) { return FALSE; }
  virtual BOOL OnPress(CGXGridCore*, UINT /*keys*/, POINT /*pt*/, int /*hitCode*/, ROWCOL /*row*/, ROWCOL /*col*/) {
    return FALSE;
  }
  virtual void OnRelease(CGXGridCore*, UINT /*keys*/, POINT /*pt*/) {}
  virtual BOOL OnDblClk(CGXGridCore*, UINT /*keys*/, POINT /*pt*/, int /*hitCode*/, ROWCOL /*row*/, ROWCOL /*col*/) {
    return FALSE;
  }
  // Cancel mode: TRUE when a resize was in progress (and is cancelled now).
  virtual BOOL CancelResize(CGXGridCore*) { return FALSE; }
};

class CGXGridFreezeMenuHelperImp {
 public:
  virtual ~CGXGridFreezeMenuHelperImp() = default;
  virtual void FreezeCols(CGXGridCore*) {}
  virtual BOOL CanFreezeCols(CGXGridCore*) { return FALSE; }
  virtual void UnfreezeCols(CGXGridCore*) {}
  virtual BOOL CanUnfreezeCols(CGXGridCore*) { return FALSE; }
  virtual void FreezeRows(CGXGridCore*) {}
  virtual BOOL CanFreezeRows(CGXGridCore*) { return FALSE; }
  virtual void UnfreezeRows(CGXGridCore*) {}
  virtual BOOL CanUnfreezeRows(CGXGridCore*) { return FALSE; }
};

class CGXGridDirectCopyMoveCellsImp {
 public:
  virtual ~CGXGridDirectCopyMoveCellsImp() = default;
  virtual LRESULT DirectCopyMoveForward1(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT DirectCopyMoveForward3(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT DirectCopyMoveForward0(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT DirectCopyMoveForward2(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
};

class CGXGridTextDataExchangeImp {
 public:
  virtual ~CGXGridTextDataExchangeImp() = default;
  virtual LRESULT TextExchangeForward0(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT TextExchangeForward2(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT TextExchangeForward4(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT SetTextThroughGrid(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  // The text of a cell for the clipboard (CGXGridCore::CellTextForCopy).
  virtual BOOL CellText(CString& /*out*/, CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/) { return FALSE; }
};

class CGXGridStyleDataExchangeImp {
 public:
  virtual ~CGXGridStyleDataExchangeImp() = default;
  virtual LRESULT StyleExchangeForward0(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT StyleExchangeForward1(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT StyleExchangeForward2(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
};

class CGXGridCutPasteImp {
 public:
  virtual ~CGXGridCutPasteImp() = default;
  virtual LRESULT CutPasteForward2(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual BOOL Cut(CGXGridCore*, const CGXRangeList& /*ranges*/, UINT /*flags*/) { return FALSE; }
  virtual LRESULT CutPasteForward11(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT CutPasteForward12(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual BOOL CanPaste(CGXGridCore*) { return FALSE; }
  virtual LRESULT CutPasteForward13(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT CutPasteForward1(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT CutPasteForward10(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT CutPasteForward6(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual BOOL CanCopy(CGXGridCore*) { return FALSE; }
  virtual BOOL CanCut(CGXGridCore*) { return FALSE; }
  virtual LRESULT CutPasteForward8(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual BOOL Copy(CGXGridCore*) { return FALSE; }
  // Copies the cells of a range list (CGXGridCore::CopyOneRange).
  virtual BOOL CopyRanges(CGXGridCore*, const CGXRangeList& /*ranges*/) { return FALSE; }
  virtual BOOL Paste(CGXGridCore*) { return FALSE; }
  virtual BOOL CopyTextToClipboard(CGXGridCore*, const CGXRangeList& /*ranges*/) { return FALSE; }
  virtual BOOL CopyStylesToClipboard(CGXGridCore*, const CGXRangeList& /*ranges*/, UINT /*flags*/) { return FALSE; }
};

class CGXGridClearCellsImp {
 public:
  virtual ~CGXGridClearCellsImp() = default;
  virtual BOOL ClearCells(CGXGridCore*, const CGXRangeList& /*ranges*/, UINT /*flags*/) { return FALSE; }
  virtual BOOL ClearCellsForward1(CGXGridCore*, BOOL /*ctrlHeld*/) { return FALSE; }
  virtual BOOL CanClear(CGXGridCore*) { return FALSE; }
};

class CGXGridRangeNameImp {
 public:
  virtual ~CGXGridRangeNameImp() = default;
  virtual BOOL SetRangeName(CGXGridCore*, LPCTSTR /*name*/, const CGXRange* /*range*/, DWORD_PTR /*value*/,
                            UINT /*flags*/, int /*commandType*/) {
    return FALSE;
  }
  virtual LRESULT RangeNameForward1(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual BOOL DeleteRangeName(CGXGridCore*, LPCTSTR /*name*/, UINT /*flags*/, int /*commandType*/) { return FALSE; }
};

class CGXGridExtraFeatureBImp {
 public:
  virtual ~CGXGridExtraFeatureBImp() = default;
  virtual LRESULT ExtraFeatureBForward0(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ExtraFeatureBForward1(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ExtraFeatureBForward2(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ExtraFeatureBForward3(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ExtraFeatureBForward4(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual void ExtraFeatureBForward5(CGXGridCore*, const GXForwardArgs& /*args*/) {}
  virtual LRESULT ExtraFeatureBForward6(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ExtraFeatureBForward7(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ExtraFeatureBForward8(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual void ExtraFeatureBForward9(CGXGridCore*, const GXForwardArgs& /*args*/) {}
};

class CGXGridExtraFeatureCImp {
 public:
  virtual ~CGXGridExtraFeatureCImp() = default;
  virtual LRESULT ExtraFeatureCForward4(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
  virtual LRESULT ExtraFeatureCForward5(CGXGridCore*, const GXForwardArgs& /*args*/) { return 0; }
};

// The cell-size calculation: the size a cell's content needs (width, or with `vertical` the height), borders
// and margins included; the cell controls' size calculation forwards to it.
class CGXAbstractCalcSizeImp {
 public:
  virtual ~CGXAbstractCalcSizeImp() = default;
  virtual CSize CalcSize(CGXGridCore*, CGXControl* /*control*/, CDC* /*dc*/, ROWCOL /*row*/, ROWCOL /*col*/,
                         const CGXStyle& /*style*/, const CGXStyle* /*previous*/, BOOL /*vertical*/) {
    return CSize(0, 0);
  }
};

// The grid's spanned-cells drawing (covered, merged and floating cells). The engine asks it, for each cell
// of a block being drawn (block indices i, j of the draw context), whether the cell belongs to a span the
// feature draws (the engine then sets no flags for it) and whether it drew the cell itself; before a range
// is drawn or redrawn it prepares the spans of that range. Without the feature every answer is FALSE or 0.
class CGXGridDrawContext;
class CGXDrawSpannedCellsImp {
 public:
  virtual ~CGXDrawSpannedCellsImp() = default;
  virtual BOOL IsSpannedCell(CGXGridCore*, CGXGridDrawContext& /*ctx*/, ROWCOL /*i*/, ROWCOL /*j*/) { return FALSE; }
  virtual BOOL DrawSpannedCell(CGXGridCore*, CGXGridDrawContext& /*ctx*/, ROWCOL /*i*/, ROWCOL /*j*/) { return FALSE; }
  virtual LRESULT PrepareSpannedCells(CGXGridCore*, ROWCOL /*frozenRows*/, ROWCOL /*frozenCols*/, ROWCOL /*topRow*/,
                                      ROWCOL /*leftCol*/, ROWCOL /*lastRow*/, ROWCOL /*lastCol*/, ROWCOL /*top*/,
                                      ROWCOL /*left*/, ROWCOL /*bottom*/, ROWCOL /*right*/) {
    return 0;
  }
};

// Header marking: redraws the headers of a changed current cell (kind 0 both, 1 the column header, 2 the
// row header) and tells the header cells whether they are drawn marked.
class CGXGridMarkEditHeaderImp {
 public:
  virtual ~CGXGridMarkEditHeaderImp() = default;
  virtual void MarkEditHeaders(CGXGridCore*, ROWCOL /*row*/, ROWCOL /*col*/, int /*kind*/, UINT /*flags*/) {}
  virtual BOOL IsHeaderMarked(CGXGridCore*, CGXControl* /*header*/, ROWCOL /*row*/, ROWCOL /*col*/) { return FALSE; }
};

// An object that hears when its grid has been set up (Initialize) and when its rows or columns changed;
// owned by the grid.
class CGXGridListener {
 public:
  virtual ~CGXGridListener() = default;
  virtual void OnGridInitialize(CGXGridCore*) {}
  // The structure notice: rows or columns were counted anew, inserted or removed, and this view has
  // followed (current cell moved, repainted) - told before other views hear of it, also while updates are
  // locked.
  virtual void OnGridStructureChanged(CGXGridCore*) {}
};
