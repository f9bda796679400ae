// CPortMapGrid: the grid of a multi-port model's port-to-pin assignment. One row per component pin; column 1 the
// port's label, column 2 the pin chosen for that port (a pin name or "<not assigned>"). Choosing a pin for one
// port takes it from any other port that held it, which then shows "<not assigned>" in red.
#pragma once

#include "brimstead/models/editor/ModelEditorRecord.h"
#include "brimstead/wizards/CWizardGridWnd.h"
#include "platform/base/CStringArray.h"

class CPortMapListener {
public:
  virtual void OnPortAssignmentChanged(int row) = 0;

protected:
  ~CPortMapListener() = default;
};

inline constexpr const char* NotAssignedText = "<not assigned>";

class CPortMapGrid : public CWizardGridWnd {
public:
  enum : WORD { LayoutTouchstone = 1148, LayoutSpice = 1149 };
  enum class PinCells { Choice, ChoiceOnWhite, FixedGrey };

  CPortMapGrid() = default;
  ~CPortMapGrid() override;

  // Attaches to the pane's control `id`, loads the layout and initialises the grid.
  BOOL Attach(CWnd* pane, UINT id, WORD layout, CPortMapListener* listener);
  // One row per pin, filled from the port map: a stored pin the component does not have, and a port the map does
  // not name (with more than two pins), start as "<not assigned>"; with two pins or fewer an unnamed port shows its
  // own number.
  void Fill(const CStringArray& pins, const PortMap& map, PinCells cells);
  // Column 2 of row `row` (from 1).
  CString GetPin(ROWCOL row);
  // Every row whose column 2 names a pin, into `map` (other entries stay).
  void StoreAssignments(PortMap& map);
  // Whether a port's cell names no pin of its list, however it got so: "<not assigned>", emptied, or a text that is
  // no pin.
  bool HasUnassignedPort();
  // Gives the port to the pin chosen in `row` and takes that pin from every other port.
  void ClearDuplicatePins(ROWCOL row);

  BOOL NotifyCellModified(ROWCOL row, ROWCOL col) override;
  // A pin pasted into a port's cell is chosen for that port as one picked from its list is: it is taken from every
  // other port that held it, and the listener hears of it.
  BOOL Paste() override;
  // A pin cell is never cleared (Delete, Ctrl+Delete, a cut, a cleared range): an empty pin is no choice of its
  // list, and a port takes "<not assigned>" only from another port that takes its pin.
  BOOL OnDeleteCell(ROWCOL row, ROWCOL col) override;
  void OnButtonClickedInCell(ROWCOL, ROWCOL) override {}
  // No pin cell starts editing while the map is locked (a library model's map is shown, not changed).
  BOOL OnStartEditing(ROWCOL, ROWCOL) override { return m_bLocked ? FALSE : TRUE; }

  bool m_bLocked = false;

  CPortMapListener* m_pListener = nullptr;

private:
  // The text the row's pin cell shows now: the active control's when it is being edited, else the cell's value.
  CString ChosenPin(ROWCOL row);
  // Whether column 2 of `row` names one of the pins its cell offers.
  bool NamesPin(ROWCOL row);
};

// Registers the "PORTMAP" window class that the pane templates name for control 1147 (idempotent).
void RegisterPortMapClass(HINSTANCE instance);
