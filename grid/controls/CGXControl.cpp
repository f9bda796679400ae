#include "grid/controls/CGXControl.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>
#include <typeinfo>

#include "grid/controls/GXCellNumbers.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/CGXUserAttributeMap.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CSharedFile.h"
#include "platform/base/CodePage.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/StringApi.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"
#include "platform/gdi/CDC.h"

const CGXControlClass CGXControl::classCGXControl = {"CGXControl", nullptr};

namespace {

constexpr WORD kSpinEditId = 52519, kCheckBox3dId = 52523;

}  // namespace

CGXControl::CGXControl(CGXGridCore* grid) : m_pGrid(grid) {}

CGXControl::~CGXControl() = default;

BOOL CGXControl::IsKindOfControl(const CGXControlClass* cls) const {
  for (const CGXControlClass* c = GetControlClass(); c; c = c->base)
    if (c == cls || std::strcmp(c->name, cls->name) == 0) return TRUE;
  return FALSE;
}

BOOL CGXControl::IsWindowKindOf(const CRuntimeClass* cls) {
  CWnd* wnd = GetWindowPart();
  return wnd && cls && wnd->IsKindOf(cls);
}

CWnd* CGXControl::GetGridWnd() const { return m_pGrid->GridWnd(); }

void CGXControl::ForwardKillFocusToGrid(CWnd* focus) {
  HWND grid = m_pGrid->GridHwnd();
  HWND window = focus ? focus->m_hWnd : nullptr;
  if (!grid || window == grid) return;
  ::SendMessage(grid, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
}

// ---- Binding --------------------------------------------------------------------------------------------

void CGXControl::InitForCell(ROWCOL row, ROWCOL col) {
  m_nRow = row;
  m_nCol = col;
  m_bInit = TRUE;
  SetEditingState(FALSE);
  SetModifiedState(FALSE);
  m_pCachedStyle.reset();
  m_pActiveChild = nullptr;
  if (GetChildCount() > 0) LayOutChildren(row, col, ComputeInnerRect(row, col));
  m_pGrid->OnControlInitialized(row, col);
  // Activation flag 4: a cell's control edits as soon as it is bound.
  const CGXGridParam* param = m_pGrid->GetParam();
  if (param && (param->m_wActivateFlags & 4) && NotifyEditStart()) SetEditingState(TRUE);
}

void CGXControl::RedrawIfChanged() {
  // A changed cell is drawn again without the editor (and its floating neighbours recalculated).
  if (m_bInit && (GetModifiedState() || GetEditingState())) {
    m_pGrid->RecalcFloatCells(CGXRange(m_nRow, m_nCol), -1);
    m_pGrid->RedrawCell(m_nRow, m_nCol, GX_INVALIDATE);
  }
  HideWindowPart();
  SetModifiedState(FALSE);
  SetEditingState(FALSE);
  m_pCachedStyle.reset();
  m_bInit = FALSE;
}

// ---- Notifications ---------------------------------------------------------------------------------------

BOOL CGXControl::ValidateValue() {
  if (GetEditingState() && GetModifiedState()) {
    CString text;
    GetEditText(text);
    if (!text.IsEmpty()) {
      // The bounds and the maximum length judge the text as the cell's rule takes it (a currency cell's amount, a
      // mask's data, a rich edit cell's document), as the value the edit stores, not as its window shows it: the
      // window holds as many characters as the maximum length of what it shows, and "1e5" typed in a number cell
      // is stored as 100000.
      const CGXStyle& style = GetCachedStyle();
      CString value = text;
      if (!ConvertTextForCell(value, m_nRow, m_nCol, style)) value = text;
      const UINT limit = style.IsIncluded(GX_IN_MAXLENGTH) ? style.GetMaxLength() : 0;
      if (limit > 0 && WarnIfTooLong(m_pGrid, JudgedValue(value, style).GetLength(), limit, GX_IDS_TYPED_TOO_LONG))
        return FALSE;
      if (BreaksBounds(value, style)) return FALSE;
      if (!AcceptsText(text)) return FALSE;
    }
  }
  return m_pGrid->ValidateCell(m_nRow, m_nCol);
}

CGXControl::CellBounds CGXControl::CellBounds::Of(const CGXStyle& style) {
  CellBounds b;
  const CGXUserAttributeMap* map = style.GetUserAttributeMap();
  if (!map) return b;
  // A bound set as a number is read as one; a text reads as its leading decimal number (else 0).
  auto read = [map](WORD id, double& bound) {
    const CGXAbstractUserAttribute* a = map->GetAttribute(id);
    if (!a) return false;
    if (typeid(*a) == typeid(CGXUserAttribute)) {  // (not a cast, which would cost more than the check)
      const auto kind = static_cast<const CGXUserAttribute*>(a)->GetKind();
      if (kind == CGXUserAttribute::empty) return false;
      if (kind == CGXUserAttribute::dword || kind == CGXUserAttribute::long32 || kind == CGXUserAttribute::number) {
        bound = a->GetDoubleValue();
        return true;
      }
    }
    const CString text = a->GetValue();
    if (text.IsEmpty()) return false;
    bound = gx::DecimalNumber(text);
    return true;
  };
  b.hasMin = read(GX_IDS_UA_VALID_MIN, b.min);
  b.hasMax = read(GX_IDS_UA_VALID_MAX, b.max);
  return b;
}

BOOL CGXControl::BreaksBounds(const CString& value, const CGXStyle& style) {
  if (value.IsEmpty()) return FALSE;
  const CellBounds b = CellBounds::Of(style);
  if (!b.Any()) return FALSE;  // a cell without bounds reads nothing as a number
  // Decision: with a bound set, a text that is not a decimal number ("nan", "inf", "0x20", "12abc") is
  // refused like a value out of range; reading it as 0 would let text that is no number at all pass a
  // bound that includes 0.
  bool number = false;
  const double n = gx::DecimalNumber(JudgedValue(value, style), &number);
  if (number && (!b.hasMin || n >= b.min) && (!b.hasMax || n <= b.max)) return FALSE;
  CString message = style.GetUserAttributeText(GX_IDS_UA_VALID_MSG);
  if (message.IsEmpty()) {
    const CString low = gx::NumberAttributeText(style, GX_IDS_UA_VALID_MIN);
    const CString high = gx::NumberAttributeText(style, GX_IDS_UA_VALID_MAX);
    if (b.hasMin && b.hasMax)
      message.Format(gx::LoadGridString(GX_IDS_BOUNDS_BETWEEN), low.GetString(), high.GetString());
    else if (b.hasMin)
      message.Format(gx::LoadGridString(GX_IDS_BOUNDS_AT_LEAST), low.GetString());
    else
      message.Format(gx::LoadGridString(GX_IDS_BOUNDS_AT_MOST), high.GetString());
  }
  m_pGrid->SetWarningText(message);
  return TRUE;
}

BOOL CGXControl::NotifyEditStart() {
  if (!m_bInit || !m_pGrid->OnStartEditing(m_nRow, m_nCol)) return FALSE;
  if (!m_pGrid->m_bDoNotBringIntoView) m_pGrid->BringCellIntoView(m_nRow, m_nCol, 2, TRUE);
  return TRUE;
}

BOOL CGXControl::NotifyModified() {
  if (!GetModifiedState()) return FALSE;
  return m_pGrid->NotifyCellModified(m_nRow, m_nCol);
}

BOOL CGXControl::NotifyEditEnd() {
  if (!m_pGrid->OnEndEditing(m_nRow, m_nCol)) return FALSE;
  m_pGrid->RecalcFloatCells(CGXRange(m_nRow, m_nCol), -1);
  return TRUE;
}

void CGXControl::NotifyEditCancel() {
  m_pGrid->OnCanceledEditing(m_nRow, m_nCol);
  m_pGrid->CalcFloatCellsInRange(CGXRange(m_nRow, m_nCol));
}

BOOL CGXControl::NotifyStored() { return m_pGrid->OnCellStored(m_nRow, m_nCol); }

BOOL CGXControl::NotifyLeaveCell(ROWCOL newRow, ROWCOL newCol) {
  return m_pGrid->OnLeftCell(m_nRow, m_nCol, newRow, newCol);
}

BOOL CGXControl::NotifyDelete() { return m_pGrid->OnDeleteCell(m_nRow, m_nCol); }

BOOL CGXControl::AskGridFirstHook() { return m_pGrid->OnControlFirstHook(m_nRow, m_nCol); }

BOOL CGXControl::AskGridSecondHook() { return m_pGrid->OnControlSecondHook(m_nRow, m_nCol); }

CFont* CGXControl::SelectCellFont(CDC* dc, const CGXStyle& style, const CGXStyle* previous) {
  return m_pGrid->SelectStyleFont(dc, style, previous);
}

void CGXControl::RecordWindowRect(const CRect& rect) { m_pGrid->RecordWindowRect(rect); }

// ---- Geometry --------------------------------------------------------------------------------------------

CRect CGXControl::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect inner;
  m_pGrid->SubtractBorders(&inner, cell, style, TRUE);
  return inner;
}

