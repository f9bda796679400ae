#include "grid/controls/CGXListBox.h"

#include <algorithm>

#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/gxkeys.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXListBox, CListBox)

const CGXControlClass CGXListBox::gxClassCGXListBox = {"CGXListBox", &CGXControl::classCGXControl};

CGXListBox::CGXListBox(CGXGridCore* grid, UINT id) : CGXWindowCell(grid), m_nID(id) {}

CGXListBox::~CGXListBox() {
  m_bDestroying = TRUE;
  if (m_hWnd) DestroyWindow();
  m_pFont.reset();
}

CRuntimeClass* CGXListBox::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXListBox); }

BOOL CGXListBox::IsGridKey(UINT ch) {
  if (gx::KeyHeld(VK_CONTROL)) return TRUE;
  switch (ch) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_DELETE: return TRUE;
    default: return ch >= VK_F1 && ch <= 0x87;  // F1 to F24
  }
}

// ---- Window part ----------------------------------------------------------------------------------------------

BOOL CGXListBox::CreateListWindow() {
  CWnd* grid = GetGridWnd();
  return grid && CreateEx(0, "LISTBOX", nullptr, GX_LISTBOX_STYLE | WS_CHILD, CRect(0, 0, 0, 0), grid, m_nID);
}

int CGXListBox::MatchingLine(const CString& text) const {
  if (text.IsEmpty() || !m_hWnd) return -1;
  CString line;
  for (int i = 0, n = GetCount(); i < n; ++i) {
    GetText(i, line);
    if (line == text) return i;
  }
  return FindString(-1, text);
}

void CGXListBox::FillListWindow() {
  if (!m_hWnd || !m_bInit) return;
  CString keep;
  const int selected = GetCurSel();
  if (m_bModified && selected >= 0) GetText(selected, keep);
  const CGXStyle& style = GetCachedStyle();
  ResetContent();
  if (style.IsIncluded(GX_IN_CHOICELIST))
    for (const CString& line : SplitChoiceList(style.GetChoiceList())) AddString(line);
  if (keep.IsEmpty()) GetDisplayText(keep, m_nRow, m_nCol, nullptr, style);
  SetCurSel(MatchingLine(keep));
}

BOOL CGXListBox::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd || reinterpret_cast<HWND>(lParam) != m_hWnd || HIWORD(wParam) != LBN_SELCHANGE || !m_bInit)
    return FALSE;
  if (IsCellReadOnly()) {
    // The user's change is put back: a read-only cell keeps its line.
    m_bModified = FALSE;
    FillListWindow();
    return FALSE;
  }
  m_bModified = TRUE;
  NotifyModified();
  return FALSE;
}

BOOL CGXListBox::HandleWindowCommand(WPARAM wParam, LPARAM lParam) {
  OnCommand(wParam, lParam);
  return CGXControl::HandleWindowCommand(wParam, lParam);
}

// ---- States and binding -----------------------------------------------------------------------------------------

void CGXListBox::InitForCell(ROWCOL row, ROWCOL col) {
  CGXControl::InitForCell(row, col);
  if (!m_hWnd) CreateListWindow();
  DropCachedStyle();
  GetCachedStyle();
  m_bModified = FALSE;
  FillListWindow();
}

// Decision: only a user's selection modifies the list, so a cell whose value is no line keeps its value
// when it is activated and left.
BOOL CGXListBox::StoreValue() {
  if (IsCellReadOnly()) {
    InitForCell(m_nRow, m_nCol);
    m_bModified = FALSE;
    HideAndInvalidate();
    return TRUE;
  }
  if (!m_pCachedStyle || !m_bModified) return TRUE;
  CString text;
  const int selected = m_hWnd ? GetCurSel() : -1;
  if (selected >= 0) GetText(selected, text);
  return m_pGrid->SetCellValue(m_nRow, m_nCol, text, GX_INVALIDATE);
}

// ---- Values -----------------------------------------------------------------------------------------------------

void CGXListBox::GetEditText(CString& out) const {
  if (!m_bEditing || !m_hWnd) {
    CGXControl::GetEditText(out);
    return;
  }
  out.Empty();
  const int selected = GetCurSel();
  if (selected >= 0) GetText(selected, out);
}

void CGXListBox::SetEditText(const CString& text) {
  if (!m_bInit || !m_hWnd) return;
  if (!m_bEditing) SetEditingState(TRUE);
  if (!AcceptsText(text)) return;
  const int line = MatchingLine(text);
  if (line < 0) return;
  SetCurSel(line);
  m_bModified = TRUE;
  NotifyModified();
}

BOOL CGXListBox::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  if (!style.IsIncluded(GX_IN_CHOICELIST)) return TRUE;
  return TakeChoice(text, style, -1);
}

BOOL CGXListBox::CanPasteText(const CString& text) {
  CString value = text;
  if (ConvertTextForCell(value, m_nRow, m_nCol, GetCachedStyle())) return TRUE;
  return RefusePaste(gx::LoadGridString(GX_IDS_PASTE_NO_VALUE));
}

