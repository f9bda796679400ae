#include "brimstead/models/capacitors/CCapacitorModelsAPI.h"

#include "brimstead/BrimsteadExports.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/models/capacitors/CCapacitorModelsDlg.h"
#include "brimstead/models/editor/CCapacitorModelEditorAPI.h"

void CCapacitorModelsAPI::AddModelDirectories(const char* text) { AppendSplitText(text, m_ModelDirectories); }

bool CCapacitorModelsAPI::SetSystem(CHostSystem* system) {
  m_pSystem = system;
  return true;
}

bool CCapacitorModelsAPI::SetBoard(CHostBoard* board) {
  m_pBoard = board;
  return true;
}

CHostNet* CCapacitorModelsAPI::SetFilterNets(CHostNet* netA, CHostNet* netB) {
  m_pFilterNetA = netA;
  m_pFilterNetB = netB;
  return netA;
}

bool CCapacitorModelsAPI::SetContext(DWORD_PTR context) {
  m_Context = context;
  return true;
}

CHostModelLibrary* CCapacitorModelsAPI::SetModelLibrary(CHostModelLibrary* library) {
  m_pModelLibrary = library;
  return library;
}

const char* CCapacitorModelsAPI::SetUnitText(const char* text) {
  m_pUnitText = text;
  return text;
}

int CCapacitorModelsAPI::RunModal() {
  if (!m_pSystem) return 2;
  CHostBoard* board = m_pBoard;
  {
    CHostCollectionRef boards(m_pSystem->GetBoards());
    if (!m_pSystem->MustChooseBoard()) board = boards.Count() > 0 ? boards.Item<CHostBoard>(0) : nullptr;
  }
  CCapacitorModelsDlg dialog;
  CCapacitorModelsPanel& panel = dialog.Panel();
  panel.Attach(m_ModelDirectories, m_pModelLibrary, m_pSystem, board, m_pFilterNetA, m_pFilterNetB, m_Context,
               m_pUnitText);
  panel.SetGroupsOnlyOption(m_bGroupsOnly);
  panel.SetExtendedKindsOption(m_bExtendedKinds);
  // Whatever closed it; -1 only when the dialog could not be made at all.
  return dialog.DoModal() == -1 ? -1 : 1;
}

void CCapacitorModelsAPI::Delete() { delete this; }

BRIM_EXPORT CCapacitorModelsAPITable* CreateCapacitorModelsDialog() { return new CCapacitorModelsAPI; }
