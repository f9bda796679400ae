#include "brimstead/models/editor/CPortMapGrid.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/gxlayout.h"
#include "grid/core/gxtypes.h"

#include <vector>

namespace {
constexpr ROWCOL kPortColumn = 1;
constexpr ROWCOL kPinColumn = 2;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(191, 191, 191);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The window behind control 1147 until the grid subclasses it.
LRESULT PortMapClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProc(hwnd, message, wParam, lParam);
}
}  // namespace

void RegisterPortMapClass(HINSTANCE instance) {
  WNDCLASS wc{};
  if (::GetClassInfo(instance, "PORTMAP", &wc)) return;
  wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
  wc.lpfnWndProc = PortMapClassProc;
  wc.hInstance = instance;
  wc.lpszClassName = "PORTMAP";
  ::RegisterClass(&wc);
}

CPortMapGrid::~CPortMapGrid() {
  if (m_hWnd) DestroyWindow();
}

BOOL CPortMapGrid::Attach(CWnd* pane, UINT id, WORD layout, CPortMapListener* listener) {
  m_pListener = listener;
  if (!SubclassDlgItem(id, pane)) return FALSE;
  // The layout's parameter object belongs to the grid from here on; a missing layout gives the grid defaults.
  AttachParam(LoadGridParamLayoutById(layout), TRUE);
  InitializeFromStyle();
  return TRUE;
}

void CPortMapGrid::Fill(const CStringArray& pins, const PortMap& map, PinCells cells) {
  const int count = static_cast<int>(pins.GetSize());
  SetRowCount(static_cast<ROWCOL>(count), GX_INVALIDATE);
  CString choices;
  for (int i = 0; i < count; ++i) {
    if (i) choices += "\n";
    choices += pins[i];
  }
  for (int row = 1; row <= count; ++row) {
    CString number;
    number.Format("%d", row);
    CString value = NotAssignedText;
    if (auto it = map.find(row); it != map.end()) {
      for (int i = 0; i < count; ++i)
        if (pins[i] == it->second) value = it->second;
    } else if (count <= 2) {
      value = number;
    }
    CGXStyle port;
    port.SetValue(number);
    SetStyleRange(CGXRange(static_cast<ROWCOL>(row), kPortColumn), port, gxOverride, 0, 0);
    CGXStyle pin;
    pin.SetValue(value).SetChoiceList(choices);
    switch (cells) {
      case PinCells::Choice: pin.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST); break;
      case PinCells::ChoiceOnWhite: pin.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetInteriorColor(kWhite); break;
      case PinCells::FixedGrey: pin.SetControl(GX_IDS_CTRL_STATIC).SetInteriorColor(kGrey).SetReadOnly(TRUE); break;
    }
    SetStyleRange(CGXRange(static_cast<ROWCOL>(row), kPinColumn), pin, gxOverride, 0, 0);
  }
}

CString CPortMapGrid::GetPin(ROWCOL row) { return GetCellValue(row, kPinColumn); }

bool CPortMapGrid::NamesPin(ROWCOL row) {
  const CString pin = GetPin(row);
  if (pin.IsEmpty() || pin == NotAssignedText) return false;
  CGXStyle cell;
  ComposeCellStyle(row, kPinColumn, cell);
  const CString choices = cell.IsIncluded(GX_IN_CHOICELIST) ? cell.GetChoiceList() : CString();
  for (int start = 0; start <= choices.GetLength();) {
    int end = choices.Find('\n', start);
    if (end < 0) end = choices.GetLength();
    if (choices.Mid(start, end - start) == pin) return true;
    start = end + 1;
  }
  return false;
}

void CPortMapGrid::StoreAssignments(PortMap& map) {
  for (ROWCOL row = 1; row <= GetRowCount(); ++row) {
    const CString pin = GetPin(row);
    // An emptied cell is no pin, as "<not assigned>" is not.
    if (!pin.IsEmpty() && pin != NotAssignedText) map[static_cast<int>(row)] = pin;
  }
}

bool CPortMapGrid::HasUnassignedPort() {
  for (ROWCOL row = 1; row <= GetRowCount(); ++row)
    if (!NamesPin(row)) return true;
  return false;
}

BOOL CPortMapGrid::OnDeleteCell(ROWCOL row, ROWCOL col) {
  return col == kPinColumn ? FALSE : CWizardGridWnd::OnDeleteCell(row, col);
}

CString CPortMapGrid::ChosenPin(ROWCOL row) {
  CString text;
  CGXControl* control = MatchesCurrentCell(row, kPinColumn) && CurrentCellIsActive() ? ControlOfCurrentCell() : nullptr;
  if (control)
    control->GetEditText(text);
  else
    text = GetCellValue(row, kPinColumn);
  return text;
}

void CPortMapGrid::ClearDuplicatePins(ROWCOL row) {
  const CString chosen = ChosenPin(row);
  for (ROWCOL i = 1; i <= GetRowCount(); ++i) {
    // Only cells that change are restyled. The drop-down cell repeats its modified notification when its list
    // closes, also from inside a paint of the grid (the paint hides the cell's box); restyling there would free
    // the styles that paint is drawing with, so a repeated call must change nothing.
    CGXStyle shown;
    ComposeCellStyle(i, kPinColumn, shown);
    CGXStyle style;
    if (i == row) {
      if (shown.GetTextColor() == kBlack) continue;
      style.SetTextColor(kBlack);
    } else if (GetPin(i) == chosen) {
      if (chosen == NotAssignedText && shown.GetTextColor() == kRed) continue;
      style.SetValue(NotAssignedText).SetTextColor(kRed);
    } else {
      continue;
    }
    // The chosen row is the cell being edited: redrawing it now would hide and show its box while the box has the
    // focus, and each such paint asks for the next one. Its colour shows when the cell is drawn next.
    SetStyleRange(CGXRange(i, kPinColumn), style, gxOverride, 0, i == row ? 0 : GX_INVALIDATE);
  }
}

BOOL CPortMapGrid::Paste() {
  std::vector<CString> before;
  for (ROWCOL row = 1; row <= GetRowCount(); ++row) before.push_back(GetPin(row));
  // A paste into the cell being edited goes into its list box, which tells of its choice itself.
  const bool editing = CurrentCellIsActive() != FALSE;
  const BOOL pasted = CWizardGridWnd::Paste();
  if (!pasted || editing) return pasted;
  for (ROWCOL row = 1; row <= GetRowCount() && row <= before.size(); ++row) {
    if (GetPin(row) == before[row - 1]) continue;
    ClearDuplicatePins(row);
    if (m_pListener) m_pListener->OnPortAssignmentChanged(static_cast<int>(row));
  }
  RedrawAll();
  return pasted;
}

BOOL CPortMapGrid::NotifyCellModified(ROWCOL row, ROWCOL col) {
  const BOOL answer = CGXGridWnd::NotifyCellModified(row, col);
  // While the pin list is open the user only passes over pins (each arrow key changes the selection): a pin
  // passed on the way is not taken from its port. The list's close-up notifies again with the pin chosen.
  if (col == kPinColumn && !m_bListDropped) {
    ClearDuplicatePins(row);
    if (m_pListener) m_pListener->OnPortAssignmentChanged(static_cast<int>(row));
  }
  return answer;
}
