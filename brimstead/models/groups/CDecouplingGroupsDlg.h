// CDecouplingGroupsDlg: "Assign Decoupling-Capacitor Groups". The user sorts the board's decoupling capacitors
// into named groups on a private copy of the host's groups; only OK writes renames, new groups, moves and
// deletions back through the board's "iBoadData/Decoupling(00275)" interface.
//
// Flow: OnInitDialog takes the host's objects -> LoadFromHost builds the records -> FillGrids. The user works
// with ">>" (OnMoveToGroup), "<<" (OnRemoveFromGroup), the expand buttons (SetGroupExpanded) and the name cells
// (OnEndEditName); UpdateButtons follows every change. OnOK ends the cell being edited, checks the edited names
// and commits: names, new groups, moves in capacitor-array order, deletions.
//
// The records' code is in CDecouplingGroupsDlg.cpp, the grids' editing operations in CDecouplingGroupsEdit.cpp.
#pragma once

#include "brimstead/HostObjectRefs.h"
#include "brimstead/models/groups/CGroupsGrid.h"
#include "brimstead/models/groups/GroupEntries.h"
#include "grid/core/CGXInteriorBrush.h"
#include "platform/framework/CDialog.h"

#include <memory>
#include <vector>

class CDecouplingGroupsDlg : public CDialog, public CGridOwnerListener {
  DECLARE_DYNAMIC(CDecouplingGroupsDlg)

public:
  enum : int {
    IDD = 1179,
    IDC_CAPACITOR_GRID = 1009,
    IDC_GROUPS_GRID = 1010,
    IDC_MOVE_TO_GROUP = 1208,     // ">>"
    IDC_REMOVE_FROM_GROUP = 1209, // "<<"
    IDC_HELP_BUTTON = 9,
  };
  static constexpr const char* Title = "Assign Decoupling-Capacitor Groups";
  static constexpr const char* NewGroupText = "<new>";
  static constexpr const char* HelpKey = "duskmoor_useref";
  static constexpr int HelpTopic = 4;

  // Either may be null; without a board the system's first board is used.
  CDecouplingGroupsDlg(CHostBoard* board, CHostSystem* system, CWnd* parent = nullptr);
  ~CDecouplingGroupsDlg() override;

  // Lengths in mils (else millimetres): set by whoever makes the dialog, from the host's unit text.
  bool m_bMils = false;
  // True when a unit text given by the host asks for mils: set and empty.
  static bool UnitTextMeansMils(const char* unitText) { return unitText && !*unitText; }

  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  // ---- Records (CDecouplingGroupsDlg.cpp) ----
  void LoadFromHost();
  // Recomputes the group's three summary texts from its members; false when they did not change.
  bool UpdateGroupSummary(GroupEntry& group);
  // False when a group entry other than `except` that is not deleted has exactly this name.
  bool IsGroupNameUnique(const CString& name, const GroupEntry* except) const;

  // ---- Grids and editing (CDecouplingGroupsEdit.cpp) ----
  void FillGrids();
  void FillRow(CGroupsGrid& grid, ROWCOL row, GroupsRowEntry* entry);
  // Mode 0 toggles, > 0 expands, < 0 collapses; false when the row holds no group or nothing changed.
  bool SetGroupExpanded(ROWCOL row, int mode);
  afx_msg void OnMoveToGroup();
  afx_msg void OnRemoveFromGroup();
  void UpdateButtons();
  void OnEndEditName(CGroupsGrid& grid, ROWCOL row, ROWCOL col);
  // An edit of a name cell was abandoned: the name and its changed flag are what they were before it.
  void OnCancelEditName(CGroupsGrid& grid, ROWCOL row, ROWCOL col);
  // The name taken last was stored in its cell: no later cancel gives it up.
  void KeepEditedName() { m_NameBeforeEdit = {}; }
  bool EditCell(CGroupsGrid& grid, ROWCOL row, ROWCOL col);
  GroupsRowEntry* EntryOfRow(CGroupsGrid& grid, ROWCOL row);
  ROWCOL FindRowOfEntry(CGroupsGrid& grid, const GroupsRowEntry* entry);
  // The rows whose capacitors have the pin set of `target`'s reference capacitor (or, without one, of the first
  // row's capacitor), in the given order.
  std::vector<ROWCOL> FilterByPinSet(const std::vector<ROWCOL>& rows, const GroupEntry& target);
  // A button cell was clicked: column 1 of the groups grid toggles its group. Always true.
  bool OnCellButtonClicked(CWizardGridWnd* grid, ROWCOL row, ROWCOL col) override;
  bool OnGridNotify(CWizardGridWnd*, ROWCOL, ROWCOL) override { return false; }

  CGroupsGrid& CapacitorGrid() { return m_CapacitorGrid; }
  CGroupsGrid& GroupsGrid() { return m_GroupsGrid; }
  const std::vector<std::unique_ptr<CapacitorEntry>>& Capacitors() const { return m_Capacitors; }
  const std::vector<std::unique_ptr<GroupEntry>>& Groups() const { return m_Groups; }
  GroupEntry& NewGroupEntry() { return m_NewGroup; }
  CHostDecoupling* Decoupling() const { return m_pDecoupling; }

  afx_msg void OnHelp();

protected:
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  // Gives back every host object the dialog holds (collections, then the interface); safe to call twice.
  void ReleaseHostObjects();
  // The name check of OK: the first edited group whose name is empty or taken, in list order, else null.
  GroupEntry* FirstRefusedName();
  void CommitToHost();
  // Moves the capacitors of `rows` (capacitor grid, ascending) into `target`, whose row is `targetRow`.
  void MoveRowsToGroup(const std::vector<ROWCOL>& rows, GroupEntry& target, ROWCOL targetRow);
  GroupEntry& MakeNewGroup(CapacitorEntry& firstMember);
  // The group a groups-grid row stands for: a member row its group, a group or "<new>" row itself.
  GroupEntry* GroupOfRow(ROWCOL row);
  void EnableButton(int id, bool enable, CWnd& focusTarget);
  CString DimensionText(double metres) const;

  CHostBoard* m_pBoard = nullptr;
  CHostSystem* m_pSystem = nullptr;
  CHostDecoupling* m_pDecoupling = nullptr;
  CHostBoard* m_pInterfaceBoard = nullptr;   // the board the interface is given back to
  CHostCollectionRef m_GroupCollection;
  CHostCollectionRef m_ComponentCollection;

  std::vector<std::unique_ptr<CapacitorEntry>> m_Capacitors;
  std::vector<std::unique_ptr<GroupEntry>> m_Groups;
  GroupEntry m_NewGroup{EntryNewGroup};
  CGroupsGrid m_CapacitorGrid{*this};
  CGroupsGrid m_GroupsGrid{*this};
  CGXInteriorBrush m_HatchBrush;
  // What the last OnEndEditName replaced, for an edit that turns out to be abandoned.
  struct NameBeforeEdit {
    GroupEntry* group = nullptr;
    CString name;
    bool changed = false;
  } m_NameBeforeEdit;
};
