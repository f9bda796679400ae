#include "grid/controls/CGXEditControl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "grid/controls/gxcellsupport.h"
#include "grid/core/gxkeys.h"
#include "grid/core/gxnumbertext.h"
#include "grid/core/gxstrings.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXProperties.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/StringApi.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXEditControl, CEdit)

const CGXControlClass CGXEditControl::gxClassCGXEditControl = {"CGXEditControl", &CGXStatic::classCGXStatic};

namespace {

constexpr UINT kNumericFormats[] = {1, 2, 3, 4, 5, 23, 28};
constexpr UINT kPercentFormat = 14;
constexpr DWORD kBaseStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kEditStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;

char RuntimeDecimalPoint() {
  const char* point = plat::localeconv()->decimal_point;
  return point && *point ? *point : '.';
}

// A hundredth of `v` read from its decimal digits: "0.7%" is 0.007, where the quotient of the two doubles lies a
// step beside it (0.006999999999999999) and would be kept in 16 digits.
double Hundredth(double v) {
  char buffer[40];
  for (int digits = 14; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, v);
    if (std::strtod(buffer, nullptr) == v) break;
  }
  char* exponent = std::strchr(buffer, 'e');
  if (!exponent) return v / 100;  // no finite number
  const long shifted = std::strtol(exponent + 1, nullptr, 10) - 2;
  std::snprintf(exponent, static_cast<size_t>(buffer + sizeof buffer - exponent), "e%ld", shifted);
  return std::strtod(buffer, nullptr);
}

// The longest start of `text` of at most `max` bytes that does not end inside a double-byte pair.
CString CutToLength(const CString& text, int max) {
  if (text.GetLength() <= max) return text;
  int kept = 0;
  while (kept < max) {
    const int step = IsDBCSLeadByte(static_cast<BYTE>(text[kept])) && kept + 1 < text.GetLength() ? 2 : 1;
    if (kept + step > max) break;
    kept += step;
  }
  return text.Left(kept);
}

// Whether `text` is wider than `limit` pixels in the DC's font: on one line (the extent of the whole text,
// line breaks measured as characters) when `wrapWidth` is 0, else as DrawText measures it wrapped at
// `wrapWidth`. Measuring stops as soon as the answer is known: on one line the text is summed chunk by
// chunk (an extent is the sum of its characters' advances); wrapped, DrawText's measure keeps the width it
// is given, so a wrap width beyond the limit answers without laying a line out.
bool TextWiderThan(CDC& dc, const CString& text, int limit, int wrapWidth) {
  if (wrapWidth > 0) {
    if (wrapWidth > limit) return true;
    CRect measure(0, 0, wrapWidth, 0);
    dc.DrawText(text, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return measure.Width() > limit;
  }
  constexpr int kChunk = 4096;
  const LPCSTR p = text;
  long long width = 0;
  for (int at = 0; at < text.GetLength(); at += kChunk) {
    width += dc.GetTextExtent(p + at, std::min(kChunk, text.GetLength() - at)).cx;
    if (width > limit) return true;
  }
  return false;
}

}  // namespace

BOOL& CGXEditControl::CompositionRunning() {
  static BOOL running = FALSE;
  return running;
}

CGXEditControl::CGXEditControl(CGXGridCore* grid, UINT id)
    : CGXTextWindowCell(grid), m_nID(id), m_rgbHighlightText(GetSysColor(COLOR_HIGHLIGHTTEXT)) {}

CGXEditControl::~CGXEditControl() {
  // The grid may be going too: the window's last messages get the edit's own handling only.
  m_bDestroying = TRUE;
  if (m_hWnd) DestroyWindow();
}

CRuntimeClass* CGXEditControl::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXEditControl); }

CString CGXEditControl::WindowText() const {
  CString text;
  if (m_hWnd) GetWindowText(text);
  return text;
}

// ---- States and binding -------------------------------------------------------------------------------

void CGXEditControl::SetEditingState(BOOL on) {
  CGXTextWindowCell::SetEditingState(on);
  if (!on) {
    m_strReplaced = CString();  // the room a long text took goes with the editing
    m_scrollBack = {};
  }
  if (m_hWnd && m_bInit) {
    const CGXRange cell(m_nRow, m_nCol);
    m_pGrid->RecalcFloatCells(cell, -1);
    m_pGrid->CalcFloatCellsInRange(cell);
  }
}

void CGXEditControl::InitForCell(ROWCOL row, ROWCOL col) {
  CompositionRunning() = FALSE;
  m_scrollBack = {};
  CGXStatic::InitForCell(row, col);
  // Made with the editing style's lines from the start: a one-line window would keep only the first line of
  // a value or a paste that reaches it before its first showing gives it its full style.
  if (!m_hWnd) CreateEditWindow(kEditStyle, nullptr);
  const CGXStyle& style = GetCachedStyle();
  CString value = ValueToEdit(row, col, style);
  LocalizeDecimalPoint(value, style);
  m_bAutoSize = style.IsIncluded(GX_IN_AUTOSIZE) && style.GetAutoSize();
  SetEditedValue(value);
  if (m_hWnd) {
    // The cell's limit from the start, not only once the editing window is drawn: a paste or a typed key
    // before the first paint meets this cell's limit, not the previous cell's or the window's first one.
    m_nMaxLength = style.IsIncluded(GX_IN_MAXLENGTH) ? style.GetMaxLength() : 0;
    LimitText(m_nMaxLength);
    SetSel(0, -1);
    if (m_bEditing) LineScroll(255, 0);
  }
  SetModifiedState(FALSE);
}

