// Cells' styles through a class-library archive: the clipboard's styles format ("Grid Styles %08x").
//
// The form: rows (32-bit), columns (32-bit), then a CObArray written as an object with rows x columns
// elements in block order (gxcopyblock.h), each a CGXStyle or null for a cell without a stored style. While
// the array is read or written the archive's document pointer is the grid's styles map.
//
// Operations counted from 0 (the grid's StyleExchangeForward<n>): 0 CopyStylesToArchive, 1 GetStyleForCopy,
// 2 PasteStylesFromArchive.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CArchive;

class CGXStyleDataExchangeImp : public CGXGridStyleDataExchangeImp {
 public:
  // Writes the block; "Range too big." and FALSE for a block of 0x3FFFFFFF cells or more, or more than
  // 32767 rows or columns. TRUE when not aborted.
  virtual BOOL CopyStylesToArchive(CGXGridCore* grid, CArchive& ar, const CGXRangeList& ranges, BOOL composed);
  // composed: the cell's composed style, TRUE. Else the stored style (with the stored-value kind under
  // clipboard flag 0x0800): TRUE when the cell has one.
  virtual BOOL GetStyleForCopy(CGXGridCore* grid, ROWCOL row, ROWCOL col, CGXStyle& style, BOOL composed);
  // Reads a block and applies it from the target's top-left cell as one "Paste." transaction. Nothing
  // changes when the archive is malformed (rows x columns not the array's size, an element not a style),
  // when the user cancels the size question, or when the block's first cell lies outside the grid.
  virtual BOOL PasteStylesFromArchive(CGXGridCore* grid, CArchive& ar, const CGXRange& target, BOOL doNotAsk);

  // args: CArchive*, const CGXRangeList*, composed.
  LRESULT StyleExchangeForward0(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: row, col, CGXStyle*, composed.
  LRESULT StyleExchangeForward1(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: CArchive*, const CGXRange* target, doNotAsk.
  LRESULT StyleExchangeForward2(CGXGridCore* grid, const GXForwardArgs& args) override;
};
