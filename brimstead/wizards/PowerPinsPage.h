// CPowerPinsPage: the IC power pin step, one implementation for the decoupling-analysis wizard's pages and for
// the model extractor's supply-pin pages. A page is a flavour (board viewer or list), a table of the points in
// which the pages differ (PowerPinsTraits) and the record list it shows (CPinRecordList).
//
// Grid: column 0 the port number (or a group's port range) with the record's index as item data (-1 on a group
// row), column 1 the group's plus/minus button (hidden while grouping is off), column 2 the check box, column 3
// the pin, columns 4 and 5 its net or layers.
//
// The port numbers in column 0 are the page's CPortNumbers table, which the grid reads them from: NumberPorts makes
// it from every row; a click changes the entries of the rows it checks or unchecks (and the group's box), so that
// it costs the same however long the list.
//
//   OnSetActive, viewer change, grouping, add dialog  -> FillGrid -> order records -> rows -> NumberPorts
//   check box click -> OnCheckBoxClicked -> record flags and their rows' entries -> group box -> ShowNumbers
//       -> UpdateButtons
//   group button -> members hidden or shown, the group's entry -> ShowNumbers
//   rows dragged or sorted -> (StoreOnMove) ValidateAndStore -> NumberPorts
//   page left -> ValidateAndStore: the record list in row order, the order marked as the user's
#pragma once

#include "brimstead/RecordArray.h"
#include "brimstead/wizards/CWizardGridWnd.h"
#include "brimstead/wizards/PortNumbers.h"
#include "brimstead/wizards/DWPage.h"

#include <memory>
#include <optional>
#include <vector>

class CPowerPinsPage;
class CHostProbe;
class CHostProbeElement;

enum class PinPageFlavour { Viewer, List };

// The records a pin page shows, through the operations the page needs. Indices are positions in the list.
class CPinRecordList {
public:
  virtual ~CPinRecordList() = default;
  virtual int GetCount() = 0;
  // Runs the record's check (valid flag, message; an invalid pin is no port).
  virtual void Check(int i) = 0;
  virtual bool IsValid(int i) = 0;
  virtual bool IsEnabled(int i) = 0;
  virtual void SetEnabled(int i, bool enabled) = 0;
  virtual bool IsExpanded(int i) = 0;
  virtual void SetExpanded(int i, bool expanded) = 0;
  virtual CString GetMessage(int i) = 0;
  virtual CString GetGroupName(int i, PinPageFlavour flavour) = 0;
  // Column 3.
  virtual CString GetPinName(int i, PinPageFlavour flavour) = 0;
  // Column 4 of the viewer flavour: the net of the pin object.
  virtual CString GetNetName(int i) = 0;
  virtual std::vector<CString> GetConnectedLayers(int i) = 0;
  virtual std::vector<CString> GetReferenceLayers(int i) = 0;
  // The host probe's pair test (a differential pair); false without a host probe.
  virtual bool IsPair(int i) = 0;
  // The list becomes copies of its records in this order (positions in the current list).
  virtual void Reorder(const std::vector<int>& order) = 0;
  virtual bool IsOrderKept() = 0;
  virtual void SetOrderKept(bool kept) = 0;
  // The pin objects of the record list (null for a record without one).
  virtual CHostProbeElement* GetElement(int i) = 0;
};

// The group a pin page lists a probe under: the name of its pin object's component; without one (no pin object, or a
// via's), the host probe's name before its last "." (the whole name without one). Designators and pin names may both
// hold full stops, so a pin's name is never cut where its component is known.
CString PinGroupName(CHostProbeElement* element, CHostProbe* probe);

// A record list over one probe array of an analysis record and the record's order mark: the flags, the message,
// the reordering and the order mark read and write the array's records alike for every record kind; the names,
// layers, check and pair test are the list's own.
template <class Data, class Probe>
class CProbeArrayPinList : public CPinRecordList {
public:
  using ProbesMember = CRecordArray<Probe> Data::*;
  using OrderKeptMember = BYTE Data::*;

  CProbeArrayPinList(Data* record, ProbesMember probes, OrderKeptMember orderKept)
      : m_pRecord(record), m_Probes(probes), m_OrderKept(orderKept) {}

