#include "grid/features/CGXSortImp.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "grid/core/CGXData.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/gxstrings.h"
#include "grid/features/CGXGridSortMoveDataImp.h"
#include "platform/base/CDWordArray.h"
#include "platform/base/COleDateTime.h"
#include "platform/base/CException.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/StringApi.h"
#include "platform/framework/MessageBox.h"

namespace gx {

bool LooksNumeric(const CString& text) {
  static const char kAllowed[] = "0123456789,.+-eE ";
  const int n = text.GetLength();
  int i = 0;
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  for (int j = i; j < n; ++j) {
    const char c = text[j];
    if (!std::strchr(kAllowed, c) || c == '\0') return false;
    // A sign in front or in the exponent ("1e+15", "1e-05", as a number is written back).
    if ((c == '-' || c == '+') && j != i && text[j - 1] != 'e' && text[j - 1] != 'E') return false;
  }
  return true;
}

double NumericKeyValue(const CString& text) {
  // Sized to the text: the locale's number rules read the whole text, however long.
  const std::string s(static_cast<LPCSTR>(text), static_cast<size_t>(text.GetLength()));
  double value = 0;
  if (s.find_first_not_of(" \t") == std::string::npos) return 0;
  switch (plat::ParseLocaleNumber(s, LOCALE_USER_DEFAULT, value)) {
    case plat::NumberParse::Ok: return value;
    // A number past the double range ("1e400") lies past every number on its side.
    case plat::NumberParse::Overflow: return s[s.find_first_not_of(" \t")] == '-' ? -HUGE_VAL : HUGE_VAL;
    // A text that passed the character test but is no number (a lone "e") counts as 0, like an empty text:
    // never the value of another row.
    default: return 0;
  }
}

bool DateKeyValue(const CString& text, double& value) {
  CGXAbstractDateTimeImp* service = CGXGridGlobals::Get().m_pDateTimeImp;
  if (!service || text.IsEmpty()) return false;
  GXDateTimeRecord record;
  if (!service->ParseDateTime(&record, text, GetDateOrderSetting(FALSE, nullptr, nullptr))) return false;
  COleDateTime dt;
  if (record.month != 0)
    dt.SetDateTime(record.year, record.month, record.day, record.hour, record.minute, record.second);
  else
    dt.SetTime(record.hour, record.minute, record.second);
  if (dt.GetStatus() != COleDateTime::valid) return false;
  value = dt.m_dt;
  return true;
}

int CompareSortEntries(const GXSortEntry& a, const GXSortEntry& b) {
  const CGXSortInfoArray* keys = a.keys;
  const INT_PTR n = keys ? keys->GetSize() : 0;
  for (INT_PTR k = 0; k < n; ++k) {
    const CGXSortInfo& key = (*keys)[k];
    const int sign = key.sortOrder ? -1 : 1;
    const size_t i = static_cast<size_t>(k);
    if (key.sortType == CGXSortInfo::numeric || key.sortType == CGXSortInfo::date) {
      const double x = i < a.values.size() ? a.values[i] : 0, y = i < b.values.size() ? b.values[i] : 0;
      if (x == y) continue;
      return x > y ? sign : -sign;  // unordered values count as smaller
    }
    const CString& x = a.texts[i];
    const CString& y = b.texts[i];
    const int r = CompareString(LOCALE_USER_DEFAULT, key.bCase ? 0 : NORM_IGNORECASE, x, x.GetLength(), y,
                                y.GetLength()) - 2;
    if (r != 0) return r * sign;
  }
  return static_cast<int>(a.position) - static_cast<int>(b.position) < 0 ? -1
         : a.position == b.position                                        ? 0
                                                                           : 1;
}

}  // namespace gx

void GXSortRows(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags) {
  GXForwardArgs a;
  a.v = {reinterpret_cast<DWORD_PTR>(&range), reinterpret_cast<DWORD_PTR>(&keys), flags};
  grid->SortRows(a);
}

