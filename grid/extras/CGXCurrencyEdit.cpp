#include "grid/extras/CGXCurrencyEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "grid/core/CGXFindReplaceState.h"
#include "platform/base/ResourceTable.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXBCalculator.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/CException.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CGXCaptiveCurEdit, CGXBCurrencyEdit)
IMPLEMENT_DYNAMIC(CGXCurrencyEdit, CGXBCurrencyEdit)

const CGXControlClass CGXCurrencyEdit::controlClassCGXCurrencyEdit = {"CGXCurrencyEdit", &CGXStatic::classCGXStatic};

namespace {

constexpr WORD kMaskedEditControl = 52535, kZeroBasedChoiceControl = 52532, kInputMaskAttribute = 51023;

CString StoredAmount(double magnitude, BOOL negative, int fractionDigits) {
  const int digits = std::clamp(fractionDigits, 0, 30);
  const double signedValue = negative && magnitude != 0.0 ? -magnitude : magnitude;
  return gx::FormatFixed(signedValue, digits);
}

// The value text with its first '.' as the format's decimal separator.
CString WithSeparator(CString text, const CGXBCurrencyEdit::Format& format) {
  const int at = text.Find('.');
  if (at >= 0) text.SetAt(at, format.m_cDecimalSep ? format.m_cDecimalSep : ' ');
  return text;
}

// Whether a text holds one amount and nothing but what a format shows around it (its symbol, blanks, a sign,
// parentheses, its padding): the amount is read from the last run of digits, and "6/15/2024" or "1e400" must
// not become 2024 or 400.
BOOL OnlyAnAmount(const CString& text, const CGXBCurrencyEdit::Format& format) {
  int start = 0, end = 0;
  if (!format.FindNumber(text, start, end)) return FALSE;
  CString around = text.Left(start) + ' ' + text.Mid(end + 1);
  if (!format.m_strSymbol.IsEmpty()) around.Replace(format.m_strSymbol, "");
  for (int i = 0; i < around.GetLength(); ++i) {
    const char c = around[i];
    if (c != ' ' && c != '-' && c != '(' && c != ')' && c != format.m_cPadding) return FALSE;
  }
  return TRUE;
}

// Whether a replaced text may become the amount, as a pasted or typed one would: one amount and nothing else
// (OnlyAnAmount), and no more significant digits than a double holds exactly unless the text it replaces
// already had as many (an amount the program set). `matchCase` off: the text was searched in upper case.
BOOL TakesReplacedAmount(const CString& replaced, const CString& before, const CGXBCurrencyEdit::Format& format,
                         BOOL matchCase) {
  CGXBCurrencyEdit::Format check = format;
  CString text = replaced;
  if (!matchCase) {
    text.MakeUpper();
    check.m_strSymbol.MakeUpper();
  }
  const int digits = CGXBCurrencyEdit::SignificantDigits(replaced);
  return OnlyAnAmount(text, check) &&
         (digits <= CGXBCurrencyEdit::kExactDigits || digits <= CGXBCurrencyEdit::SignificantDigits(before));
}

}  // namespace

CGXCurrencyEdit::CGXCurrencyEdit(CGXGridCore* grid, UINT windowId) : CGXBWindowCell(grid), m_nWindowId(windowId) {}

CGXCurrencyEdit::~CGXCurrencyEdit() {
  if (m_hWnd) DestroyWindow();
  if (m_captive.m_hWnd) m_captive.DestroyWindow();
}

CRuntimeClass* CGXCurrencyEdit::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXCurrencyEdit); }

