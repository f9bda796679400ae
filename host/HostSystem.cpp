#include "host/HostSystem.h"

#include "host/HostBoard.h"
#include "host/HostCollection.h"

namespace host {

CHostCollection* HostSystem::GetBoards() { return HostCollection::MakeOf<CHostBoard>(m_ledger, "boards", m_boards); }

HostBoard* HostSystem::BoardAt(int index) const {
  if (index < 0 || index >= static_cast<int>(m_boards.size()))
    return nullptr;
  return m_boards[static_cast<size_t>(index)];
}

CHostBoard* HostSystem::GetActiveBoard() { return BoardAt(m_active); }

const char* HostSystem::GetBoardInfoText(int boardIndex) {
  HostBoard* board = BoardAt(boardIndex);
  return board ? board->Description().c_str() : "";
}

const char* HostSystem::GetBoardFileName(int boardIndex) {
  HostBoard* board = BoardAt(boardIndex);
  return board ? board->FileName().c_str() : "";
}

const char* HostSystem::GetComponentText(CHostComponent* component) { return component ? component->GetName() : ""; }

const char* HostSystem::GetNetText(CHostNet* net) { return net ? net->GetName() : ""; }

}  // namespace host
