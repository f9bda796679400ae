#include "grid/extras/CGXBCurrencyEdit.h"

#include <algorithm>
#include <cstring>

#include "grid/core/CGXSysColorTable.h"
#include "grid/extras/CGXBCalculator.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/SysColors.h"

IMPLEMENT_DYNAMIC(CGXBCurrencyEdit, CGXBDropEdit)

namespace {

constexpr char kClassName[] = "CGXBCurrencyEdit";
constexpr UINT kIdEditClear = 57632, kIdEditCopy = 57634, kIdEditCut = 57635, kIdEditPaste = 57637,
               kIdEditSelectAll = 57642, kIdEditUndo = 57643;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int CGXBCurrencyEdit::SignificantDigits(const CString& text) {
  int n = 0;
  for (int i = 0; i < text.GetLength(); ++i)
    if (IsDigit(text[i]) && (n > 0 || text[i] != '0')) ++n;
  return n;
}

BOOL GXRegisterCurrencyEditClass(HINSTANCE instance) {
  WNDCLASS wc{};
  if (GetClassInfo(instance, kClassName, &wc)) return TRUE;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProc;
  wc.hInstance = instance;
  wc.hCursor = CGXSysColorTable::GetArrowCursor();
  wc.lpszClassName = kClassName;
  return RegisterClass(&wc) != 0;
}

CGXBCurrencyEdit::CGXBCurrencyEdit() : m_pFormat(new Format(TRUE)) {}

CGXBCurrencyEdit::~CGXBCurrencyEdit() { delete m_pFormat; }

LPCSTR CGXBCurrencyEdit::WindowClassName() const {
  GXRegisterCurrencyEditClass(AfxGetInstanceHandle());
  return kClassName;
}

CString CGXBCurrencyEdit::WindowText() const {
  CString text;
  if (m_hWnd) GetWindowText(text);
  return text;
}

// ---- Value and format

void CGXBCurrencyEdit::SetValue(double value, BOOL redraw) { SetAbsValue(value < 0 ? -value : value, value < 0, redraw); }

void CGXBCurrencyEdit::SetAbsValue(double magnitude, BOOL negative, BOOL redraw) {
  if (magnitude == m_dValue && (negative != FALSE) == (m_bNegative != FALSE)) return;
  m_dValue = magnitude;
  m_bNegative = negative;
  if (!m_hWnd) return;
  CString text;
  m_pFormat->FormatValue(m_dValue, text, m_bNegative);
  SaveUndoState(nullptr, -1);
  SetWindowTextUnformatted(text);
  if (redraw) InvalidateEdit();
}

void CGXBCurrencyEdit::SetFormat(const Format& format) {
  if (!(*m_pFormat != format)) return;
  *m_pFormat = format;
  if (!m_hWnd) return;
  CString text;
  m_pFormat->FormatValue(m_dValue, text, m_bNegative);
  SetWindowTextUnformatted(text);
  InvalidateEdit();
}

void CGXBCurrencyEdit::SetWindowTextUnformatted(const char* text) {
  const BOOL old = m_bParseOnSet;
  m_bParseOnSet = FALSE;
  SetWindowText(text);
  m_bParseOnSet = old;
}

void CGXBCurrencyEdit::InvalidateEdit(BOOL erase) {
  if (m_bRedraw && m_hWnd) Invalidate(erase);
}

LRESULT CGXBCurrencyEdit::OnSetText(LPCSTR text) {
  if (!m_bParseOnSet) {
    const LRESULT result = DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    InvalidateEdit();
    return result;
  }
  double value = 0.0;
  BOOL negative = FALSE;
  if (!m_pFormat->ParseValue(text ? CString(text) : CString(), value, negative)) return FALSE;
  SetAbsValue(value, negative, TRUE);
  return TRUE;
}

// ---- Selection, caret, text geometry

BOOL CGXBCurrencyEdit::SetSel(int start, int end) {
  const int length = WindowText().GetLength();
  if (start == -1 && end == 0) {
    m_nSelStart = -1, m_nSelEnd = 0;
  } else if (start == 0 && end == -1) {
    m_nSelStart = 0, m_nSelEnd = -1;
    SetCaretPosition(length, FALSE);
  } else {
    if (start < 0 || start > length || end < 0 || end > length) return FALSE;
    m_nSelStart = start, m_nSelEnd = end;
    SetCaretPosition(end, FALSE);
  }
  InvalidateEdit(FALSE);
  return TRUE;
}

void CGXBCurrencyEdit::SetTextAlignment(int index) {
  const DWORD add = index == 2 ? ES_RIGHT : index == 1 ? ES_CENTER : ES_LEFT;
  if (m_hWnd) ModifyStyle(ES_LEFT | ES_CENTER | ES_RIGHT, add);
}

int CGXBCurrencyEdit::GetTextAlignment() const {
  const DWORD style = m_hWnd ? GetStyle() : 0;
  return (style & ES_RIGHT) ? 2 : (style & ES_CENTER) ? 1 : 0;
}

void CGXBCurrencyEdit::SetReadOnly(BOOL readOnly) {
  if ((IsReadOnly() != FALSE) == (readOnly != FALSE)) return;
  ModifyStyle(readOnly ? 0 : ES_READONLY, readOnly ? ES_READONLY : 0);
  InvalidateEdit(TRUE);
}

void CGXBCurrencyEdit::BuildReplacedText(const char* insert, CString& result) const {
  const CString text = WindowText();
  if (!HasSelection()) {
    result = text;
    return;
  }
  int lo = m_nSelStart, hi = m_nSelEnd == -1 ? text.GetLength() : m_nSelEnd;
  if (lo > hi) std::swap(lo, hi);
  result = text.Left(lo) + CString(insert ? insert : "") + text.Mid(hi);
}

void CGXBCurrencyEdit::GetSelectedText(CString& result) const {
  result.Empty();
  if (!HasSelection()) return;
  const CString text = WindowText();
  int lo = m_nSelStart, hi = m_nSelEnd == -1 ? text.GetLength() : m_nSelEnd;
  if (lo > hi) std::swap(lo, hi);
  result = text.Mid(lo, hi - lo);
}

HFONT CGXBCurrencyEdit::CurrentFont() const {
  return m_hFont ? m_hFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CGXBCurrencyEdit::GetTextRect(CRect& r) {
  GetClientRect(&r);
  r.left += m_nLeftMarginPx;
  r.right -= m_nRightMarginPx;
  const CString text = WindowText();
  CClientDC dc(this);
  const HGDIOBJ old = dc.SelectObject(static_cast<HGDIOBJ>(CurrentFont()));
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  const int width = dc.GetTextExtent(text).cx;
  dc.SelectObject(old);
  const int border = GetSystemMetrics(SM_CXBORDER);
  const int top = GetSystemMetrics(SM_CYBORDER);
  switch (GetTextAlignment()) {
    case 2: r.left = r.right - border - width; break;
    case 1: r.left = (r.left + r.right) / 2 - width / 2; break;
    default: r.left += border; break;
  }
  r.right = r.left + width;
  r.top = top;
  r.bottom = top + tm.tmHeight;
}

void CGXBCurrencyEdit::SetCaretPosition(int pos, BOOL select) {
  const bool extending = GetKeyState(VK_SHIFT) < 0 || m_bMouseSelecting;
  const CString text = WindowText();
  if (pos < 0 || pos > text.GetLength()) {
    if (select && !extending && HasSelection()) {
      m_nSelStart = -1, m_nSelEnd = 0;
      InvalidateEdit();
    }
    return;
  }
  if (select) {
    if (!HasSelection()) {
      if (extending && pos != m_nCaret) m_nSelStart = m_nCaret, m_nSelEnd = pos;
    } else if (extending) {
      m_nSelEnd = pos;
    } else {
      m_nSelStart = -1, m_nSelEnd = 0;
    }
    InvalidateEdit();
  }
  if (m_hWnd) {
    CRect r;
    GetTextRect(r);
    CClientDC dc(this);
    const HGDIOBJ old = dc.SelectObject(static_cast<HGDIOBJ>(CurrentFont()));
    const int x = r.left + (pos > 0 ? dc.GetTextExtent(text, pos).cx : 0);
    dc.SelectObject(old);
    SetCaretPos(x, r.top);
  }
  m_nCaret = pos;
}

int CGXBCurrencyEdit::CharFromPoint(CPoint pt) {
  CRect r;
  GetTextRect(r);
  const CString text = WindowText();
  CClientDC dc(this);
  const HGDIOBJ old = dc.SelectObject(static_cast<HGDIOBJ>(CurrentFont()));
  int left = r.left, result = text.GetLength();
  for (int i = 0; i < text.GetLength(); ++i) {
    const int w = dc.GetTextExtent(text.GetString() + i, 1).cx;
    if (left + w / 2 > pt.x) {
      result = i;
      break;
    }
    left += w;
  }
  dc.SelectObject(old);
  return result;
}

BOOL CGXBCurrencyEdit::IsNumberSelected(BOOL* more) const {
  if (more) *more = FALSE;
  if (!HasSelection()) return FALSE;
  if (m_nSelStart == 0 && m_nSelEnd == -1) {
    if (more) *more = TRUE;
    return TRUE;
  }
  int start = 0, end = 0;
  if (!m_pFormat->FindNumber(WindowText(), start, end)) return FALSE;
  const int lo = std::min(m_nSelStart, m_nSelEnd), hi = std::max(m_nSelStart, m_nSelEnd);
  if (more) *more = lo < start || hi - 1 > end;
  return lo <= start && hi >= end;
}

// ---- Digit helpers

int CGXBCurrencyEdit::CountDigits(const char* text) {
  int n = 0;
  for (; text && *text; ++text) n += IsDigit(*text);
  return n;
}

int CGXBCurrencyEdit::FindNthDigit(const char* text, int n) {
  if (!text) return -1;
  for (int i = 0; text[i]; ++i)
    if (IsDigit(text[i]) && n-- == 0) return i;
  return -1;
}

int CGXBCurrencyEdit::CountDigitsBefore(const char* text, int pos) {
  int n = 0;
  for (int i = 0; text && i < pos && text[i]; ++i) n += IsDigit(text[i]);
  return n;
}

int CGXBCurrencyEdit::LastDigitOrdinalBefore(const char* text, int pos) {
  return pos > 1 ? CountDigitsBefore(text, pos) - 1 : 0;
}

BOOL CGXBCurrencyEdit::IsAllDigits(const char* text) {
  for (; text && *text; ++text)
    if (!IsDigit(*text)) return FALSE;
  return TRUE;
}

int CGXBCurrencyEdit::StripNonDigits(CString& text) {
  CString digits;
  for (int i = 0; i < text.GetLength(); ++i)
    if (IsDigit(text[i])) digits += text[i];
  const int removed = text.GetLength() - digits.GetLength();
  text = digits;
  return removed;
}

// ---- Colours and painting

COLORREF CGXBCurrencyEdit::GetEditBackgroundColor() const {
  if (m_hWnd && !IsWindowEnabled()) return ::GetSysColor(COLOR_BTNFACE);
  COLORREF c = 0;
  if (m_pFormat->GetBackgroundColor(c)) return c;
  return ::GetSysColor(IsReadOnly() ? COLOR_BTNFACE : COLOR_WINDOW);
}

COLORREF CGXBCurrencyEdit::GetEditTextColor() const {
  if (m_hWnd && !IsWindowEnabled()) return ::GetSysColor(GetExStyle() ? COLOR_BTNSHADOW : COLOR_GRAYTEXT);
  double value = 0.0;
  GetValue(value);
  COLORREF c = 0;
  if (value < 0 ? m_pFormat->GetNegativeColor(c) : m_pFormat->GetPositiveColor(c)) return c;
  return ::GetSysColor(COLOR_WINDOWTEXT);
}

void CGXBCurrencyEdit::DrawBackground(CDC* dc) {
  CRect r;
  GetClientRect(&r);
  r.InflateRect(1, 1);
  CBrush brush(GetEditBackgroundColor());
  CBrush* old = dc->SelectObject(&brush);
  dc->Rectangle(&r);
  dc->SelectObject(old);
}

void CGXBCurrencyEdit::DrawDecimalLine(CDC* dc, int x) {
  CRect r;
  GetClientRect(&r);
  CPen pen(PS_SOLID, 0, IsReadOnly() ? ::GetSysColor(COLOR_BTNSHADOW) : m_pFormat->m_crDecimalLine);
  CPen* old = dc->SelectObject(&pen);
  dc->MoveTo(x, r.top);
  dc->LineTo(x, r.bottom + 1);
  dc->SelectObject(old);
}

void CGXBCurrencyEdit::DrawContents(CDC* dc) {
  DrawBackground(dc);
  const HGDIOBJ oldFont = dc->SelectObject(static_cast<HGDIOBJ>(CurrentFont()));
  dc->SetTextColor(GetEditTextColor());
  dc->SetBkMode(TRANSPARENT);
  CRect r;
  GetTextRect(r);
  CString text = WindowText();
  int lineX = -1;
  if (m_pFormat->m_bDecimalLine) {
    const int sep = m_pFormat->FindDecimalSeparator(text);
    if (sep >= 0) {
      text.SetAt(sep, ' ');
      lineX = r.left + dc->GetTextExtent(text, sep).cx + dc->GetTextExtent(" ", 1).cx / 2;
    }
  }
  if (!HasSelection()) {
    dc->DrawText(text, &r, DT_SINGLELINE | DT_NOPREFIX);
  } else {
    int lo = m_nSelStart, hi = m_nSelEnd == -1 ? text.GetLength() : m_nSelEnd;
    if (lo > hi) std::swap(lo, hi);
    dc->DrawText(text.Left(lo), &r, DT_SINGLELINE | DT_NOPREFIX);
    dc->DrawText(text.Mid(hi), &r, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    CRect selected = r;
    selected.left = r.left + (lo > 0 ? dc->GetTextExtent(text, lo).cx : 0);
    selected.right = r.left + dc->GetTextExtent(text, hi).cx;
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(::GetSysColor(COLOR_HIGHLIGHT));
    dc->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    dc->DrawText(text.Mid(lo, hi - lo), &selected, DT_SINGLELINE | DT_NOPREFIX);
  }
  if (lineX >= 0) DrawDecimalLine(dc, lineX);
  dc->SelectObject(oldFont);
}

void CGXBCurrencyEdit::OnPaint() {
  CPaintDC paint(this);
  if (!m_bRedraw) return;
  CRect client;
  GetClientRect(&client);
  CDC memory;
  CBitmap bitmap;
  if (!memory.CreateCompatibleDC(&paint) || !bitmap.CreateCompatibleBitmap(&paint, client.Width(), client.Height())) {
    DrawContents(&paint);
    return;
  }
  CBitmap* old = memory.SelectObject(&bitmap);
  DrawContents(&memory);
  paint.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}

// ---- Editing

void CGXBCurrencyEdit::SaveUndoState(const char* text, int caret) {
  m_strUndoText = text ? CString(text) : WindowText();
  m_nUndoCaret = caret == -1 ? m_nCaret : caret;
  if (HasSelection())
    m_nUndoSelStart = m_nSelStart, m_nUndoSelEnd = m_nSelEnd;
  else
    m_nUndoSelStart = -1, m_nUndoSelEnd = 0;
  m_bCanUndo = TRUE;
}

void CGXBCurrencyEdit::NotifyParent(UINT code) {
  if (CWnd* parent = ParentWnd())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGXBCurrencyEdit::SetCandidate(const CString& text) {
  SendMessage(WM_SETREDRAW, FALSE);
  SetWindowText(text);
  SendMessage(WM_SETREDRAW, TRUE);
}

void CGXBCurrencyEdit::MoveCaretIntoNumber() {
  const CString text = WindowText();
  int start = 0, end = 0;
  if (!m_pFormat->FindNumber(text, start, end)) return;
  if (m_nCaret >= start && m_nCaret <= end + 1) return;
  const int sep = m_pFormat->FindDecimalSeparator(text);
  m_nCaret = sep >= 0 ? (m_pFormat->m_nIntegerDigits == 0 ? sep + 1 : sep) : end + 1;
}

void CGXBCurrencyEdit::AfterEdit(const CString& oldText, int oldCaret, BOOL hadSelection) {
  const bool changed = WindowText() != oldText;
  if (changed) {
    SaveUndoState(oldText, oldCaret);
    NotifyParent(EN_UPDATE);
  }
  if (hadSelection) {
    m_nSelStart = -1, m_nSelEnd = 0;
    InvalidateEdit();
  }
  if (changed) {
    InvalidateEdit();
    NotifyParent(EN_CHANGE);
  }
}

void CGXBCurrencyEdit::DoInsert(const char* insert) {
  if (IsReadOnly() || !insert) return;
  const CString oldText = WindowText();
  const int oldCaret = m_nCaret;
  const BOOL hadSelection = HasSelection();
  const BOOL wholeNumber = hadSelection && IsNumberSelected();
  MoveCaretIntoNumber();
  int caret = m_nCaret;
  int start = 0, end = -1;
  m_pFormat->FindNumber(oldText, start, end);
  const int sep = m_pFormat->FindDecimalSeparator(oldText);
  const int length = oldText.GetLength();
  const bool afterNumber = caret > end;
  const int typed = static_cast<int>(std::strlen(insert));
  if (m_bOverwrite && !hadSelection && (sep >= 0 ? caret <= sep : caret < length) && caret < length) {
    const char c = oldText[caret];
    if ((c == m_pFormat->m_cDecimalSep && sep >= 0) || (m_pFormat->m_cThousandSep && c == m_pFormat->m_cThousandSep))
      ++caret;
  }
  const bool integerPart = sep < 0 || caret <= sep;
  CString candidate;
  if (hadSelection) {
    BuildReplacedText(insert, candidate);
  } else if (integerPart) {
    if (!m_bOverwrite || (sep < 0 && caret >= length) || caret >= length || typed == 0) {
      candidate = oldText.Left(caret) + insert + oldText.Mid(caret);
    } else {
      candidate = oldText;
      candidate.SetAt(caret, insert[0]);
      ++caret;
    }
  } else if (!afterNumber) {
    candidate = (oldText.Left(caret) + insert + oldText.Mid(caret + typed)).Left(length);
  } else if (m_bAppendMode) {
    const int fraction = end - sep;
    CString digits = typed <= fraction ? oldText.Mid(sep + 1 + typed, fraction - typed) + insert
                                       : CString(insert).Right(fraction);
    candidate = oldText.Left(sep + 1) + digits + oldText.Mid(sep + 1 + fraction);
  } else {
    candidate = oldText;
  }
  // A digit that would make the amount one a double does not hold exactly is refused, as a typed character
  // the amount cannot take: what is shown and stored is what was typed.
  if (SignificantDigits(candidate) > kExactDigits && SignificantDigits(candidate) > SignificantDigits(oldText)) {
    MessageBeep(0xFFFFFFFF);
    return;
  }
  SetCandidate(candidate);
  const CString newText = WindowText();
  const int delta = newText.GetLength() - length;
  if (!hadSelection) {
    caret = integerPart ? caret + delta : std::min(caret + typed, newText.GetLength());
  } else if (wholeNumber) {
    const int newSep = m_pFormat->FindDecimalSeparator(newText);
    caret = newSep >= 0 ? (m_pFormat->m_nIntegerDigits == 0 ? newSep + 1 : newSep) : newText.GetLength();
  } else {
    caret = std::max(oldCaret, std::min(m_nSelStart, m_nSelEnd == -1 ? length : m_nSelEnd)) + delta;
  }
  int newStart = 0, newEnd = -1;
  if (m_pFormat->FindNumber(newText, newStart, newEnd)) caret = std::min(caret, newEnd + 1);
  caret = std::clamp(caret, 0, newText.GetLength());
  SetCaretPosition(caret, FALSE);
  AfterEdit(oldText, oldCaret, hadSelection);
}

void CGXBCurrencyEdit::DoDelete() {
  if (IsReadOnly()) return;
  const CString oldText = WindowText();
  const int oldCaret = m_nCaret;
  const BOOL hadSelection = HasSelection();
  if (!hadSelection && m_nCaret >= oldText.GetLength()) return;
  int caret = m_nCaret, target = -1;
  CString candidate;
  if (!hadSelection) {
    if (caret < oldText.GetLength() && !IsDigit(oldText[caret])) {
      caret = FindNthDigit(oldText, CountDigitsBefore(oldText, caret));
      if (caret < 0) return;
    }
    const int sep = m_pFormat->FindDecimalSeparator(oldText);
    candidate = oldText;
    if (sep < 0 || caret <= sep) {
      candidate.Delete(caret);
    } else {
      candidate.SetAt(caret, '0');
      target = caret + 1;
    }
  } else {
    BuildReplacedText(nullptr, candidate);
    caret = std::min(caret, std::min(m_nSelStart, m_nSelEnd == -1 ? oldText.GetLength() : m_nSelEnd));
  }
  if (CountDigits(candidate) == 0) candidate += '0';
  SetCandidate(candidate);
  const CString newText = WindowText();
  int newCaret;
  if (m_dValue == 0.0) {
    const int sep = m_pFormat->FindDecimalSeparator(newText);
    int start = 0, end = -1;
    m_pFormat->FindNumber(newText, start, end);
    newCaret = sep >= 0 ? sep : end + 1;
  } else if (target >= 0) {
    newCaret = target;
  } else {
    newCaret = FindNthDigit(newText, CountDigitsBefore(oldText, caret));
    if (newCaret < 0) newCaret = newText.GetLength();
  }
  SetCaretPosition(std::clamp(newCaret, 0, newText.GetLength()), FALSE);
  AfterEdit(oldText, oldCaret, hadSelection);
}

void CGXBCurrencyEdit::DoBackspace() {
  if (IsReadOnly()) return;
  if (HasSelection()) {
    DoDelete();
    return;
  }
  const CString oldText = WindowText();
  const int oldCaret = m_nCaret;
  int start = 0, end = -1;
  if (!m_pFormat->FindNumber(oldText, start, end) || m_nCaret <= start) return;
  const int ordinal = LastDigitOrdinalBefore(oldText, m_nCaret);
  const int digit = FindNthDigit(oldText, ordinal);
  if (digit < 0) return;
  const int sep = m_pFormat->FindDecimalSeparator(oldText);
  CString candidate = oldText;
  const bool integerPart = sep < 0 || digit < sep;
  int target = digit + 1;
  if (integerPart) {
    candidate.Delete(digit);
  } else {
    candidate.SetAt(digit, '0');
    target = digit;
  }
  if (CountDigits(candidate) == 0) candidate += '0';
  SetCandidate(candidate);
  const CString newText = WindowText();
  if (m_dValue == 0.0) {
    const int newSep = m_pFormat->FindDecimalSeparator(newText);
    int s = 0, e = -1;
    m_pFormat->FindNumber(newText, s, e);
    target = newSep >= 0 ? (m_pFormat->m_nIntegerDigits == 0 ? newSep + 1 : newSep) : e + 1;
  } else if (integerPart && m_pFormat->m_nIntegerDigits == -1) {
    // Behind the digit before the removed one, found by its ordinal (grouping may have moved it).
    target = ordinal > 0 ? FindNthDigit(newText, ordinal - 1) + 1 : FindNthDigit(newText, 0);
    if (target < 0) target = newText.GetLength();
  }
  SetCaretPosition(std::clamp(target, 0, newText.GetLength()), FALSE);
  AfterEdit(oldText, oldCaret, FALSE);
}

void CGXBCurrencyEdit::ToggleSign() {
  if (IsReadOnly()) return;
  const CString oldText = WindowText();
  BOOL more = FALSE;
  const BOOL whole = IsNumberSelected(&more) && more;
  const BOOL negative = whole ? TRUE : !m_bNegative;
  int start = 0, oldEnd = -1;
  m_pFormat->FindNumber(oldText, start, oldEnd);
  CString text;
  m_pFormat->FormatValue(m_dValue, text, negative);
  SaveUndoState(nullptr, -1);
  m_bNegative = negative;
  SetWindowTextUnformatted(text);
  int newStart = 0, newEnd = -1;
  m_pFormat->FindNumber(text, newStart, newEnd);
  if (whole) {
    SetSel(newStart, newEnd + 1);
  } else {
    if (HasSelection()) m_nSelStart = -1, m_nSelEnd = 0;
    SetCaretPosition(std::clamp(m_nCaret + newEnd - oldEnd, 0, text.GetLength()), FALSE);
  }
  InvalidateEdit();
  // The sign is part of the value: the parent hears of the change as of any other edit.
  if (text != oldText) {
    NotifyParent(EN_UPDATE);
    NotifyParent(EN_CHANGE);
  }
}

void CGXBCurrencyEdit::OnEditUndo() {
  if (IsReadOnly() || !m_bCanUndo) return;
  const CString oldText = WindowText();
  const CString text = m_strUndoText;
  const int caret = m_nUndoCaret, selStart = m_nUndoSelStart, selEnd = m_nUndoSelEnd;
  SaveUndoState(nullptr, -1);
  SetWindowText(text);
  // The parse recorded the state it replaced; the record is the one taken before it.
  SetSel(selStart, selEnd);
  if (::GetFocus() == m_hWnd) SetCaretPosition(caret, FALSE);
  if (WindowText() != oldText) {
    NotifyParent(EN_UPDATE);
    NotifyParent(EN_CHANGE);
  }
}

void CGXBCurrencyEdit::OnEditCopy() {
  if (!HasSelection()) return;
  CString text;
  GetSelectedText(text);
  SetClipboardText(text);
}

void CGXBCurrencyEdit::OnEditCut() {
  if (IsReadOnly() || !HasSelection()) return;
  CString text;
  GetSelectedText(text);
  // The selection goes only once it is safe on the clipboard.
  if (SetClipboardText(text)) DoDelete();
}

void CGXBCurrencyEdit::OnEditPaste() {
  if (IsReadOnly()) return;
  CString text;
  if (GetClipboardText(text) && PreparePasteText(text)) DoInsert(text);
}

BOOL CGXBCurrencyEdit::PreparePasteText(CString& text) {
  if (!IsNumberSelected()) StripNonDigits(text);
  return TRUE;
}

void CGXBCurrencyEdit::OnEditClear() {
  if (IsReadOnly()) return;
  const CString oldText = WindowText();
  if (HasSelection()) {
    CString text;
    BuildReplacedText(nullptr, text);
    if (CountDigits(text) == 0) text += '0';
    SetWindowText(text);
    m_nSelStart = -1, m_nSelEnd = 0;
    InvalidateEdit();
  } else {
    SetValue(0.0, TRUE);
  }
  if (::GetFocus() == m_hWnd) SetCaretPosition(0, FALSE);
  if (WindowText() != oldText) {
    NotifyParent(EN_UPDATE);
    NotifyParent(EN_CHANGE);
  }
}

BOOL CGXBCurrencyEdit::GetClipboardText(CString& text) {
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr)) return FALSE;
  BOOL ok = FALSE;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      text = CString(p, static_cast<int>(strnlen(p, GlobalSize(data))));
      GlobalUnlock(data);
      ok = TRUE;
    }
  }
  CloseClipboard();
  return ok;
}