void CGXCurrencyEdit::RegisterUserAttributes(CGXStylesMap* map) {
  CGXStyle masked;
  masked.SetControl(kMaskedEditControl).SetUserAttribute(kInputMaskAttribute, "##AAAA#");
  map->AddUserAttribute(GX_IDS_UA_CURRENCYDEF, &masked);
  CGXStyle positive, negative;
  positive.SetControl(kZeroBasedChoiceControl).SetChoiceList(gx::LoadGridString(gx::kPositiveCurrencyChoices));
  negative.SetControl(kZeroBasedChoiceControl).SetChoiceList(gx::LoadGridString(gx::kNegativeCurrencyChoices));
  map->AddUserAttribute(GX_IDS_UA_CURRPOSFORMAT, &positive);
  map->AddUserAttribute(GX_IDS_UA_CURRNEGFORMAT, &negative);
  map->AddUserAttribute(GX_IDS_UA_CURRNUMDIGITS);
  map->AddUserAttribute(GX_IDS_UA_CURRNUMDECIMALS);
  map->AddUserAttribute(GX_IDS_UA_CURRENCYSYMBOL);
  map->AddUserAttribute(GX_IDS_UA_CURRENCYSEP);
}

// ---- Format and windows

void CGXCurrencyEdit::ApplyStyleFormat(CGXBCurrencyEdit* window, const CGXStyle& style) {
  if (!window) window = this;
  Format f(TRUE);
  f.m_bKeepValue = m_bAppendMode;
  f.m_bPadBeforeGrouping = m_bPadBeforeGrouping;
  if (style.HasUserAttribute(GX_IDS_UA_CURRENCYDEF)) {
    CString attributes = style.GetUserAttributeText(GX_IDS_UA_CURRENCYDEF);
    if (!attributes.IsEmpty()) {
      if (attributes.GetLength() != 4) attributes = "11 1";
      f.m_bLeadingZero = attributes[0] - '0';
      f.m_bDecimalLine = attributes[1] - '0';
      f.SetPaddingChar(attributes[2]);
    }
  }
  if (style.HasUserAttribute(GX_IDS_UA_CURRPOSFORMAT))
    f.m_nPositiveFormat = std::atoi(style.GetUserAttributeText(GX_IDS_UA_CURRPOSFORMAT));
  if (style.HasUserAttribute(GX_IDS_UA_CURRNEGFORMAT))
    f.m_nNegativeFormat = std::atoi(style.GetUserAttributeText(GX_IDS_UA_CURRNEGFORMAT));
  if (style.HasUserAttribute(GX_IDS_UA_CURRNUMDIGITS))
    f.m_nIntegerDigits = std::atoi(style.GetUserAttributeText(GX_IDS_UA_CURRNUMDIGITS));
  if (style.HasUserAttribute(GX_IDS_UA_CURRNUMDECIMALS))
    f.m_nFractionDigits = std::atoi(style.GetUserAttributeText(GX_IDS_UA_CURRNUMDECIMALS));
  if (style.HasUserAttribute(GX_IDS_UA_CURRENCYSYMBOL)) {
    const CString symbol = style.GetUserAttributeText(GX_IDS_UA_CURRENCYSYMBOL);
    f.m_strSymbol = !symbol.IsEmpty() && symbol[0] == '0' ? CString() : symbol;
  }
  if (style.HasUserAttribute(GX_IDS_UA_CURRENCYSEP)) {
    CString separators = style.GetUserAttributeText(GX_IDS_UA_CURRENCYSEP);
    if (separators.GetLength() != 2) separators = ",.";
    f.m_cThousandSep = separators[0] == '0' ? '\0' : separators[0];
    f.m_cDecimalSep = separators[1];
  }
  window->SetFormat(f);
}

BOOL CGXCurrencyEdit::CreateWindows(DWORD style) {
  if (!GXRegisterCurrencyEditClass(AfxGetInstanceHandle())) AfxThrowResourceException();
  CWnd* grid = GetGridWnd();
  const DWORD windowStyle = (style & ~0xFFFFu) | (style & 0xEF83u) | WS_CHILD;
  BOOL ok = m_hWnd || CGXBDropEdit::Create(windowStyle, CRect(0, 0, 0, 0), grid, m_nWindowId);
  if (!m_captive.m_hWnd) ok = m_captive.Create(windowStyle, CRect(0, 0, 0, 0), grid, m_nWindowId + 1) && ok;
  return ok;
}

// ---- Binding, values, storing