BOOL CGXEditControl::CreateEditWindow(DWORD style, const RECT* rect) {
  const CRect r = rect ? CRect(*rect) : CRect(0, 0, 0, 0);
  CWnd* grid = GetGridWnd();
  if (!grid) return FALSE;
  const DWORD ex = m_nRTL > 0 ? WS_EX_RTLREADING : 0;
  if (!CreateEx(ex, "EDIT", "", style | WS_CHILD, r, grid, m_nID)) return FALSE;
  m_dwStyle = style | WS_CHILD;
  return TRUE;
}

// ---- Numbers --------------------------------------------------------------------------------------------

BOOL CGXEditControl::HasNumericFormat(const CGXStyle& style) const {
  if (!style.IsIncluded(GX_IN_FORMAT)) return FALSE;
  return std::find(std::begin(kNumericFormats), std::end(kNumericFormats), style.GetFormat()) !=
         std::end(kNumericFormats);
}

BOOL CGXEditControl::ParseNumber(CString& text, const CGXStyle& style, double& value) {
  // Decision: a percent cell reads numbers too, and its own shown form: it shows its number a hundred times
  // over, followed by "%" ("50%" is 0.5); a number given without the sign is the number itself.
  const bool percentCell = style.IsIncluded(GX_IN_FORMAT) && style.GetFormat() == kPercentFormat;
  if (!percentCell && !HasNumericFormat(style)) return FALSE;
  CString shown = text;
  const bool percent = percentCell && shown.TrimRight(' ').Right(1) == "%";
  if (percent) shown = shown.Left(shown.GetLength() - 1);
  if (!GetDrawingAndFormatting().ParseDisplayText(shown, value)) return FALSE;
  if (percent) value = Hundredth(value);
  // The number in as many digits as read back as it: 123456789012345 in 14 was another number.
  CString number(gx::ExactNumberText(value).c_str());
  // The stored number always has "." as its decimal point, whatever the runtime's is.
  const char point = RuntimeDecimalPoint();
  if (point != '.') {
    const int at = number.Find(point);
    if (at >= 0) number.SetAt(at, '.');
  }
  text = number;
  return TRUE;
}

BOOL CGXEditControl::LocalizeDecimalPoint(CString& text, const CGXStyle& style) {
  if (!HasNumericFormat(style)) return FALSE;
  const char point = RuntimeDecimalPoint();
  if (point != '.') {
    const int at = text.Find('.');
    if (at >= 0) text.SetAt(at, point);
  }
  return TRUE;
}

// ---- Texts ----------------------------------------------------------------------------------------------

void CGXEditControl::GetEditText(CString& out) const {
  if (m_bEditing && m_hWnd) {
    out = WindowText();
  } else {
    GetBoundDisplayText(out);
  }
}

void CGXEditControl::SetEditText(const CString& text) {
  if (!m_bInit || !m_hWnd) return;
  if (!m_bEditing) SetEditingState(TRUE);
  if (AcceptsText(text)) {
    SetWindowText(text);
    m_scrollBack = {};  // another text: shown from its start
    SetModifiedState(TRUE);
    NotifyModified();
  }
  const CGXRange cell(m_nRow, m_nCol);
  m_pGrid->RecalcFloatCells(cell, -1);
  m_pGrid->CalcFloatCellsInRange(cell);
}

BOOL CGXEditControl::GetEditSelection(int& anchor, int& caret) const {
  if (!m_bEditing || !m_hWnd) return FALSE;
  GetSel(anchor, caret);
  if (anchor != caret) {
    // EM_GETSEL gives the ends in order, whichever holds the caret. A selection dropped with EM_SETSEL(-1)
    // leaves the bare caret at its end: the caret's end found, the selection is put back from its anchor.
    SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    int at = 0, same = 0;
    GetSel(at, same);
    if (at == anchor) std::swap(anchor, caret);
    SendMessage(EM_SETSEL, static_cast<WPARAM>(anchor), caret);
  }
  // The scroll goes with the selection.
  m_scrollKept = CurrentScroll();
  return TRUE;
}

// A text that scrolls sideways is scrolled left by how far its first character lies left of the format rectangle
// (it is wider than the window, so it is drawn left aligned); a wrapped text is scrolled by its first visible line.
CGXEditControl::Scroll CGXEditControl::CurrentScroll() const {
  if (GetStyle() & ES_AUTOHSCROLL) return {SidewaysScroll(), -1};
  return {-1, static_cast<int>(const_cast<CGXEditControl*>(this)->SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0))};
}

void CGXEditControl::ScrollTo(const Scroll& scroll) {
  if (scroll.sideways >= 0) ScrollSidewaysTo(scroll.sideways);
  if (scroll.lines >= 0) {
    const int first = static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0));
    if (first != scroll.lines) SendMessage(EM_LINESCROLL, 0, scroll.lines - first);
  }
}

int CGXEditControl::SidewaysScroll() const {
  CRect format;
  const_cast<CGXEditControl*>(this)->SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  const LRESULT first = const_cast<CGXEditControl*>(this)->SendMessage(EM_POSFROMCHAR, 0, 0);
  if (first == -1) return 0;
  return std::max(0, static_cast<int>(format.left - static_cast<short>(LOWORD(first))));
}

// The scroll bar's thumb stops where the widest line ends, but typing at the end scrolls a third of the window
// further: the rest goes in steps of the average character width (EM_LINESCROLL), measured by one step, from a
// thumb position that many steps short of `x`.
void CGXEditControl::ScrollSidewaysTo(int x) {
  x = std::min(x, 0x7FFF);
  SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, x), 0);
  const int most = SidewaysScroll();
  if (most >= x) return;
  SendMessage(EM_LINESCROLL, 1, 0);
  const int step = SidewaysScroll() - most;
  if (step <= 0) return;
  const int steps = (x - most + step - 1) / step;
  SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::max(0, x - steps * step)), 0);
  SendMessage(EM_LINESCROLL, steps, 0);
}

