#include "grid/controls/CGXRichEditCtrl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/gxkeys.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/MulDiv.h"
#include "platform/controls/RichEdit.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXRichEditCtrl, CRichEditCtrl)

const CGXControlClass CGXRichEditCtrl::gxClassCGXRichEditCtrl = {"CGXRichEditCtrl", &CGXControl::classCGXControl};

namespace {

constexpr int kFar = 30000;  // where the hidden windows live

// The screen's resolution, read from a memory DC compatible with it: a screen DC would first take a
// snapshot of the whole desktop, once per cell drawn.
int ScreenDpi(int axis) {
  HDC memory = CreateCompatibleDC(nullptr);
  const int dpi = memory ? GetDeviceCaps(memory, axis) : 96;
  if (memory) DeleteDC(memory);
  return dpi > 0 ? dpi : 96;
}

int ScreenDpiY() { return ScreenDpi(LOGPIXELSY); }
int ScreenDpiX() { return ScreenDpi(LOGPIXELSX); }

RECT ToTwips(const CRect& r, int dpiX, int dpiY) {
  return RECT{MulDiv(r.left, 1440, dpiX), MulDiv(r.top, 1440, dpiY), MulDiv(r.right, 1440, dpiX),
              MulDiv(r.bottom, 1440, dpiY)};
}

// Background and text colours of a cell: white or the interior colour; black on white in black and white.
void CellColors(CGXGridCore* grid, const CGXStyle& style, COLORREF& back, COLORREF& text) {
  const CGXProperties* props = grid->GetProperties();
  if (props && props->PrintsBlackAndWhite(grid->IsPrinting())) {
    back = RGB(255, 255, 255);
    text = RGB(0, 0, 0);
    return;
  }
  back = style.GetInterior().GetStyle() <= 1 ? style.GetInterior().GetColor() : RGB(255, 255, 255);
  text = style.GetTextColor();
}

}  // namespace

BOOL& CGXRichEditCtrl::OwnOperation() {
  static BOOL own = FALSE;
  return own;
}

CGXRichEditCtrl::CGXRichEditCtrl(CGXGridCore* grid, UINT id) : CGXTextWindowCell(grid), m_nID(id) {}

CGXRichEditCtrl::~CGXRichEditCtrl() {
  m_bDestroying = TRUE;
  for (CRichEditCtrl& w : m_hidden)
    if (w.m_hWnd) w.DestroyWindow();
  if (m_hWnd) DestroyWindow();
}

CRuntimeClass* CGXRichEditCtrl::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXRichEditCtrl); }

BOOL CGXRichEditCtrl::CreateEditWindow(DWORD style, UINT id) {
  CWnd* grid = GetGridWnd();
  if (!grid) return FALSE;
  style &= ~(WS_VISIBLE | WS_BORDER);
  if (!m_hWnd && !Create(style | WS_CHILD, CRect(0, 0, 10, 10), grid, id)) return FALSE;
  BOOL all = TRUE;
  for (CRichEditCtrl& w : m_hidden) {
    if (!w.m_hWnd && !w.Create(style | WS_CHILD | ES_MULTILINE | WS_BORDER, CRect(kFar, kFar, kFar + 100, kFar + 100),
                               this, id))
      all = FALSE;
  }
  return all;
}

// ---- Formats ----------------------------------------------------------------------------------------------

void CGXRichEditCtrl::StyleToFormats(PARAFORMAT& pf, CHARFORMAT& cf, const CGXStyle& style) {
  std::memset(&pf, 0, sizeof pf);
  std::memset(&cf, 0, sizeof cf);
  pf.cbSize = sizeof pf;
  cf.cbSize = sizeof cf;
  if (style.IsIncluded(GX_IN_HORZALIGN)) {
    pf.dwMask |= PFM_ALIGNMENT;
    const UINT h = style.GetHorizontalAlignment();
    pf.wAlignment = h == GX_DT_RIGHT ? PFA_RIGHT : h == GX_DT_CENTER ? PFA_CENTER : PFA_LEFT;
  }
  if (style.IsIncluded(GX_IN_FONT)) {
    const CGXFont font = style.GetFont();
    if (font.GetIncludeWeight()) {
      cf.dwMask |= CFM_BOLD;
      if (font.GetWeight() >= 700) cf.dwEffects |= CFE_BOLD;
    }
    auto effect = [&](BOOL included, BOOL on, DWORD mask, DWORD bit) {
      if (!included) return;
      cf.dwMask |= mask;
      if (on) cf.dwEffects |= bit;
    };
    effect(font.GetIncludeItalic(), font.GetItalic(), CFM_ITALIC, CFE_ITALIC);
    effect(font.GetIncludeUnderline(), font.GetUnderline(), CFM_UNDERLINE, CFE_UNDERLINE);
    effect(font.GetIncludeStrikeOut(), font.GetStrikeOut(), CFM_STRIKEOUT, CFE_STRIKEOUT);
    if (font.GetIncludeFaceName()) {
      const std::string face = font.GetFaceName();
      if (!face.empty()) {
        cf.dwMask |= CFM_FACE;
        std::snprintf(cf.szFaceName, sizeof cf.szFaceName, "%s", face.c_str());
      }
    }
    if (font.GetIncludeSize()) {
      cf.dwMask |= CFM_SIZE;
      cf.yHeight = static_cast<LONG>(font.GetSize() * 20 + 0.5);
    }
    const LOGFONT& lf = font.GetLogFont();
    cf.bCharSet = lf.lfCharSet;
    cf.bPitchAndFamily = lf.lfPitchAndFamily;
  }
  if (style.IsIncluded(GX_IN_TEXTCOLOR)) {
    cf.dwMask |= CFM_COLOR;
    cf.crTextColor = style.GetTextColor();
  }
}