void CGXCurrencyEdit::InitForCell(ROWCOL row, ROWCOL col) {
  CGXFlagScope initialising(m_bInitialising, TRUE);
  CGXStatic::InitForCell(row, col);
  m_bEditing = FALSE;
  if (!m_hWnd) CreateWindows(0);
  const CGXStyle& style = GetCachedStyle();
  const CString value = style.GetIncludeValue() ? style.GetValue() : CString();
  ApplyStyleFormat(nullptr, style);
  SetEditedValue(value);
  // The window refuses every change of a read-only cell (Delete, Backspace, paste, cut, undo), as typing.
  if (m_hWnd) SetReadOnly(IsCellReadOnly());
  if (style.IsIncluded(GX_IN_HORZALIGN)) {
    const UINT align = style.GetHorizontalAlignment();
    SetTextAlignment(align == GX_DT_RIGHT ? 2 : align == GX_DT_CENTER ? 1 : 0);
  }
  if (m_hWnd) {
    SendMessage(EM_SETSEL, 0, static_cast<LPARAM>(-1));
    if ((Grid()->ParamSettings().m_wActivateFlags & 4) && NotifyEditStart()) SetEditingState(TRUE);
  }
  m_bModified = FALSE;
}

CString CGXCurrencyEdit::StoredText(double magnitude, BOOL negative, const Format& f) const {
  Format limited = f;
  limited.m_bKeepValue = 0;
  // The integer-digit limit, applied to the amount whatever the keep-value switch says.
  if (magnitude != 0.0 && limited.m_nIntegerDigits != -1) {
    const int e = static_cast<int>(std::log10(magnitude));
    const int d = e - (limited.m_nIntegerDigits - 1);
    if (e != 0 && d > 0) {
      const double whole = std::trunc(magnitude);
      magnitude = std::trunc(whole / std::pow(10.0, d)) + (magnitude - whole);
    }
  }
  return StoredAmount(magnitude, negative, f.m_nFractionDigits);
}

BOOL CGXCurrencyEdit::GetEditedValue(CString& out) const {
  if (!IsInitialized()) return FALSE;
  out = StoredText(m_dValue, m_bNegative, *m_pFormat);
  return TRUE;
}

void CGXCurrencyEdit::SetEditedValue(const CString& text) {
  if (!m_hWnd) return;
  SetWindowText(WithSeparator(text, *m_pFormat));
}

void CGXCurrencyEdit::GetEditText(CString& out) const {
  out.Empty();
  if (m_bEditing) {
    GetWindowText(out);
  } else if (IsInitialized()) {
    CString value = Grid()->GetCellValue(GetRow(), GetCol());
    CGXStyle style;
    Grid()->ComposeCellStyle(GetRow(), GetCol(), style);
    GetDisplayText(out, GetRow(), GetCol(), nullptr, style);
  }
}

void CGXCurrencyEdit::SetEditText(const CString& text) {
  if (!IsInitialized() || !m_hWnd) return;
  if (!m_bEditing) StartEditing();
  if (!AcceptsText(text)) return;
  SetWindowText(text);
  m_bModified = TRUE;
  NotifyModified();
}

BOOL CGXCurrencyEdit::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value,
                                     const CGXStyle& style) const {
  auto& self = const_cast<CGXCurrencyEdit&>(*this);
  if (value) {
    // The value is read with a local copy of the editing window's format: the amount being edited stays.
    Format f(TRUE);
    f = *m_pFormat;
    double amount = 0.0;
    BOOL negative = FALSE;
    if (!f.ParseValue(WithSeparator(*value, f), amount, negative)) return FALSE;
    f.FormatValue(amount, out, negative);
    return TRUE;
  }
  out.Empty();
  if (!style.GetIncludeValue() || style.GetValue().IsEmpty()) return FALSE;
  if (!m_captive.m_hWnd) self.CreateWindows(0);
  self.ApplyStyleFormat(&m_captive, style);
  double amount = 0.0;
  BOOL negative = FALSE;
  const Format& f = m_captive.GetFormatRef();
  if (!f.ParseValue(WithSeparator(style.GetValue(), f), amount, negative)) return FALSE;
  f.FormatValue(amount, out, negative);
  return !out.IsEmpty();
}

