// The host's view of the decoupling groups dialog's interface object, returned by the exported
// CreateDecouplingGroupsDialog: the operations in the order of their slots.
#pragma once

#include "brimstead/HostInterfaces.h"

class CDecouplingGroupsAPITable {
public:
  // A system and a board cannot both be set: each setter refuses a non-null argument while the other is set.
  // Null is always accepted.
  /* 0 */ virtual bool SetSystem(CHostSystem* system) = 0;
  /* 1 */ virtual bool SetBoard(CHostBoard* board) = 0;
  /* 2 */ virtual bool SetContext(DWORD_PTR context) = 0;   // kept, never read
  // The host's unit text: lengths are shown in mils when it is set and empty, else in millimetres. Answers the
  // pointer it was given.
  /* 3 */ virtual const char* SetUnitText(const char* text) = 0;
  // 1 OK, 2 Cancel, -1 when the dialog cannot start (no board, or no "iBoadData/Decoupling(00275)").
  /* 4 */ virtual int RunModal() = 0;
  /* 5 */ virtual void Delete() = 0;
  /* 6 */ virtual bool IsReady(int one) = 0;   // always true

protected:
  ~CDecouplingGroupsAPITable() = default;
};