void CGXRichEditCtrl::FormatsToStyle(const PARAFORMAT& pf, const CHARFORMAT& cf, CGXStyle& style) {
  if (pf.dwMask & PFM_ALIGNMENT)
    style.SetHorizontalAlignment(pf.wAlignment == PFA_RIGHT ? 2 : pf.wAlignment == PFA_CENTER ? 1 : 0);
  CGXFont font;
  BOOL any = FALSE;
  if (cf.dwMask & CFM_BOLD) font.SetBold((cf.dwEffects & CFE_BOLD) != 0), any = TRUE;
  if (cf.dwMask & CFM_ITALIC) font.SetItalic((cf.dwEffects & CFE_ITALIC) != 0), any = TRUE;
  if (cf.dwMask & CFM_UNDERLINE) font.SetUnderline((cf.dwEffects & CFE_UNDERLINE) != 0), any = TRUE;
  if (cf.dwMask & CFM_STRIKEOUT) font.SetStrikeOut((cf.dwEffects & CFE_STRIKEOUT) != 0), any = TRUE;
  if ((cf.dwMask & CFM_FACE) && cf.szFaceName[0]) font.SetFaceName(cf.szFaceName), any = TRUE;
  if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0) font.SetPointSize(cf.yHeight / 20.0), any = TRUE;
  if (any) style.SetFont(font, gxOverride);
  if ((cf.dwMask & CFM_COLOR) && !(cf.dwEffects & CFE_AUTOCOLOR)) style.SetTextColor(cf.crTextColor);
}

void CGXRichEditCtrl::ApplyFormatsToAll(CRichEditCtrl& window, PARAFORMAT& pf, CHARFORMAT& cf) {
  window.SetSel(0, -1);
  if (cf.dwMask) window.SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  if (pf.dwMask) window.SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

// ---- Streams and texts ----------------------------------------------------------------------------------

CString CGXRichEditCtrl::PlainTextToRtf(const CString& text, BOOL header) {
  std::string out = header ? "{\\rtf1 " : "{";
  const int n = text.GetLength();
  for (int i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      out += "\\par ";
    } else if (c >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '}';
  return CString(out.c_str());
}

void CGXRichEditCtrl::StreamIn(CRichEditCtrl& window, const CString& text, UINT format) {
  plat::controls::StreamInBytes(window.m_hWnd, std::string_view(text.GetString(), static_cast<size_t>(text.GetLength())),
                                format);
}

CString CGXRichEditCtrl::StreamOut(const CRichEditCtrl& window, UINT format) {
  return CString(plat::controls::StreamOutBytes(window.m_hWnd, format).c_str());
}

void CGXRichEditCtrl::LoadHidden(int which, const CString& value) const {
  CRichEditCtrl& w = m_hidden[static_cast<size_t>(which)];
  if (!w.m_hWnd || (m_hiddenText[static_cast<size_t>(which)] == value && !value.IsEmpty())) return;
  StreamIn(w, value);
  m_hiddenText[static_cast<size_t>(which)] = value;
}

void CGXRichEditCtrl::LimitToCell(const CGXStyle& style) {
  const int max = style.IsIncluded(GX_IN_MAXLENGTH) ? style.GetMaxLength() : 0;
  LimitText(max > 0 ? max : std::numeric_limits<int>::max());
}

CString CGXRichEditCtrl::TextWithSelectionReplaced(const CString& text) const {
  if (!m_hWnd) return text;
  CString current;
  GetWindowText(current);
  long start = 0, end = 0;
  GetSel(start, end);
  start = std::clamp<long>(start, 0, current.GetLength());
  end = std::clamp<long>(end, start, current.GetLength());
  return current.Left(static_cast<int>(start)) + text + current.Mid(static_cast<int>(end));
}

// ---- States and binding -------------------------------------------------------------------------------

void CGXRichEditCtrl::InitForCell(ROWCOL row, ROWCOL col) {
  CGXControl::InitForCell(row, col);
  if (!m_hWnd) {
    CreateEditWindow(ES_MULTILINE, m_nID);
    const CGXGridParam* param = m_pGrid->GetParam();
    if (m_hWnd && param && (param->m_wActivateFlags & 4) && NotifyEditStart()) SetEditingState(TRUE);
  }
  if (!m_hWnd) return;
  const CGXStyle& style = GetCachedStyle();
  PARAFORMAT pf;
  CHARFORMAT cf;
  StyleToFormats(pf, cf, style);
  {
    CGXFlagScope loading(m_bLoading, TRUE);
    // The style's formats are the defaults that the value's own formats override.
    if (pf.dwMask) SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    if (cf.dwMask) SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    StreamIn(*this, style.GetIncludeValue() ? style.GetValue() : CString());
    SetSel(0, -1);
  }
  // The cell's limit from the start: a paste before the first drawing meets it, not the window's first one.
  LimitToCell(style);
  SetModifiedState(FALSE);
  m_nBoundRowHeight = m_bShrink ? m_pGrid->GetRowHeight(row) : 0;
}

BOOL CGXRichEditCtrl::ActivateWithCaret(int caret) {
  if (!StartEditing()) return FALSE;
  const long at = caret < 0 ? GetTextLength() : caret;
  SetSel(at, at);
  return TRUE;
}

// ---- Values ---------------------------------------------------------------------------------------------

void CGXRichEditCtrl::GetEditText(CString& out) const {
  if (m_bEditing && m_hWnd) {
    GetWindowText(out);
  } else {
    GetBoundDisplayText(out);
  }
}

void CGXRichEditCtrl::SetEditText(const CString& text) {
  if (!m_bInit || !m_hWnd) return;
  if (!m_bEditing) SetEditingState(TRUE);
  if (!AcceptsText(text)) return;
  {
    CGXFlagScope loading(m_bLoading, TRUE);
    StreamIn(*this, PlainTextToRtf(text, TRUE));
  }
  SetModifiedState(TRUE);
  NotifyModified();
}

BOOL CGXRichEditCtrl::GetEditedValue(CString& out) const {
  if (!m_bInit) return FALSE;
  if (m_bEditing && m_hWnd)
    out = StreamOut(*this);
  else
    out = m_pCachedStyle && m_pCachedStyle->GetIncludeValue() ? m_pCachedStyle->GetValue() : CString();
  return TRUE;
}

void CGXRichEditCtrl::SetEditedValue(const CString& value) {
  if (!m_hWnd) return;
  CGXFlagScope loading(m_bLoading, TRUE);
  StreamIn(*this, value);
}

BOOL CGXRichEditCtrl::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value, const CGXStyle& style) const {
  if (!value && !style.GetIncludeValue()) {
    out.Empty();
    return FALSE;
  }
  const CString& rtf = value ? *value : style.GetValue();
  if (rtf.IsEmpty() || !m_hidden[kText].m_hWnd) {
    out.Empty();
    return TRUE;
  }
  LoadHidden(kText, rtf);
  out = StreamOut(m_hidden[kText], SF_TEXT);
  return TRUE;
}

BOOL CGXRichEditCtrl::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle&) {
  text = PlainTextToRtf(text, FALSE);
  return TRUE;
}

