#include "grid/controls/CGXSpinEdit.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"

IMPLEMENT_DYNAMIC(CGXSpinEdit, CGXEditControl)

const CGXControlClass CGXSpinEdit::gxClassCGXSpinEdit = {"CGXSpinEdit", &CGXEditControl::gxClassCGXEditControl};

namespace {

constexpr int kArrowColumn = 14;

// The largest whole number the cell's number (a double) keeps exactly together with its neighbours: the arrows step
// numbers up to it either way, one by one.
constexpr int64_t kLargestStepped = int64_t{1} << 53;

// A text read as the runtime reads a long, as a whole number of 64 bits. A number with a fraction or an exponent (a
// value as a number cell keeps it: "2.5", "1e+15") reads as its whole part; a text that is no number reads as 0.
// Empty where the number lies past 64 bits or is no finite number ("1e400").
std::optional<int64_t> ReadWhole(const char* text) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (errno != ERANGE && !(end && (*end == '.' || *end == 'e' || *end == 'E'))) return v;
  const double d = std::trunc(std::strtod(text, nullptr));
  if (std::isnan(d)) return 0;
  // 2^63 is the first double past the range; every double below it converts exactly.
  if (!(std::fabs(d) < 0x1p63)) return std::nullopt;
  return static_cast<int64_t>(d);
}

// A bound or start value: a number past 64 bits is held at the end of the range it lies past.
std::optional<int64_t> OptionalAttribute(const CGXStyle& style, WORD id) {
  if (!style.HasUserAttribute(id)) return std::nullopt;
  const CString text = style.GetUserAttributeText(id);
  if (text.IsEmpty()) return std::nullopt;
  if (const std::optional<int64_t> whole = ReadWhole(text)) return whole;
  return std::strtod(text, nullptr) < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

}  // namespace

CGXSpinEdit::CGXSpinEdit(CGXGridCore* grid, UINT id)
    : CGXEditControl(grid, id), m_pUp(new CGXUpArrowButton(this)), m_pDown(new CGXDownArrowButton(this)) {
  AppendChild(m_pUp);
  AppendChild(m_pDown);
}

CRuntimeClass* CGXSpinEdit::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXSpinEdit); }

void CGXSpinEdit::RegisterUserAttributes(CGXStylesMap* map) {
  if (!map) return;
  CGXStyle spin;
  spin.SetControl(GX_IDS_CTRL_SPINEDIT);
  spin.SetWrapText(FALSE);
  CGXStyle check;
  check.SetControl(GX_IDS_CTRL_CHECKBOX3D);
  map->AddUserAttribute(GX_IDS_UA_SPINBOUND_MIN, &spin);
  map->AddUserAttribute(GX_IDS_UA_SPINBOUND_MAX, &spin);
  map->AddUserAttribute(GX_IDS_UA_SPINBOUND_WRAP, &check);
  map->AddUserAttribute(GX_IDS_UA_SPINSTART, &spin);
}

void CGXSpinEdit::InitForCell(ROWCOL row, ROWCOL col) {
  CGXEditControl::InitForCell(row, col);
  m_pUp->Invalidate();
  m_pDown->Invalidate();
  GetCachedStyle();
}

CRect CGXSpinEdit::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXEditControl::ComputeInnerRect(cell, style);
  r.right -= kArrowColumn;
  return r;
}

CSize CGXSpinEdit::AddBordersToSize(CSize size, const CGXStyle& style) const {
  size.cx += kArrowColumn;
  return CGXEditControl::AddBordersToSize(size, style);
}

void CGXSpinEdit::LayOutChildren(ROWCOL, ROWCOL, const CRect& inner) {
  // The rectangle the arrows are laid out in: the text area with the arrow column and its right margin.
  CRect area = inner;
  area.right += kArrowColumn + 1;
  CRect column(area.right - 15, area.top + 1, area.right - 1, area.bottom - 1);
  column.IntersectRect(column, area);
  const LONG middle = column.top + (column.bottom - column.top) / 2;
  m_pUp->SetRect(CRect(column.left, column.top, column.right, middle));
  m_pDown->SetRect(CRect(column.left, middle, column.right, column.bottom));
}

CGXSpinEdit::Bounds CGXSpinEdit::ReadBounds(const CGXStyle& style) {
  Bounds b;
  b.minimum = OptionalAttribute(style, GX_IDS_UA_SPINBOUND_MIN);
  b.maximum = OptionalAttribute(style, GX_IDS_UA_SPINBOUND_MAX);
  b.start = OptionalAttribute(style, GX_IDS_UA_SPINSTART);
  b.wrap = std::atoi(style.GetUserAttributeText(GX_IDS_UA_SPINBOUND_WRAP)) != 0;
  return b;
}

