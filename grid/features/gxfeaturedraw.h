// Drawing helpers the user-interaction features share: a prepared client device context of the grid window
// and a walk over the shown cells of a range.
#pragma once

#include <vector>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "platform/gdi/CDC.h"

namespace gxfeat {

// A client device context of the grid window, prepared for the grid and clipped to its drawing area;
// empty (Get() null) without a window or while updates are locked.
class ClientDC {
 public:
  explicit ClientDC(CGXGridCore* g, BOOL clipToArea = TRUE);
  ~ClientDC();
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  CDC* Get() { return m_hdc ? &m_dc : nullptr; }

 private:
  HWND m_hwnd = nullptr;
  HDC m_hdc = nullptr;
  CDC m_dc;
};

// The rows (columns) of first..last that are on screen and have a size: the frozen ones after the header
// rows (columns), then the scrolled ones up to the last shown; with the pixel span of each.
struct ShownLine {
  ROWCOL index;
  int from, to;  // top and bottom (left and right) edge in client pixels
};
std::vector<ShownLine> ShownRows(CGXGridCore* g, ROWCOL first, ROWCOL last);
std::vector<ShownLine> ShownCols(CGXGridCore* g, ROWCOL first, ROWCOL last);

// A range as a cell rectangle over rows first..rows and columns first..cols (whole rows, columns and the
// table get their missing bounds so); an invalid range stays invalid.
CGXRange AsCells(const CGXRange& r, ROWCOL rows, ROWCOL cols, ROWCOL first = 1);

}  // namespace gxfeat