void GXSortCols(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags) {
  GXForwardArgs a;
  a.v = {reinterpret_cast<DWORD_PTR>(&range), reinterpret_cast<DWORD_PTR>(&keys), flags};
  grid->SortCols(a);
}

void CGXSortImp::SortKeys(CGXGridCore*, std::vector<GXSortEntry*>& entries) {
  std::sort(entries.begin(), entries.end(),
            [](const GXSortEntry* a, const GXSortEntry* b) { return gx::CompareSortEntries(*a, *b) < 0; });
}

void CGXSortImp::GetSortKeysRowCol(CGXGridCore* grid, ROWCOL row, const CGXSortInfoArray& keys, GXSortEntry& entry) {
  entry.texts.resize(static_cast<size_t>(keys.GetSize()));
  CGXStyle* style = grid->NewWorkStyle();
  for (INT_PTR k = 0; k < keys.GetSize(); ++k) {
    style->Free();
    grid->ComposeCellStyle(row, keys[k].nRC, *style);
    entry.texts[static_cast<size_t>(k)] = style->GetValue();
  }
  grid->ReleaseWorkStyle(style);
}

void CGXSortImp::GetSortKeysColRow(CGXGridCore* grid, ROWCOL col, const CGXSortInfoArray& keys, GXSortEntry& entry) {
  entry.texts.resize(static_cast<size_t>(keys.GetSize()));
  CGXStyle* style = grid->NewWorkStyle();
  for (INT_PTR k = 0; k < keys.GetSize(); ++k) {
    style->Free();
    grid->ComposeCellStyle(keys[k].nRC, col, *style);
    entry.texts[static_cast<size_t>(k)] = style->GetValue();
  }
  grid->ReleaseWorkStyle(style);
}

void CGXSortImp::SortRows(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags) {
  Sort(grid, range, keys, flags, TRUE);
}

void CGXSortImp::SortCols(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags) {
  Sort(grid, range, keys, flags, FALSE);
}