BOOL CGXCurrencyEdit::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  if (!m_captive.m_hWnd) CreateWindows(0);
  ApplyStyleFormat(&m_captive, style);
  if (text.IsEmpty()) return TRUE;
  const Format& f = m_captive.GetFormatRef();
  double amount = 0.0;
  BOOL negative = FALSE;
  // An amount the editor would refuse to take is refused here too: the cell keeps its value.
  if (!OnlyAnAmount(text, f) || !f.ParseValue(text, amount, negative) || SignificantDigits(text) > kExactDigits)
    return FALSE;
  text = StoredAmount(amount, negative, f.m_nFractionDigits);
  return TRUE;
}

void CGXCurrencyEdit::GetStyleValueText(CString& out, const CGXStyle& style) const {
  out = style.GetIncludeValue() ? style.GetValue() : CString();
  Format f(TRUE);
  f = m_captive.GetFormatRef();
  double amount = 0.0;
  BOOL negative = FALSE;
  if (f.ParseValue(WithSeparator(out, f), amount, negative)) out = StoredAmount(amount, negative, f.m_nFractionDigits);
}

BOOL CGXCurrencyEdit::StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                                 const CGXStyle* composed) {
  if (!CGXStatic::StoreStyle(row, col, style, mode, type, composed)) return FALSE;
  if (style && (mode == 0 || mode == 1) && Grid()->MatchesCurrentCell(row, col)) {
    if (style->GetIncludeValue() && !m_bModified) {
      RedrawIfChanged();
    } else if (!style->IsIncluded(GX_IN_CONTROLID)) {
      if (IsInitialized())
        for (WORD id : {GX_IDS_UA_CURRENCYDEF, GX_IDS_UA_CURRPOSFORMAT, GX_IDS_UA_CURRNEGFORMAT,
                        GX_IDS_UA_CURRNUMDIGITS, GX_IDS_UA_CURRNUMDECIMALS})
          if (style->HasUserAttribute(id)) {
            ApplyStyleFormat(nullptr, *style);
            break;
          }
    } else {
      RedrawIfChanged();
    }
  }
  return TRUE;
}

// ---- Drawing

void CGXCurrencyEdit::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                               const CGXStyle* standard) {
  CGXFlagScope initialising(m_bInitialising, TRUE);
  if (!(IsBoundToCell(row, col) && m_bEditing && m_hWnd && !Grid()->IsPrinting())) {
    if (m_hWnd && IsBoundToCell(row, col) && IsWindowVisible()) HideWindowPart();
    CGXStatic::DrawCell(dc, rect, row, col, style, standard);
    return;
  }
  DropCachedStyle();
  const CGXStyle& cached = GetCachedStyle();
  CFont* font = Grid()->LookupFont(cached);
  COLORREF text = cached.GetTextColor(), back = cached.GetInterior().GetColor();
  if (Grid()->PrintsBlackAndWhite()) text = RGB(0, 0, 0), back = RGB(255, 255, 255);
  CGXStatic::DrawBackground(dc, rect, cached, TRUE);
  CRect inner = ComputeInnerRect(rect, cached);
  TEXTMETRIC tm{};
  CFont* old = font ? dc->SelectObject(font) : nullptr;
  dc->GetTextMetrics(&tm);
  if (old) dc->SelectObject(old);
  m_nTextHeight = tm.tmHeight + tm.tmExternalLeading + 1;
  m_nMaxCharWidth = tm.tmMaxCharWidth;
  if (!cached.GetWrapText() && cached.IsIncluded(GX_IN_VERTALIGN)) {
    const UINT v = cached.GetVerticalAlignment();
    if (v == DT_VCENTER)
      inner.top += std::max(0, (inner.Height() - m_nTextHeight) / 2);
    else if (v == DT_BOTTOM && inner.Height() > m_nTextHeight)
      inner.top = inner.bottom - m_nTextHeight;
  }
  if (inner.top + m_nTextHeight - 1 <= inner.bottom) inner.bottom = inner.top + m_nTextHeight - 1;
  if (font) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), FALSE);
  UpdateButton(cached);
  Format f(TRUE);
  f = *m_pFormat;
  f.SetBackgroundColor(back);
  f.SetNegativeColor(text);
  f.SetPositiveColor(text);
  SetFormat(f);
  SetReadOnly(IsCellReadOnly());
  SetEditingState(TRUE);
  if (::GetFocus() == Grid()->GridHwnd()) {
    CGXFlagScope moving(Grid()->FocusGuard(), TRUE);
    SetFocus();
  }
  InvalidateEdit();
  MoveWindow(&inner, FALSE);
  ShowWindow(SW_SHOW);
  UpdateWindow();
  dc->ExcludeClipRect(&inner);
  Grid()->GridWnd()->ValidateRect(&inner);
  DrawChildren(dc, rect, row, col, cached);
}

