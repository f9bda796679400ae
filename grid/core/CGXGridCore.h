// The grid engine: everything a grid window does besides being a window. A grid window (CGXGridWnd)
// carries one as its second base; the engine reaches its window through m_pGridWnd.
//
// The engine is one class with many concerns, split over files by concern:
//   CGXGridCore.cpp          object, lifetime, parameter object, zoom and read-only
//   CGXGridCoreFeatures.cpp  feature plug points: installing features, forwarders, selection queries
//   CGXGridCoreRowCol.cpp    counts, frozen and header rows, heights and widths (font units), top row
//   CGXGridCoreGeometry.cpp  client indices, rectangles, hit-testing, cursors (pure: no device context)
//   CGXGridCoreStyle.cpp     effective cell style, storing styles, cell values, registered controls
//   CGXGridCoreDraw.cpp      paint entry, direct and buffered drawing, cell block, redraw operations
//   CGXGridCoreLines.cpp     grid lines, borders, interior fills, inversion, border arithmetic
//   CGXGridCoreDrawCaches.cpp fonts, brushes, pens, measuring device, style cache and pool
//   CGXGridCoreScroll.cpp    bring into view, scroll by cells, scroll bars (scaled), scroll messages
//   CGXGridCoreCurrent.cpp   current cell: store, move, validate, complete an edit, notifications
//   CGXGridCoreKeys.cpp      key dispatcher and the grid's own keys
//   CGXGridCoreMoves.cpp     directional moves of the current cell
//   CGXGridCoreMouse.cpp     press-and-drag state machine, cell clicks
//   CGXGridCoreMessages.cpp  focus, size, cursor, dialog codes, colours and settings
//
// Call flow of a paint: WM_PAINT -> DrawGrid -> RefreshScrollBars(only if counts changed)
//   -> DrawGridDirect | DrawGridBuffered -> DrawCellBlock -> per cell PrepareCellFlags (style composed
//   once); per row FillRowInteriorRuns, DrawBlockCell -> CGXControl::DrawCell, DrawRowLines; then the area
//   beyond the grid, DrawColumnLines per column, InvertMarkedCells.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCurrentCell.h"
#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/gxtypes.h"
#include "platform/base/geometry.h"
#include "platform/window/windowapi.h"

class CWnd;
class CDC;
class CPrintInfo;
class CDocument;
class CScrollBar;
class CFont;
class CBrush;
class CPen;
class CBitmap;
class CGXControl;
class CGXOleViewer;
class CGXPluginComponent;
class CGXAutoScrollPlugin;
class CGXGridDrawContext;
class CGXAbstractGridOldDrawingImp;
class CGXGridUpdateHintImp;
class CGXGridOptimizedUpdateImp;
class CGXLongOperationScope;
class CGXGridHint;
class CObject;
class CObArray;
class CGXSpanCellPool;
class CGXRangeList;
class CDWordArray;
class CObArray;
class CGXStylesMap;
class CGXProperties;
class CFindReplaceDialog;
class CGXGridPrintImp;
class CGXGridSortImp;
class CGXGridCoveredCellsImp;
class CGXGridFloatCellsImp;
class CGXGridMergeCellsImp;
class CGXCommandFactory;
class CGXGridResizeToFitImp;
class CGXGridHideCellsImp;
class CGXGridFindReplaceImp;
class CGXGridUserSelectRangeImp;
class CGXGridExcelLikeFrameImp;
class CGXGridExcelLikeFillImp;
class CGXGridUserDragSelectRangeImp;
class CGXGridMoveRowsColsImp;
class CGXGridUserResizeCellsImp;
class CGXGridFreezeMenuHelperImp;
class CGXGridDirectCopyMoveCellsImp;
class CGXGridTextDataExchangeImp;
class CGXGridStyleDataExchangeImp;
class CGXGridCutPasteImp;
class CGXGridClearCellsImp;
class CGXGridRangeNameImp;
class CGXGridExtraFeatureBImp;
class CGXGridExtraFeatureCImp;
class CGXDrawSpannedCellsImp;
class CGXGridMarkEditHeaderImp;
struct GXForwardArgs;

// Redraw flags of every update operation.
constexpr UINT GX_SMART = 0x00;
constexpr UINT GX_NOSCROLL = 0x01;
constexpr UINT GX_UPDATENOW = 0x02;
constexpr UINT GX_INVALIDATE = 0x04;

// Direction codes of current-cell moves.
enum GXDirection : int {
  GX_UP = 1,
  GX_LEFT = 2,
  GX_DOWN = 3,
  GX_RIGHT = 4,
  GX_MOSTBOTTOM_PAGE = 5,  // page down
  GX_MOSTTOP_PAGE = 6,     // page up
  GX_TOPROW = 7,
  GX_BOTTOMROW = 8,
  GX_LEFTCOL = 9,
  GX_RIGHTCOL = 10,
  GX_TOPLEFT = 11,
  GX_BOTTOMRIGHT = 12,
};

// What a sheet-tab window asks a sheet before it changes sheets (the wParam of 0x0792).
enum class GXSheetChange : int { leave = 0, activate = 1 };

// Hit-test codes.
enum GXHitCode : int {
  GX_NOHIT = 0,
  GX_VERTLINE = 1,
  GX_HORZLINE = 2,
  GX_CELLHIT = 3,
  GX_HEADERHIT = 4,
  GX_SELEDGEHIT = 5,
  GX_FILLHANDLEHIT = 6,
  GX_VERTHIDDENLINE = 7,
  GX_HORZHIDDENLINE = 8,
};

// Grid cursor resources.
constexpr UINT GX_IDC_VRESIZE = 20190, GX_IDC_HRESIZE = 20191, GX_IDC_VHIDDEN = 20192, GX_IDC_HHIDDEN = 20193,
               GX_IDC_SELDRAG = 20194, GX_IDC_SELCOL = 20195, GX_IDC_SELROW = 20196, GX_IDC_FILLHANDLE = 20209;

// The auto-scroll timer.
constexpr UINT GX_AUTOSCROLL_TIMER = 992;

class CGXGridCore {
 public:
  CGXGridCore(CWnd* gridWnd = nullptr, CDocument* doc = nullptr, BOOL flag = FALSE);
  virtual ~CGXGridCore();
  CGXGridCore(const CGXGridCore&) = delete;
  CGXGridCore& operator=(const CGXGridCore&) = delete;

  // ---- Object and lifetime ------------------------------------------------------------------------------
  void AttachParam(CGXGridParam* param, BOOL mustDelete);
  CGXGridParam* GetParam() const { return m_pParam; }
  CGXData* GetData() const { return m_pParam ? m_pParam->GetData() : nullptr; }
  CGXStylesMap* GetStylesMap() const { return m_pParam ? m_pParam->GetStylesMap() : nullptr; }
  CGXProperties* GetProperties() const { return m_pParam ? m_pParam->GetProperties() : nullptr; }
  CWnd* GridWnd() const { return m_pGridWnd; }
  HWND GridHwnd() const;
  void SetGridWnd(CWnd* wnd) { m_pGridWnd = wnd; }
  void AddAutoDeleteObject(void* object, void (*deleter)(void*));
  void GetDrawingArea(CRect* out) const;
  CRect GetGridRect() const {
    CRect r;
    GetDrawingArea(&r);
    return r;
  }
  BOOL IsRegisteredParent() const;
  BOOL IsInitialized() const { return m_bInitDone; }
  // A fixed rectangle replaces the window's client rectangle (tests and the benchmark draw without a window).
  void SetFixedDrawingArea(const CRect* rect);
  // The switch word (0), for derived grids: exchanged (the previous value returned) and read.
  virtual DWORD ExchangeSwitchWord(DWORD value);
  virtual DWORD GetSwitchWord() const;
  // Whether the user is resizing rows or columns with the mouse, with the resize mode flags and the row
  // (mode bit 0 set) or column being resized. The user-resize feature sets it; header marking asks it.
  BOOL GetResizeState(int* mode, int* index) const;
  void SetResizeState(BOOL resizing, int mode = 0, int index = 0);
  // The listener hears when the grid is initialised; the grid owns it (an earlier one is deleted).
  void SetListener(CGXGridListener* listener);
  // The selection range the grid took over from the parameter object's kept current selection range when it
  // was initialised; null when there was none or the selection was cleared since.
  const CGXRange* GetCachedSelRange() const { return m_bSelRangeCached ? &m_rgCachedSel : nullptr; }

  virtual void SetPrinting(BOOL printing, BOOL useClientRect = FALSE);
  BOOL IsPrinting() const { return m_bPrinting; }
  virtual void SetModifiedFlag(BOOL modified = TRUE);
  // Prepares a device for the grid's drawing and measuring: while printing, an anisotropic mapping makes one
  // logical unit one display pixel (the font registry's pixels per inch against the device's), so screen
  // and printer draw in the same units; then the overridable hook OnGridPrepareDC.
  virtual void PrepareDC(CDC* dc, CPrintInfo* info = nullptr);
  virtual void OnGridPrepareDC(CDC* dc);
  virtual void Initialize();

  // ---- Zoom and read-only ------------------------------------------------------------------------------
  virtual BOOL SetZoom(int percent, UINT flags = GX_UPDATENOW);
  virtual BOOL SetReadOnly(BOOL readOnly = TRUE);
  virtual int GetZoom() const;
  virtual BOOL IsReadOnly() const;
  virtual BOOL StoreZoom(int percent, BOOL createHint = FALSE);
  virtual BOOL StoreReadOnly(BOOL readOnly);
  virtual void UpdateZoom(int oldZoom, UINT flags, BOOL createHint = FALSE);
  virtual void UpdateReadOnly(BOOL oldReadOnly, BOOL createHint = FALSE);
  // While updates are locked nothing is painted or invalidated; returns the previous state.
  // The lock is the parameter object's, shared by every grid on it; a grid without one keeps its own.
  BOOL LockUpdate(BOOL lock = TRUE) {
    BOOL& flag = m_pParam ? m_pParam->m_bLockUpdate : m_bLockUpdate;
    const BOOL old = flag;
    flag = lock;
    return old;
  }
  BOOL IsLockUpdate() const { return m_pParam ? m_pParam->m_bLockUpdate : m_bLockUpdate; }
  // The parameter object's settings; a default object's while none is attached.
  const CGXGridParam& ParamSettings() const;

  // ---- Rows and columns ---------------------------------------------------------------------------------
  virtual BOOL SetRowCount(ROWCOL rows, UINT flags = GX_UPDATENOW);
  virtual BOOL SetColCount(ROWCOL cols, UINT flags = GX_UPDATENOW);
  virtual ROWCOL GetRowCount() const;
  virtual ROWCOL GetColCount() const;
  virtual BOOL StoreRowCount(ROWCOL rows);
  virtual BOOL StoreColCount(ROWCOL cols);
  virtual void UpdateChangedRowCount(ROWCOL oldCount, UINT flags, BOOL createHint = FALSE);
  virtual void UpdateChangedColCount(ROWCOL oldCount, UINT flags, BOOL createHint = FALSE);
  virtual BOOL RemoveRows(ROWCOL from, ROWCOL to, UINT flags = GX_UPDATENOW, int commandType = 0);
  virtual BOOL RemoveCols(ROWCOL from, ROWCOL to, UINT flags = GX_UPDATENOW, int commandType = 0);
  // heights: one per new row (or null); cellStyles: the new cells' styles row by row, colCount of them per
  // row (null entries store nothing), possibly followed by the data object's undo information; rowStyles:
  // the new rows' own styles. The arrays stay the caller's.
  virtual BOOL InsertRows(ROWCOL row, ROWCOL count, const int* heights = nullptr, const CObArray* cellStyles = nullptr,
                          const CObArray* rowStyles = nullptr, ROWCOL colCount = 0, UINT flags = GX_UPDATENOW,
                          int commandType = 0);
  virtual BOOL InsertCols(ROWCOL col, ROWCOL count, const int* widths = nullptr, const CObArray* cellStyles = nullptr,
                          const CObArray* colStyles = nullptr, ROWCOL rowCount = 0, UINT flags = GX_UPDATENOW,
                          int commandType = 0);
  virtual BOOL StoreInsertRows(ROWCOL row, ROWCOL count, BOOL force = FALSE);
  virtual BOOL StoreInsertCols(ROWCOL col, ROWCOL count, BOOL force = FALSE);
  virtual BOOL StoreRemoveRows(ROWCOL from, ROWCOL to, BOOL force = FALSE);
  virtual BOOL StoreRemoveCols(ROWCOL from, ROWCOL to, BOOL force = FALSE);
  virtual void UpdateInsertRows(ROWCOL row, ROWCOL count, UINT flags, BOOL createHint = FALSE);
  virtual void UpdateInsertCols(ROWCOL col, ROWCOL count, UINT flags, BOOL createHint = FALSE);
  virtual void UpdateRemoveRows(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags, BOOL createHint = FALSE);
  virtual void UpdateRemoveCols(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags, BOOL createHint = FALSE);
  virtual BOOL SetFrozenRows(ROWCOL frozen, ROWCOL header = 0, UINT flags = GX_UPDATENOW, int commandType = 0);
  virtual BOOL SetFrozenCols(ROWCOL frozen, ROWCOL header = 0, UINT flags = GX_UPDATENOW, int commandType = 0);
  virtual ROWCOL GetFrozenRows() const;
  virtual ROWCOL GetFrozenCols() const;
  virtual ROWCOL GetHeaderRows() const;
  virtual ROWCOL GetHeaderCols() const;
  virtual BOOL StoreFrozenRows(ROWCOL frozen, ROWCOL header);
  virtual BOOL StoreFrozenCols(ROWCOL frozen, ROWCOL header);
  virtual void UpdateFrozenRows(ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags, BOOL createHint = FALSE);
  virtual void UpdateFrozenCols(ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags, BOOL createHint = FALSE);
  // While printing the stored frozen counts apply, unless this switch makes printing follow the screen rule
  // (the ignore-frozen switches).
  BOOL m_bPrintFrozenLikeScreen = FALSE;
  BOOL RowIsFrozen(ROWCOL row) const { return row >= 1 && row <= GetFrozenRows(); }
  BOOL ColIsFrozen(ROWCOL col) const { return col >= 1 && col <= GetFrozenCols(); }

