// Find and replace in cell texts through the modeless find dialog. The request (texts, case, direction, the
// dialog) is the process-wide CGXFindReplaceState; this object keeps the grid that last opened the dialog.
//
// Operations counted from 0 (the grid's forwarders): 0 OnShowFindReplaceDialog (FindReplaceForward0),
// 1 OnFindNext (SetFindRequest), 2 FindTextInCell, 3 SearchColumn (SearchFromCell), 4 FindNext
// (SearchNextMatch), 5 OnReplaceSel (FindReplaceForward5), 6 OnReplaceAll (FindReplaceForward6),
// 7 OnFindReplace (the dialog's message; FindReplaceForward7), 8 ReplaceAllInCell.
//
// Searches go down (or up) the current cell's column, from the current cell on, over the cells the user sees.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "platform/base/CString.h"

class CGXFindReplaceImp : public CGXGridFindReplaceImp {
 public:
  virtual void OnShowFindReplaceDialog(CGXGridCore* grid, BOOL findOnly);
  virtual void OnFindNext(CGXGridCore* grid, LPCTSTR text, BOOL down, BOOL matchCase);
  BOOL FindTextInCell(CGXControl* control, CGXFindReplaceState& state, ROWCOL row, ROWCOL col, BOOL includeCurrent,
                      BOOL setCurrent) override;
  // From *row (stepping first) down or up the column *col; on a match *row is the matching row.
  virtual BOOL SearchColumn(CGXGridCore* grid, ROWCOL* row, ROWCOL* col, DWORD flags);
  virtual BOOL FindNext(CGXGridCore* grid, BOOL setCurrent);
  virtual void OnReplaceSel(CGXGridCore* grid, LPCTSTR text, BOOL down, BOOL matchCase, LPCTSTR replacement);
  // Every occurrence in the current column from the current row down; one "Replace All" transaction when the
  // request came from the dialog, which an abort with roll-back undoes.
  virtual void OnReplaceAll(CGXGridCore* grid, LPCTSTR text, LPCTSTR replacement, BOOL matchCase);
  void OnFindReplace(CGXGridCore* grid, CFindReplaceDialog* dialog) override;
  BOOL ReplaceAllInCell(CGXControl* control, CGXFindReplaceState& state, ROWCOL row, ROWCOL col) override;

  // args: findOnly.
  void FindReplaceForward0(CGXGridCore* grid, const GXForwardArgs& args) override;
  void SetFindRequest(CGXGridCore* grid, LPCTSTR text, BOOL down, DWORD matchCase) override;
  // args: LPCTSTR text, down, matchCase, LPCTSTR replacement.
  void FindReplaceForward5(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: LPCTSTR text, LPCTSTR replacement, matchCase.
  void FindReplaceForward6(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: CFindReplaceDialog*.
  void FindReplaceForward7(CGXGridCore* grid, const GXForwardArgs& args) override;
  BOOL SearchNextMatch(CGXGridCore* grid, BOOL setCurrent) override { return FindNext(grid, setCurrent); }
  BOOL SearchFromCell(CGXGridCore* grid, ROWCOL* row, ROWCOL* col, DWORD flags) override {
    return SearchColumn(grid, row, col, flags);
  }

  CGXGridCore* m_pLastGrid = nullptr;
};