CString CGXRichEditCtrl::JudgedValue(const CString& value, const CGXStyle& style) {
  CString plain;
  GetDisplayText(plain, 0, 0, &value, style);
  return plain;
}

BOOL CGXRichEditCtrl::StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* given) {
  CGXStyle composed;
  const CGXStyle& style = StyleForStore(row, col, given, composed);
  CString value = text ? text : "";
  // MaxLength counts the plain characters, before escaping.
  if (style.IsIncluded(GX_IN_MAXLENGTH) && style.GetMaxLength() > 0 && value.GetLength() > style.GetMaxLength())
    value = value.Left(style.GetMaxLength());
  if (StoreRefused(style) || !ConvertTextForCell(value, row, col, style) || BreaksBounds(value, style)) return FALSE;
  return m_pGrid->SetCellValue(row, col, value, flags);
}

BOOL CGXRichEditCtrl::StoreValue() {
  CString rtf;
  if (!m_pCachedStyle || !m_hWnd || !GetModifiedState() || !GetEditedValue(rtf)) return TRUE;
  SetEditingState(FALSE);
  return m_pGrid->SetCellValue(m_nRow, m_nCol, rtf, GX_INVALIDATE);
}

// ---- Styles ---------------------------------------------------------------------------------------------

BOOL CGXRichEditCtrl::StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                                 const CGXStyle* composed) {
  if (!style || mode == gxCopy || mode == gxRemove || type < 0 || !m_hidden[kText].m_hWnd)
    return CGXControl::StoreStyle(row, col, style, mode, type, composed);
  PARAFORMAT pf;
  CHARFORMAT cf;
  StyleToFormats(pf, cf, *style);
  if (!pf.dwMask && !cf.dwMask) return CGXControl::StoreStyle(row, col, style, mode, type, composed);
  // Font, colour and alignment go into the text; the rest of the style to the cell.
  CGXStyle rest(*style);
  rest.SetIncludeMask(rest.GetIncludeMask() & ~(GX_IN_FONT | GX_IN_TEXTCOLOR | GX_IN_HORZALIGN));
  if (IsEditedCell(row, col) && m_hWnd && m_pGrid->MatchesCurrentCell(row, col)) {
    if (cf.dwMask) SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    if (pf.dwMask) SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    SetModifiedState(TRUE);
    NotifyModified();
  } else {
    CString value = rest.GetIncludeValue() ? rest.GetValue()
                    : composed && composed->GetIncludeValue() ? composed->GetValue()
                                                             : m_pGrid->GetStoredCellValue(row, col);
    // An empty cell keeps the formats in its style, for the text it gets later.
    if (value.IsEmpty()) return CGXControl::StoreStyle(row, col, style, mode, type, composed);
    CRichEditCtrl& w = m_hidden[kText];
    StreamIn(w, value);
    ApplyFormatsToAll(w, pf, cf);
    value = StreamOut(w);
    m_hiddenText[kText] = value;
    rest.SetValue(value);
  }
  if (rest.IsEmpty()) return TRUE;
  return CGXControl::StoreStyle(row, col, &rest, mode, type, composed);
}

