#include "grid/controls/CGXCheckBox.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/VisualStyles.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

const CGXControlClass CGXCheckBox::classCGXCheckBox = {"CGXCheckBox", &CGXControl::classCGXControl};
const CGXControlClass CGXCheckBoxEx::classCGXCheckBoxEx = {"CGXCheckBoxEx", &CGXCheckBox::classCGXCheckBox};

namespace {

constexpr UINT kSpace = 32;
constexpr WORD kPressedHere = 64;  // hit flag: the button went down in this same cell
constexpr int kLabelOffset = 19;   // 13 x 3 / 2: the label starts this far right of the inner rectangle

// A bitmap resource of `module` as a checked packed DIB with a colour table, or null.
HGLOBAL LoadPalettedDib(HINSTANCE module, UINT id) {
  if (!module) return nullptr;
  HGLOBAL dib = LoadDibResource(module, MAKEINTRESOURCE(id));
  if (!dib) return nullptr;
  gx::DibInfo info;
  const void* p = GlobalLock(dib);
  const bool sound = gx::InspectDib(p, GlobalSize(dib), info) && info.colors > 0 && info.header.biBitCount <= 8;
  GlobalUnlock(dib);
  if (sound) return dib;
  GlobalFree(dib);
  return nullptr;
}

bool SameColor(const RGBQUAD& q, COLORREF c) {
  return q.rgbRed == GetRValue(c) && q.rgbGreen == GetGValue(c) && q.rgbBlue == GetBValue(c);
}

}  // namespace

CGXCheckBox::CGXCheckBox(CGXGridCore* grid, BOOL draw3d, UINT screenBitmap, UINT printBitmap)
    : CGXControl(grid), m_bDraw3d(draw3d), m_nScreenBitmap(screenBitmap), m_nPrintBitmap(printBitmap) {}

CGXCheckBox::~CGXCheckBox() {
  if (m_hScreenBitmap) GlobalFree(m_hScreenBitmap);
  if (m_hPrintBitmap) GlobalFree(m_hPrintBitmap);
}

void CGXCheckBox::RegisterUserAttributes(CGXStylesMap* map) {
  if (!map) return;
  map->AddUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED);
  map->AddUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED);
}

// ---- Values ----------------------------------------------------------------------------------------------

CString CGXCheckBox::CheckedText(const CGXStyle& style) {
  const CString text = style.GetUserAttributeText(GX_IDS_UA_CHECKBOX_CHECKED);
  return text.IsEmpty() ? CString("1") : text;
}

CString CGXCheckBox::UncheckedText(const CGXStyle& style) {
  const CString text = style.GetUserAttributeText(GX_IDS_UA_CHECKBOX_UNCHECKED);
  return text.IsEmpty() ? CString("0") : text;
}

CString CGXCheckBox::ToggledValue(const CString& value, const CGXStyle& style) {
  if (value == CheckedText(style)) return UncheckedText(style);
  if (IsThreeState(style) && value == UncheckedText(style)) return CString();
  return CheckedText(style);
}

UINT CGXCheckBox::GetCheckState(ROWCOL row, ROWCOL col, const CGXStyle& style) {
  UINT state = gx::StyleDisabled(style) ? UINT{stateGreyed} : 0u;
  if (IsBoundToCell(row, col) && m_pGrid->MatchesCurrentCell(row, col)) {
    state |= stateFocus;
    if (m_bPressed) state |= stateGreyed;
  }
  const CString value = style.GetIncludeValue() ? style.GetValue() : CString();
  if (value == CheckedText(style))
    state |= stateChecked;
  else if (!IsThreeState(style) || value == UncheckedText(style))
    state |= stateUnchecked;
  return state;
}

int CGXCheckBox::ImageIndex(UINT state) {
  const bool greyed = (state & stateGreyed) != 0;
  if (state & stateChecked) return greyed ? 3 : 1;
  if (state & stateUnchecked) return greyed ? 2 : 0;
  return 4;
}

BOOL CGXCheckBox::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  if (IsThreeState(style) && text.CompareNoCase(CheckedText(style)) != 0 &&
      text.CompareNoCase(UncheckedText(style)) != 0)
    text.Empty();
  return TRUE;
}

// ---- Geometry --------------------------------------------------------------------------------------------

