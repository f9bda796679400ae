// Test support for the decoupling groups dialog: a board built in code (parts, capacitors with pins, groups), the
// window fixture with the grid library started, and helpers that read and drive the two grids.
#pragma once

#include "brimstead/models/groups/CDecouplingGroupsDlg.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace groupstest {

// A board of decoupling capacitors, built by the test.
class TestBoard {
public:
  TestBoard();

  host::HostPart* Part(const std::string& name, double farads, double maxDimensionMetres);
  // A component with pins of the given names; a decoupling capacitor unless told otherwise.
  host::HostComponent* Capacitor(const std::string& name, host::HostPart* part,
                                 std::initializer_list<const char*> pins = {"1", "2"}, bool decoupling = true);
  host::HostCapacitorGroup* Group(const std::string& name, std::initializer_list<host::HostComponent*> members);
  host::HostCapacitorGroup* Group(const std::string& name, const std::vector<host::HostComponent*>& members);
  // The groups' names and members as the host holds them: "name: C1 C2" per group, in the host's order.
  std::vector<std::string> HostGroups() const;
  const std::vector<std::string>& Changes() const { return board->Changes().Lines(); }

  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board;

private:
  host::HostLayer* m_pTop = nullptr;
  host::HostNet* m_pNet = nullptr;
};

class GroupsDialogTest : public wiztest::WizardWindowTest {
protected:
  GroupsDialogTest();
  void SetUp() override;

  // Opens the dialog as a modeless popup so that its state can be checked between calls.
  static void Open(CDecouplingGroupsDlg& dialog);
  // Runs `body` inside the dialog's modal loop, then cancels the dialog when `body` left it open.
  INT_PTR RunModal(CDecouplingGroupsDlg& dialog, std::function<void()> body);
  std::vector<std::string> Messages() const;

  // Column 2 of every row from 1, as shown.
  static std::vector<std::string> Names(CGroupsGrid& grid);
  static CString Cell(CGroupsGrid& grid, ROWCOL row, ROWCOL col);
  static CGXStyle Style(CGroupsGrid& grid, ROWCOL row, ROWCOL col);
  // Replaces the grid's selection by these rows (each its own range).
  static void Select(CGroupsGrid& grid, std::initializer_list<ROWCOL> rows);
  // The row whose column 2 shows `name` (trimmed), 0 when none.
  static ROWCOL RowOf(CGroupsGrid& grid, const char* name);
  static bool Enabled(CDecouplingGroupsDlg& dialog, int id);
  // Compares the window with brimstead/models/groups/tests/reference/<name>.png.
  static void ExpectMatchesReference(HWND hwnd, const std::string& name);
  // Types `text` into the name cell being edited (replacing its text).
  static void TypeIntoCurrentCell(CGroupsGrid& grid, const char* text);

  TestBoard board;
};

}  // namespace groupstest