CRect CGXControl::ComputeInnerRect(ROWCOL row, ROWCOL col, const CRect* cell, const CGXStyle* style) {
  CGXStyle composed;
  if (!style) {
    m_pGrid->ComposeCellStyle(row, col, composed, TRUE);
    style = &composed;
  }
  CRect rect;
  if (cell) {
    rect = *cell;
  } else {
    CGXRange covered(row, col);
    m_pGrid->GetCoveredCellsRowCol(row, col, covered);
    rect = m_pGrid->CalcRangeRect(covered.top, covered.left, covered.bottom, covered.right);
  }
  CRect inner = ComputeInnerRect(rect, *style);
  // At the edge of the frozen part the grid draws its frozen line over the cell's last pixel.
  // (Each correction is tied to the other direction's grid lines, as the grid has always done.)
  if (m_pGrid->GetParam() && m_pGrid->GetParam()->m_bNoInnerRectCorrection) return inner;
  if (m_pGrid->DrawsHorzLines() && col == m_pGrid->GetFrozenCols() && col > m_pGrid->GetHeaderCols() &&
      !style->HasBorder(GX_BORDER_RIGHT))
    inner.right -= 1;
  if (m_pGrid->DrawsVertLines() && row == m_pGrid->GetFrozenRows() && row > m_pGrid->GetHeaderRows() &&
      !style->HasBorder(GX_BORDER_BOTTOM))
    inner.bottom -= 1;
  return inner;
}

CSize CGXControl::AddBordersToSize(CSize size, const CGXStyle& style) const {
  CSize out;
  m_pGrid->AddBorders(&out, size.cx, size.cy, style);
  return out;
}

CSize CGXControl::ComputeCellSize(CDC*, ROWCOL, ROWCOL, const CGXStyle&, const CGXStyle*, BOOL) { return CSize(0, 0); }

BOOL CGXControl::CanFloatText(ROWCOL, ROWCOL, const CGXStyle&, BOOL) { return FALSE; }

BOOL CGXControl::HasValueText(ROWCOL, ROWCOL, const CGXStyle& style, BOOL) {
  return style.GetIncludeValue() && !style.GetValue().IsEmpty();
}

// ---- Drawing ---------------------------------------------------------------------------------------------

void CGXControl::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                          const CGXStyle*) {
  DrawCellBackground(dc, rect, style, FALSE);
  DrawChildren(dc, rect, row, col, style);
}

void CGXControl::DrawChildren(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  if (GetChildCount() == 0) return;
  const CRect inner = ComputeInnerRect(row, col, &rect, &style);
  LayOutChildren(row, col, inner);
  const BOOL active = m_pGrid->MatchesCurrentCell(row, col) && !m_pGrid->IsPrinting() && m_pGrid->m_bHasFocus;
  for (int i = 0; i < GetChildCount(); ++i) GetChildAt(i)->DrawWithStyle(dc, active, style);
}

