// The grid's cell store for grids with formulas: every cell's value, formula and style lives in one engine
// sheet (GxFormula.h) instead of the base's rows of styles. Row and column base styles (row 0, column 0 and
// calls with a negative type) stay in the base class.
//
// Coordinates: engine rows are grid rows (a row below 1 becomes 1), engine columns are grid columns - 1 (never
// below 0).
//
// Call flow of the main entry points:
//   StoreStyle  -> SetValueText (number, "#N/A", apostrophe, "=", date, text) | SetNumberValue | SetTextValue
//                  and the cell's own style
//   GetStyle    -> the cell's style, then its value text (type 0) or expression text (type 1)
//   Insert/Remove/MoveRows, CopyCells, MoveCells -> engine shift -> RecordUndo -> base
//   ApplyUndoInfo <- the command factory (the grid's undo and redo)
//   Serialize   -> schema 1, base, settings, names ("%s=%s"), cell records
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/CGXData.h"
#include "grid/core/CGXStyle.h"
#include "grid/formula/GxTypes.h"
#include "platform/base/CString.h"
#include "platform/base/CStringArray.h"

class CGXGridCore;
class CGXGridParam;
class CGXStylesMap;

// A cell's style as the engine keeps it: an owned CGXStyle.
class CGXFormulaCellStyle : public GX_CELL_STYLE {
 public:
  explicit CGXFormulaCellStyle(CGXStyle* style) : m_style(style) {}
  GX_CELL_STYLE* Clone() const override;
  CGXStyle& Style() { return *m_style; }
  const CGXStyle& Style() const { return *m_style; }

 private:
  std::unique_ptr<CGXStyle> m_style;
};

// What an operation on the sheet removed or replaced, for its undo and redo.
class CGXUndoEngineCellsInfo : public CObject {
  DECLARE_DYNAMIC(CGXUndoEngineCellsInfo)

 public:
  CGXUndoEngineCellsInfo() = default;
  ~CGXUndoEngineCellsInfo() override;
  CGXUndoEngineCellsInfo(const CGXUndoEngineCellsInfo&) = delete;
  CGXUndoEngineCellsInfo& operator=(const CGXUndoEngineCellsInfo&) = delete;

  GX_CELL* m_removed = nullptr;   // records removed by the operation (not entered, owned)
  GX_CELL* m_replaced = nullptr;  // records replaced by the recalculation that followed
  GX_RANGE m_clearRange;
  BOOL m_bClear = FALSE;
  GX_NAMED_RANGE* m_savedName = nullptr;
  // The sheet's range names as they stood before a removal of rows or columns or a move of cells, which the
  // undo puts back (the shifting that undoes such an operation would move a name elsewhere).
  std::vector<std::pair<std::string, GX_RANGE>> m_names;
  BOOL m_bNames = FALSE;
};

// A compiled formula (ParseExpression's result, EvaluateFormula's input).
class CGXFormula {
 public:
  CGXFormula();
  virtual ~CGXFormula();
  CGXFormula(const CGXFormula&) = delete;
  CGXFormula& operator=(const CGXFormula&) = delete;
  GX_EXPR* GetExpr() const { return m_expr; }

 private:
  GX_EXPR* m_expr;
};

// Number format kinds of the grid's formatting that the sheet looks at.
namespace gxfs {
constexpr UINT kFormatGeneral = 3;
constexpr UINT kFormatDate = 11, kFormatTime = 13, kFormatDateTime = 18;
constexpr UINT kConstraintViolation = 52780;  // the base style's string resource
BOOL IsDateFormat(UINT format);                // 8, 9, 10, 11, 13 or 18
}  // namespace gxfs

class CGXFormulaSheet : public CGXData {
  DECLARE_SERIAL(CGXFormulaSheet)

 public:
  CGXFormulaSheet();
  ~CGXFormulaSheet() override;
  CGXFormulaSheet(const CGXFormulaSheet&) = delete;

  void Serialize(CArchive& ar) override;
  void DeleteContents() override;
  // The base's, then the engine sheet's cells, changed ranges and names.
  virtual void FreeAllStyles();
  CGXData& operator=(const CGXData& other) override;
  CGXFormulaSheet& operator=(const CGXFormulaSheet& other) {
    operator=(static_cast<const CGXData&>(other));
    return *this;
  }
  void InitParam(void* param) override;

