#include "grid/extras/CGXBCalculator.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/VisualStyles.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/GXExtras.h"
#include "grid/extras/GXThemeOwner.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/MulDiv.h"
#include "platform/base/StringApi.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CRgn.h"

IMPLEMENT_DYNAMIC(CGXBCalculator, CWnd)
IMPLEMENT_DYNAMIC(CGXBPopupCalculator, CGXBCalculator)

namespace {

bool ThemedFor(CDC* dc, HWND* owner) {
  *owner = gx::ThemedOwner(*dc);
  return *owner && CWnd::FromHandlePermanent(*owner);
}

char RuntimeDecimalPoint() {
  const std::lconv* conv = std::localeconv();
  return conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
}

// Integer and fraction digits of a display text (a leading minus not counted).
void CountDigits(const CString& text, const CString& separator, int& integer, int& fraction) {
  CString t = text;
  if (!t.IsEmpty() && t[0] == '-') t = t.Mid(1);
  const int sep = separator.IsEmpty() ? -1 : t.Find(separator);
  integer = sep >= 0 ? sep : t.GetLength();
  fraction = sep >= 0 ? t.GetLength() - sep - separator.GetLength() : 0;
}

}  // namespace

// ---- Keys

void CGXBCalcBtn::Initialize(HFONT font, HBITMAP* bitmap, COLORREF color, UINT command, LPCSTR text, LPCSTR keys,
                             int width, BOOL newRow) {
  m_hFont = font;
  m_pBitmap = bitmap;
  m_crText = color;
  m_nCommand = command;
  m_strText = text;
  m_strKeys = keys;
  m_strKeys.MakeLower();
  m_nWidth = width;
  if (newRow) m_nFlags |= kNewRow;
}

void CGXBCalcBtn::Initialize(HFONT font, HBITMAP* bitmap, COLORREF color, UINT command, LPCSTR text, char key,
                             int width, BOOL newRow) {
  const char keys[2] = {key, '\0'};
  Initialize(font, bitmap, color, command, text, keys, width, newRow);
}

void CGXBCalcBtn::Draw(CDC* dc) {
  CRect r = m_rect;
  const COLORREF face = CGXSysColorTable::GetColor(COLOR_BTNFACE);
  const COLORREF shadow = CGXSysColorTable::GetColor(COLOR_BTNSHADOW);
  const COLORREF highlight = CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT);
  const COLORREF frame = CGXSysColorTable::GetColor(COLOR_WINDOWFRAME);
  HWND owner = nullptr;
  bool themed = false;
  if (ThemedFor(dc, &owner)) {
    if (HTHEME theme = SafeOpenThemeData(owner, u"Button")) {
      const int state = (m_nFlags & kPressed) ? 3 : (m_nFlags & kHot) ? 2 : 1;
      SafeDrawThemeBackground(theme, dc->GetSafeHdc(), 1, state, &r, nullptr);
      SafeCloseThemeData(theme);
      themed = true;
    }
  }
  if (!themed) {
    dc->Draw3dRect(&r, shadow, highlight);
    r.DeflateRect(1, 1);
    dc->Draw3dRect(&r, frame, frame);
    r.DeflateRect(1, 1);
    if (m_nFlags & kPressed) {
      dc->Draw3dRect(&r, shadow, shadow);
      r.DeflateRect(1, 1);
      dc->FillSolidRect(&r, face);
      r.DeflateRect(1, 1);
      r.OffsetRect(2, 2);
    } else {
      dc->Draw3dRect(&r, highlight, shadow);
      r.DeflateRect(1, 1);
      dc->Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_3DLIGHT), shadow);
      r.DeflateRect(1, 1);
      dc->FillSolidRect(&r, face);
    }
  }
  if (HBITMAP bitmap = GetBitmap()) {
    BITMAP bm{};
    ::GetObject(bitmap, sizeof bm, &bm);
    const int x = m_strText.IsEmpty() ? r.left + (r.Width() - bm.bmWidth) / 2 : r.left + 5;
    int y = r.top + (r.Height() - bm.bmHeight) / 2;
    if (y < r.top) y = r.top;
    CDC memory;
    if (memory.CreateCompatibleDC(dc)) {
      const HGDIOBJ old = memory.SelectObject(static_cast<HGDIOBJ>(bitmap));
      const int w = std::min<int>(bm.bmWidth, r.right - x), h = std::min<int>(bm.bmHeight, r.bottom - y);
      if (w > 0 && h > 0) dc->BitBlt(x, y, w, h, &memory, 0, 0, SRCCOPY);
      memory.SelectObject(old);
    }
    if (!m_strText.IsEmpty()) r.left = x + bm.bmWidth;
  }
  const HGDIOBJ oldFont = m_hFont ? dc->SelectObject(static_cast<HGDIOBJ>(m_hFont)) : nullptr;
  const COLORREF oldText = dc->SetTextColor(m_crText);
  const COLORREF oldBk = dc->SetBkColor(face);
  const int oldMode = dc->SetBkMode(themed ? TRANSPARENT : OPAQUE);
  dc->DrawText(m_strText, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
  dc->SetBkMode(oldMode);
  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
  if (oldFont) dc->SelectObject(oldFont);
}