// EM_SETSEL puts the caret at its second argument: an anchor after the caret gives a selection made right to
// left. The window is hidden and shrunk meanwhile, so its scroll comes back when the cell is drawn again at its
// size.
void CGXEditControl::SetEditSelection(int anchor, int caret) {
  if (!m_bEditing || !m_hWnd) return;
  SetSel(anchor, caret);
  m_scrollBack = m_scrollKept;
}

BOOL CGXEditControl::GetEditedValue(CString& out) const {
  if (!m_bInit) return FALSE;
  GetEditText(out);
  return TRUE;
}

CString CGXEditControl::EditedText(const CString& value, const CGXStyle& style) const {
  const CGXGridParam* param = m_pGrid->GetParam();
  if (param && param->m_bEditUnformatted) return value;
  CString text;
  GetDisplayText(text, m_nRow, m_nCol, &value, style);
  return text;
}

void CGXEditControl::SetEditedValue(const CString& value) {
  if (!m_hWnd || !m_bInit) return;
  SetWindowText(EditedText(value, GetCachedStyle()));
  if (m_bEditing) {
    const CGXRange cell(m_nRow, m_nCol);
    m_pGrid->RecalcFloatCells(cell, -1);
    m_pGrid->CalcFloatCellsInRange(cell);
    m_pGrid->PrepareSpannedCellsForView(m_pGrid->GetFirstScrolledRow(), m_pGrid->GetFirstScrolledCol(),
                                        m_pGrid->GetBottomShownRow(), m_pGrid->GetRightmostShownCol());
  }
}

void CGXEditControl::SetEditedValueFromCell() {
  if (m_bInit) SetEditedValue(ValueToEdit(m_nRow, m_nCol, GetCachedStyle()));
}

CString CGXEditControl::ValueToEdit(ROWCOL row, ROWCOL col, const CGXStyle&) {
  return m_pGrid->GetStoredCellValue(row, col);
}

const CString& CGXEditControl::TextWithSelectionReplaced(const CString& text) const {
  CString& result = m_strReplaced;
  int start = 0, end = 0;
  if (m_hWnd) GetSel(start, end);
  if (!m_hWnd || end == -1) {
    result = text;
    return result;
  }
  // Read into the kept buffer and edited in place: no new memory while its room suffices.
  const int length = GetWindowTextLength();
  const int got = ::GetWindowText(m_hWnd, result.GetBufferSetLength(length + 1), length + 1);
  result.ReleaseBuffer(std::max(got, 0));
  start = std::clamp(start, 0, result.GetLength());
  end = std::clamp(end, start, result.GetLength());
  result.Delete(start, end - start);
  result.Insert(start, text);
  return result;
}

size_t CGXEditControl::LengthWithSelectionReplaced(size_t added) const {
  const size_t length = static_cast<size_t>(std::max(GetWindowTextLength(), 0));
  int start = 0, end = 0;
  GetSel(start, end);
  if (end == -1) return added;  // as TextWithSelectionReplaced: no selection to replace, the text alone
  const size_t from = static_cast<size_t>(std::clamp(start, 0, static_cast<int>(length)));
  const size_t to = static_cast<size_t>(std::clamp(end, static_cast<int>(from), static_cast<int>(length)));
  return length - (to - from) + added;
}

// A paste longer than the window's limit (the cell's maximum length) is refused whole (PasteTooLong).
BOOL CGXEditControl::CanPasteText(const CString& text) {
  const CString& result = TextWithSelectionReplaced(text);
  if (PasteTooLong(result.GetLength(), m_hWnd ? GetLimitText() : 0)) return FALSE;
  return AcceptsText(result);
}

BOOL CGXEditControl::PasteFromClipboard() {
  return PasteShowingRefusal([this] { return CGXStatic::PasteFromClipboard(); });
}

// ---- Storing --------------------------------------------------------------------------------------------

BOOL CGXEditControl::StoreTextOrNumber(ROWCOL row, ROWCOL col, CString text, const CGXStyle& style, UINT flags,
                                       BOOL viaSetValue) {
  double value = 0;
  if (ParseNumber(text, style, value)) {
    CGXStyle number;
    number.SetValue(text);
    number.SetValueType(GX_VT_NUMBER);
    return m_pGrid->ApplyStyleToRange(CGXRange(row, col), &number, gxOverride, 0, nullptr, flags);
  }
  if (viaSetValue) return m_pGrid->SetCellValue(row, col, text, flags);
  CGXStyle plain;
  plain.SetValue(text);
  return m_pGrid->ApplyStyleToRange(CGXRange(row, col), &plain, gxOverride, 0, nullptr, flags);
}

BOOL CGXEditControl::StoreValue() {
  if (!m_pCachedStyle || !GetModifiedState() || !m_hWnd) return TRUE;
  const CString text = WindowText();
  const CGXStyle style = *m_pCachedStyle;
  SetEditingState(FALSE);
  DropCachedStyle();
  return StoreTextOrNumber(m_nRow, m_nCol, text, style, GX_INVALIDATE, TRUE);
}

BOOL CGXEditControl::AskGridFirstHook() {
  if (!CGXStatic::AskGridFirstHook()) return FALSE;
  m_pGrid->RecalcFloatCells(CGXRange(m_nRow, m_nCol), -1);
  return TRUE;
}

// Decision: a text that cannot be stored (refused conversion, read-only cell or locked grid) answers FALSE
// and changes nothing; no error text is written into the current cell's editor, where it would replace
// what the user typed and could be stored in its place.
BOOL CGXEditControl::StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* given) {
  CGXStyle composed;
  const CGXStyle* style = &StyleForStore(row, col, given, composed);
  CString value = text ? text : "";
  if (!ConvertTextForCell(value, row, col, *style) || BreaksBounds(value, *style) || StoreRefused(*style))
    return FALSE;
  // The maximum length judges the value stored: "1,234" in a grouped number cell is stored as 1234.
  if (style->IsIncluded(GX_IN_MAXLENGTH) && style->GetMaxLength() > 0 &&
      JudgedValue(value, *style).GetLength() > style->GetMaxLength())
    return m_pGrid->SetCellValue(row, col, CutToLength(value, style->GetMaxLength()), flags);
  return StoreTextOrNumber(row, col, value, *style, flags, FALSE);
}

