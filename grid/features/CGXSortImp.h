// Sorting the rows of a range by key columns (or the columns by key rows), and sorting by a double click on
// a header.
//
// Operations counted from 0 (the grid's forwarders): 0 SortKeys, 1 SortRows, 2 MoveSortedRows
// (SortForward2), 3 StoreMoveDataRows, 4 UpdateMoveDataRows (RefreshAfterSort, which grid classes override
// to follow a sort), 5 GetSortKeysRowCol (SortForward5), 6-10 their column twins, 11 OnClickedHeader (a
// double click on a header that no control took).
//
// Call flow of a row sort:  SortRows -> key texts per row (5) -> kinds decided -> key values -> SortKeys
//   -> the grid's SortForward2 -> StoreMoveDataRows (the cell store, through the process-wide sort mover)
//   -> RefreshAfterSort -> the undo record (the inverse order).
#pragma once

#include <vector>

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSortInfoArray.h"
#include "platform/base/CString.h"

class CDWordArray;

// One row (or column) while it is sorted: its key texts, the values of its numeric and date keys, and where
// it stood (offset from the range's first row).
struct GXSortEntry {
  std::vector<CString> texts;
  std::vector<double> values;
  DWORD position = 0;
  const CGXSortInfoArray* keys = nullptr;
};

namespace gx {
// The comparison of two entries: the keys in order (numeric and date by value, text by the locale's
// collation, case-sensitive by word 3), each negated when descending; all equal, the earlier position first.
int CompareSortEntries(const GXSortEntry& a, const GXSortEntry& b);
// Whether a key text passes the numeric character test ("0123456789,.+-eE " with a sign only in front, after
// leading blanks are dropped, or after the exponent's "e"), and its value: the locale's conversion, infinite on
// its side for a number past the double range, 0 for an empty text and for a text the conversion rejects.
bool LooksNumeric(const CString& text);
double NumericKeyValue(const CString& text);
// The day number of a date-time text through the date-time service; FALSE when it is no date.
bool DateKeyValue(const CString& text, double& value);
}  // namespace gx

class CGXSortImp : public CGXGridSortImp {
 public:
  virtual void SortKeys(CGXGridCore* grid, std::vector<GXSortEntry*>& entries);
  virtual void SortRows(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags);
  virtual void SortCols(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags);
  // The reorder with undo; TRUE when moved. The order is taken as given (offset of the line for each place).
  virtual BOOL MoveSortedRows(CGXGridCore* grid, const CGXRange& range, const CDWordArray& order, UINT flags,
                              int commandType);
  virtual BOOL MoveSortedCols(CGXGridCore* grid, const CGXRange& range, const CDWordArray& order, UINT flags,
                              int commandType);
  virtual void UpdateMoveDataRows(CGXGridCore* grid, const CGXRange& range, UINT flags, BOOL createHint);
  virtual void UpdateMoveDataCols(CGXGridCore* grid, const CGXRange& range, UINT flags, BOOL createHint);
  virtual void GetSortKeysRowCol(CGXGridCore* grid, ROWCOL row, const CGXSortInfoArray& keys, GXSortEntry& entry);
  virtual void GetSortKeysColRow(CGXGridCore* grid, ROWCOL col, const CGXSortInfoArray& keys, GXSortEntry& entry);
  // 1 when it sorted.
  virtual int OnClickedHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col);

  // The grid's forwarders. args of 1 and 6: const CGXRange*, CGXSortInfoArray*, flags. 2 and 7: const
  // CGXRange*, const CDWordArray*, flags, command type. 3 and 8: const CGXRange*, const CDWordArray*.
  // 4 and 9: const CGXRange*, flags, create hint. 5 and 10: row (column), const CGXSortInfoArray*,
  // GXSortEntry*. 0: std::vector<GXSortEntry*>*.
  void SortRows(CGXGridCore* grid, const GXForwardArgs& args) override;
  LRESULT SortForward2(CGXGridCore* grid, const GXForwardArgs& args) override;
  LRESULT StoreMoveDataRows(CGXGridCore* grid, const GXForwardArgs& args) override;
  void RefreshAfterSort(CGXGridCore* grid, const GXForwardArgs& args) override;
  void SortForward5(CGXGridCore* grid, const GXForwardArgs& args) override;
  void SortCols(CGXGridCore* grid, const GXForwardArgs& args) override;
  LRESULT SortForward7(CGXGridCore* grid, const GXForwardArgs& args) override;
  LRESULT StoreMoveDataCols(CGXGridCore* grid, const GXForwardArgs& args) override;
  void RefreshAfterSortCols(CGXGridCore* grid, const GXForwardArgs& args) override;
  void SortForward10(CGXGridCore* grid, const GXForwardArgs& args) override;
  void SortKeys(CGXGridCore* grid, const GXForwardArgs& args) override;
  void OnColsSortedHint(CGXGridCore* grid, const CGXRange& range, UINT flags) override;
  BOOL OnDblClkCell(CGXGridCore* grid, ROWCOL row, ROWCOL col, UINT keys, POINT pt) override;

 private:
  void Sort(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags, BOOL rows);
  BOOL MoveSorted(CGXGridCore* grid, const CGXRange& range, const CDWordArray& order, UINT flags, int commandType,
                  BOOL rows);
};

// Sorting through the grid's forwarders (what a grid class overrides takes part).
void GXSortRows(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags = GX_UPDATENOW);
void GXSortCols(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, UINT flags = GX_UPDATENOW);
