// The decoupling groups dialog's editing: ">>" and "<<", expanding and collapsing, the summary cells, the
// buttons' states and the name editors.
#include "brimstead/models/groups/tests/GroupsDialogTestSupport.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXFont.h"
#include "platform/framework/CPaintDC.h"
#include "grid/features/CGXUserResizeCellsImp.h"
#include "platform/base/GlobalMemory.h"

#include <cstring>
#include <functional>

namespace groupstest {
namespace {

using Strings = std::vector<std::string>;

// Capacitors C1..C6 of two-pin 0402 parts (C1..C4 100 nF, C5 1 uF, C6 another part name), C7 with three pins,
// and group A holding C8 and C9.
class GroupsEditing : public GroupsDialogTest {
protected:
  void SetUp() override {
    GroupsDialogTest::SetUp();
    host::HostPart* small = board.Part("CAP_100N", 100e-9, 0.001);
    for (const char* name : {"C1", "C2", "C3", "C4"}) board.Capacitor(name, small);
    board.Capacitor("C5", board.Part("CAP_100N", 1e-6, 0.001));
    board.Capacitor("C6", board.Part("CAP_X", 100e-9, 0.001));
    board.Capacitor("C7", small, {"1", "2", "3"});
    board.Group("A", {board.Capacitor("C8", small), board.Capacitor("C9", small)});
    Open(dialog);
  }
  void TearDown() override {
    if (dialog.m_hWnd) dialog.DestroyWindow();
    EXPECT_TRUE(board.ledger.IsBalanced()) << board.ledger.Report();
    GroupsDialogTest::TearDown();
  }

  CGroupsGrid& Caps() { return dialog.CapacitorGrid(); }
  CGroupsGrid& Groups() { return dialog.GroupsGrid(); }
  void MoveToNew(std::initializer_list<ROWCOL> capacitorRows) {
    Select(Caps(), capacitorRows);
    Select(Groups(), {1});
    dialog.OnMoveToGroup();
  }

