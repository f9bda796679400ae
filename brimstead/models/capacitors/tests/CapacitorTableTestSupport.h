// Test support for the capacitor table and the capacitor models dialog: a board built in code (supply nets,
// capacitors with pins on them, groups, models), the window fixture with the grid library and its editing features
// started, and helpers that read the table's grid.
#pragma once

#include "brimstead/models/capacitors/CCapacitorGrid.h"
#include "brimstead/models/capacitors/CCapacitorModelsDlg.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "host/HostBoard.h"
#include "host/HostCapacitorModel.h"
#include "host/HostDecoupling.h"
#include "host/HostLedger.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace captest {

class TestBoard {
public:
  TestBoard(host::HostLedger& ledger, const std::string& name);

  host::HostPart* Part(const std::string& name, double farads);
  // A capacitor with pin "1" on net A and pin "2" on net B; a decoupling capacitor unless told otherwise.
  host::HostComponent* Capacitor(const std::string& name, host::HostPart* part, host::HostNet* a, host::HostNet* b,
                                 bool decoupling = true);
  host::HostCapacitorGroup* Group(const std::string& name, std::initializer_list<host::HostComponent*> members);
  // A C-L-R model named `name`; with 0 farads it is incomplete (shown red).
  static std::unique_ptr<host::HostCapacitorModel> Model(const std::string& name, double farads = 1e-7);
  // Assigns without logging a change (building the board is no change of it).
  void GroupModel(host::HostCapacitorGroup* group, const std::string& name, bool disabled = false,
                  double farads = 1e-7);
  void OwnModel(host::HostComponent* capacitor, const std::string& name, bool disabled = false, double farads = 1e-7);
  const std::vector<std::string>& Changes() const { return board->Changes().Lines(); }

  std::unique_ptr<host::HostBoard> board;
  host::HostNet* gnd = nullptr;
  host::HostNet* vdd = nullptr;
  host::HostNet* vio = nullptr;

private:
  host::HostLayer* m_pTop = nullptr;
};

class CapacitorTableTest : public wiztest::WizardWindowTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Attaches the dialog's table to the board (no system) and opens it as a modeless popup.
  void Open(CCapacitorModelsDlg& dialog, CHostNet* netA = nullptr, CHostNet* netB = nullptr);
  // Runs `body` inside the dialog's modal loop, then cancels the dialog when `body` left it open.
  INT_PTR RunModal(CDialog& dialog, std::function<void()> body);

  // Column 2 of every row from 1, as shown.
  static std::vector<std::string> Names(CCapacitorModelsPanel& panel);
  static std::string Cell(CCapacitorModelsPanel& panel, ROWCOL row, ROWCOL col);
  static CGXStyle Style(CCapacitorModelsPanel& panel, ROWCOL row, ROWCOL col);
  // The row whose column 2 shows `name` (trimmed), 0 when none.
  static ROWCOL RowOf(CCapacitorModelsPanel& panel, const char* name);
  // Replaces the selection by these rows and tells the table, as a user's selection does.
  static void Select(CCapacitorModelsPanel& panel, std::initializer_list<ROWCOL> rows);
  static bool Enabled(CWnd& owner, int id);
  static void ExpectMatchesReference(HWND hwnd, const std::string& name);

  host::HostLedger ledger;
  TestBoard board{ledger, "test"};
};

}  // namespace captest