void CGXCurrencyEdit::UpdateButton(const CGXStyle& style) {
  const CString attributes = style.GetUserAttributeText(GX_IDS_UA_CURRENCYDEF);
  const UINT bitmap = attributes.GetLength() >= 4 && attributes[3] != '0' ? gx::kCurrencyButtonBitmap : 0;
  if (bitmap != GetButtonBitmapId()) SetButtonBitmap(bitmap);
}

// ---- Mouse and keys in the cell

BOOL CGXCurrencyEdit::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  if (m_hWnd) {
    const WORD activate = Grid()->ParamSettings().m_wActivateFlags;
    CString text;
    GetDisplayText(text, GetRow(), GetCol(), nullptr, GetCachedStyle());
    int ch = -1;
    if (!text.IsEmpty()) {
      const CRect inner = ComputeInnerRect(Grid()->CalcCellRect(GetRow(), GetCol()), GetCachedStyle());
      CClientDC dc(Grid()->GridWnd());
      CFont* font = Grid()->LookupFont(GetCachedStyle());
      CFont* old = font ? dc.SelectObject(font) : nullptr;
      const int width = dc.GetTextExtent(text).cx;
      const UINT align = GetCachedStyle().GetHorizontalAlignment();
      int left = align == GX_DT_RIGHT ? inner.right - width : align == GX_DT_CENTER ? inner.CenterPoint().x - width / 2
                                                                                    : inner.left;
      for (int i = 0; i < text.GetLength(); ++i) {
        const int w = dc.GetTextExtent(text.GetString() + i, 1).cx;
        if (x >= left && x < left + w) {
          ch = i;
          break;
        }
        left += w;
      }
      if (old) dc.SelectObject(old);
    }
    if (((ch >= 0 && (activate & 1)) || (activate & 6)) && !m_bEditing && StartEditing()) {
      SetSel(std::max(ch, 0), std::max(ch, 0));
      if (::GetFocus() != m_hWnd) Grid()->RedrawCell(GetRow(), GetCol());
    }
  }
  CGXStatic::OnLButtonUpInCell(flags, x, y, hit);
  return TRUE;
}

BOOL CGXCurrencyEdit::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  if (m_hWnd && !m_bEditing && (Grid()->ParamSettings().m_wActivateFlags & 8) && StartEditing())
    Grid()->RedrawCell(GetRow(), GetCol());
  CGXStatic::OnLButtonDblClkInCell(flags, x, y);
  return TRUE;
}

void CGXCurrencyEdit::FlipSign() {
  double amount = 0.0;
  BOOL negative = FALSE;
  if (!m_pFormat->ParseValue(WindowText(), amount, negative) || IsCellReadOnly()) return;
  m_dValue = amount;
  m_bNegative = !negative;
  CString text;
  m_pFormat->FormatValue(m_dValue, text, m_bNegative);
  SetWindowTextUnformatted(text);
  m_bModified = TRUE;
  NotifyModified();
}

