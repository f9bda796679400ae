// CCapacitorModelsAPI: the host's handle on the "Assign Decoupling-Capacitor Models" dialog. It keeps what the
// host hands in (system, board, filter nets, model directories, library, unit text, options) and each RunModal
// runs a fresh dialog on them. The capacitor table (CCapacitorModelsPanel) derives from it and so shares these
// fields as its inputs.
#pragma once

#include "brimstead/models/capacitors/CapacitorModelsAPITable.h"
#include "platform/base/CStringArray.h"

class CCapacitorModelsAPI : public CCapacitorModelsAPITable {
public:
  CCapacitorModelsAPI() = default;
  virtual ~CCapacitorModelsAPI() = default;
  CCapacitorModelsAPI(const CCapacitorModelsAPI&) = delete;
  CCapacitorModelsAPI& operator=(const CCapacitorModelsAPI&) = delete;

  void AddModelDirectories(const char* text) override;
  bool SetSystem(CHostSystem* system) override;
  bool SetBoard(CHostBoard* board) override;
  CHostNet* SetFilterNets(CHostNet* netA, CHostNet* netB) override;
  void SetGroupsOnly() override { m_bGroupsOnly = true; }
  bool SetContext(DWORD_PTR context) override;
  CHostModelLibrary* SetModelLibrary(CHostModelLibrary* library) override;
  const char* SetUnitText(const char* text) override;
  void EnableExtendedKinds() override { m_bExtendedKinds = true; }
  int RunModal() override;
  // Frees an object made by CreateCapacitorModelsDialog (the host's; never called on a table inside a window).
  void Delete() override;

  const CStringArray& ModelDirectories() const { return m_ModelDirectories; }
  CHostSystem* System() const { return m_pSystem; }
  CHostBoard* Board() const { return m_pBoard; }
  CHostNet* FilterNetA() const { return m_pFilterNetA; }
  CHostNet* FilterNetB() const { return m_pFilterNetB; }
  CHostModelLibrary* ModelLibrary() const { return m_pModelLibrary; }
  const char* UnitText() const { return m_pUnitText; }
  DWORD_PTR Context() const { return m_Context; }
  bool GroupsOnly() const { return m_bGroupsOnly; }
  bool ExtendedKinds() const { return m_bExtendedKinds; }
  // The table's two options, as the wizards set them before the capacitor page is added.
  void SetGroupsOnlyOption(bool on) { m_bGroupsOnly = on; }
  void SetExtendedKindsOption(bool on) { m_bExtendedKinds = on; }

protected:
  DWORD_PTR m_Context = 0;
  bool m_bGroupsOnly = false;
  bool m_bExtendedKinds = false;
  CStringArray m_ModelDirectories;
  CHostSystem* m_pSystem = nullptr;
  CHostBoard* m_pBoard = nullptr;
  CHostNet* m_pFilterNetA = nullptr;
  CHostNet* m_pFilterNetB = nullptr;
  CHostModelLibrary* m_pModelLibrary = nullptr;
  const char* m_pUnitText = nullptr;
};