void CGXControl::DrawCurrentCellFrame(CDC* dc, const CRect& rect) {
  // The parameter object may switch the frame off, leave it to a control whose window is always shown
  // (activation word 4), or draw it only while the grid has the focus (frame mode 2; 0 always).
  if (const CGXGridParam* param = m_pGrid->GetParam()) {
    if (param->m_bNoControlFrame) return;
    if (param->m_wActivateFlags == 4 && GetWindowPart()) return;
    const WORD mode = param->m_wCurrentCellFrameMode;
    if (mode != 0 && mode != 2) return;
    if (mode == 2 && !m_pGrid->m_bHasFocus) return;
  }
  const CGXProperties* props = m_pGrid->GetProperties();
  const CString look = props ? props->GetUserProperty(GX_IDS_UP_CURRENTCELL).GetValue() : CString();
  if (look == "Thin Border." || look == "Thick Border.") {
    const CGXBorderPen pen(PS_SOLID, look == "Thin Border." ? 1 : 2, RGB(0, 0, 0));
    for (int side : {GX_BORDER_TOP, GX_BORDER_BOTTOM, GX_BORDER_LEFT, GX_BORDER_RIGHT})
      m_pGrid->DrawBorderLine(pen, rect, side, dc);
    return;
  }
  if (look == "No Border.") return;
  const int w = look == "Invert Thick." ? 2 : 1;
  // Left and right over the full height, then top and bottom between them: no pixel is inverted twice.
  dc->PatBlt(rect.left, rect.top, w, rect.Height(), DSTINVERT);
  dc->PatBlt(rect.right - w, rect.top, w, rect.Height(), DSTINVERT);
  dc->PatBlt(rect.left + w, rect.top, rect.Width() - 2 * w, w, DSTINVERT);
  dc->PatBlt(rect.left + w, rect.bottom - w, rect.Width() - 2 * w, w, DSTINVERT);
}

void CGXControl::DrawCellBackground(CDC* dc, const CRect& rect, const CGXStyle& style, BOOL force) {
  // Runs of equal interiors were filled by the grid; only a cell that still needs its own background (or
  // any cell when forced) is filled here.
  if (force || m_pGrid->m_bNeedsOwnBackground) {
    const CGXProperties* props = m_pGrid->GetProperties();
    if (props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting()))
      dc->FillSolidRect(&rect, RGB(255, 255, 255));
    else
      m_pGrid->FillWithInterior(dc, rect, style.GetInterior());
  }
  Draw3dFrame(dc, rect, style);
}

void CGXControl::Draw3dFrame(CDC* dc, const CRect& rect, const CGXStyle& style) {
  const CGXProperties* props = m_pGrid->GetProperties();
  if (props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting())) return;
  if (!style.IsIncluded(GX_IN_DRAW3DFRAME)) return;
  const UINT kind = style.GetDraw3dFrame();
  if (kind != 1 && kind != 2) return;
  // The ring just inside the borders: the inner rectangle grown back by the pixel the frame reserves.
  CRect ring;
  m_pGrid->SubtractBorders(&ring, rect, style, TRUE);
  ring.InflateRect(1, 1);
  const COLORREF light = CGXSysColorTable::GetColor(COLOR_BTNHIGHLIGHT), dark = RGB(0, 0, 0);
  GetDrawingAndFormatting().Draw3dFrame(dc, ring.left, ring.top, ring.right - 1, ring.bottom - 1, 1,
                                        kind == 1 ? light : dark, kind == 1 ? dark : light);
}

// ---- Values ----------------------------------------------------------------------------------------------

void CGXControl::GetEditText(CString& out) const {
  if (m_pCachedStyle && m_pCachedStyle->GetIncludeValue()) {
    out = m_pCachedStyle->GetValue();
  } else if (m_bInit) {
    CGXStyle style;
    m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style, TRUE);
    GetDisplayText(out, m_nRow, m_nCol, nullptr, style);
  } else {
    out.Empty();
  }
}

void CGXControl::GetBoundDisplayText(CString& out) const {
  if (!m_bInit) {
    out.Empty();
    return;
  }
  CGXStyle composed;
  const CGXStyle* style = m_pCachedStyle.get();
  if (!style) {
    m_pGrid->ComposeCellStyle(m_nRow, m_nCol, composed, TRUE);
    style = &composed;
  }
  GetDisplayText(out, m_nRow, m_nCol, nullptr, *style);
}

const CGXStyle* CGXControl::CellStyleIf(ROWCOL row, ROWCOL col, BOOL otherCells, CGXStyle& composed) {
  if (IsBoundToCell(row, col)) return &GetCachedStyle();
  if (!otherCells) return nullptr;
  m_pGrid->ComposeCellStyle(row, col, composed, TRUE);
  return &composed;
}

CString CGXControl::ComposedDisplayText(ROWCOL row, ROWCOL col) const {
  CGXStyle style;
  m_pGrid->ComposeCellStyle(row, col, style, TRUE);
  CString text;
  GetDisplayText(text, row, col, nullptr, style);
  return text;
}

CString CGXControl::SearchedCellText(ROWCOL row, ROWCOL col, const CGXStyle* style) const {
  if (m_pGrid->m_nDefaultStorageType == 1) {
    CString entered = m_pGrid->GetStoredCellValue(row, col);
    if (!entered.IsEmpty() && entered[0] == '=') return entered;
  }
  if (!style) return ComposedDisplayText(row, col);
  CString text;
  if (!GetDisplayText(text, row, col, nullptr, *style)) text = style->GetValue();
  return text;
}

void CGXControl::SetEditText(const CString& text) {
  if (!m_bInit) return;
  m_pGrid->StoreValueFromControl(m_nRow, m_nCol, text, gxCopy, &GetCachedStyle());
}

BOOL CGXControl::GetEditedValue(CString& out) const {
  if (!m_bInit || !m_pCachedStyle || !m_pCachedStyle->GetIncludeValue()) return FALSE;
  out = m_pCachedStyle->GetValue();
  return TRUE;
}

void CGXControl::SetEditedValue(const CString& text) {
  if (!m_bInit) return;
  GetCachedStyle();
  m_pCachedStyle->SetValue(text);
  const CGXRange cell(m_nRow, m_nCol);
  m_pGrid->RecalcFloatCells(cell, -1);
  m_pGrid->CalcFloatCellsInRange(cell);
}

CString CGXControl::FormatDisplayText(const CString& value, const CGXStyle& style) {
  // Format 0 is the general format: the value shows as it is stored.
  if (!CGXGridGlobals::Get().m_pNumberFormattingImp || !style.IsIncluded(GX_IN_FORMAT) || style.GetFormat() == 0)
    return value;
  return GetDrawingAndFormatting().FormatDisplayText(style, value, style.GetValueType());
}

BOOL CGXControl::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value, const CGXStyle& style) const {
  if (value) {
    out = FormatDisplayText(*value, style);
    return TRUE;
  }
  if (!style.GetIncludeValue()) {
    out.Empty();
    return FALSE;
  }
  out = FormatDisplayText(style.GetValue(), style);
  return TRUE;
}