BOOL CGXListBox::PasteFromClipboard() {
  return PasteShowingRefusal([this] { return CGXControl::PasteFromClipboard(); });
}

// ---- Geometry ---------------------------------------------------------------------------------------------------

CRect CGXListBox::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  return InsetByTextMargin(CGXControl::ComputeInnerRect(cell, style));
}

CSize CGXListBox::AddBordersToSize(CSize size, const CGXStyle& style) const {
  return CGXControl::AddBordersToSize(AddTextMargin(size), style);
}

CSize CGXListBox::ComputeCellSize(CDC* dc, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle*, BOOL) {
  CSize size(0, 0);
  if (dc && style.IsIncluded(GX_IN_CHOICELIST)) {
    gx::CellFontScope font(m_pGrid, dc, style);
    for (const CString& line : SplitChoiceList(style.GetChoiceList())) {
      const CSize extent = dc->GetTextExtent(line);
      size.cx = std::max(size.cx, extent.cx);
      size.cy += extent.cy;
    }
  }
  return AddBordersToSize(CSize(size.cx + 4, size.cy + 4), style);
}

// ---- Drawing ----------------------------------------------------------------------------------------------------

void CGXListBox::DrawInactiveLines(CDC* dc, const CRect& rect, const CGXStyle& style) {
  if (rect.Width() < 2 || rect.Height() < 2) return;
  gx::CellFontScope font(m_pGrid, dc, style);
  const CGXProperties* props = m_pGrid->GetProperties();
  const BOOL blackAndWhite = props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting());
  gx::TextLookScope look(dc, blackAndWhite ? RGB(0, 0, 0) : style.GetTextColor(), TRANSPARENT);
  const COLORREF oldBack = dc->SetBkColor(blackAndWhite ? RGB(255, 255, 255) : style.GetInterior().GetColor());
  DrawCellBackground(dc, rect, style, FALSE);
  if (style.IsIncluded(GX_IN_CHOICELIST)) {
    const CRect inner = ComputeInnerRect(rect, style);
    const int height = std::max(1, gx::LineHeight(dc));
    const std::vector<CString> lines = SplitChoiceList(style.GetChoiceList());
    const CString value = style.GetIncludeValue() ? style.GetValue() : CString();
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const CString& l) { return l == value; });
    const int valueLine = found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
    // The lines whose bottom would pass the cell's bottom, up to the value's: skipped, so that the value's
    // line is the last one seen.
    const int fitting = std::max(1, rect.Height() / height);
    const int skip = std::max(0, valueLine + 1 - fitting);
    const UINT format = style.GetHorizontalAlignment() | style.GetVerticalAlignment() | DT_SINGLELINE;
    for (int i = skip, at = 0; i < static_cast<int>(lines.size()); ++i, ++at) {
      const CRect line(inner.left + 2, at == 0 ? inner.top : rect.top + at * height, inner.right,
                       rect.top + (at + 1) * height);
      if (line.bottom > rect.bottom) break;
      CRect text = line;
      dc->DrawText(lines[static_cast<size_t>(i)], &text, format);
      if (i == valueLine) dc->InvertRect(&line);
    }
  }
  dc->SetBkColor(oldBack);
}

void CGXListBox::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                          const CGXStyle* standard) {
  (void)standard;
  if (!IsEditedCell(row, col) || !m_hWnd || m_pGrid->m_bDrawAllCellsInactive || m_pGrid->IsPrinting()) {
    if (rect.Width() < 2 || rect.Height() < 2) return;
    DrawInactiveLines(dc, rect, style);
    DrawChildren(dc, rect, row, col, style);
    return;
  }
  // 1. The cell being edited: the list over it.
  HideWindowPart();
  // 2. Font at the grid's zoom (the window's background is the cached style's interior, see WM_ERASEBKGND).
  LOGFONT lf{};
  style.GetFont().GetLogFontZoomed(lf, m_pGrid->GetZoom());
  auto font = std::make_unique<CFont>();
  font->CreateFontIndirect(&lf);
  // 3. Background and the window's rectangle.
  DrawCellBackground(dc, rect, style, FALSE);
  CRect window = ComputeInnerRect(rect, style);
  if ((style.GetHorizontalAlignment() | style.GetVerticalAlignment()) & 2) window.right += 1;
  // 4. Placed, given the font (the old one goes after the window let it go), filled and shown.
  MoveWindow(&window, FALSE);
  SetFont(font.get(), TRUE);
  m_pFont = std::move(font);
  SetEditingState(TRUE);
  FillListWindow();
  MoveWindow(&window, FALSE);
  ShowWindow(SW_SHOW);
  // 5. Only the part the grid draws when the cell lies partly under the frozen cells.
  gx::ShowOnlyDrawnPart(m_pGrid, this, dc, row, col, window);
  // 6.
  CListBox::UpdateWindow();
  if (HWND grid = m_pGrid->GridHwnd(); grid && ::GetFocus() == grid) {
    auto guard = m_pGrid->GuardFocus();
    SetFocus();
  }
  RecordWindowRect(window);
  DrawChildren(dc, rect, row, col, style);
}

