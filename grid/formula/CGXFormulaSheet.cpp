#include "grid/formula/CGXFormulaSheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxarchive.h"
#include "grid/core/gxnumbertext.h"
#include "grid/core/gxstrings.h"
#include "grid/formula/GxFormula.h"
#include "platform/base/CArchive.h"
#include "platform/base/CDWordArray.h"
#include "platform/base/CException.h"
#include "platform/base/COleDateTime.h"
#include "platform/base/CStringArray.h"
#include "platform/base/ResourceTable.h"

IMPLEMENT_DYNAMIC(CGXUndoEngineCellsInfo, CObject)
IMPLEMENT_SERIAL(CGXFormulaSheet, CGXData, 1)

namespace {

// The undo records of a sheet live in its engine lists: when the sheet goes first, the information that
// still points at them must forget them (the lists free them), never free them again.
std::map<const CGXUndoEngineCellsInfo*, const CGXFormulaSheet*>& LiveInfos() {
  static std::map<const CGXUndoEngineCellsInfo*, const CGXFormulaSheet*> infos;
  return infos;
}

void FreeChain(GX_CELL* chain) {
  while (chain) {
    GX_CELL* next = chain->next;
    chain->next = nullptr;
    _gx_cell_free(chain);
    chain = next;
  }
}

// Puts `chain` in front of `list`.
GX_CELL* Prepend(GX_CELL* chain, GX_CELL* list) {
  if (!chain) return list;
  GX_CELL* last = chain;
  while (last->next) last = last->next;
  last->next = list;
  return chain;
}

CGXStyle* StyleOf(const GX_CELL* cell) {
  return cell && cell->style ? &static_cast<CGXFormulaCellStyle*>(cell->style)->Style() : nullptr;
}

// A number's value text: 14 significant digits. A whole number that 14 digits would give back as another
// (123456789012345 as 1.2345678901234e+14) is written in as many as read back as it, so that every reader of the
// value (a number format, the sort, a spin or choice cell) takes the number the cell keeps.
CString ValueNumberText(double v) {
  if (v == std::trunc(v)) return CString(gx::ExactNumberText(v == 0 ? 0.0 : v).c_str());
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14g", v);
  return CString(buf);
}

// Whether a grid cell has a place in the engine (rows 1 to 8388607, columns 1 to 4096). Every door that stores
// a cell or a block refuses any other place: the engine coordinates would clamp it into the last row or column.
bool InEngine(ROWCOL nRow, ROWCOL nCol) {
  return nRow >= 1 && nCol >= 1 && nRow <= static_cast<ROWCOL>(GX_MAX_ROW) &&
         nCol - 1 <= static_cast<ROWCOL>(GX_MAX_COL);
}

bool IsFormulaKind(const GX_CELL* cell) {
  return cell->kind() == GX_KIND_FORMULA || cell->kind() == GX_KIND_CONSTFORMULA;
}

// Holds the sheet's undo-recording flag at a value for a scope.
class RecordingScope {
 public:
  RecordingScope(int sheet, BOOL on) : m_sheet(_gx_sheet_get(sheet)), m_old(m_sheet->undoRecording) {
    m_sheet->undoRecording = on ? 1 : 0;
  }
  ~RecordingScope() { m_sheet->undoRecording = m_old; }
  RecordingScope(const RecordingScope&) = delete;
  RecordingScope& operator=(const RecordingScope&) = delete;

 private:
  GX_SHEET* m_sheet;
  int32_t m_old;
};

using NameRanges = std::vector<std::pair<std::string, GX_RANGE>>;

// The sheet's range names with their ranges, for an undo to put back; none when there is no memory for them
// (the names then stay where the undo's shifting takes them).
NameRanges SheetNameRanges(int sheet) {
  NameRanges names;
  try {
    for (const GX_NAMED_RANGE* n = _gx_sheet_get(sheet)->names; n; n = n->next)
      names.emplace_back(n->name ? n->name : "", n->range);
  } catch (const std::bad_alloc&) {
    names.clear();
  }
  return names;
}

// Gives the names that still exist their kept ranges; whether one of them changed.
bool RestoreNameRanges(int sheet, const NameRanges& names) {
  bool changed = false;
  for (const auto& [name, range] : names) {
    GX_NAMED_RANGE* record = _gx_find_name(sheet, name.c_str(), nullptr);
    if (!record || (record->range.w0 == range.w0 && record->range.w1 == range.w1 && record->range.w2 == range.w2))
      continue;
    record->range = range;
    changed = true;
  }
  if (changed) _gx_sheet_get(sheet)->modified = 1;
  return changed;
}

// Keeps the names as they stood before an operation in the information its undo applies (the first
// operation's, when several record into one).
void KeepNamesForUndo(CGXUndoEngineCellsInfo* info, NameRanges&& names) {
  if (!info || info->m_bNames || names.empty()) return;
  info->m_names = std::move(names);
  info->m_bNames = TRUE;
}

constexpr plat::ResourceTable::StringEntry kStrings[] = {{gxfs::kConstraintViolation, "Constraint Violation"}};

}  // namespace

namespace gxfs {
BOOL IsDateFormat(UINT f) { return f == 8 || f == 9 || f == 10 || f == 11 || f == 13 || f == 18; }
}  // namespace gxfs

// ---- Small classes ------------------------------------------------------------------------------------------

GX_CELL_STYLE* CGXFormulaCellStyle::Clone() const { return new CGXFormulaCellStyle(m_style->Clone()); }

CGXUndoEngineCellsInfo::~CGXUndoEngineCellsInfo() {
  auto& live = LiveInfos();
  live.erase(this);
  FreeChain(m_removed);
  FreeChain(m_replaced);
  if (m_savedName) {
    _gx_free(m_savedName->name);
    _gx_free(m_savedName);
  }
}

CGXFormula::CGXFormula() : m_expr(static_cast<GX_EXPR*>(_gx_alloc(sizeof(GX_EXPR)))) { *m_expr = GX_EXPR(); }
CGXFormula::~CGXFormula() { _gx_expr_free(m_expr); }

// ---- Life ---------------------------------------------------------------------------------------------------

CGXFormulaSheet::CGXFormulaSheet() {
  m_nSheet = _gx_sheet_create();
  if (m_nSheet == 0) throw std::bad_alloc();
  _gx_sheet_get(m_nSheet)->owner = this;
}

CGXFormulaSheet::~CGXFormulaSheet() {
  delete m_pUndoInfo;
  m_pUndoInfo = nullptr;
  // Undo records still held by commands live in this sheet's lists: they go with the sheet.
  for (auto it = LiveInfos().begin(); it != LiveInfos().end();) {
    if (it->second == this) {
      auto* info = const_cast<CGXUndoEngineCellsInfo*>(it->first);
      info->m_removed = info->m_replaced = nullptr;
      it = LiveInfos().erase(it);
    } else {
      ++it;
    }
  }
  _gx_sheet_destroy(m_nSheet);
}

CGXUndoEngineCellsInfo* CGXFormulaSheet::PendingInfo() {
  if (!m_pUndoInfo) {
    m_pUndoInfo = new CGXUndoEngineCellsInfo;
    LiveInfos()[m_pUndoInfo] = this;
  }
  return m_pUndoInfo;
}

void CGXFormulaSheet::DeleteContents() {
  CGXData::DeleteContents();
  if (!m_nSheet) return;
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  // Cells, changed ranges, the count arrays and names; settings stay.
  GX_RANGE all;
  _gx_make_range_ref(&all, 1, 0, GX_MAX_ROW, GX_MAX_COL, 0);
  {
    RecordingScope off(m_nSheet, FALSE);
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    for (auto& list : sh->lists) {
      std::vector<GX_CELL*> cells;
      GX_LIST_ITER it;
      _gx_list_iter_init(&list, &it);
      while (GX_CELL* c = _gx_list_iter_next(&it)) cells.push_back(c);
      for (GX_CELL* c : cells)
        if (c->entered()) _gx_delete_cell(m_nSheet, c);
    }
  }
  _gx_free_changed_ranges(m_nSheet);
  _gx_free_names(m_nSheet);
  FreeChain(sh->undoChain);
  sh->undoChain = nullptr;
  sh->pendingClear = 0;
}

