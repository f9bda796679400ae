// A system of boards of the bundled host (the host's project with several boards).
#pragma once

#include "brimstead/HostInterfaces.h"

#include <string>
#include <vector>

namespace host {

class HostBoard;
class HostLedger;

class HostSystem final : public CHostSystem {
public:
  HostSystem(HostLedger& ledger, std::string name) : m_ledger(ledger), m_name(std::move(name)) {}

  const char* GetName() override { return m_name.c_str(); }
  bool MustChooseBoard() override { return m_boards.size() > 1; }
  CHostCollection* GetBoards() override;
  CHostBoard* GetActiveBoard() override;
  const char* GetBoardInfoText(int boardIndex) override;
  const char* GetBoardFileName(int boardIndex) override;
  const char* GetComponentText(CHostComponent* component) override;
  const char* GetNetText(CHostNet* net) override;

  void AddBoard(HostBoard* board) { m_boards.push_back(board); }   // not owned
  void SetActiveBoard(int index) { m_active = index; }

private:
  HostBoard* BoardAt(int index) const;

  HostLedger& m_ledger;
  std::string m_name;
  std::vector<HostBoard*> m_boards;
  int m_active = 0;
};

}  // namespace host