void CGXListBox::HideWindowPart() {
  if (!m_hWnd || !IsWindowVisible()) return;
  auto guard = m_pGrid->GuardFocus();
  ::HideCaret(m_hWnd);
  const BOOL hadFocus = ::GetFocus() == m_hWnd;
  MoveWindow(0, 0, 0, 0, FALSE);
  ShowWindow(SW_HIDE);
  if (hadFocus) ::SetFocus(m_pGrid->GridHwnd());
}

// ---- Activation -------------------------------------------------------------------------------------------------

void CGXListBox::ActivateWithClick(UINT flags, int x, int y) {
  SetEditingState(TRUE);
  HideAndInvalidate();
  m_pGrid->UpdateWindow();  // the paint places the window before the posted click reaches it
  const CRect inner = ComputeInnerRect(m_nRow, m_nCol);
  const LPARAM at = MAKELPARAM(x - inner.left, y - inner.top);
  PostMessage(WM_LBUTTONDOWN, flags | MK_LBUTTON, at);
  PostMessage(WM_LBUTTONUP, flags & ~static_cast<UINT>(MK_LBUTTON), at);
}

BOOL CGXListBox::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  const CGXGridParam* param = m_pGrid->GetParam();
  if ((flags & MK_RBUTTON) || !param || !(param->m_wActivateFlags & 7) || !m_hWnd) return TRUE;
  if (!NotifyEditStart()) return TRUE;
  ActivateWithClick(flags, x, y);
  CGXControl::OnLButtonUpInCell(flags, x, y, hit);
  return TRUE;
}

BOOL CGXListBox::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  const CGXGridParam* param = m_pGrid->GetParam();
  if (m_bEditing || !m_hWnd || !param || !(param->m_wActivateFlags & 8))
    return CGXControl::OnLButtonDblClkInCell(flags, x, y);
  if (NotifyEditStart()) ActivateWithClick(flags, x, y);
  CGXControl::OnLButtonDblClkInCell(flags, x, y);
  return TRUE;
}

// Decision: the keys the list would hand to the grid (and the modifier keys alone) reach the grid from an
// inactive cell as well, so Tab, Enter, Escape and Ctrl shortcuts keep their meaning; the other keys
// activate the list.
BOOL CGXListBox::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  // The character of the key that started editing reaches the grid, which had the focus: it is the list's
  // (a line's first letter selects it), as the characters typed after it are.
  if (message == WM_CHAR && m_bEditing && m_hWnd && ch >= 0x20 && !gx::KeyHeld(VK_CONTROL)) {
    CListBox::WindowProc(WM_CHAR, ch, MAKELPARAM(repeat, flags));
    return TRUE;
  }
  if (message != WM_KEYDOWN || !m_hWnd || IsGridKey(ch) || ch == VK_SHIFT || ch == VK_CONTROL || ch == VK_MENU)
    return FALSE;
  if (!NotifyEditStart()) return FALSE;
  SetEditingState(TRUE);
  CGXControl::OnKeyMessage(message, ch, repeat, flags);
  if (!m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW)) HideAndInvalidate();
  return TRUE;
}

BOOL CGXListBox::ProcessListKey(UINT ch, UINT repeat, UINT flags) {
  if (m_bInit) m_pGrid->BringCellIntoView(m_nRow, m_nCol, GX_UPDATENOW);
  if (!IsGridKey(ch)) return FALSE;
  ToGrid(WM_KEYDOWN, ch, repeat, flags);
  return TRUE;
}

LRESULT CGXListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_bDestroying) return CListBox::WindowProc(message, wParam, lParam);
  const UINT ch = static_cast<UINT>(wParam), repeat = LOWORD(lParam), flags = HIWORD(lParam);
  switch (message) {
    case WM_GETDLGCODE: return CListBox::WindowProc(message, wParam, lParam) | 0x83;
    case WM_ERASEBKGND: EraseWindowBackground(*this, CDC::FromHandle(reinterpret_cast<HDC>(wParam))); return TRUE;
    case WM_KEYDOWN:
      if (ProcessListKey(ch, repeat, flags)) return 0;
      break;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      if (ToGrid(message, ch, repeat, flags)) return 0;
      break;
    case WM_KILLFOCUS: {
      const LRESULT r = CListBox::WindowProc(message, wParam, lParam);
      if (m_hWnd && !m_pGrid->IsFocusGuarded()) {
        const HWND to = reinterpret_cast<HWND>(wParam);
        ForwardKillFocusToGrid(to ? CWnd::FromHandle(to) : nullptr);
      }
      return r;
    }
    default: break;
  }
  return CListBox::WindowProc(message, wParam, lParam);
}