void CGXFormulaSheet::FreeAllStyles() { DeleteContents(); }

void CGXFormulaSheet::InitParam(void* param) {
  // Copies and cut cells go through the sheet in place, so that their references follow.
  if (auto* p = static_cast<CGXGridParam*>(param)) {
    p->m_bDirectCopyPaste = TRUE;
    p->m_bDirectCutPaste = TRUE;
    p->m_bMarkingEnabled = TRUE;
  }
}

// ---- Cells --------------------------------------------------------------------------------------------------

GX_CELL* CGXFormulaSheet::FindCell(ROWCOL nRow, ROWCOL nCol) const {
  if (!InEngine(nRow, nCol)) return nullptr;
  return _gx_find_cell(m_nSheet, EngineRow(nRow), EngineCol(nCol));
}

// The record takes the place of whatever stands there (recorded for undo while recording).
void CGXFormulaSheet::ReplaceCell(GX_CELL* fresh) {
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  if (GX_CELL* old = _gx_find_cell(m_nSheet, fresh->row, fresh->col)) {
    _gx_remove_cell(m_nSheet, old);
    if (sh->undoRecording)
      _gx_push_undo_cell(m_nSheet, old);
    else
      _gx_cell_free(old);
  }
  _gx_insert_cell(m_nSheet, fresh);
}

// A cell with no value, keeping the style of one that stood there.
GX_CELL* CGXFormulaSheet::CreateEmptyCell(int32_t row, int32_t col) {
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  GX_CELL* cell = _gx_cell_alloc(&sh->lists[0]);
  cell->setKind(GX_KIND_TEXT);
  cell->setValueType(GX_VAL_NONE);
  cell->row = row;
  cell->col = col;
  if (GX_CELL* old = _gx_find_cell(m_nSheet, row, col)) {
    cell->style = _gx_cell_take_style(old);
    _gx_delete_cell(m_nSheet, old);
  }
  try {
    _gx_insert_cell(m_nSheet, cell);
  } catch (...) {
    _gx_cell_free(cell);
    throw;
  }
  return cell;
}

void CGXFormulaSheet::StoreCellStyle(GX_CELL* cell, const CGXStyle& style, int mode) {
  if (CGXStyle* own = StyleOf(cell)) {
    own->MergeStyle(style, mode);
  } else {
    std::unique_ptr<CGXStyle> copy(style.Clone());
    cell->style = new CGXFormulaCellStyle(copy.release());
  }
  // The value lives in the engine record, never in the style.
  StyleOf(cell)->SetIncludeValue(FALSE);
}

void CGXFormulaSheet::EnterRecords(GX_CELL* chain, BOOL markChanged) {
  while (chain) {
    GX_CELL* next = chain->next;
    chain->next = nullptr;
    if (markChanged) chain->flags |= GX_CF_CHANGED;
    chain->flags &= ~(GX_CF_VISITED | GX_CF_ACTIVE);
    if (chain->kind() == GX_KIND_FORMULA) chain->flags |= GX_CF_DIRTY;
    GX_RANGE at;
    _gx_make_cell_ref(&at, chain->row, chain->col, 0);
    ReplaceCell(chain);
    _gx_add_changed_range(m_nSheet, &at);
    chain = next;
  }
}

GX_RANGE CGXFormulaSheet::ToEngine(const CGXRange& range) const {
  CGXRange r(range);
  r.ExpandToCells(1, 1, std::max<ROWCOL>(GetRowCount(), 1), std::max<ROWCOL>(GetColCount(), 1));
  GX_RANGE e;
  _gx_make_range_ref(&e, EngineRow(std::min(r.top, r.bottom)), EngineCol(std::min(r.left, r.right)),
                     EngineRow(std::max(r.top, r.bottom)), EngineCol(std::max(r.left, r.right)), 0);
  return e;
}

// ---- Contents -----------------------------------------------------------------------------------------------

BOOL CGXFormulaSheet::SetExpression(ROWCOL nRow, ROWCOL nCol, LPCTSTR text) {
  if (!text || text[0] != '=' || !InEngine(nRow, nCol)) return FALSE;
  const int32_t row = EngineRow(nRow), col = EngineCol(nCol);
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  if (_gx_enter_formula(m_nSheet, row, col, text, 0, nullptr)) {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    GX_CELL* cell = _gx_find_cell(m_nSheet, row, col);
    if (cell && cell->kind() == GX_KIND_FORMULA) {
      GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
      cell->flags |= GX_CF_DIRTY;
      _gx_recalc_cell(m_nSheet, cell);
    }
    RecordUndo(TRUE, FALSE);
    return TRUE;
  }
  // "ERROR: %s (Pos %d)" inside "Cell %s%d: %s".
  const int code = _gx_get_error_code();
  char error[300];
  std::snprintf(error, sizeof error, "ERROR: %s (Pos %d)", _gx_error_text(code), _gx_get_error_pos());
  const char* letters = _gx_column_letters(col);
  const std::string message = std::string("Cell ") + (letters ? letters : "") + std::to_string(row) + ": " + error;
  const size_t n = std::min(message.size(), sizeof sh->messageBuffer - 1);
  std::memcpy(sh->messageBuffer, message.data(), n);
  sh->messageBuffer[n] = '\0';
  sh->reportPending = 0;
  return FALSE;
}

BOOL CGXFormulaSheet::SetTextValue(ROWCOL nRow, ROWCOL nCol, LPCTSTR text) {
  if (!InEngine(nRow, nCol)) return FALSE;
  const int32_t row = EngineRow(nRow), col = EngineCol(nCol);
  if (!text || !*text) {
    // No value; the cell stays only for a style of its own.
    try {
      GX_CELL* old = _gx_find_cell(m_nSheet, row, col);
      if (old && !old->style) {
        _gx_delete_cell(m_nSheet, old);
      } else if (old) {
        CreateEmptyCell(row, col);
      }
    } catch (const std::bad_alloc&) {
      return FALSE;
    }
    return TRUE;
  }
  return _gx_enter_text(m_nSheet, row, col, text) != 0;
}

BOOL CGXFormulaSheet::SetNumberValue(ROWCOL nRow, ROWCOL nCol, double number) {
  if (!InEngine(nRow, nCol)) return FALSE;
  return _gx_enter_number(m_nSheet, EngineRow(nRow), EngineCol(nCol), number) != 0;
}

BOOL CGXFormulaSheet::SetNumberFormat(ROWCOL nRow, ROWCOL nCol, UINT format, UINT places) {
  CGXGridCore* grid = GetFirstGrid();
  if (!grid || !InEngine(nRow, nCol)) return FALSE;
  CGXStyle* style = grid->NewWorkStyle();
  style->SetFormat(format).SetPlaces(places);
  BOOL ok = TRUE;
  try {
    GX_CELL* cell = FindCell(nRow, nCol);
    if (!cell) cell = CreateEmptyCell(EngineRow(nRow), EngineCol(nCol));
    StoreCellStyle(cell, *style, gxOverride);
  } catch (const std::bad_alloc&) {
    ok = FALSE;
  }
  grid->ReleaseWorkStyle(style);
  return ok;
}

UINT CGXFormulaSheet::GetNumberFormat(ROWCOL nRow, ROWCOL nCol, UINT* places) const {
  const CGXStyle* style = StyleOf(FindCell(nRow, nCol));
  if (!style || !style->IsIncluded(GX_IN_FORMAT)) return 0;
  if (places) *places = style->GetPlaces();
  return style->GetFormat();
}