void CGXRichEditCtrl::ApplyEditedValueToStyle(ROWCOL row, ROWCOL col, CGXStyle& style) {
  PARAFORMAT pf{};
  CHARFORMAT cf{};
  pf.cbSize = sizeof pf;
  cf.cbSize = sizeof cf;
  if (IsEditedCell(row, col) && m_hWnd && m_pGrid->MatchesCurrentCell(row, col)) {
    SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    SendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  } else if (style.GetIncludeValue() && m_hidden[kFormat].m_hWnd) {
    LoadHidden(kFormat, style.GetValue());
    CRichEditCtrl& w = m_hidden[kFormat];
    w.SetSel(0, -1);
    w.SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    w.SendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  }
  FormatsToStyle(pf, cf, style);
}

// ---- Geometry -------------------------------------------------------------------------------------------

CRect CGXRichEditCtrl::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  return InsetByTextMargin(CGXControl::ComputeInnerRect(cell, style));
}

CSize CGXRichEditCtrl::AddBordersToSize(CSize size, const CGXStyle& style) const {
  return CGXControl::AddBordersToSize(AddTextMargin(size), style);
}

CSize CGXRichEditCtrl::ComputeCellSize(CDC*, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle*, BOOL) {
  CRichEditCtrl& w = m_hidden[kMeasuring];
  if (!w.m_hWnd) return CSize(0, 0);
  CGXRange covered(row, col);
  m_pGrid->GetCoveredCellsRowCol(row, col, covered);
  const int width = m_pGrid->SumColWidths(covered.left, covered.right);
  // Decision: the measuring window's text is as wide as the cell's inner rectangle (its border added), so
  // the text wraps where the cell renders it.
  const CRect inner = ComputeInnerRect(CRect(0, 0, width, 100), style);
  CGXFlagScope own(OwnOperation(), TRUE);
  w.SetWindowPos(nullptr, kFar, kFar, std::max<LONG>(1, inner.Width()) + 2, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  w.SetTargetDevice(nullptr, 0);
  w.SetEventMask(ENM_REQUESTRESIZE);
  LoadHidden(kMeasuring, style.GetIncludeValue() ? style.GetValue() : CString());
  m_rectRequested.SetRectEmpty();
  {
    CGXFlagScope measuring(m_bMeasuring, TRUE);
    CGXFlagScope notOwn(OwnOperation(), FALSE);
    w.RequestResize();
  }
  return AddBordersToSize(CSize(m_rectRequested.Width(), m_rectRequested.Height() + 1), style);
}

// ---- Drawing --------------------------------------------------------------------------------------------

void CGXRichEditCtrl::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                               const CGXStyle*) {
  COLORREF back = 0, text = 0;
  CellColors(m_pGrid, style, back, text);
  if (IsBoundToCell(row, col) && m_bEditing && m_hWnd && !m_pGrid->IsPrinting() && !m_pGrid->m_bDrawAllCellsInactive) {
    CGXFlagScope own(OwnOperation(), TRUE);
    DrawCellBackground(dc, rect, style, FALSE);
    const CRect inner = ComputeInnerRect(row, col, &rect, &style);
    MoveWindow(&inner, FALSE);
    SetBackgroundColor(FALSE, back);
    if (dc->m_hDC == dc->m_hAttribDC)
      SetTargetDevice(nullptr, 0);
    else
      SetTargetDevice(dc->m_hDC, MulDiv(inner.Width(), 1440, ScreenDpiX()));
    m_bAutoSize = style.IsIncluded(GX_IN_AUTOSIZE) && style.GetAutoSize();
    SetEventMask(m_dwEventMask);
    const BOOL enter = style.IsIncluded(GX_IN_ALLOWENTER) && style.GetAllowEnter();
    SetOptions(ECOOP_SET, m_dwOptions | (enter ? ECO_WANTRETURN : 0));
    SetReadOnly(IsCellReadOnly());
    SetEditingState(TRUE);
    if (HWND grid = m_pGrid->GridHwnd(); grid && ::GetFocus() == grid) {
      auto guard = m_pGrid->GuardFocus();
      SetFocus();
    }
    SendMessage(EM_SCROLL, SB_PAGEUP);
    SendMessage(EM_SCROLLCARET);
    LimitToCell(style);
    ShowWindow(SW_SHOW);
    CRichEditCtrl::UpdateWindow();
    DrawChildren(dc, rect, row, col, style);
    RecordWindowRect(inner);
    return;
  }
  DrawCellBackground(dc, rect, style, FALSE);
  const CRect inner = ComputeInnerRect(row, col, &rect, &style);
  CRichEditCtrl& w = m_hidden[kDrawing];
  if (inner.Width() < 2 || inner.Height() < 2 || !w.m_hWnd) return;
  gx::TextLookScope look(dc, text, TRANSPARENT);
  w.SetBackgroundColor(FALSE, back);
  const CString value = style.GetIncludeValue() ? style.GetValue() : CString();
  if (value.IsEmpty()) return;
  // Inactive cells show the style's font and colour where their value names none.
  PARAFORMAT pf;
  CHARFORMAT cf;
  StyleToFormats(pf, cf, style);
  // A value is read again when the defaults it was read with changed.
  const bool sameDefaults = std::memcmp(&cf, &m_drawingDefaults, sizeof cf) == 0;
  if (!sameDefaults) {
    m_drawingDefaults = cf;
    if (cf.dwMask) w.SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  }
  if (!sameDefaults || m_hiddenText[kDrawing] != value) {
    StreamIn(w, value);
    m_hiddenText[kDrawing] = value;
  }
  if (w.GetTextLength() == 0) return;
  CGXFlagScope own(OwnOperation(), TRUE);
  const BOOL printing = m_pGrid->IsPrinting();
  const int dpiX = printing ? dc->GetDeviceCaps(LOGPIXELSX) : ScreenDpiX();
  const int dpiY = printing ? dc->GetDeviceCaps(LOGPIXELSY) : ScreenDpiY();
  CRect page;
  m_pGrid->GetDrawingArea(&page);
  // The rectangle's bottom is left open by a default row, so a last line that is cut still starts.
  CRect target = inner;
  target.bottom += m_pGrid->GetDefaultRowHeight();
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(&inner);
  const int zoom = m_pGrid->GetZoom();
  if (zoom > 0 && zoom != 100) {
    // Zoomed, the value is laid out as at 100 % in a rectangle shrunk by the zoom and drawn through a
    // mapping that enlarges it again, so its fonts, lines and wrapping scale as the other cells' text does.
    POINT origin{target.left, target.top};
    ::LPtoDP(dc->m_hDC, &origin, 1);
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowOrg(0, 0);
    dc->SetViewportOrg(origin);
    dc->SetWindowExt(100, 100);
    dc->SetViewportExt(zoom, zoom);
    target = CRect(0, 0, MulDiv(target.Width(), 100, zoom), MulDiv(target.Height(), 100, zoom));
  }
  FORMATRANGE fr{};
  fr.hdc = dc->m_hDC;
  fr.hdcTarget = dc->m_hAttribDC;
  fr.rc = ToTwips(target, dpiX, dpiY);
  fr.rcPage = ToTwips(page, dpiX, dpiY);
  fr.chrg = CHARRANGE{0, -1};
  w.FormatRange(nullptr, FALSE);
  w.FormatRange(&fr, TRUE);
  w.FormatRange(nullptr, FALSE);
  dc->RestoreDC(saved);
}