  CDecouplingGroupsDlg dialog{board.board.get(), nullptr};
};

TEST_F(GroupsEditing, NewGroupsAreNumberedAtTheEndEachWithItsNameEditorOpen) {
  for (int n = 1; n <= 3; ++n) {
    MoveToNew({1});
    const std::string name = "Group" + std::to_string(n);
    const ROWCOL row = RowOf(Groups(), name.c_str());
    ASSERT_NE(row, 0u) << name;
    // The new group's row (then its expanded member) ends the grid, and its name cell is being edited.
    EXPECT_EQ(row + 1, Groups().GetRowCount());
    ROWCOL current = 0, col = 0;
    ASSERT_TRUE(Groups().QueryCurrentCell(&current, &col));
    EXPECT_EQ(current, row);
    EXPECT_EQ(col, CGroupsGrid::ColName);
    EXPECT_TRUE(Groups().CurrentCellIsActive());
    EXPECT_EQ(Groups().SelectedRows(), std::vector<ROWCOL>{row});
  }
  EXPECT_EQ(Names(Groups()), (Strings{"<new>", "A", "Group1", "    C1", "Group2", "    C2", "Group3", "    C3"}));
  // Renamed, Group1's name is free again.
  ASSERT_TRUE(dialog.EditCell(Groups(), RowOf(Groups(), "Group1"), CGroupsGrid::ColName));
  TypeIntoCurrentCell(Groups(), "Core");
  ASSERT_TRUE(Groups().CompleteCellEdit(TRUE));
  EXPECT_EQ(dialog.Groups()[1]->name, "Core");
  EXPECT_TRUE(dialog.Groups()[1]->nameChanged);
  MoveToNew({1});
  EXPECT_NE(RowOf(Groups(), "Group1"), 0u);
}

TEST_F(GroupsEditing, AnAbandonedNameEditKeepsTheNameAndAStoredOneIsTaken) {
  const ROWCOL a = RowOf(Groups(), "A");
  ASSERT_TRUE(dialog.EditCell(Groups(), a, CGroupsGrid::ColName));
  TypeIntoCurrentCell(Groups(), "Dropped");
  // Escape ends the edit without storing it: the engine reports the end, then the cancel.
  Groups().OnGridKeyDown(VK_ESCAPE, 1, 0);
  EXPECT_EQ(dialog.Groups()[0]->name, "A");
  EXPECT_FALSE(dialog.Groups()[0]->nameChanged);
  EXPECT_EQ(Cell(Groups(), a, CGroupsGrid::ColName), "A");
  ASSERT_TRUE(dialog.EditCell(Groups(), a, CGroupsGrid::ColName));
  TypeIntoCurrentCell(Groups(), "  Kept ");
  ASSERT_TRUE(Groups().CompleteCellEdit(TRUE));
  EXPECT_EQ(dialog.Groups()[0]->name, "Kept");
  EXPECT_TRUE(dialog.Groups()[0]->nameChanged);
  // A later cancel without an edit in progress gives up nothing.
  Groups().CompleteCellEdit(FALSE);
  EXPECT_EQ(dialog.Groups()[0]->name, "Kept");
}

// The grids show what the dialog holds: a paste or clear over their cells (not into a name being edited) changes
// nothing, so that no row shows a name that the dialog does not hold or took without the name editor's store (a
// group shown as "Group1" twice, or without a name).
TEST_F(GroupsEditing, PastesAndClearsOverTheCellsLeaveWhatTheDialogHolds) {
  MoveToNew({RowOf(Caps(), "C5")});
  ASSERT_TRUE(Groups().CompleteCellEdit(TRUE));
  const ROWCOL a = RowOf(Groups(), "A");
  const auto row = [&](CGroupsGrid& grid, ROWCOL r) {
    Strings cells;
    for (ROWCOL col = CGroupsGrid::ColName; col <= CGroupsGrid::ColDimension; ++col)
      cells.push_back(Cell(grid, r, col).GetString());
    return cells;
  };
  const Strings shownA = row(Groups(), a);
  struct Case {
    const char* what;
    std::function<void(CGroupsGrid&)> act;
  } cases[] = {
      {"Ctrl+V of another group's name", [](CGroupsGrid& grid) { grid.OnGridChar(0x16, 1, 0); }},
      {"Delete", [](CGroupsGrid& grid) { grid.OnGridKeyDown(VK_DELETE, 1, 0); }},
      {"Ctrl+X", [](CGroupsGrid& grid) { grid.OnGridChar(0x18, 1, 0); }},
  };
  // The current cell alone, not being edited, as a click on it leaves it before the editor opens.
  const auto makeCurrent = [](CGroupsGrid& grid, ROWCOL r) {
    grid.ClearSelection();
    ASSERT_TRUE(grid.MoveCurrentCellTo(r, CGroupsGrid::ColName));
    ASSERT_FALSE(grid.CurrentCellIsActive());
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    makeCurrent(Groups(), RowOf(Groups(), "Group1"));
    Groups().OnGridChar(0x03, 1, 0);
    makeCurrent(Groups(), a);
    c.act(Groups());
    EXPECT_EQ(row(Groups(), a), shownA);
    EXPECT_EQ(dialog.Groups()[0]->name, "A");
    EXPECT_FALSE(dialog.Groups()[0]->nameChanged);
  }
  // A name being edited takes the paste in its editor, and the dialog takes the stored name.
  ASSERT_TRUE(dialog.EditCell(Groups(), a, CGroupsGrid::ColName));
  ASSERT_TRUE(::OpenClipboard(Groups().m_hWnd));
  ::EmptyClipboard();
  HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 6);
  std::memcpy(::GlobalLock(text), "Bulk", 5);
  ::GlobalUnlock(text);
  ::SetClipboardData(CF_TEXT, text);
  ::CloseClipboard();
  Groups().ControlOfCurrentCell()->SetEditText("");
  Groups().OnGridChar(0x16, 1, 0);
  ASSERT_TRUE(Groups().CompleteCellEdit(TRUE));
  EXPECT_EQ(Cell(Groups(), a, CGroupsGrid::ColName), "Bulk");
  EXPECT_EQ(dialog.Groups()[0]->name, "Bulk");
}

TEST_F(GroupsEditing, TheDialogAsTheUserSeesIt) {
  // A new group being named, group A expanded with a differing member, C7 left selected.
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "different sets of pins");
  const ROWCOL a = RowOf(Groups(), "A");
  Select(Caps(), {RowOf(Caps(), "C5")});
  Select(Groups(), {a});
  dialog.OnMoveToGroup();
  MoveToNew({1, 2, RowOf(Caps(), "C7")});
  dialog.ShowWindow(SW_SHOW);
  Pump();
  ExpectMatchesReference(dialog.m_hWnd, "groups-editing");
}