// ---- The calculator

CGXBCalculator::CGXBCalculator() = default;

CGXBCalculator::~CGXBCalculator() {
  for (INT_PTR i = 0; i < m_buttons.GetSize(); ++i) delete m_buttons.GetAt(i);
  m_buttons.RemoveAll();
}

CString CGXBCalculator::GetDecimalSeparator() {
  char buffer[2] = {'.', '\0'};
  if (GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 2) <= 0) buffer[0] = '.', buffer[1] = '\0';
  return CString(buffer);
}

void CGXBCalculator::SetValue(double value) {
  Reset();
  m_dValue = value;
  if (!m_hWnd) m_nState |= kValueSet;
  UpdateDisplayText();
}

void CGXBCalculator::Reset() {
  if (!((m_nState & kValueSet) && !m_hWnd)) {
    m_dValue = 0.0;
    m_strDisplay.Empty();
  }
  m_nState &= ~kError;
  m_nPendingOp = 0;
  m_bNewEntry = TRUE;
  InvalidateDisplay();
}

void CGXBCalculator::InvalidateDisplay(BOOL erase) {
  if (m_hWnd) InvalidateRect(&m_rcDisplay, erase);
}

void CGXBCalculator::InvalidateButton(int index, BOOL erase) {
  if (m_hWnd && index >= 0 && index < GetButtonCount()) InvalidateRect(&GetButton(index)->GetRect(), erase);
}

int CGXBCalculator::HitTestButton(int x, int y) const {
  for (int i = 0; i < GetButtonCount(); ++i)
    if (GetButton(i)->GetRect().PtInRect(CPoint(x, y))) return i;
  return -1;
}

void CGXBCalculator::PressButton(int index) {
  CGXBCalcBtn* button = GetButton(index);
  button->m_nFlags |= CGXBCalcBtn::kPressed;
  InvalidateButton(index);
  if (m_hWnd) UpdateWindow();
  HandleCommand(button->m_nCommand);
  button->m_nFlags &= ~CGXBCalcBtn::kPressed;
  InvalidateButton(index);
  if (m_hWnd) UpdateWindow();
}

CSize CGXBCalculator::DialogUnitsToPixels(int cx, int cy, CFont* font) {
  int width = 0, height = 0;
  if (font && font->GetSafeHandle()) {
    CClientDC dc(nullptr);
    CFont* old = dc.SelectObject(font);
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    width = (dc.GetTextExtent(kAlphabet, 52).cx + 26) / 52;
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    height = tm.tmHeight + tm.tmExternalLeading;
    dc.SelectObject(old);
  } else {
    const LONG units = GetDialogBaseUnits();
    width = LOWORD(units);
    height = HIWORD(units);
  }
  return CSize(MulDiv(cx, width, 4), MulDiv(cy, height, 8));
}