const CGXStyle& CGXControl::StyleForStore(ROWCOL row, ROWCOL col, const CGXStyle* style, CGXStyle& composed) const {
  if (style) return *style;
  m_pGrid->ComposeCellStyle(row, col, composed, TRUE);
  return composed;
}

BOOL CGXControl::StoreRefused(const CGXStyle& style) const {
  const CGXGridParam* param = m_pGrid->GetParam();
  return param && param->m_bReadOnlyEnforced && (m_pGrid->IsLocked() || (style.IsIncluded(GX_IN_READONLY) && style.GetReadOnly()));
}

BOOL CGXControl::WarnIfTooLong(CGXGridCore* grid, int length, UINT limit, UINT id) {
  if (limit == 0 || static_cast<UINT>(length) <= limit) return FALSE;
  CString message;
  message.Format(gx::LoadGridString(id), length, limit);
  grid->SetWarningText(message);
  return TRUE;
}

BOOL CGXControl::TakeOneLineOfPaste(CGXGridCore* grid, const CGXStyle& style, CString& text) {
  if (!style.IsIncluded(GX_IN_WRAPTEXT) || style.GetWrapText()) return TRUE;
  if (const int lineBreak = text.FindOneOf("\r\n"); lineBreak >= 0) text = text.Left(lineBreak);
  for (int i = 0; i < text.GetLength(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      grid->SetWarningText(gx::LoadGridString(GX_IDS_PASTE_CONTROL_CHAR));
      return FALSE;
    }
  }
  return TRUE;
}

BOOL CGXControl::StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* given) {
  CGXStyle composed;
  const CGXStyle* style = &StyleForStore(row, col, given, composed);
  CString value = text ? text : "";
  if (!ConvertTextForCell(value, row, col, *style) || BreaksBounds(value, *style)) return FALSE;
  if (StoreRefused(*style)) return FALSE;
  if (style->IsIncluded(GX_IN_MAXLENGTH) && style->GetMaxLength() > 0 &&
      JudgedValue(value, *style).GetLength() > style->GetMaxLength())
    value = value.Left(style->GetMaxLength());
  CGXStyle valueStyle;
  valueStyle.SetValue(value);
  return m_pGrid->ApplyStyleToRange(CGXRange(row, col), &valueStyle, gxOverride, 0, nullptr, flags);
}

BOOL CGXControl::StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type, const CGXStyle*) {
  return m_pGrid->WriteStoredStyle(row, col, style, mode, type);
}

BOOL CGXControl::ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                                  const CGXStyle* current) {
  if (m_pGrid->GetParam() && m_pGrid->GetParam()->m_bReadOnlyEnforced &&
      (m_pGrid->IsLocked() || (current && current->IsIncluded(GX_IN_READONLY) && current->GetReadOnly())))
    return FALSE;
  // The store re-binds the current cell's control, which clears its modified state: keep it first.
  const BOOL wasBound = IsBoundToCell(row, col), modified = GetModifiedState();
  if (!m_pGrid->ApplyStyleToCell(row, col, style, mode, flags)) return FALSE;
  if (!m_pGrid->MatchesCurrentCell(row, col)) return TRUE;
  if (wasBound && mode != gxRemove) {
    m_nRow = row;
    m_nCol = col;
    m_bInit = TRUE;
    m_pCachedStyle.reset();
    GetCachedStyle();
    if (style && style->IsIncluded(GX_IN_CONTROLID)) {
      m_pGrid->ResetCurrentCellAfterStyles();
      return TRUE;
    }
    if (style && style->GetIncludeValue()) SetEditedValue(style->GetValue());
    HideAndInvalidate();
    SetModifiedState(mode == gxCopy ? FALSE : modified);
  } else {
    InitForCell(row, col);
  }
  return TRUE;
}

void CGXControl::ApplyEditedValueToStyle(ROWCOL row, ROWCOL col, CGXStyle& style) {
  CString value;
  if (IsBoundToCell(row, col) && GetEditedValue(value)) style.SetValue(value);
}

std::vector<CString> CGXControl::SplitChoiceList(const CString& choices) {
  std::vector<CString> lines;
  for (std::string_view line : GXChoiceLines(choices.View())) lines.emplace_back(line);
  return lines;
}

// A style's list keeps its index with its shared text: it lives as long as the list, however many lists a grid
// holds (a paste across their columns asks one after the other), and a list given anew is indexed anew.
GXChoiceLines CGXControl::SplitChoiceListKept(const CGXStyle& style) const {
  return GXChoiceLines::Of(style.GetSharedChoiceList());
}

GXChoiceLines CGXControl::SplitChoiceListKept(const CString& choices) const {
  // A text that may be no style's list is known by its text: the few looked up last are kept with a copy of it.
  constexpr size_t kKept = 4;
  auto& kept = m_keptChoiceLists;
  auto it = std::find_if(kept.begin(), kept.end(),
                         [&](const auto& list) { return list->Text().View() == choices.View(); });
  if (it == kept.end()) {
    if (kept.size() == kKept) kept.pop_back();
    kept.insert(kept.begin(), std::make_shared<const CGXChoiceListText>(choices));
  } else if (it != kept.begin()) {
    std::rotate(kept.begin(), it, it + 1);
  }
  return GXChoiceLines::Of(kept.front());
}

namespace {

// A line into `out`, in the string `out` already holds (a line of 2 GB or more, past what a length in an int
// says, in a new one).
void SetLine(CString& out, std::string_view line) {
  if (line.size() <= static_cast<size_t>(std::numeric_limits<int>::max()))
    out.SetString(line.data(), static_cast<int>(line.size()));
  else
    out = CString(line);
}

BOOL ChoiceLine(CString& out, const GXChoiceLines& lines, int n) {
  std::string_view line;
  const bool found = n >= 0 && lines.Line(static_cast<size_t>(n), line);
  SetLine(out, line);
  return found;
}

int NamedChoice(CString& out, const CString& text, const GXChoiceLines& lines, BOOL exact) {
  std::string_view line;
  const int n = text.IsEmpty() ? -1 : lines.Find(text.View(), exact, &line);
  SetLine(out, line);
  return n;
}

}  // namespace

BOOL CGXControl::GetChoiceListItem(CString& out, const CString& choices, int n) const {
  if (n < 0) {
    out.Empty();
    return FALSE;
  }
  return ChoiceLine(out, SplitChoiceListKept(choices), n);
}