void CGXSortImp::Sort(CGXGridCore* grid, const CGXRange& given, CGXSortInfoArray& keys, UINT flags, BOOL rows) {
  // 1. Nothing to sort in a grid of fewer than two lines, nor in a read-only grid whose checks are on (its
  //    store keeps every line where it is, as under a move or a removal); the table means the lines below the
  //    headers.
  const ROWCOL count = rows ? grid->GetRowCount() : grid->GetColCount();
  if (count < 2 || grid->IsLocked()) return;
  CGXRange range = given;
  if (range.IsTable()) {
    range = rows ? CGXRange(grid->GetHeaderRows() + 1, 0, grid->GetRowCount(), grid->GetColCount())
                 : CGXRange(0, grid->GetHeaderCols() + 1, grid->GetRowCount(), grid->GetColCount());
  }
  ROWCOL first = rows ? range.top : range.left, last = rows ? range.bottom : range.right;
  last = std::min(last, count);
  if (first == 0 || first > last) return;
  if (rows) {
    range.top = first;
    range.bottom = last;
  } else {
    range.left = first;
    range.right = last;
  }
  // 2. The current cell moves and stores its edit.
  grid->MoveCurrentCellBy(rows ? GX_TOPROW : GX_LEFTCOL, 1, TRUE);
  grid->CompleteCellEdit(TRUE);
  // 3-4.
  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(rows ? 20181 : 20182), TRUE);
  for (INT_PTR k = 0; k < keys.GetSize(); ++k) keys[k].bAllNumeric = keys[k].bAllDates = 1;
  std::vector<GXSortEntry> entries;
  try {
    entries.resize(static_cast<size_t>(last - first) + 1);
    // 5. The key texts; kind 3 keys learn from every non-empty text whether all are dates or numbers.
    for (ROWCOL line = first;; ++line) {
      GXSortEntry& e = entries[line - first];
      e.position = line - first;
      e.keys = &keys;
      if (rows)
        GetSortKeysRowCol(grid, line, keys, e);
      else
        GetSortKeysColRow(grid, line, keys, e);
      for (INT_PTR k = 0; k < keys.GetSize(); ++k) {
        CGXSortInfo& key = keys[k];
        CString& text = e.texts[static_cast<size_t>(k)];
        if (key.sortType != CGXSortInfo::autodetect || text.IsEmpty()) continue;
        double unused = 0;
        if (key.bAllDates && !gx::DateKeyValue(text, unused)) key.bAllDates = 0;
        if (key.bAllNumeric) {
          if (gx::LooksNumeric(text))
            text.TrimLeft();
          else
            key.bAllNumeric = 0;
        }
      }
      if (scope.IsWaitDelayElapsed()) {
        BOOL abort = FALSE;
        scope.PollAbort(abort);
        if (abort) AfxThrowUserException();
      }
      if (line == last) break;
    }
    // 6. The kinds; a date wins over a number.
    for (INT_PTR k = 0; k < keys.GetSize(); ++k) {
      CGXSortInfo& key = keys[k];
      if (key.sortType == CGXSortInfo::autodetect)
        key.sortType = key.bAllDates ? CGXSortInfo::date : key.bAllNumeric ? CGXSortInfo::numeric : CGXSortInfo::alphanumeric;
    }
    // 7. The values, converted once.
    for (GXSortEntry& e : entries) {
      for (INT_PTR k = 0; k < keys.GetSize(); ++k) {
        const DWORD kind = keys[k].sortType;
        if (kind != CGXSortInfo::numeric && kind != CGXSortInfo::date) continue;
        if (e.values.empty()) e.values.assign(static_cast<size_t>(keys.GetSize()), 0.0);
        CString& text = e.texts[static_cast<size_t>(k)];
        double v = 0;
        if (kind == CGXSortInfo::date) {
          if (!gx::DateKeyValue(text, v)) v = 0;
        } else {
          v = gx::NumericKeyValue(text);
        }
        e.values[static_cast<size_t>(k)] = v;
        text.Empty();
      }
    }
    // 8. The order.
    std::vector<GXSortEntry*> order;
    order.reserve(entries.size());
    for (GXSortEntry& e : entries) order.push_back(&e);
    GXForwardArgs a;
    a.v = {reinterpret_cast<DWORD_PTR>(&keys), reinterpret_cast<DWORD_PTR>(&order)};
    grid->SortKeys(a);
    CDWordArray newOrder;
    newOrder.SetSize(static_cast<INT_PTR>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) newOrder[static_cast<INT_PTR>(i)] = order[i]->position;
    // 9. The last-sort memory, then the move.
    if (CGXGridParam* p = grid->GetParam(); p && keys.GetSize() > 0) {
      if (rows) {
        p->m_nLastSortRow = -1;
        p->m_nLastSortCol = static_cast<LONG>(keys[0].nRC);
      } else {
        p->m_nLastSortCol = -1;
        p->m_nLastSortRow = static_cast<LONG>(keys[0].nRC);
      }
      p->m_bLastSortAscending = keys[0].sortOrder == 0;
    }
    GXForwardArgs m;
    m.v = {reinterpret_cast<DWORD_PTR>(&range), reinterpret_cast<DWORD_PTR>(&newOrder), flags, 0};
    if (rows)
      grid->SortForward2(m);
    else
      grid->SortForward7(m);
  } catch (CUserException* e) {
    e->Delete();
    scope.SetStatusText(gx::LoadGridString(20184), TRUE);
  } catch (CMemoryException* e) {
    e->Delete();
    AfxMessageBox(gx::LoadGridString(20183), MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    AfxMessageBox(gx::LoadGridString(20183), MB_OK | MB_ICONEXCLAMATION);
  } catch (CNotSupportedException* e) {
    e->Delete();
  }
}

BOOL CGXSortImp::MoveSortedRows(CGXGridCore* grid, const CGXRange& range, const CDWordArray& order, UINT flags,
                                int commandType) {
  return MoveSorted(grid, range, order, flags, commandType, TRUE);
}

