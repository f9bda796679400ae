#include "brimstead/models/groups/tests/GroupsDialogTestSupport.h"

#include "brimstead/wizards/WizardResources.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/gxlayoutresources.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/AutomationProvider.h"

#include <algorithm>

namespace groupstest {

TestBoard::TestBoard() : board(std::make_unique<host::HostBoard>(ledger, "test", "test.json")) {
  m_pTop = board->AddLayer("TOP", host::LayerKind::Metal, 35e-6);
  m_pNet = board->AddNet("GND", host::NetType::Supply, 0.0);
}

host::HostPart* TestBoard::Part(const std::string& name, double farads, double maxDimensionMetres) {
  return board->AddPart(name, "", farads, maxDimensionMetres);
}

host::HostComponent* TestBoard::Capacitor(const std::string& name, host::HostPart* part,
                                          std::initializer_list<const char*> pins, bool decoupling) {
  host::HostComponent* component = board->AddComponent(name, part, m_pTop);
  for (const char* pin : pins) component->AddPin(board->AddElement(m_pNet, {}, 0.0005, pin, component));
  board->Decoupling().SetDecoupling(component, decoupling);
  return component;
}

host::HostCapacitorGroup* TestBoard::Group(const std::string& name,
                                           std::initializer_list<host::HostComponent*> members) {
  return Group(name, std::vector<host::HostComponent*>(members));
}

host::HostCapacitorGroup* TestBoard::Group(const std::string& name,
                                           const std::vector<host::HostComponent*>& members) {
  // Building the board is no change of it.
  board->Decoupling().SetChangeLog(nullptr);
  host::HostCapacitorGroup* group = board->Decoupling().AddGroup(name);
  for (host::HostComponent* member : members) group->AddMember(member);
  board->Decoupling().SetChangeLog(&board->Changes());
  return group;
}

std::vector<std::string> TestBoard::HostGroups() const {
  std::vector<std::string> out;
  for (const auto& group : board->Decoupling().Groups()) {
    std::string line = group->Name() + ":";
    for (CHostComponent* member : group->Members()) line += std::string(" ") + member->GetName();
    out.push_back(line);
  }
  return out;
}

// Started before a fixture's dialog is made: its grids take their features from the library's start-up as the
// module's grids do, whether the test runs alone or after others in one process.
GroupsDialogTest::GroupsDialogTest() { StartGridLibrary(&RegisterCellsAndFeatures); }

void GroupsDialogTest::SetUp() {
  WizardWindowTest::SetUp();
  StartGridLibrary(&RegisterCellsAndFeatures);
  plat::ClearShownLog();
}

void GroupsDialogTest::Open(CDecouplingGroupsDlg& dialog) { OpenModuleDialog(dialog); }

INT_PTR GroupsDialogTest::RunModal(CDecouplingGroupsDlg& dialog, std::function<void()> body) {
  return RunModalDialog(dialog, std::move(body));
}

std::vector<std::string> GroupsDialogTest::Messages() const {
  std::vector<std::string> texts;
  for (const plat::ShownRecord& shown : plat::ShownLog())
    if (shown.request.kind == plat::SystemUiKind::MessageBox)
      texts.push_back(shown.request.caption + std::string(": ") + shown.request.text);
  return texts;
}

CString GroupsDialogTest::Cell(CGroupsGrid& grid, ROWCOL row, ROWCOL col) { return grid.GetCellValue(row, col); }

CGXStyle GroupsDialogTest::Style(CGroupsGrid& grid, ROWCOL row, ROWCOL col) {
  CGXStyle style;
  grid.ComposeCellStyle(row, col, style);
  return style;
}

std::vector<std::string> GroupsDialogTest::Names(CGroupsGrid& grid) {
  std::vector<std::string> names;
  for (ROWCOL row = 1; row <= grid.GetRowCount(); ++row) names.emplace_back(Cell(grid, row, CGroupsGrid::ColName));
  return names;
}

void GroupsDialogTest::Select(CGroupsGrid& grid, std::initializer_list<ROWCOL> rows) {
  grid.ClearSelection();
  for (ROWCOL row : rows) grid.SelectRows(row, row);
  grid.OwnerDialog().UpdateButtons();   // what the grid's selection hook does after a user's selection
}

ROWCOL GroupsDialogTest::RowOf(CGroupsGrid& grid, const char* name) {
  for (ROWCOL row = 1; row <= grid.GetRowCount(); ++row) {
    CString text = Cell(grid, row, CGroupsGrid::ColName);
    text.Trim();
    if (text == name) return row;
  }
  return 0;
}

bool GroupsDialogTest::Enabled(CDecouplingGroupsDlg& dialog, int id) {
  CWnd* item = dialog.GetDlgItem(id);
  return item && item->IsWindowEnabled();
}

void GroupsDialogTest::ExpectMatchesReference(HWND hwnd, const std::string& name) {
  auto image = plat::Desktop::Capture(hwnd);
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match =
      plat::MatchReferenceImage(*image, "brimstead/models/groups/tests/reference/" + name + ".png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

void GroupsDialogTest::TypeIntoCurrentCell(CGroupsGrid& grid, const char* text) {
  CGXControl* control = grid.ControlOfCurrentCell();
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(control->GetEditingState());
  control->SetEditText(text);
  control->SetModifiedState(TRUE);
}

}  // namespace groupstest