BOOL CGXControl::GetChoiceListItem(CString& out, const CGXStyle& style, int n) const {
  return ChoiceLine(out, SplitChoiceListKept(style), n);
}

int CGXControl::FindChoiceListItem(CString& out, const CString& text, const CString& choices, BOOL exact) const {
  if (text.IsEmpty()) {
    out.Empty();
    return -1;
  }
  return NamedChoice(out, text, SplitChoiceListKept(choices), exact);
}

int CGXControl::FindChoiceListItem(CString& out, const CString& text, const CGXStyle& style, BOOL exact) const {
  return NamedChoice(out, text, SplitChoiceListKept(style), exact);
}

BOOL CGXControl::TakeChoice(CString& text, const CGXStyle& style, int indexBase) const {
  if (text.IsEmpty()) return TRUE;
  std::string_view line;
  const int n = SplitChoiceListKept(style).Find(text.View(), false, &line);
  if (n < 0) return FALSE;
  if (indexBase < 0)
    text = CString(line);
  else
    text.Format("%d", n + indexBase);
  return TRUE;
}

BOOL CGXControl::MayEmptyOnDelete() {
  const CGXGridParam* param = m_pGrid->GetParam();
  if ((param && param->m_bPasteStyles) || IsCellReadOnly() || (GetKeyState(VK_SHIFT) & 0x8000)) return FALSE;
  // An empty edit clears the cell once stored: the grid's rule for clearing it applies (OnDeleteCell).
  return NotifyDelete() && AskGridSecondHook() && NotifyEditStart();
}

CGXControl::KeyStart CGXControl::StartEditingFromKey(UINT ch) {
  switch (ch) {
    case VK_END: return ActivateWithCaret(-1) ? KeyStart::Started : KeyStart::Refused;
    case VK_HOME: return ActivateWithCaret(0) ? KeyStart::Started : KeyStart::Refused;
    case VK_DELETE:
      if (!MayEmptyOnDelete()) return KeyStart::Other;
      EditEmptyText();
      return KeyStart::Started;
    default: return KeyStart::Other;
  }
}

void CGXControl::SetWindowEditingState(BOOL& editing, BOOL on, BOOL hasWindow) {
  if (on && hasWindow && !editing) {
    editing = TRUE;
    DropCachedStyle();
    GetCachedStyle();
    return;
  }
  editing = on && hasWindow;
}

BOOL CGXControl::StartEditing() {
  if (!NotifyEditStart()) return FALSE;
  if (!m_bInit) InitForCell(m_nRow, m_nCol);
  SetEditingState(TRUE);
  return TRUE;
}

void CGXControl::EraseWindowBackground(CWnd& window, CDC* dc) {
  CRect client;
  window.GetClientRect(&client);
  dc->FillSolidRect(&client, RGB(255, 255, 255));
  if (m_pCachedStyle) m_pGrid->FillWithInterior(dc, client, m_pCachedStyle->GetInterior());
}

int CGXControl::TextMargin() { return std::max(2, GetSystemMetrics(SM_CXFRAME) / 2); }

CRect CGXControl::InsetByTextMargin(CRect inner) {
  const int m = TextMargin();
  inner.left += m;
  inner.right -= m / 2;
  return inner;
}

CSize CGXControl::AddTextMargin(CSize size) {
  const int m = TextMargin();
  size.cx += m + m / 2;
  return size;
}

BOOL CGXControl::IsCellReadOnly() const {
  const CGXGridParam* param = m_pGrid->GetParam();
  if (!param || !param->m_bReadOnlyEnforced) return FALSE;
  if (m_pGrid->IsLocked()) return TRUE;
  if (!m_bInit) return FALSE;
  CGXStyle style;
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, style, TRUE);
  return style.IsIncluded(GX_IN_READONLY) && style.GetReadOnly();
}

void CGXControl::GetStyleValueText(CString& out, const CGXStyle& style) const { out = style.GetValue(); }

// ---- Refreshing ------------------------------------------------------------------------------------------

void CGXControl::HideAndInvalidate() {
  if (!m_bInit) return;
  const BOOL editing = GetEditingState();
  if (GetModifiedState() || editing) m_pGrid->RecalcFloatCells(CGXRange(m_nRow, m_nCol), -1);
  HideWindowPart();
  CGXRange range(m_nRow, m_nCol);
  if (!editing) {
    m_pGrid->WidenRangeByMergedCells(range);
    m_pGrid->WidenRangeByFloatCells(range);
  }
  m_pGrid->WidenRangeByCoveredCells(range);
  const CRect rect = m_pGrid->CalcRangeRect(range.top, range.left, range.bottom, range.right);
  m_pGrid->InvalidateRect(&rect, TRUE);
}

// ---- Mouse -----------------------------------------------------------------------------------------------

void CGXControl::PrepareChildren() {
  if (GetChildCount() > 0) LayOutChildren(m_nRow, m_nCol, ComputeInnerRect(m_nRow, m_nCol));
}

BOOL CGXControl::OfferToChildren(CPoint pt, BOOL (CGXChild::*op)(UINT, CPoint), UINT flags, BOOL untilHandled) {
  for (int i = 0; i < GetChildCount(); ++i) {
    CGXChild* child = GetChildAt(i);
    if (!child->HitTest(pt)) continue;
    m_pActiveChild = child;
    const BOOL handled = (child->*op)(flags, pt);
    if (!untilHandled || handled) return handled;
  }
  return FALSE;
}

BOOL CGXControl::OnMouseMoveInCell(UINT flags, int x, int y, WORD) {
  PrepareChildren();
  return m_pActiveChild ? m_pActiveChild->OnMouseMove(flags, CPoint(x, y)) : FALSE;
}

BOOL CGXControl::OnMouseMoveOverCell(ROWCOL row, ROWCOL col, UINT flags, int x, int y) {
  BOOL handled = FALSE;
  if (GetChildCount() > 0) {
    LayOutChildren(row, col, ComputeInnerRect(row, col));
    const CPoint pt(x, y);
    for (int i = 0; i < GetChildCount() && !handled; ++i)
      if (GetChildAt(i)->HitTest(pt)) handled = GetChildAt(i)->OnMouseMoveOver(row, col, flags, pt);
  }
  return m_pGrid->OnMouseMoveInCell(row, col, flags, CPoint(x, y)) || handled;
}