CRect CGXCheckBox::ComputeBoxRect(CDC* dc, const CRect& inner, const CString& label, UINT align) {
  int w = m_nBoxSize, h = m_nBoxSize;
  if (!label.IsEmpty() && dc) {
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    h = std::min(static_cast<int>(tm.tmHeight + tm.tmInternalLeading), m_nBoxSize);
    w = m_nBoxSize * 3 / 2 + dc->GetTextExtent(label).cx;
  }
  const int freeW = inner.Width() - w, freeH = inner.Height() - h;
  int x = inner.left + 3;
  if (align & GX_DT_RIGHT)
    x = inner.left + std::max(freeW, 0);
  else if (align & GX_DT_CENTER)
    x = inner.left + std::max(freeW / 2, 0);
  int y = inner.top + (freeH < 4 ? std::max(freeH, 0) : 3);
  if (align & GX_DT_BOTTOM)
    y = inner.top + std::max(freeH, 0);
  else if (align & GX_DT_VCENTER)
    y = inner.top + std::max(freeH / 2, 0);
  return CRect(x, y, std::min<LONG>(x + m_nBoxSize, inner.right), std::min<LONG>(y + m_nBoxSize, inner.bottom));
}

CSize CGXCheckBox::ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle*,
                                   BOOL vertical) {
  if (!dc) dc = m_pGrid->GetCachedDC();
  if (!dc) return CSize(0, 0);
  gx::CellFontScope font(m_pGrid, dc, style);
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  const int m = std::max(3, GetSystemMetrics(SM_CXFRAME) / 2);
  const int line = gx::LineHeight(dc) + 1;
  const CString label = style.GetChoiceList();
  // Only a label is sized by the cell's rectangle (a box alone is not: its rectangle is not worked out).
  const CRect inner = label.IsEmpty() ? CRect() : ComputeInnerRect(row, col, nullptr, &style);
  const BOOL wraps = style.IsIncluded(GX_IN_WRAPTEXT) && style.GetWrapText();
  // The label's lines wrapped at `width` (at most 32).
  const auto wrapped = [&](int width, std::vector<CString>& lines) {
    int starts[CGXDrawingAndFormatting::kMaxLines], lengths[CGXDrawingAndFormatting::kMaxLines];
    RECT r{0, 0, std::max(width, 1), 0x3FFF};
    const int n = GetDrawingAndFormatting().BreakLines(dc, label, label.GetLength(), r, DT_WORDBREAK | DT_NOPREFIX,
                                                       starts, lengths);
    for (int i = 0; i < n; ++i) lines.emplace_back(static_cast<LPCSTR>(label) + starts[i], lengths[i]);
  };
  CSize size;
  if (label.IsEmpty()) {
    size = CSize(kLabelOffset + tm.tmMaxCharWidth + 2 * m, line);
  } else if (vertical) {
    std::vector<CString> lines;
    if (wraps) wrapped(inner.Width() - kLabelOffset, lines);
    size = CSize(kLabelOffset + inner.Width(), line * std::max<int>(1, static_cast<int>(lines.size())));
  } else {
    std::vector<CString> lines;
    if (wraps) wrapped(inner.Width() - kLabelOffset, lines);
    if (!wraps || line * static_cast<int>(lines.size()) > inner.Height()) {
      lines.clear();
      CString rest = label, first;
      while (!rest.IsEmpty()) {
        CString remaining;
        ExtractFirstLine(rest, first, &remaining);
        lines.push_back(first);
        rest = remaining;
      }
    }
    int widest = 0;
    for (const CString& l : lines) widest = std::max(widest, static_cast<int>(dc->GetTextExtent(l).cx));
    size = CSize(kLabelOffset + widest + 2 * m, inner.Height());
  }
  size.cy = std::max<LONG>(size.cy, m_nBoxSize + 4);
  return AddBordersToSize(size, style);
}

// ---- Drawing ---------------------------------------------------------------------------------------------

UINT CGXCheckBox::GetScreenBitmapId() const {
  if (m_nScreenBitmap) return m_nScreenBitmap;
  if (!m_bDraw3d) return 20026;
  return CGXGridGlobals::Get().m_bWin4 ? 20024 : 20025;
}

COLORREF CGXCheckBox::MapBitmapColor(COLORREF color, BOOL printing) {
  switch (color & 0xFFFFFF) {
    case RGB(0, 0, 0): return printing ? RGB(0, 0, 0) : CGXSysColorTable::GetColor(COLOR_WINDOWTEXT);
    case RGB(255, 0, 0): return printing ? RGB(255, 255, 255) : CGXSysColorTable::GetColor(COLOR_WINDOW);
    case RGB(0, 255, 0): return CGXSysColorTable::GetColor(COLOR_WINDOWFRAME);
    case RGB(192, 192, 192): return CGXSysColorTable::GetColor(COLOR_BTNFACE);
    default: return color;
  }
}

