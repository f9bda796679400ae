// The progress-bar cell: a cell's integer value as a horizontal bar between a lower and an upper bound,
// with an optional caption centred over it, drawn in two colours where it crosses the bar's edge. No
// editing of its own: a value applied through the control is clamped to the bounds.
//
// Sound arithmetic: the bar is clamp((value - lower) x width / (upper - lower), 0, width) pixels wide, and
// empty when the bounds are equal (the default) or reversed. The caption attribute is user text: only
// "%%" and one integer conversion are formatted (FormatProgressCaption); anything else shows literally.
#pragma once

#include "grid/controls/CGXControl.h"

class CGXStylesMap;

constexpr WORD GX_IDS_CTRL_PROGRESS = 52536;
constexpr WORD GX_IDS_UA_PROGRESS_LOWER = 51025, GX_IDS_UA_PROGRESS_UPPER = 51026, GX_IDS_UA_PROGRESS_CAPTION = 51027;

namespace gx {
// The caption format with the value: "%%" gives '%'; the first conversion made of flags (-+ #0), a width
// of at most two digits and one of d, i, u, x, X, o gives the value; every other '%' and every later
// conversion stays as written.
CString FormatProgressCaption(const CString& format, long value);
}  // namespace gx

class CGXProgressCtrl : public CGXControl {
 public:
  explicit CGXProgressCtrl(CGXGridCore* grid) : CGXControl(grid) {}
  static const CGXControlClass classCGXProgressCtrl;
  const CGXControlClass* GetControlClass() const override { return &classCGXProgressCtrl; }
  static void RegisterUserAttributes(CGXStylesMap* map);

  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  // A value outside the bounds (from the applied style where it carries them, else the cell's) is applied
  // as the nearest bound; the lower one when the bounds are reversed.
  BOOL ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                        const CGXStyle* current) override;

  virtual void GetCaption(CString& out, ROWCOL row, ROWCOL col, const CGXStyle& style);
  // The bar in the text colour, the rest in the interior colour (black and white when printing so).
  virtual COLORREF GetBarColor(BOOL bar, const CGXStyle& style);
  // Over the bar the interior colour, elsewhere the text colour.
  virtual COLORREF GetCaptionColor(BOOL overBar, const CGXStyle& style);

  // The bar's width in a rectangle `width` pixels wide.
  static int BarWidth(long value, long lower, long upper, int width);
  static long Bound(const CGXStyle& style, WORD id);
  // The value of a style as the bar shows it: its whole part, a number past 64 bits held at their end.
  static long Value(const CGXStyle& style);
  double GetUnitsPerPixel() const { return m_dUnitsPerPixel; }

 private:
  BOOL PrintsBlackAndWhite() const;

  double m_dUnitsPerPixel = 1.0;
};