BOOL CGXControl::OnLButtonDownInCell(UINT flags, int x, int y, WORD) {
  PrepareChildren();
  return OfferToChildren(CPoint(x, y), &CGXChild::OnLButtonDown, flags, FALSE);
}

BOOL CGXControl::OnMButtonDownInCell(UINT flags, int x, int y, WORD) {
  PrepareChildren();
  return OfferToChildren(CPoint(x, y), &CGXChild::OnMButtonDown, flags, FALSE);
}

BOOL CGXControl::OnRButtonDownInCell(UINT flags, int x, int y, WORD) {
  PrepareChildren();
  return OfferToChildren(CPoint(x, y), &CGXChild::OnRButtonDown, flags, FALSE);
}

BOOL CGXControl::ButtonUp(UINT flags, int x, int y, BOOL (CGXChild::*op)(UINT, CPoint), int button) {
  const CPoint pt(x, y);
  BOOL handled = m_pActiveChild ? (m_pActiveChild->*op)(flags, pt) : FALSE;
  if (ComputeInnerRect(m_nRow, m_nCol).PtInRect(pt)) {
    const BOOL grid = button == 0   ? m_pGrid->OnLButtonClickedCell(m_nRow, m_nCol, flags, pt)
                      : button == 1 ? m_pGrid->OnMButtonClickedCell(m_nRow, m_nCol, flags, pt)
                                    : m_pGrid->OnRButtonClickedCell(m_nRow, m_nCol, flags, pt);
    handled = handled || grid;
  }
  return handled;
}

BOOL CGXControl::OnLButtonUpInCell(UINT flags, int x, int y, WORD) {
  return ButtonUp(flags, x, y, &CGXChild::OnLButtonUp, 0);
}
BOOL CGXControl::OnMButtonUpInCell(UINT flags, int x, int y, WORD) {
  return ButtonUp(flags, x, y, &CGXChild::OnMButtonUp, 1);
}
BOOL CGXControl::OnRButtonUpInCell(UINT flags, int x, int y, WORD) {
  return ButtonUp(flags, x, y, &CGXChild::OnRButtonUp, 2);
}

BOOL CGXControl::ButtonDblClk(UINT flags, int x, int y, BOOL (CGXChild::*op)(UINT, CPoint), int button) {
  PrepareChildren();
  const CPoint pt(x, y);
  const BOOL handled = OfferToChildren(pt, op, flags, TRUE);
  // The grid hears of every double-click, also one a child handled.
  const BOOL grid = button == 0   ? m_pGrid->OnLButtonDblClkCell(m_nRow, m_nCol, flags, pt)
                    : button == 1 ? m_pGrid->OnMButtonDblClkCell(m_nRow, m_nCol, flags, pt)
                                  : m_pGrid->OnRButtonDblClkCell(m_nRow, m_nCol, flags, pt);
  return handled || grid;
}

BOOL CGXControl::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  return ButtonDblClk(flags, x, y, &CGXChild::OnLButtonDblClk, 0);
}
BOOL CGXControl::OnMButtonDblClkInCell(UINT flags, int x, int y) {
  return ButtonDblClk(flags, x, y, &CGXChild::OnMButtonDblClk, 1);
}
BOOL CGXControl::OnRButtonDblClkInCell(UINT flags, int x, int y) {
  return ButtonDblClk(flags, x, y, &CGXChild::OnRButtonDblClk, 2);
}

// ---- Keys ------------------------------------------------------------------------------------------------

BOOL CGXControl::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  if (m_pActiveChild && m_pActiveChild->OnKeyMessage(message, ch, repeat, flags)) return TRUE;
  switch (message) {
    case WM_KEYDOWN: return OnKeyDownInCell(ch, repeat, flags);
    case WM_KEYUP: return OnKeyUpInCell(ch, repeat, flags);
    case WM_CHAR: {
      CString text;
      switch (ComposeDbcsChar(m_bLeadBytePending, m_cLeadByte, ch, text)) {
        case GXComposedChar::single: return OnCharInCell(ch, repeat, flags);
        case GXComposedChar::held: return TRUE;
        case GXComposedChar::pair: return OnDbcsCharInCell(text, repeat, flags);
      }
      return FALSE;
    }
    case WM_DEADCHAR: return OnDeadCharInCell(ch, repeat, flags);
    case WM_SYSKEYDOWN: return OnSysKeyDownInCell(ch, repeat, flags);
    case WM_SYSKEYUP: return OnSysKeyUpInCell(ch, repeat, flags);
    case WM_SYSCHAR: return OnSysCharInCell(ch, repeat, flags);
    case WM_SYSDEADCHAR: return OnSysDeadCharInCell(ch, repeat, flags);
    default: return FALSE;
  }
}

// ---- Clipboard -------------------------------------------------------------------------------------------

BOOL CGXControl::CopyToClipboard() {
  if (!GetEditingState()) {
    if (m_bInit && m_pGrid->MatchesCurrentCell(m_nRow, m_nCol)) return m_pGrid->CopyOneRange(CGXRange(m_nRow, m_nCol));
    return FALSE;
  }
  CString text;
  GetSelectionText(text);
  if (text.IsEmpty()) return FALSE;
  CSharedFile file(GMEM_DDESHARE | GMEM_MOVEABLE | GMEM_ZEROINIT);
  file.Write(static_cast<LPCSTR>(text), static_cast<UINT>(text.GetLength()) + 1);
  HGLOBAL data = file.Detach();
  if (!OpenClipboard(m_pGrid->GridHwnd())) {
    GlobalFree(data);
    return FALSE;
  }
  // Decision: the clipboard is emptied before the text is set. On this platform only the clipboard's owner
  // may add formats, and emptying is what makes the grid the owner: without it the text could not be set
  // while another window owns the clipboard, and formats left by another program would stay beside the
  // new text (a paste elsewhere could take that stale, richer format instead of the copied text).
  EmptyClipboard();
  const BOOL ok = SetClipboardData(CF_TEXT, data) != nullptr;
  CloseClipboard();
  if (!ok) GlobalFree(data);
  return ok;
}

