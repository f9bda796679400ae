// The decoupling groups dialog's records and its exchange with the host: loading, the name check and the commit,
// Cancel, and the interface object.
#include "brimstead/BrimsteadExports.h"
#include "brimstead/models/groups/CDecouplingGroupsAPI.h"
#include "brimstead/models/groups/tests/GroupsDialogTestSupport.h"
#include "host/HostSystem.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/tests/gxwindowtest.h"
#include "platform/framework/HelpService.h"
#include "platform/window/InputRouter.h"

namespace groupstest {
namespace {

using Strings = std::vector<std::string>;

class GroupsLoading : public GroupsDialogTest {};
class GroupsCommit : public GroupsDialogTest {};

TEST_F(GroupsLoading, SortsCapacitorsAndGroupsNaturallyAndListsOnlyDecouplingCapacitors) {
  host::HostPart* part = board.Part("CAP_100N_0402", 100e-9, 0.001);
  host::HostComponent* c10 = board.Capacitor("C10", part);
  board.Capacitor("C1", part);
  host::HostComponent* c2 = board.Capacitor("C2", part);
  board.Capacitor("c3", part);
  host::HostComponent* resistor = board.Capacitor("R1", board.Part("RES", 0.0, 0.0), {"1", "2"}, false);
  board.Group("G10", {c10, resistor});
  board.Group("G2", {c2});
  // A host group holding no decoupling capacitor: loaded, never shown, its name still taken.
  board.Group("Group1", {resistor});

  CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
  Open(dialog);
  Strings refs;
  for (const auto& capacitor : dialog.Capacitors()) refs.emplace_back(capacitor->refDes);
  EXPECT_EQ(refs, (Strings{"C1", "C2", "c3", "C10"}));
  Strings groups;
  for (const auto& group : dialog.Groups()) groups.emplace_back(group->name);
  EXPECT_EQ(groups, (Strings{"G2", "G10", "Group1"}));
  EXPECT_EQ(dialog.Groups()[1]->memberCount, 1);   // the resistor is no member
  EXPECT_EQ(dialog.Groups()[2]->memberCount, 0);
  EXPECT_EQ(Names(dialog.CapacitorGrid()), (Strings{"C1", "c3"}));
  EXPECT_EQ(Names(dialog.GroupsGrid()), (Strings{"<new>", "G2", "G10"}));
  EXPECT_FALSE(dialog.IsGroupNameUnique("Group1", nullptr));
  // Every row's header holds its entry.
  EXPECT_EQ(dialog.EntryOfRow(dialog.GroupsGrid(), 1), &dialog.NewGroupEntry());
  EXPECT_EQ(dialog.FindRowOfEntry(dialog.GroupsGrid(), dialog.Groups()[1].get()), 3u);
  EXPECT_EQ(dialog.FindRowOfEntry(dialog.GroupsGrid(), dialog.Groups()[2].get()), 0u);
  dialog.DestroyWindow();
  EXPECT_TRUE(board.ledger.IsBalanced()) << board.ledger.Report();
}

TEST_F(GroupsLoading, ABoardWithoutGroupsShowsOnlyTheNewRowAndEveryCapacitorAndHelpItsTopic) {
  host::HostPart* part = board.Part("CAP", 1e-6, 0.0);
  board.Capacitor("C2", part);
  board.Capacitor("C1", nullptr);
  CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
  Open(dialog);
  EXPECT_EQ(Names(dialog.GroupsGrid()), (Strings{"<new>"}));
  EXPECT_EQ(Names(dialog.CapacitorGrid()), (Strings{"C1", "C2"}));
  // A capacitor without a part and a part without a dimension leave their texts empty.
  EXPECT_EQ(Cell(dialog.CapacitorGrid(), 1, 3), "");
  EXPECT_EQ(Cell(dialog.CapacitorGrid(), 2, 4), "1 uF");
  EXPECT_EQ(Cell(dialog.CapacitorGrid(), 2, 5), "");
  EXPECT_EQ(dialog.GroupsGrid().GetFrozenRows(), 1u);
  EXPECT_EQ(dialog.CapacitorGrid().GetColWidth(CGroupsGrid::ColExpand), 0);
  // Help shows the dialog's topic.
  plat::HelpService help;
  plat::HelpService::Install(&help);
  dialog.OnHelp();
  plat::HelpService::Install(nullptr);
  ASSERT_EQ(help.calls.size(), 1u);
  EXPECT_EQ(help.calls[0].file, "duskmoor_useref");
  EXPECT_EQ(help.calls[0].data, 4u);
  dialog.DestroyWindow();
}

TEST_F(GroupsLoading, DimensionsAndTheirHeaderFollowTheUnit) {
  board.Capacitor("C1", board.Part("CAP", 10e-9, 0.00102));
  for (bool mils : {true, false}) {
    CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
    dialog.m_bMils = mils;
    Open(dialog);
    EXPECT_EQ(Cell(dialog.CapacitorGrid(), 1, 5), mils ? "40" : "1.0");   // 1.02 mm = 40.157 mils
    EXPECT_EQ(Cell(dialog.CapacitorGrid(), 1, 4), "0.01 uF");
    for (CGroupsGrid* grid : {&dialog.CapacitorGrid(), &dialog.GroupsGrid()})
      EXPECT_EQ(Cell(*grid, 0, 5), mils ? "Max Dimen\n(mils)" : "Max Dimen\n(mm)");
    // The header row grew to show both lines.
    EXPECT_GT(dialog.GroupsGrid().GetRowHeight(0), dialog.GroupsGrid().GetRowHeight(1));
    dialog.DestroyWindow();
  }
  EXPECT_TRUE(CDecouplingGroupsDlg::UnitTextMeansMils(""));
  EXPECT_FALSE(CDecouplingGroupsDlg::UnitTextMeansMils("mm"));
  EXPECT_FALSE(CDecouplingGroupsDlg::UnitTextMeansMils(nullptr));
}

// A board of two groups and two free capacitors, all of one pin set.
class GroupsCommitBoard : public GroupsCommit {
protected:
  void SetUp() override {
    GroupsCommit::SetUp();
    host::HostPart* part = board.Part("CAP", 100e-9, 0.001);
    for (const char* name : {"C1", "C2", "C3", "C4", "C5", "C6"}) caps.push_back(board.Capacitor(name, part));
    board.Group("A", {caps[0], caps[1]});
    board.Group("B", {caps[2]});
  }
  // ">>" of these capacitor rows into a new group.
  void MoveRows(CDecouplingGroupsDlg& dialog, std::initializer_list<ROWCOL> rows) {
    Select(dialog.CapacitorGrid(), rows);
    Select(dialog.GroupsGrid(), {1});
    dialog.OnMoveToGroup();
  }
  std::vector<host::HostComponent*> caps;
};

TEST_F(GroupsCommitBoard, OkWritesNamesNewGroupsMovesAndDeletionsInThatOrder) {
  CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
  const INT_PTR result = RunModal(dialog, [&] {
    CGroupsGrid& groups = dialog.GroupsGrid();
    CGroupsGrid& capacitors = dialog.CapacitorGrid();
    // B's only member back out: B is emptied, and its name is free for the new group.
    ASSERT_TRUE(dialog.SetGroupExpanded(RowOf(groups, "B"), 1));
    Select(groups, {RowOf(groups, "C3")});
    dialog.OnRemoveFromGroup();
    EXPECT_EQ(Names(groups), (Strings{"<new>", "A"}));
    // C4 and C5 into a new group, named "B"; A renamed "A2"; C6 into A.
    Select(capacitors, {RowOf(capacitors, "C4"), RowOf(capacitors, "C5")});
    Select(groups, {1});
    dialog.OnMoveToGroup();
    TypeIntoCurrentCell(groups, " B ");
    ASSERT_TRUE(dialog.EditCell(groups, RowOf(groups, "A"), CGroupsGrid::ColName));
    TypeIntoCurrentCell(groups, "A2");
    // The name typed last is still being edited when OK is pressed: OK stores it first.
    Select(capacitors, {RowOf(capacitors, "C6")});
    Select(groups, {2});
    dialog.OnMoveToGroup();
    ASSERT_TRUE(dialog.EditCell(groups, 2, CGroupsGrid::ColName));
    TypeIntoCurrentCell(groups, "A2");
    dialog.SendMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Messages(), Strings{});
  EXPECT_EQ(board.Changes(), (Strings{
                                 "Group \"A\" SetName \"A2\"",
                                 "Decoupling CreateGroup",
                                 "Group \"\" SetName \"B\"",
                                 "Group \"B\" RemoveMember C3",
                                 "Group \"B\" AddMember C4",
                                 "Group \"B\" AddMember C5",
                                 "Group \"A2\" AddMember C6",
                                 "Decoupling DeleteGroup \"B\"",
                             }));
  EXPECT_EQ(board.HostGroups(), (Strings{"A2: C1 C2 C6", "B: C4 C5"}));
  EXPECT_TRUE(board.ledger.IsBalanced()) << board.ledger.Report();
}

TEST_F(GroupsCommitBoard, ADialogOpenedAgainShowsWhatTheLastOneCommitted) {
  {
    CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
    ASSERT_EQ(RunModal(dialog, [&] {
                MoveRows(dialog, {RowOf(dialog.CapacitorGrid(), "C5"), RowOf(dialog.CapacitorGrid(), "C6")});
                dialog.SendMessage(WM_COMMAND, IDOK);
              }),
              IDOK);
  }
  CDecouplingGroupsDlg again(board.board.get(), nullptr);
  Open(again);
  EXPECT_EQ(Names(again.GroupsGrid()), (Strings{"<new>", "A", "B", "Group1"}));
  EXPECT_EQ(Names(again.CapacitorGrid()), (Strings{"C4"}));
  EXPECT_EQ(again.Groups()[2]->memberCount, 2);
  again.DestroyWindow();
}

TEST_F(GroupsCommitBoard, OkRefusesTheFirstEmptyOrTakenNameAndWritesNothing) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "Group name should be nonempty");
  CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
  const INT_PTR result = RunModal(dialog, [&] {
    CGroupsGrid& groups = dialog.GroupsGrid();
    ASSERT_TRUE(dialog.EditCell(groups, RowOf(groups, "B"), CGroupsGrid::ColName));
    TypeIntoCurrentCell(groups, "A");
    ASSERT_TRUE(dialog.EditCell(groups, RowOf(groups, "A"), CGroupsGrid::ColName));
    TypeIntoCurrentCell(groups, "   ");
    dialog.SendMessage(WM_COMMAND, IDOK);
    ASSERT_TRUE(dialog.ContinueModal());
    // The first offending group in list order is A (now empty): its name cell is open for editing.
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(groups.QueryCurrentCell(&row, &col));
    EXPECT_EQ(row, 2u);
    EXPECT_EQ(col, CGroupsGrid::ColName);
    EXPECT_TRUE(groups.CurrentCellIsActive());
    EXPECT_EQ(Messages(), (Strings{"Assign Decoupling-Capacitor Groups: Group name should be nonempty and unique. "
                                   "Please specify another name."}));
    // Fixed, OK goes through.
    TypeIntoCurrentCell(groups, "C");
    dialog.SendMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(board.HostGroups(), (Strings{"C: C1 C2", "A: C3"}));
}

TEST_F(GroupsCommitBoard, CancelAndAGroupMadeAndEmptiedAgainWriteNothing) {
  for (int button : {IDCANCEL, IDOK}) {
    CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
    const INT_PTR result = RunModal(dialog, [&] {
      CGroupsGrid& groups = dialog.GroupsGrid();
      CGroupsGrid& capacitors = dialog.CapacitorGrid();
      Select(capacitors, {1, 2});
      Select(groups, {1});
      dialog.OnMoveToGroup();
      Select(groups, {RowOf(groups, "Group1")});
      dialog.OnRemoveFromGroup();
      EXPECT_EQ(Names(groups), (Strings{"<new>", "A", "B"}));
      if (button == IDCANCEL) {
        Select(groups, {RowOf(groups, "A"), RowOf(groups, "B")});
        dialog.OnRemoveFromGroup();
        EXPECT_EQ(Names(groups), Strings{"<new>"});
      }
      dialog.SendMessage(WM_COMMAND, button);
    });
    EXPECT_EQ(result, button);
    EXPECT_EQ(board.Changes(), Strings{});
    EXPECT_EQ(board.HostGroups(), (Strings{"A: C1 C2", "B: C3"}));
    EXPECT_TRUE(board.ledger.IsBalanced()) << board.ledger.Report();
  }
}

TEST(DecouplingGroupsAPI, SettersRefuseASecondSourceAndAcceptNull) {
  host::HostLedger ledger;
  host::HostBoard board(ledger, "b", "b.json");
  host::HostSystem system(ledger, "s");
  CDecouplingGroupsAPITable* api = CreateDecouplingGroupsDialog();
  auto& object = *static_cast<CDecouplingGroupsAPI*>(api);
  EXPECT_EQ(object.System(), nullptr);
  EXPECT_EQ(object.UnitText(), nullptr);
  EXPECT_TRUE(api->SetBoard(&board));
  EXPECT_FALSE(api->SetSystem(&system));
  EXPECT_TRUE(api->SetSystem(nullptr));
  EXPECT_TRUE(api->SetBoard(nullptr));
  EXPECT_TRUE(api->SetSystem(&system));
  EXPECT_FALSE(api->SetBoard(&board));
  EXPECT_EQ(object.Board(), nullptr);
  EXPECT_TRUE(api->SetContext(7));
  const char* unit = "";
  EXPECT_EQ(api->SetUnitText(unit), unit);
  EXPECT_TRUE(api->IsReady(1));
  api->Delete();
}

TEST_F(GroupsCommit, RunModalAnswersMinusOneWithoutABoardOrInterfaceAndUsesTheSystemsFirstBoard) {
  CDecouplingGroupsAPITable* api = CreateDecouplingGroupsDialog();
  EXPECT_EQ(api->RunModal(), -1);   // nothing handed in
  host::HostSystem empty(board.ledger, "empty");
  ASSERT_TRUE(api->SetSystem(&empty));
  EXPECT_EQ(api->RunModal(), -1);   // a system without boards
  EXPECT_TRUE(board.ledger.IsBalanced()) << board.ledger.Report();
  api->Delete();

  // A board that hands out no decoupling interface: the collections and the interface are all given back.
  class NoDecouplingBoard final : public CHostBoard {
  public:
    CHostBoardInterface* GetInterface(const char*) override { ++asked; return nullptr; }
    void ReleaseInterface(CHostBoardInterface*) override { ++released; }
    CHostCollection* GetComponents() override { return nullptr; }
    CHostCollection* GetNets() override { return nullptr; }
    CHostCollection* GetLayers() override { return nullptr; }
    int asked = 0, released = 0;
  } bare;
  api = CreateDecouplingGroupsDialog();
  ASSERT_TRUE(api->SetBoard(&bare));
  EXPECT_EQ(api->RunModal(), -1);
  EXPECT_EQ(bare.asked, 1);
  EXPECT_EQ(bare.released, 0);
  api->Delete();

  // Through a system: its first board, OK and Cancel answer 1 and 2.
  board.Capacitor("C1", board.Part("CAP", 1e-9, 0.0));
  host::HostSystem system(board.ledger, "s");
  system.AddBoard(board.board.get());
  api = CreateDecouplingGroupsDialog();
  ASSERT_TRUE(api->SetSystem(&system));
  for (int button : {IDOK, IDCANCEL}) {
    const int interfacesBefore = board.ledger.InterfacesHandedOut();
    automation.Then([button] {
      HWND dialog = FindWindow(nullptr, CDecouplingGroupsDlg::Title);
      ASSERT_NE(dialog, nullptr);
      PostMessage(dialog, WM_COMMAND, button, 0);
    });
    EXPECT_EQ(api->RunModal(), button == IDOK ? 1 : 2);
    // The dialog took the first board's decoupling interface (and gave it back).
    EXPECT_EQ(board.ledger.InterfacesHandedOut(), interfacesBefore + 1);
  }
  EXPECT_TRUE(board.ledger.IsBalanced()) << board.ledger.Report();
  api->Delete();
}

}  // namespace
}  // namespace groupstest

namespace groupstest {
namespace {

// Two lines pasted at the end of a name being edited reached the host as one name with its line break
// ("3V3_BULK3V3_BULK\r\n3V3_MID"). A name is one line: its editor takes a pasted text up to its first line break
// (Ctrl+V and Shift+Insert), and refuses one that still holds a tab or another control character, with a message;
// a name that holds one all the same (put into the editor by a program) is refused at OK, which writes nothing.
TEST_F(GroupsCommitBoard, ANameTakesAPastedTextsFirstLineAndOkRefusesAControlCharacter) {
  const std::string pasteRefused = "Error: A pasted text holds a control character (a tab or another character that "
                                   "cannot be typed) that a one-line cell does not take: nothing was pasted.";
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
  struct Case {
    const char* way;
    const char* clipboard;  // null: the editor's text is set to `typed` instead of a paste
    int modifier, key;
    const char* typed;
    const char* hostName;  // group A's name at the host after OK, on top of the cases before
    std::string message;
  } cases[] = {
      {"Ctrl+V of two lines", "A\r\nB\r\n", VK_CONTROL, 'V', nullptr, "AA", ""},
      {"Shift+Insert of two lines", "X\nY", VK_SHIFT, VK_INSERT, nullptr, "AAX", ""},
      {"a tab", "X\tY", VK_CONTROL, 'V', nullptr, "AAX", pasteRefused},
      {"a line break put into the editor", nullptr, 0, 0, "AAX\r\nB", "AAX",
       "Assign Decoupling-Capacitor Groups: The group name \"AAX\\r\\nB\" holds a control character (a line break, a "
       "tab or another character that cannot be typed), which no name or text handed on may hold. Please enter it "
       "without one."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    plat::ClearShownLog();
    const size_t changesBefore = board.Changes().size();
    CDecouplingGroupsDlg dialog(board.board.get(), nullptr);
    const INT_PTR result = RunModal(dialog, [&] {
      CGroupsGrid& groups = dialog.GroupsGrid();
      ASSERT_TRUE(dialog.EditCell(groups, 2, CGroupsGrid::ColName));
      CGXControl* editor = groups.ControlOfCurrentCell();
      if (!c.clipboard) {
        editor->SetEditText(c.typed);
      } else {
        ::SendMessage(editor->GetWindowPart()->m_hWnd, WM_KEYDOWN, VK_END, 0);
        gxtest::PutClipboardText(c.clipboard);
        auto& in = plat::InputRouter::Instance();
        in.KeyDown(c.modifier);
        in.KeyPress(c.key);
        in.KeyUp(c.modifier);
        Pump();
      }
      dialog.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(result, c.typed ? IDCANCEL : IDOK);
    EXPECT_EQ(Messages(), c.message.empty() ? Strings{} : Strings{c.message});
    EXPECT_EQ(board.HostGroups(), (Strings{std::string(c.hostName) + ": C1 C2", "B: C3"}));
    if (c.typed) {
      EXPECT_EQ(board.Changes().size(), changesBefore);
    }
  }
}

}  // namespace
}  // namespace groupstest