HFONT CGXBCalculator::WindowFont(CWnd* wnd) const {
  CFont* font = wnd ? wnd->GetFont() : nullptr;
  return font && font->GetSafeHandle() ? static_cast<HFONT>(font->GetSafeHandle())
                                       : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

BOOL CGXBCalculator::CreateButtons(CWnd* wnd) {
  m_nTopMargin = 1, m_nLeftMargin = 4, m_nRowGap = 1, m_nColGap = 0;
  LOGFONT lf{};
  ::GetObject(WindowFont(wnd), sizeof lf, &lf);
  lf.lfWeight = 700;
  m_fontButton.DeleteObject();
  if (!m_fontButton.CreateFontIndirect(&lf)) return FALSE;
  const CSize unit = DialogUnitsToPixels(16, 14, &m_fontButton);
  m_cxUnit = unit.cx, m_cyUnit = unit.cy;
  const HFONT font = m_fontButton;
  constexpr COLORREF kOperator = RGB(0, 0, 128), kDigit = RGB(128, 0, 0);
  const auto add = [&](UINT command, LPCSTR text, LPCSTR keys, COLORREF color, int width, BOOL newRow,
                       UINT virtualKey = 0, HBITMAP* bitmap = nullptr) {
    auto* b = new CGXBCalcBtn;
    b->Initialize(font, bitmap, color, command, text, keys, width, newRow);
    b->m_nVirtualKey = virtualKey;
    m_buttons.Add(b);
  };
  const auto digit = [&](int d, BOOL newRow = FALSE) {
    const char text[2] = {static_cast<char>('0' + d), '\0'};
    add(kDigit0 + d, text, text, kDigit, d == 0 ? 2 : 1, newRow);
  };
  add(kClear, "C", "c", kOperator, 1, TRUE);
  add(kClearEntry, "CE", "e", kOperator, 1, FALSE);
  add(kBackspace, "<-", "\b", kOperator, 1, FALSE, VK_DELETE);
  add(kPercent, "%", "%", kOperator, 1, FALSE);
  digit(7, TRUE), digit(8), digit(9);
  add(kDivide, "/", "/", kOperator, 1, FALSE);
  digit(4, TRUE), digit(5), digit(6);
  add(kMultiply, "*", "*", kOperator, 1, FALSE);
  digit(1, TRUE), digit(2), digit(3);
  add(kSubtract, "-", "-", kOperator, 1, FALSE);
  digit(0, TRUE);
  add(kSeparator, m_strSeparator, m_strSeparator, kDigit, 1, FALSE);
  add(kAdd, "+", "+", kOperator, 1, FALSE);
  add(kEquals, gx::LoadGridString(gx::kCalculatorEnterText), "=", RGB(0, 0, 0), 4, TRUE, VK_RETURN,
      &m_hEnterBitmap);
  m_bmpEnter.DeleteObject();
  m_hEnterBitmap = LoadSysColorBitmap(m_bmpEnter, MAKEINTRESOURCE(gx::kCalculatorEnterBitmap))
                       ? static_cast<HBITMAP>(m_bmpEnter.GetSafeHandle())
                       : nullptr;
  return TRUE;
}

BOOL CGXBCalculator::CreateDisplayFont(CWnd* wnd) {
  LOGFONT lf{};
  ::GetObject(WindowFont(wnd), sizeof lf, &lf);
  lf.lfWeight = 400;
  m_fontDisplay.DeleteObject();
  if (!m_fontDisplay.CreateFontIndirect(&lf)) return FALSE;
  CClientDC dc(nullptr);
  CFont* old = dc.SelectObject(&m_fontDisplay);
  CRect r(0, 0, 0, 0);
  dc.DrawText("T", &r, DT_CALCRECT | DT_EXTERNALLEADING | DT_SINGLELINE | DT_RIGHT);
  dc.SelectObject(old);
  m_rcDisplay.SetRect(0, 0, 0, r.Height() + 4);
  return TRUE;
}

CSize CGXBCalculator::LayOut(DWORD style) {
  int top = m_nTopMargin;
  if (style & kStyleEtched) top = 2 * m_nTopMargin + 6;
  const int displayHeight = m_rcDisplay.Height();
  m_rcDisplay.SetRect(m_nLeftMargin, top, m_nLeftMargin, top + displayHeight);
  int rowTop = top + displayHeight + m_nRowGap;
  int x = m_nLeftMargin, right = 0, bottom = rowTop;
  for (int i = 0; i < GetButtonCount(); ++i) {
    CGXBCalcBtn* b = GetButton(i);
    if ((b->m_nFlags & CGXBCalcBtn::kNewRow) && i > 0) {
      rowTop += m_cyUnit + m_nRowGap;
      x = m_nLeftMargin;
    } else if (i > 0) {
      x += m_nColGap;
    }
    b->SetRect(CRect(x, rowTop, x + b->m_nWidth * m_cxUnit, rowTop + m_cyUnit));
    x += b->m_nWidth * m_cxUnit;
    right = std::max(right, x);
    bottom = std::max(bottom, rowTop + m_cyUnit);
  }
  m_rcDisplay.right = right;
  CClientDC dc(nullptr);
  CFont* old = dc.SelectObject(&m_fontDisplay);
  const int zero = std::max(1, static_cast<int>(dc.GetTextExtent("0", 1).cx));
  const int sep = dc.GetTextExtent(m_strSeparator).cx;
  dc.SelectObject(old);
  m_nCapacity = (m_rcDisplay.Width() - 4 - sep) / zero - 1;
  if (m_nPrecision > m_nCapacity) m_nPrecision = std::max(0, m_nCapacity);
  return CSize(right + m_nLeftMargin, bottom + m_nTopMargin);
}

CSize CGXBCalculator::PrepareWindow(DWORD& exStyle, DWORD& style, CWnd* parent) {
  if (m_strSeparator.IsEmpty()) m_strSeparator = GetDecimalSeparator();
  if (style & kStyleBorder) {
    exStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    style &= ~WS_BORDER;
  }
  if (m_buttons.GetSize() == 0 && !CreateButtons(parent)) return CSize(-1, -1);
  if (!m_fontDisplay.GetSafeHandle() && !CreateDisplayFont(parent)) return CSize(-1, -1);
  const CSize client = LayOut(style);
  CRect r(0, 0, client.cx, client.cy);
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  CSize size(r.Width(), r.Height());
  if (style & kStyleBorder) size.cx += 4, size.cy += 4;
  return size;
}

BOOL CGXBCalculator::Create(DWORD exStyle, DWORD style, int x, int y, CWnd* parent, UINT idOrMenu, LPVOID param) {
  if (m_strSeparator.IsEmpty()) m_strSeparator = GetDecimalSeparator();
  CGXSysColorTable::Refresh();
  Reset();
  const CSize size = PrepareWindow(exStyle, style, parent);
  if (size.cx < 0) return FALSE;
  LPCSTR cls = AfxRegisterWndClass(GetClassStyle(), CGXSysColorTable::GetArrowCursor(), nullptr, nullptr);
  if (!CreateEx(exStyle, cls, "", style, x, y, size.cx, size.cy, parent ? parent->GetSafeHwnd() : nullptr,
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(idOrMenu)), param))
    return FALSE;
  m_nState &= ~kValueSet;
  return TRUE;
}

