// Cells as tab-separated text and pasted text into cells: the clipboard's text format.
//
// The operations, counted from 0 as the grid's TextExchangeForward<n> forwarders name them:
//   0 CopyTextToFile (file, ranges)             2 PasteTextFromBuffer (data, size, target)
//   1 GetCopyText (the grid's CellTextForCopy)   3 SetPastedText (the grid's SetTextThroughGrid)
//                                               4 GetTextDimensions (data, size, rows, cols)
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CFile;

class CGXTextDataExchangeImp : public CGXGridTextDataExchangeImp {
 public:
  // The block's display texts, columns separated by the grid's copy separator (a tab when empty), rows by
  // CR LF, with a final CR LF when the block is more than one cell. TRUE when not aborted and some cell had
  // a text. Stores the rows written and the columns of the last row as the last copied block size.
  virtual BOOL CopyTextToFile(CGXGridCore* grid, CFile& file, const CGXRangeList& ranges);
  // The display text of one cell (its control's text for the value, else the style's value).
  virtual void GetCopyText(CString& out, CGXGridCore* grid, ROWCOL row, ROWCOL col);
  // Stores the fields of a text buffer into the cells from the target's top-left cell, growing the grid
  // unless the clipboard flags 0x0200 (rows) and 0x0400 (columns) forbid it (then what lies beyond is
  // dropped), as one "Paste." transaction. FALSE when a cell refused its text or the user aborted.
  virtual BOOL PasteTextFromBuffer(CGXGridCore* grid, const char* data, size_t size, const CGXRange& target);
  virtual BOOL SetPastedText(CGXGridCore* grid, ROWCOL row, ROWCOL col, const CString& text, UINT flags,
                             const CGXStyle* style);
  virtual BOOL GetTextDimensions(CGXGridCore* grid, const char* data, size_t size, DWORD* rows, DWORD* cols);

  // args: CFile*, const CGXRangeList*.
  LRESULT TextExchangeForward0(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: const char* data, size, const CGXRange* target.
  LRESULT TextExchangeForward2(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: const char* data, size, DWORD* rows, DWORD* cols.
  LRESULT TextExchangeForward4(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: row, col, LPCTSTR text, flags, const CGXStyle* style.
  LRESULT SetTextThroughGrid(CGXGridCore* grid, const GXForwardArgs& args) override;
  BOOL CellText(CString& out, CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
};