TEST_F(GroupsEditing, OnlyCapacitorsOfTheReferencePinSetMoveAndTheOthersStaySelected) {
  // C1 sets the pin set; C7's three pins do not match.
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "different sets of pins");
  const ROWCOL c7 = RowOf(Caps(), "C7");
  MoveToNew({1, 2, c7});
  EXPECT_EQ(Messages(), (Strings{"Move Capacitors to Group: Selected capacitors have different sets of pins.\n"
                                 "Some of capacitors are left unmoved."}));
  EXPECT_EQ(Names(Caps()), (Strings{"C3", "C4", "C5", "C6", "C7"}));
  EXPECT_EQ(Caps().SelectedRows(), std::vector<ROWCOL>{RowOf(Caps(), "C7")});
  GroupEntry& group = *dialog.Groups().back();
  EXPECT_EQ(group.memberCount, 2);
  // With C7 alone selected and Group1 as target nothing moves, and ">>" says so.
  EXPECT_FALSE(Enabled(dialog, CDecouplingGroupsDlg::IDC_MOVE_TO_GROUP));
  dialog.OnMoveToGroup();
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(group.memberCount, 2);
}

TEST_F(GroupsEditing, MovedCapacitorsFollowEarlierMembersAndCollapsingRestoresArrayOrder) {
  const ROWCOL a = RowOf(Groups(), "A");
  ASSERT_TRUE(dialog.SetGroupExpanded(a, 0));
  EXPECT_FALSE(dialog.SetGroupExpanded(a, 1));
  EXPECT_FALSE(dialog.SetGroupExpanded(1, 0));   // "<new>" is no group
  EXPECT_EQ(Style(Groups(), a, 1).GetControl(), CGroupsGrid::IDC_EXPANDED_BUTTON);
  // A member row as the target stands for its group.
  Select(Caps(), {RowOf(Caps(), "C4"), RowOf(Caps(), "C2")});
  Select(Groups(), {RowOf(Groups(), "C9")});
  dialog.OnMoveToGroup();
  EXPECT_EQ(Names(Groups()), (Strings{"<new>", "A", "    C8", "    C9", "    C2", "    C4"}));
  EXPECT_EQ(Groups().SelectedRows(), (std::vector<ROWCOL>{5, 6}));
  // The member rows are italic, disabled and keep their capacitors.
  EXPECT_TRUE(Style(Groups(), 5, 2).GetFont().GetItalic());
  EXPECT_FALSE(Style(Groups(), 5, 2).GetEnabled());
  ASSERT_TRUE(dialog.SetGroupExpanded(a, -1));
  EXPECT_EQ(Names(Groups()), (Strings{"<new>", "A"}));
  EXPECT_EQ(Style(Groups(), a, 1).GetControl(), CGroupsGrid::IDC_COLLAPSED_BUTTON);
  // The expand button's click reaches the dialog through the grid and toggles the group.
  CGXControl* plus = Groups().ControlForId(CGroupsGrid::IDC_COLLAPSED_BUTTON);
  ASSERT_NE(plus, nullptr);
  plus->InitForCell(a, CGroupsGrid::ColExpand);
  plus->OnChildClicked(nullptr);
  EXPECT_EQ(Names(Groups()), (Strings{"<new>", "A", "    C2", "    C4", "    C8", "    C9"}));
  EXPECT_TRUE(dialog.OnCellButtonClicked(&Caps(), a, CGroupsGrid::ColExpand));
  EXPECT_EQ(Groups().GetRowCount(), 6u);
}

