// The block that a copy of a range list writes: the list's row intervals (bands) over the grid's rows and
// its column intervals over the columns; the block is every row band crossed with every column band, row by
// row, bands packed edge to edge (gaps between the ranges are left out). Sizes are 64-bit: a block of whole
// rows and columns can have more cells than 32 bits count.
#pragma once

#include <cstdint>
#include <vector>

#include "grid/core/gxtypes.h"
#include "platform/base/CString.h"

class CGXGridCore;
class CGXRangeList;

struct GXCopyBlock {
  struct Band {
    ROWCOL first, last;
    uint64_t Size() const { return static_cast<uint64_t>(last) - first + 1; }
  };
  std::vector<Band> rowBands, colBands;
  uint64_t rows = 0, cols = 0;
  uint64_t Cells() const { return rows * cols; }  // rows, cols < 2^32: no overflow

  static GXCopyBlock FromRanges(CGXGridCore* grid, const CGXRangeList& ranges);
};

// The grid's row and column counts as a paste begins, for a grid whose transaction cannot take back what the
// paste adds (it records no undo): a refused paste gives the grid its size back (the rows and columns it added
// on its way go again). Where undo is recorded the transaction's roll-back does it, and this does nothing.
class GXSizeBeforePaste {
 public:
  explicit GXSizeBeforePaste(CGXGridCore* grid);
  BOOL Keeping() const { return m_bKeeping; }
  void GiveBack() const;

 private:
  CGXGridCore* m_pGrid;
  BOOL m_bKeeping;
  ROWCOL m_nRows, m_nCols;
};

namespace gx {

// Clipboard flag 0x1000: carriage return, line feed and tab inside a cell's text travel as escapes.
constexpr DWORD kClipEscapes = 0x1000;

// A cell's text as the text format writes it. Without escapes a CR LF pair, a lone CR and a lone LF each
// become one blank and a tab becomes backslash + "t" (other programs read this form: the tab must not split
// the cell, and the paste does not turn it back); with escapes CR, LF and tab become \r, \n and \t.
CString EncodeCopyText(const CString& text, BOOL escapes);
// A pasted field: with escapes \r, \n and \t become CR, LF and tab (a backslash before anything else stays);
// without them the bytes are taken as they are.
CString DecodePastedField(const char* data, size_t size, BOOL escapes);

// The shape of a text buffer as the paste reads it: lines (a CR LF pair, a lone CR or a lone LF ends one; a
// last line without line end counts when it holds a byte before the NUL) and the most fields of a line
// (at least 1). Separators: the characters of `separators` (a tab when empty). Reading stops at a NUL.
void MeasurePasteText(const char* data, size_t size, const CString& separators, DWORD* rows, DWORD* cols);

}  // namespace gx
