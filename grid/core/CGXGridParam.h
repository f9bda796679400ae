// What a grid shares with other views of the same data and what a layout saves: the cell data, styles
// map and properties, the selection and covered-cell lists, row heights and column widths, and the
// switches that govern selection, resizing, dragging and clicking.
//
// The settings that the layout archive carries by place only keep their archived names (P1.., W1..,
// D1..) until the engine parts that read them give them meaning; they are kept so that a layout read and
// written again is unchanged.
#pragma once

#include <cstdint>

#include <memory>
#include <vector>

#include "grid/core/CGXData.h"
#include "platform/base/CObList.h"
#include "grid/core/CGXMapDWordToLong.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXSpanCellPool.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/base/CMapStringToString.h"

class CGXGridParam;

// The covered-cells feature's factory of its index (installed by that feature).
class CGXAbstractCoveredCellPoolImp : public CGXImpBase {
 public:
  virtual CObject* CreatePool(CGXGridParam& param) = 0;
  virtual void SyncPool(CObject* pool, const CGXRangeList& coveredCells) = 0;
};

class CGXGridParam : public CObject {
  DECLARE_SERIAL(CGXGridParam)

 public:
  CGXGridParam();
  CGXGridParam(const CGXGridParam&) = delete;
  ~CGXGridParam() override;

  // Schema 11 through the installed document serialisation; nothing without it.
  void Serialize(CArchive& ar) override;
  // Deep copy through the installed parameter copy; nothing without it.
  virtual CGXGridParam& operator=(const CGXGridParam& other);

  // An object held with its owner flag set is deleted first (unless it is the same object).
  void SetProperties(CGXProperties* p, BOOL mustDelete);
  void SetStylesMap(CGXStylesMap* p, BOOL mustDelete);
  void SetData(CGXData* p, BOOL mustDelete);
  void SetPrintDevice(CGXPrintDevice* p, BOOL mustDelete);
  CGXProperties* GetProperties() const { return m_pProperties; }
  CGXStylesMap* GetStylesMap() const { return m_pStylesMap; }
  CGXData* GetData() const { return m_pData; }
  CGXPrintDevice* GetPrintDevice() const { return m_pPrintDevice; }
  BOOL OwnsProperties() const { return m_bOwnProperties; }
  BOOL OwnsStylesMap() const { return m_bOwnStylesMap; }
  BOOL OwnsData() const { return m_bOwnData; }
  BOOL OwnsPrintDevice() const { return m_bOwnPrintDevice; }

  // Selection kinds: GX_SELROW (1) whole rows, GX_SELCOL (2) whole columns.
  void SetSelectionFlags(WORD flags) { m_wSelectionFlags = flags; }
  WORD GetSelectionFlags() const { return m_wSelectionFlags; }
  BOOL IsSelectionAllowed(WORD mask) const { return (m_wSelectionFlags & mask) != 0; }
  void EnableDragRows(BOOL b) { m_bDragRows = b; }
  BOOL IsDragRowsEnabled() const { return m_bDragRows; }
  void EnableDragColumns(BOOL b) { m_bDragColumns = b; }
  BOOL IsDragColumnsEnabled() const { return m_bDragColumns; }
  void SetRowResizeFlags(WORD f) { m_wRowResizeFlags = f; }
  void SetColResizeFlags(WORD f) { m_wColResizeFlags = f; }
  BOOL IsRowResizeAllowed(WORD mask) const { return (m_wRowResizeFlags & mask) != 0; }
  BOOL IsColResizeAllowed(WORD mask) const { return (m_wColResizeFlags & mask) != 0; }
  void SetClickFlags(WORD f) { m_wClickFlags = f; }
  BOOL TestClickFlags(WORD mask) const { return (m_wClickFlags & mask) != 0; }