BOOL CGXEditControl::StoreTakenValue(ROWCOL row, ROWCOL col, const CString& value, const CGXStyle& style,
                                     UINT flags) {
  return StoreTextOrNumber(row, col, value, style, flags, TRUE);
}

BOOL CGXEditControl::CanFloatText(ROWCOL, ROWCOL, const CGXStyle& style, BOOL flag) {
  const BOOL empty = !style.GetIncludeValue() || style.GetValue().IsEmpty();
  return flag ? !empty : empty;
}

// ---- Window part: showing, hiding, style ------------------------------------------------------------------

void CGXEditControl::HideWindowPart() {
  if (!m_hWnd || !IsWindowVisible()) return;
  // An editor hidden while it edits (the grid refreshing the cell as it takes the focus back) is shown again
  // as the user left it, scrolled as it was.
  if (m_bEditing) m_scrollBack = CurrentScroll();
  auto guard = m_pGrid->GuardFocus();
  ::HideCaret(m_hWnd);
  // Shrunk first without a repaint, so hiding uncovers nothing of the grid that would be painted again.
  SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  ShowWindow(SW_HIDE);
}

DWORD CGXEditControl::CalcWindowStyle(CRect& format, int& lineHeight) {
  DWORD style = kBaseStyle;
  if (!m_bNoAlignment) style |= m_dwAlignment;
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  CFont* font = GetFont();
  CFont* old = font ? dc.SelectObject(font) : nullptr;
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  m_nLineHeight = tm.tmHeight + tm.tmExternalLeading;
  m_nMaxCharWidth = tm.tmMaxCharWidth;
  lineHeight = m_nLineHeight;
  style |= kEditStyle;
  if (m_bAllowEnter) style |= ES_WANTRETURN;
  if (m_bWrap && m_bVertScroll) style |= WS_VSCROLL;
  const BOOL oneLine = client.Height() - m_nLineHeight / 3 <= m_nLineHeight;
  if (!m_bWrap || (!m_bVertScroll && oneLine)) {
    style |= ES_AUTOHSCROLL;
    // A text wider than the window scrolls from its start: left aligned. The text is measured only when
    // that changes something, and only as far as it takes to tell (typing into a cell that holds a very
    // long text stays quick).
    const int wrapWidth = m_bWrap ? std::max<LONG>(1, client.Width()) : 0;
    const int room = client.Width() - m_nMaxCharWidth;
    if ((style & (ES_CENTER | ES_RIGHT)) && TextWiderThan(dc, WindowText(), room, wrapWidth))
      style &= ~(ES_CENTER | ES_RIGHT);
  }
  if (old) dc.SelectObject(old);
  format = client;
  format.bottom = std::max<LONG>(format.bottom, m_nLineHeight + 1);
  return style;
}

void CGXEditControl::UpdateEditWindow() {
  if (m_bRecreating || !m_hWnd) return;
  CRect format;
  int lineHeight = 0;
  const DWORD needed = CalcWindowStyle(format, lineHeight);
  const BOOL rtl = (GetExStyle() & WS_EX_RTLREADING) != 0;
  if (needed == m_dwStyle && rtl == (m_nRTL > 0)) {
    // A new format rectangle lays the whole text out again: sent only when it changed.
    CRect current;
    SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&current));
    if (current != format) SendMessage(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
  } else {
    CGXFlagScope recreating(m_bRecreating, TRUE);
    const BOOL modified = GetModify();
    const BOOL readOnly = (GetStyle() & ES_READONLY) != 0;
    CRect rect;
    GetWindowRect(&rect);
    GetGridWnd()->ScreenToClient(&rect);
    const CString text = WindowText();
    CFont* font = GetFont();
    int start = 0, end = 0;
    GetSel(start, end);
    const UINT limit = GetLimitText();
    const BOOL hadFocus = ::GetFocus() == m_hWnd;
    {
      auto guard = m_pGrid->GuardFocus();
      ::HideCaret(m_hWnd);
      SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      DestroyWindow();
      CreateEditWindow(needed & ~WS_VISIBLE, &rect);
      if (!m_hWnd) return;
      SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
      if (font) SetFont(font, FALSE);
      SetWindowText(text);
      SetSel(start, end, TRUE);
      SetModify(modified);
      SetReadOnly(readOnly);
      LimitText(static_cast<int>(limit));
      if (needed & WS_VISIBLE) ShowWindow(SW_SHOWNA);
      m_dwStyle = needed;
      CEdit::UpdateWindow();
      SendMessage(EM_SCROLLCARET);
      if (hadFocus) SetFocus();
    }
  }
  // The caret's line stays visible.
  int start = 0, end = 0;
  GetSel(start, end);
  CRect client;
  GetClientRect(&client);
  const int first = GetFirstVisibleLine();
  const int last = first + (m_nLineHeight > 0 ? client.Height() / m_nLineHeight : 1);
  const int line = LineFromChar(start);
  if (line > last || line < first) LineScroll(line > last ? line - last : line - first, 0);
  SendMessage(EM_SCROLLCARET);
}

// ---- Drawing --------------------------------------------------------------------------------------------