  virtual void SetTopRow(ROWCOL row, UINT flags = GX_UPDATENOW, BOOL createHint = FALSE);
  virtual void SetLeftCol(ROWCOL col, UINT flags = GX_UPDATENOW, BOOL createHint = FALSE);
  ROWCOL GetTopRow() const { return m_nTopRow; }
  ROWCOL GetLeftCol() const { return m_nLeftCol; }
  virtual BOOL SetRowHeight(ROWCOL from, ROWCOL to, int height, const int* heights = nullptr,
                            UINT flags = GX_UPDATENOW, int commandType = 0);
  virtual BOOL SetColWidth(ROWCOL from, ROWCOL to, int width, const int* widths = nullptr,
                           UINT flags = GX_UPDATENOW, int commandType = 0);
  virtual BOOL SetDefaultRowHeight(int height, UINT flags = GX_UPDATENOW, int commandType = 0);
  virtual BOOL SetDefaultColWidth(int width, UINT flags = GX_UPDATENOW, int commandType = 0);
  virtual int GetRowHeight(ROWCOL row) const;
  virtual int GetColWidth(ROWCOL col) const;
  // Whether GetRowHeight(row) (GetColWidth(col)) is other than 0, asked without the window's limit: the limit
  // takes no size to 0, and it costs the window's visibility, client rectangle and frozen lines' sizes.
  BOOL RowHasSize(ROWCOL row);
  BOOL ColHasSize(ROWCOL col);
  virtual int GetDefaultRowHeight() const;
  virtual int GetDefaultColWidth() const;
  virtual BOOL StoreDefaultRowHeight(int pixels);
  virtual BOOL StoreDefaultColWidth(int pixels);
  virtual BOOL StoreRowHeight(ROWCOL row, int pixels);
  virtual BOOL StoreColWidth(ROWCOL col, int pixels);
  virtual void UpdateChangedRowHeights(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags,
                                       BOOL createHint = FALSE);
  virtual void UpdateChangedColWidths(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags,
                                      BOOL createHint = FALSE);
  // out[0..to-from]: GetRowHeight of each row (GetColWidth of each column).
  void GetRowHeights(ROWCOL from, ROWCOL to, int* out) const;
  void GetColWidths(ROWCOL from, ROWCOL to, int* out) const;
  virtual int GetFontHeight() const;
  virtual int GetFontWidth() const;
  // The sums of the shown lines' sizes (hidden runs jumped), ended at the first line that takes the sum past
  // the limit (0: none). Lines without a size of their own are summed in runs, at the size GetRowHeight
  // (GetColWidth) answers for the run's first line: a sum costs in proportion to the lines of another size,
  // not to the range's length.
  int SumRowHeights(ROWCOL from, ROWCOL to, int limit = 0) const;
  int SumColWidths(ROWCOL from, ROWCOL to, int limit = 0) const;
  // The height of the header and frozen rows (width of the header and frozen columns), summed no further
  // than the grid's last row (column) and than one pixel past the grid rectangle: any answer above the
  // rectangle's size means that nothing scrolled fits.
  int SumFrozenRowHeights() const;
  int SumFrozenColWidths() const;
  // The two size-limit switches: a row is never shown taller, a column never wider, than the scrolled part.
  BOOL m_bLimitRowHeight = TRUE, m_bLimitColWidth = TRUE;

  // Hidden rows and columns: answered by the hide feature (no row is hidden without it), see below.

  // ---- Update hints ------------------------------------------------------------------------------------
  // Hints are built only when the update-hint feature is installed, the hint switch is set and the grid is
  // bound to a document; dialog grids (no document) never send one.
  // The two installers create the grid's feature object when it has none (owned by the grid).
  void InstallUpdateHintImp();
  void InstallOptimizedUpdateImp();
  CGXGridUpdateHintImp* GetUpdateHintImp() const { return m_pUpdateHintImp.get(); }
  CGXGridOptimizedUpdateImp* GetOptimizedUpdateImp() const { return m_pOptimizedUpdateImp; }
  BOOL CanSendHints() const { return m_pUpdateHintImp && m_bHintSwitch && m_pDocument; }
  // The builder of this grid's hints while it can send them, else null: `if (auto* h = HintSender())
  // h->HintTopRow(this, row, flags);`.
  CGXGridUpdateHintImp* HintSender() const { return CanSendHints() ? m_pUpdateHintImp.get() : nullptr; }
  // Sends a hint to the other views of the document (nothing without one).
  virtual void NotifyOtherViews(CGXGridHint* hint);
  // Executes a hint received from another view.
  virtual void ProcessHint(CObject* hint);
  BOOL m_bHintSwitch = FALSE;
  DWORD m_nHintGroup = 0;

  // ---- Optimized redraw after structure changes ---------------------------------------------------------
  // Inserted, removed and resized rows and columns repaint through the optimized-update feature, which
  // scrolls the window contents and invalidates what changed; without it the whole grid repaints. While this
  // switch is on (the default) the grid installs the feature when it first needs it, since no installer
  // list of this program adds it.
  BOOL m_bOptimizedUpdate = TRUE;
  void OptimizedInsertRows(ROWCOL row, ROWCOL count, UINT flags);
  void OptimizedInsertCols(ROWCOL col, ROWCOL count, UINT flags);
  // The old sizes are the pixel sizes the rows (columns) had before the change, one per row; null when the
  // caller did not measure them.
  void OptimizedRemoveRows(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags);
  void OptimizedRemoveCols(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags);
  void OptimizedRowHeights(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags);
  void OptimizedColWidths(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags);

  // ---- Visible area and hit-testing -------------------------------------------------------------------
  ROWCOL RowToClientRow(ROWCOL row) const;
  ROWCOL ClientRowToRow(ROWCOL clientRow) const;
  ROWCOL ColToClientCol(ROWCOL col) const;
  ROWCOL ClientColToCol(ROWCOL clientCol) const;
  int SumClientRowHeights(ROWCOL from, ROWCOL to, int limit = 0) const;
  int SumClientColWidths(ROWCOL from, ROWCOL to, int limit = 0) const;
  int ClientRowTop(ROWCOL clientRow) const;
  int ClientColLeft(ROWCOL clientCol) const;
  ROWCOL HitTestClientRow(const POINT& pt, int* outTop = nullptr) const;
  ROWCOL HitTestClientCol(const POINT& pt, int* outLeft = nullptr) const;
  ROWCOL CalcBottomRow(const CRect& rect) const;
  ROWCOL CalcBottomRowEx(const CRect& rect, BOOL* endsBefore) const;
  ROWCOL CalcRightmostCol(const CRect& rect) const;
  ROWCOL CalcRightmostColEx(const CRect& rect, BOOL* endsBefore) const;
  ROWCOL GetLastVisibleRow() const;
  ROWCOL GetLastVisibleCol() const;
  CRect CalcRangeRect(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, BOOL noClip = FALSE) const;
  CRect CalcCellRect(ROWCOL row, ROWCOL col) const { return CalcRangeRect(row, col, row, col); }
  CRect CalcRectBelowRow(ROWCOL row) const;
  CRect CalcRectRightOfCol(ROWCOL col) const;
  // The out-pointer forms of the rectangle operations.
  void CalcRangeRect(CRect* out, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, BOOL noClip = FALSE) const {
    *out = CalcRangeRect(top, left, bottom, right, noClip);
  }
  void CalcRectBelowRow(CRect* out, ROWCOL row) const { *out = CalcRectBelowRow(row); }
  void CalcRectRightOfCol(CRect* out, ROWCOL col) const { *out = CalcRectRightOfCol(col); }
  // The row at the rectangle's bottom edge and the column at its right edge (the counts when the grid ends
  // before them); either pointer may be null.
  void CalcClientRowRect(const CRect& rect, ROWCOL* bottomRow, ROWCOL* rightCol) const;
  // Range rectangles widened first: by covered cells; with spans, by merged, then floating, then covered cells.
  void CalcRangeRectCovered(CRect* out, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right);
  void CalcRangeRectWithSpans(CRect* out, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right);
  void CalcCoveredCellRect(CRect* out, ROWCOL row, ROWCOL col) { CalcRangeRectCovered(out, row, col, row, col); }
  void CalcCellRectWithSpans(CRect* out, ROWCOL row, ROWCOL col) { CalcRangeRectWithSpans(out, row, col, row, col); }
  // The permission tests asked before and during a user resize of a row (rows TRUE) or column: whether
  // resizing is enabled at all (TRUE exactly when the user-resize feature is installed; index 0 asks for
  // rows or columns in general), whether that line may be resized, and whether it may take that size (in
  // pixels). The last two allow; grid classes override them to refuse lines or sizes.
  virtual BOOL HasUserResizeFeature(ROWCOL /*index*/ = 0, BOOL /*rows*/ = TRUE) const {
    return m_pUserResizeCellsImp != nullptr;
  }
  virtual BOOL ReturnTrueStub(ROWCOL /*index*/, BOOL /*rows*/) const { return TRUE; }
  virtual BOOL ReturnTrueStub2(ROWCOL /*index*/, int /*size*/, BOOL /*rows*/) const { return TRUE; }
  virtual int HitTest(const POINT& pt, ROWCOL* row = nullptr, ROWCOL* col = nullptr, CRect* cellRect = nullptr);
  virtual int HitTestSelectionEdge(ROWCOL row, ROWCOL col, const POINT& pt, const CRect& cellRect);
  virtual void SetGridCursor(UINT resourceId, LPCSTR standardCursor = nullptr);
  virtual void UpdateCursor(POINT pt);
  virtual void SetFixedCursor(UINT resourceId);
  UINT GetCursorId() const { return m_nCursorId; }
  int m_nResizeTolerance = 8;
  BOOL m_bSelectionEdge = FALSE;