// ---- Commands

BOOL CGXBCalculator::HandleCommand(UINT command) {
  if (command >= kDigit0 && command <= kDigit9) return OnDigit(command);
  switch (command) {
    case kSeparator: return OnSeparator();
    case kBackspace: return OnBackspace();
    case kAdd:
    case kSubtract:
    case kDivide:
    case kMultiply:
    case kEquals:
    case kPercent: return OnOperator(command);
    case kClear: Reset(); return TRUE;
    case kClearEntry:
      if (m_nState & kError) {
        Reset();
        return TRUE;
      }
      m_strDisplay.Empty();
      m_bNewEntry = TRUE;
      InvalidateDisplay();
      return TRUE;
    default: return FALSE;
  }
}

BOOL CGXBCalculator::BeginEntry() {
  if (m_nState & kError) {
    Beep();
    return FALSE;
  }
  if (m_bNewEntry) {
    m_strDisplay.Empty();
    m_bNewEntry = FALSE;
  }
  return TRUE;
}

BOOL CGXBCalculator::OnDigit(UINT command) {
  if (!BeginEntry()) return FALSE;
  const char digit = static_cast<char>(command + 39);
  if (!(digit == '0' && m_strDisplay.IsEmpty())) {
    const CString number = !m_strDisplay.IsEmpty() && m_strDisplay[0] == '-' ? m_strDisplay.Mid(1) : m_strDisplay;
    int limit = !number.IsEmpty() && number[0] == '0' ? 16 : 15;
    if (limit > m_nCapacity && m_nCapacity > 0) limit = m_nCapacity;
    int integer = 0, fraction = 0;
    CountDigits(number, m_strSeparator, integer, fraction);
    const bool hasSeparator = number.Find(m_strSeparator) >= 0;
    if (fraction >= m_nPrecision && hasSeparator) {
      Beep();
      return TRUE;
    }
    if ((!hasSeparator && integer >= 13) || integer + fraction >= limit) {
      Beep();
      return TRUE;
    }
    m_strDisplay += digit;
  }
  InvalidateDisplay();
  return TRUE;
}

