#include "grid/controls/CGXRadioButton.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/VisualStyles.h"
#include "grid/controls/GXCellNumbers.h"
#include "grid/controls/GXControlBitmaps.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

const CGXControlClass CGXRadioButton::classCGXRadioButton = {"CGXRadioButton", &CGXControl::classCGXControl};
// The modify-state variant is a control of its own kind (not a kind of CGXRadioButton), as its users expect.
const CGXControlClass CGXRadioButtonEx::classCGXRadioButtonEx = {"CGXRadioButtonEx", &CGXControl::classCGXControl};

namespace {

constexpr UINT kSpace = 32;
constexpr WORD kPressedHere = 64;
constexpr WORD kDropDownListZeroBased = 52532;

// The 3-D images: from the resource module first, then the grid's own; null when neither has a sound one.
HGLOBAL LoadRadioBitmap() {
  for (HINSTANCE module : {AfxGetResourceHandle(), plat::ResourceTable::ModuleHandle("grid")}) {
    HGLOBAL h = module ? LoadDibResource(module, MAKEINTRESOURCE(gx::kRadioBitmap)) : nullptr;
    if (!h) continue;
    gx::DibInfo info;
    const void* p = GlobalLock(h);
    const bool sound =
        gx::InspectDib(p, GlobalSize(h), info) && info.header.biWidth >= 28 && std::abs(info.header.biHeight) >= 26;
    GlobalUnlock(h);
    if (sound) return h;
    GlobalFree(h);
  }
  return nullptr;
}

int LineHeightOf(CDC* dc) { return std::max(gx::LineHeight(dc), 12); }

}  // namespace

CGXRadioButton::~CGXRadioButton() {
  if (m_hBitmap) GlobalFree(m_hBitmap);
}

// ---- Options and layout ----------------------------------------------------------------------------------

std::vector<CString> CGXRadioButton::Options(const CString& choices) {
  std::vector<CString> options;
  const char* p = choices;
  const char* end = p + choices.GetLength();
  while (p < end) {
    const char* start = p;
    while (p < end && *p != '\r' && *p != '\n') ++p;
    if (p > start) options.emplace_back(start, static_cast<int>(p - start));
    while (p < end && (*p == '\r' || *p == '\n')) ++p;  // empty lines do not count
  }
  return options;
}

int CGXRadioButton::SelectedIndex(const CString& value) { return gx::ChoiceIndex(value, 0); }

std::vector<CGXRadioButton::Option> CGXRadioButton::LayOutOptions(CDC* dc, const CRect& inner,
                                                                  const CGXStyle& style) const {
  std::vector<Option> laid;
  const int lh = LineHeightOf(dc);
  const bool row = RowLayout(style);
  const bool buttonFirst = ButtonFirst(style);
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  const int gap = std::max(static_cast<int>(tm.tmMaxCharWidth), 12);
  int x = inner.left, y = inner.top;
  for (const CString& text : Options(style.GetChoiceList())) {
    Option o{text, {}, {}};
    const int width = dc->GetTextExtent(text).cx;
    if (!row) {
      o.column = CRect(inner.left, y, inner.left + kButtonColumn, y + lh);
      o.textRect = CRect(o.column.right, y, o.column.right + width, y + lh);
      y += lh;
    } else if (buttonFirst) {
      o.column = CRect(x, y, x + kButtonColumn, y + lh);
      o.textRect = CRect(o.column.right, y, o.column.right + width, y + lh);
      x = o.textRect.right + gap;
    } else {
      o.textRect = CRect(x + 3, y, x + 3 + width, y + lh);
      o.column = CRect(o.textRect.right, y, o.textRect.right + kButtonColumn, y + lh);
      x = o.column.right + gap;
    }
    laid.push_back(o);
  }
  return laid;
}