BOOL CGXSortImp::MoveSortedCols(CGXGridCore* grid, const CGXRange& range, const CDWordArray& order, UINT flags,
                                int commandType) {
  return MoveSorted(grid, range, order, flags, commandType, FALSE);
}

BOOL CGXSortImp::MoveSorted(CGXGridCore* grid, const CGXRange& range, const CDWordArray& order, UINT flags,
                            int commandType, BOOL rows) {
  // 1. The cell store.
  GXForwardArgs s;
  s.v = {reinterpret_cast<DWORD_PTR>(&range), reinterpret_cast<DWORD_PTR>(&order)};
  if (!(rows ? grid->StoreMoveDataRows(s) : grid->StoreMoveDataCols(s))) return FALSE;
  // 2. Selection, spans, the store's notice and the redraw (through the overridable refresh).
  grid->SetSelection(nullptr, 0, 0, 0, 0);
  const CGXRange table(0, 0, grid->GetRowCount(), grid->GetColCount());
  grid->RecalcFloatCells(table, -1);
  grid->RecalcMergedCells(table, -1);
  grid->DataObjectBegin(TRUE);
  GXForwardArgs u;
  u.v = {reinterpret_cast<DWORD_PTR>(&range), flags, TRUE};
  if (rows)
    grid->RefreshAfterSort(u);
  else
    grid->RefreshAfterSortCols(u);
  // 3. The undo record: the inverse order puts every line back.
  if (grid->UndoApplies(commandType)) {
    auto* inverse = new CDWordArray;
    inverse->SetSize(order.GetSize());
    for (INT_PTR i = 0; i < order.GetSize(); ++i) (*inverse)[static_cast<INT_PTR>(order[i])] = static_cast<DWORD>(i);
    CGXCommandFactory* factory = grid->GetCommandFactory();
    CObject* command = rows ? factory->CreateMoveDataRowsCmd(range, inverse, commandType)
                            : factory->CreateMoveDataColsCmd(range, inverse, commandType);
    if (!command) delete inverse;
    grid->Record(command, commandType);
  }
  return TRUE;
}

void CGXSortImp::UpdateMoveDataRows(CGXGridCore* grid, const CGXRange& range, UINT flags, BOOL createHint) {
  grid->CompleteCellEdit(FALSE);
  if (!grid->IsLockUpdate()) grid->RedrawAll(flags);
  if (auto* h = createHint ? grid->HintSender() : nullptr) h->HintSortRows(grid, range, flags);
}

void CGXSortImp::UpdateMoveDataCols(CGXGridCore* grid, const CGXRange& range, UINT flags, BOOL createHint) {
  grid->CompleteCellEdit(FALSE);
  if (!grid->IsLockUpdate()) grid->RedrawAll(flags);
  if (auto* h = createHint ? grid->HintSender() : nullptr) h->HintSortCols(grid, range, flags);
}

int CGXSortImp::OnClickedHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
  CGXGridParam* p = grid->GetParam();
  if (!p) return 0;
  const BOOL columnHeader = row == 0 && col != 0 && p->m_bSortRowsByHeader;
  const BOOL rowHeader = col == 0 && row != 0 && p->m_bSortColsByHeader;
  if (!columnHeader && !rowHeader) return 0;
  CGXSortInfoArray keys;
  CGXSortInfo key;
  key.nRC = columnHeader ? col : row;
  key.sortType = CGXSortInfo::autodetect;
  const LONG last = columnHeader ? p->m_nLastSortCol : p->m_nLastSortRow;
  key.sortOrder = last == static_cast<LONG>(key.nRC) && p->m_bLastSortAscending ? 1 : 0;
  keys.Add(key);
  const CGXRange table = CGXRange().AssignTable();
  if (columnHeader)
    GXSortRows(grid, table, keys, GX_UPDATENOW);
  else
    GXSortCols(grid, table, keys, GX_UPDATENOW);
  grid->MoveCurrentCellBy(columnHeader ? GX_TOPROW : GX_LEFTCOL, 1, TRUE);
  return 1;
}