TEST_F(GroupsEditing, SummaryCellsHatchWhileMembersDifferAndShowTheValueAgainAfterwards) {
  const ROWCOL a = RowOf(Groups(), "A");
  EXPECT_EQ(Cell(Groups(), a, 3), "CAP_100N");
  EXPECT_EQ(Cell(Groups(), a, 4), "0.1 uF");
  EXPECT_EQ(Style(Groups(), a, 4).GetInterior().GetFillKind(), CGXInteriorBrush::fillColor);
  EXPECT_EQ(Style(Groups(), a, 2).GetFont().GetWeight(), 700);
  // C5: same part name, another value.
  Select(Caps(), {RowOf(Caps(), "C5")});
  Select(Groups(), {a});
  dialog.OnMoveToGroup();
  EXPECT_EQ(Cell(Groups(), a, 3), "CAP_100N");
  EXPECT_EQ(Cell(Groups(), a, 4), "");
  const CGXInteriorBrush hatch = Style(Groups(), a, 4).GetInterior();
  EXPECT_EQ(hatch.GetFillKind(), CGXInteriorBrush::fillPattern);
  EXPECT_EQ(hatch.GetPattern(), 3u);
  EXPECT_EQ(hatch.GetColor(), RGB(0, 0, 0));
  EXPECT_EQ(hatch.GetBkColor(), RGB(192, 192, 192));
  // C5 out again: the value comes back.
  Select(Groups(), {RowOf(Groups(), "C5")});
  dialog.OnRemoveFromGroup();
  EXPECT_EQ(Cell(Groups(), a, 4), "0.1 uF");
  EXPECT_EQ(Style(Groups(), a, 4).GetInterior().GetFillKind(), CGXInteriorBrush::fillColor);
  EXPECT_EQ(Caps().SelectedRows(), std::vector<ROWCOL>{RowOf(Caps(), "C5")});
}