namespace {
// A cell's own number format set without a grid (the date recognition of SetValueText).
void SetOwnFormat(GX_CELL* cell, UINT format, UINT places) {
  if (!cell->style) cell->style = new CGXFormulaCellStyle(new CGXStyle);
  StyleOf(cell)->SetFormat(format).SetPlaces(places);
}
}  // namespace

BOOL CGXFormulaSheet::SetValueText(ROWCOL nRow, ROWCOL nCol, LPCTSTR text) {
  if (!InEngine(nRow, nCol)) return FALSE;
  const CString value(text ? text : "");
  if (value.IsEmpty()) return SetTextValue(nRow, nCol, "");
  try {
    double number = 0;
    if (GetDrawingAndFormatting().ParseDisplayText(value, number)) {
      if (!SetNumberValue(nRow, nCol, number)) return FALSE;
      GX_CELL* cell = FindCell(nRow, nCol);
      if (const CGXStyle* s = StyleOf(cell); s && s->IsIncluded(GX_IN_FORMAT) && gxfs::IsDateFormat(s->GetFormat()))
        SetOwnFormat(cell, gxfs::kFormatGeneral, 15);
      return TRUE;
    }
    // The library has no function table: "#N/A" in any case is the engine's empty result itself, which
    // shows and edits as "#N/A" (handing "=NA()" to the parser would drop the entry).
    if (value.CompareNoCase("#N/A") == 0) {
      GX_CELL* cell = CreateEmptyCell(EngineRow(nRow), EngineCol(nCol));
      cell->setKind(GX_KIND_NUMBER);
      cell->setValueType(GX_VAL_EMPTY);
      return TRUE;
    }
    if (value[0] == '\'') return SetTextValue(nRow, nCol, value.Mid(1)) || value.GetLength() == 1;
    if (value[0] == '=') return SetExpression(nRow, nCol, value);
    COleDateTime date;
    if (date.ParseDateTime(value, 0, LANG_USER_DEFAULT) && date.GetStatus() == COleDateTime::valid) {
      const double d = static_cast<DATE>(date);
      if (!SetNumberValue(nRow, nCol, d)) return FALSE;
      GX_CELL* cell = FindCell(nRow, nCol);
      const CGXStyle* s = StyleOf(cell);
      const UINT have = s && s->IsIncluded(GX_IN_FORMAT) ? s->GetFormat() : 0;
      if (!(have == 8 || have == 9 || have == 10 || have == 11 || have == 18)) {
        const double whole = static_cast<double>(static_cast<long long>(d));
        SetOwnFormat(cell, d == whole ? gxfs::kFormatDate : whole == 0 ? gxfs::kFormatTime : gxfs::kFormatDateTime, 0);
      }
      return TRUE;
    }
    return SetTextValue(nRow, nCol, value);
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

BOOL CGXFormulaSheet::GetNumberValue(ROWCOL nRow, ROWCOL nCol, double& number) const {
  number = 0.0;
  GX_CELL* cell = FindCell(nRow, nCol);
  if (!cell) return FALSE;
  if (cell->kind() == GX_KIND_FORMULA && !(cell->flags & GX_CF_VISITED)) {
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    _gx_recalc_cell(m_nSheet, cell);
  }
  if (cell->valueType() != GX_VAL_NUMBER) return FALSE;
  number = cell->value.number;
  return TRUE;
}

void CGXFormulaSheet::GetValueText(ROWCOL nRow, ROWCOL nCol, CString& text) const {
  GetCellValueText(FindCell(nRow, nCol), text);
}

void CGXFormulaSheet::GetExpressionText(ROWCOL nRow, ROWCOL nCol, CString& text) const {
  GetCellExpressionText(FindCell(nRow, nCol), text);
}

namespace {
// The text of a value by its type (shared by the value and expression texts). The value text shows a number
// with 14 digits (a whole number with as many as it takes); the expression text, which the editor, undo and the clipboard read back, with as many as
// give the same number again.
CString ValueTypeText(const GX_CELL* cell, bool expression) {
  char buf[9];
  const bool apostrophe = expression;
  switch (cell->valueType()) {
    case GX_VAL_NONE: return CString();
    case GX_VAL_EMPTY: return CString("#N/A");
    case GX_VAL_ERROR: return CString("Error!");
    case GX_VAL_NUMBER:
      return expression ? CString(_gx_number_text(cell->value.number == 0 ? 0.0 : cell->value.number).c_str())
                        : ValueNumberText(cell->value.number);
    case GX_VAL_TEXT:
    case GX_VAL_INLINE: {
      const char* t = _gx_cell_text(cell, buf);
      return apostrophe ? CString("'") + CString(t ? t : "") : CString(t ? t : "");
    }
    default: return CString("Value?");
  }
}
}  // namespace

void CGXFormulaSheet::GetCellValueText(GX_CELL* cell, CString& text) const {
  text.Empty();
  if (!cell) return;
  if (cell->kind() == GX_KIND_FORMULA && !(cell->flags & GX_CF_VISITED) && cell->entered()) {
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    _gx_recalc_cell(m_nSheet, cell);
  }
  if ((cell->flags & GX_CF_CYCLE) && _gx_get_iteration_limit(m_nSheet) == 0) {
    text = "Cycle!";
    return;
  }
  text = ValueTypeText(cell, false);
}

void CGXFormulaSheet::GetCellExpressionText(GX_CELL* cell, CString& text) const {
  text.Empty();
  if (!cell) return;
  if (IsFormulaKind(cell)) {
    std::string out;
    try {
      _gx_expr_text(m_nSheet, cell->expr, out);
    } catch (const std::bad_alloc&) {
      out.clear();
    }
    text = CString(out.c_str());
    return;
  }
  text = ValueTypeText(cell, true);
  const CGXStyle* style = StyleOf(cell);
  if (cell->valueType() == GX_VAL_NUMBER && style && style->IsIncluded(GX_IN_FORMAT) &&
      gxfs::IsDateFormat(style->GetFormat()))
    text = GetDrawingAndFormatting().FormatDisplayText(*style, text, GX_VT_NUMBER);
}

BOOL CGXFormulaSheet::ParseExpression(LPCTSTR text, CGXFormula& formula) {
  GX_EXPR* expr = formula.GetExpr();
  _gx_expr_free_contents(expr);
  *expr = GX_EXPR();
  if (_gx_parse_formula(m_nSheet, text ? text : "", expr)) return TRUE;
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  std::snprintf(sh->messageBuffer, sizeof sh->messageBuffer, "ERROR: %s (Pos %d)",
                _gx_error_text(_gx_get_error_code()), _gx_get_error_pos());
  sh->reportPending = 0;
  return FALSE;
}

BOOL CGXFormulaSheet::EvaluateFormula(CString& text, const CGXFormula& formula) {
  text.Empty();
  const GX_EXPR* expr = formula.GetExpr();
  if (!expr || !expr->nodes || expr->root == GX_NO_NODE) return FALSE;
  GX_ITEM item = _gx_evaluate(m_nSheet, 1, 0, expr->nodes, expr->root);
  GX_VALUE value = _gx_item_to_value(&item);
  GX_CELL scratch;
  BOOL ok = FALSE;
  try {
    _gx_cell_set_value(&scratch, &value);
    text = ValueTypeText(&scratch, false);
    ok = scratch.valueType() != GX_VAL_ERROR;
  } catch (const std::bad_alloc&) {
    ok = FALSE;
  }
  if (scratch.valueType() == GX_VAL_TEXT) _gx_free(scratch.value.text);
  _gx_item_free(&item);
  return ok;
}

BOOL CGXFormulaSheet::EvaluateExpressionText(CString& text, LPCTSTR expression) {
  RequestMessage();
  try {
    CGXFormula formula;
    if (ParseExpression(expression, formula)) return EvaluateFormula(text, formula);
  } catch (const std::bad_alloc&) {
    text = _gx_error_text(5);
    return FALSE;
  }
  GetMessage(text);
  return FALSE;
}

// ---- Storing and reading styles -----------------------------------------------------------------------------

BOOL CGXFormulaSheet::StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* style, int mode, int nType) {
  if (nType < 0 || nRow == 0 || nCol == 0) return CGXData::StoreStyle(nRow, nCol, style, mode, nType);
  if (!InEngine(nRow, nCol)) return FALSE;
  m_nRows = std::max(m_nRows, nRow);
  m_nCols = std::max(m_nCols, nCol);
  const int32_t row = EngineRow(nRow), col = EngineCol(nCol);
  GX_CELL* cell = _gx_find_cell(m_nSheet, row, col);
  // 1. Value-only: the value and nothing else, or nothing at all.
  const DWORD mask = style ? style->GetIncludeMask() : 0;
  const bool valueOnly = mask == 0 || mask == GX_IN_VALUE;
  try {
    // 2-4. Removal.
    if (!style || mode == gxRemove) {
      if (cell) _gx_delete_cell(m_nSheet, cell);
      return TRUE;
    }
    if (mode == gxCopy) {
      if (mask == 0) {
        if (cell) _gx_delete_cell(m_nSheet, cell);
        return TRUE;
      }
      if (valueOnly && cell) delete _gx_cell_take_style(cell);
    }
    if (mode == gxExclude) {
      if (!cell) return TRUE;
      if (style->GetIncludeValue()) {
        if (!cell->style) {
          _gx_delete_cell(m_nSheet, cell);
          return TRUE;
        }
        cell = CreateEmptyCell(row, col);
      }
      if (!valueOnly && cell->style) StyleOf(cell)->MergeStyle(*style, gxExclude);
      return TRUE;
    }
    // 5. The value.
    BOOL result = TRUE;
    if (style->GetIncludeValue()) {
      const CString& v = style->GetValue();
      if (style->GetValueType() == GX_VT_NUMBER)
        result = SetNumberValue(nRow, nCol, std::atof(v));
      else if (v.IsEmpty() || nType != 1)
        result = SetTextValue(nRow, nCol, v);
      else
        result = SetValueText(nRow, nCol, v);
    }
    // A refused value (a formula that does not parse) stores nothing: the cell keeps its value and its style,
    // and the caller learns of the refusal.
    if (!result) return FALSE;
    // 6. The cell's own style.
    if (!valueOnly) {
      cell = _gx_find_cell(m_nSheet, row, col);
      if (!cell) cell = CreateEmptyCell(row, col);
      StoreCellStyle(cell, *style, mode);
      return TRUE;
    }
    return result;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

BOOL CGXFormulaSheet::GetStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType) const {
  if (nType < 0 || nRow == 0 || nCol == 0) return CGXData::GetStyle(nRow, nCol, style, mode, nType);
  GX_CELL* cell = FindCell(nRow, nCol);
  if (!cell) return FALSE;
  if (const CGXStyle* own = StyleOf(cell)) {
    if (mode == gxCopy)
      style = *own;
    else
      style.MergeStyle(*own, mode);
  } else if (mode == gxCopy) {
    style.Free();
  }
  CString text;
  if (nType == 1) {
    GetCellExpressionText(cell, text);
    style.SetValue(text);
    style.SetValueType(GX_VT_FORMULA);
  } else {
    GetCellValueText(cell, text);
    style.SetValue(text);
    style.SetValueType(cell->valueType() == GX_VAL_NUMBER  ? GX_VT_NUMBER
                       : cell->valueType() == GX_VAL_ERROR ? GX_VT_ERROR
                                                           : GX_VT_TEXT);
  }
  if (_gx_get_constraint_check(m_nSheet) && (cell->flags & GX_CF_VIOLATED)) {
    CGXGridCore* grid = GetFirstGrid();
    CGXStylesMap* map = grid ? grid->GetStylesMap() : nullptr;
    CGXStyle* violation = nullptr;
    if (map && map->LookupStyle(ConstraintStyleId(map), violation) && violation) style.MergeStyle(*violation, gxOverride);
    cell->flags |= GX_CF_CHANGED;
  }
  return TRUE;
}

WORD CGXFormulaSheet::ConstraintStyleId(CGXStylesMap* map) const {
  if (!map) return 0;
  WORD id = map->GetIdFromResourceId(gxfs::kConstraintViolation);
  if (id == 0) {
    gx::AddGridStrings(kStrings);
    CGXStyle red;
    red.SetInteriorColor(RGB(255, 0, 0));
    id = map->RegisterStyleFromResource(gxfs::kConstraintViolation, red);
  }
  m_nConstraintStyle = id;
  return id;
}

// ---- Rows, columns and blocks -------------------------------------------------------------------------------

BOOL CGXFormulaSheet::InsertRows(ROWCOL nRow, ROWCOL nCount) {
  if (nCount == 0) return CGXData::InsertRows(nRow, nCount);
  if (nCount > static_cast<ROWCOL>(GX_MAX_ROW)) return FALSE;
  {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    if (!_gx_insert_rows(m_nSheet, EngineRow(nRow), static_cast<int32_t>(nCount))) return FALSE;
    RecordUndo(FALSE, TRUE);
  }
  return CGXData::InsertRows(nRow, nCount);
}

BOOL CGXFormulaSheet::InsertCols(ROWCOL nCol, ROWCOL nCount) {
  if (nCount == 0) return CGXData::InsertCols(nCol, nCount);
  if (nCount > static_cast<ROWCOL>(GX_MAX_COL) + 1) return FALSE;
  {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    if (!_gx_insert_cols(m_nSheet, EngineCol(nCol), static_cast<int32_t>(nCount))) return FALSE;
    RecordUndo(FALSE, TRUE);
  }
  return CGXData::InsertCols(nCol, nCount);
}

BOOL CGXFormulaSheet::RemoveRows(ROWCOL nFrom, ROWCOL nTo) {
  if (nTo < nFrom || nFrom == 0) return CGXData::RemoveRows(nFrom, nTo);
  {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    const ROWCOL last = std::min<ROWCOL>(nTo, GX_MAX_ROW);
    if (nFrom <= last) {
      // A name into the removed lines stays where it was; the insertion that undoes this would move it.
      NameRanges names = m_bUndoRecording ? SheetNameRanges(m_nSheet) : NameRanges();
      _gx_remove_rows(m_nSheet, EngineRow(nFrom), static_cast<int32_t>(last - nFrom + 1));
      RecordUndo(FALSE, FALSE);
      RecordUndo(FALSE, TRUE);
      if (m_bUndoRecording) KeepNamesForUndo(PendingInfo(), std::move(names));
    }
  }
  return CGXData::RemoveRows(nFrom, nTo);
}

BOOL CGXFormulaSheet::RemoveCols(ROWCOL nFrom, ROWCOL nTo) {
  if (nTo < nFrom || nFrom == 0) return CGXData::RemoveCols(nFrom, nTo);
  {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    const ROWCOL last = std::min<ROWCOL>(nTo, static_cast<ROWCOL>(GX_MAX_COL) + 1);
    if (nFrom <= last) {
      // A name into the removed lines stays where it was; the insertion that undoes this would move it.
      NameRanges names = m_bUndoRecording ? SheetNameRanges(m_nSheet) : NameRanges();
      _gx_remove_cols(m_nSheet, EngineCol(nFrom), static_cast<int32_t>(last - nFrom + 1));
      RecordUndo(FALSE, FALSE);
      RecordUndo(FALSE, TRUE);
      if (m_bUndoRecording) KeepNamesForUndo(PendingInfo(), std::move(names));
    }
  }
  return CGXData::RemoveCols(nFrom, nTo);
}

BOOL CGXFormulaSheet::MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) {
  if (nTo >= nFrom && nFrom >= 1) {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    _gx_move_rows_cols(m_nSheet, 1, EngineRow(nFrom), EngineRow(nTo), EngineRow(nDest));
    RecordUndo(TRUE, FALSE);
    RecordUndo(FALSE, TRUE);
  }
  return CGXData::MoveRows(nFrom, nTo, nDest);
}

BOOL CGXFormulaSheet::MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) {
  if (nTo >= nFrom && nFrom >= 1) {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    _gx_move_rows_cols(m_nSheet, 0, EngineCol(nFrom), EngineCol(nTo), EngineCol(nDest));
    RecordUndo(TRUE, FALSE);
    RecordUndo(FALSE, TRUE);
  }
  return CGXData::MoveCols(nFrom, nTo, nDest);
}