BOOL CGXSortImp::OnDblClkCell(CGXGridCore* grid, ROWCOL row, ROWCOL col, UINT, POINT) {
  return OnClickedHeader(grid, row, col) != 0;
}

void CGXSortImp::OnColsSortedHint(CGXGridCore* grid, const CGXRange& range, UINT flags) {
  GXForwardArgs u;
  u.v = {reinterpret_cast<DWORD_PTR>(&range), flags, FALSE};
  grid->RefreshAfterSortCols(u);
}

// ---- The forwarders' argument blocks ----------------------------------------------------------------------

void CGXSortImp::SortRows(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* keys = reinterpret_cast<CGXSortInfoArray*>(a.v[1]);
  if (range && keys) SortRows(grid, *range, *keys, static_cast<UINT>(a.v[2]));
}

void CGXSortImp::SortCols(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* keys = reinterpret_cast<CGXSortInfoArray*>(a.v[1]);
  if (range && keys) SortCols(grid, *range, *keys, static_cast<UINT>(a.v[2]));
}

LRESULT CGXSortImp::SortForward2(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* order = reinterpret_cast<const CDWordArray*>(a.v[1]);
  return range && order && MoveSortedRows(grid, *range, *order, static_cast<UINT>(a.v[2]), static_cast<int>(a.v[3]));
}

LRESULT CGXSortImp::SortForward7(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* order = reinterpret_cast<const CDWordArray*>(a.v[1]);
  return range && order && MoveSortedCols(grid, *range, *order, static_cast<UINT>(a.v[2]), static_cast<int>(a.v[3]));
}

// A read-only grid whose checks are on refuses the reorder as its other stores refuse a change (the undo and
// redo of a sort come here too).
LRESULT CGXSortImp::StoreMoveDataRows(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* order = reinterpret_cast<const CDWordArray*>(a.v[1]);
  CGXData* data = grid->GetData();
  return range && order && data && !grid->IsLocked() && data->MoveDataRows(*range, *order);
}

LRESULT CGXSortImp::StoreMoveDataCols(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* order = reinterpret_cast<const CDWordArray*>(a.v[1]);
  CGXData* data = grid->GetData();
  return range && order && data && !grid->IsLocked() && data->MoveDataCols(*range, *order);
}

void CGXSortImp::RefreshAfterSort(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  if (range) UpdateMoveDataRows(grid, *range, static_cast<UINT>(a.v[1]), static_cast<BOOL>(a.v[2]));
}

void CGXSortImp::RefreshAfterSortCols(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  if (range) UpdateMoveDataCols(grid, *range, static_cast<UINT>(a.v[1]), static_cast<BOOL>(a.v[2]));
}

void CGXSortImp::SortForward5(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* keys = reinterpret_cast<const CGXSortInfoArray*>(a.v[1]);
  auto* entry = reinterpret_cast<GXSortEntry*>(a.v[2]);
  if (keys && entry) GetSortKeysRowCol(grid, static_cast<ROWCOL>(a.v[0]), *keys, *entry);
}

void CGXSortImp::SortForward10(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* keys = reinterpret_cast<const CGXSortInfoArray*>(a.v[1]);
  auto* entry = reinterpret_cast<GXSortEntry*>(a.v[2]);
  if (keys && entry) GetSortKeysColRow(grid, static_cast<ROWCOL>(a.v[0]), *keys, *entry);
}

void CGXSortImp::SortKeys(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* entries = reinterpret_cast<std::vector<GXSortEntry*>*>(a.v[1]);
  if (entries) SortKeys(grid, *entries);
}

void CGXGridCore::InstallSortImp() {
  InstallSortMoveDataImp();
  if (!GetSortImp()) SetFeature(new CGXSortImp);
}