  CGXRangeList& GetSelection() { return m_selection; }
  CGXRangeList& GetCoveredCells() { return m_coveredCells; }
  const CGXRangeList& GetSelection() const { return m_selection; }
  const CGXRangeList& GetCoveredCells() const { return m_coveredCells; }
  // Cells whose changed mark still has to be cleared in the data object: the next changed-cells repaint of
  // a grid on this parameter object tells the data object each one was drawn and empties the list. A
  // run-time list of the views sharing the data; neither archived nor copied.
  CGXRangeList& GetPendingChangedCells() { return m_pendingChangedCells; }
  CGXMapDWordToLong& GetRowHeights() { return m_rowHeights; }
  CGXMapDWordToLong& GetColWidths() { return m_colWidths; }
  const CGXMapDWordToLong& GetRowHeights() const { return m_rowHeights; }
  const CGXMapDWordToLong& GetColWidths() const { return m_colWidths; }

  // The undo and redo commands (newest at the head), owned here; the command factory is their only user.
  CObList& GetUndoList() { return m_undoList; }
  CObList& GetRedoList() { return m_redoList; }
  // Deletes every command of the redo list.
  void EmptyRedoList();

  // The covered-cell feature's index of the covered cells: created by the installed covered-cell pool
  // implementation when there is none yet (stays null without it), and rebuilt from the covered-cells list.
  void CreateCoveredCellPool();
  void SyncCoveredCellPool();
  CObject* GetCoveredCellPool() const { return m_pCoveredCellPool.get(); }

  // Settings (names of the layout archive where the engine does not name them).
  BOOL m_bP1 = TRUE, m_bP2 = TRUE, m_bReadOnly = FALSE, m_bUndoEnabled = TRUE, m_bNumberRows = TRUE,
       m_bLetterCols = TRUE, m_bDragColumns = TRUE, m_bDragRows = TRUE;
  BOOL m_bOwnData = FALSE, m_bOwnPrintDevice = FALSE, m_bOwnProperties = FALSE, m_bOwnStylesMap = FALSE;
  BOOL m_bP5 = FALSE, m_bP6 = FALSE, m_bReadOnlyEnforced = TRUE, m_bP7 = TRUE;
  WORD m_wSelectionFlags = GX_SELFULL;
  WORD m_wRowResizeFlags = 0xB2;
  WORD m_wColResizeFlags = 0xB2;
  DWORD m_nFrozenRows = 0, m_nFrozenCols = 0;
  DWORD m_nDefaultColWidth = 10000, m_nDefaultRowHeight = 1200;
  CString m_sName;
  // Activation flags: 1 activates a cell's control on a click into its text, 2 on a click anywhere.
  WORD m_wActivateFlags = 1;
  // When a cell control frames the current cell: 0 always, 2 only while the grid window is active, any
  // other value never. A newly entered cell is not drawn at once while it is 1.
  WORD m_wCurrentCellFrameMode = 2;
  // The smallest row height and column width, in pixels, while the user resizes with the mouse (32-bit
  // settings that the archive keeps in a WORD).
  DWORD m_nMinRowHeight = 0, m_nMinColWidth = 0;
  WORD m_wW8 = 0;
  DWORD m_nHeaderRows = 0, m_nHeaderCols = 0;
  BOOL m_bP8 = TRUE, m_bP9 = FALSE, m_bP10 = FALSE;
  DWORD m_dwD1 = 0, m_dwD2 = 0, m_dwD3 = 0;
  WORD m_wClickFlags = 0;
  BOOL m_bP11 = FALSE;
  // Where Enter moves the current cell: the move codes 1 up, 2 left, 3 down, 4 right; 0 stays.
  WORD m_wEnterKeyAction = 4;
  // The most commands the undo and redo lists keep outside a transaction (a list holds at most one more).
  DWORD m_dwUndoLimit = 512;
  BOOL m_bP12 = FALSE, m_bP13 = FALSE, m_bP14 = FALSE, m_bP15 = FALSE, m_bP16 = FALSE;
  WORD m_wFloatingMode = 0;  // floating cells: 0 off, 1 and 2 the two modes
  WORD m_wMergingMode = 0;   // merged cells: low two bits 0 off, 1 and 2 the modes; higher bits options
  WORD m_wW11 = 0;
  // The cut-and-paste feature's switches: direct copy and direct cut paste copied (cut) cells inside the
  // grid by copying (moving) them in place instead of through the clipboard data; the second (cut cells
  // stay marked until pasted) also lets the composition show the marked cells.
  BOOL m_bDirectCopyPaste = FALSE, m_bMarkingEnabled = FALSE, m_bDirectCutPaste = FALSE;
  WORD m_wW12 = 0;
  BOOL m_bP17 = FALSE, m_bP18 = FALSE;
  // The last sort: the key row of the last column sort and the key column of the last row sort (-1: none).
  LONG m_nLastSortRow = -1, m_nLastSortCol = -1;