BOOL CGXCheckBox::LoadBoxBitmaps() {
  for (HGLOBAL* h : {&m_hScreenBitmap, &m_hPrintBitmap}) {
    if (*h) GlobalFree(*h);
    *h = nullptr;
  }
  HINSTANCE module = AfxGetResourceHandle();
  m_hScreenBitmap = LoadPalettedDib(module, GetScreenBitmapId());
  if (!m_hScreenBitmap) {
    module = plat::ResourceTable::ModuleHandle("grid");
    m_hScreenBitmap = LoadPalettedDib(module, GetScreenBitmapId());
  }
  if (!m_hScreenBitmap) return FALSE;
  m_hPrintBitmap = LoadPalettedDib(module, GetPrintBitmapId());
  for (const auto& [dib, printing] : {std::pair{m_hScreenBitmap, FALSE}, std::pair{m_hPrintBitmap, TRUE}}) {
    if (!dib) continue;
    auto* block = static_cast<BYTE*>(GlobalLock(dib));
    gx::DibInfo info;
    if (block && gx::InspectDib(block, GlobalSize(dib), info)) {
      auto* palette = reinterpret_cast<RGBQUAD*>(block + info.header.biSize);
      for (UINT i = 0; i < info.colors; ++i) {
        const COLORREF old = RGB(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
        const COLORREF mapped = MapBitmapColor(old, printing);
        if (SameColor(palette[i], mapped)) continue;
        palette[i] = RGBQUAD{GetBValue(mapped), GetGValue(mapped), GetRValue(mapped), 0};
      }
    }
    if (block) GlobalUnlock(dib);
  }
  return TRUE;
}

void CGXCheckBox::DrawThemedBox(HTHEME theme, CDC* dc, const CRect& inner, UINT state, UINT align,
                                const CString& label) {
  static constexpr int kThemeStates[5] = {1, 5, 3, 7, 8};
  m_rectBox = ComputeBoxRect(dc, inner, label, align);
  SafeDrawThemeBackground(theme, dc->m_hDC, 3, kThemeStates[ImageIndex(state)], &m_rectBox, nullptr);
}

void CGXCheckBox::DrawBox(CDC* dc, const CRect& inner, UINT state, UINT align, const CString& label) {
  CThemeScope theme(dc->m_hDC, u"Button");
  if (theme.Themed()) return DrawThemedBox(theme.Theme(), dc, inner, state, align, label);
  if (!m_hScreenBitmap && !LoadBoxBitmaps()) return;
  HGLOBAL dib = m_pGrid->IsPrinting() && m_hPrintBitmap ? m_hPrintBitmap : m_hScreenBitmap;
  m_rectBox = ComputeBoxRect(dc, inner, label, align);
  const int x = ImageIndex(state) * kBoxSize;
  const RECT source{x, 0, x + kBoxSize, kBoxSize};
  CGXDIB::Draw(dc, dib, &m_rectBox, CGXDIB::stretch, 0, &source);
}

void CGXCheckBox::DrawBoxCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  const UINT state = GetCheckState(row, col, style);
  const UINT align = style.GetHorizontalAlignment() | style.GetVerticalAlignment();
  gx::CellFontScope font(m_pGrid, dc, style);
  DrawCellBackground(dc, rect, style, FALSE);
  gx::TextLookScope look(dc, style.GetTextColor(), TRANSPARENT);
  const CRect inner = ComputeInnerRect(row, col, &rect, &style);
  const CString label = style.GetChoiceList();
  DrawBox(dc, inner, state, align, label);
  if (!label.IsEmpty()) {
    CRect text(inner.left + kLabelOffset, inner.top, inner.right, inner.bottom);
    const BOOL wraps = style.IsIncluded(GX_IN_WRAPTEXT) && style.GetWrapText();
    dc->DrawText(label, &text, align | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  }
  DrawChildren(dc, rect, row, col, style);
}

void CGXCheckBox::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                           const CGXStyle*) {
  if (dc) DrawBoxCell(dc, rect, row, col, style);
}

void CGXCheckBox::RefreshSysColors() {
  LoadBoxBitmaps();
  CGXControl::RefreshSysColors();
}

// ---- Mouse and keys --------------------------------------------------------------------------------------

const CGXStyle& CGXCheckBox::BoundStyle(CGXStyle& scratch) {
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, scratch, TRUE);
  return scratch;
}