CSize CGXRadioButton::ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle*,
                                      BOOL) {
  if (!dc) dc = m_pGrid->GetCachedDC();
  if (!dc) return CSize(0, 0);
  gx::CellFontScope font(m_pGrid, dc, style);
  (void)row, (void)col;
  const std::vector<Option> laid = LayOutOptions(dc, CRect(0, 0, 0x3FFF, 0x3FFF), style);
  CSize size(0, LineHeightOf(dc));
  for (const Option& o : laid) {
    size.cx = std::max<LONG>(size.cx, std::max(o.column.right, o.textRect.right));
    size.cy = std::max<LONG>(size.cy, o.column.bottom);
  }
  return AddBordersToSize(size, style);
}

// ---- Drawing ---------------------------------------------------------------------------------------------

void CGXRadioButton::DrawButton(CDC* dc, const CRect& column, int lineHeight, BOOL selected) {
  const int x = column.left + 3, y = column.top + (lineHeight - 12) / 2;
  CThemeScope theme(dc->m_hDC, u"BUTTON");
  if (theme.Themed()) {
    const RECT r{x, y, x + 12, y + 12};
    SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, 2, selected ? 5 : 1, &r, nullptr);
    return;
  }
  if (m_bDraw3d) {
    if (!m_hBitmap) m_hBitmap = LoadRadioBitmap();
    if (HGLOBAL dib = m_hBitmap) {
      // The images of the 3-D row (its top at 13 counts the same from either end of the 39 rows).
      const RECT dest{x, y, x + 14, y + 13};
      const RECT source{selected ? 14 : 0, 13, selected ? 28 : 14, 26};
      CGXDIB::Draw(dc, dib, &dest, CGXDIB::stretch, 0, &source);
      return;
    }
  }
  CGdiObject* oldPen = dc->SelectStockObject(BLACK_PEN);
  CGdiObject* oldBrush = dc->SelectStockObject(WHITE_BRUSH);
  dc->Ellipse(x, y, x + 12, y + 12);
  if (selected) {
    dc->SelectStockObject(BLACK_BRUSH);
    dc->Ellipse(x + 2, y + 2, x + 10, y + 10);
  }
  dc->SelectObject(oldBrush);
  dc->SelectObject(oldPen);
}

void CGXRadioButton::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                              const CGXStyle*) {
  if (!dc) return;
  gx::CellFontScope font(m_pGrid, dc, style);
  const CGXProperties* props = m_pGrid->GetProperties();
  const BOOL blackAndWhite = props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting());
  const COLORREF oldBk = dc->SetBkColor(blackAndWhite ? RGB(255, 255, 255) : style.GetInterior().GetColor());
  DrawCellBackground(dc, rect, style, FALSE);
  gx::TextLookScope look(dc, blackAndWhite ? RGB(0, 0, 0) : style.GetTextColor(), TRANSPARENT);
  const CRect inner = ComputeInnerRect(row, col, &rect, &style);
  const int selected = SelectedIndex(style.GetIncludeValue() ? style.GetValue() : CString());
  const int lh = LineHeightOf(dc);
  const std::vector<Option> laid = LayOutOptions(dc, inner, style);
  {
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&inner);
    for (size_t i = 0; i < laid.size(); ++i) {
      DrawButton(dc, laid[i].column, lh, static_cast<int>(i) == selected);
      CRect text = laid[i].textRect;
      dc->DrawText(laid[i].text, &text, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    }
    dc->RestoreDC(saved);
  }
  m_nOptions = static_cast<int>(laid.size());
  dc->SetBkColor(oldBk);
  DrawChildren(dc, rect, row, col, style);
}

// ---- Clicks and keys -------------------------------------------------------------------------------------

const CGXStyle& CGXRadioButton::BoundStyle(CGXStyle& scratch) {
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, scratch, TRUE);
  return scratch;
}

BOOL CGXRadioButton::RefusesChanges(const CGXStyle& style) const {
  return IsCellReadOnly() || gx::StyleReadOnly(style);
}