  // Run-time settings that no layout archive carries (a layout read and written again is unchanged; the
  // parameter copy copies them with the other settings).
  // Header marking: RefreshHeaders redraws the header cells while it is on.
  BOOL m_bHeaderMarking = FALSE;
  // A click into a grid view that has not the focus takes the focus and is eaten.
  BOOL m_bActivateOnClick = FALSE;
  // The user-selection feature keeps a current selection range: the newest range of the selection list.
  BOOL m_bKeepsCurrentSelRange = FALSE;
  // A cell the grid makes current when it is initialised (when it lies within the counts).
  BOOL m_bInitialCurrentCell = FALSE;
  ROWCOL m_nInitialCurrentRow = 0, m_nInitialCurrentCol = 0;
  // Zoom is ignored (every grid on this object draws at 100 percent).
  BOOL m_bZoomDisabled = FALSE;
  // A restored grid that grows or shrinks repaints only the strips that change (else all of it).
  BOOL m_bSmartResize = TRUE;
  // Set when the first grid on this object has been initialised.
  BOOL m_bGridInitialized = FALSE;

  // Current cell (copied).
  BOOL m_bHintCurrentCellMoves = FALSE;       // other views hear of current-cell moves
  BOOL m_bCurrentCellJoinsSelection = FALSE;  // a move makes the new cell the selection
  BOOL m_bSkipEnterRedraw = FALSE;            // entering a cell only stores it and binds its control
  BOOL m_bFrozenScroll = TRUE;                // Up/Left cross into the frozen rows through the scrolled-out ones
  BOOL m_bClearSelectionOnMove = FALSE;       // a joining keyboard move clears a selection without the target
  BOOL m_bFillEnabled = FALSE;                // the fill handle at the selection's corner works
  BOOL m_bThumbTrack = TRUE;                  // dragging a scroll thumb scrolls at once (else on release)

  // Drawing (copied).
  int m_nGridLinePosition = 0;          // 0: a cell's grid lines are its left and top edges; else right, bottom
  UINT m_nGridLineStyle = PS_SOLID;     // pen style of the grid lines (PS_NULL: none)
  BOOL m_bCurrentCellFrame = TRUE;      // the grid frames the current cell by inversion (else its control)
  BOOL m_bInvertCurrentCellToo = FALSE;  // a selected current cell is inverted whole
  BOOL m_bInvertSelection = TRUE;       // selected cells are inverted
  BOOL m_bOldDrawing = FALSE;           // the installed cell-by-cell drawing draws every grid on this object
  int m_nPreloadStyles = 0;             // 1: compose every style of a block before drawing it

  // Cell controls (copied).
  BOOL m_bNoControlFrame = FALSE;       // no cell control frames the current cell
  BOOL m_bNoInnerRectCorrection = FALSE;  // no one-pixel inner-rectangle correction at the frozen edge
  BOOL m_bPasteStyles = FALSE;          // the grid's styles on the clipboard take precedence over a control's paste
  BOOL m_bEditUnformatted = FALSE;      // the edit cells edit the stored value, not its display text
  // Non-zero lets a sheet-tab window rename the grid's tab.
  DWORD m_dwRenameSheet = 1;
  // The greatest height in pixels of a drop-down cell's list (run-time, copied, not archived).
  LONG m_nDropDownHeight = 100;

