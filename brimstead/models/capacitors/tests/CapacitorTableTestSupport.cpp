#include "brimstead/models/capacitors/tests/CapacitorTableTestSupport.h"

#include "brimstead/wizards/WizardResources.h"

namespace captest {

TestBoard::TestBoard(host::HostLedger& ledger, const std::string& name)
    : board(std::make_unique<host::HostBoard>(ledger, name, name + ".json")) {
  m_pTop = board->AddLayer("TOP", host::LayerKind::Metal, 35e-6);
  board->AddLayer("L2", host::LayerKind::Metal, 35e-6);
  gnd = board->AddNet("GND", host::NetType::Supply, 0.0);
  vdd = board->AddNet("VDD", host::NetType::Supply, 1.2);
  vio = board->AddNet("VIO", host::NetType::Supply, 3.3);
  board->AddNet("SIG", host::NetType::Signal, 0.0);
}

host::HostPart* TestBoard::Part(const std::string& name, double farads) {
  return board->AddPart(name, "", farads, 0.001);
}

host::HostComponent* TestBoard::Capacitor(const std::string& name, host::HostPart* part, host::HostNet* a,
                                          host::HostNet* b, bool decoupling) {
  host::HostComponent* component = board->AddComponent(name, part, m_pTop);
  component->AddPin(board->AddElement(a, {}, 0.0005, "1", component));
  component->AddPin(board->AddElement(b, {}, 0.0005, "2", component));
  board->Decoupling().SetDecoupling(component, decoupling);
  return component;
}

host::HostCapacitorGroup* TestBoard::Group(const std::string& name,
                                           std::initializer_list<host::HostComponent*> members) {
  board->Decoupling().SetChangeLog(nullptr);
  host::HostCapacitorGroup* group = board->Decoupling().AddGroup(name);
  for (host::HostComponent* member : members) group->AddMember(member);
  board->Decoupling().SetChangeLog(&board->Changes());
  return group;
}

std::unique_ptr<host::HostCapacitorModel> TestBoard::Model(const std::string& name, double farads) {
  host::CapacitorModelData data;
  data.kind = HostModelCLR;
  data.libraryModelName = name;
  data.capacitance = farads;
  data.esl = 5e-10;
  data.esr = 0.01;
  return std::make_unique<host::HostCapacitorModel>(data);
}

void TestBoard::GroupModel(host::HostCapacitorGroup* group, const std::string& name, bool disabled, double farads) {
  board->Decoupling().SetChangeLog(nullptr);
  board->Decoupling().SetGroupModel(group, Model(name, farads).get(), disabled);
  board->Decoupling().SetChangeLog(&board->Changes());
}

void TestBoard::OwnModel(host::HostComponent* capacitor, const std::string& name, bool disabled, double farads) {
  board->Decoupling().SetChangeLog(nullptr);
  board->Decoupling().SetComponentModel(capacitor, Model(name, farads).get(), disabled);
  board->Decoupling().SetChangeLog(&board->Changes());
}

void CapacitorTableTest::SetUp() {
  WizardWindowTest::SetUp();
  StartGridLibrary(&RegisterCellsAndFeatures);
  board.board->Decoupling().SetChangeLog(&board.board->Changes());
  plat::ClearShownLog();
}

void CapacitorTableTest::TearDown() {
  CCapacitorModelsPanel::SetModelEditorRun(nullptr);
  // Every collection and interface the table took was given back, each to its own board.
  EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
  WizardWindowTest::TearDown();
}

void CapacitorTableTest::Open(CCapacitorModelsDlg& dialog, CHostNet* netA, CHostNet* netB) {
  dialog.Panel().Attach(CStringArray(), nullptr, nullptr, board.board.get(), netA, netB, 0, nullptr);
  brimwiz::CModuleScope scope;   // the template is the module's
  ASSERT_TRUE(dialog.Create(CCapacitorModelsDlg::IDD, nullptr));
  dialog.ShowWindow(SW_SHOW);   // on the desktop, for real input and pictures
  Pump();
}

INT_PTR CapacitorTableTest::RunModal(CDialog& dialog, std::function<void()> body) {
  return RunModalDialog(dialog, std::move(body));
}

std::string CapacitorTableTest::Cell(CCapacitorModelsPanel& panel, ROWCOL row, ROWCOL col) {
  return std::string(panel.Grid()->GetCellValue(row, col));
}

CGXStyle CapacitorTableTest::Style(CCapacitorModelsPanel& panel, ROWCOL row, ROWCOL col) {
  CGXStyle style;
  panel.Grid()->ComposeCellStyle(row, col, style);
  return style;
}

std::vector<std::string> CapacitorTableTest::Names(CCapacitorModelsPanel& panel) {
  std::vector<std::string> names;
  for (ROWCOL row = 1; row <= panel.Grid()->GetRowCount(); ++row)
    names.push_back(Cell(panel, row, CCapacitorModelsPanel::ColName));
  return names;
}

ROWCOL CapacitorTableTest::RowOf(CCapacitorModelsPanel& panel, const char* name) {
  for (ROWCOL row = 1; row <= panel.Grid()->GetRowCount(); ++row) {
    CString text = panel.Grid()->GetCellValue(row, CCapacitorModelsPanel::ColName);
    text.Trim();
    if (text == name) return row;
  }
  return 0;
}

void CapacitorTableTest::Select(CCapacitorModelsPanel& panel, std::initializer_list<ROWCOL> rows) {
  panel.Grid()->ClearSelection();
  for (ROWCOL row : rows) panel.Grid()->SelectRows(row, row);
  panel.UpdateSelection(false, nullptr);   // what the grid's selection hook does after a user's selection
}

bool CapacitorTableTest::Enabled(CWnd& owner, int id) {
  CWnd* item = owner.GetDlgItem(id);
  return item && item->IsWindowEnabled();
}

void CapacitorTableTest::ExpectMatchesReference(HWND hwnd, const std::string& name) {
  ExpectMatchesFolderReference(hwnd, "brimstead/models/capacitors/tests/reference/", name);
}

}  // namespace captest
