#include "brimstead/models/editor/CPortMapGrid.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/gxlayout.h"
#include "grid/core/gxtypes.h"

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

void CPortMapGrid::StoreAssignments(PortMap& map) {
  for (ROWCOL row = 1; row <= GetRowCount(); ++row) {
    const CString pin = GetPin(row);
    if (pin != NotAssignedText) map[static_cast<int>(row)] = pin;
  }
}

bool CPortMapGrid::HasUnassignedPort() {
  for (ROWCOL row = 1; row <= GetRowCount(); ++row)
    if (GetPin(row) == NotAssignedText) return true;
  return false;
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
    CGXStyle style;
    if (i == row) {
      style.SetTextColor(kBlack);
    } else if (GetPin(i) == chosen) {
      style.SetValue(NotAssignedText).SetTextColor(kRed);
    } else {
      continue;
    }
    SetStyleRange(CGXRange(i, kPinColumn), style, gxOverride);
  }
}

BOOL CPortMapGrid::NotifyCellModified(ROWCOL row, ROWCOL col) {
  const BOOL answer = CGXGridWnd::NotifyCellModified(row, col);
  if (col == kPinColumn) {
    ClearDuplicatePins(row);
    if (m_pListener) m_pListener->OnPortAssignmentChanged(static_cast<int>(row));
  }
  return answer;
}
