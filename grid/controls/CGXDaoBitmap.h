// The bitmap field cell: a static cell that draws the picture carried by its style's user attribute 52794
// (a byte array holding a bitmap file, possibly behind a record header); without the attribute the cell
// shows its text as a static cell does.
#pragma once

#include "grid/controls/CGXStatic.h"
#include "platform/base/OleVariant.h"

constexpr WORD GX_IDS_CTRL_DAOBITMAP = 20128;

// The packed DIB in a byte-array VARIANT (VT_ARRAY | VT_UI1) as a movable, zero-filled global block: the
// bytes from the first "BM" on, without its 14-byte file header unless `keepFileHeader`. Checked first: the
// header must be the 40-byte one and the colour table and pixel rows must lie within the data; NULL
// otherwise, for any other type, and when no "BM" is found.
HGLOBAL ConvertVariantToDIB(const VARIANT& value, BOOL keepFileHeader);

class CGXDaoBitmap : public CGXStatic {
 public:
  explicit CGXDaoBitmap(CGXGridCore* grid) : CGXStatic(grid) {}
  static const CGXControlClass classCGXDaoBitmap;
  const CGXControlClass* GetControlClass() const override { return &classCGXDaoBitmap; }

  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  // Draws the picture of `value` (converted when no bitmap is given) with CGXDIB's mode and alignment;
  // frees the bitmap when asked. Returns the bitmap, NULL when the value holds none (after `free` the
  // handle is only a name: it must not be used).
  static HGLOBAL DrawDIB(CDC* dc, const VARIANT& value, const RECT& rect, UINT mode, BYTE align,
                         HGLOBAL dib = nullptr, BOOL free = FALSE);

 protected:
  // Offers a drawn bitmap to the grid's per-cell cache; TRUE asks the caller to free it. The grids of this
  // system keep no such cache, so the bitmap is freed after every drawing.
  virtual BOOL OfferBitmapToGrid(ROWCOL row, ROWCOL col, HGLOBAL dib) { return (void)row, (void)col, (void)dib, TRUE; }
};