namespace {
BOOL FailedBlockOperation() {
  // The engine changed nothing. Out of memory is told the way any cell store tells it, so that the caller
  // (a paste of several blocks) can say why and take back the blocks done before.
  if (_gx_get_error_code() == 5) AfxThrowMemoryException();
  return FALSE;
}
}  // namespace

BOOL CGXFormulaSheet::CopyCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol) {
  if (!InEngine(destRow, destCol)) return FALSE;
  GX_RANGE source = ToEngine(range);
  RecordingScope recording(m_nSheet, m_bUndoRecording);
  _gx_set_error_code(0);
  if (!_gx_copy_range(m_nSheet, &source, EngineRow(destRow), EngineCol(destCol), 0)) return FailedBlockOperation();
  GX_RANGE dest;
  _gx_make_range_ref(&dest, EngineRow(destRow), EngineCol(destCol),
                     std::min<int64_t>(GX_MAX_ROW, EngineRow(destRow) + int64_t(source.bottom()) - source.top()),
                     std::min<int64_t>(GX_MAX_COL, EngineCol(destCol) + int64_t(source.right()) - source.left()), 0);
  _gx_add_changed_range(m_nSheet, &dest);
  RecordUndo(TRUE, TRUE);
  m_nRows = std::max<ROWCOL>(m_nRows, static_cast<ROWCOL>(dest.bottom()));
  m_nCols = std::max<ROWCOL>(m_nCols, static_cast<ROWCOL>(dest.right()) + 1);
  return TRUE;
}