BOOL CGXBCurrencyEdit::SetClipboardText(const char* text) {
  if (!text || !*text) return FALSE;
  const size_t size = std::strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  if (!memory) return FALSE;
  if (char* p = static_cast<char*>(GlobalLock(memory))) {
    std::memcpy(p, text, size);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return FALSE;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  if (!taken) GlobalFree(memory);
  return taken;
}

CMenu* CGXBCurrencyEdit::CreateContextMenu() {
  auto* menu = new CMenu;
  menu->CreatePopupMenu();
  const CString text = WindowText();
  const bool readOnly = IsReadOnly(), empty = text.IsEmpty(), selection = HasSelection();
  bool pasteable = false;
  CString clip;
  if (!readOnly && GetClipboardText(clip)) {
    double value = 0.0;
    BOOL negative = FALSE;
    pasteable = m_pFormat->ParseValue(clip, value, negative) != FALSE;
  }
  const auto grey = [](bool g) { return static_cast<UINT>(MF_STRING | (g ? MF_GRAYED : 0)); };
  menu->AppendMenu(grey(!m_bCanUndo || readOnly), kIdEditUndo, "&Undo\tCtrl+Z");
  menu->AppendMenu(MF_SEPARATOR);
  menu->AppendMenu(grey(empty || !selection || readOnly), kIdEditCut, "Cu&t\tCtrl+X");
  menu->AppendMenu(grey(empty || !selection), kIdEditCopy, "&Copy\tCtrl+C");
  menu->AppendMenu(grey(!pasteable), kIdEditPaste, "&Paste\tCtrl+V");
  menu->AppendMenu(grey(empty || !selection || readOnly), kIdEditClear, "&Delete\tDelete");
  menu->AppendMenu(MF_SEPARATOR);
  menu->AppendMenu(grey(empty), kIdEditSelectAll, "Select &All");
  return menu;
}

void CGXBCurrencyEdit::DestroyContextMenu(CMenu* menu) { delete menu; }

void CGXBCurrencyEdit::OnRButtonUp(CPoint pt) {
  ClientToScreen(&pt);
  CMenu* menu = CreateContextMenu();
  menu->TrackPopupMenu(0, pt.x, pt.y, this);
  DestroyContextMenu(menu);
}

void CGXBCurrencyEdit::CreateEditCaret(int pos) {
  CClientDC dc(this);
  const HGDIOBJ old = dc.SelectObject(static_cast<HGDIOBJ>(CurrentFont()));
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  dc.SelectObject(old);
  CreateCaret(m_hWnd, nullptr, GetSystemMetrics(SM_CXBORDER), tm.tmHeight);
  if (pos >= 0) SetCaretPosition(pos, FALSE);
  ShowCaret(m_hWnd);
}

void CGXBCurrencyEdit::ReleaseEditCaret() {
  SetSel(-1, 0);
  DestroyCaret();
}

BOOL CGXBCurrencyEdit::ShowCalculator() {
  gx::SetPopupActive(TRUE);
  CRect r;
  GetWindowRect(&r);
  auto* popup = new CGXBPopupCalculator;
  popup->SetValue(m_dValue);
  popup->m_bAutoDelete = TRUE;
  const BOOL created = popup->Create(WS_POPUP | WS_VISIBLE | CGXBCalculator::kStylePopup, r, this, 0);
  if (created) {
    popup->SetOwner(this);
    double value = 0.0;
    GetValue(value);
    popup->SetValue(value);
  } else {
    delete popup;
  }
  gx::SetPopupActive(FALSE);
  return created;
}

// ---- Keys and characters

void CGXBCurrencyEdit::OnChar(UINT ch) {
  const char c = static_cast<char>(ch);
  const char decimal = m_pFormat->m_cDecimalSep ? m_pFormat->m_cDecimalSep : ' ';
  if (c == decimal && m_pFormat->m_cDecimalSep) {
    if (HasSelection()) {
      m_nSelStart = -1, m_nSelEnd = 0;
      InvalidateEdit();
    }
    const CString text = WindowText();
    const int sep = m_pFormat->FindDecimalSeparator(text);
    int start = 0, end = -1;
    m_pFormat->FindNumber(text, start, end);
    SetCaretPosition(sep >= 0 ? sep + 1 : end + 1, FALSE);
  } else if (c == '-') {
    ToggleSign();
  } else if (c >= '0' && c <= '9') {
    const char text[2] = {c, '\0'};
    DoInsert(text);
  }
}

void CGXBCurrencyEdit::OnKeyDown(UINT key) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_DELETE:
      if (shift)
        PostMessage(WM_CUT);
      else
        DoDelete();
      break;
    case VK_BACK: DoBackspace(); break;
    case VK_HOME: SetCaretPosition(0, TRUE); break;
    case VK_END: SetCaretPosition(WindowText().GetLength(), TRUE); break;
    case VK_LEFT: SetCaretPosition(m_nCaret - 1, TRUE); break;
    case VK_RIGHT: SetCaretPosition(m_nCaret + 1, TRUE); break;
    case VK_INSERT:
      if (ctrl)
        PostMessage(WM_COPY);
      else if (shift)
        PostMessage(WM_PASTE);
      else
        ToggleInsertMode();
      break;
    case 'C':
      if (ctrl) PostMessage(WM_COPY);
      break;
    case 'V':
      if (ctrl) PostMessage(WM_PASTE);
      break;
    case 'X':
      if (ctrl) PostMessage(WM_CUT);
      break;
    case 'Z':
      if (ctrl) PostMessage(WM_UNDO);
      break;
    case VK_F2:
      if (HasButtonBitmap()) ShowCalculator();
      break;
    default: break;
  }
}

