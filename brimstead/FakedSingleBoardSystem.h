// CFakedSingleBoardSystem: the system interface for exactly one board, made when the host hands in a single board
// (board mode), so that the pages, the records and the settings file treat both cases alike.
#pragma once

#include "brimstead/HostInterfaces.h"

class CFakedSingleBoardSystem final : public CHostSystem {
public:
  explicit CFakedSingleBoardSystem(CHostBoard* board) : m_Boards(*this), m_pBoard(board) {}

  void ReservedOp0() override {}
  int ReservedOp1() override { return 0; }
  int ReservedOp2() override { return 0; }
  const char* GetName() override { return "Faked Single Board System"; }
  void ReservedOp4() override {}
  void ReservedOp5() override {}
  void ReservedOp6(int) override {}
  bool ReservedOp7() override { return true; }
  bool ReservedOp8() override { return true; }
  bool MustChooseBoard() override { return false; }   // there is never a choice
  CHostCollection* GetBoards() override { return &m_Boards; }
  CHostBoard* GetActiveBoard() override { return m_pBoard; }
  int ReservedOp12() override { return 0; }
  const char* GetBoardInfoText(int) override { return "Single Board"; }
  const char* GetBoardFileName(int) override { return ""; }
  bool ReservedOp15(int, int) override { return true; }
  int ReservedOp16(int) override { return 0; }
  bool ReservedOp17(int, int) override { return true; }
  int ReservedOp18(int) override { return 0; }
  int ReservedOp19(int) override { return 0; }
  const char* GetComponentText(CHostComponent* component) override {
    return component ? component->GetName() : nullptr;
  }
  const char* GetNetText(CHostNet* net) override { return net ? net->GetName() : nullptr; }

  CHostBoard* Board() const { return m_pBoard; }

private:
  // The embedded board collection: it lives inside the system, so releasing it does nothing and it stays usable.
  class CBoardCollection final : public CHostCollection {
  public:
    explicit CBoardCollection(CFakedSingleBoardSystem& system) : m_System(system) {}
    void Release() override {}
    int GetCount() override { return 1; }
    // Every index answers the board, as the host has always relied on.
    void* GetItem(int) override { return static_cast<void*>(m_System.m_pBoard); }

  private:
    CFakedSingleBoardSystem& m_System;
  };

  CBoardCollection m_Boards;
  CHostBoard* m_pBoard;
};