BOOL CGXCheckBox::RefusesChanges(const CGXStyle& style) const { return IsCellReadOnly() || gx::StyleReadOnly(style); }

CRect CGXCheckBox::MeasureBoundBox(const CGXStyle& style) {
  CDC* dc = m_pGrid->GetCachedDC();
  const CRect inner = ComputeInnerRect(m_nRow, m_nCol, nullptr, &style);
  if (!dc) return ComputeBoxRect(nullptr, inner, style.GetChoiceList(), 0);
  gx::CellFontScope font(m_pGrid, dc, style);
  const UINT align = style.GetHorizontalAlignment() | style.GetVerticalAlignment();
  return ComputeBoxRect(dc, inner, style.GetChoiceList(), align);
}

void CGXCheckBox::InvalidateBoundCell() {
  if (!m_bInit) return;
  const CRect cell = m_pGrid->CalcCellRect(m_nRow, m_nCol);
  m_pGrid->InvalidateRect(&cell, FALSE);
}

void CGXCheckBox::SetPressed(BOOL pressed) {
  pressed = pressed != FALSE;
  if (m_bPressed == pressed) return;
  m_bPressed = pressed;
  InvalidateBoundCell();
}

BOOL CGXCheckBox::OnLButtonDownInCell(UINT flags, int x, int y, WORD hit) {
  m_bTrackingBox = FALSE;
  if (!m_bInit) return FALSE;
  CGXStyle scratch;
  const CGXStyle& style = BoundStyle(scratch);
  if (RefusesChanges(style)) return FALSE;
  m_rectBox = MeasureBoundBox(style);
  if (m_rectBox.PtInRect(CPoint(x, y))) {
    m_bTrackingBox = TRUE;
    SetPressed(TRUE);
  }
  CGXControl::OnLButtonDownInCell(flags, x, y, hit);
  return TRUE;
}

BOOL CGXCheckBox::OnMouseMoveInCell(UINT flags, int x, int y, WORD hit) {
  const BOOL children = CGXControl::OnMouseMoveInCell(flags, x, y, hit);
  if (!m_bTrackingBox || !(hit & kPressedHere)) return children;
  SetPressed(m_rectBox.PtInRect(CPoint(x, y)));
  return TRUE;
}

BOOL CGXCheckBox::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  const BOOL tracking = m_bTrackingBox;
  m_bTrackingBox = FALSE;
  SetPressed(FALSE);
  const BOOL taken = CGXControl::OnLButtonUpInCell(flags, x, y, hit);
  if (!taken && tracking && (hit & kPressedHere) && m_rectBox.PtInRect(CPoint(x, y))) OnChildClicked(nullptr);
  return TRUE;
}

BOOL CGXCheckBox::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  SetPressed(FALSE);
  m_bTrackingBox = FALSE;
  if (CGXControl::OnLButtonDblClkInCell(flags, x, y)) return TRUE;
  if (!m_bInit) return FALSE;
  CGXStyle scratch;
  m_rectBox = MeasureBoundBox(BoundStyle(scratch));
  if (!m_rectBox.PtInRect(CPoint(x, y))) return FALSE;
  OnChildClicked(nullptr);
  return TRUE;
}

BOOL CGXCheckBox::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  if (CGXControl::OnKeyMessage(message, ch, repeat, flags)) return TRUE;
  if (message != WM_CHAR || ch != kSpace) return FALSE;
  OnChildClicked(nullptr);
  return TRUE;
}

void CGXCheckBox::OnChildClicked(CGXChild* child) {
  if (!NotifyEditStart()) return;
  CGXStyle style;
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style, TRUE);
  if (RefusesChanges(style)) return;
  const CString value = style.GetIncludeValue() ? style.GetValue() : CString();
  if (!m_pGrid->SetCellValue(m_nRow, m_nCol, ToggledValue(value, style))) return;
  CGXControl::OnChildClicked(child);
}

void CGXCheckBox::ReleaseChildButtons() {
  m_bTrackingBox = FALSE;
  SetPressed(FALSE);
  CGXControl::ReleaseChildButtons();
}

// ---- With a modify state ---------------------------------------------------------------------------------

void CGXCheckBoxEx::OnChildClicked(CGXChild* child) {
  if (!m_bInit || !BeginEditing()) return;
  const CGXStyle& style = GetCachedStyle();
  if (RefusesChanges(style)) return;
  ChangeEditedValue(ToggledValue(EditedValue(), style));
  CGXControl::OnChildClicked(child);
}