LRESULT CGXBCurrencyEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const LRESULT result = CGXBDropEdit::WindowProc(message, wParam, lParam);
      CString text;
      m_pFormat->FormatValue(m_dValue, text, m_bNegative);
      SetWindowTextUnformatted(text);
      return result;
    }
    case WM_PAINT: OnPaint(); return 0;
    case WM_SETREDRAW:
      m_bRedraw = wParam != 0;
      return 0;
    case WM_SETFOCUS:
      DefWindowProc(message, wParam, lParam);
      CreateEditCaret(-1);
      SetSel(0, -1);
      NotifyParent(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      DefWindowProc(message, wParam, lParam);
      ReleaseEditCaret();
      NotifyParent(EN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam)); break;
    case WM_CHAR:
      OnChar(static_cast<UINT>(wParam));
      return DefWindowProc(message, wParam, lParam);
    case WM_LBUTTONDOWN: {
      const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      SendMessage(WM_SETREDRAW, FALSE);
      SetFocus();
      SendMessage(WM_SETREDRAW, TRUE);
      m_nSelStart = -1, m_nSelEnd = 0;
      InvalidateEdit();
      SetCaretPosition(CharFromPoint(pt), FALSE);
      m_bMouseSelecting = TRUE;
      SetCapture();
      return DefWindowProc(message, wParam, lParam);
    }
    case WM_MOUSEMOVE:
      if (m_bMouseSelecting) SetCaretPosition(CharFromPoint(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))), TRUE);
      break;
    case WM_LBUTTONUP:
      if (m_bMouseSelecting) {
        m_bMouseSelecting = FALSE;
        ReleaseCapture();
        if (!HasSelection()) {
          int start = 0, end = -1;
          if (m_pFormat->FindNumber(WindowText(), start, end) && (m_nCaret < start || m_nCaret > end)) SetSel(0, -1);
        }
      }
      break;
    case WM_LBUTTONDBLCLK:
      SetSel(0, -1);
      return DefWindowProc(message, wParam, lParam);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_SETFONT:
      m_hFont = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateEdit(TRUE);
      return 0;
    case WM_SETTEXT: return OnSetText(reinterpret_cast<LPCSTR>(lParam));
    case GX_WM_CALCULATOR_RESULT: {
      // The calculator shows the locale's decimal separator; the amount is read with this format's.
      CString text(reinterpret_cast<LPCSTR>(lParam));
      const CString separator = CGXBCalculator().GetDecimalSeparator();
      const int at = separator.IsEmpty() ? -1 : text.Find(separator[0]);
      if (at >= 0) text.SetAt(at, m_pFormat->m_cDecimalSep ? m_pFormat->m_cDecimalSep : ' ');
      if (IsReadOnly()) return TRUE;
      const CString oldText = WindowText();
      const LRESULT parsed = OnSetText(text);
      if (parsed && WindowText() != oldText) {
        NotifyParent(EN_UPDATE);
        NotifyParent(EN_CHANGE);
      }
      return parsed;
    }
    case EM_GETSEL: {
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(m_nSelStart);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(m_nSelEnd);
      if (static_cast<unsigned>(m_nSelStart) >= 65535u || static_cast<unsigned>(m_nSelEnd) >= 65535u) return -1;
      return MAKELONG(m_nSelStart, m_nSelEnd);
    }
    case EM_SETSEL: SetSel(static_cast<int>(wParam), static_cast<int>(lParam)); return 0;
    case EM_CANUNDO: return m_bCanUndo;
    case EM_EMPTYUNDOBUFFER: m_bCanUndo = FALSE; return 0;
    case EM_UNDO:
    case WM_UNDO: OnEditUndo(); return 0;
    case WM_CUT: OnEditCut(); return 0;
    case WM_COPY: OnEditCopy(); return 0;
    case WM_PASTE: OnEditPaste(); return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kIdEditUndo: OnEditUndo(); return 0;
        case kIdEditCut: OnEditCut(); return 0;
        case kIdEditCopy: OnEditCopy(); return 0;
        case kIdEditPaste: OnEditPaste(); return 0;
        case kIdEditClear: OnEditClear(); return 0;
        case kIdEditSelectAll: OnEditSelectAll(); return 0;
        default: break;
      }
      break;
    case EM_SETREADONLY:
      if ((wParam != 0) != (IsReadOnly() != FALSE)) SetReadOnly(wParam != 0);
      return TRUE;
    case EM_SETMARGINS:
      // EC_USEFONTINFO sets both bits too: it is tested first.
      if (wParam == EC_USEFONTINFO) {
        CClientDC dc(this);
        const HGDIOBJ old = dc.SelectObject(static_cast<HGDIOBJ>(CurrentFont()));
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(old);
        m_nLeftMarginPx = m_nRightMarginPx = tm.tmAveCharWidth;
      } else {
        if (wParam & EC_LEFTMARGIN) m_nLeftMarginPx = LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN) m_nRightMarginPx = HIWORD(lParam);
      }
      return 0;
    case WM_RBUTTONUP:
      OnRButtonUp(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return DefWindowProc(message, wParam, lParam);
    case WM_SYSKEYDOWN:
      if (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
        CRect client;
        GetClientRect(&client);
        PostMessage(WM_RBUTTONUP, 0, MAKELPARAM(client.Width() / 2, client.Height() / 2));
      } else if (wParam == VK_BACK) {
        PostMessage(WM_UNDO);
      }
      break;
    default: break;
  }
  return CGXBDropEdit::WindowProc(message, wParam, lParam);
}