BOOL CGXControl::PasteFromClipboard() {
  if (GridStylesTakePrecedence()) return FALSE;
  if (!m_bInit || !GetEditingState()) return FALSE;
  const CGXStyle& style = GetCachedStyle();
  if (style.IsIncluded(GX_IN_READONLY) && style.GetReadOnly()) return FALSE;
  const BOOL opened = GetOpenClipboardWindow() == nullptr && OpenClipboard(m_pGrid->GridHwnd());
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) data = GetClipboardData(CF_OEMTEXT);
  BOOL inserted = FALSE, refusedControlChar = FALSE;
  if (data) {
    const char* p = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data)));
    CString text = p ? CString(p) : CString();
    GlobalUnlock(static_cast<HGLOBAL>(data));
    // A text the control refuses is not pasted, and the paste says so.
    refusedControlChar = !TakeOneLineOfPaste(m_pGrid, style, text);
    if (!refusedControlChar && CanPasteText(text)) {
      ReplaceSelectedText(text);
      inserted = TRUE;
    }
  }
  if (opened) CloseClipboard();
  if (refusedControlChar) m_pGrid->ShowWarningText();
  return inserted;
}

BOOL CGXControl::CutToClipboard() {
  if (GetEditingState()) {
    if (!CopyToClipboard()) return FALSE;
    ReplaceSelectedText("");
    return TRUE;
  }
  if (m_bInit && m_pGrid->MatchesCurrentCell(m_nRow, m_nCol)) return m_pGrid->CutOneRange(CGXRange(m_nRow, m_nCol), 0);
  return FALSE;
}

BOOL CGXControl::CanCutToClipboard() {
  if (!m_bInit) return FALSE;
  const CGXStyle& style = GetCachedStyle();
  return !(style.IsIncluded(GX_IN_READONLY) && style.GetReadOnly());
}

BOOL CGXControl::GridStylesTakePrecedence() const {
  const CGXGridParam* param = m_pGrid->GetParam();
  const UINT format = CGXGridGlobals::Get().m_nStylesClipboardFormat;
  return param && param->m_bPasteStyles && format && IsClipboardFormatAvailable(format);
}

BOOL CGXControl::CanPasteFromClipboard() {
  if (GridStylesTakePrecedence()) return FALSE;
  if (!m_bInit || !GetEditingState() || IsCellReadOnly()) return FALSE;
  return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_OEMTEXT);
}

BOOL CGXControl::FindInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col, DWORD_PTR atCurrent, DWORD_PTR select) {
  CGXGridFindReplaceImp* find = m_pGrid->GetFindReplaceImp();
  auto* state = reinterpret_cast<CGXFindReplaceState*>(request);
  return find && state &&
         find->FindTextInCell(this, *state, static_cast<ROWCOL>(row), static_cast<ROWCOL>(col), atCurrent != 0,
                              select != 0);
}

BOOL CGXControl::ReplaceInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col) {
  CGXGridFindReplaceImp* find = m_pGrid->GetFindReplaceImp();
  auto* state = reinterpret_cast<CGXFindReplaceState*>(request);
  return find && state && find->ReplaceAllInCell(this, *state, static_cast<ROWCOL>(row), static_cast<ROWCOL>(col));
}

void CGXControl::ReplaceSelectedText(LPCTSTR text) {
  if (!m_bInit || !m_pGrid->MatchesCurrentCell(m_nRow, m_nCol)) return;
  CString value = text ? text : "";
  CGXStyle composed;
  StoreReplacedText(value, m_nRow, m_nCol, StyleForStore(m_nRow, m_nCol, nullptr, composed), FALSE);
}

BOOL CGXControl::KeepsCellFromEmptyReplacement(const CString& text, ROWCOL row, ROWCOL col) {
  if (!text.IsEmpty() || m_pGrid->CanClearCell(row, col)) return FALSE;
  if (m_pGrid->GetWarningText().IsEmpty()) m_pGrid->SetWarningText(gx::LoadGridString(GX_IDS_REPLACE_KEPT));
  return TRUE;
}

// The store's own report of a refusal is taken here, so that it does not come up after a later store.
BOOL CGXControl::StoreReplacedText(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL storeUnder) {
  if (KeepsCellFromEmptyReplacement(text, row, col)) return FALSE;
  if (ConvertTextForCell(text, row, col, style) && WithinLimits(text, style)) {
    if (StoreReplacedValue(row, col, text, style, storeUnder)) return TRUE;
    CString report;
    m_pGrid->DataObjectErrorText(report);
  }
  RefuseReplacement();
  return FALSE;
}

BOOL CGXControl::WithinLimits(const CString& value, const CGXStyle& style) {
  const int limit = style.IsIncluded(GX_IN_MAXLENGTH) ? style.GetMaxLength() : 0;
  return (limit <= 0 || JudgedValue(value, style).GetLength() <= limit) && !BreaksBounds(value, style);
}

int CGXControl::StoredLength(const CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  CString value = text;
  return ConvertTextForCell(value, row, col, style) ? JudgedValue(value, style).GetLength() : text.GetLength();
}

BOOL CGXControl::StoreTakenValue(ROWCOL row, ROWCOL col, const CString& value, const CGXStyle&, UINT flags) {
  return m_pGrid->SetCellValue(row, col, value, flags);
}

BOOL CGXControl::StoredCellBreaksLimits(CGXGridCore* grid, ROWCOL row, ROWCOL col, const CGXStyle* own,
                                        CGXStyle& work, BOOL sayLength) {
  if (!own || !own->GetIncludeValue() || own->GetValue().IsEmpty()) return FALSE;
  work.Free();
  grid->ComposeCellStyleWith(row, col, own, work);
  CGXControl* control = grid->ControlForId(work.GetControl());
  if (!control) return FALSE;
  const CString& value = own->GetValue();
  const UINT limit = work.IsIncluded(GX_IN_MAXLENGTH) ? work.GetMaxLength() : 0;
  const int length = limit > 0 ? control->JudgedValue(value, work).GetLength() : 0;
  if (static_cast<UINT>(length) > limit) {
    if (sayLength) WarnIfTooLong(grid, length, limit);
    return TRUE;
  }
  return control->BreaksBounds(value, work);
}

BOOL CGXControl::StoreReplacedValue(ROWCOL row, ROWCOL col, const CString& text, const CGXStyle& style,
                                    BOOL storeUnder) {
  return m_pGrid->StoreValueFromControl(row, col, text, gxCopy, storeUnder ? &style : nullptr);
}

void CGXControl::RefuseReplacement() {
  if (m_pGrid->GetWarningText().IsEmpty()) m_pGrid->SetWarningText(gx::LoadGridString(GX_IDS_REPLACE_REFUSED));
}