BOOL CGXFormulaSheet::MoveCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                                BOOL createUndoInfo) {
  return MoveCells(range, destRow, destCol, undoInfo, createUndoInfo, 0);
}

BOOL CGXFormulaSheet::MoveCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                                BOOL record, int mode) {
  if (!InEngine(destRow, destCol)) return FALSE;
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  auto* info = dynamic_cast<CGXUndoEngineCellsInfo*>(undoInfo);
  if (info && LiveInfos().count(info) && LiveInfos()[info] != this) info = nullptr;
  GX_RANGE source = ToEngine(range);
  // A name on the overwritten cells stays where it was; the move back would carry it away with its cells.
  NameRanges names = record ? SheetNameRanges(m_nSheet) : NameRanges();
  RecordingScope recording(m_nSheet, record);
  GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
  if (info) {
    GX_CELL* replaced = info->m_replaced;
    info->m_replaced = nullptr;
    EnterRecords(replaced, TRUE);
  }
  _gx_set_error_code(0);
  if (!_gx_move_range(m_nSheet, &source, EngineRow(destRow), EngineCol(destCol))) return FailedBlockOperation();
  bool namesChanged = false;
  if (info) {
    GX_CELL* removed = info->m_removed;
    info->m_removed = nullptr;
    EnterRecords(removed, TRUE);
    // The way back: the names as they stood before the move it undoes (or, for a redo, before that undo).
    if (info->m_bNames) namesChanged = RestoreNameRanges(m_nSheet, info->m_names);
    info->m_names.clear();
    info->m_bNames = FALSE;
  }
  if (record) {
    if (!info && !undoInfo) {
      info = new CGXUndoEngineCellsInfo;
      LiveInfos()[info] = this;
      undoInfo = info;
    }
    if (info) info->m_removed = Prepend(sh->undoChain, info->m_removed);
    KeepNamesForUndo(info, std::move(names));
    sh->undoChain = nullptr;
    sh->undoRecording = (mode == 0 || mode == 3) ? 1 : 0;
  }
  GX_RANGE dest;
  _gx_make_range_ref(&dest, EngineRow(destRow), EngineCol(destCol),
                     std::min<int64_t>(GX_MAX_ROW, EngineRow(destRow) + int64_t(source.bottom()) - source.top()),
                     std::min<int64_t>(GX_MAX_COL, EngineCol(destCol) + int64_t(source.right()) - source.left()), 0);
  _gx_add_changed_range(m_nSheet, &dest);
  const int32_t method = sh->recalcMethod;
  sh->recalcMethod = 1;
  if (namesChanged)
    _gx_recalc_forced(m_nSheet);
  else
    _gx_recalc(m_nSheet);
  sh->recalcMethod = method;
  if (record && info) info->m_replaced = Prepend(sh->undoChain, info->m_replaced);
  else FreeChain(sh->undoChain);
  sh->undoChain = nullptr;
  m_nRows = std::max<ROWCOL>(m_nRows, static_cast<ROWCOL>(dest.bottom()));
  m_nCols = std::max<ROWCOL>(m_nCols, static_cast<ROWCOL>(dest.right()) + 1);
  return TRUE;
}

// ---- Sorting ------------------------------------------------------------------------------------------------

BOOL CGXFormulaSheet::MoveDataRows(const CGXRange& sortRange, const CDWordArray& order) {
  return MoveData(TRUE, sortRange, order);
}

BOOL CGXFormulaSheet::MoveDataCols(const CGXRange& sortRange, const CDWordArray& order) {
  return MoveData(FALSE, sortRange, order);
}

