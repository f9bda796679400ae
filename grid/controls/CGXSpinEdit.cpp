#include "grid/controls/CGXSpinEdit.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/GXCellNumbers.h"
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

// A bound or start value: a number set as one is read as that number; a number past 64 bits is held at the end of
// the range it lies past.
std::optional<int64_t> OptionalAttribute(const CGXStyle& style, WORD id) {
  if (!style.HasUserAttribute(id)) return std::nullopt;
  const CString text = gx::NumberAttributeText(style, id);
  if (text.IsEmpty()) return std::nullopt;
  return gx::SaturatedWholeNumber(text);
}

// A value judged against the bounds: a decimal number (blanks around it) that is a whole number of 64 bits, read
// exactly ("9007199254740993", "1e+14" as the cell keeps 10^14); empty for any other text ("2.5", "12abc", "1e400").
std::optional<int64_t> JudgedWhole(const char* text) {
  bool whole = false;
  const double n = gx::DecimalNumber(text, &whole);
  if (!whole || n != std::trunc(n)) return std::nullopt;
  return gx::WholeNumber(text);
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
    // The number the cell would keep, read from the text the cell would store ("1e+14" for a grouped
    // "100,000,000,000,000"), not its leading digits.
    const std::optional<int64_t> judged = JudgedWhole(JudgedValue(value, style));
    if (!judged || (b.minimum && *judged < *b.minimum) || (b.maximum && *judged > *b.maximum)) {
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
    const std::optional<int64_t> kept = gx::WholeNumber(text);
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

CString CGXSpinEdit::KeptText(const CString& shown, const CGXStyle& style) {
  CString value = shown;
  if (!ConvertTextForCell(value, m_nRow, m_nCol, style)) value = shown;
  return JudgedValue(value, style);
}

void CGXSpinEdit::OnChildClicked(CGXChild* child) {
  const BOOL wasActive = m_bEditing;
  if (!m_bEditing && !NotifyEditStart()) return;
  SetEditingState(TRUE);
  if (!m_hWnd) return;
  // The arrows step the number the cell keeps, read from the shown text as its bounds read it ("1,999" in a
  // grouped number cell is 1999, "(5)" is -5), and show the step in the cell's form ("2,000", "(4)").
  const CGXStyle& style = GetCachedStyle();
  CString message;  // why the value stays as it is, where the step cannot keep it
  if (!IsCellReadOnly() && (child == m_pUp || child == m_pDown)) {
    const std::optional<int64_t> stepped = Step(KeptText(WindowText(), style), m_bounds, child == m_pUp);
    char buffer[32] = "";
    CString shown;
    if (stepped) {
      std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(*stepped));
      CGXStyle number(style);
      number.SetValueType(GX_VT_NUMBER);  // the step is a number, whatever the cell held before
      shown = EditedText(buffer, number);
      // The cell's form must give the step back: "1.23e+03" (format 1 of 2 places) is 1230 whether 1231 or 1229
      // was stepped to, and stored so.
      if (gx::WholeNumber(KeptText(shown, style)) != stepped) {
        message.Format(gx::LoadGridString(GX_IDS_SPIN_NOT_SHOWN), static_cast<long long>(*stepped));
        shown.Empty();
      }
    } else {
      message.Format(gx::LoadGridString(GX_IDS_SPIN_PAST_STEP), static_cast<long long>(kLargestStepped));
    }
    // A step whose value would pass the cell's maximum length (which a typed or pasted value meets too) leaves
    // the text as it is, as at a bound.
    const UINT limit = GetLimitText();
    if (!shown.IsEmpty() && (limit == 0 || std::strlen(buffer) <= limit)) {
      SetWindowText(shown);
      SetModifiedState(TRUE);
      NotifyModified();
      SetSel(0, -1);
    }
  }
  if (!wasActive)
    HideAndInvalidate();
  else
    UpdateEditWindow();
  if (!message.IsEmpty()) {
    m_pGrid->SetWarningText(message);
    m_pGrid->ShowWarningText();
  }
  CGXControl::OnChildClicked(child);
}
