// CCapacitorRowRecord: one row the capacitor table can show: a decoupling group, a member capacitor of a group
// (shown under its expanded group) or a capacitor that belongs to no group.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "platform/base/CString.h"

struct CCapacitorRowRecord {
  CHostComponent* m_pCapacitor = nullptr;   // null on a group row
  CHostCapacitorGroup* m_pGroup = nullptr;  // null for a capacitor of no group
  CHostCapacitorModel* m_pModel = nullptr;  // the host's; may be null
  CString m_ModelText;
  CString m_PartName;
  CString m_ValueText;
  BYTE m_bModelValid = 0;
  BYTE m_bSpare = 0;
  BYTE m_bModelEnabled = 1;
  BYTE m_bExpanded = 0;
  int m_nParent = -1;   // a member row: the index of its group's record

  bool IsGroupRow() const { return m_pGroup && !m_pCapacitor; }
  bool IsMemberRow() const { return m_pGroup && m_pCapacitor; }
  bool IsUngroupedRow() const { return m_pCapacitor && !m_pGroup; }
  // A group or ungrouped row that holds a model: its check box can be switched.
  bool HasSwitchableModel() const { return m_pModel && !IsMemberRow(); }
};