// ---- Messages and notifications --------------------------------------------------------------------------

void CGXControl::OnChildClicked(CGXChild*) { m_pGrid->OnButtonClickedInCell(m_nRow, m_nCol); }

BOOL CGXControl::OnGridWindowMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_HSCROLL && msg->message != WM_VSCROLL) || !GetEditingState()) return FALSE;
  CGXRange covered;
  if (!m_pGrid->GetCoveredCellsRowCol(m_nRow, m_nCol, covered)) return FALSE;
  const ROWCOL frozenCols = m_pGrid->GetFrozenCols(), frozenRows = m_pGrid->GetFrozenRows();
  const BOOL straddles = (covered.left <= frozenCols && covered.right > frozenCols) ||
                         (covered.top <= frozenRows && covered.bottom > frozenRows);
  if (!straddles) return FALSE;
  if (GetModifiedState()) StoreValue();
  SetEditingState(FALSE);
  HideAndInvalidate();
  return FALSE;
}

void CGXControl::BroadcastToChildren(DWORD_PTR value) {
  for (int i = 0; i < GetChildCount(); ++i) GetChildAt(i)->OnBroadcast(value);
}

void CGXControl::RefreshSysColors() {
  for (int i = 0; i < GetChildCount(); ++i) GetChildAt(i)->RefreshSysColors();
}

void CGXControl::ReleaseChildButtons() {
  for (int i = 0; i < GetChildCount(); ++i) GetChildAt(i)->ReleaseState();
}

BOOL CGXControl::MarkEditHeader(ROWCOL row, ROWCOL col, DWORD_PTR) {
  CGXGridMarkEditHeaderImp* imp = m_pGrid->GetMarkEditHeaderImp();
  return imp ? imp->IsHeaderMarked(m_pGrid, this, row, col) : FALSE;
}

BOOL CGXControl::NeedsCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style) {
  return m_pCellTip ? m_pCellTip->NeedsTip(row, col, style) : FALSE;
}

int CGXControl::GetCellTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) {
  return m_pCellTip ? m_pCellTip->GetTipKind(row, col, style) : 0x7FFFFFFF;
}

void CGXControl::ShowCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) {
  if (m_pCellTip) m_pCellTip->ShowTip(row, col, style, tipWnd);
}

// ---- The child buttons' base ---------------------------------------------------------------------------

BOOL CGXChild::IsActiveChild() const { return m_pControl && m_pControl->GetActiveChild() == this; }

void CGXChild::DrawWithStyle(CDC* dc, BOOL active, const CGXStyle&) { Draw(dc, active); }

void CGXChild::Invalidate() {
  if (m_pControl && !m_rect.IsRectEmpty()) m_pControl->Grid()->InvalidateRect(&m_rect, TRUE);
}

BOOL CGXChild::OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
  switch (message) {
    case WM_KEYDOWN: return OnKeyDown(ch, repeat, flags);
    case WM_KEYUP: return OnKeyUp(ch, repeat, flags);
    case WM_CHAR: {
      CString text;
      switch (ComposeDbcsChar(m_bLeadBytePending, m_cLeadByte, ch, text)) {
        case GXComposedChar::single: return OnChar(ch, repeat, flags);
        case GXComposedChar::held: return TRUE;
        case GXComposedChar::pair: return OnDbcsChar(text, repeat, flags);
      }
      return FALSE;
    }
    case WM_DEADCHAR: return OnDeadChar(ch, repeat, flags);
    case WM_SYSKEYDOWN: return OnSysKeyDown(ch, repeat, flags);
    case WM_SYSKEYUP: return OnSysKeyUp(ch, repeat, flags);
    case WM_SYSCHAR: return OnSysChar(ch, repeat, flags);
    case WM_SYSDEADCHAR: return OnSysDeadChar(ch, repeat, flags);
    default: return FALSE;
  }
}

// ---- Children --------------------------------------------------------------------------------------------

// A child the control already holds (or none) is a programming error and gets the invalid-argument error:
// appended twice it would be deleted twice with the control.
void CGXControl::AppendChild(CGXChild* child) {
  if (!child) AfxThrowInvalidArgException();
  if (m_pChildren)
    for (const auto& held : *m_pChildren)
      if (held.get() == child) AfxThrowInvalidArgException();
  if (!m_pChildren) {
    m_pChildren = std::make_unique<std::vector<std::unique_ptr<CGXChild>>>();
    m_pChildren->reserve(10);
  }
  m_pChildren->emplace_back(child);
}

CGXChild* CGXControl::GetChildAt(int index) const {
  if (!m_pChildren || index < 0 || index >= static_cast<int>(m_pChildren->size())) AfxThrowInvalidArgException();
  return (*m_pChildren)[static_cast<size_t>(index)].get();
}

void CGXControl::DetachChild(CGXChild* child) {
  if (!m_pChildren) return;
  for (auto it = m_pChildren->begin(); it != m_pChildren->end(); ++it) {
    if (it->get() != child) continue;
    it->release();  // handed back to the caller, not deleted
    m_pChildren->erase(it);
    if (m_pActiveChild == child) m_pActiveChild = nullptr;
    return;
  }
}

// ---- Cached style, attributes ----------------------------------------------------------------------------

const CGXStyle& CGXControl::GetCachedStyle() {
  if (!m_pCachedStyle) {
    m_pCachedStyle = std::make_unique<CGXStyle>();
    if (m_bInit) m_pGrid->ComposeCellStyle(m_nRow, m_nCol, *m_pCachedStyle, TRUE);
  }
  return *m_pCachedStyle;
}

void CGXControl::RegisterUserAttributes(CGXStylesMap* map) {
  if (!map) return;
  CGXStyle spin;
  spin.SetControl(kSpinEditId);
  map->AddUserAttribute(GX_IDS_UA_VALID_MIN, &spin);
  map->AddUserAttribute(GX_IDS_UA_VALID_MAX, &spin);
  CGXStyle wrapped;
  wrapped.SetWrapText(TRUE);
  map->AddUserAttribute(GX_IDS_UA_VALID_MSG, &wrapped);
  CGXStyle check;
  check.SetControl(kCheckBox3dId).SetHorizontalAlignment(GX_DT_CENTER).SetVerticalAlignment(GX_DT_VCENTER);
  map->AddUserAttribute(GX_IDS_UA_RTLREADING, &check);
}