void CGXEditControl::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                              const CGXStyle* standard) {
  if (!IsBoundToCell(row, col) || !m_bEditing || !m_hWnd || m_pGrid->IsPrinting() || m_pGrid->m_bDrawAllCellsInactive) {
    CGXStatic::DrawCell(dc, rect, row, col, style, standard);
    return;
  }
  if (CompositionRunning()) return;
  const CRect inner = ComputeInnerRect(row, col, &rect, &style);
  if (m_bFloatChanged && IsWindowVisible()) {
    MoveWindow(&inner, TRUE);
    DrawCellBackground(dc, rect, style, FALSE);
    RecordWindowRect(inner);
    DrawChildren(dc, rect, row, col, style);
    m_bFloatChanged = FALSE;
    return;
  }
  // 1-2. The window's font: the cell's at the grid's zoom, upright.
  HideWindowPart();
  LOGFONT lf{};
  style.GetFont().GetLogFontZoomed(lf, m_pGrid->GetZoom());
  lf.lfOrientation = lf.lfEscapement = 0;
  m_pFont = std::make_unique<CFont>();
  m_pFont->CreateFontIndirect(&lf);
  const CGXProperties* props = m_pGrid->GetProperties();
  const BOOL blackAndWhite = props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting());
  m_rgbBack = blackAndWhite ? RGB(255, 255, 255) : style.GetInterior().GetColor();
  // 3. Its metrics.
  {
    CFont* old = dc->SelectObject(m_pFont.get());
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    m_nLineHeight = tm.tmHeight + tm.tmExternalLeading;
    m_nMaxCharWidth = tm.tmMaxCharWidth;
    if (old) dc->SelectObject(old);
  }
  // 4-5. The window's rectangle: one line placed by the vertical alignment unless the text wraps.
  m_bWrap = style.IsIncluded(GX_IN_WRAPTEXT) && style.GetWrapText();
  CRect window = inner;
  const UINT vertical = style.IsIncluded(GX_IN_VERTALIGN) ? style.GetVerticalAlignment() : GX_DT_TOP;
  if (!m_bWrap) {
    if (vertical == GX_DT_VCENTER)
      window.top += std::max<LONG>(0, (window.Height() - m_nLineHeight) / 2);
    else if (vertical == GX_DT_BOTTOM && window.bottom - m_nLineHeight >= window.top)
      window.top = window.bottom - m_nLineHeight;
    window.bottom = std::min<LONG>(window.bottom, window.top + m_nLineHeight);
  }
  const UINT horizontal = style.GetHorizontalAlignment();
  m_nDrawAlign = vertical | horizontal;
  if (horizontal == GX_DT_RIGHT) window.right += 1;
  // 6. The cell under the window, the window in place.
  DrawCellBackground(dc, rect, style, FALSE);
  SetFont(m_pFont.get(), FALSE);
  MoveWindow(&window, FALSE);
  m_dwAlignment = horizontal == GX_DT_CENTER ? ES_CENTER : horizontal == GX_DT_RIGHT ? ES_RIGHT : ES_LEFT;
  // 7. The flags of the cell.
  if (style.IsIncluded(GX_IN_VSCROLL)) m_bVertScroll = style.GetVerticalScrollbar();
  if (style.IsIncluded(GX_IN_AUTOSIZE)) m_bAutoSize = style.GetAutoSize();
  m_bAllowEnter = style.IsIncluded(GX_IN_ALLOWENTER) && style.GetAllowEnter();
  m_nRTL = style.HasUserAttribute(GX_IDS_UA_RTLREADING) ? std::atoi(style.GetUserAttributeText(GX_IDS_UA_RTLREADING))
                                                         : 0;
  // 8. Editing, with the focus when the grid had it.
  SetEditingState(TRUE);
  if (!m_hWnd) return;
  if (HWND grid = m_pGrid->GridHwnd(); grid && ::GetFocus() == grid) {
    auto guard = m_pGrid->GuardFocus();
    SetFocus();
  }
  // 9. Limit, showing, read-only.
  m_nMaxLength = style.IsIncluded(GX_IN_MAXLENGTH) ? style.GetMaxLength() : 0;
  LimitText(m_nMaxLength);
  ShowWindow(SW_SHOW);
  if (!m_hWnd) return;
  // The view the user left (a refused store gave the text back): the same first character at the same place.
  ScrollTo(std::exchange(m_scrollBack, {}));
  SetReadOnly(IsCellReadOnly());
  // 10. A cell partly under the frozen rows or columns shows only the part the grid draws.
  if (gx::ShowOnlyDrawnPart(m_pGrid, this, dc, row, col, window)) ::HideCaret(m_hWnd);
  // 11.
  CEdit::UpdateWindow();
  DrawChildren(dc, rect, row, col, style);
  RecordWindowRect(window);
}

// ---- Keys and characters on an inactive cell --------------------------------------------------------------

BOOL CGXEditControl::ActivateWithCaret(int caret) {
  if (!StartEditing()) return FALSE;
  const int at = caret < 0 ? WindowText().GetLength() : caret;
  SetSel(at, at);
  return TRUE;
}

void CGXEditControl::ShowCellAfterKey() {
  UpdateEditWindow();
  CGXTextWindowCell::ShowCellAfterKey();
}

void CGXEditControl::EditEmptyText() {
  SetEditingState(TRUE);
  SetModifiedState(TRUE);
  SetEditText("");
}

BOOL CGXEditControl::OnCharInCell(UINT ch, UINT repeat, UINT flags) {
  if (ch < 0x20 || ch == 0x7F) return CGXStatic::OnCharInCell(ch, repeat, flags);
  const char text[2] = {static_cast<char>(ch), 0};
  return OnDbcsCharInCell(text, repeat, flags);
}

