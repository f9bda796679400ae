// A sample board, a system around it, the one-board system and the seam hook, for the record tests. Every test
// leaves no current record and gives back everything it took from the host.
#pragma once

#include "brimstead/AnalysisData.h"
#include "brimstead/FakedSingleBoardSystem.h"
#include "brimstead/tests/WizardSeamTestHook.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"
#include "host/HostSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

inline std::string SampleBoardPath(const std::string& name) {
  const char* dir = std::getenv("BRIM_SOURCE_DIR");
  return std::string(dir ? dir : ".") + "/samples/boards/" + name;
}

class RecordTest : public testing::Test {
protected:
  explicit RecordTest(const std::string& boardFile = "demo8.json")
      : RecordTest([&](host::HostLedger& to) { return host::LoadBoardFile(SampleBoardPath(boardFile), to); }) {}
  // A board that `load` makes (from a text, say), counted by the test's ledger.
  explicit RecordTest(const std::function<std::unique_ptr<host::HostBoard>(host::HostLedger&)>& load)
      : board(load(ledger)), oneBoard(board.get()), hook(&board->GeometryQuery()) {
    system.AddBoard(board.get());
    SetCurrentAnalysisData(nullptr);
  }

  void TearDown() override {
    SetCurrentAnalysisData(nullptr);
    EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
  }

  // The current record of kind T, in board mode (the one-board system) or system mode, with board 0 selected.
  template <class T>
  T* Make(bool boardMode) {
    T* record = GetAnalysisDataOfKind<T>();
    record->m_bBoardMode = boardMode ? 1 : 0;
    record->m_pSystem = boardMode ? static_cast<CHostSystem*>(&oneBoard) : &system;
    record->SelectBoard(0);
    return record;
  }

  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board;
  host::HostSystem system{ledger, "Project"};
  CFakedSingleBoardSystem oneBoard;
  CWizardSeamTestHook hook;
};
