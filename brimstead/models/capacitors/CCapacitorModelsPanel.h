// CCapacitorModelsPanel: the capacitor table of the "Assign Decoupling-Capacitor Models" dialog and of the wizards'
// "Check Capacitor Models" page. A grid of the board's decoupling groups (each followed, when expanded, by its
// member capacitors) and then the capacitors of no group, with part name, value, model and an "Enabled" box; a
// board chooser, a filter on two supply nets, and "Assign Model...", "Remove Models" and "Edit Groups...". It
// reads and changes the decoupling data only through the board's "iBoadData/Decoupling(00275)" interface.
//
// Flow (both owners): Attach (inputs) -> CreateGrid (owner's control 1121) -> FillSupplyNets (board chooser, net
// combos, interface, nets) -> FillGrid (records) -> UpdateRowCount (grid rows from the records). After that every
// action ends in FillGrid and UpdateRowCount again; a click on an expand button runs ToggleGroup, a click on an
// "Enabled" box ToggleModelEnabled, a selection change UpdateSelection.
//
// Host references: the decoupling interface is given back to the board it came from, and the net and group
// collections are released, exactly once each, whenever they are replaced (Attach, FillSupplyNets, a board change,
// FillGrid) and by the destructor. Every other collection is released before the operation that took it returns.
#pragma once

#include "brimstead/HostObjectRefs.h"
#include "brimstead/models/capacitors/CCapacitorModelsAPI.h"
#include "brimstead/models/capacitors/CCapacitorRowRecord.h"
#include "brimstead/wizards/CWizardGridWnd.h"
#include "platform/framework/CComboBox.h"

#include <functional>
#include <memory>
#include <vector>

class CCapacitorGrid;
class CDataExchange;
class CModelEditor;

class CCapacitorModelsPanel : public CCapacitorModelsAPI, public CGridOwnerListener {
public:
  enum : int {
    IDC_BOARD = 1004,
    IDC_GRID = 1121,
    IDC_EDIT_GROUPS = 1138,
    IDC_BOARD_LABEL = 1142,
    IDC_NET_B = 1143,
    IDC_NET_A = 1144,
    IDC_FILTER = 1145,
    IDC_ASSIGN = 1206,
    IDC_REMOVE = 1207,
  };
  // Grid columns; column 0 is the row header, which keeps the row's record index as its item data.
  enum : ROWCOL { ColRecord = 0, ColExpand = 1, ColName = 2, ColPartName = 3, ColValue = 4, ColModel = 5,
                  ColEnabled = 6 };
  enum : WORD { Layout = 1036 };
  static constexpr const char* AllSupplyNets = "<All Supply Nets>";
  static constexpr COLORREF InvalidColour = 0x0000FF;
  static constexpr COLORREF EnabledColour = 0x000000;
  static constexpr COLORREF DisabledColour = 0x7F7F7F;

  CCapacitorModelsPanel();
  ~CCapacitorModelsPanel() override;
  // A table belongs to its owner (a dialog or a page), which destroys it: the host's Delete frees nothing here.
  void Delete() override {}

  // Copies the directories and stores the other inputs; gives back the interface and the net collection held so
  // far; with a board, takes its decoupling interface and its nets.
  void Attach(const CStringArray& modelDirectories, CHostModelLibrary* library, CHostSystem* system,
              CHostBoard* board, CHostNet* netA, CHostNet* netB, DWORD_PTR context, const char* unitText);
  // Creates the grid on the owner's control 1121; false when the owner has none.
  bool CreateGrid(CWnd* owner);
  void FillSupplyNets();
  void FillGrid(bool keepExpanded);
  void UpdateRowCount();
  void FillRow(int record, ROWCOL row);
  void ToggleGroup(ROWCOL row);
  void ToggleModelEnabled(ROWCOL row);
  // Enables 1206 and 1207 after the selection; with `extend` an expanded group's selection takes in its member
  // rows. The selected records (a member row counts as its group, each record once) go to `records`.
  void UpdateSelection(bool extend, std::vector<int>* records);
  void AssignModel();
  void RemoveModels();
  void EditGroups();
  void OnFilterCheck();
  void OnFilterChange();
  // The dialog's board chooser (1004) changed.
  void OnBoardChange();
  void DoDataExchange(CDataExchange* pDX);

  // True when one of the capacitor's pins lies on net A (or A is null) and one on net B (or B is null).
  static bool PassesNetFilter(CHostComponent* capacitor, CHostNet* netA, CHostNet* netB);

  // CGridOwnerListener: 0 a button cell was clicked (column 1 toggles the group); 1 assigns a model.
  bool OnCellButtonClicked(CWizardGridWnd* grid, ROWCOL row, ROWCOL col) override;
  bool OnGridNotify(CWizardGridWnd* grid, ROWCOL row, ROWCOL col) override;

  // The grid's hooks.
  // A press on the "Enabled" box of a selected row that has a model keeps the selection.
  bool KeepsSelectionOnPress(ROWCOL row, ROWCOL col);
  // Whether the user may resize column `col` (column 1 never; 3 and 4 only while shown).
  bool MayResizeColumn(ROWCOL col) const;

  // The record of a grid row (its row header's item data), -1 for none.
  int RecordOfRow(ROWCOL row);
  // The selected grid rows, ascending.
  std::vector<ROWCOL> SelectedRows();

  const std::vector<CCapacitorRowRecord>& Records() const { return m_Records; }
  CCapacitorGrid* Grid() const { return m_pGrid.get(); }
  CWnd* Owner() const { return m_pOwner; }
  CHostDecoupling* Decoupling() const { return m_pDecoupling; }
  bool FilterOn() const { return m_nFilterCheck != 0; }

  // The model editor's modal run; tests replace it to see how the editor was prepared and to answer for the
  // user. Null restores the editor's own DoModal.
  using ModelEditorRun = std::function<INT_PTR(CModelEditor&)>;
  static void SetModelEditorRun(ModelEditorRun run);

private:
  // Gives back the decoupling interface to the board it came from (once) and takes the current board's.
  void TakeDecoupling();
  void ReleaseDecoupling();
  // The owner still has its window (after nested modal loops).
  bool OwnerAlive() const;
  CWnd* OwnerItem(int id) const;
  void ShowItem(int id, bool show) const;
  void EnableItem(int id, bool enable) const;
  void FillNetCombo(CComboBox& combo, CHostNet*& filterNet, int& index);
  // The records the selected rows stand for (member rows as their groups).
  std::vector<int> SelectedRecords();
  // Applies the groups-only look to the grid and the owner.
  void ApplyGroupsOnly();

  std::vector<CCapacitorRowRecord> m_Records;
  std::unique_ptr<CCapacitorGrid> m_pGrid;
  CHostDecoupling* m_pDecoupling = nullptr;
  CHostBoard* m_pDecouplingBoard = nullptr;   // the board the interface goes back to
  CHostCollectionRef m_NetCollection;
  CHostCollectionRef m_GroupCollection;
  CWnd* m_pOwner = nullptr;
  CComboBox m_BoardCombo;
  int m_nBoardIndex = -1;
  int m_nFilterCheck = 0;
  CComboBox m_NetComboA;
  CComboBox m_NetComboB;
  int m_nNetIndexA = 0;
  int m_nNetIndexB = 0;
};