TEST_F(GroupsEditing, RemovingTheLastMembersDropsTheGroupAndItsNameIsFreeAgain) {
  Select(Groups(), {RowOf(Groups(), "A")});
  dialog.OnRemoveFromGroup();
  EXPECT_EQ(Names(Groups()), Strings{"<new>"});
  EXPECT_TRUE(dialog.Groups()[0]->deleted);
  // The two capacitors are back in array order, selected as one range, the last one current.
  EXPECT_EQ(Names(Caps()), (Strings{"C1", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9"}));
  EXPECT_EQ(Caps().SelectedRows(), (std::vector<ROWCOL>{8, 9}));
  // A new group neither brings A back nor takes a name other than Group1; "A" is free for it.
  MoveToNew({1});
  EXPECT_EQ(Names(Groups()), (Strings{"<new>", "Group1", "    C1"}));
  EXPECT_TRUE(dialog.IsGroupNameUnique("A", nullptr));
}

TEST_F(GroupsEditing, TheTopGroupRowLeavesOrIsRefreshedLikeAnyOther) {
  // Group1 (C1 and C5, whose values differ) below A; A expanded, so that it sits in the top row below "<new>".
  MoveToNew({RowOf(Caps(), "C1"), RowOf(Caps(), "C5")});
  ASSERT_TRUE(dialog.SetGroupExpanded(RowOf(Groups(), "A"), 1));
  ASSERT_EQ(Names(Groups()), (Strings{"<new>", "A", "    C8", "    C9", "Group1", "    C1", "    C5"}));
  EXPECT_EQ(Cell(Groups(), RowOf(Groups(), "Group1"), 4), "");
  // A member of the top group leaves it, and so does a member of the group below.
  Select(Groups(), {RowOf(Groups(), "C8"), RowOf(Groups(), "C5")});
  dialog.OnRemoveFromGroup();
  EXPECT_EQ(Names(Groups()), (Strings{"<new>", "A", "    C9", "Group1", "    C1"}));
  EXPECT_EQ(Cell(Groups(), RowOf(Groups(), "Group1"), 4), "0.1 uF");
  // C5 joins the top group and leaves it again: its summary follows both times.
  Select(Caps(), {RowOf(Caps(), "C5")});
  Select(Groups(), {2});
  dialog.OnMoveToGroup();
  EXPECT_EQ(Cell(Groups(), 2, 4), "");
  Select(Groups(), {RowOf(Groups(), "C5")});
  dialog.OnRemoveFromGroup();
  EXPECT_EQ(Cell(Groups(), 2, 4), "0.1 uF");
  // The top group emptied goes with its member row, while the group below loses one too.
  Select(Groups(), {2, RowOf(Groups(), "C1")});
  dialog.OnRemoveFromGroup();
  EXPECT_EQ(Names(Groups()), Strings{"<new>"});
  EXPECT_TRUE(dialog.Groups()[0]->deleted);
  EXPECT_TRUE(dialog.Groups()[1]->deleted);
  EXPECT_EQ(Names(Caps()), (Strings{"C1", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9"}));
}

TEST_F(GroupsEditing, AGroupRowFilledAgainShowsTheButtonOfItsState) {
  const ROWCOL a = RowOf(Groups(), "A");
  EXPECT_EQ(Style(Groups(), a, CGroupsGrid::ColExpand).GetControl(), CGroupsGrid::IDC_COLLAPSED_BUTTON);
  // C5 into A expands it, and its other value fills the row again: minus.
  Select(Caps(), {RowOf(Caps(), "C5")});
  Select(Groups(), {a});
  dialog.OnMoveToGroup();
  ASSERT_EQ(Cell(Groups(), a, 4), "");
  EXPECT_EQ(Style(Groups(), a, CGroupsGrid::ColExpand).GetControl(), CGroupsGrid::IDC_EXPANDED_BUTTON);
  // Collapsed and expanded again, then C5 out: the row is filled again, still expanded.
  ASSERT_TRUE(dialog.SetGroupExpanded(a, -1));
  EXPECT_EQ(Style(Groups(), a, CGroupsGrid::ColExpand).GetControl(), CGroupsGrid::IDC_COLLAPSED_BUTTON);
  ASSERT_TRUE(dialog.SetGroupExpanded(a, 1));
  Select(Groups(), {RowOf(Groups(), "C5")});
  dialog.OnRemoveFromGroup();
  ASSERT_EQ(Cell(Groups(), a, 4), "0.1 uF");
  EXPECT_EQ(Style(Groups(), a, CGroupsGrid::ColExpand).GetControl(), CGroupsGrid::IDC_EXPANDED_BUTTON);
  EXPECT_TRUE(Style(Groups(), a, CGroupsGrid::ColExpand).GetEnabled());
}

TEST_F(GroupsEditing, ButtonsFollowTheSelectionAndGiveUpTheFocusWhenDisabled) {
  const auto moveOn = [&] { return Enabled(dialog, CDecouplingGroupsDlg::IDC_MOVE_TO_GROUP); };
  const auto removeOn = [&] { return Enabled(dialog, CDecouplingGroupsDlg::IDC_REMOVE_FROM_GROUP); };
  EXPECT_FALSE(moveOn());
  EXPECT_FALSE(removeOn());
  Select(Caps(), {1});
  EXPECT_FALSE(moveOn());   // no target row
  Select(Groups(), {1});
  EXPECT_TRUE(moveOn());
  EXPECT_FALSE(removeOn());   // "<new>" holds nothing
  MoveToNew({1});
  // A group row and a member of another group: "<<" only.
  ASSERT_TRUE(dialog.SetGroupExpanded(RowOf(Groups(), "A"), 1));
  Select(Caps(), {1});
  Select(Groups(), {RowOf(Groups(), "Group1"), RowOf(Groups(), "C8")});
  EXPECT_FALSE(moveOn());
  EXPECT_TRUE(removeOn());
  Select(Groups(), {RowOf(Groups(), "A"), RowOf(Groups(), "C8")});
  EXPECT_TRUE(moveOn());
  // The focus leaves a button that is disabled under it, for the grid it works on.
  CWnd* move = dialog.GetDlgItem(CDecouplingGroupsDlg::IDC_MOVE_TO_GROUP);
  CWnd* remove = dialog.GetDlgItem(CDecouplingGroupsDlg::IDC_REMOVE_FROM_GROUP);
  move->SetFocus();
  Select(Caps(), {});
  EXPECT_EQ(::GetFocus(), Caps().m_hWnd);
  remove->SetFocus();
  Select(Groups(), {});
  EXPECT_FALSE(removeOn());
  EXPECT_EQ(::GetFocus(), Groups().m_hWnd);
}

TEST_F(GroupsEditing, TheMouseResizesEveryColumnButTheExpandButtons) {
  for (CGroupsGrid* grid : {&Caps(), &Groups()}) {
    grid->InstallUserResizeCellsImp();   // as the application's interaction features do
    auto* resize = dynamic_cast<CGXUserResizeCellsImp*>(grid->GetUserResizeCellsImp());
    ASSERT_NE(resize, nullptr);
    const int expandWidth = grid->GetColWidth(CGroupsGrid::ColExpand);
    EXPECT_FALSE(resize->OnStartTracking(grid, 0, CGroupsGrid::ColExpand, 2));
    EXPECT_FALSE(resize->IsTracking());
    EXPECT_EQ(grid->GetColWidth(CGroupsGrid::ColExpand), expandWidth);
    // The name column and the rows still follow the mouse.
    const int nameWidth = grid->GetColWidth(CGroupsGrid::ColName);
    ASSERT_TRUE(resize->OnStartTracking(grid, 0, CGroupsGrid::ColName, 2));
    resize->OnMoveTracking(grid, nameWidth + 20);
    resize->OnEndTracking(grid, nameWidth + 20);
    EXPECT_EQ(grid->GetColWidth(CGroupsGrid::ColName), nameWidth + 20);
    ASSERT_TRUE(resize->OnStartTracking(grid, 1, 0, 1));
    resize->OnCancelTracking(grid);
  }
}

// A group of 705 capacitors and three free ones: the grids' row numbers and names against their columns.
class GroupsRoom : public GroupsDialogTest {
protected:
  void SetUp() override {
    GroupsDialogTest::SetUp();
    host::HostPart* part = board.Part("CAP_22U_0805", 22e-6, 0.002);
    std::vector<host::HostComponent*> members;
    for (int i = 1; i <= 705; ++i) members.push_back(board.Capacitor("C" + std::to_string(i), part));
    board.Group("CORE_BULK", members);
    for (const char* name : {"C900", "C901", "C902"}) board.Capacitor(name, part);
    Open(dialog);
  }
  void TearDown() override {
    if (dialog.m_hWnd) dialog.DestroyWindow();
    GroupsDialogTest::TearDown();
  }

  // A cell's text as drawn: its width in the cell's font and the width of the room inside the cell's borders and
  // margins, where the cell draws it.
  struct Drawn {
    std::string text;
    int width = 0;
    int room = 0;
  };
  static Drawn DrawnText(CGroupsGrid& grid, ROWCOL row, ROWCOL col) {
    CGXStyle style;
    grid.ComposeCellStyle(row, col, style);
    CGXControl* control = grid.ControlForCell(row, col);
    if (!control) return {};
    CString text;
    control->GetDisplayText(text, row, col, nullptr, style);
    CClientDC dc(&grid);
    CFont* old = control->SelectCellFont(&dc, style);
    Drawn drawn{text.GetString(), static_cast<int>(dc.GetTextExtent(text).cx), 0};
    if (old) dc.SelectObject(old);
    drawn.room = control->ComputeInnerRect(CRect(0, 0, grid.GetColWidth(col), grid.GetRowHeight(row)), style).Width();
    return drawn;
  }
  static void ExpectShownWhole(CGroupsGrid& grid, ROWCOL row, ROWCOL col) {
    const Drawn drawn = DrawnText(grid, row, col);
    EXPECT_FALSE(drawn.text.empty()) << row << ", " << col;
    EXPECT_LE(drawn.width, drawn.room) << "\"" << drawn.text << "\" in row " << row << ", column " << col;
  }

  CGroupsGrid& Caps() { return dialog.CapacitorGrid(); }
  CGroupsGrid& Groups() { return dialog.GroupsGrid(); }
  CDecouplingGroupsDlg dialog{board.board.get(), nullptr};
};

TEST_F(GroupsRoom, RowNumbersOfEveryCountFitTheirHeadersAndTheHeadersNarrowAgain) {
  const int layoutWidth = Groups().GetColWidth(0);
  EXPECT_EQ(Caps().GetColWidth(0), layoutWidth);
  ExpectShownWhole(Groups(), 2, 0);
  ASSERT_TRUE(dialog.SetGroupExpanded(2, 1));
  ASSERT_EQ(Groups().GetRowCount(), 707u);
  for (ROWCOL row : {9u, 99u, 100u, 680u, 689u, 707u}) ExpectShownWhole(Groups(), row, 0);
  EXPECT_GT(Groups().GetColWidth(0), layoutWidth);
  // Collapsed, the two-digit numbers take the layout's width again; the other grid never needed more.
  ASSERT_TRUE(dialog.SetGroupExpanded(2, -1));
  EXPECT_EQ(Groups().GetColWidth(0), layoutWidth);
  EXPECT_EQ(Caps().GetColWidth(0), layoutWidth);
  // Members moved back make the capacitor grid count to 708.
  ASSERT_TRUE(dialog.SetGroupExpanded(2, 1));
  Select(Groups(), {2});
  dialog.OnRemoveFromGroup();
  ASSERT_EQ(Caps().GetRowCount(), 708u);
  ExpectShownWhole(Caps(), 708, 0);
  EXPECT_EQ(Groups().GetColWidth(0), layoutWidth);
}

TEST_F(GroupsRoom, NamesAreShownWholeWhereTheWindowHasRoomForThem) {
  // The bold group name, and the indented italic members below it.
  ExpectShownWhole(Groups(), 2, CGroupsGrid::ColName);
  ASSERT_TRUE(dialog.SetGroupExpanded(2, 1));
  ExpectShownWhole(Groups(), 3, CGroupsGrid::ColName);
  ExpectShownWhole(Groups(), 707, CGroupsGrid::ColName);
  const int fitted = Groups().GetColWidth(CGroupsGrid::ColName);
  // A longer name typed into the name editor gets its room when the editor stores it.
  ASSERT_TRUE(dialog.EditCell(Groups(), 2, CGroupsGrid::ColName));
  TypeIntoCurrentCell(Groups(), "CORE_BULK_DECOUPLING");
  ASSERT_TRUE(Groups().CompleteCellEdit(TRUE));
  EXPECT_EQ(dialog.Groups()[0]->name, "CORE_BULK_DECOUPLING");
  ExpectShownWhole(Groups(), 2, CGroupsGrid::ColName);
  EXPECT_GT(Groups().GetColWidth(CGroupsGrid::ColName), fitted);
  // A name longer than the window is cut where the window ends: the column fills the room beside the row
  // headers and the expand buttons, and no more.
  ASSERT_TRUE(dialog.EditCell(Groups(), 2, CGroupsGrid::ColName));
  TypeIntoCurrentCell(Groups(), std::string(120, 'W').c_str());
  ASSERT_TRUE(Groups().CompleteCellEdit(TRUE));
  CRect client;
  Groups().GetClientRect(&client);
  EXPECT_EQ(Groups().GetColWidth(CGroupsGrid::ColName),
            client.Width() - Groups().GetColWidth(0) - Groups().GetColWidth(CGroupsGrid::ColExpand));
  // A shorter name leaves the column as wide as it was: the fit never takes width away.
  const int widest = Groups().GetColWidth(CGroupsGrid::ColName);
  ASSERT_TRUE(dialog.EditCell(Groups(), 2, CGroupsGrid::ColName));
  TypeIntoCurrentCell(Groups(), "G");
  ASSERT_TRUE(Groups().CompleteCellEdit(TRUE));
  EXPECT_EQ(Groups().GetColWidth(CGroupsGrid::ColName), widest);
}

}  // namespace
}  // namespace groupstest