BOOL CGXCurrencyEdit::OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) {
  if (!m_hWnd) return FALSE;
  if (GetKeyState(VK_CONTROL) < 0) return CGXStatic::OnKeyDownInCell(ch, repeat, flags);
  switch (ch) {
    case VK_SPACE: FlipSign(); return TRUE;
    case VK_END:
    case VK_HOME:
      if (StartEditing() && !Grid()->BringCellIntoView(GetRow(), GetCol())) Grid()->RedrawCell(GetRow(), GetCol());
      return TRUE;
    default: return CGXStatic::OnKeyDownInCell(ch, repeat, flags);
  }
}

BOOL CGXCurrencyEdit::OnCharInCell(UINT ch, UINT repeat, UINT flags) {
  if (!m_hWnd) return FALSE;
  if (ch < 32 || ch == 127 || m_bEditing) return CGXStatic::OnCharInCell(ch, repeat, flags);
  if (IsCellReadOnly()) return FALSE;
  if (StartEditing()) {
    PostMessage(WM_CHAR, ch, MAKELPARAM(repeat, flags));
    Grid()->RedrawCell(GetRow(), GetCol());
    CGXStatic::OnCharInCell(ch, repeat, flags);
    return TRUE;
  }
  return CGXStatic::OnCharInCell(ch, repeat, flags);
}

BOOL CGXCurrencyEdit::OnSysKeyDownInCell(UINT ch, UINT, UINT) {
  if (!m_hWnd) return FALSE;
  if (ch == VK_UP) {
    SetFocus();
  } else if (ch == VK_DOWN && StartEditing()) {
    Grid()->RedrawCell(GetRow(), GetCol(), GX_UPDATENOW);
    UpdateButton(GetCachedStyle());
    if (HasButtonBitmap()) ShowCalculator();
  }
  return FALSE;
}

// ---- Keys in the editing window

BOOL CGXCurrencyEdit::OnEditKeyDown(UINT key, UINT repeat, UINT flags) {
  Grid()->BringCellIntoView(GetRow(), GetCol());
  const LPARAM l = MAKELPARAM(repeat, flags);
  if (GetKeyState(VK_CONTROL) < 0) return CGXBCurrencyEdit::WindowProc(WM_KEYDOWN, key, l), TRUE;
  bool grid = false;
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT: grid = true; break;
    case VK_LEFT: grid = m_nCaret <= 0; break;
    case VK_RIGHT: grid = m_nCaret >= WindowText().GetLength(); break;
    case VK_SPACE: FlipSign(); return TRUE;
    case VK_INSERT:
      if (GetKeyState(VK_SHIFT) < 0) return PasteFromClipboard(), TRUE;
      break;
    case VK_DELETE:
      m_bModified = TRUE;
      if (GetKeyState(VK_SHIFT) < 0)
        OnEditCut();
      else
        DoDelete();
      return TRUE;
    // F2 and F4 open the calculator of a window that has its button; the other function keys are the grid's.
    case VK_F2:
    case VK_F4: grid = !HasButtonBitmap(); break;
    default: grid = key >= VK_F1 && key <= 0x87; break;
  }
  if (grid) return ToGrid(WM_KEYDOWN, key, repeat, flags);
  CGXBCurrencyEdit::WindowProc(WM_KEYDOWN, key, l);
  return TRUE;
}

void CGXCurrencyEdit::OnEditChar(UINT ch, UINT repeat, UINT flags) {
  if (!IsInitialized() || !m_bEditing || IsCellReadOnly() || ch == VK_BACK) return;
  Grid()->BringCellIntoView(GetRow(), GetCol());
  if (ch == '\r' || ch == '\n' || GetKeyState(VK_CONTROL) < 0) return;
  OnChar(ch);
  ToGrid(WM_CHAR, ch, repeat, flags);
}