  int GetCount() override { return m_pRecord ? Probes().GetSize() : 0; }
  bool IsValid(int i) override { return At(i).m_bValid != 0; }
  bool IsEnabled(int i) override { return At(i).m_bEnabled != 0; }
  void SetEnabled(int i, bool enabled) override { At(i).m_bEnabled = enabled ? 1 : 0; }
  bool IsExpanded(int i) override { return At(i).m_bExpanded != 0; }
  void SetExpanded(int i, bool expanded) override { At(i).m_bExpanded = expanded ? 1 : 0; }
  CString GetMessage(int i) override { return At(i).m_Message; }
  void Reorder(const std::vector<int>& order) override {
    CRecordArray<Probe> reordered;
    for (int i : order)
      reordered.Add(Probes()[i]);
    Probes().Copy(reordered);
  }
  bool IsOrderKept() override { return m_pRecord && m_pRecord->*m_OrderKept; }
  void SetOrderKept(bool kept) override {
    if (m_pRecord)
      m_pRecord->*m_OrderKept = kept ? 1 : 0;
  }

protected:
  CRecordArray<Probe>& Probes() { return m_pRecord->*m_Probes; }
  Probe& At(int i) { return Probes()[i]; }

private:
  Data* m_pRecord;
  ProbesMember m_Probes;
  OrderKeptMember m_OrderKept;
};

// The board-viewer flavour's instruction, the same for every record kind.
constexpr const char* kViewerPinsInstruction =
    "Only IC power pins with reference layers selected are included in the list.\n\nTo add more pins to the list, "
    "you may invoke the \"Assign Power Integrity Models\" command from the Models menu or press the button \"Add IC "
    "Power Pin\".  Reference layers may also be selected in the \"Assign Power Integrity Models\" dialog box.\n";

// The points in which the pin pages differ.
struct PowerPinsTraits {
  UINT templateId;
  WORD layoutId;
  const char* title;
  const char* header;
  const char* instruction;
  const char* emptyConnected;      // list flavour, column 4
  const char* emptyReference;      // column 5
  const char* emptyReferencePair;  // column 5 of a pair, or null to use emptyReference
  bool centreEmpty;                // an empty layer cell is centred
  bool staticSingleName;           // a one-name layer cell becomes a static cell (else keeps the column's control)
  bool storeOnMove;                // rows moved or sorted store the order at once (else when the page is left)
  bool redrawAfterStore;
  int hostCommand;                 // of "Add IC Power Pin..."
  bool boardMarksAfterViewerChange;
};

// The pin grid: forwards moves, sorts and check-box clicks to its page; column 1 cannot be resized.
class CPowerPinsGridWnd : public CReorderingGridWnd {
public:
  explicit CPowerPinsGridWnd(CPowerPinsPage* page);
  ~CPowerPinsGridWnd() override;

  void OnSelectionChanged(const CGXRange*, BOOL, BOOL) override {}
  void OnButtonClickedInCell(ROWCOL row, ROWCOL col) override;
  // The column-resize permission: every column but 1.
  static bool CanResizeColumn(ROWCOL col) { return col != 1; }
  // The user-resize permission: column 1 (the group buttons) keeps its width.
  BOOL ReturnTrueStub(ROWCOL index, BOOL rows) const override {
    return (rows || CanResizeColumn(index)) && CWizardGridWnd::ReturnTrueStub(index, rows);
  }
  // Points the base's listener at the embedded one (once the grid is set up).
  void ConnectListener() { m_pListener = &m_Listener; }
  CPowerPinsPage* GetOwnerPage() const { return m_pPage; }

protected:
  void OnRowsReordered() override;

private:
  class CListener final : public CGridOwnerListener {
  public:
    explicit CListener(CPowerPinsPage* page) : m_pPage(page) {}
    bool OnCellButtonClicked(CWizardGridWnd* grid, ROWCOL row, ROWCOL col) override;
    bool OnGridNotify(CWizardGridWnd*, ROWCOL, ROWCOL) override { return true; }

  private:
    CPowerPinsPage* m_pPage;
  };
  CPowerPinsPage* m_pPage;
  CListener m_Listener;
};