void CGXRichEditCtrl::HideWindowPart() {
  if (!m_hWnd || !IsWindowVisible()) return;
  auto guard = m_pGrid->GuardFocus();
  ShowWindow(SW_HIDE);
}

// ---- Row growth -----------------------------------------------------------------------------------------

void CGXRichEditCtrl::OnRequestResize(const RECT& requested) {
  if (OwnOperation() || !m_bInit || !m_pGrid->MatchesCurrentCell(m_nRow, m_nCol) || !m_bAutoSize || !m_bEditing)
    return;
  CGXRange covered(m_nRow, m_nCol);
  m_pGrid->GetCoveredCellsRowCol(m_nRow, m_nCol, covered);
  CGXFlagScope own(OwnOperation(), TRUE);
  const CGXStyle& style = GetCachedStyle();
  int needed = AddBordersToSize(CSize(requested.right - requested.left, requested.bottom - requested.top), style).cy + 1;
  if (covered.bottom > covered.top) needed -= m_pGrid->SumRowHeights(covered.top, covered.bottom) - m_pGrid->GetRowHeight(m_nRow);
  const int height = m_pGrid->GetRowHeight(m_nRow);
  if (needed <= height) {
    const int shrunk = std::max(needed, m_nBoundRowHeight);
    if (shrunk < height && m_bShrink) m_pGrid->SetRowHeight(m_nRow, m_nRow, shrunk, nullptr, 2);
    return;
  }
  CRect area;
  m_pGrid->GetDrawingArea(&area);
  const ROWCOL frozen = m_pGrid->GetFrozenRows();
  const int frozenHeight = m_pGrid->SumRowHeights(0, frozen);
  const int limit = area.Height() - frozenHeight - 1;
  m_pGrid->UpdateWindow();
  if (limit > height) {
    m_pGrid->SetRowHeight(m_nRow, m_nRow, std::min(needed, limit), nullptr, 2);
    m_pGrid->BringCellIntoView(m_nRow, m_nCol, 2);
  }
}

// ---- Keys and characters on an inactive cell --------------------------------------------------------------

BOOL CGXRichEditCtrl::OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) {
  OwnOperation() = FALSE;
  return CGXTextWindowCell::OnKeyDownInCell(ch, repeat, flags);
}

void CGXRichEditCtrl::EditEmptyText() {
  SetEditingState(TRUE);
  SetEditText("");
  SetModifiedState(TRUE);
  NotifyModified();
}

BOOL CGXRichEditCtrl::OnCharInCell(UINT ch, UINT repeat, UINT flags) {
  if (ch < 0x20 || ch == 0x7F) return CGXControl::OnCharInCell(ch, repeat, flags);
  const char text[2] = {static_cast<char>(ch), 0};
  return OnDbcsCharInCell(text, repeat, flags);
}

BOOL CGXRichEditCtrl::OnDbcsCharInCell(const CString& text, UINT, UINT) {
  OwnOperation() = FALSE;
  if (IsCellReadOnly() || !m_hWnd) return FALSE;
  if (m_bEditing) {
    const long end = GetTextLength();
    SetSel(end, end);
    const CGXStyle& style = GetCachedStyle();
    if (style.IsIncluded(GX_IN_MAXLENGTH) && style.GetMaxLength() > 0 &&
        end + text.GetLength() > style.GetMaxLength())
      return TRUE;
    CString current;
    GetWindowText(current);
    if (AcceptsText(current + text)) ReplaceSelectedText(text);
    return TRUE;
  }
  if (!AcceptsText(text) || !NotifyEditStart()) return TRUE;
  SetEditingState(TRUE);
  SetEditText(text);  // the typed text replaces the cell's
  SetSel(text.GetLength(), text.GetLength());
  HideAndInvalidate();
  return TRUE;
}