  BOOL InsertRows(ROWCOL nRow, ROWCOL nCount) override;
  BOOL InsertCols(ROWCOL nCol, ROWCOL nCount) override;
  BOOL RemoveRows(ROWCOL nFrom, ROWCOL nTo) override;
  BOOL RemoveCols(ROWCOL nFrom, ROWCOL nTo) override;
  BOOL MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override;
  BOOL MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override;
  BOOL CopyCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol) override;
  BOOL MoveCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                 BOOL createUndoInfo) override;
  // The same with the recalculation mode: recording stays on for the recalculation only in modes 0 and 3.
  BOOL MoveCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo, BOOL record, int mode);
  BOOL StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* style, int mode, int nType = 0) override;
  BOOL GetStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType = 0) const override;
  BOOL MoveDataRows(const CGXRange& sortRange, const CDWordArray& order) override;
  BOOL MoveDataCols(const CGXRange& sortRange, const CDWordArray& order) override;

  BOOL IsCellChanged(ROWCOL nRow, ROWCOL nCol) const override;
  void SetCellChanged(ROWCOL nRow, ROWCOL nCol, BOOL changed) override;
  void SetRangeChanged(const CGXRange& range) override;
  void Recalc(BOOL force) override;
  void RequestMessage() override;
  BOOL GetMessage(CString& text) override;
  CObject* DetachUndoInfo() override;
  BOOL ApplyUndoInfo(CObject* undoInfo, BOOL record, BOOL redo) override;
  BOOL EnableUndoRecording(BOOL enable) override;
  BOOL SetRangeName(LPCTSTR name, const CGXRange& range, CObject* undoInfo) override;
  BOOL GetRangeName(LPCTSTR name, CGXRange& range) const override;
  BOOL DeleteRangeName(LPCTSTR name, CObject*& undoInfo, BOOL record) override;

  // Contents.
  virtual BOOL SetExpression(ROWCOL nRow, ROWCOL nCol, LPCTSTR text);
  virtual BOOL SetTextValue(ROWCOL nRow, ROWCOL nCol, LPCTSTR text);
  virtual BOOL SetNumberValue(ROWCOL nRow, ROWCOL nCol, double number);
  // 0 when no grid uses the sheet (it lends the style).
  virtual BOOL SetNumberFormat(ROWCOL nRow, ROWCOL nCol, UINT format, UINT places);
  // The format kind, or 0 when the cell has none; the places through `places` (may be null).
  virtual UINT GetNumberFormat(ROWCOL nRow, ROWCOL nCol, UINT* places) const;
  virtual BOOL SetValueText(ROWCOL nRow, ROWCOL nCol, LPCTSTR text);
  // 1 when a number was delivered; 0 (and 0.0) for any other value or no cell.
  virtual BOOL GetNumberValue(ROWCOL nRow, ROWCOL nCol, double& number) const;
  virtual void GetValueText(ROWCOL nRow, ROWCOL nCol, CString& text) const;
  virtual void GetExpressionText(ROWCOL nRow, ROWCOL nCol, CString& text) const;
  virtual BOOL EvaluateFormula(CString& text, const CGXFormula& formula);
  virtual BOOL EvaluateExpressionText(CString& text, LPCTSTR expression);
  virtual BOOL ParseExpression(LPCTSTR text, CGXFormula& formula);
  virtual void GetCellValueText(GX_CELL* cell, CString& text) const;
  virtual void GetCellExpressionText(GX_CELL* cell, CString& text) const;

  // The engine settings.
  void SetIterationLimit(int n);
  int GetIterationLimit() const;
  void SetBlanksAreZeros(BOOL b);
  BOOL GetBlanksAreZeros() const;
  void SetRecalcMode(BOOL manual);
  BOOL GetRecalcMode() const;
  void SetRecalcMethod(int method);
  int GetRecalcMethod() const;
  // Also registers the "Constraint Violation" base style when a grid with a styles map uses the sheet.
  void SetConstraintCheck(BOOL b);
  BOOL GetConstraintCheck() const;

  // Every named range as "%s=%s" (name, reference), one per line; and their definition from such texts.
  void GetNamesText(CStringArray& names) const;
  void SetNamesText(const CStringArray& names);

  // Collects the engine's undo chain into the pending information (after the recalculation when asked).
  void RecordUndo(BOOL clearAllowed, BOOL withRecalc);

  int GetEngineSheet() const { return m_nSheet; }
  GX_CELL* FindCell(ROWCOL nRow, ROWCOL nCol) const;
  // The id of the "Constraint Violation" base style in the grid's styles map (registered on first need).
  WORD ConstraintStyleId(CGXStylesMap* map) const;

  static int32_t EngineRow(ROWCOL row) { return row < 1 ? 1 : static_cast<int32_t>(std::min<ROWCOL>(row, GX_MAX_ROW)); }
  static int32_t EngineCol(ROWCOL col) {
    return col < 1 ? 0 : static_cast<int32_t>(std::min<ROWCOL>(col - 1, GX_MAX_COL));
  }

 private:
  void EnterRecords(GX_CELL* chain, BOOL markChanged);
  GX_CELL* CreateEmptyCell(int32_t row, int32_t col);
  void ReplaceCell(GX_CELL* fresh);
  void StoreCellStyle(GX_CELL* cell, const CGXStyle& style, int mode);
  GX_RANGE ToEngine(const CGXRange& range) const;
  BOOL MoveData(BOOL rows, const CGXRange& range, const CDWordArray& order);
  void LoadRecord(CArchive& ar);
  CGXUndoEngineCellsInfo* PendingInfo();

  mutable WORD m_nConstraintStyle = 0;
  int m_nSheet = 0;
  BOOL m_bUndoRecording = FALSE;
  CGXUndoEngineCellsInfo* m_pUndoInfo = nullptr;
};

// The least range-name feature of a grid: names stored through the sheet's hooks, their setting and
// deletion recorded as undoable commands.
class CGXFormulaRangeNameImp;
// Installs the formula sheet's per-grid parts: the range-name feature and value storage through
// expressions (the grid's default storage type 1).
void GXInstallFormulaSheetFeatures(CGXGridCore* grid);
