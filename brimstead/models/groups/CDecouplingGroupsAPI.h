// CDecouplingGroupsAPI: the host's handle on the decoupling groups dialog. It keeps the system or the board and
// the unit text, and each RunModal runs a fresh dialog on them.
#pragma once

#include "brimstead/models/groups/DecouplingGroupsAPITable.h"

class CDecouplingGroupsAPI final : public CDecouplingGroupsAPITable {
public:
  CDecouplingGroupsAPI() = default;

  bool SetSystem(CHostSystem* system) override;
  bool SetBoard(CHostBoard* board) override;
  bool SetContext(DWORD_PTR context) override;
  const char* SetUnitText(const char* text) override;
  int RunModal() override;
  void Delete() override;
  bool IsReady(int) override { return true; }

  CHostSystem* System() const { return m_pSystem; }
  CHostBoard* Board() const { return m_pBoard; }
  const char* UnitText() const { return m_pUnitText; }

private:
  ~CDecouplingGroupsAPI() = default;

  DWORD_PTR m_Context = 0;
  CHostSystem* m_pSystem = nullptr;
  CHostBoard* m_pBoard = nullptr;
  const char* m_pUnitText = nullptr;
};