class CPowerPinsPage : public CDWPage {
public:
  enum : int {
    IDC_GRID = 1003,
    IDC_INSTRUCTION = 1091,
    IDC_CHECK_ALL = 1135,
    IDC_UNCHECK_ALL = 1136,
    IDC_ADD_PIN = 1184,
    IDC_GROUP = 1185,
    ID_ADD_BOARD_PROBES = 1021,
  };
  enum : ROWCOL { ColNumber = 0, ColGroupButton = 1, ColCheck = 2, ColPin = 3, ColFourth = 4, ColFifth = 5 };

  CPowerPinsPage(PinPageFlavour flavour, const PowerPinsTraits& traits);
  ~CPowerPinsPage() override;

  CString GetTitle() override { return m_Traits.title; }
  CString GetHeaderText() override { return m_Traits.header; }
  bool ValidateAndStore() override;
  bool OnViewerSelectionChanged() override;
  // The board-viewer flavour takes the host's picks.
  bool AcceptsViewerPicks() override { return m_Flavour == PinPageFlavour::Viewer; }
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;

  void FillGrid();
  // The port numbers of every row made anew from the rows and their records, the group boxes set from them.
  void NumberPorts();
  void OnCheckBoxClicked(ROWCOL row);
  bool OnGroupButtonClicked(ROWCOL row, ROWCOL col);
  // Rows were dragged or sorted in the grid.
  void OnRowsMoved();

  PinPageFlavour GetFlavour() const { return m_Flavour; }
  CPowerPinsGridWnd* GetGrid() const { return m_pGrid.get(); }
  bool IsGrouping() const { return m_bGrouping != 0; }
  // Rows whose item data named no record, skipped since the page was made.
  int GetSkippedRowCount() const { return m_nSkippedRows; }
  // The record index a row stands for: none on a group row or a row whose item data is outside the list.
  std::optional<int> RecordOfRow(ROWCOL row);
  bool IsGroupRow(ROWCOL row);

  afx_msg void OnCheckAll();
  afx_msg void OnUncheckAll();
  afx_msg void OnAddIcPowerPin();
  afx_msg void OnAddBoardProbes();
  afx_msg void OnGroupByRefDes();

protected:
  // The records of the current analysis record; made anew on every use (the current record may be replaced).
  virtual std::unique_ptr<CPinRecordList> Records() = 0;
  // Runs the add-board-probes dialog on the record's list; true when it added a probe.
  virtual bool RunAddBoardProbes() { return false; }
  DECLARE_MESSAGE_MAP()

private:
  void SetCheckAll(bool check);
  // Checks or unchecks the records of the rows from `first` on, up to the next group row when `withinGroup`; an
  // invalid pin never becomes a port.
  void CheckRecordRows(CPinRecordList& records, ROWCOL first, bool withinGroup, bool check);
  void WriteLayerCell(ROWCOL row, ROWCOL col, const std::vector<CString>& names, const char* emptyText);
  void SetDragAndSort(bool allowed);
  // The number table covers the grid's rows as they are (else NumberPorts makes it anew).
  bool NumbersCurrent() const;
  // A group row's tri-state box: unchecked, checked (every member) or some.
  void WriteGroupCheck(ROWCOL group);
  // The row headers fitted to the numbers, the grid redrawn.
  void ShowNumbers();
  void SetValue(ROWCOL row, ROWCOL col, const CString& value);
  CString ValueOf(ROWCOL row, ROWCOL col);

  PinPageFlavour m_Flavour;
  PowerPinsTraits m_Traits;
  brimwiz::CPortNumbers m_Numbers;  // before the grid, which reads it until it is gone
  std::unique_ptr<CPowerPinsGridWnd> m_pGrid;
  int m_bGrouping = 0;
  int m_nUngroupedHeaderWidth = -1;   // column 0's width when grouping was switched on
  int m_nLayoutHeaderWidth = 0;       // column 0's width in the layout: the port numbers widen it, never narrow it
  int m_nSkippedRows = 0;
};

// A pin page over the record list `List`, made anew on every use from the current record that `CurrentRecord`
// answers.
template <class List, auto CurrentRecord>
class CRecordPinsPage : public CPowerPinsPage {
public:
  using CPowerPinsPage::CPowerPinsPage;

protected:
  std::unique_ptr<CPinRecordList> Records() override { return std::make_unique<List>(CurrentRecord()); }
};
