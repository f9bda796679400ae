#include "grid/features/CGXCellTipStatic.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXCellTipWnd.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/CEdit.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

namespace gxtip {

namespace {
constexpr WORD kEllipsisAttribute = 52792;  // "Type of ellipses that will be drawn"; 1 is dotted

// The text's extent in the style's font (zoomed as the grid draws it) on the grid's measuring device; a
// text of several lines measures as DrawText lays it out.
CSize MeasureText(CGXGridCore* grid, const CString& text, const CGXStyle& style) {
  CDC* dc = grid->GetCachedDC();
  if (!dc) return CSize(0, 0);
  CFont* old = grid->CreateZoomedFont(dc, style.GetFont());
  CRect r(0, 0, 0, 0);
  if (!text.IsEmpty()) dc->DrawText(text, &r, DT_CALCRECT | DT_NOPREFIX);
  if (old) dc->SelectObject(old);
  return CSize(r.Width(), r.Height());
}
}  // namespace

CString CellText(CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  CString text;
  if (control) control->GetDisplayText(text, row, col, nullptr, style);
  return text;
}

BOOL IsBitmapCell(CGXControl* control, const CString& text) {
  return text.Left(4) == "#BMP" && !(control && control->IsWindowKindOf(RUNTIME_CLASS(CEdit)));
}

CRect GridScreenRect(CGXGridCore* grid) {
  CRect r(0, 0, 0, 0);
  if (HWND h = grid->GridHwnd()) {
    ::GetClientRect(h, &r);
    ::MapWindowPoints(h, nullptr, reinterpret_cast<LPPOINT>(&r), 2);
  }
  return r;
}

namespace {
CRect CellScreenRect(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
  CRect r;
  grid->CalcCellRectWithSpans(&r, row, col);
  if (HWND h = grid->GridHwnd()) ::MapWindowPoints(h, nullptr, reinterpret_cast<LPPOINT>(&r), 2);
  return r;
}
}  // namespace

CRect InnerCellRect(CGXGridCore* grid, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  CRect r = CellScreenRect(grid, row, col);
  auto width = [&](int side) { return style.HasBorder(side) ? static_cast<int>(style.GetBorder(side).GetWidth()) : 0; };
  if (style.HasBorder(GX_BORDER_LEFT)) r.left += width(GX_BORDER_LEFT);
  if (style.HasBorder(GX_BORDER_TOP)) r.top += width(GX_BORDER_TOP);
  if (style.HasBorder(GX_BORDER_RIGHT)) r.right -= width(GX_BORDER_RIGHT) - 1;
  if (style.HasBorder(GX_BORDER_BOTTOM)) r.bottom -= width(GX_BORDER_BOTTOM) - 1;
  return r;
}

CRect TextRect(CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  CGXGridCore* grid = control->GetGrid();
  CRect cell;
  grid->CalcCellRectWithSpans(&cell, row, col);
  CRect r = control->ComputeInnerRect(cell, style);
  if (HWND h = grid->GridHwnd()) ::MapWindowPoints(h, nullptr, reinterpret_cast<LPPOINT>(&r), 2);
  return r;
}

UINT PlacementFlags(CGXGridCore* grid, const CRect& rect) {
  const CRect g = GridScreenRect(grid);
  UINT flags = 0;
  if (rect.left < g.left || rect.right > g.right) flags |= kBeyondGridX;
  if (rect.top < g.top || rect.bottom > g.bottom) flags |= kBeyondGridY;
  if (rect.left < 0 || rect.right > ::GetSystemMetrics(SM_CXSCREEN)) flags |= kBeyondScreenX;
  if (rect.top < 0 || rect.bottom > ::GetSystemMetrics(SM_CYSCREEN)) flags |= kBeyondScreenY;
  return flags;
}

CSize BitmapSize(const CString& text) {
  HGLOBAL dib = GetDIBPool().GetDIB(text);
  if (!dib) return CSize(0, 0);
  CSize size(0, 0);
  if (const void* p = ::GlobalLock(dib)) {
    gx::DibInfo info;
    if (gx::InspectDib(p, ::GlobalSize(dib), info))
      size = CSize(info.header.biWidth, std::abs(static_cast<int>(info.header.biHeight)));
    ::GlobalUnlock(dib);
  }
  return size;
}

CPoint BitmapOrigin(const CRect& inner, CSize bitmap, const CGXStyle& style) {
  CPoint p = inner.TopLeft();
  const UINT h = style.GetHorizontalAlignment(), v = style.GetVerticalAlignment();
  if (inner.Width() > bitmap.cx) {
    if (h == GX_DT_CENTER) p.x = inner.left + (inner.Width() - bitmap.cx) / 2;
    if (h == GX_DT_RIGHT) p.x = inner.right - bitmap.cx - 1;
  }
  if (inner.Height() > bitmap.cy) {
    if (v == GX_DT_VCENTER) p.y = inner.top + (inner.Height() - bitmap.cy) / 2;
    if (v == GX_DT_BOTTOM) p.y = inner.bottom - bitmap.cy - 1;
  }
  return p;
}

UINT BitmapTipFlags(CGXGridCore* grid, const CString& text, const CRect& inner, const CGXStyle& style) {
  const CSize size = BitmapSize(text);
  if (size.cx == 0 && size.cy == 0) return 0;
  UINT flags = 0;
  if (size.cx > inner.Width()) flags |= kTooWide;
  if (size.cy > inner.Height()) flags |= kTooHigh;
  const CPoint o = BitmapOrigin(inner, size, style);
  return flags | PlacementFlags(grid, CRect(o, size));
}

CSize TextExtent(CGXGridCore* grid, const CString& text, const CGXStyle& style) {
  if (!style.GetFontPtr()) return CSize(0, 0);
  return MeasureText(grid, text, style);
}

CPoint TextOrigin(CGXGridCore* grid, const CRect& textRect, const CString& text, const CGXStyle& style) {
  const UINT h = style.GetHorizontalAlignment(), v = style.GetVerticalAlignment();
  CSize size = MeasureText(grid, text, style);
  const int room = textRect.right - textRect.left + 1;
  if ((h == GX_DT_CENTER || h == GX_DT_RIGHT) && size.cx > room) {
    // Shortened as the cell shows it: characters go from the end until it fits.
    const BOOL dotted = style.HasUserAttribute(kEllipsisAttribute) &&
                        style.GetUserAttributeText(kEllipsisAttribute) == "1";
    CString shortened = text;
    while (size.cx > room && shortened.GetLength() > 1) {
      shortened = shortened.Left(shortened.GetLength() - 1);
      size = MeasureText(grid, dotted ? shortened + "..." : shortened, style);
    }
  }
  CPoint p = textRect.TopLeft();
  if (h == GX_DT_RIGHT) p.x = textRect.left + std::max(0, textRect.right - textRect.left - static_cast<int>(size.cx) + 1);
  if (h == GX_DT_CENTER)
    p.x = textRect.left + std::max(0, (textRect.right - textRect.left - static_cast<int>(size.cx) + 1) / 2);
  if (v == GX_DT_BOTTOM) p.y = textRect.top + std::max(0, textRect.bottom - textRect.top - static_cast<int>(size.cy));
  if (v == GX_DT_VCENTER)
    p.y = textRect.top + std::max(0, (textRect.bottom - textRect.top - static_cast<int>(size.cy)) / 2);
  return p;
}

UINT TextTipFlags(CGXGridCore* grid, const CString& text, const CRect& textRect, const CGXStyle& style) {
  if (const CGXFont* font = style.GetFontPtr(); font && font->GetIncludeOrientation() && font->GetOrientation() != 0)
    return 0;  // rotated text gets no tip
  const CSize extent = TextExtent(grid, text, style);
  const CPoint o = TextOrigin(grid, textRect, text, style);
  CRect visible(o, extent);
  visible.right = std::min(visible.right, textRect.right);
  visible.bottom = std::min(visible.bottom, textRect.bottom);
  UINT flags = 0;
  if (extent.cy > visible.Height()) flags |= kTooHigh;
  if (extent.cx > visible.Width() + 1) flags |= kTooWide;
  return flags | PlacementFlags(grid, visible);
}

}  // namespace gxtip