BOOL CGXEditControl::OnDbcsCharInCell(const CString& text, UINT, UINT) {
  if (IsCellReadOnly() || !m_hWnd) return FALSE;
  if (!m_bEditing) {
    if (!AcceptsText(text) || !NotifyEditStart()) return TRUE;
    SetEditingState(TRUE);
    SetEditText(text);  // the typed text replaces the cell's
    SetSel(text.GetLength(), text.GetLength());
    HideAndInvalidate();
    return TRUE;
  }
  const CString& result = TextWithSelectionReplaced(text);
  if (AcceptsText(result)) {
    int start = 0, end = 0;
    GetSel(start, end);
    CGXFlagScope inserting(m_bInserting, TRUE);
    ReplaceSelectedText(text);
    SetSel(start + text.GetLength(), start + text.GetLength());
  }
  return TRUE;
}

// ---- Mouse ----------------------------------------------------------------------------------------------

int CGXEditControl::HitCharacter(int x, int y) {
  const CGXStyle& style = GetCachedStyle();
  const CRect inner = ComputeInnerRect(m_nRow, m_nCol);
  CString text;
  GetEditText(text);
  CDC* dc = m_pGrid->GetCachedDC();
  if (!dc) return -1;
  gx::CellFontScope font(m_pGrid, dc, style);
  const BOOL wrap = style.IsIncluded(GX_IN_WRAPTEXT) && style.GetWrapText();
  UINT format = style.GetHorizontalAlignment() | (style.IsIncluded(GX_IN_VERTALIGN) ? style.GetVerticalAlignment() : 0);
  format |= wrap ? DT_WORDBREAK | DT_NOPREFIX : DT_SINGLELINE | DT_NOPREFIX;
  if (m_nRTL > 0) format |= DT_RTLREADING;
  return GetDrawingAndFormatting().HitTestWrappedText(dc, text, text.GetLength(), inner, format, x, y);
}

BOOL CGXEditControl::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  if (m_hWnd && m_bInit) {
    const int at = HitCharacter(x, y);
    const WORD activate = m_pGrid->GetParam() ? m_pGrid->GetParam()->m_wActivateFlags : 1;
    if (!m_bEditing && (((activate & 1) && at >= 0) || (activate & 6)) && NotifyEditStart()) SetEditingState(TRUE);
    if (m_bEditing) {
      if (at >= 0)
        SetSel(at, at);
      else
        SetSel(0, -1);
      if (::GetFocus() != m_hWnd) HideAndInvalidate();
    }
  }
  return CGXStatic::OnLButtonUpInCell(flags, x, y, hit);
}

BOOL CGXEditControl::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  const WORD activate = m_pGrid->GetParam() ? m_pGrid->GetParam()->m_wActivateFlags : 1;
  if (m_hWnd && m_bInit && !m_bEditing && (activate & 8) && NotifyEditStart()) {
    const int at = HitCharacter(x, y);
    SetEditingState(TRUE);
    SetSel(std::max(at, 0), std::max(at, 0));
    HideAndInvalidate();
  }
  return CGXStatic::OnLButtonDblClkInCell(flags, x, y);
}

// ---- Find and replace -----------------------------------------------------------------------------------

void CGXEditControl::GetSelectionText(CString& out) {
  if (m_bEditing && m_hWnd) {
    int start = 0, end = 0;
    GetSel(start, end);
    const CString text = WindowText();
    if (end < 0 || end > text.GetLength()) end = text.GetLength();
    start = std::clamp(start, 0, end);
    out = text.Mid(start, end - start);
    return;
  }
  GetEditText(out);
}

void CGXEditControl::ReplaceSelectedText(LPCTSTR text) {
  if (!m_bEditing || !m_hWnd) {
    CGXStatic::ReplaceSelectedText(text);
    return;
  }
  if (IsCellReadOnly()) return;
  // A replacement that would pass the window's limit (the cell's maximum length) is refused whole and says so,
  // rather than cut by the window without a word. The length comes from the window's and the selection's: a key
  // typed into a long text costs no copy of it.
  const UINT limit = GetLimitText();
  const size_t added = text ? std::strlen(text) : 0;
  if (limit > 0 && LengthWithSelectionReplaced(added) > limit) {
    RefuseReplacement();
    return;
  }
  SetModifiedState(TRUE);
  ReplaceSel(text ? text : "");
}

BOOL CGXEditControl::FindInCell(DWORD_PTR requestArg, DWORD_PTR rowArg, DWORD_PTR colArg, DWORD_PTR atCurrent,
                                DWORD_PTR select) {
  const auto* request = reinterpret_cast<const CGXFindReplaceState*>(requestArg);
  if (!request || request->m_strFind.IsEmpty()) return FALSE;
  const ROWCOL row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  const BOOL here = IsEditedCell(row, col) && m_hWnd;
  // Find Next leaves the current cell out unless it is being edited, where it goes on after the selection:
  // its editing ends when the focus moves into the find dialog, and searching it from its start again
  // would find the same match for ever.
  if (!here && !atCurrent && m_pGrid->MatchesCurrentCell(row, col)) return FALSE;
  const CString text = here ? WindowText() : SearchedCellText(row, col, nullptr);
  int from = 0;
  if (here) {
    int start = 0, end = 0;
    GetSel(start, end);
    if (start != end || start > 0) {
      const int step = start < text.GetLength() && IsDBCSLeadByte(static_cast<BYTE>(text[start])) ? 2 : 1;
      from = atCurrent ? start : start + step;
    }
  }
  const int hit = gx::FindFrom(text, from, request->m_strFind, request->m_bCase);
  if (hit < 0) return FALSE;
  if (!select) return TRUE;
  const int length = request->m_strFind.GetLength();
  if (here) {
    m_pGrid->BringCellIntoView(row, col, GX_UPDATENOW);
    SetSel(hit, hit + length);
    return TRUE;
  }
  if (!m_pGrid->MoveCurrentCellTo(row, col, 0x24)) return FALSE;
  CGXControl* current = m_pGrid->ControlOfCurrentCell();
  if (current != this) return TRUE;
  // The match is selected where the editor's own text holds it: a position found in another text (a formatted
  // number's display text) would select other characters, which a replace would overwrite. Without a match
  // there nothing is selected and the answer is FALSE, so that no replace follows.
  const int at = gx::FindFrom(WindowText(), 0, request->m_strFind, request->m_bCase);
  if (at < 0) return FALSE;
  SetEditingState(TRUE);
  SetSel(at, at + length);
  HideAndInvalidate();
  return TRUE;
}