BOOL CGXBCalculator::OnSeparator() {
  if (!BeginEntry()) return FALSE;
  if (m_strDisplay.Find(m_strSeparator) >= 0) return FALSE;
  if (m_strDisplay.IsEmpty()) m_strDisplay = "0";
  m_strDisplay += m_strSeparator;
  InvalidateDisplay();
  return TRUE;
}

BOOL CGXBCalculator::OnBackspace() {
  if (m_nState & kError) {
    Beep();
    return FALSE;
  }
  if (m_bNewEntry || m_strDisplay.IsEmpty()) return FALSE;
  m_strDisplay = m_strDisplay.Left(m_strDisplay.GetLength() - 1);
  InvalidateDisplay();
  return TRUE;
}

BOOL CGXBCalculator::OnOperator(UINT command) {
  if (m_nState & kError) {
    Beep();
    return FALSE;
  }
  double x = 0.0;
  if (!m_strDisplay.IsEmpty()) {
    CString text = m_strDisplay;
    const char point = RuntimeDecimalPoint();
    if (m_strSeparator.GetLength() == 1 && m_strSeparator[0] != point) {
      const int at = text.Find(m_strSeparator[0]);
      if (at >= 0) text.SetAt(at, point);
    }
    if (std::sscanf(text, "%lf", &x) != 1) return FALSE;
  }
  if (command == kPercent) {
    x = (m_nPendingOp == kMultiply || m_nPendingOp == kDivide) ? x * m_dValue * 0.01 : 0.0;
    m_nPendingOp = 0;
  }
  switch (m_nPendingOp) {
    case kMultiply: x = x * m_dValue; break;
    case kAdd: x = x + m_dValue; break;
    case kSubtract: x = m_dValue - x; break;
    case kDivide:
      if (x == 0.0)
        m_nState |= kError;
      else
        x = m_dValue / x;
      break;
    default: break;
  }
  if (!(m_nState & kError)) {
    m_dValue = x;
    m_bNewEntry = TRUE;
    m_nPendingOp = command == kEquals || command == kPercent ? 0 : command;
    UpdateDisplayText();
  }
  InvalidateDisplay();
  return TRUE;
}