// ---- The tip object ---------------------------------------------------------------------------------------

BOOL CGXCellTipStatic::NeedsTip(ROWCOL row, ROWCOL col, const CGXStyle& style) {
  if (!m_pControl) return FALSE;
  CGXGridCore* grid = m_pControl->GetGrid();
  const CString text = gxtip::CellText(m_pControl, row, col, style);
  if (gxtip::IsBitmapCell(m_pControl, text))
    return gxtip::BitmapTipFlags(grid, text, gxtip::InnerCellRect(grid, row, col, style), style) != 0;
  if (style.IsIncluded(GX_IN_WRAPTEXT) && style.GetWrapText()) return FALSE;
  if (text.IsEmpty()) return FALSE;
  return gxtip::TextTipFlags(grid, text, gxtip::TextRect(m_pControl, row, col, style), style) != 0;
}

int CGXCellTipStatic::GetTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) {
  if (!m_pControl) return GX_CELLTIP_TEXT;
  return gxtip::IsBitmapCell(m_pControl, gxtip::CellText(m_pControl, row, col, style)) ? GX_CELLTIP_BITMAP
                                                                                      : GX_CELLTIP_TEXT;
}

void CGXCellTipStatic::ShowTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) {
  if (!m_pControl || !tipWnd) return;
  if (GetTipKind(row, col, style) == GX_CELLTIP_BITMAP)
    ShowBitmapTip(row, col, style, tipWnd);
  else
    ShowTextTip(row, col, style, tipWnd);
}

