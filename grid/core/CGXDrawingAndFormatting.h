// The grid's text, frame and fill drawing, through one process-wide object whose operations are virtual
// so that a program can replace the whole text and frame drawing by deriving from it.
//
// Text layout (CalcLineBreaks) is shared by drawing, ellipsis drawing and hit-testing, so that the three
// always agree on where each line starts. The platform's code page is single-byte: every character is
// one byte.
#pragma once

#include <array>
#include <memory>

#include "grid/core/gxtypes.h"
#include "platform/base/CString.h"
#include "platform/gdi/CBitmap.h"

class CDC;
class CGXControl;
class CGXStyle;

class CGXDrawingAndFormatting {
 public:
  static constexpr int kMaxLines = 32;
  static constexpr UINT kPatterns = 41;

  enum Ellipsis : UINT { noEllipsis = 0, endEllipsis = 1, poundFill = 2 };

  virtual ~CGXDrawingAndFormatting() = default;

  // The 8 x 8 monochrome pattern n (0..40), created on first use; null for another n.
  virtual CBitmap* GetPatternBitmap(UINT n);
  // Wrapped text with an ellipsis type: none, "..." on the last visible line, or "#" for single lines
  // that do not fit.
  virtual void DrawTextEllipsis(CDC* pDC, LPCTSTR text, int length, RECT rect, UINT format, const RECT* clip,
                                UINT ellipsis);
  // Text at an angle (tenths of a degree) through the installed rotated-text drawing; 0 without it.
  virtual int DrawRotatedText(CDC* pDC, LPCTSTR text, int length, int left, int top, int right, int bottom,
                              UINT format, LONG angle, const RECT* clip);
  // Draws the lines of CalcLineBreaks one below the other.
  virtual void DrawWrappedText(CDC* pDC, LPCTSTR text, int length, RECT rect, UINT format, const RECT* clip);
  // The index of the character at (x, y) of the text laid out as DrawWrappedText does, or -1.
  virtual int HitTestWrappedText(CDC* pDC, LPCTSTR text, int length, RECT rect, UINT format, int x, int y);
  // CalcLineBreaks with room for kMaxLines lines.
  virtual int BreakLines(CDC* pDC, LPCTSTR text, int length, RECT& rect, UINT format, int* starts, int* lengths);
  // Breaks the text into lines that fit the rectangle (at most maxLines) and moves the rectangle's top for
  // vertical centring (format 4) or bottom alignment (8). Returns the number of lines.
  virtual int CalcLineBreaks(CDC* pDC, LPCTSTR text, int length, RECT& rect, UINT format, int* starts,
                             int* lengths, int maxLines);
  // The display text of a value under the style's number format, through the installed number formatting.
  // Without it: the value text unchanged, else the style's own value (empty when it has none).
  virtual CString FormatDisplayText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType, int arg1 = 0,
                                    int arg2 = 0);
  // The installed number recognition; FALSE without it.
  virtual BOOL ParseDisplayText(LPCTSTR text, double& value);
  // A frame of `width` rings: top and left in the first colour, bottom and right in the second.
  virtual void Draw3dFrame(CDC* pDC, int left, int top, int right, int bottom, int width, COLORREF topLeft,
                           COLORREF bottomRight);
  virtual void DrawEdge3d(CDC* pDC, RECT rect, BOOL frame, BOOL sunken);
  // The caption centred in a button rectangle, and a dotted focus frame when asked.
  virtual void DrawButtonCaption(CDC* pDC, RECT rect, LPCTSTR text, BOOL focus);
  // A static cell's content: its bitmap when the text names one (not for controls whose window is an
  // edit), else its text in the style's font, colours and alignment; rotated by the font's orientation,
  // with the ellipsis of user attribute 52792, right-to-left reading with attribute 52570. The control's
  // background step runs first, so that it never covers the text.
  virtual void DrawCellText(CGXControl* control, CDC* pDC, const RECT& rect, ROWCOL row, ROWCOL col,
                            const CGXStyle& style);

 private:
  // The line step: font height plus external leading, one less from 20 pixels on.
  static int LineStep(CDC* pDC);
  static int LineX(CDC* pDC, const RECT& rect, UINT format, LPCTSTR line, int n);

  std::array<std::unique_ptr<CBitmap>, kPatterns> m_patterns;
};

CGXDrawingAndFormatting& GetDrawingAndFormatting();

// Fills with a packed colour (a top byte of 0x41..0xFE is a system colour) by an opaque ExtTextOut; the
// background colour is restored.
void FillColorRect(CDC* pDC, int x, int y, int cx, int cy, COLORREF color);
void FillColorRectRc(CDC* pDC, const RECT& rect, COLORREF color);
void DrawEdgeRect(CDC* pDC, RECT rect, UINT edge, BOOL adjust);
// Inverts the rectangle, clipped to `clip` unless that is empty.
void InvertRectClipped(CDC* pDC, const RECT& rect, const RECT& clip);
// A packed colour as the colour to draw with.
COLORREF ResolvePackedColor(COLORREF color);

// The free form of the object's FormatDisplayText.
CString FormatDisplayText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType, int arg1 = 0, int arg2 = 0);
// Loads one of the grid's bitmap resources with its black, dark grey, light grey and white replaced by the
// current button colours (as the owner-draw buttons load theirs), from the resource module, the instance
// module, then the grid's own module. FALSE leaves the bitmap empty.
BOOL LoadSysColorBitmap(CBitmap& bitmap, LPCSTR name);

// Double-byte typing: a lead byte is held until its trail byte comes; the pair is then one two-byte text.
enum class GXComposedChar { single, held, pair };
GXComposedChar ComposeDbcsChar(BOOL& leadPending, BYTE& lead, UINT ch, CString& text);

// Choice lists: lines separated by CR LF, fields by tabs.
// The n-th tab-separated field (from 0), at most max - 1 characters plus the terminator; empty when
// missing. Returns the field's length.
int GetTabbedField(LPCTSTR line, int n, char* buffer, int max);
// Splits at the first CR or LF; rest starts after CR LF or the single break. The break position, or -1.
int ExtractFirstLine(LPCTSTR text, CString& line, CString* rest = nullptr);
// The index of the first line whose field matches text: exactly, or as a case-insensitive prefix.
int FindChoiceListEntry(LPCTSTR list, LPCTSTR text, int field, BOOL exact);
// Sorts the lines (keeping the first in place when asked) ignoring case and joins them with CR LF.
CString SortChoiceList(LPCTSTR list, int field, BOOL keepHeader);