BOOL CGXSpinEdit::OnLButtonDownInCell(UINT flags, int x, int y, WORD hit) {
  m_bounds = ReadBounds(GetCachedStyle());
  return CGXEditControl::OnLButtonDownInCell(flags, x, y, hit);
}

BOOL CGXSpinEdit::BreaksBounds(const CString& value, const CGXStyle& style) {
  Bounds b;
  b.minimum = OptionalAttribute(style, GX_IDS_UA_SPINBOUND_MIN);
  b.maximum = OptionalAttribute(style, GX_IDS_UA_SPINBOUND_MAX);
  if (!value.IsEmpty() && (b.minimum || b.maximum)) {
    const CString text = JudgedValue(value, style);
    const char* begin = text;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    const bool whole = end != begin && *end == '\0' && errno == 0;
    if (!whole || (b.minimum && value < *b.minimum) || (b.maximum && value > *b.maximum)) {
      CString message = style.GetUserAttributeText(GX_IDS_UA_VALID_MSG);
      if (message.IsEmpty()) {
        if (b.minimum && b.maximum)
          message.Format(gx::LoadGridString(GX_IDS_SPIN_BETWEEN), static_cast<long>(*b.minimum),
                         static_cast<long>(*b.maximum));
        else if (b.minimum)
          message.Format(gx::LoadGridString(GX_IDS_SPIN_AT_LEAST), static_cast<long>(*b.minimum));
        else
          message.Format(gx::LoadGridString(GX_IDS_SPIN_AT_MOST), static_cast<long>(*b.maximum));
      }
      m_pGrid->SetWarningText(message);
      return TRUE;
    }
  }
  return CGXEditControl::BreaksBounds(value, style);
}

std::optional<int64_t> CGXSpinEdit::Step(const CString& text, const Bounds& b, bool up) {
  int64_t value;
  if (b.start && text.IsEmpty()) {
    value = *b.start;  // an empty cell starts at the start value, unstepped
  } else {
    const std::optional<int64_t> kept = ReadWhole(text);
    if (!kept || *kept > kLargestStepped || *kept < -kLargestStepped) return std::nullopt;
    value = *kept;
    if (up) {
      if (!b.maximum || value < *b.maximum) {
        if (value == kLargestStepped) return std::nullopt;
        ++value;
      } else if (b.wrap && b.minimum) {
        value = *b.minimum;
      }
    } else {
      if (!b.minimum || value > *b.minimum) {
        if (value == -kLargestStepped) return std::nullopt;
        --value;
      } else if (b.wrap && b.maximum) {
        value = *b.maximum;
      }
    }
  }
  if (b.minimum && value < *b.minimum) value = *b.minimum;
  if (b.maximum && value > *b.maximum) value = *b.maximum;
  return value;
}

void CGXSpinEdit::OnChildClicked(CGXChild* child) {
  const BOOL wasActive = m_bEditing;
  if (!m_bEditing && !NotifyEditStart()) return;
  SetEditingState(TRUE);
  if (!m_hWnd) return;
  // The arrows step the number the cell keeps, read from the shown text as its bounds read it ("1,999" in a
  // grouped number cell is 1999, "(5)" is -5), and show the step in the cell's form ("2,000", "(4)").
  const CGXStyle& style = GetCachedStyle();
  const CString text = WindowText();
  CString value = text;
  if (!ConvertTextForCell(value, m_nRow, m_nCol, style)) value = text;
  char buffer[32] = "";
  bool unstepped = false;  // a number the step cannot move by exactly one: it stays as it is, and the user is told
  if (!IsCellReadOnly() && (child == m_pUp || child == m_pDown)) {
    const std::optional<int64_t> stepped = Step(JudgedValue(value, style), m_bounds, child == m_pUp);
    if (stepped)
      std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(*stepped));
    unstepped = !stepped;
  }
  // A step whose value would pass the cell's maximum length (which a typed or pasted value meets too) leaves
  // the text as it is, as at a bound.
  const UINT limit = GetLimitText();
  if (buffer[0] && (limit == 0 || std::strlen(buffer) <= limit)) {
    CGXStyle number(style);
    number.SetValueType(GX_VT_NUMBER);  // the step is a number, whatever the cell held before
    SetWindowText(EditedText(buffer, number));
    SetModifiedState(TRUE);
    NotifyModified();
    SetSel(0, -1);
  }
  if (!wasActive)
    HideAndInvalidate();
  else
    UpdateEditWindow();
  if (unstepped) {
    CString message;
    message.Format(gx::LoadGridString(GX_IDS_SPIN_PAST_STEP), static_cast<long long>(kLargestStepped));
    m_pGrid->SetWarningText(message);
    m_pGrid->ShowWarningText();
  }
  CGXControl::OnChildClicked(child);
}