// ---- Mouse ----------------------------------------------------------------------------------------------

// The click that started editing, given to the window shown over the cell: it places the caret there.
void CGXRichEditCtrl::ClickIntoWindow(int x, int y) {
  SetSel(0, 0);
  m_pGrid->UpdateWindow();
  const CRect inner = ComputeInnerRect(m_nRow, m_nCol);
  const LPARAM at = MAKELPARAM(x - inner.left, y - inner.top);
  SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessage(WM_LBUTTONUP, 0, at);
}

BOOL CGXRichEditCtrl::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  const WORD activate = m_pGrid->GetParam() ? m_pGrid->GetParam()->m_wActivateFlags : 1;
  if (m_hWnd && m_bInit && !(hit & 2) && (activate & 7)) {
    if (!m_bEditing && !NotifyEditStart()) return CGXControl::OnLButtonUpInCell(flags, x, y, hit);
    SetEditingState(TRUE);
    HideAndInvalidate();
    if (!CGXControl::OnLButtonUpInCell(flags, x, y, hit)) {
      ClickIntoWindow(x, y);
    }
    return TRUE;
  }
  return CGXControl::OnLButtonUpInCell(flags, x, y, hit);
}

BOOL CGXRichEditCtrl::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  const WORD activate = m_pGrid->GetParam() ? m_pGrid->GetParam()->m_wActivateFlags : 1;
  if (m_hWnd && m_bInit && !m_bEditing && (activate & 8) && NotifyEditStart()) {
    SetEditingState(TRUE);
    HideAndInvalidate();
    if (!CGXControl::OnLButtonDblClkInCell(flags, x, y)) {
      ClickIntoWindow(x, y);
    }
    return TRUE;
  }
  return CGXControl::OnLButtonDblClkInCell(flags, x, y);
}

// ---- Clipboard --------------------------------------------------------------------------------------------

// Decision: while editing, the window's WM_COPY alone puts "Rich Text Format" and CF_TEXT of the selection on
// the clipboard; the base copy would empty the clipboard again to set its plain text.
BOOL CGXRichEditCtrl::CopyToClipboard() {
  if (!m_bInit) return FALSE;
  if (!m_bEditing || !m_hWnd) return CGXControl::CopyToClipboard();
  if (!m_pGrid->MatchesCurrentCell(m_nRow, m_nCol)) return FALSE;
  long start = 0, end = 0;
  GetSel(start, end);
  if (start == end) return FALSE;
  Copy();
  return TRUE;
}

BOOL CGXRichEditCtrl::CutToClipboard() {
  if (!m_bEditing || !m_hWnd) return CGXControl::CutToClipboard();
  if (!CanCutToClipboard() || IsCellReadOnly() || !CopyToClipboard()) return FALSE;
  ReplaceSelectedText("");
  return TRUE;
}

BOOL CGXRichEditCtrl::CanPasteFromClipboard() {
  if (!m_bInit) return FALSE;
  if (IsCellReadOnly()) return FALSE;
  if (IsClipboardFormatAvailable(RegisterClipboardFormat("Rich Text Format"))) return TRUE;
  return CGXControl::CanPasteFromClipboard();
}

BOOL CGXRichEditCtrl::CanPasteText(const CString& text) {
  const CGXStyle& style = GetCachedStyle();
  const int max = style.IsIncluded(GX_IN_MAXLENGTH) ? style.GetMaxLength() : 0;
  const CString result = TextWithSelectionReplaced(text);
  if (PasteTooLong(result.GetLength(), max > 0 ? static_cast<UINT>(max) : 0)) return FALSE;
  return AcceptsText(result);
}

BOOL CGXRichEditCtrl::PasteFromClipboard() {
  return PasteShowingRefusal([this] { return PasteRichOrPlain(); });
}

BOOL CGXRichEditCtrl::PasteRichOrPlain() {
  const UINT rtf = RegisterClipboardFormat("Rich Text Format");
  if (!m_bInit || !m_hWnd || GetOpenClipboardWindow() != nullptr || !IsClipboardFormatAvailable(rtf))
    return CGXControl::PasteFromClipboard();
  if (GridStylesTakePrecedence() || IsCellReadOnly()) return FALSE;
  if (!m_bEditing) {
    if (!NotifyEditStart()) return FALSE;
    SetEditingState(TRUE);
    SetSel(0, -1);  // the paste replaces the whole text
  }
  // The document's plain text, read in the text window, goes in whole or not at all as a plain paste does.
  CString document;
  if (OpenClipboard(m_pGrid->GridHwnd())) {
    if (HANDLE data = GetClipboardData(rtf)) {
      const char* p = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data)));
      document = p ? CString(p) : CString();
      GlobalUnlock(static_cast<HGLOBAL>(data));
    }
    CloseClipboard();
  }
  if (m_hidden[kText].m_hWnd) {
    LoadHidden(kText, document);
    if (!CanPasteText(StreamOut(m_hidden[kText], SF_TEXT))) return FALSE;
  }
  {
    CGXFlagScope own(OwnOperation(), TRUE);
    Paste();
  }
  SetModifiedState(TRUE);
  HideAndInvalidate();
  m_pGrid->UpdateWindow();
  RequestResize();
  return TRUE;
}