// Decision: the replaced text is built whole, whatever its length (no fixed buffer that a long result
// would overrun or cut).
BOOL CGXEditControl::ReplaceInCell(DWORD_PTR request, DWORD_PTR rowArg, DWORD_PTR colArg) {
  return StoreReplacedCellText(request, static_cast<ROWCOL>(rowArg), static_cast<ROWCOL>(colArg),
                               [&](CString& out, int& start) {
                                 out = WindowText();
                                 int end = 0;
                                 GetSel(start, end);
                               });
}

BOOL CGXEditControl::StoreReplacedValue(ROWCOL row, ROWCOL col, const CString& text, const CGXStyle& style,
                                        BOOL storeUnder) {
  CString number = text;
  double value = 0;
  if (!ParseNumber(number, style, value)) return CGXStatic::StoreReplacedValue(row, col, text, style, storeUnder);
  return StoreTextOrNumber(row, col, text, style, GX_INVALIDATE, FALSE);
}

CString CGXEditControl::JudgedValue(const CString& value, const CGXStyle& style) {
  CString number = value;
  double parsed = 0;
  return ParseNumber(number, style, parsed) ? number : value;
}

// ---- Window part: messages --------------------------------------------------------------------------------

BOOL CGXEditControl::HandleWindowCommand(WPARAM wParam, LPARAM lParam) {
  OnCommand(wParam, lParam);
  return CGXStatic::HandleWindowCommand(wParam, lParam);
}

BOOL CGXEditControl::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == EN_CHANGE && reinterpret_cast<HWND>(lParam) == m_hWnd && m_hWnd) {
    if (!m_bEditing) return TRUE;
    NotifyModified();
    const CGXRange cell(m_nRow, m_nCol);
    m_pGrid->RecalcFloatCells(cell, -1);
    if (m_pGrid->CalcFloatCellsInRange(cell)) {
      m_bFloatChanged = TRUE;
    } else if (m_bAutoSize) {
      CDC* dc = m_pGrid->GetCachedDC();
      const CGXStyle& style = GetCachedStyle();
      CGXStyle withText = style;
      withText.SetValue(WindowText());
      const BOOL wrap = style.IsIncluded(GX_IN_WRAPTEXT) && style.GetWrapText();
      const CSize need = dc ? ComputeCellSize(dc, m_nRow, m_nCol, withText, nullptr, wrap) : CSize(0, 0);
      if (wrap && need.cy > m_pGrid->GetRowHeight(m_nRow))
        m_pGrid->SetRowHeight(m_nRow, m_nRow, need.cy);
      else if (!wrap && need.cx > m_pGrid->GetColWidth(m_nCol))
        m_pGrid->SetColWidth(m_nCol, m_nCol, need.cx);
      LineScroll(255, 0);
    }
    return TRUE;
  }
  return CEdit::OnCommand(wParam, lParam);
}

LRESULT CGXEditControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT repeat = LOWORD(lParam), flags = HIWORD(lParam);
  const UINT ch = static_cast<UINT>(wParam);
  if (m_bDestroying) return CEdit::WindowProc(message, wParam, lParam);
  switch (message) {
    case WM_GETDLGCODE: return CEdit::WindowProc(message, wParam, lParam) | 0x83;
    case WM_KEYDOWN: OnKeyDown(ch, repeat, flags); return 0;
    case WM_CHAR: OnChar(ch, repeat, flags); return 0;
    case WM_KEYUP: OnKeyUp(ch, repeat, flags); return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
      if (ToGrid(message, ch, repeat, flags)) return 0;
      return CEdit::WindowProc(message, wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_SHOWWINDOW: {
      if (wParam) UpdateEditWindow();
      return m_hWnd ? CEdit::WindowProc(message, wParam, lParam) : 0;
    }
    case WM_SETFOCUS: {
      const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
      UpdateEditWindow();
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
      OnKillFocus(reinterpret_cast<HWND>(wParam));
      return r;
    }
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))); return 0;
    case WM_STYLECHANGED: {
      const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
      OnStyleChanged(static_cast<int>(wParam), reinterpret_cast<const STYLESTRUCT*>(lParam));
      return r;
    }
    case WM_CONTEXTMENU: return 0;
    case WM_IME_STARTCOMPOSITION: CompositionRunning() = TRUE; break;
    case WM_IME_ENDCOMPOSITION: CompositionRunning() = FALSE; break;
    default: break;
  }
  return CEdit::WindowProc(message, wParam, lParam);
}

void CGXEditControl::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  RouteKeyDown(ch, repeat, flags, [&] {
    if (gx::KeyHeld(VK_CONTROL)) return KeyRoute::grid;
    int start = 0, end = 0;
    GetSel(start, end);
    const int length = GetWindowTextLength();
    if (end < 0) end = length;
    const BOOL rtl = m_nRTL > 0;
    BOOL grid = FALSE;
    switch (ch) {
      case VK_UP: grid = LineFromChar(start) == 0; break;
      case VK_DOWN: grid = LineFromChar(end) + 1 >= GetLineCount(); break;
      case VK_LEFT: grid = rtl ? start >= length : end <= 0; break;
      case VK_RIGHT: grid = rtl ? end <= 0 : start >= length; break;
      case VK_RETURN: grid = (GetStyle() & ES_WANTRETURN) == 0; break;
      case VK_TAB:
      case VK_ESCAPE:
      case VK_PRIOR:
      case VK_NEXT: grid = TRUE; break;
      case VK_INSERT:
        if (gx::KeyHeld(VK_SHIFT)) {
          PasteFromClipboard();
          return KeyRoute::done;
        }
        break;
      case VK_DELETE:
        if (start != end && gx::KeyHeld(VK_SHIFT)) {
          CutToClipboard();
          return KeyRoute::done;
        }
        break;
      default: grid = ch >= VK_F1 && ch <= 0x87; break;
    }
    return grid ? KeyRoute::grid : KeyRoute::window;
  });
}