int CGXRadioButton::HitTestOption(CPoint pt) {
  if (!m_bInit) return -1;
  CGXStyle scratch;
  const CGXStyle& style = BoundStyle(scratch);
  CDC* dc = m_pGrid->GetCachedDC();
  if (!dc) return -1;
  gx::CellFontScope font(m_pGrid, dc, style);
  const std::vector<Option> laid = LayOutOptions(dc, ComputeInnerRect(m_nRow, m_nCol, nullptr, &style), style);
  for (size_t i = 0; i < laid.size(); ++i)
    if (laid[i].column.PtInRect(pt) || laid[i].textRect.PtInRect(pt)) return static_cast<int>(i);
  return -1;
}

BOOL CGXRadioButton::Select(int index) {
  CGXStyle style;
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style, TRUE);
  if (SelectedIndex(style.GetIncludeValue() ? style.GetValue() : CString()) == index) return FALSE;
  if (!NotifyEditStart()) return FALSE;
  CString text;
  text.Format("%d", index);
  return m_pGrid->SetCellValue(m_nRow, m_nCol, text);
}

BOOL CGXRadioButton::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  if (m_bInit && (hit & kPressedHere)) {
    CGXStyle scratch;
    if (!RefusesChanges(BoundStyle(scratch))) {
      const int index = HitTestOption(CPoint(x, y));
      // The cell is in view already: a starting edit must not scroll it (the grid's switch, put back after).
      const BOOL oldSuppress = m_pGrid->m_bDoNotBringIntoView;
      m_pGrid->m_bDoNotBringIntoView = TRUE;
      if (index >= 0) Select(index);
      m_pGrid->m_bDoNotBringIntoView = oldSuppress;
      if (index >= 0) OnChildClicked(nullptr);
    }
  }
  CGXControl::OnLButtonUpInCell(flags, x, y, hit);
  return TRUE;
}

BOOL CGXRadioButton::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  if (CGXControl::OnKeyMessage(message, ch, repeat, flags)) return TRUE;
  if (message != WM_CHAR || ch != kSpace || !m_bInit) return FALSE;
  CGXStyle scratch;
  const CGXStyle& style = BoundStyle(scratch);
  if (RefusesChanges(style)) return TRUE;
  // The options of the bound cell itself (not of the cell drawn last).
  const int count = static_cast<int>(Options(style.GetChoiceList()).size());
  if (count == 0) return TRUE;
  const int current = SelectedIndex(style.GetIncludeValue() ? style.GetValue() : CString());
  Select(current < 0 || current + 1 >= count ? 0 : current + 1);
  return TRUE;
}

// ---- With a modify state ---------------------------------------------------------------------------------

void CGXRadioButtonEx::RegisterUserAttributes(CGXStylesMap* map) {
  if (!map) return;
  CGXStyle alignment;
  alignment.SetControl(kDropDownListZeroBased).SetChoiceList("Vertical\nHorizontal");
  map->AddUserAttribute(GX_IDS_UA_RADIO_ALIGNMENT, &alignment);
  CGXStyle textAlign;
  textAlign.SetControl(kDropDownListZeroBased).SetChoiceList("Left\nRight");
  map->AddUserAttribute(GX_IDS_UA_RADIO_TEXTALIGN, &textAlign);
}

BOOL CGXRadioButtonEx::RowLayout(const CGXStyle& style) const {
  return style.GetUserAttributeText(GX_IDS_UA_RADIO_ALIGNMENT) == "1";
}

BOOL CGXRadioButtonEx::ButtonFirst(const CGXStyle& style) const {
  return !RowLayout(style) || style.GetUserAttributeText(GX_IDS_UA_RADIO_TEXTALIGN) == "1";
}

BOOL CGXRadioButtonEx::Select(int index) {
  if (!BeginEditing() || SelectedIndex(EditedValue()) == index) return FALSE;
  CString text;
  text.Format("%d", index);
  ChangeEditedValue(text);
  return TRUE;
}