// ---- Find and replace -----------------------------------------------------------------------------------

void CGXRichEditCtrl::GetSelectionText(CString& out) {
  if (m_bEditing && m_hWnd) {
    long start = 0, end = 0;
    GetSel(start, end);
    if (start != end) {
      out = GetSelText();
      return;
    }
    GetWindowText(out);
    return;
  }
  GetEditText(out);
}

void CGXRichEditCtrl::ReplaceSelectedText(LPCTSTR text) {
  if (!m_bEditing || !m_hWnd || IsCellReadOnly()) return;
  // A replacement past the cell's maximum length is refused whole and says so (the window would cut it).
  const CGXStyle& style = GetCachedStyle();
  const int max = style.IsIncluded(GX_IN_MAXLENGTH) ? style.GetMaxLength() : 0;
  if (max > 0 && TextWithSelectionReplaced(text ? text : "").GetLength() > max) {
    RefuseReplacement();
    return;
  }
  ReplaceSel(text ? text : "", TRUE);
  SetModifiedState(TRUE);
  NotifyModified();
}

// Decision: the search passes FR_DOWN: a forward search (without it the window searches backward).
BOOL CGXRichEditCtrl::FindInCell(DWORD_PTR requestArg, DWORD_PTR rowArg, DWORD_PTR colArg, DWORD_PTR atCurrent,
                                 DWORD_PTR select) {
  const auto* request = reinterpret_cast<const CGXFindReplaceState*>(requestArg);
  if (!request || request->m_strFind.IsEmpty()) return FALSE;
  const ROWCOL row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  const BOOL here = IsEditedCell(row, col) && m_hWnd;
  const DWORD flags = FR_DOWN | (request->m_bCase ? FR_MATCHCASE : 0);
  FINDTEXTEX ft{};
  ft.lpstrText = request->m_strFind;
  if (here) {
    long start = 0, end = 0;
    GetSel(start, end);
    ft.chrg = CHARRANGE{static_cast<LONG>(!atCurrent && start != end ? start + 1 : start), static_cast<LONG>(GetTextLength())};
    if (FindText(flags, &ft) < 0) return FALSE;
  } else {
    CGXStyle style;
    m_pGrid->ComposeCellStyle(row, col, style, TRUE);
    if (!style.GetIncludeValue() || !m_hidden[kText].m_hWnd) return FALSE;
    LoadHidden(kText, style.GetValue());
    ft.chrg = CHARRANGE{0, -1};
    if (m_hidden[kText].FindText(flags, &ft) < 0) return FALSE;
  }
  if (!select) return TRUE;
  m_pGrid->BringCellIntoView(row, col, GX_UPDATENOW);
  if (!here) {
    if (!m_pGrid->MoveCurrentCellTo(row, col, 0x24)) return FALSE;
    if (m_pGrid->ControlOfCurrentCell() != this) return TRUE;
    SetEditingState(TRUE);
  }
  SetSel(ft.chrgText);
  if (!here) HideAndInvalidate();
  return TRUE;
}

BOOL CGXRichEditCtrl::ReplaceInCell(DWORD_PTR requestArg, DWORD_PTR rowArg, DWORD_PTR colArg) {
  const auto* request = reinterpret_cast<const CGXFindReplaceState*>(requestArg);
  if (!request || request->m_strFind.IsEmpty()) return FALSE;
  const ROWCOL row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  const BOOL here = IsEditedCell(row, col) && m_hWnd;
  const DWORD flags = FR_DOWN | (request->m_bCase ? FR_MATCHCASE : 0);
  const long replaceLength = request->m_strReplace.GetLength();
  // The replacements are made in the hidden text window, over the edited window's document from its selection on
  // or over the cell's value; the document they leave is stored only within the cell's maximum length and bounds,
  // judged by its plain text as typing judges it (the edited window's limit would cut it), else the cell keeps its
  // value and the refusal is the grid's warning.
  CGXStyle composed;
  const CGXStyle* style = &composed;
  CString document;
  long start = 0;
  if (here) {
    if (IsCellReadOnly()) return FALSE;
    long end = 0;
    GetSel(start, end);
    style = &GetCachedStyle();
    document = StreamOut(*this);
  } else {
    m_pGrid->ComposeCellStyle(row, col, composed, TRUE);
    if (!composed.GetIncludeValue() || StoreRefused(composed)) return FALSE;
    document = composed.GetValue();
  }
  CRichEditCtrl& w = m_hidden[kText];
  if (!w.m_hWnd) return FALSE;
  LoadHidden(kText, document);
  int count = 0;
  FINDTEXTEX ft{};
  ft.lpstrText = request->m_strFind;
  for (long from = start;; ++count) {
    ft.chrg = CHARRANGE{static_cast<LONG>(from), -1};
    if (w.FindText(flags, &ft) < 0) break;
    w.SetSel(ft.chrgText);
    w.ReplaceSel(request->m_strReplace);
    from = ft.chrgText.cpMin + replaceLength;
  }
  if (!count) return FALSE;
  const CString rtf = StreamOut(w);
  m_hiddenText[kText] = rtf;
  if (!WithinLimits(rtf, *style)) {
    RefuseReplacement();
    return FALSE;
  }
  if (!here) return m_pGrid->SetCellValue(row, col, rtf, GX_INVALIDATE);
  SetEditedValue(rtf);
  SetModifiedState(TRUE);
  StoreValue();
  return TRUE;
}