void CGXEditControl::OnKeyUp(UINT ch, UINT repeat, UINT flags) {
  if (ToGrid(WM_KEYUP, ch, repeat, flags)) return;
  DefWindowProc(WM_KEYUP, ch, MAKELPARAM(repeat, flags));
  if (ch != VK_SHIFT && ch != VK_HOME && ch != VK_END && ch != VK_DOWN && ch != VK_UP) UpdateEditWindow();
}

BOOL CGXEditControl::FilterChar(UINT ch, UINT repeat, UINT flags) {
  (void)flags;
  auto refuse = [&] {
    m_strPending.Empty();
    return FALSE;
  };
  if (!m_bInit || !m_bEditing) return refuse();
  if ((IsCellReadOnly() || (GetStyle() & ES_READONLY)) && ch != 3) return refuse();
  if (ch != VK_BACK && repeat == 0 && !GetSystemMetrics(SM_PENWINDOWS)) return refuse();
  m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW);
  if (!m_bInserting) m_strPending.Empty();
  if (gx::KeyHeld(VK_CONTROL)) {
    // Decision: copy and cut leave the clipboard alone when nothing is selected; the copy itself empties
    // it when it sets the text.
    switch (ch) {
      case 3: CopyToClipboard(); return FALSE;
      case 0x16: PasteFromClipboard(); return FALSE;
      case 0x18: CutToClipboard(); return FALSE;
      case '\r':
      case '\n':
        if ((GetStyle() & ES_WANTRETURN) && m_bWrap) m_strPending = "\r\n";
        break;
      default: return TRUE;
    }
  } else {
    CString text;
    switch (ComposeDbcsChar(m_bCharLeadPending, m_cCharLead, ch, text)) {
      case GXComposedChar::single:
        if (ch < 0x20) return TRUE;
        m_strPending = CString(static_cast<char>(ch), 1);
        break;
      case GXComposedChar::held:
        // A Korean input method finishes its characters itself.
        return PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == 0x12;
      case GXComposedChar::pair: m_strPending = text; break;
    }
  }
  if (m_strPending.IsEmpty()) return FALSE;
  const CString& result = TextWithSelectionReplaced(m_strPending);
  const UINT limit = GetLimitText();
  if (limit > 0 && static_cast<UINT>(result.GetLength()) > limit) return refuse();
  if (!AcceptsText(result)) {
    OnCellNotify(reinterpret_cast<DWORD_PTR>(static_cast<LPCTSTR>(m_strPending)));
    return refuse();
  }
  return FALSE;
}

void CGXEditControl::OnChar(UINT ch, UINT repeat, UINT flags) {
  m_bFloatChanged = FALSE;
  if (FilterChar(ch, repeat, flags)) {
    DefWindowProc(WM_CHAR, ch, MAKELPARAM(repeat, flags));
    if (m_hWnd) ToGrid(WM_CHAR, ch, repeat, flags);
    return;
  }
  if (m_strPending.IsEmpty() || !m_hWnd) return;
  const CString pending = m_strPending;
  int start = 0, end = 0;
  GetSel(start, end);
  {
    CGXFlagScope inserting(m_bInserting, TRUE);
    ReplaceSelectedText(pending);
  }
  m_strPending.Empty();
  if (!m_hWnd) return;
  SetSel(start + pending.GetLength(), start + pending.GetLength());
  if (m_bFloatChanged) m_pGrid->UpdateWindow();
}

BOOL CGXEditControl::OnEraseBkgnd(CDC* dc) {
  EraseWindowBackground(*this, dc);
  return TRUE;
}

void CGXEditControl::OnKillFocus(HWND newFocus) {
  if (newFocus == m_pGrid->GridHwnd() || m_pGrid->IsFocusGuarded()) return;
  ForwardKillFocusToGrid(newFocus ? CWnd::FromHandle(newFocus) : nullptr);
}

void CGXEditControl::OnLButtonDown(UINT flags, CPoint pt) {
  const BOOL wasVisible = IsWindowVisible();
  DefWindowProc(WM_LBUTTONDOWN, flags, MAKELPARAM(pt.x, pt.y));
  if (!m_hWnd) return;
  if (!wasVisible) {
    SetEditingState(TRUE);
    HideAndInvalidate();
  }
}

void CGXEditControl::OnStyleChanged(int which, const STYLESTRUCT* styles) {
  if (!m_bEditing || !styles || !m_bInit) return;
  CGXStyle change;
  BOOL changed = FALSE;
  const DWORD diff = styles->styleOld ^ styles->styleNew;
  if (which == GWL_STYLE && (diff & (ES_CENTER | ES_RIGHT))) {
    change.SetHorizontalAlignment((styles->styleNew & ES_RIGHT) ? GX_DT_RIGHT : GX_DT_LEFT);
    changed = TRUE;
  }
  if (which == GWL_EXSTYLE && (diff & WS_EX_RTLREADING)) {
    change.SetUserAttribute(GX_IDS_UA_RTLREADING, (styles->styleNew & WS_EX_RTLREADING) ? "1" : "0");
    changed = TRUE;
  }
  if (changed) StoreStyle(m_nRow, m_nCol, &change, gxOverride, 0, nullptr);
}