LRESULT CGXCurrencyEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT repeat = LOWORD(lParam), flags = HIWORD(lParam);
  switch (message) {
    case WM_KEYDOWN: OnEditKeyDown(static_cast<UINT>(wParam), repeat, flags); return 0;
    case WM_CHAR: OnEditChar(static_cast<UINT>(wParam), repeat, flags); return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      if (ToGrid(message, static_cast<UINT>(wParam), repeat, flags)) return 0;
      return DefWindowProc(message, wParam, lParam);
    case WM_SYSKEYDOWN:
      if (ToGrid(message, static_cast<UINT>(wParam), repeat, flags)) return 0;
      break;
    case WM_KILLFOCUS:
    case WM_CONTEXTMENU: return CellWindowMessage(message, wParam, lParam);
    case WM_GETDLGCODE: return CGXBCurrencyEdit::WindowProc(message, wParam, lParam) | DLGC_WANTTAB;
    case WM_ERASEBKGND: return Grid()->OnGridEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_LBUTTONDOWN: {
      const int oldStart = m_nSelStart, oldEnd = m_nSelEnd;
      const BOOL hadSelection = HasSelection();
      const LRESULT result = CGXBCurrencyEdit::WindowProc(message, wParam, lParam);
      const int hi = oldEnd == -1 ? WindowText().GetLength() : std::max(oldStart, oldEnd);
      const int lo = oldEnd == -1 ? 0 : std::min(oldStart, oldEnd);
      if (hadSelection && !HasSelection() && m_nCaret >= lo && m_nCaret <= hi) {
        const int caret = m_nCaret;
        SetSel(oldStart, oldEnd);
        Grid()->OnCellWindowLButtonDown(GetRow(), GetCol());
        if (IsInitialized() && m_bEditing && Grid()->MatchesCurrentCell(GetRow(), GetCol())) SetSel(caret, caret);
      }
      return result;
    }
    case WM_SETTEXT:
      if (!m_bParseOnSet) {
        const LRESULT result = CGXBCurrencyEdit::WindowProc(message, wParam, lParam);
        if (!m_bInitialising) {
          m_bModified = TRUE;
          NotifyModified();
        }
        return result;
      }
      break;
    case GX_WM_CALCULATOR_RESULT:
      if (IsCellReadOnly()) return TRUE;
      break;
    default: break;
  }
  return CGXBCurrencyEdit::WindowProc(message, wParam, lParam);
}

BOOL CGXCurrencyEdit::HandleWindowCommand(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) == m_hWnd && HIWORD(wParam) == EN_CHANGE && m_bEditing && !m_bInitialising) {
    m_bModified = TRUE;
    NotifyModified();
    return TRUE;
  }
  return FALSE;
}

BOOL CGXCurrencyEdit::HitTestButton(int x, int y, BOOL clientCoordinates) {
  return m_bButtonEverywhere || CGXBCurrencyEdit::HitTestButton(x, y, clientCoordinates);
}

// ---- Selection, find and replace

void CGXCurrencyEdit::ReplaceSelectedText(LPCTSTR text) {
  if (!m_bEditing) {
    CGXStatic::ReplaceSelectedText(text);
    return;
  }
  if (!TakesSelectionReplaced(text)) return;  // the amount stays as it was
  CString replaced;
  BuildReplacedText(text, replaced);
  SetWindowText(replaced);
  m_bModified = TRUE;
  NotifyModified();
}

BOOL CGXCurrencyEdit::TakesSelectionReplaced(const char* text) {
  CString replaced;
  BuildReplacedText(text, replaced);
  if (!m_pFormat || CountDigits(replaced) == 0 || TakesReplacedAmount(replaced, WindowText(), *m_pFormat, TRUE))
    return TRUE;
  MessageBeep(0xFFFFFFFF);
  return FALSE;
}

// The window's rule follows (a text over part of the amount gives its digits alone).
BOOL CGXCurrencyEdit::PreparePasteText(CString& text) {
  return TakesSelectionReplaced(text) && CGXBCurrencyEdit::PreparePasteText(text);
}

void CGXCurrencyEdit::GetSelectionText(CString& out) {
  if (m_bEditing && HasSelection()) {
    GetSelectedText(out);
    return;
  }
  GetEditText(out);
}

CString CGXCurrencyEdit::CellDisplayText(ROWCOL row, ROWCOL col, Format* format) {
  CGXStyle style;
  Grid()->ComposeCellStyle(row, col, style);
  CString text;
  GetDisplayText(text, row, col, nullptr, style);
  if (format) *format = m_captive.GetFormatRef();
  return text;
}