  // ---- Effective cell style, values, controls ------------------------------------------------------
  // Applies a style (or, with `styles`, one style per cell in row-major order, possibly followed by one
  // undo record of the command factory) to a range; commandType 0 do, 1 rollback, 2 undo, 3 redo. Rows,
  // columns and the table go to their base styles when type is 0. TRUE when any cell changed.
  virtual BOOL ApplyStyleToRange(const CGXRange& range, const CGXStyle* style, int mode = gxOverride, int type = 0,
                                 const CObArray* styles = nullptr, UINT flags = GX_INVALIDATE, int commandType = 0);
  BOOL SetStyleRange(const CGXRange& range, const CGXStyle& style, int mode = gxOverride, int type = 0,
                     UINT flags = GX_INVALIDATE, int commandType = 0) {
    return ApplyStyleToRange(range, &style, mode, type, nullptr, flags, commandType);
  }
  virtual BOOL ReadStoredStyle(ROWCOL row, ROWCOL col, CGXStyle& style, int mode, int type) const;
  // What is stored for each cell of a range (row-major; null where nothing is stored); the caller owns the
  // array and gives the styles back with ReleaseWorkStyle (or deletes them).
  virtual CObArray* CollectRangeStyles(const CGXRange& range, int type, BOOL showProgress);
  virtual void ComposeCellStyle(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard = TRUE);
  // The style (row, col) would compose with `own` as its stored style (null: none), as a copy, a move or a fill
  // of cells would leave it: `own` under the cell's row, column and table base styles and the standard style.
  void ComposeCellStyleWith(ROWCOL row, ROWCOL col, const CGXStyle* own, CGXStyle& style);
  virtual BOOL WriteStoredStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type);
  virtual void RefreshStyleRange(const CGXRange& range, const CGXStyle* style, int mode, int type, UINT flags,
                                 BOOL createHint);
  void RefreshStyleRange(const CGXRange& range, UINT flags) { RefreshStyleRange(range, nullptr, 0, 0, flags, FALSE); }
  virtual BOOL ReplaceStylesMap(const CGXStylesMap& map, UINT flags = GX_INVALIDATE, int commandType = 0);
  virtual void RefreshAfterStylesMap(UINT flags, BOOL createHint);
  virtual BOOL ReplaceProperties(const CGXProperties& properties, UINT flags = GX_INVALIDATE, int commandType = 0);
  virtual void RefreshAfterProperties(UINT flags, BOOL createHint);
  virtual BOOL ModifyBaseStyle(WORD id, const CGXStyle& style, int mode = gxOverride, UINT flags = GX_INVALIDATE,
                               int commandType = 0);
  virtual void RefreshAfterBaseStyle(WORD id, UINT flags, BOOL createHint);
  // After the styles map, the properties or a base style changed: the current cell's control is fetched and
  // bound again (unless it edits).
  void ResetCurrentCellAfterStyles();
  // The registered base style of an id; an id the styles map does not know is a programming error.
  CGXStyle& BaseStyleById(WORD id);
  // The composed value text of a cell, returned by value (no shared scratch buffer: two calls in one
  // expression cannot overwrite each other). A cell's own value is never overridden by base styles.
  CString GetCellValue(ROWCOL row, ROWCOL col);
  // The value text stored for the cell itself (no base styles).
  CString GetStoredCellValue(ROWCOL row, ROWCOL col);
  BOOL SetCellValue(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags = GX_INVALIDATE);
  virtual BOOL SetCellTextThroughControl(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags,
                                         const CGXStyle* style = nullptr);
  const CGXStyle* GetStandardStyle();
  const CGXStyle* GetColHeaderStyle() const { return m_pStyleColHeader; }
  const CGXStyle* GetRowHeaderStyle() const { return m_pStyleRowHeader; }
  void LookupBaseStyles();
  void AddCellControl(WORD id, CGXControl* control, BOOL makeDefault = FALSE, BOOL registerWithStylesMap = FALSE);
  CGXControl* ControlForId(WORD id);
  virtual CGXControl* ControlForCell(ROWCOL row, ROWCOL col);
  // The covered, merged (either direction) or floated range the cell belongs to, else null.
  virtual CGXRange* SpanRangeOfCell(ROWCOL row, ROWCOL col, CGXRange& range);
  virtual BOOL CopyOneRange(const CGXRange& range);
  // The cell's text for the clipboard through the text data-exchange feature (empty without it).
  virtual void CellTextForCopy(CString& out, ROWCOL row, ROWCOL col);
  // Whether the cell's text may float into empty neighbours: the floating-cells feature's answer, else FALSE.
  BOOL CanFloatCellText(ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL flag);
  // The last shown row and column, cached until the top row (left column) changes.
  ROWCOL GetBottomShownRow(BOOL* endsBefore = nullptr);
  ROWCOL GetRightmostShownCol(BOOL* endsBefore = nullptr);
  // What the cell controls call back (defaults: TRUE, FALSE or the plain store).
  // A control's text as the cell's value: the stored style keeps everything but its value; `style` is the
  // composed style the control works with (composed for the duration when null).
  virtual BOOL StoreValueFromControl(ROWCOL row, ROWCOL col, LPCTSTR text, int mode, const CGXStyle* style);
  virtual BOOL ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags);
  virtual BOOL ValidateCell(ROWCOL, ROWCOL) { return TRUE; }
  virtual BOOL OnMouseMoveInCell(ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
  // The whole grid is read-only and the parameter object enforces it.
  virtual BOOL IsLocked() const { return IsReadOnly() && m_pParam && m_pParam->m_bReadOnlyEnforced; }
  // Used instead of composing each cell while an operation that sets it runs (null outside such operations).
  const CGXStyle* m_pPendingStyle = nullptr;
  // Composed styles a caller already holds for cells of the range stored next, row-major over `range` (null
  // where it holds none): the store step takes them instead of composing those cells again. The caller
  // vouches that each is what ComposeCellStyle would answer when its cell is stored, i.e. that storing a cell
  // of the range changes no composition but its own; a store that writes further cells (a control's own
  // doing) ends their use for the rest of the range (null outside such operations).
  struct HeldCompositions {
    CGXRange range;
    const std::vector<CGXStyle*>* styles = nullptr;
    const CGXStyle* Find(ROWCOL row, ROWCOL col) const {
      if (!styles || !range.ContainsCell(row, col)) return nullptr;
      const std::size_t index = static_cast<std::size_t>(row - range.top) * (range.right - range.left + 1) +
                                (col - range.left);
      return index < styles->size() ? (*styles)[index] : nullptr;
    }
  };
  const HeldCompositions* m_pHeldCompositions = nullptr;
  // Counts the stores of WriteStoredStyle: a cell's store that wrote more than its own entry drops the held
  // compositions for the rest of its range.
  std::uint64_t m_nStoredStyleWrites = 0;
  // The storage type an ApplyStyleToRange with type 0 records (0: the cell itself).
  int m_nDefaultStorageType = 0;
  // Suppresses the progress display of the style operations.
  WORD m_wNoProgress = 0;
  // Set while ApplyStyleToRange runs: the data store hears of the whole range once, not of each cell.
  BOOL m_bSuspendRangeNotice = FALSE;

  // ---- Feature plug points (CGXGridCoreFeatures.cpp) ---------------------------------------------------
  // Installs a feature; with autoDelete the grid frees it when it goes. Null uninstalls.
  void SetFeature(CGXGridPrintImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridSortImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridCoveredCellsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridFloatCellsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridMergeCellsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXCommandFactory* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridResizeToFitImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridHideCellsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridFindReplaceImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridUserSelectRangeImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridExcelLikeFrameImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridExcelLikeFillImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridUserDragSelectRangeImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridMoveRowsColsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridUserResizeCellsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridFreezeMenuHelperImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridDirectCopyMoveCellsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridTextDataExchangeImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridStyleDataExchangeImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridCutPasteImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridClearCellsImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridRangeNameImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridExtraFeatureBImp* imp, BOOL autoDelete = TRUE);
  // Further feature C is always the grid's own: it is deleted when replaced and with the grid.
  void SetFeature(CGXGridExtraFeatureCImp* imp);
  void SetFeature(CGXAbstractCalcSizeImp* imp, BOOL autoDelete = TRUE);
  void SetFeature(CGXGridMarkEditHeaderImp* imp, BOOL autoDelete = TRUE);
  // The cell-tip plug-in: kept as the grid's cell-tip plug-in and owned through the plug-in list like every
  // plug-in (an earlier cell-tip plug-in is taken out of the list and deleted).
  void SetCellTipPlugin(CGXPluginComponent* plugin);
  CGXPluginComponent* GetCellTipPlugin() const { return m_pCellTipPlugin; }
  // The installed features (null when not installed): installers create a feature only while its getter
  // answers null.
  CGXAbstractCalcSizeImp* GetCalcSizeImp() const { return m_pCalcSizeImp; }
  CGXGridMarkEditHeaderImp* GetMarkEditHeaderImp() const { return m_pMarkEditHeaderImp; }
  CGXGridPrintImp* GetPrintImp() const { return m_pPrintImp; }
  CGXGridSortImp* GetSortImp() const { return m_pSortImp; }
  CGXGridCoveredCellsImp* GetCoveredCellsImp() const { return m_pCoveredCellsImp; }
  CGXGridFloatCellsImp* GetFloatCellsImp() const { return m_pFloatCellsImp; }
  CGXGridMergeCellsImp* GetMergeCellsImp() const { return m_pMergeCellsImp; }
  CGXCommandFactory* GetCommandFactory() const { return m_pCommandFactory; }
  CGXGridResizeToFitImp* GetResizeToFitImp() const { return m_pResizeToFitImp; }
  CGXGridHideCellsImp* GetHideCellsImp() const { return m_pHideCellsImp; }
  CGXGridFindReplaceImp* GetFindReplaceImp() const { return m_pFindReplaceImp; }
  CGXGridUserSelectRangeImp* GetUserSelectRangeImp() const { return m_pUserSelectRangeImp; }
  CGXGridExcelLikeFrameImp* GetExcelLikeFrameImp() const { return m_pExcelLikeFrameImp; }
  CGXGridExcelLikeFillImp* GetExcelLikeFillImp() const { return m_pExcelLikeFillImp; }
  CGXGridUserDragSelectRangeImp* GetUserDragSelectRangeImp() const { return m_pUserDragSelectRangeImp; }
  CGXGridMoveRowsColsImp* GetMoveRowsColsImp() const { return m_pMoveRowsColsImp; }
  CGXGridUserResizeCellsImp* GetUserResizeCellsImp() const { return m_pUserResizeCellsImp; }
  CGXGridFreezeMenuHelperImp* GetFreezeMenuHelperImp() const { return m_pFreezeMenuHelperImp; }
  CGXGridDirectCopyMoveCellsImp* GetDirectCopyMoveCellsImp() const { return m_pDirectCopyMoveCellsImp; }
  CGXGridTextDataExchangeImp* GetTextDataExchangeImp() const { return m_pTextDataExchangeImp; }
  CGXGridStyleDataExchangeImp* GetStyleDataExchangeImp() const { return m_pStyleDataExchangeImp; }
  CGXGridCutPasteImp* GetCutPasteImp() const { return m_pCutPasteImp; }
  CGXGridClearCellsImp* GetClearCellsImp() const { return m_pClearCellsImp; }
  CGXGridRangeNameImp* GetRangeNameImp() const { return m_pRangeNameImp; }
  CGXGridExtraFeatureBImp* GetExtraFeatureBImp() const { return m_pExtraFeatureBImp; }
  CGXGridExtraFeatureCImp* GetExtraFeatureCImp() const { return m_pExtraFeatureCImp.get(); }
  // The editing features' installers (defined by the editing-features library, which a program calling
  // them links): each creates its feature only when the grid has none.
  void InstallCommandFactory();
  void InstallClearCellsImp();
  // Clipboard and data exchange, sorting, find and replace (installing the cut/paste feature installs the
  // three data-exchange features it uses).
  void InstallDirectCopyMoveCellsImp();
  void InstallTextDataExchangeImp();
  void InstallStyleDataExchangeImp();
  void InstallCutPasteImp();
  void InstallSortImp();
  void InstallFindReplaceImp();
  // The selection frame, and the fill by dragging (which installs the frame too).
  void InstallExcelLikeFrameImp();
  void InstallExcelLikeFillImp();
  // Selection, moving rows and columns by their headers, mouse resizing, hiding, fit to contents, header
  // marks and the freeze commands. Drag selection also installs range selection and the row and column
  // move; resize to fit also installs the cell-size calculation.
  void InstallUserSelectRangeImp();
  void InstallUserDragSelectRangeImp();
  void InstallMoveRowsColsImp();
  void InstallUserResizeCellsImp();
  void InstallHideCellsImp();
  void InstallResizeToFitImp();
  void InstallCalcSizeImp();
  void InstallMarkEditHeaderImp();
  void InstallFreezeMenuHelperImp();
  // Cell tips: the tip plug-in with the tip-window factory's class (null: the standard factory), tips on
  // header cells and on the cell being edited, and the delay in milliseconds before a tip shows.
  void InstallCellTipPlugin(CRuntimeClass* factory, BOOL headerTips, BOOL editTips, UINT delay);
  // The spanned cells: covered, merged and floating cells, each with the drawing of spanned cells.
  void InstallCoveredCellsImp();
  void InstallMergeCellsImp();
  void InstallFloatCellsImp();
  void InstallDrawSpannedCellsImp();
  // Printing and print preview (the print feature, through the three printing hooks of PrintForward0..2).
  void InstallPrintImp();
  // The print feature's pagination of the job being printed: the page breaks (first row or column of each
  // page, ending with one past the last printed row or column, so n breaks make n - 1 pages), the page
  // indexes that hold the top row and left column the grid showed when printing began, and whether the
  // pagination was limited to the selection. Kept here so that every page of one job sees the same list.
  std::vector<ROWCOL> m_awRowBreaks, m_awColBreaks;
  int m_nTopRowPage = 0, m_nLeftColPage = 0;
  BOOL m_bPrintSelectionOnly = FALSE;
  // Floating cells (0 off, 1 delayed, 2 immediate evaluation) and merged cells (the low two bits as for
  // floating; 0x04 no vertical, 0x08 no horizontal merging, 0x10 hidden rows and columns take part); each
  // installs its feature first.
  void SetFloatCellsMode(WORD mode, BOOL redraw = TRUE);
  void SetMergeCellsMode(WORD mode, BOOL redraw = TRUE);
  // Undo applies when the command factory is installed, the command type is not 1 (rollback) and the
  // parameter object's undo switch is on; Record hands a created command (null: nothing) to AddCommand.
  BOOL UndoApplies(int commandType) const;
  void Record(CObject* command, int commandType);
  // One forwarder per feature operation: the installed feature's answer, else 0, FALSE, null or nothing.
  // CGXGridPrintImp
  virtual void PrintForward0(const GXForwardArgs& args = {});
  virtual void PrintForward2(const GXForwardArgs& args = {});
  virtual void PrintForward1(const GXForwardArgs& args = {});
  // CGXGridSortImp
  virtual void SortRows(const GXForwardArgs& args = {});
  virtual LRESULT SortForward2(const GXForwardArgs& args = {});
  virtual LRESULT StoreMoveDataRows(const GXForwardArgs& args = {});
  virtual void RefreshAfterSort(const GXForwardArgs& args = {});
  virtual void SortForward5(const GXForwardArgs& args = {});
  virtual void SortCols(const GXForwardArgs& args = {});
  virtual LRESULT SortForward7(const GXForwardArgs& args = {});
  virtual LRESULT StoreMoveDataCols(const GXForwardArgs& args = {});
  virtual void RefreshAfterSortCols(const GXForwardArgs& args = {});
  virtual void SortForward10(const GXForwardArgs& args = {});
  virtual void SortKeys(const GXForwardArgs& args = {});
  // CGXGridCoveredCellsImp
  virtual BOOL SetCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags, int commandType);
  virtual CGXRange* GetCoveredCellsRowCol(ROWCOL row, ROWCOL col, CGXRange& out);
  virtual BOOL StoreCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, BOOL set);
  virtual void UpdateCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags, BOOL createHint);
  virtual void WidenRangeByCoveredCells(CGXRange& range);
  // CGXGridFloatCellsImp
  virtual LRESULT FloatCellsForward5(const GXForwardArgs& args = {});
  // CGXGridMergeCellsImp
  virtual LRESULT MergeCellsForward4(const GXForwardArgs& args = {});
  virtual BOOL CanMergeStyles(const CGXStyle& a, const CGXStyle& b);
  // CGXCommandFactory
  virtual BOOL Undo();
  virtual BOOL Redo();
  virtual void BeginTransaction(LPCTSTR name);
  virtual void CommitTransaction();
  virtual void RollbackTransaction();
  virtual void UpdateUndoMenuText(const GXForwardArgs& args = {});
  virtual void UpdateRedoMenuText(const GXForwardArgs& args = {});
  virtual void AddCommand(CObject* command, int commandType);
  virtual void RemoveLastCommand(int commandType = 0);
  virtual void RestoreCurrentCell(ROWCOL row, ROWCOL col, BOOL moveGrid = TRUE);
  virtual BOOL EnableDataUndoRecording(BOOL enable);
  virtual CObject* DetachDataUndoInfo();
  virtual BOOL ApplyDataUndoInfo(CObject* info, DWORD_PTR a, DWORD_PTR b);
  virtual void DiscardDataUndoInfo();
  virtual LRESULT ExecuteCommand(const GXForwardArgs& args = {});
  // CGXGridResizeToFitImp
  virtual LRESULT ResizeToFitForward0(const GXForwardArgs& args = {});
  virtual LRESULT ResizeToFitForward1(const GXForwardArgs& args = {});
  // CGXGridHideCellsImp
  virtual BOOL HideRows(ROWCOL from, ROWCOL to, BOOL hide = TRUE, UINT flags = GX_UPDATENOW,
                        const BOOL* hidden = nullptr, int commandType = 0);
  virtual BOOL HideCols(ROWCOL from, ROWCOL to, BOOL hide = TRUE, UINT flags = GX_UPDATENOW,
                        const BOOL* hidden = nullptr, int commandType = 0);
  virtual BOOL IsRowHidden(ROWCOL row) const;
  // The hide feature's jumps over runs of hidden lines (the line itself without the feature): walks over
  // rows and columns take them so that a million hidden rows cost what one does.
  ROWCOL NextShownRow(ROWCOL row) const;
  ROWCOL PrevShownRow(ROWCOL row) const;
  ROWCOL NextShownCol(ROWCOL col) const;
  ROWCOL PrevShownCol(ROWCOL col) const;
  // The same in client indices (frozen rows, then the scrolled ones from the first scrolled row on).
  ROWCOL NextShownClientRow(ROWCOL clientRow) const;
  ROWCOL NextShownClientCol(ROWCOL clientCol) const;
  // The hide feature's first line at or after the given one that may be hidden (GX_INVALID: none is, as
  // without the feature).
  ROWCOL NextHiddenRow(ROWCOL row) const;
  ROWCOL NextHiddenCol(ROWCOL col) const;
  virtual BOOL IsColHidden(ROWCOL col) const;
  virtual BOOL StoreHideRow(ROWCOL row, BOOL hide);
  virtual BOOL StoreHideCol(ROWCOL col, BOOL hide);
  // CGXGridFindReplaceImp
  virtual void SetFindRequest(LPCTSTR text, BOOL flag, DWORD flags);
  virtual void FindReplaceForward5(const GXForwardArgs& args = {});
  virtual void FindReplaceForward6(const GXForwardArgs& args = {});
  virtual void FindReplaceForward0(const GXForwardArgs& args = {});
  virtual void FindReplaceForward7(const GXForwardArgs& args = {});
  // CGXGridUserSelectRangeImp
  // Every engine change of the selection goes through here. With a position: the range there becomes the
  // given one, ordered, cut to whole rows under the row-selecting click flags, and widened to whole rows,
  // columns or table where its top or left is 0; the user-selection feature hears of it first. Without a
  // position: the whole selection is cleared and the kept selection range is given up.
  virtual void SetSelection(POSITION pos, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right);
  // Whether the parameter object keeps a current selection range (the newest range of the selection list,
  // the one the selection frame follows); set by the user-selection feature.
  BOOL KeepsCurrentSelRange() const { return m_pParam && m_pParam->m_bKeepsCurrentSelRange; }
  virtual void SelectRangeForward4(const GXForwardArgs& args = {});
  virtual LRESULT SelectRangeForward5(const GXForwardArgs& args = {});
  virtual void SelectRangeForward6(const GXForwardArgs& args = {});
  virtual void SelectRangeForward8(const CGXRange& range, BOOL flag);
  virtual void SelectRangeForward9(BOOL flag);
  // CGXGridExcelLikeFrameImp
  virtual void SelectionFrameForward0(const GXForwardArgs& args = {});
  // CGXGridExcelLikeFillImp
  virtual void FillForward5(const GXForwardArgs& args = {});
  virtual void FillForward6(const GXForwardArgs& args = {});
  // CGXGridUserDragSelectRangeImp
  virtual BOOL BeginDragSelect(ROWCOL row, ROWCOL col);
  virtual LRESULT DragSelectForward4(const GXForwardArgs& args = {});
  virtual LRESULT DragSelectForward5(const GXForwardArgs& args = {});
  virtual void EndDragSelect();
  // CGXGridMoveRowsColsImp
  virtual BOOL StoreMoveRows(ROWCOL from, ROWCOL to, ROWCOL dest);
  virtual BOOL StoreMoveCols(ROWCOL from, ROWCOL to, ROWCOL dest);
  virtual BOOL MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int commandType);
  virtual BOOL MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int commandType);
  virtual void UpdateMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint);
  virtual void UpdateMovedCols(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint);
  // CGXGridUserResizeCellsImp
  virtual LRESULT UserResizeForward4(const GXForwardArgs& args = {});
  virtual void UserResizeForward5(const GXForwardArgs& args = {});
  virtual void UserResizeForward7(const GXForwardArgs& args = {});
  virtual void UserResizeForward6(const GXForwardArgs& args = {});
  // CGXGridFreezeMenuHelperImp
  virtual void FreezeCols();
  virtual BOOL CanFreezeCols();
  virtual void UnfreezeCols();
  virtual BOOL CanUnfreezeCols();
  virtual void FreezeRows();
  virtual BOOL CanFreezeRows();
  virtual void UnfreezeRows();
  virtual BOOL CanUnfreezeRows();
  // CGXGridDirectCopyMoveCellsImp
  virtual LRESULT DirectCopyMoveForward1(const GXForwardArgs& args = {});
  virtual LRESULT DirectCopyMoveForward3(const GXForwardArgs& args = {});
  virtual LRESULT DirectCopyMoveForward0(const GXForwardArgs& args = {});
  virtual LRESULT DirectCopyMoveForward2(const GXForwardArgs& args = {});
  // CGXGridTextDataExchangeImp
  virtual LRESULT TextExchangeForward0(const GXForwardArgs& args = {});
  virtual LRESULT TextExchangeForward2(const GXForwardArgs& args = {});
  virtual LRESULT TextExchangeForward4(const GXForwardArgs& args = {});
  virtual LRESULT SetTextThroughGrid(const GXForwardArgs& args = {});
  // CGXGridStyleDataExchangeImp
  virtual LRESULT StyleExchangeForward0(const GXForwardArgs& args = {});
  virtual LRESULT StyleExchangeForward1(const GXForwardArgs& args = {});
  virtual LRESULT StyleExchangeForward2(const GXForwardArgs& args = {});
  // CGXGridCutPasteImp
  virtual LRESULT CutPasteForward2(const GXForwardArgs& args = {});
  virtual BOOL Cut(const CGXRangeList& ranges, UINT flags);
  virtual LRESULT CutPasteForward11(const GXForwardArgs& args = {});
  virtual LRESULT CutPasteForward12(const GXForwardArgs& args = {});
  virtual BOOL CanPaste();
  virtual LRESULT CutPasteForward13(const GXForwardArgs& args = {});
  virtual LRESULT CutPasteForward1(const GXForwardArgs& args = {});
  virtual LRESULT CutPasteForward10(const GXForwardArgs& args = {});
  virtual LRESULT CutPasteForward6(const GXForwardArgs& args = {});
  virtual BOOL CanCopy();
  virtual BOOL CanCut();
  virtual LRESULT CutPasteForward8(const GXForwardArgs& args = {});
  // The keys' cut: the selection (or the current cell) cut through the cut/paste feature.
  virtual BOOL CutSelection();
  virtual BOOL CopyTextToClipboard(const CGXRangeList& ranges);
  virtual BOOL CopyStylesToClipboard(const CGXRangeList& ranges, UINT flags);
  // CGXGridClearCellsImp
  virtual BOOL ClearCells(const CGXRangeList& ranges, UINT flags);
  virtual BOOL ClearCellsForward1(BOOL ctrlHeld);
  virtual BOOL CanClear();
  // The one rule of every clear (Delete and Ctrl+Delete, a cut, a fill shrunk over cells or writing an empty
  // value, a paste of an empty text): whether the cell may be emptied. A cell whose store is refused (read-only
  // while enforced, as a store judges it), a disabled cell, a cell whose control takes no typed text (nothing
  // could type its value back) and a cell the grid's OnDeleteCell refuses keep their value and style. The
  // cell's composed style and its control may be given by a caller that holds them; else they are looked up.
  BOOL CanClearCell(ROWCOL row, ROWCOL col);
  BOOL CanClearCell(ROWCOL row, ROWCOL col, const CGXStyle& composed, CGXControl* control);
  // The rule of every other change the user makes to cells (a paste, a fill, a replacement, cells moved or
  // copied onto them), as of typing: a cell whose store is refused (read-only while enforced, as a store
  // judges it) or a disabled cell is never changed by them, in value or style. From the cell's composed
  // style, given or looked up.
  BOOL CanChangeCell(ROWCOL row, ROWCOL col);
  BOOL CanChangeCell(const CGXStyle& composed) const;
  // CGXGridRangeNameImp
  virtual BOOL SetRangeName(LPCTSTR name, const CGXRange* range, DWORD_PTR value, UINT flags, int commandType);
  virtual LRESULT RangeNameForward1(const GXForwardArgs& args = {});
  virtual BOOL DeleteRangeName(LPCTSTR name, UINT flags, int commandType);
  // CGXGridExtraFeatureBImp
  virtual LRESULT ExtraFeatureBForward0(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureBForward1(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureBForward2(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureBForward3(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureBForward4(const GXForwardArgs& args = {});
  virtual void ExtraFeatureBForward5(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureBForward6(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureBForward7(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureBForward8(const GXForwardArgs& args = {});
  virtual void ExtraFeatureBForward9(const GXForwardArgs& args = {});
  // CGXGridExtraFeatureCImp
  virtual LRESULT ExtraFeatureCForward4(const GXForwardArgs& args = {});
  virtual LRESULT ExtraFeatureCForward5(const GXForwardArgs& args = {});
  // Operations of the plug points that are not plain forwarders.
  // The keys' copy and paste (Ctrl+C, Ctrl+V, Ctrl+Insert, Shift+Insert) reach the cut/paste feature.
  virtual BOOL Copy();
  virtual BOOL Paste();
  virtual void Beep();
  // A find or replace found nothing more (the text that was looked for): beeps by default.
  virtual void OnTextNotFound(LPCTSTR /*text*/) { Beep(); }
  virtual BOOL RangeListContains(ROWCOL row, ROWCOL col, const CGXRangeList& list) const;
  virtual BOOL CallEmptyHook(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c);
  virtual void EmptyHook(DWORD_PTR, DWORD_PTR, DWORD_PTR) {}
  virtual INT_PTR GetSelectedRows(std::vector<ROWCOL>& rows, BOOL wholeRowsOnly, BOOL withCurrentCell);
  virtual BOOL GetSelectedRowIntervals(CDWordArray& starts, CDWordArray& ends, BOOL wholeRowsOnly,
                                       BOOL withCurrentCell);
  virtual BOOL CopyRangeList(CGXRangeList& out, BOOL withCurrentCell);
  virtual void RefreshHeaders(ROWCOL row, ROWCOL col, UINT flag);
  virtual BOOL CanStartSelection(ROWCOL, ROWCOL) { return TRUE; }
  // Around every change of the selection by the user-selection feature (range or null, dragging, by key):
  // the first may refuse the change (the base allows it), the second runs after it; grid classes override
  // the second to react to the user's selection.
  virtual BOOL OnPrepareSelectionChange(const CGXRange* /*range*/, BOOL /*dragging*/, BOOL /*byKey*/) {
    return TRUE;
  }
  virtual void OnSelectionChanged(const CGXRange* range, BOOL dragging, BOOL byKey);
  virtual void SelectedTextOfCurrentCell(CString& out);
  BOOL CutOneRange(const CGXRange& range, UINT flags);
  WORD QueryFloatingMode() const;
  WORD QueryMergingMode() const;
  // Floating and merged cells through their features (nothing, FALSE without them). The range evaluators
  // also answer FALSE without evaluating while the mode is off or the grid suspends it.
  void RecalcFloatCells(const CGXRange& range, int flag);
  BOOL CalcFloatCellsInRange(const CGXRange& range);
  void UpdateFloatCellsAfterChange(const CGXRange& range, UINT flags);
  BOOL GetFloatedCellsRange(ROWCOL row, ROWCOL col, CGXRange& out);
  void RedrawFloatCells(const CGXRange& range, UINT flags);
  void WidenRangeByFloatCells(CGXRange& range);
  // The spans of floated cells: a pool of the grid's own while printing, else the parameter object's.
  CGXSpanCellPool* GetFloatCellsPool();
  void RecalcMergedCells(const CGXRange& range, int flag);
  BOOL CalcMergedCellsInRange(const CGXRange& range);
  void UpdateMergedCellsAfterChange(const CGXRange& range, UINT flags);
  BOOL GetMergedCellsRange(ROWCOL row, ROWCOL col, CGXRange& out, int direction);
  void RedrawMergedCells(const CGXRange& range, UINT flags);
  void WidenRangeByMergedCells(CGXRange& range);
  BOOL m_bSuspendFloating = FALSE, m_bSuspendMerging = FALSE;
  // Find and replace through the find feature (FALSE without it).
  BOOL SearchNextMatch(BOOL flag);
  BOOL SearchFromCell(ROWCOL* row, ROWCOL* col, DWORD flags);
  // The selection frame (nothing without the frame feature). It follows the cells only while the grid or
  // one of its children has the focus; the lock hides it and returns the previous state (0 without it).
  void UpdateExcelLikeFrame(const GXForwardArgs& args = {});
  void DrawExcelLikeFrame(CDC* dc, BOOL eraseOld, const CGXRange* newRange);
  // Set while a painted block asks the frame to be drawn around it again.
  BOOL m_bFramePaintPass = FALSE;
  BOOL LockExcelLikeFrame(BOOL lock, BOOL redraw);
  // After rows or columns were inserted or removed the kept selection range sits elsewhere on screen: the
  // frame feature forgets the frame it drew and draws it anew around that range (nothing while no range
  // is kept, updates are locked or there is no window).
  void RefreshExcelLikeFrame();
  void SetExcelLikeFillImp(CGXGridExcelLikeFillImp* imp, BOOL autoDelete) { SetFeature(imp, autoDelete); }
  // Header marking of a changed current cell (kind 0 both headers, 1 column, 2 row) through its feature.
  virtual void MarkEditHeaders(ROWCOL row, ROWCOL col, int kind, UINT flags);
  BOOL IsCellSelected(ROWCOL row, ROWCOL col) const;

  // ---- Clipboard settings (read by the cut/paste and data-exchange features) ------------------------
  // The clipboard flags: 0x0001/0x0002 include the header rows/columns, 0x0008 the text format, 0x0010 the
  // styles format, 0x0020 composed styles, 0x0100 ask when a pasted block differs from the target, 0x0200/
  // 0x0400 pasting adds no rows/columns, 0x0800 stored styles with the stored-value kind, 0x1000 escapes
  // for carriage return, line feed and tab inside a cell's text.
  DWORD m_nClipboardFlags = 0x0008 | 0x0010;
  // Between copied cells (empty: a tab), and the characters that end a pasted field (empty: a tab).
  CString m_sCopySeparator;
  CString m_sPasteSeparator;
  // The rows and columns of the block that the last text or styles copy wrote.
  ROWCOL m_nLastCopiedRows = 0, m_nLastCopiedCols = 0;

  // ---- Cell copy and move (the direct-copy half of the editing features) -----------------------------
  // Copies the stored styles of `source` to the block starting at (destRow, destCol). The source is read
  // into a snapshot first, so an overlapping destination copies the original cells.
  virtual BOOL CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol, UINT flags = GX_INVALIDATE);
  // As CopyCells, then the source cells that the destination does not cover are cleared.
  virtual BOOL MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol, UINT flags = GX_INVALIDATE);
  // Auto-scroll while the mouse is held outside the grid (or a key or a scroll-bar button is held). The grid
  // starts a request (StartAutoScroll and the request fields below); the auto-scroll plug-in serves its
  // timer 992 and ends it. AutoScrollStep (the engine's own timer handler) and StopAutoScroll reach the
  // plug-in, installing it first when the grid has none.
  virtual void StartAutoScroll(BOOL capture, int vertical, int horizontal);
  virtual void AutoScrollStep();
  virtual void StopAutoScroll();
  void InstallAutoScrollPlugin();
  BOOL IsAutoScrolling() const { return m_bAutoScroll; }
  // The acceleration state: the step delay (80 ms at the start, down to 0) and the step factor (1 to 80).
  int GetAutoScrollDelay() const;
  int GetAutoScrollFactor() const;
  // The request besides the directions: set by the plug-in's constructor; key mode repeats the key-down of
  // key (with the key data) instead of following the mouse; a scroll-bar code (SB_LINEUP...SB_PAGEDOWN, -1
  // none) scrolls as a held scroll-bar button; keep-alive survives the loss of the focus.
  BOOL m_bAutoScrollPluginInstalled = FALSE;
  BOOL m_bAutoScrollKeyMode = FALSE;
  int m_nAutoScrollBarCode = -1;
  UINT m_nAutoScrollKey = 0, m_nAutoScrollKeyData = 0;
  BOOL m_bAutoScrollKeepAlive = FALSE;
  // A press on a cell starts auto-scrolling (the grid's own auto-scroll; on unless a derived grid turns it off).
  BOOL m_bPressAutoScroll = TRUE;

  // ---- Drawing ------------------------------------------------------------------------------------------
  virtual void RedrawRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags = GX_INVALIDATE,
                           BOOL hint = FALSE);
  virtual void RedrawAll(UINT flags = GX_INVALIDATE, BOOL hint = FALSE);
  virtual void RedrawCell(ROWCOL row, ROWCOL col, UINT flags = GX_INVALIDATE, BOOL hint = FALSE);
  // Redraws the current cell once the selection list has become empty (its frame was left to the selection's).
  void RedrawCurrentCellOfEmptySelection();
  // A range received in a hint: rows over all columns, columns over all rows, the table, or the cells.
  void RedrawHintRange(const CGXRange& range, UINT flags, BOOL hint);
  // Repaints only the cells that the data object marks as changed (changed-cells mode, see DrawCellBlock).
  virtual BOOL RedrawChangedCells(BOOL recalc = FALSE, void* hint = nullptr, BOOL notify = FALSE);
  // The data object's changed-cell marks and recalculation (FALSE or nothing without a data object).
  virtual BOOL IsDataCellChanged(ROWCOL row, ROWCOL col);
  virtual void NotifyDataCellDrawn(ROWCOL row, ROWCOL col, BOOL flag);
  virtual void DataObjectNotice();
  virtual void DataObjectBegin(BOOL flag);
  virtual void DataObjectRecalc();
  virtual BOOL DataObjectErrorText(CString& out);
  // Set while the data object is not to be told anything (DataObjectNotice stays silent).
  BOOL m_bNoDataObjectNotice = FALSE;
  BOOL IsChangedCellsMode() const { return m_bChangedCellsMode; }
  // The spanned-cells drawing feature (covered, merged and floating cells); nothing without it.
  void SetFeature(CGXDrawSpannedCellsImp* imp, BOOL autoDelete = TRUE);
  virtual LRESULT PrepareSpannedCells(ROWCOL frozenRows, ROWCOL frozenCols, ROWCOL topRow, ROWCOL leftCol,
                                      ROWCOL lastRow, ROWCOL lastCol, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                      ROWCOL right);
  LRESULT PrepareSpannedCellsForView(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right);
  void PrepareBlockSpans(CGXGridDrawContext& ctx);
  virtual void ApplyPrintMargins(CDC* dc, CPrintInfo* info);
  virtual void DrawPrintHeaderFooter(CDC* dc, CPrintInfo* info);
  virtual void BeforeDraw(ROWCOL lastRow, ROWCOL lastCol) { (void)lastRow, (void)lastCol; }
  virtual void DrawGrid(CDC* dc);
  virtual void DrawCellControl(CDC* dc, ROWCOL row, ROWCOL col, const CRect& rect, const CGXStyle& style);
  virtual void DrawCellBlock(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, CDC* dc);
  virtual void InvertCell(CDC* dc, ROWCOL row, ROWCOL col, const CRect& rect);
  virtual void FillLineRect(CDC* dc, int x, int y, int cx, int cy, int kind, int index, UINT flags);
  virtual void SubtractBorders(CRect* out, const CRect& cell, const CGXStyle& style, BOOL inner = TRUE);
  virtual void AddBorders(CSize* out, int cx, int cy, const CGXStyle& style);
  // Selects the style's zoomed font and returns the font that was selected before; with a previous style,
  // nothing happens (null) when the style has no font or the same font as the previous one.
  virtual CFont* SelectStyleFont(CDC* dc, const CGXStyle& style, const CGXStyle* previous = nullptr);
  virtual void FreeDrawingCaches();
  // The composed style of a cell from the per-grid cache (composed once, kept until the caches are freed).
  const CGXStyle* GetCachedCellStyle(ROWCOL row, ROWCOL col);
  // The pool of spare styles: at most 501 are kept, more are deleted.
  CGXStyle* NewWorkStyle();
  void ReleaseWorkStyle(CGXStyle* style);
  size_t GetWorkStylePoolSize() const { return m_stylePool.size(); }
  static constexpr size_t kMaxPooledStyles = 501;
  // The current-cell object: the current cell's held style and control, the keep-current-cell switch and
  // the four keep values. The names below are the grid's long-standing views of its parts.
  CGXGridCurrentCell m_currentCell;
  // Keep values: cached styles of these rows and columns survive FreeDrawingCaches (GX_INVALID = not set).
  ROWCOL (&m_nKeepStyleRows)[2] = m_currentCell.m_nKeepRows;
  ROWCOL (&m_nKeepStyleCols)[2] = m_currentCell.m_nKeepCols;
  // On: the current cell's composed style and control survive paints and cache releases.
  BOOL& m_bKeepCurrentCell = m_currentCell.m_bKeepCurrentCell;
  CPen* LookupPen(const CGXBorderPen& pen);
  // Pens from a LOGPEN (cosmetic) instead of geometric square-capped pens; off by default.
  static BOOL s_bIndirectPens;
  // Selects the font scaled by the zoom (in quarter points, at most 1023); returns the previous font.
  CFont* CreateZoomedFont(CDC* dc, const CGXFont& font);
  size_t CachedBrushCount() const { return m_brushCache.size(); }
  size_t CachedPenCount() const { return m_penCache.size(); }
  size_t CachedStyleCount() const { return m_styleCache.size(); }
  // Printer metrics on screen: while on and the parameter object's print device names a printer, the grid's
  // screen devices measure text with that printer (their attribute device), mapped so that its answers come
  // in display pixels; what the screen shows then breaks and wraps as the printout will. Off by default.
  BOOL m_bPrinterMetrics = FALSE;
  // Called by PrepareDC on screen; TRUE when the device was given the printer as its attribute device.
  BOOL PreparePrinterMetrics(CDC* dc);
  // The measuring device: the drawing block's device while one draws, else the grid's own client device
  // (created on first use, prepared, with the standard style's font selected).
  CDC* GetCachedDC();
  void ReleaseCachedDC();
  void FillWithInterior(CDC* dc, const CRect& rect, const CGXInteriorBrush& interior);
  // The steps of a cell block (see the call flow at the top).
  void PrepareCellFlags(CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j);
  void FillRowInteriorRuns(CGXGridDrawContext& ctx, ROWCOL i);
  void DrawBlockCell(CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j);
  void DrawColumnLines(CGXGridDrawContext& ctx, ROWCOL j);
  void DrawRowLines(CGXGridDrawContext& ctx, ROWCOL i);
  void DrawBeyondGrid(CGXGridDrawContext& ctx);
  void InvertMarkedCells(CGXGridDrawContext& ctx);
  void DrawCurrentCellFrameOnce(CGXGridDrawContext& ctx);
  CGXInteriorBrush StandardInterior() const;
  // An interior as printed without colours: a pattern black on white, a plain colour white.
  static CGXInteriorBrush BlackAndWhiteInterior(const CGXInteriorBrush& interior);
  // Measures the font selected into the paint device into the line height and character width (the
  // standard style's font at the start of every paint).
  void MeasurePaintFont(CDC* dc);
  // The draw context of the innermost block being drawn (null outside a paint).
  CGXGridDrawContext* GetDrawContext() const { return m_pDrawContext; }
  // The cell-by-cell drawing (per-row clipping, backgrounds painted in blocks); null until installed.
  void InstallOldDrawingImp();
  CGXAbstractGridOldDrawingImp* GetOldDrawingImp() const { return m_pOldDrawingImp.get(); }
  void CallOldDrawingHook(CGXGridDrawContext& ctx);
  BOOL m_bOldDrawing = FALSE;  // asks the installed cell-by-cell drawing to draw this grid
  // Border line on one side of rect, numbered as the style numbers its borders (GX_BORDER_TOP, _LEFT,
  // _BOTTOM, _RIGHT); a dashed or dotted pen becomes a pattern band on the interior's colour when an
  // interior is given.
  void DrawBorderLine(const CGXBorderPen& pen, const CRect& rect, int side, CDC* dc,
                      const CGXInteriorBrush* interior = nullptr);
  void DrawStyleBorders(CDC* dc, int left, int top, int right, int bottom, const CGXStyle& style);
  void DrawEdgeLine(CDC* dc, int kind, int index, UINT flags);
  void CalcTrackingLineRect(CRect* out, int kind, int index) const;
  BOOL ClientCellFromPoint(const POINT& pt, int* clientRow, int* clientCol, CRect* cellRect = nullptr) const;
  BOOL ClientCellFromPointOrLast(const POINT& pt, int* clientRow, int* clientCol) const;
  // The rectangle of a client cell, summing the client rows and columns before it; the cached form continues
  // the sums of the previous call while the indices do not go back. The kept sums start over with every
  // cell block and whenever the first scrolled row or column moved (they would be stale); it serves loops
  // inside one paint, where sizes do not change.
  void CalcClientCellRect(CRect* out, ROWCOL clientRow, ROWCOL clientCol) const;
  void CalcClientCellRectCached(CRect* out, ROWCOL clientRow, ROWCOL clientCol);
  // Buffered drawing: 1 draws through a memory bitmap; returns the previous value.
  int SetBufferedDrawing(int value) {
    int old = m_nBufferedDrawing;
    m_nBufferedDrawing = value;
    return old;
  }
  BOOL m_bDrawOuterFrame = FALSE;
  // Set when a paint arrived while printing; ending the printing is to repaint the window and clear it.
  BOOL m_bPaintDeferred = FALSE;
  // Invalidate through the window; every invalidation of the engine goes through here.
  void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
  void UpdateWindow();
  // The screen font of a style (zoomed), from the per-grid cache.
  CFont* LookupFont(const CGXStyle& style);
  CFont* LookupFont(const CGXFont& font);
  CBrush* LookupBrush(const CGXInteriorBrush& brush);
  COLORREF PropertyColor(int index) const;
  BOOL GridLinesAtLeftTop() const { return ParamSettings().m_nGridLinePosition == 0; }
  BOOL DrawsHorzLines() const;
  BOOL DrawsVertLines() const;
  BOOL PrintsBlackAndWhite() const;
  // Drawing settings of this grid alone (the shared ones are the parameter object's).
  UINT m_nDragLineStyle = PS_DOT;       // pen style of the dragging line of a user move or resize
  BOOL m_bNeedsOwnBackground = FALSE;   // read by the controls while DrawCellControl runs
  BOOL m_bInvertCurrentCellOnce = FALSE;

  // ---- Scrolling ----------------------------------------------------------------------------------------
  virtual BOOL BringCellIntoView(ROWCOL row, ROWCOL col, UINT flags = GX_UPDATENOW, BOOL floatCells = FALSE);
  virtual BOOL ScrollByCells(int direction, ROWCOL count);
  virtual void RefreshScrollBars(BOOL noRepaint = FALSE, BOOL onlyIfCountsChanged = FALSE);
  virtual void SetScrollBarPolicy(int bar, int policy, BOOL redraw = TRUE);
  int GetScrollBarPolicy(int bar) const;
  virtual BOOL AllowTopRowChange(ROWCOL) { return TRUE; }
  virtual BOOL AllowLeftColChange(ROWCOL) { return TRUE; }
  virtual void TopRowChanged() {}
  virtual void LeftColChanged() {}
  virtual int SetScrollPosScaled(int bar, ROWCOL pos, BOOL redraw = TRUE);
  virtual void SetScrollRangeScaled(int bar, ROWCOL minPos, ROWCOL maxPos, BOOL redraw = TRUE);
  virtual ROWCOL GetScrollPosScaled(int bar) const;
  virtual void GetScrollRangeScaled(int bar, int* minPos, int* maxPos) const;
  // ScrollByCells, and when it scrolled the other views hear of it (update hints).
  virtual BOOL ScrollAndNotify(int direction, ROWCOL count);
  void GetTopLeftCell(int* row, int* col) const;
  int GetScrollScale(int bar) const { return bar == SB_VERT ? m_nVScrollScale : m_nHScrollScale; }
  BOOL SuspendScrollBarUpdates(BOOL suspend);
  void ScrollWindowArea(int dx, int dy, const RECT* scroll, const RECT* clip);
  ROWCOL CalcLastTopRow() const;
  ROWCOL CalcLastLeftCol() const;
  BOOL m_bNoUpdateAfterScroll = FALSE;
  BOOL m_bDoNotBringIntoView = FALSE;
  // Refresh the scroll bars even while the grid window is hidden in a registered parent window.
  BOOL m_bRefreshHidden = FALSE;

  // ---- Current cell and editing -------------------------------------------------------------------------
  BOOL QueryCurrentCell(ROWCOL* row, ROWCOL* col, BOOL evenWhilePrinting = FALSE) const;
  BOOL MatchesCurrentCell(ROWCOL row, ROWCOL col, BOOL evenWhilePrinting = FALSE) const;
  CGXControl* ControlOfCurrentCell() const;
  BOOL CurrentCellIsActive() const;
  void StoreCurrentCell(BOOL set, ROWCOL row = 0, ROWCOL col = 0);
  virtual BOOL MoveCurrentCellTo(ROWCOL row, ROWCOL col, UINT flags = GX_UPDATENOW | 0x08);
  virtual BOOL ValidateCellChange(BOOL target, ROWCOL row, ROWCOL col, ROWCOL oldRow, ROWCOL oldCol);
  virtual BOOL CompleteCellEdit(BOOL store = TRUE, UINT flags = GX_UPDATENOW, BOOL hint = TRUE);
  virtual void SaveCurrentCellEdit(BOOL validate);
  virtual void HideCurrentCellWindow();
  virtual void SetWarningText(LPCSTR text);
  virtual void ShowWarningText();
  const CString& GetWarningText() const { return m_sWarningText; }
  virtual BOOL ValidateCurrentCellNow(BOOL skip = FALSE);
  // The sheet-tab window's question before it changes sheets (0x0792): TRUE lets the change go on.
  virtual BOOL AllowSheetChange(GXSheetChange change);
  virtual BOOL OnGridFocusChange(BOOL gained);
  virtual void OnMoveCurrentCellHook(ROWCOL, ROWCOL) {}
  // Notifications from the cell controls (defaults: TRUE or nothing).
  virtual BOOL OnStartEditing(ROWCOL, ROWCOL) { return TRUE; }
  // A control's value changed: the contents are modified; the answer goes back to the control.
  virtual BOOL NotifyCellModified(ROWCOL, ROWCOL) {
    SetModifiedFlag(TRUE);
    return TRUE;
  }
  virtual BOOL OnEndEditing(ROWCOL, ROWCOL) { return TRUE; }
  virtual void OnCanceledEditing(ROWCOL, ROWCOL) {}
  virtual BOOL OnCellStored(ROWCOL, ROWCOL) { return TRUE; }
  virtual BOOL OnLeftCell(ROWCOL, ROWCOL, ROWCOL, ROWCOL) { return TRUE; }
  virtual BOOL OnDeleteCell(ROWCOL, ROWCOL) { return TRUE; }
  virtual void OnControlInitialized(ROWCOL row, ROWCOL col);
  // Tells the process-wide cell observers (when installed) about this grid's current cell.
  virtual void NotifyCellObservers();
  // While set, focus changes leave the current cell alone (the grid's focus lock).
  BOOL m_bLockFocus = FALSE;
  virtual void OnCellChanged(ROWCOL, ROWCOL) {}
  virtual void OnButtonClickedInCell(ROWCOL, ROWCOL) {}
  // The two hooks a control asks before it changes the cell's text on its own (the first when editing ends,
  // the second before Delete empties an inactive cell); both allow by default.
  virtual BOOL OnControlFirstHook(ROWCOL, ROWCOL) { return TRUE; }
  virtual BOOL OnControlSecondHook(ROWCOL, ROWCOL) { return TRUE; }
  // OLE object cells: the viewer with which the cell (row, col) opens its object, for the viewer id its
  // style names (-1 when none). The grid may supply or replace it; the base keeps the given one.
  virtual void GetOleViewer(ROWCOL row, ROWCOL col, LONG viewerId, CGXOleViewer*& viewer) {
    (void)row, (void)col, (void)viewerId, (void)viewer;
  }
  // A window-based control's window lies over this rectangle (client coordinates): every paint leaves it
  // alone, direct and buffered, and then forgets it.
  void RecordWindowRect(const CRect& rect) {
    if (!rect.IsRectEmpty()) m_windowRects.push_back(rect);
  }
  const std::vector<CRect>& GetRecordedWindowRects() const { return m_windowRects; }
  // Raises the focus guard for the life of the returned scope: the grid ignores the focus changes a control
  // makes while it moves, shows, hides or re-creates its window.
  [[nodiscard]] CGXFlagScope GuardFocus() { return CGXFlagScope(m_bFocusGuard, TRUE); }
  BOOL IsFocusGuarded() const { return m_bFocusGuard; }
  // Set while a combo box cell's list is dropped down.
  BOOL m_bListDropped = FALSE;
  // Set while a drop-down cell creates and places its list.
  BOOL m_bDropDownInProgress = FALSE;
  // Draws every cell as inactive, also the one being edited (its window stays where it is).
  BOOL m_bDrawAllCellsInactive = FALSE;
  ROWCOL GetFirstScrolledRow() const { return m_bPrinting ? m_nPrintTopRow : m_nTopRow; }
  ROWCOL GetFirstScrolledCol() const { return m_bPrinting ? m_nPrintLeftCol : m_nLeftCol; }
  BOOL m_bWarningShown = FALSE;
  BOOL m_bHasFocus = FALSE;
  BOOL m_bDragCells = FALSE;                  // presses on the selection border start dragging the cells
  // The current-cell style cache switches: while the first is on (and the second off) a keyboard move from
  // an unmodified control keeps the current cell's style; the second off lets a newly entered cell paint
  // at once.
  BOOL m_bCacheCurrentCellStyle = TRUE, m_bCacheCurrentCellStyle2 = FALSE;

  // ---- Keyboard and directional moves ------------------------------------------------------------------
  virtual BOOL ProcessKeyMessage(CWnd* source, UINT message, UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnGridKeyDown(UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnGridKeyUp(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnGridChar(UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnGridDbcsChar(const CString&, UINT, UINT) { return FALSE; }
  virtual BOOL OnGridDeadChar(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnGridSysKeyDown(UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnGridSysKeyUp(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnGridSysChar(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnGridSysDeadChar(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL NoModifierKeyDown() const;
  virtual BOOL MoveCurrentCellBy(int direction, ROWCOL count = 1, BOOL allowSelectionChange = TRUE);
  virtual BOOL MoveCurrentCellByKey(int direction, ROWCOL count = 1);
  // Page Up / Page Down with a repeat count: one page move per repeat (GX_MOSTTOP_PAGE, GX_MOSTBOTTOM_PAGE).
  void MovePagesByKey(int direction, ROWCOL pages);
  // From (*row, *col) in direction 1..4: the first cell not hidden, not covered away and enabled.
  virtual BOOL FindEnabledCell(int direction, ROWCOL* row, ROWCOL* col);
  virtual void ScrollForCurrentCell(int direction, ROWCOL count);
  // Called before a move down, right or to an end of the grid with the row and column the move may reach
  // (GX_MOVE_TO_END for the last row or column); empty here.
  virtual void OnMoveExtentHook(ROWCOL, ROWCOL) {}
  static constexpr ROWCOL GX_MOVE_TO_END = static_cast<ROWCOL>(-2);
  virtual BOOL IsCellEnterable(ROWCOL row, ROWCOL col);
  // Whether the user sees the cell as a cell of its own: its row and column have a size (neither hidden nor
  // sized to 0), or, for a covered range, the cell is its top-left cell and any of the range's rows and any of
  // its columns has a size (the range shows over those). Find and replace pass the other cells by: their
  // values never show. A walk over many cells asks CGXShownCells, which keeps the lines' answers.
  BOOL IsCellShown(ROWCOL row, ROWCOL col);
  BOOL IsMoveInProgress() const { return m_bMoveInProgress; }

  // ---- Window messages ----------------------------------------------------------------------------------
  virtual BOOL OnGridSetCursor(HWND wnd, UINT hitCode, UINT message);
  virtual BOOL OnGridVScroll(UINT code, UINT pos, CScrollBar* bar);
  virtual BOOL OnGridHScroll(UINT code, UINT pos, CScrollBar* bar);
  virtual BOOL OnGridSize(UINT type, int cx, int cy);
  virtual BOOL OnGridShowWindow(BOOL show, UINT status);
  // Closes the process-wide find dialog when it belongs to this grid's window; FALSE (default follows).
  virtual BOOL OnGridDestroy();
  // The registered find message: the find dialog's notification goes to the find feature.
  virtual void OnGridFindReplace(CFindReplaceDialog* dialog);
  // A scroll bar shared with a registered parent (its items 0xEA00 horizontal, 0xEA10 vertical) for a bar the
  // window lacks; null otherwise.
  virtual CScrollBar* GetSharedScrollBar(int bar) const;
  // Captures the mouse for the grid window; the window that had the capture before (null when none).
  HWND SetCapture();
  // Invalidates the whole grid window.
  void InvalidateGrid(BOOL erase = TRUE);
  virtual BOOL OnGridSettingChange(UINT flag);
  virtual void OnGridSysColorChange();
  virtual UINT OnGridGetDlgCode(UINT defaultCode);
  // WM_CTLCOLOR* from the grid's children (the current cell's control windows): the current cell's text and
  // interior colours and the cached interior brush; null without a current cell.
  virtual HBRUSH OnGridCtlColor(CDC* dc, CWnd* wnd, UINT kind);
  // WM_MOUSEACTIVATE: TRUE with *result set when the grid (or its current control) decides.
  virtual BOOL OnGridMouseActivate(CWnd* topLevel, UINT hitCode, UINT message, LRESULT* result);
  // Activate-on-click (the parameter object's switch) for grids that are views: a click into an inactive
  // view takes the focus and is eaten.
  virtual BOOL OnGridKillFocus(HWND newFocus);
  virtual BOOL OnGridSetFocus(HWND oldFocus);
  virtual BOOL OnGridTimer(UINT_PTR id);
  virtual BOOL OnGridMouseWheel(UINT keys, short delta, CPoint pt);
  virtual BOOL OnGridCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL PreTranslateGridMessage(MSG* msg);
  virtual BOOL OnGridEraseBkgnd(CDC*) { return TRUE; }
  virtual void ShowScrollBar(int bar, BOOL show);
  // The private messages 0x0791, 0x07A3 and 0x07CB.
  // A sheet-tab window renamed tab `tab` of this grid: the parameter object takes the tab's name from the
  // sheet-tab interface and the other views hear of it (the sheet-name hint).
  virtual void UpdateSheetName(WPARAM tab);
  // The parameter object's answer to a sheet-tab window asking whether this sheet may be renamed.
  virtual DWORD GetParamWord() const { return ParamSettings().m_dwRenameSheet; }
  virtual void MoveByMessage(int code, int n);
  virtual void SuppressSizeHandling(BOOL suppress);
  // Plug-ins: owned by the grid, each offered every window message before the grid's own handling.
  void AddPlugin(CGXPluginComponent* plugin);
  virtual BOOL DispatchToPlugins(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  BOOL m_bMouseKeyboard = FALSE;  // mouse, scroll and cursor handling on once the grid is set up
  BOOL m_bInDialog = FALSE;       // set by the window when its parent is a dialog

  // ---- Mouse --------------------------------------------------------------------------------------------
  virtual BOOL OnGridMouseMove(UINT keys, CPoint pt);
  virtual BOOL OnGridLButtonDown(UINT keys, CPoint pt);
  virtual BOOL OnGridMButtonDown(UINT keys, CPoint pt);
  virtual BOOL OnGridRButtonDown(UINT keys, CPoint pt);
  virtual BOOL OnGridLButtonUp(UINT keys, CPoint pt);
  virtual BOOL OnGridMButtonUp(UINT keys, CPoint pt);
  virtual BOOL OnGridRButtonUp(UINT keys, CPoint pt);
  virtual BOOL OnGridLButtonDblClk(UINT keys, CPoint pt);
  virtual BOOL OnGridMButtonDblClk(UINT keys, CPoint pt);
  virtual BOOL OnGridRButtonDblClk(UINT keys, CPoint pt);
  virtual BOOL OnGridCancelMode();
  virtual BOOL OnLButtonCell(ROWCOL pressRow, ROWCOL pressCol, ROWCOL row, ROWCOL col, int x, int y, UINT keys,
                             WORD state);
  virtual BOOL OnMButtonCell(ROWCOL pressRow, ROWCOL pressCol, ROWCOL row, ROWCOL col, int x, int y, UINT keys,
                             WORD state);
  virtual BOOL OnRButtonCell(ROWCOL pressRow, ROWCOL pressCol, ROWCOL row, ROWCOL col, int x, int y, UINT keys,
                             WORD state);
  virtual BOOL OnLButtonClickedCell(ROWCOL row, ROWCOL col, UINT keys, CPoint pt);
  virtual BOOL OnMButtonClickedCell(ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
  virtual BOOL OnRButtonClickedCell(ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
  virtual BOOL OnLButtonDblClkCell(ROWCOL row, ROWCOL col, UINT keys, CPoint pt);
  virtual BOOL OnMButtonDblClkCell(ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
  virtual BOOL OnRButtonDblClkCell(ROWCOL, ROWCOL, UINT, CPoint) { return FALSE; }
  WORD GetPressState() const { return m_wPressState; }
  // The editing windows of the current cell's control share these: a press inside the window of the cell
  // (row, col) makes the cell current when it is not; the window's context-menu request goes to the grid
  // window (and from there to its parent) as if it had been made on the grid.
  virtual BOOL OnCellWindowLButtonDown(ROWCOL row, ROWCOL col);
  virtual BOOL OnCellWindowContextMenu(CWnd* wnd, CPoint pt);
  // The grid's focus guard: while set the grid ignores its own focus changes (a cell control moving the
  // focus between the grid and its editing window, or hiding that window).
  BOOL& FocusGuard() { return m_bFocusGuard; }

 protected:
  // Steps 3 to 11 of ComposeCellStyle: the base styles and the rest merged under the cell's own `style`.
  void ComposeOver(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard);
  enum class Button { left, middle, right };
  // Common first step of every press: FALSE when the press cannot start (then *code is not set).
  BOOL BeginPress(UINT keys, UINT otherButtons, CPoint pt, int* code, ROWCOL* row, ROWCOL* col);
  BOOL ButtonDown(Button button, UINT keys, CPoint pt);
  BOOL ButtonUp(Button button, UINT keys, CPoint pt);
  BOOL ButtonDblClk(Button button, UINT keys, CPoint pt);
  BOOL CallCellHandler(Button button, ROWCOL pressRow, ROWCOL pressCol, ROWCOL row, ROWCOL col, CPoint pt,
                       UINT keys, WORD state);
  // Adds the sizes of the shown rows (columns) first..last to `sum` as the sums above do; TRUE when it
  // ended past the limit.
  BOOL AddLineSizes(BOOL rows, ROWCOL first, ROWCOL last, int& sum, int limit) const;
  CPoint ClampMousePoint(CPoint pt) const;
  BOOL StartCellPress(Button button, UINT keys, CPoint pt, int code, ROWCOL row, ROWCOL col);
  void StartPressAutoScroll(ROWCOL row, ROWCOL col);
  void MeasureStandardFont();
  // The current cell's control, fetched again when it was released (null without a current cell).
  CGXControl* CurrentControl();
  void ReleaseCurrentControl();
  void LeaveCurrentCellForMove(CGXControl* control, ROWCOL row, ROWCOL col, UINT flags, int kind, BOOL* refused);
  void RefreshAfterStoredValue();
  void RedrawCurrentHeaders(ROWCOL row, ROWCOL col, int kind);
  void GiveFocusBack(HWND focus, BOOL editing);
  void DropTypedAhead(HWND focus);
  void SendCurrentCellHint(ROWCOL row, ROWCOL col, UINT flags);
  void JoinSelection(ROWCOL row, ROWCOL col, UINT flags);
  // The user-selection feature's selection handling (nothing without the feature).
  void ClearSelectionByUser();
  void SelectCellByUser(ROWCOL row, ROWCOL col);
  // One directional step run over rows (vertical) or columns; GX_INVALID when no step was possible.
  ROWCOL StepBackward(BOOL vertical, ROWCOL row, ROWCOL col, ROWCOL count, ROWCOL* seamSteps);
  ROWCOL StepForward(BOOL vertical, ROWCOL row, ROWCOL col, ROWCOL count);
  ROWCOL PageUpRows() const;
  // The standard font's line height and average width (left unchanged when the standard style has no font
  // or no device is at hand).
  void MeasureFontMetrics(int* height, int* width);
  void DrawGridDirect(CDC* dc);
  void DrawGridBuffered(CDC* dc);
  void PaintBlock(CDC* dc, const CRect& clip);
  void PaintBlockWithFrame(CDC* dc, const CRect& clip);
  // The two halves of ScrollByCells; `current` is the current cell's rectangle before the scroll (empty
  // without one), `queued` collects the rectangles to repaint once the contents moved.
  BOOL ScrollRows(int direction, ROWCOL count, const CRect& current, std::vector<CRect>& queued);
  BOOL ScrollCols(int direction, ROWCOL count, const CRect& current, std::vector<CRect>& queued);
  void RefreshBar(int bar, int policy, ROWCOL first, ROWCOL lastTop, ROWCOL pos, BOOL* visibilityChanged);
  BOOL HasScrollBar(int bar) const;
  // The window holding scroll bar `bar` (a shared scroll-bar control turns `bar` into SB_CTL); the control
  // of the current cell hears of a scroll (WM_VSCROLL / WM_HSCROLL) before it happens.
  HWND ScrollBarTarget(int& bar) const;
  HWND ThumbBar(int bar, CScrollBar* sender, int* target) const;
  // The limit of the area-bounded sums: twice the area's far edge. An empty area still limits them (to 1,
  // so they stop after the first row or column) - a limit of 0 would mean none and sum the whole grid.
  static int AreaSumLimit(LONG edge) { return edge > 0 ? 2 * edge : 1; }
  void TellCurrentControlOfScroll(UINT message, WPARAM wParam, LPARAM lParam);
  // Every kept answer about which rows and columns are shown: the last visible ones and the bottom row and
  // rightmost column reported to callers.
  void InvalidateShownCaches() {
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    m_nShownTopRow = m_nShownLeftCol = GX_INVALID;
  }
  // The undo heights of rows from..to: the stored height in units, or -1 where the default applies.
  std::unique_ptr<int[]> SaveRowHeightsForUndo(ROWCOL from, ROWCOL to) const;
  std::unique_ptr<int[]> SaveColWidthsForUndo(ROWCOL from, ROWCOL to) const;
  void StoreInsertedCells(ROWCOL first, ROWCOL count, const int* sizes, const CObArray* cellStyles,
                          const CObArray* lineStyles, ROWCOL otherCount, BOOL rows, CGXLongOperationScope& scope);
  // The row (rows TRUE) and column forms of insert, remove and size changes share one implementation.
  BOOL InsertLines(BOOL rows, ROWCOL first, ROWCOL count, const int* sizes, const CObArray* cellStyles,
                   const CObArray* lineStyles, ROWCOL otherCount, UINT flags, int commandType);
  BOOL RemoveLines(BOOL rows, ROWCOL from, ROWCOL to, UINT flags, int commandType);
  BOOL SetLineSizes(BOOL rows, ROWCOL from, ROWCOL to, int size, const int* sizes, UINT flags, int commandType);
  // AttachParam after Initialize: the new parameter object's missing objects, fonts and counts.
  void GiveAttachedParamItsObjects();
  void GiveParamSharedObjects();
  void GiveParamItsData();

  CWnd* m_pGridWnd = nullptr;
  CDocument* m_pDocument = nullptr;
  BOOL m_bFlag = FALSE;
  CGXGridParam* m_pParam = nullptr;
  BOOL m_bOwnParam = FALSE;
  BOOL m_bInitDone = FALSE;
  BOOL m_bPrinting = FALSE;
  CRect m_rectPrint;
  ROWCOL m_nPrintTopRow = 1, m_nPrintLeftCol = 1;
  int m_nPrintFontHeight = 15, m_nPrintFontWidth = 10;
  std::unique_ptr<CRect> m_pFixedArea;
  int m_nZoom = 100;
  BOOL m_bLockUpdate = FALSE;
  ROWCOL m_nTopRow = 1, m_nLeftCol = 1;
  int m_dyHeight = 15, m_dxWidth = 10;  // line height and average character width of the standard font
  BOOL m_bIgnoreFrozenRows = FALSE, m_bIgnoreFrozenCols = FALSE;
  mutable ROWCOL m_nLastVisibleRow = GX_INVALID, m_nLastVisibleCol = GX_INVALID;
  int m_cxFrame = 4, m_cyFrame = 4, m_cxBorder = 1, m_cyBorder = 1;
  HCURSOR m_hArrow = nullptr;
  UINT m_nFixedCursor = 0;
  UINT m_nCursorId = 0;

  // Base styles (pointers into the styles map, not owned).
  const CGXStyle* m_pStyleStandard = nullptr;
  const CGXStyle* m_pStyleColHeader = nullptr;
  const CGXStyle* m_pStyleRowHeader = nullptr;

  // Registered cell controls, owned; a one-entry cache in front of the map.
  std::map<WORD, std::unique_ptr<CGXControl>> m_controls;
  // Composition stops after the cell's own value while a value-text operation runs.
  BOOL m_bValueOnly = FALSE;
  CGXStyle m_scratchStyle;
  ROWCOL m_nShownTopRow = GX_INVALID, m_nShownLeftCol = GX_INVALID, m_nShownBottomRow = 0, m_nShownRightCol = 0;
  BOOL m_bShownRowEndsBefore = FALSE, m_bShownColEndsBefore = FALSE;
  CGXControl* m_pDefaultControl = nullptr;
  WORD m_nCachedControlId = 0xFFFF;
  CGXControl* m_pCachedControl = nullptr;
  std::vector<std::pair<void*, void (*)(void*)>> m_autoDelete;
  std::vector<std::unique_ptr<CGXPluginComponent>> m_plugins;
  std::unique_ptr<CGXAbstractGridOldDrawingImp> m_pOldDrawingImp;
  std::unique_ptr<CGXGridUpdateHintImp> m_pUpdateHintImp;
  CGXGridOptimizedUpdateImp* m_pOptimizedUpdateImp = nullptr;  // owned through the auto-delete list
  friend class CGXGridUpdateHintImp;
  friend class CGXGridOptimizedUpdateImp;
  friend class GXUpdateAxis;
  friend class CGXPrintImp;  // the print rectangle, the page's first row and column, the print pools
  std::unique_ptr<CGXSpanCellPool> m_pPrintFloatPool;
  // Feature pointers (owned through the auto-delete list when installed with autoDelete).
  CGXGridPrintImp* m_pPrintImp = nullptr;
  CGXGridSortImp* m_pSortImp = nullptr;
  CGXGridCoveredCellsImp* m_pCoveredCellsImp = nullptr;
  CGXGridFloatCellsImp* m_pFloatCellsImp = nullptr;
  CGXGridMergeCellsImp* m_pMergeCellsImp = nullptr;
  CGXCommandFactory* m_pCommandFactory = nullptr;
  CGXAbstractCalcSizeImp* m_pCalcSizeImp = nullptr;
  // (The update-hint feature, next in the classic order, is m_pUpdateHintImp above.)
  CGXGridResizeToFitImp* m_pResizeToFitImp = nullptr;
  CGXGridHideCellsImp* m_pHideCellsImp = nullptr;
  CGXGridFindReplaceImp* m_pFindReplaceImp = nullptr;
  CGXGridUserSelectRangeImp* m_pUserSelectRangeImp = nullptr;
  CGXGridExcelLikeFrameImp* m_pExcelLikeFrameImp = nullptr;
  CGXGridExcelLikeFillImp* m_pExcelLikeFillImp = nullptr;
  CGXGridUserDragSelectRangeImp* m_pUserDragSelectRangeImp = nullptr;
  CGXGridMoveRowsColsImp* m_pMoveRowsColsImp = nullptr;
  CGXGridUserResizeCellsImp* m_pUserResizeCellsImp = nullptr;
  // (The optimized-update feature, next in the classic order, comes with the update code.)
  CGXGridMarkEditHeaderImp* m_pMarkEditHeaderImp = nullptr;
  CGXGridFreezeMenuHelperImp* m_pFreezeMenuHelperImp = nullptr;
  CGXGridDirectCopyMoveCellsImp* m_pDirectCopyMoveCellsImp = nullptr;
  CGXGridTextDataExchangeImp* m_pTextDataExchangeImp = nullptr;
  CGXGridStyleDataExchangeImp* m_pStyleDataExchangeImp = nullptr;
  CGXGridCutPasteImp* m_pCutPasteImp = nullptr;
  CGXGridClearCellsImp* m_pClearCellsImp = nullptr;
  CGXGridRangeNameImp* m_pRangeNameImp = nullptr;
  CGXGridExtraFeatureBImp* m_pExtraFeatureBImp = nullptr;
  std::unique_ptr<CGXGridExtraFeatureCImp> m_pExtraFeatureCImp;
  CGXPluginComponent* m_pCellTipPlugin = nullptr;  // owned by the plug-in list
  std::unique_ptr<CGXGridListener> m_pListener;
  template <class T>
  void InstallFeature(T*& slot, T* imp, BOOL autoDelete) {
    slot = imp;
    if (imp && autoDelete) AddAutoDeleteObject(imp, [](void* p) { delete static_cast<T*>(p); });
  }
  BOOL m_bOwnParamSaved = FALSE;
  DWORD m_dwSwitchWord = 0;
  BOOL m_bUserResizing = FALSE;
  int m_nResizeMode = 0, m_nResizeIndex = 0;
  BOOL m_bSelRangeCached = FALSE;
  CGXRange m_rgCachedSel;
  HWND m_hLastFocus = nullptr;  // the window that had the focus before the grid took it

  // Drawing state and caches.
  int m_nBufferedDrawing = 0;
  BOOL m_bChangedCellsMode = FALSE;
  std::vector<CRect> m_queuedRects;  // cells left undrawn in changed-cells mode (emptied by every paint)
  std::vector<CRect> m_windowRects;  // the controls' windows over cells, left out of the next paint
  void ExcludeWindowRects(CDC* dc);
  BOOL m_bScrollRangeChanged = FALSE;
  int m_nDrawNesting = 0;
  std::map<std::vector<BYTE>, std::unique_ptr<CFont>> m_fontCache;
  std::map<std::vector<BYTE>, std::unique_ptr<CBrush>> m_brushCache;
  std::map<std::vector<BYTE>, std::unique_ptr<CPen>> m_penCache;
  std::map<std::uint64_t, std::unique_ptr<CGXStyle>> m_styleCache;
  std::vector<std::unique_ptr<CGXStyle>> m_stylePool;
  std::vector<std::unique_ptr<CGXStyle>> m_deleteLater;
  CGXGridDrawContext* m_pDrawContext = nullptr;
  CGXDrawSpannedCellsImp* m_pDrawSpannedCellsImp = nullptr;
  std::shared_ptr<CDC> m_pCachedDC;  // shared_ptr: deleted where CDC is complete
  // The printer metrics' device: a wrapper of the print device's printer context (the device owns it).
  std::shared_ptr<CDC> m_pMetricsPrinter;
  CFont* m_pCachedDCOldFont = nullptr;
  // The line patterns of dashed and dotted pens (styles 1 to 4, horizontal and vertical), made once.
  std::shared_ptr<CBitmap> m_linePatternBitmaps[4][2];
  std::shared_ptr<CBrush> m_linePatternBrushes[4][2];
  CBrush* LinePatternBrush(UINT penStyle, BOOL vertical);
  // Running sums of CalcClientCellRectCached.
  ROWCOL m_nCachedRectRow = 0, m_nCachedRectCol = 0;
  int m_nCachedRectY = 0, m_nCachedRectX = 0;
  ROWCOL m_nCachedRectTop = GX_INVALID, m_nCachedRectLeft = GX_INVALID;
  void ResetClientCellRectCache() { m_nCachedRectTop = m_nCachedRectLeft = GX_INVALID; }

  // Scrolling state.
  BOOL m_bScrolling = FALSE;
  int m_nVScrollPolicy = 0, m_nHScrollPolicy = 0;
  int m_nVScrollScale = 2, m_nHScrollScale = 2;
  ROWCOL m_nLastRefreshRows = GX_INVALID, m_nLastRefreshCols = GX_INVALID;
  BOOL m_bInRefreshScrollBars = FALSE, m_bSuspendScrollBars = FALSE;
  BOOL m_bAutoScroll = FALSE;
  int m_nAutoScrollV = 0, m_nAutoScrollH = 0;
  BOOL m_bAutoScrollNew = FALSE;
  CGXAutoScrollPlugin* m_pAutoScrollPlugin = nullptr;  // owned through the plug-in list
  friend class CGXAutoScrollPlugin;
  int m_nWheelRemainder = 0;
  // The top row and left column before the scroll in progress (0 while none is).
  ROWCOL m_nPrevTopRow = 0, m_nPrevLeftCol = 0;

  // Current-cell state.
  CString m_sWarningText;
  BOOL m_bValidationBusy = FALSE, m_bPendingRefresh = FALSE, m_bFocusLost = FALSE;
  BOOL m_bKeepCurrentStyle = FALSE;
  BOOL m_bCompletingEdit = FALSE;
  BOOL m_bMoveInProgress = FALSE;
  // Where a keyboard move from an unmodified control started (GX_INVALID-1 = taken at the first step).
  ROWCOL m_nAnchorRow = 0, m_nAnchorCol = 0, m_nAnchorTopRow = 0, m_nAnchorLeftCol = 0;
  // Double-byte input: a lead byte waits for its trail byte.
  BOOL m_bDbcsLeadPending = FALSE;
  BYTE m_cDbcsLead = 0;
  ROWCOL m_nLastInitRow = GX_INVALID, m_nLastInitCol = GX_INVALID;
  ROWCOL m_nCurrentRow = 0, m_nCurrentCol = 0;
  CGXControl*& m_pCurrentControl = m_currentCell.m_pControl;
  BOOL m_bCurrentValid = FALSE;
  BOOL m_bFocusGuard = FALSE;

  // Mouse state.
  ROWCOL m_nLastMouseRow = 0, m_nLastMouseCol = 0;
  WORD m_wPressState = 0;
  UINT m_nPressKeys = 0;
  ROWCOL m_nPressRow = 0, m_nPressCol = 0;
  BOOL m_bDragMoved = FALSE;
  int m_cxLastClient = 0, m_cyLastClient = 0;  // the client size less the scroll bars, 0 when unknown
  CPoint m_ptLastWindowPos{0, 0};
  BOOL m_bParentWasMaximized = FALSE;
  BOOL m_bSuppressSize = FALSE;
  void RememberClientSize(int cx, int cy);
  // What a removal took off the screen, measured before the store half ran (for the optimized redraw).
  int m_nRemovedExtent = 0;
  BOOL m_bRemovedShown = TRUE;

};

// Hides the selection frame while it lives (the row and column operations hold one while the structure
// changes); the frame shows again, redrawn, when the previous state was unlocked.
class CGXExcelLikeFrameLock {
 public:
  explicit CGXExcelLikeFrameLock(CGXGridCore* grid) : m_pGrid(grid), m_bOld(grid->LockExcelLikeFrame(TRUE, TRUE)) {}
  ~CGXExcelLikeFrameLock() { m_pGrid->LockExcelLikeFrame(m_bOld, TRUE); }
  CGXExcelLikeFrameLock(const CGXExcelLikeFrameLock&) = delete;
  CGXExcelLikeFrameLock& operator=(const CGXExcelLikeFrameLock&) = delete;

 private:
  CGXGridCore* m_pGrid;
  BOOL m_bOld;
};