void CGXBCalculator::UpdateDisplayText() {
  if (m_strSeparator.IsEmpty()) m_strSeparator = GetDecimalSeparator();
  int decimals = m_nPrecision;
  const char point = RuntimeDecimalPoint();
  for (int guard = 0; guard < 64; ++guard) {
    CString text = gx::FormatFixed(m_dValue, decimals);
    const int at = text.Find(point);
    if (at >= 0) {
      if (!m_strSeparator.IsEmpty()) text.SetAt(at, m_strSeparator[0]);
      text.TrimRight('0');
    }
    int limit = (m_dValue > -1.0 && m_dValue < 1.0) ? 16 : 15;
    if (m_nCapacity > 0 && limit > m_nCapacity) limit = m_nCapacity;
    int integer = 0, fraction = 0;
    CountDigits(text, m_strSeparator, integer, fraction);
    if (integer > limit || integer > 13) {
      m_nState |= kError;
      InvalidateDisplay();
      return;
    }
    if (integer + fraction > limit && decimals > 0) {
      decimals = std::max(0, std::min(decimals - 1, limit - integer));
      continue;
    }
    // A text that ends in the separator keeps it out: drawing appends it.
    if (!m_strSeparator.IsEmpty() && text.GetLength() > 0 && text[text.GetLength() - 1] == m_strSeparator[0])
      text = text.Left(text.GetLength() - 1);
    if (text == "-0") text = "0";
    m_strDisplay = text;
    return;
  }
}

// ---- Drawing

void CGXBCalculator::DrawDisplay(CDC* dc) {
  CRect r = m_rcDisplay;
  HWND owner = nullptr;
  bool themed = false;
  if (ThemedFor(dc, &owner)) {
    if (HTHEME theme = SafeOpenThemeData(owner, u"Edit")) {
      SafeDrawThemeBackground(theme, dc->GetSafeHdc(), 1, 6, &r, nullptr);
      SafeCloseThemeData(theme);
      r.DeflateRect(2, 2);
      themed = true;
    }
  }
  if (!themed) {
    dc->Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_BTNSHADOW), CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT));
    r.DeflateRect(1, 1);
    dc->Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_WINDOWFRAME), CGXSysColorTable::GetColor(COLOR_BTNFACE));
    r.DeflateRect(1, 1);
  }
  CString text;
  if (m_nState & kError) {
    text = gx::LoadGridString(gx::kCalculatorErrorText);
  } else {
    text = m_strDisplay.IsEmpty() ? CString("0") : m_strDisplay;
    if (text.Find(m_strSeparator) < 0) text += m_strSeparator;
  }
  CFont* old = dc->SelectObject(&m_fontDisplay);
  const int oldMode = dc->SetBkMode(themed ? TRANSPARENT : OPAQUE);
  dc->SetBkColor(CGXSysColorTable::GetColor(COLOR_BTNFACE));
  dc->SetTextColor(CGXSysColorTable::GetColor(COLOR_WINDOWTEXT));
  dc->DrawText(text, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXTERNALLEADING);
  dc->SetBkMode(oldMode);
  dc->SelectObject(old);
}

void CGXBCalculator::Draw(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  dc->FillSolidRect(&client, CGXSysColorTable::GetColor(COLOR_BTNFACE));
  if (GetStyle() & kStyleEtched) {
    const int y = client.top + m_nTopMargin + 2;
    CRect line(client.left + 1, y, client.right - 1, y + 2);
    dc->Draw3dRect(&line, CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT),
                   CGXSysColorTable::GetColor(COLOR_BTNSHADOW));
  }
  if (dc->RectVisible(&m_rcDisplay)) DrawDisplay(dc);
  for (int i = 0; i < GetButtonCount(); ++i)
    if (dc->RectVisible(&GetButton(i)->GetRect())) GetButton(i)->Draw(dc);
}

// ---- Messages

void CGXBCalculator::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_TAB && !IsKindOf(RUNTIME_CLASS(CGXBPopupCalculator))) {
    if (CWnd* parent = GetParent()) parent->PostMessage(WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) < 0) ? 1 : 0, 0);
    return;
  }
  for (int i = 0; i < GetButtonCount(); ++i)
    if (GetButton(i)->m_nVirtualKey == key) {
      PressButton(i);
      return;
    }
  DefWindowProc(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}