BOOL CGXCurrencyEdit::FindInCell(DWORD_PTR stateArg, DWORD_PTR rowArg, DWORD_PTR colArg, DWORD_PTR fromCurrent,
                                 DWORD_PTR select) {
  auto* state = reinterpret_cast<CGXFindReplaceState*>(stateArg);
  const auto row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  if (!state || state->m_strFind.IsEmpty()) return FALSE;
  CString find = state->m_strFind;
  if (IsBoundToCell(row, col) && m_bEditing) {
    const CString& symbol = m_pFormat->m_strSymbol;
    if (!symbol.IsEmpty() && find.Left(symbol.GetLength()) == symbol) find = find.Mid(symbol.GetLength());
    if (find.IsEmpty()) return FALSE;
    CString text = WindowText();
    text.MakeUpper();
    if (!state->m_bCase) find.MakeUpper();
    int from = HasSelection() ? std::min(m_nSelStart, m_nSelEnd == -1 ? 0 : m_nSelEnd) + (fromCurrent ? 0 : 1) : 0;
    from = std::clamp(from, 0, text.GetLength());
    const int at = text.Find(find, from);
    if (at < 0) return FALSE;
    if (select) SetSel(at, at + find.GetLength());
    return TRUE;
  }
  CString text = CellDisplayText(row, col, nullptr);
  if (!state->m_bCase) text.MakeUpper(), find.MakeUpper();
  const int at = text.Find(find);
  if (at < 0) return FALSE;
  if (select) {
    Grid()->BringCellIntoView(row, col);
    Grid()->MoveCurrentCellTo(row, col, GX_UPDATENOW);
    if (StartEditing()) {
      Grid()->RedrawCell(row, col, GX_UPDATENOW);
      SetSel(at, at + find.GetLength());
    }
  }
  return TRUE;
}

BOOL CGXCurrencyEdit::ReplaceInCell(DWORD_PTR stateArg, DWORD_PTR rowArg, DWORD_PTR colArg) {
  auto* state = reinterpret_cast<CGXFindReplaceState*>(stateArg);
  const auto row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  if (!state || state->m_strFind.IsEmpty()) return FALSE;
  const bool edited = IsBoundToCell(row, col) && m_bEditing;
  Format format(TRUE);
  CString text;
  int from = 0;
  if (edited) {
    text = WindowText();
    format = *m_pFormat;
    if (HasSelection()) from = std::min(m_nSelStart, m_nSelEnd == -1 ? 0 : m_nSelEnd);
  } else {
    text = CellDisplayText(row, col, &format);
  }
  CString find = state->m_strFind, replace = state->m_strReplace;
  const char decimal = format.m_cDecimalSep ? format.m_cDecimalSep : ' ';
  if (find.Find(decimal) >= 0 && replace.Find(decimal) < 0) replace += '.';
  if (!state->m_bCase) text.MakeUpper(), find.MakeUpper();
  // The replaced text grows as it needs to: no fixed buffer to overrun.
  CString result = text.Left(from);
  int count = 0;
  for (int i = from; i < text.GetLength();) {
    if (text.Mid(i, find.GetLength()) == find) {
      result += replace;
      i += find.GetLength();
      ++count;
    } else {
      result += text[i++];
    }
  }
  if (count == 0) return FALSE;
  double amount = 0.0;
  BOOL negative = FALSE;
  if (!format.ParseValue(result, amount, negative)) return FALSE;
  if (!TakesReplacedAmount(result, text, format, state->m_bCase)) {
    RefuseReplacement();
    return FALSE;
  }
  // The plain amount is stored, as Store does, so that it reads back in every format, and only within the cell's
  // maximum length and bounds.
  const CString value = StoredAmount(amount, negative, format.m_nFractionDigits);
  CGXStyle style;
  Grid()->ComposeCellStyle(row, col, style);
  if (!WithinLimits(value, style)) {
    RefuseReplacement();
    return FALSE;
  }
  const BOOL stored = Grid()->SetCellValue(row, col, value);
  if (stored && edited) SetAbsValue(amount, negative, TRUE);
  return stored;
}
