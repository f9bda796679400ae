#include "brimstead/models/groups/CDecouplingGroupsAPI.h"

#include "brimstead/BrimsteadExports.h"
#include "brimstead/models/groups/CDecouplingGroupsDlg.h"

bool CDecouplingGroupsAPI::SetSystem(CHostSystem* system) {
  if (system && m_pBoard) return false;
  m_pSystem = system;
  return true;
}

bool CDecouplingGroupsAPI::SetBoard(CHostBoard* board) {
  if (board && m_pSystem) return false;
  m_pBoard = board;
  return true;
}

bool CDecouplingGroupsAPI::SetContext(DWORD_PTR context) {
  m_Context = context;
  return true;
}

const char* CDecouplingGroupsAPI::SetUnitText(const char* text) {
  m_pUnitText = text;
  return text;
}

int CDecouplingGroupsAPI::RunModal() {
  CDecouplingGroupsDlg dialog(m_pBoard, m_pSystem);
  dialog.m_bMils = CDecouplingGroupsDlg::UnitTextMeansMils(m_pUnitText);
  const INT_PTR result = dialog.DoModal();
  return result == IDOK ? 1 : result == -1 ? -1 : 2;
}

void CDecouplingGroupsAPI::Delete() { delete this; }

BRIM_EXPORT CDecouplingGroupsAPITable* CreateDecouplingGroupsDialog() { return new CDecouplingGroupsAPI; }