BOOL CGXFormulaSheet::MoveData(BOOL rows, const CGXRange& range, const CDWordArray& order) {
  const INT_PTR n = order.GetSize();
  if (n == 0) return TRUE;
  // The inverse: for each old index, its new one. Anything but a permutation is refused untouched.
  std::vector<int64_t> inverse(static_cast<size_t>(n), -1);
  for (INT_PTR i = 0; i < n; ++i) {
    const DWORD old = order[i];
    if (old >= static_cast<DWORD>(n) || inverse[old] != -1) return FALSE;
    inverse[old] = i;
  }
  // The sorted lines and the span across them, in engine coordinates.
  const bool whole = rows ? (range.IsRows() || range.IsTable()) : (range.IsCols() || range.IsTable());
  const int64_t first = rows ? EngineRow(range.top) : EngineCol(range.left);
  const int64_t last = first + n - 1;
  const int64_t acrossLo = rows ? EngineCol(range.left) : EngineRow(range.top);
  const int64_t acrossHi = rows ? EngineCol(range.right) : EngineRow(range.bottom);
  auto line = [&](const GX_CELL* c) -> int64_t { return rows ? c->row : c->col; };
  auto across = [&](const GX_CELL* c) -> int64_t { return rows ? c->col : c->row; };
  auto inside = [&](int64_t l, int64_t a) { return l >= first && l <= last && (whole || (a >= acrossLo && a <= acrossHi)); };
  auto moved = [&](int64_t l) { return first + inverse[static_cast<size_t>(l - first)]; };

  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  try {
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    std::vector<GX_CELL*> taken;
    for (int list = 0; list < 2; ++list) {
      GX_LIST_ITER it;
      _gx_list_iter_init(&sh->lists[list], &it);
      while (GX_CELL* c = _gx_list_iter_next(&it))
        if (c->entered() && inside(line(c), across(c))) taken.push_back(c);
    }
    for (GX_CELL* c : taken) {
      _gx_remove_cell(m_nSheet, c);
      (rows ? c->row : c->col) = static_cast<int32_t>(moved(line(c)));
    }
    // References to one sorted line follow it.
    auto adjust = [&](GX_CELL* c) {
      if (!c->expr || !c->expr->nodes) return;
      bool touched = false;
      for (int i = 0; i < c->expr->nodeCount; ++i) {
        GX_EXPR_NODE& node = c->expr->nodes[i];
        if (node.kind != GX_NODE_CELL && node.kind != GX_NODE_RANGE) continue;
        GX_RANGE& r = node.p.range;
        const int64_t lo = rows ? r.top() : r.left(), hi = rows ? r.bottom() : r.right();
        const int64_t aLo = rows ? r.left() : r.top(), aHi = rows ? r.right() : r.bottom();
        if (lo != hi || lo < first || lo > last) continue;
        if (!whole && (aLo < acrossLo || aHi > acrossHi)) continue;
        const auto to = static_cast<uint32_t>(moved(lo));
        if (rows) {
          r.setTop(to);
          r.setBottom(to);
        } else {
          r.setLeft(to);
          r.setRight(to);
        }
        touched = true;
      }
      if (touched) c->flags |= GX_CF_DIRTY;
    };
    GX_LIST_ITER it;
    _gx_list_iter_init(&sh->lists[1], &it);
    while (GX_CELL* c = _gx_list_iter_next(&it)) adjust(c);
    for (GX_CELL* c : taken) {
      if (GX_CELL* there = _gx_find_cell(m_nSheet, c->row, c->col)) _gx_delete_cell(m_nSheet, there);
      _gx_insert_cell(m_nSheet, c);
      c->flags |= GX_CF_CHANGED;
    }
    GX_RANGE changed;
    _gx_make_range_ref(&changed, rows ? int32_t(first) : 1, rows ? 0 : int32_t(first),
                       rows ? int32_t(last) : GX_MAX_ROW, rows ? GX_MAX_COL : int32_t(last), 0);
    _gx_add_changed_range(m_nSheet, &changed);
    sh->modified = 1;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  // The base keeps the row and column base styles.
  if (rows)
    CGXData::MoveDataRows(range, order);
  else
    CGXData::MoveDataCols(range, order);
  return TRUE;
}

// ---- Hooks --------------------------------------------------------------------------------------------------

BOOL CGXFormulaSheet::IsCellChanged(ROWCOL nRow, ROWCOL nCol) const {
  const GX_CELL* cell = FindCell(nRow, nCol);
  if (!cell) return FALSE;
  if (cell->kind() == GX_KIND_FORMULA)
    return !(cell->flags & GX_CF_VISITED) || (cell->flags & GX_CF_CHANGED) ? TRUE : FALSE;
  return (cell->flags & GX_CF_CHANGED) ? TRUE : FALSE;
}

void CGXFormulaSheet::SetCellChanged(ROWCOL nRow, ROWCOL nCol, BOOL changed) {
  if (GX_CELL* cell = FindCell(nRow, nCol)) {
    if (changed)
      cell->flags |= GX_CF_CHANGED;
    else
      cell->flags &= ~GX_CF_CHANGED;
  }
}

void CGXFormulaSheet::SetRangeChanged(const CGXRange& range) {
  GX_RANGE r = ToEngine(range);
  _gx_add_changed_range(m_nSheet, &r);
}

void CGXFormulaSheet::Recalc(BOOL force) {
  GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
  if (force)
    _gx_recalc_forced(m_nSheet);
  else
    _gx_recalc(m_nSheet);
}

void CGXFormulaSheet::RequestMessage() { _gx_request_report(m_nSheet); }

BOOL CGXFormulaSheet::GetMessage(CString& text) {
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  if (sh->reportPending) return FALSE;
  text = sh->messageBuffer;
  // A message is handed out once: a later recalculation that reports nothing must not show it again.
  sh->messageBuffer[0] = '\0';
  return TRUE;
}

CObject* CGXFormulaSheet::DetachUndoInfo() {
  CObject* info = m_pUndoInfo;
  m_pUndoInfo = nullptr;
  return info;
}

BOOL CGXFormulaSheet::EnableUndoRecording(BOOL enable) {
  const BOOL old = m_bUndoRecording;
  m_bUndoRecording = enable ? TRUE : FALSE;
  return old;
}

void CGXFormulaSheet::RecordUndo(BOOL clearAllowed, BOOL withRecalc) {
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  if (withRecalc) {
    RecordingScope recording(m_nSheet, m_bUndoRecording);
    const int32_t method = sh->recalcMethod;
    sh->recalcMethod = 1;
    {
      GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
      _gx_recalc(m_nSheet);
    }
    sh->recalcMethod = method;
  }
  if (!sh->undoChain) return;
  if (!m_bUndoRecording) {
    // Nobody takes the records: they go now.
    FreeChain(sh->undoChain);
    sh->undoChain = nullptr;
    sh->pendingClear = 0;
    return;
  }
  CGXUndoEngineCellsInfo* info = PendingInfo();
  if (withRecalc)
    info->m_replaced = Prepend(sh->undoChain, info->m_replaced);
  else
    info->m_removed = Prepend(sh->undoChain, info->m_removed);
  info->m_clearRange = sh->undoRange;
  if (sh->pendingClear && clearAllowed) info->m_bClear = TRUE;
  sh->undoChain = nullptr;
  sh->pendingClear = 0;
}

BOOL CGXFormulaSheet::ApplyUndoInfo(CObject* undoInfo, BOOL record, BOOL redo) {
  auto* info = dynamic_cast<CGXUndoEngineCellsInfo*>(undoInfo);
  if (!info) return FALSE;
  if (auto it = LiveInfos().find(info); it != LiveInfos().end() && it->second != this) return FALSE;
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  try {
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    RecordingScope recording(m_nSheet, record);
    if (info->m_bClear) _gx_clear_range(m_nSheet, &info->m_clearRange);
    GX_CELL* replaced = info->m_replaced;
    info->m_replaced = nullptr;
    EnterRecords(replaced, TRUE);
    if (!redo) {
      GX_CELL* removed = info->m_removed;
      info->m_removed = nullptr;
      EnterRecords(removed, TRUE);
      // The names as they stood before the removal this undoes; formulas naming them compute anew.
      if (info->m_bNames && RestoreNameRanges(m_nSheet, info->m_names)) _gx_recalc_forced(m_nSheet);
      info->m_names.clear();
      info->m_bNames = FALSE;
    }
    if (info->m_clearRange.w2 != 0 || info->m_clearRange.w0 != 0) _gx_add_changed_range(m_nSheet, &info->m_clearRange);
    if (record) {
      if (redo)
        info->m_replaced = Prepend(sh->undoChain, info->m_replaced);
      else
        info->m_removed = Prepend(sh->undoChain, info->m_removed);
      sh->undoChain = nullptr;
      info->m_bClear = FALSE;
    } else {
      FreeChain(sh->undoChain);
      sh->undoChain = nullptr;
    }
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  LiveInfos()[info] = this;
  return TRUE;
}

// ---- Named ranges -------------------------------------------------------------------------------------------

BOOL CGXFormulaSheet::SetRangeName(LPCTSTR name, const CGXRange& range, CObject* undoInfo) {
  auto* info = dynamic_cast<CGXUndoEngineCellsInfo*>(undoInfo);
  if (info && info->m_savedName) {
    // The deleted record itself comes back, so formulas that named it can name it again.
    GX_NAMED_RANGE* saved = info->m_savedName;
    info->m_savedName = nullptr;
    if (_gx_find_name(m_nSheet, saved->name, nullptr)) _gx_delete_name(m_nSheet, saved->name);
    _gx_push_name(m_nSheet, saved);
  } else {
    GX_RANGE r = ToEngine(range);
    if (range.IsCells() && range.top == range.bottom && range.left == range.right) r.set(GX_RANGE::kSingle, true);
    if (!_gx_define_name(m_nSheet, name, &r)) return FALSE;
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    _gx_recalc_forced(m_nSheet);
  }
  if (info) {
    GX_CELL* removed = info->m_removed;
    info->m_removed = nullptr;
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    RecordingScope off(m_nSheet, FALSE);
    EnterRecords(removed, TRUE);
    _gx_recalc_forced(m_nSheet);
  }
  return TRUE;
}

BOOL CGXFormulaSheet::GetRangeName(LPCTSTR name, CGXRange& range) const {
  GX_RANGE r;
  if (!name || !_gx_find_name(m_nSheet, name, &r)) return FALSE;
  range = CGXRange(static_cast<ROWCOL>(r.top()), static_cast<ROWCOL>(r.left()) + 1, static_cast<ROWCOL>(r.bottom()),
                   static_cast<ROWCOL>(r.right()) + 1);
  return TRUE;
}

BOOL CGXFormulaSheet::DeleteRangeName(LPCTSTR name, CObject*& undoInfo, BOOL record) {
  if (!name) return FALSE;
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  BOOL existed = FALSE;
  {
    RecordingScope recording(m_nSheet, record);
    existed = _gx_delete_name(m_nSheet, name) != 0;
  }
  if (!record) return existed;
  auto* info = dynamic_cast<CGXUndoEngineCellsInfo*>(undoInfo);
  if (!info && !undoInfo && (existed || sh->undoChain)) {
    info = new CGXUndoEngineCellsInfo;
    LiveInfos()[info] = this;
    undoInfo = info;
  }
  if (info) {
    info->m_removed = Prepend(sh->undoChain, info->m_removed);
    sh->undoChain = nullptr;
    if (existed) {
      GX_NAMED_RANGE* saved = _gx_pop_deleted_name(m_nSheet);
      if (info->m_savedName) {
        _gx_free(info->m_savedName->name);
        _gx_free(info->m_savedName);
      }
      info->m_savedName = saved;
    }
  } else {
    FreeChain(sh->undoChain);
    sh->undoChain = nullptr;
  }
  return existed;
}

void CGXFormulaSheet::GetNamesText(CStringArray& names) const {
  names.RemoveAll();
  for (const GX_NAMED_RANGE* n = _gx_sheet_get(m_nSheet)->names; n; n = n->next) {
    const char* ref = _gx_ref_text(&n->range);
    CString entry;
    entry.Format("%s=%s", n->name ? n->name : "", ref ? ref : "");
    names.Add(entry);
  }
}

void CGXFormulaSheet::SetNamesText(const CStringArray& names) {
  for (INT_PTR i = 0; i < names.GetSize(); ++i) {
    const CString& entry = names[i];
    const int eq = entry.Find('=');
    if (eq <= 0) continue;
    GX_RANGE r;
    if (!_gx_parse_ref(entry.Mid(eq + 1), &r)) continue;
    _gx_define_name(m_nSheet, entry.Left(eq), &r);
  }
  GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
  _gx_recalc_forced(m_nSheet);
}

// ---- Settings -----------------------------------------------------------------------------------------------

void CGXFormulaSheet::SetIterationLimit(int n) { _gx_set_iteration_limit(m_nSheet, n); }
int CGXFormulaSheet::GetIterationLimit() const { return _gx_get_iteration_limit(m_nSheet); }
void CGXFormulaSheet::SetBlanksAreZeros(BOOL b) { _gx_set_blanks_zero(m_nSheet, b ? 1 : 0); }
BOOL CGXFormulaSheet::GetBlanksAreZeros() const { return _gx_get_blanks_zero(m_nSheet); }
void CGXFormulaSheet::SetRecalcMode(BOOL manual) { _gx_set_manual_recalc(m_nSheet, manual ? 1 : 0); }
BOOL CGXFormulaSheet::GetRecalcMode() const { return _gx_get_manual_recalc(m_nSheet); }
void CGXFormulaSheet::SetRecalcMethod(int method) { _gx_set_recalc_method(m_nSheet, method); }
int CGXFormulaSheet::GetRecalcMethod() const { return _gx_get_recalc_method(m_nSheet); }
BOOL CGXFormulaSheet::GetConstraintCheck() const { return _gx_get_constraint_check(m_nSheet); }

void CGXFormulaSheet::SetConstraintCheck(BOOL b) {
  _gx_set_constraint_check(m_nSheet, b ? 1 : 0);
  if (CGXGridCore* grid = b ? GetFirstGrid() : nullptr) ConstraintStyleId(grid->GetStylesMap());
}

// ---- Assignment ---------------------------------------------------------------------------------------------

CGXData& CGXFormulaSheet::operator=(const CGXData& other) {
  if (this == &other) return *this;
  DeleteContents();
  if (const auto* sheet = dynamic_cast<const CGXFormulaSheet*>(&other)) {
    GX_SHEET* from = _gx_sheet_get(sheet->m_nSheet);
    GX_SHEET* to = _gx_sheet_get(m_nSheet);
    {
      GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
      // Placeholders, values, formulas: each entered copy is entered here too, so that look-ups, iteration
      // and the archive see it.
      for (int list : {2, 0, 1}) {
        GX_LIST_ITER it;
        _gx_list_iter_init(&from->lists[list], &it);
        while (GX_CELL* c = _gx_list_iter_next(&it)) {
          if (!c->entered()) continue;
          GX_CELL* copy = _gx_cell_copy_to_list(&to->lists[list], c);
          copy->style = nullptr;
          try {
            if (c->style) copy->style = c->style->Clone();
            if (GX_CELL* there = _gx_find_cell(m_nSheet, copy->row, copy->col)) _gx_delete_cell(m_nSheet, there);
            _gx_insert_cell(m_nSheet, copy);
          } catch (...) {
            _gx_cell_free(copy);
            throw;
          }
        }
      }
    }
    CGXData::operator=(other);
    SetIterationLimit(sheet->GetIterationLimit());
    SetBlanksAreZeros(sheet->GetBlanksAreZeros());
    SetRecalcMode(sheet->GetRecalcMode());
    SetRecalcMethod(sheet->GetRecalcMethod());
    SetConstraintCheck(sheet->GetConstraintCheck());
    CStringArray names;
    sheet->GetNamesText(names);
    SetNamesText(names);
    return *this;
  }
  CGXData::operator=(other);
  // The base's cell styles move into the engine; only the header column stays in the base's rows.
  INT_PTR lastKept = 0;
  for (INT_PTR r = 1; r < m_cells.GetSize(); ++r) {
    CGXStylePtrArray* rowStyles = m_cells.GetAt(r);
    if (!rowStyles) continue;
    for (INT_PTR c = 1; c < rowStyles->GetSize(); ++c) {
      std::unique_ptr<CGXStyle> style(rowStyles->Detach(c));
      if (!style) continue;
      const auto row = static_cast<ROWCOL>(r), col = static_cast<ROWCOL>(c);
      if (style->GetIncludeValue()) {
        if (style->GetValue().IsEmpty())
          SetTextValue(row, col, "");
        else
          SetValueText(row, col, style->GetValue());
      }
      const DWORD mask = style->GetIncludeMask();
      if (mask != 0 && mask != GX_IN_VALUE) {
        GX_CELL* cell = FindCell(row, col);
        if (!cell) cell = CreateEmptyCell(EngineRow(row), EngineCol(col));
        delete _gx_cell_take_style(cell);
        StoreCellStyle(cell, *style, gxCopy);
      }
    }
    if (rowStyles->GetSize() > 0 && rowStyles->GetAt(0)) {
      rowStyles->SetSize(1);
      lastKept = r;
    } else {
      m_cells.SetAtGrow(r, nullptr);
    }
  }
  if (m_cells.GetSize() > lastKept + 1) m_cells.SetSize(lastKept + 1);
  Recalc(TRUE);
  return *this;
}

// ---- Archive ------------------------------------------------------------------------------------------------

namespace {

[[noreturn]] void ThrowBadRecord() { AfxThrowArchiveException(CArchiveException::badIndex); }

}  // namespace

void CGXFormulaSheet::Serialize(CArchive& ar) {
  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  if (ar.IsStoring()) {
    ar << WORD{1};
    CGXData::Serialize(ar);
    ar << static_cast<WORD>(GetIterationLimit()) << static_cast<WORD>(GetBlanksAreZeros())
       << static_cast<WORD>(GetRecalcMode()) << static_cast<WORD>(GetRecalcMethod())
       << static_cast<WORD>(GetConstraintCheck());
    CStringArray names;
    GetNamesText(names);
    names.Serialize(ar);
    GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
    for (int list : {0, 1, 2}) {
      GX_LIST_ITER it;
      _gx_list_iter_init(&sh->lists[list], &it);
      while (GX_CELL* c = _gx_list_iter_next(&it)) {
        if (!c->entered()) continue;
        if (c->kind() == GX_KIND_FORMULA && !(c->flags & GX_CF_VISITED)) _gx_recalc_cell(m_nSheet, c);
        ar << BYTE{1} << static_cast<BYTE>(c->kind()) << static_cast<BYTE>(c->valueType())
           << static_cast<BYTE>((c->flags >> 15) & 0xFF) << static_cast<DWORD>(c->row) << static_cast<DWORD>(c->col);
        ar << static_cast<const CObject*>(StyleOf(c));
        if (IsFormulaKind(c)) {
          std::string text;
          if (c->expr) _gx_expr_text(m_nSheet, c->expr, text);
          ar << CString(text.c_str());
        }
        if (c->kind() != GX_KIND_PLACEHOLDER) {
          char buf[9];
          switch (c->valueType()) {
            case GX_VAL_ERROR: ar << static_cast<WORD>(c->value.error.code); break;
            case GX_VAL_NUMBER: ar << c->value.number; break;
            case GX_VAL_TEXT:
            case GX_VAL_INLINE: {
              const char* t = _gx_cell_text(c, buf);
              ar << CString(t ? t : "");
              break;
            }
            default: break;
          }
        }
      }
    }
    ar << BYTE{0};
    return;
  }
  WORD schema = 0;
  ar >> schema;
  if (schema != 1) AfxThrowArchiveException(CArchiveException::badSchema);
  CGXData::Serialize(ar);
  WORD settings[5] = {};
  for (WORD& w : settings) ar >> w;
  DeleteContents();
  // The base's part stays as read; the engine starts empty.
  SetIterationLimit(settings[0]);
  SetBlanksAreZeros(settings[1]);
  SetRecalcMode(settings[2]);
  SetRecalcMethod(settings[3]);
  SetConstraintCheck(settings[4]);
  CStringArray names;
  names.Serialize(ar);
  for (INT_PTR i = 0; i < names.GetSize(); ++i) {
    const CString& entry = names[i];
    const int eq = entry.Find('=');
    if (eq <= 0) continue;
    GX_RANGE r;
    if (!_gx_parse_ref(entry.Mid(eq + 1), &r)) continue;
    SetRangeName(entry.Left(eq),
                 CGXRange(static_cast<ROWCOL>(r.top()), static_cast<ROWCOL>(r.left()) + 1,
                          static_cast<ROWCOL>(r.bottom()), static_cast<ROWCOL>(r.right()) + 1),
                 nullptr);
  }
  GxDeferredScope deferred(m_nSheet, GX_LIST_ALL);
  for (;;) {
    BYTE tag = 0;
    ar >> tag;
    if (tag == 0) break;
    if (tag != 1) ThrowBadRecord();
    LoadRecord(ar);
  }
  // No recalculation here: the archive holds the values as they were computed, marks included.
}

void CGXFormulaSheet::LoadRecord(CArchive& ar) {
  BYTE kind = 0, type = 0, marks = 0;
  DWORD row = 0, col = 0;
  ar >> kind >> type >> marks >> row >> col;
  if (kind > GX_KIND_CONSTFORMULA || type > GX_VAL_INLINE || !gx_row_ok(row) || !gx_col_ok(col)) ThrowBadRecord();
  // A repeated object would give two cells one style: refused like any other bad record.
  std::unique_ptr<CObject> styleObject(gx::ReadOwnedObject(ar, RUNTIME_CLASS(CGXStyle)));
  CString expression;
  if (kind == GX_KIND_FORMULA || kind == GX_KIND_CONSTFORMULA) {
    ar >> expression;
  }
  GX_VALUE value;
  value.type = GX_VAL_NONE;
  CString text;
  if (kind != GX_KIND_PLACEHOLDER) {
    switch (type) {
      case GX_VAL_ERROR: {
        WORD code = 0;
        ar >> code;
        value.type = GX_VAL_ERROR;
        value.error.code = code;
        break;
      }
      case GX_VAL_NUMBER:
        value.type = GX_VAL_NUMBER;
        ar >> value.number;
        break;
      case GX_VAL_TEXT:
      case GX_VAL_INLINE:
        ar >> text;
        value.type = GX_VAL_TEXT;
        value.text = const_cast<char*>(text.GetString());
        break;
      default: value.type = type; break;
    }
  } else {
    value.type = type;
    if (value.type == GX_VAL_TEXT || value.type == GX_VAL_INLINE || value.type == GX_VAL_ERROR ||
        value.type == GX_VAL_NUMBER)
      value.type = GX_VAL_NONE;  // a placeholder carries no value in the archive
  }

  GX_SHEET* sh = _gx_sheet_get(m_nSheet);
  // A formula that no longer parses becomes a text constant holding its text, at its place, with its style.
  GX_EXPR parsed;
  bool formula = kind == GX_KIND_FORMULA || kind == GX_KIND_CONSTFORMULA;
  if (formula && !_gx_parse_formula(m_nSheet, expression, &parsed)) {
    formula = false;
    kind = GX_KIND_TEXT;
    text = expression;
    value.type = GX_VAL_TEXT;
    value.text = const_cast<char*>(text.GetString());
  }
  GX_CELL_LIST* list = &sh->lists[kind == GX_KIND_PLACEHOLDER ? 2 : kind == GX_KIND_FORMULA ? 1 : 0];
  GX_CELL* cell = nullptr;
  try {
    cell = _gx_cell_alloc(list);
    cell->setKind(kind);
    cell->row = static_cast<int32_t>(row);
    cell->col = static_cast<int32_t>(col);
    cell->flags |= static_cast<uint32_t>(marks) << 15;
    cell->flags &= ~GX_CF_ACTIVE;
    if (formula) {
      auto* header = static_cast<GX_EXPR*>(_gx_alloc(sizeof(GX_EXPR)));
      *header = parsed;
      parsed = GX_EXPR();
      cell->expr = header;
    }
    _gx_cell_set_value(cell, &value);
    if (auto* style = dynamic_cast<CGXStyle*>(styleObject.get())) {
      styleObject.release();
      cell->style = new CGXFormulaCellStyle(style);
    }
    GX_CELL* there = _gx_find_cell(m_nSheet, cell->row, cell->col);
    if (!there) {
      _gx_insert_cell(m_nSheet, cell);
    } else if (kind != GX_KIND_PLACEHOLDER) {
      _gx_delete_cell(m_nSheet, there);
      _gx_insert_cell(m_nSheet, cell);
    } else {
      // A placeholder for a position already taken: nothing to keep.
      _gx_cell_free(cell);
    }
  } catch (const std::bad_alloc&) {
    _gx_expr_free_contents(&parsed);
    if (cell && !cell->entered()) _gx_cell_free(cell);
    AfxThrowMemoryException();
  }
}