  // The tabbed drop-down cells' translation caches, one map per unique choice-list id (index = id): key
  // field -> choice line, and display field -> choice line. Owned here; null entries are maps not built
  // yet. The change count grows whenever maps are released, so a list filled from a released map is
  // filled again. Run-time only: neither archived nor copied (a copy starts empty and rebuilds on demand).
  std::vector<std::unique_ptr<CMapStringToString>> m_keyMaps;
  std::vector<std::unique_ptr<CMapStringToString>> m_displayMaps;
  int m_nChoiceMapChangeCount = 0;

  // Undo (run-time, neither archived nor copied).
  // Nesting of open undo transactions (0: none).
  DWORD m_nTransactionLevel = 0;
  // What a removal keeps for its undo: bit 1 the lines' own styles, bit 2 their cells' styles.
  WORD m_wRemoveRowsUndoFlags = 3;
  WORD m_wRemoveColsUndoFlags = 3;
  // Cleared while the command factory executes a command.
  BOOL m_bNotExecutingCommand = TRUE;
  // Set while an undo block with several commands or a freeze command runs: header marking waits.
  BOOL m_bHeaderMarkingLocked = FALSE;
  // The last row and column freeze: the first position after the headers the block was moved to, the
  // number of lines frozen and the block's former first line (unfreezing moves the block back there).
  ROWCOL m_nFreezeRowsDest = 0, m_nFreezeRowsCount = 0, m_nFreezeRowsFirst = 0;
  ROWCOL m_nFreezeColsDest = 0, m_nFreezeColsCount = 0, m_nFreezeColsFirst = 0;

  // Sorting (run-time, neither archived nor copied): whether the last sort was ascending, and the two
  // header switches: a click on a column header sorts the rows, one on a row header sorts the columns.
  BOOL m_bLastSortAscending = FALSE;
  BOOL m_bSortRowsByHeader = FALSE;
  BOOL m_bSortColsByHeader = FALSE;
  // The selection frame: a thick inverted frame around the selected range (the frame feature draws it).
  BOOL m_bSelectionFrame = FALSE;
  // Column unhiding (run-time, neither archived nor copied): a hidden column dragged open by its header edge
  // is shown again through the grid's hide operation (undoable, hidden-column hooks called) when set; while
  // clear it loses its hidden mark directly, as a row does.
  BOOL m_bUnhideColsByHide = FALSE;

  // State of the grids on this object (neither archived nor copied).
  // While set no grid on this object draws (its callers save and restore it).
  BOOL m_bLockUpdate = FALSE;
  // The cells of the last copy or cut, and whether a cut waits for its paste: while it does and marking is
  // enabled, the cut cells are drawn marked.
  CGXRangeList m_copiedRanges;
  BOOL m_bCutPending = FALSE;
  // A number no other parameter object of this process has had (a copy gets a new one): the direct copy's
  // clipboard mark names the object by it besides its address, so a freed object's address taken over by a
  // new one never matches.
  struct Serial {
    Serial();
    Serial(const Serial&) : Serial() {}
    Serial& operator=(const Serial&) { return *this; }
    uint64_t value;
  };
  Serial m_serial;

  // Per-row and per-column byte flags.
  std::vector<BYTE> m_rowFlags;
  std::vector<BYTE> m_colFlags;

  // Floating and merged cells: their delayed-range pools and span pools, owned here.
  std::unique_ptr<CGXDelayedRangePool> m_pFloatDelayed;
  std::unique_ptr<CGXSpanCellPool> m_pFloatSpans;
  std::unique_ptr<CGXDelayedRangePool> m_pMergeDelayed;
  std::unique_ptr<CGXSpanCellPool> m_pMergeSpansH;
  std::unique_ptr<CGXSpanCellPool> m_pMergeSpansV;
  std::unique_ptr<CObject> m_pCoveredCellPool;

 private:
  CGXProperties* m_pProperties = nullptr;
  CGXStylesMap* m_pStylesMap = nullptr;
  CGXData* m_pData = nullptr;
  CGXPrintDevice* m_pPrintDevice = nullptr;
  CGXRangeList m_selection;
  CGXRangeList m_coveredCells;
  CGXRangeList m_pendingChangedCells;
  CGXMapDWordToLong m_rowHeights;
  CGXMapDWordToLong m_colWidths;
  CObList m_undoList;
  CObList m_redoList;
};
