// Small helpers the windowless cell controls share: scopes that put a device context's font, text colour
// and background mode back, the enabled and read-only tests of a style, and the line height of a font.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStyle.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CDC.h"

namespace gx {

// Selects a style's font through the grid and puts the previous font back when the scope ends.
class CellFontScope {
 public:
  CellFontScope(CGXGridCore* grid, CDC* dc, const CGXStyle& style) : dc_(dc), old_(grid->SelectStyleFont(dc, style)) {}
  ~CellFontScope() {
    if (old_) dc_->SelectObject(old_);
  }
  CellFontScope(const CellFontScope&) = delete;
  CellFontScope& operator=(const CellFontScope&) = delete;

 private:
  CDC* dc_;
  CFont* old_;
};

// Text colour and background mode, put back when the scope ends.
class TextLookScope {
 public:
  TextLookScope(CDC* dc, COLORREF text, int mode)
      : dc_(dc), text_(dc->SetTextColor(text)), mode_(dc->SetBkMode(mode)) {}
  ~TextLookScope() {
    dc_->SetTextColor(text_);
    dc_->SetBkMode(mode_);
  }
  TextLookScope(const TextLookScope&) = delete;
  TextLookScope& operator=(const TextLookScope&) = delete;

 private:
  CDC* dc_;
  COLORREF text_;
  int mode_;
};

// A style is disabled only when it includes the enabled attribute cleared.
inline bool StyleDisabled(const CGXStyle& style) { return style.IsIncluded(GX_IN_ENABLED) && !style.GetEnabled(); }
inline bool StyleReadOnly(const CGXStyle& style) { return style.IsIncluded(GX_IN_READONLY) && style.GetReadOnly(); }

// The font's height plus its external leading, of the font selected into the DC.
inline int LineHeight(CDC* dc) {
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  return tm.tmHeight + tm.tmExternalLeading;
}

// A window over a cell that lies partly under the frozen rows or columns shows only the part the grid draws
// (the clip box of the grid's drawing): that part is validated in the window, the clip box invalidated
// (both from grid to window coordinates). TRUE when the window was clipped so.
inline bool ShowOnlyDrawnPart(CGXGridCore* grid, CWnd* window, CDC* dc, ROWCOL row, ROWCOL col, const CRect& placed) {
  const ROWCOL fr = grid->GetFrozenRows(), fc = grid->GetFrozenCols();
  const BOOL underFrozen = (row > fr && row < grid->GetFirstScrolledRow()) || (col > fc && col < grid->GetFirstScrolledCol());
  CRect clip;
  if (!underFrozen || dc->GetClipBox(&clip) == NULLREGION || clip.IsRectEmpty()) return false;
  CRect visible;
  visible.IntersectRect(clip, grid->GetGridRect());
  visible.OffsetRect(-placed.left, -placed.top);
  window->ValidateRect(&visible);
  clip.OffsetRect(-placed.left, -placed.top);
  window->InvalidateRect(&clip, TRUE);
  return true;
}

// The position of the first `find` in `text` from `from` on (compared upper-cased without `matchCase`); -1
// when there is none.
inline int FindFrom(const CString& text, int from, const CString& find, BOOL matchCase) {
  if (find.IsEmpty() || from < 0 || from > text.GetLength()) return -1;
  if (matchCase) return text.Find(find, from);
  CString search = text, key = find;
  search.MakeUpper();
  key.MakeUpper();
  return search.Find(key, from);
}

// Every occurrence of `find` in `text` from `start` replaced by `replace` (compared upper-cased without
// `matchCase`); the text before `start` is kept. The count of replacements; the text is unchanged at 0.
inline int ReplaceAllFrom(CString& text, int start, const CString& find, const CString& replace, BOOL matchCase) {
  if (find.IsEmpty() || start > text.GetLength()) return 0;
  CString search = text, key = find;
  if (!matchCase) {
    search.MakeUpper();
    key.MakeUpper();
  }
  CString out = text.Left(start);
  int count = 0, pos = start;
  for (int hit; (hit = search.Find(key, pos)) >= 0; pos = hit + key.GetLength(), ++count)
    out += text.Mid(pos, hit - pos) + replace;
  if (count == 0) return 0;
  text = out + text.Mid(pos);
  return count;
}

}  // namespace gx