LRESULT CGXBCalculator::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
    case WM_PAINT: {
      CPaintDC paint(this);
      CRect clip;
      paint.GetClipBox(&clip);
      CRect client;
      GetClientRect(&client);
      CDC memory;
      CBitmap bitmap;
      if (memory.CreateCompatibleDC(&paint) && bitmap.CreateCompatibleBitmap(&paint, client.Width(), client.Height())) {
        CBitmap* old = memory.SelectObject(&bitmap);
        CRgn region;
        region.CreateRectRgnIndirect(&clip);
        memory.SelectClipRgn(&region);
        gx::ThemeOwnerScope owner(m_hWnd);
        Draw(&memory);
        paint.BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &memory, clip.left, clip.top, SRCCOPY);
        memory.SelectObject(old);
      } else {
        Draw(&paint);
      }
      return 0;
    }
    case WM_NCCALCSIZE:
      if (GetStyle() & kStyleBorder) {
        RECT& r = *reinterpret_cast<RECT*>(lParam);
        InflateRect(&r, -2, -2);
        return 0;
      }
      break;
    case WM_NCPAINT:
      if (GetStyle() & kStyleBorder) {
        HDC hdc = GetDCEx(m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE);
        if (hdc) {
          CDC* dc = CDC::FromHandle(hdc);
          CRect r;
          GetWindowRect(&r);
          r.OffsetRect(-r.left, -r.top);
          dc->Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_3DLIGHT), CGXSysColorTable::GetColor(COLOR_3DDKSHADOW));
          r.DeflateRect(1, 1);
          dc->Draw3dRect(&r, CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT), CGXSysColorTable::GetColor(COLOR_BTNSHADOW));
          ::ReleaseDC(m_hWnd, hdc);
        }
        return 0;
      }
      break;
    case WM_LBUTTONDOWN: {
      if (::GetFocus() != m_hWnd) {
        CRect client;
        GetClientRect(&client);
        if (!client.PtInRect(pt)) return 0;
        SetFocus();
      }
      const int hit = HitTestButton(pt.x, pt.y);
      if (hit < 0) break;
      SetCapture();
      m_nState |= kCapture;
      m_nTracked = hit;
      GetButton(hit)->m_nFlags |= CGXBCalcBtn::kPressed;
      InvalidateButton(hit);
      UpdateWindow();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (m_nState & kCapture) {
        CGXBCalcBtn* b = GetButton(m_nTracked);
        const bool over = HitTestButton(pt.x, pt.y) == m_nTracked;
        if (over != ((b->m_nFlags & CGXBCalcBtn::kPressed) != 0)) {
          b->m_nFlags ^= CGXBCalcBtn::kPressed;
          InvalidateButton(m_nTracked);
          UpdateWindow();
        }
        return 0;
      } else {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        const int hit = HitTestButton(pt.x, pt.y);
        bool changed = false;
        for (int i = 0; i < GetButtonCount(); ++i) {
          CGXBCalcBtn* b = GetButton(i);
          const bool hot = i == hit;
          if (hot != ((b->m_nFlags & CGXBCalcBtn::kHot) != 0)) {
            b->m_nFlags ^= CGXBCalcBtn::kHot;
            InvalidateButton(i);
            changed = true;
          }
        }
        if (hit >= 0) {
          TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
          SafeTrackMouseEvent(&tme);
        }
        if (changed) UpdateWindow();
        return result;
      }
    case WM_MOUSELEAVE: {
      bool changed = false;
      for (int i = 0; i < GetButtonCount(); ++i)
        if (GetButton(i)->m_nFlags & CGXBCalcBtn::kHot) {
          GetButton(i)->m_nFlags &= ~CGXBCalcBtn::kHot;
          InvalidateButton(i);
          changed = true;
        }
      if (changed) UpdateWindow();
      break;
    }
    case WM_LBUTTONUP:
      if (m_nState & kCapture) {
        ReleaseCapture();
        m_nState &= ~kCapture;
        CGXBCalcBtn* b = GetButton(m_nTracked);
        b->m_nFlags &= ~CGXBCalcBtn::kPressed;
        InvalidateButton(m_nTracked);
        if (HitTestButton(pt.x, pt.y) == m_nTracked) HandleCommand(b->m_nCommand);
        if (m_hWnd) UpdateWindow();
        return 0;
      }
      break;
    case WM_CANCELMODE:
      if (m_nState & kCapture) {
        ReleaseCapture();
        m_nState &= ~kCapture;
        GetButton(m_nTracked)->m_nFlags &= ~(CGXBCalcBtn::kPressed | CGXBCalcBtn::kHot);
        InvalidateButton(m_nTracked);
      }
      break;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    case WM_CHAR: {
      char key[3] = {static_cast<char>(wParam), '\0', '\0'};
      if (m_nState & kLeadPending) {
        key[0] = m_cLeadByte;
        key[1] = static_cast<char>(wParam);
        m_nState &= ~kLeadPending;
      } else if (IsDBCSLeadByte(static_cast<BYTE>(wParam))) {
        m_cLeadByte = static_cast<char>(wParam);
        m_nState |= kLeadPending;
        return 0;
      }
      CharLower(key);
      for (int i = 0; i < GetButtonCount(); ++i)
        if (GetButton(i)->MatchesKey(key)) {
          PressButton(i);
          return 0;
        }
      break;
    }
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SYSCOLORCHANGE:
      CGXSysColorTable::Refresh();
      if (m_hEnterBitmap) {
        m_bmpEnter.DeleteObject();
        m_hEnterBitmap = LoadSysColorBitmap(m_bmpEnter, MAKEINTRESOURCE(gx::kCalculatorEnterBitmap))
                             ? static_cast<HBITMAP>(m_bmpEnter.GetSafeHandle())
                             : nullptr;
      }
      break;
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

// ---- The popup

BOOL CGXBPopupCalculator::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  DWORD exStyle = 0;
  DWORD popupStyle = style | WS_POPUP;
  const CSize size = PrepareWindow(exStyle, popupStyle, parent);
  if (size.cx < 0) return FALSE;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfo(MonitorFromPoint(POINT{rect.left, rect.top}, MONITOR_DEFAULTTONEAREST), &info);
  const RECT& work = info.rcWork;
  int y = rect.bottom;
  if (rect.bottom + size.cy >= work.bottom) y = rect.top - size.cy;
  int x = rect.left;
  if (rect.left + size.cx >= work.right) x = rect.right - size.cx;
  if (!CGXBCalculator::Create(exStyle, popupStyle, x, y, parent, 0, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(id))))
    return FALSE;
  SetFocus();
  return TRUE;
}