// ---- Window part: messages --------------------------------------------------------------------------------

BOOL CGXRichEditCtrl::HandleWindowCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != EN_CHANGE || reinterpret_cast<HWND>(lParam) != m_hWnd || !m_hWnd) return FALSE;
  if (m_bEditing && !m_bLoading) NotifyModified();
  return TRUE;
}

BOOL CGXRichEditCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_NOTIFY && lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == m_hWnd && header->code == EN_REQUESTRESIZE) {
      OnRequestResize(reinterpret_cast<const REQRESIZE*>(lParam)->rc);
      if (pResult) *pResult = 0;
      return TRUE;
    }
  }
  return CRichEditCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CGXRichEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_bDestroying) return CRichEditCtrl::WindowProc(message, wParam, lParam);
  const UINT repeat = LOWORD(lParam), flags = HIWORD(lParam);
  const UINT ch = static_cast<UINT>(wParam);
  switch (message) {
    case WM_KEYDOWN: OnKeyDown(ch, repeat, flags); return 0;
    case WM_CHAR: OnChar(ch, repeat, flags); return 0;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
      if (ToGrid(message, ch, repeat, flags)) return 0;
      break;
    case WM_GETDLGCODE: return CRichEditCtrl::WindowProc(message, wParam, lParam) | 0x83;
    case WM_KILLFOCUS: {
      if (m_bLosingFocus) return 0;
      CGXFlagScope losing(m_bLosingFocus, TRUE);
      const LRESULT r = CRichEditCtrl::WindowProc(message, wParam, lParam);
      const HWND to = reinterpret_cast<HWND>(wParam);
          if (to != m_pGrid->GridHwnd() && !m_pGrid->IsFocusGuarded()) {
        // The focus reaches its new window first: the grid then stores the cell and hides this window,
        // which would otherwise hand the focus, still here, to the grid.
        if (to && ::IsWindow(to)) ::SetFocus(to);
        ForwardKillFocusToGrid(to ? CWnd::FromHandle(to) : nullptr);
      }
      return r;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == EN_REQUESTRESIZE) {
        if (m_bMeasuring && !OwnOperation()) m_rectRequested = reinterpret_cast<const REQRESIZE*>(lParam)->rc;
        return TRUE;
      }
      break;
    }
    case WM_COMMAND: return 0;  // the hidden windows' notifications stop here
    case WM_LBUTTONDOWN: OwnOperation() = TRUE; break;
    case WM_CONTEXTMENU: return 0;
    default: break;
  }
  return CRichEditCtrl::WindowProc(message, wParam, lParam);
}

void CGXRichEditCtrl::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  OwnOperation() = FALSE;
  RouteKeyDown(ch, repeat, flags, [&] {
    long start = 0, end = 0;
    GetSel(start, end);
    const BOOL ctrl = gx::KeyHeld(VK_CONTROL), shift = gx::KeyHeld(VK_SHIFT);
    BOOL grid = FALSE;
    switch (ch) {
      case VK_DOWN: grid = !ctrl && LineFromChar(end) + 1 >= GetLineCount(); break;
      case VK_UP: grid = !ctrl && LineFromChar(start) < 1; break;
      case VK_LEFT: grid = !ctrl && start < 1; break;
      case VK_RIGHT: grid = !ctrl && end >= GetTextLength(); break;
      case VK_TAB:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_ESCAPE: grid = TRUE; break;
      case VK_RETURN: grid = !ctrl && (GetStyle() & ES_WANTRETURN) == 0; break;
      case 'C':
      case 'V':
      case 'X': grid = ctrl; break;
      case VK_INSERT:
        if (shift) {
          PasteFromClipboard();
          return KeyRoute::done;
        }
        if (ctrl && start != end) {
          CopyToClipboard();
          return KeyRoute::done;
        }
        break;
      case VK_DELETE:
        if (shift && start != end) {
          CutToClipboard();
          return KeyRoute::done;
        }
        break;
      default: grid = ch >= VK_F1 && ch <= 0x87 /* F24 */; break;
    }
    return grid ? KeyRoute::grid : KeyRoute::window;
  });
}

void CGXRichEditCtrl::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (!m_bInit || !m_bEditing || (GetStyle() & ES_READONLY)) return;
  if (ch == VK_BACK && repeat == 0) return;
  m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW);
  if (gx::KeyHeld(VK_CONTROL)) {
    switch (ch) {
      case 3: CopyToClipboard(); return;
      case 0x16: PasteFromClipboard(); return;
      case 0x18: CutToClipboard(); return;
      default: break;
    }
  } else {
    CString typed;
    switch (ComposeDbcsChar(m_bCharLeadPending, m_cCharLead, ch, typed)) {
      case GXComposedChar::single:
        if (ch >= 0x20) typed = CString(static_cast<char>(ch), 1);
        break;
      case GXComposedChar::held: typed.Empty(); break;
      case GXComposedChar::pair: break;
    }
    // A typed text the cell refuses is reported and dropped.
    if (!typed.IsEmpty() && !AcceptsText(TextWithSelectionReplaced(typed))) {
      OnCellNotify(reinterpret_cast<DWORD_PTR>(static_cast<LPCTSTR>(typed)));
      return;
    }
  }
  DefWindowProc(WM_CHAR, ch, MAKELPARAM(repeat, flags));
  if (m_hWnd) ToGrid(WM_CHAR, ch, repeat, flags);
}
