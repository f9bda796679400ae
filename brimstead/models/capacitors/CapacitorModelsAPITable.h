// The host's view of the capacitor models dialog's interface object, returned by the exported
// CreateCapacitorModelsDialog: the operations in the order of their slots. Every setter only stores; nothing the
// host hands in is owned or released by the module.
#pragma once

#include "brimstead/HostInterfaces.h"

class CCapacitorModelsAPITable {
public:
  // Splits at carriage return, tab and line feed (empty pieces dropped) and appends the pieces to the model
  // directories; each call adds to what earlier calls gave.
  /* 0 */ virtual void AddModelDirectories(const char* text) = 0;
  /* 1 */ virtual bool SetSystem(CHostSystem* system) = 0;   // true
  // The board to show; with a system that does not ask for a choice (slot 9 false) its first board is shown.
  /* 2 */ virtual bool SetBoard(CHostBoard* board) = 0;      // true
  // The supply nets the net filter starts with (either may be null). Answers the first.
  /* 3 */ virtual CHostNet* SetFilterNets(CHostNet* netA, CHostNet* netB) = 0;
  // Groups only: no part names, values or ungrouped capacitors, no "Edit Groups...".
  /* 4 */ virtual void SetGroupsOnly() = 0;
  /* 5 */ virtual bool SetContext(DWORD_PTR context) = 0;    // kept, never read; true
  // The library the model editor offers; answers it.
  /* 6 */ virtual CHostModelLibrary* SetModelLibrary(CHostModelLibrary* library) = 0;
  // The host's unit text: the groups dialog shows lengths in mils when it is set and empty. Answers it.
  /* 7 */ virtual const char* SetUnitText(const char* text) = 0;
  // The model editor offers its further model kinds ("PLS").
  /* 8 */ virtual void EnableExtendedKinds() = 0;
  // 2 at once without a system; else 1 once the dialog closed, whatever closed it.
  /* 9 */ virtual int RunModal() = 0;
  /* 10 */ virtual void Delete() = 0;

protected:
  ~CCapacitorModelsAPITable() = default;
};