void CGXCellTipStatic::ShowTextTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) {
  auto* wnd = dynamic_cast<CGXTextCellTipWnd*>(tipWnd);
  if (!wnd) return;
  CGXGridCore* grid = m_pControl->GetGrid();
  // 1-2. The text, and the style's font at the grid's zoom.
  const CString text = gxtip::CellText(m_pControl, row, col, style);
  wnd->SetText(text);
  LOGFONT lf{};
  style.GetFont().GetLogFontZoomed(lf, grid->GetZoom());
  wnd->SetFont(lf);
  // 3. What the placement works with.
  const CRect cell = gxtip::InnerCellRect(grid, row, col, style);
  const CRect textRect = gxtip::TextRect(m_pControl, row, col, style);
  const CPoint start = gxtip::TextOrigin(grid, textRect, text, style);
  const CSize extent = gxtip::TextExtent(grid, text, style);
  const int cx = extent.cx + 6, cy = extent.cy + 2;
  const UINT mask = gxtip::TextTipFlags(grid, text, textRect, style);
  const BOOL hCentred = style.GetHorizontalAlignment() == GX_DT_CENTER;
  const BOOL vCentred = style.GetVerticalAlignment() == GX_DT_VCENTER;
  const int sx = ::GetSystemMetrics(SM_CXSCREEN), sy = ::GetSystemMetrics(SM_CYSCREEN);
  const int offX = start.x - cell.left, offY = start.y - cell.top;
  // 4. The size.
  int w = 0, h = 0;
  if (mask & gxtip::kBeyondScreenX)
    w = cx;
  else if ((mask & gxtip::kBeyondGridX) && !hCentred)
    w = offX + cx;
  else
    w = std::max(offX + cx, std::min(cell.Width() + 1, sx - cell.left + 1));
  if (mask & gxtip::kBeyondScreenY)
    h = cy;
  else if ((mask & gxtip::kBeyondGridY) && !vCentred)
    h = offY + cy;
  else
    h = std::max(offY + cy, std::min(cell.Height(), sy - cell.top));
  // 5. The place: the cell's top-left corner, kept on the screen. Decision: a cell beyond the screen's
  // edge starts there too; the limiting brings the tip back onto the screen.
  const int x = std::clamp(static_cast<int>(cell.left), 0, std::max(0, sx - w));
  const int y = std::clamp(static_cast<int>(cell.top), 0, std::max(0, sy - h));
  wnd->SetWindowRect(CRect(x, y, x + w, y + h));
  // 6. The text inside the tip, where the cell shows it.
  CRect text_(0, 0, w, h);
  text_.left = (mask & gxtip::kBeyondScreenX) ? 2 : std::min(static_cast<int>(start.x), sx - cx + 2) - x;
  text_.top = (mask & gxtip::kBeyondScreenY) ? 0 : std::min(static_cast<int>(start.y), sy - cy + 2) - y;
  if (style.GetVerticalAlignment() == GX_DT_BOTTOM) text_.top = std::max(0, static_cast<int>(text_.top) - 1);
  wnd->SetTextRect(text_);
}

void CGXCellTipStatic::ShowBitmapTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) {
  auto* wnd = dynamic_cast<CGXStaticBitmapCellTipWnd*>(tipWnd);
  if (!wnd) return;
  CGXGridCore* grid = m_pControl->GetGrid();
  const CString text = gxtip::CellText(m_pControl, row, col, style);
  HGLOBAL dib = GetDIBPool().GetDIB(text);
  if (!dib) return;
  const CSize size = gxtip::BitmapSize(text);
  wnd->SetBitmap(dib);
  const CRect cell = gxtip::InnerCellRect(grid, row, col, style);
  // Decision: the tip covers the bitmap and at least the cell (the cell's own size, not its distance from
  // the grid's left and top edges, which would stretch a tip over unrelated cells).
  const int w = std::max(static_cast<int>(size.cx) + 1, cell.Width() + 1);
  const int h = std::max(static_cast<int>(size.cy) + 1, cell.Height() + 1);
  const int fullX = ::GetSystemMetrics(SM_CXFULLSCREEN), fullY = ::GetSystemMetrics(SM_CYFULLSCREEN);
  int x = cell.left, y = cell.top;
  if (style.GetVerticalAlignment() == GX_DT_BOTTOM && cell.Height() <= size.cy) y = cell.bottom - h;
  x = std::max(0, std::min(x, fullX - w));
  y = std::max(0, std::min(y, fullY - h));
  wnd->SetWindowRect(x, y, x + w, y + h);
  const CPoint o = gxtip::BitmapOrigin(CRect(0, 0, w, h), size, style);
  wnd->SetBitmapRect(CRect(o, size));
}