BOOL CGXBPopupCalculator::HandleCommand(UINT command) {
  const BOOL result = CGXBCalculator::HandleCommand(command);
  if (command == kEquals && (GetStyle() & kStylePopup)) {
    NotifyOwner();
    PostMessage(WM_CLOSE);
  }
  return result;
}

void CGXBPopupCalculator::NotifyOwner() {
  CWnd* owner = GetOwner();
  if (owner && ::IsWindow(owner->GetSafeHwnd()) && !IsError())
    owner->SendMessage(GX_WM_CALCULATOR_RESULT, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(m_strDisplay)));
}

LRESULT CGXBPopupCalculator::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        DestroyWindow();
        return 0;
      }
      if (wParam == VK_RETURN) {
        CGXBCalculator::HandleCommand(kEquals);
        NotifyOwner();
        DestroyWindow();
        return 0;
      }
      break;
    case WM_SYSKEYDOWN:
      if (wParam == VK_DOWN) {
        CGXBCalculator::HandleCommand(kEquals);
        NotifyOwner();
        DestroyWindow();
        return 0;
      }
      OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wParam) != m_hWnd) {
        const LRESULT result = CGXBCalculator::WindowProc(message, wParam, lParam);
        DestroyWindow();
        return result;
      }
      break;
    default: break;
  }
  return CGXBCalculator::WindowProc(message, wParam, lParam);
}

void CGXBPopupCalculator::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}
