// Device-independent bitmaps of cells: a packed DIB (header, colour table, pixels) in a global memory
// block, and the drawing of any such DIB at natural size, stretched or scaled to fit.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/gdi/gdiapi.h"

class CDC;

// biClrUsed when not 0, else 2, 16 or 256 for 1, 4 or 8 bits per pixel, 0 otherwise.
UINT GetDibColorCount(const BITMAPINFOHEADER& header);
// A copy of an RT_BITMAP resource in a new movable global block; null on failure.
HGLOBAL LoadDibResource(HINSTANCE module, LPCSTR name);
// The resource module first, then the instance module (then the grid's own).
HGLOBAL LoadDibResourceAnyModule(LPCSTR name);

class CGXDIB : public CObject {
  DECLARE_DYNCREATE(CGXDIB)

 public:
  enum DrawMode : UINT { natural = 0, stretch = 1, scaleToFit = 2 };
  enum Align : BYTE { hCenter = 1, hRight = 2, vCenter = 4, vBottom = 8 };

  CGXDIB() = default;
  CGXDIB(const CGXDIB&) = delete;
  ~CGXDIB() override { Release(); }

  // Takes a global-memory DIB (releasing the one held); FALSE for null or a block that is no DIB.
  BOOL Attach(HGLOBAL dib);
  HGLOBAL Detach();
  HGLOBAL GetHandle() const { return m_hDIB; }
  UINT GetColorCount() const { return m_nColors; }
  LONG GetWidth() const { return m_nWidth; }
  LONG GetHeight() const { return m_nHeight; }

  // Draws dib into dest (see DrawMode and Align); src null means the whole bitmap, in DIB coordinates
  // whose rows count from the bottom. A block that is no valid DIB draws nothing.
  static void Draw(CDC* pDC, HGLOBAL dib, const RECT* dest, UINT mode, BYTE align, const RECT* src = nullptr);

 private:
  // The held block is always global memory and is freed with GlobalFree.
  void Release();

  HGLOBAL m_hDIB = nullptr;
  UINT m_nColors = 0;
  LONG m_nWidth = 0;
  LONG m_nHeight = 0;
};

namespace gx {
// The header, colour count and bit offset of a packed DIB block; false when the block is too small for
// what its header says.
struct DibInfo {
  BITMAPINFOHEADER header{};
  UINT colors = 0;
  std::size_t bitsOffset = 0;
};
bool InspectDib(const void* block, std::size_t size, DibInfo& info);
// A packed 24-bit DIB of width x height pixels (rows bottom-up, each padded to four bytes) whose pixel x of
// stored row y (0: the bottom row) is `colour(x, y)`.
std::vector<BYTE> MakeDib24(int width, int height, const std::function<COLORREF(int x, int y)>& colour);
}  // namespace gx
