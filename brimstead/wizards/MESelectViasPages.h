// The model extractor's via port pages. Each via port is a row with a check box; the row headers show the port
// numbers the extracted model gives the checked vias, counted on from the enabled supply-pin ports ("%d-%d": a via
// takes one port per connected layer of it and of its partner). The numbers are the page's CPortNumbers table, which
// the grid reads them from: a click changes the clicked port's entry alone, however many ports follow.
//
// CMESelectViasOlmPage (outside board mode): the ports come from the net picked in the host's board window
// ("Select Net") and from the viewer's picks; the checked ports are marked on the board view.
//   OnSelectedNetChanged (host's net pick) -> net text with its members -> "Select Net" up -> OnViewerSelectionChanged
//   OnViewerSelectionChanged -> FillGrid -> UpdateButtons -> UpdateBoardMarks
//   check box click -> StorePortCheck: the port's flag and its entry -> headers fitted -> UpdateButtons
//       -> UpdatePortMark (the port's marks alone)
//   rows dragged -> ValidateAndStore (record follows at once) -> NumberPorts
// CMESelectViasTPEPage (board mode): the ports the record holds; a drag renumbers, the record follows when the
// page is left. A check box click marks or unmarks its port on the board view as outside board mode.
#pragma once

#include "brimstead/wizards/DWPage.h"
#include "brimstead/wizards/ViaGrid.h"

class CModelExtractorAnalysisData;

// The grid pages of the extractor's via ports: a row each, numbered on from the enabled supply-pin ports. The
// wizard dialog gives the step its title and header.
class CViaPortsPage : public CDWPage, public CViaGridPage {
public:
  using CDWPage::CDWPage;
  ~CViaPortsPage() override;

  CString GetTitle() override { return CString(); }
  CString GetHeaderText() override { return CString(); }
  // The ports in the grid's row order.
  bool ValidateAndStore() override;
  void NumberPorts();
  // The clicked port takes its box's value (StorePortCheck); the wizard's buttons and the port's board marks follow.
  void OnCheckBoxClicked(ROWCOL row) override;

protected:
  // The port of a clicked check box takes the box's value and the ports are numbered again; false without a grid
  // or a record.
  bool StorePortCheck(ROWCOL row);
  // After a change of the checks: the wizard's buttons, then the board marks of the via port `viaPort` (its index in
  // the record's via ports), or of every port for -1, unless the buttons' update closed the page.
  void ChecksChanged(int viaPort);

private:
  brimwiz::CPortNumbers m_Numbers;  // the grid's row headers
};

class CMESelectViasOlmPage : public CViaPortsPage {
public:
  enum : int {
    IDD = 1159,
    IDC_GRID = 1003,
    IDC_INSTRUCTION = 1091,
    IDC_CHECK_ALL = 1135,
    IDC_UNCHECK_ALL = 1136,
    IDC_SELECT_NET = 1137,
    IDC_PAN_TO = 1160,
    IDC_NET_TEXT = 1181,
    IDC_NET_LABEL = 1183,
  };
  CMESelectViasOlmPage();

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  bool OnViewerSelectionChanged() override;
  bool AcceptsViewerPicks() override { return true; }
  bool OnSelectedNetChanged() override;
  bool HasSelectedNet() override { return m_nSelectNet != 0; }

  void FillGrid();
  void UpdatePanToButton();
  void OnRowsMoved() override;
  void OnGridSelectionChanged() override { UpdatePanToButton(); }

  afx_msg void OnSelectNet();
  afx_msg void OnCheckAll();
  afx_msg void OnUncheckAll();
  afx_msg void OnPanTo();

  const CString& GetSelectedNetText() const { return m_SelectedNet; }

protected:
  DECLARE_MESSAGE_MAP()

private:
  void SetCheckAll(bool check);
  // The one selected data row (rows only, the current cell counting), or 0.
  ROWCOL SelectedDataRow();

  int m_nSelectNet = 0;
  CString m_SelectedNet;
};

class CMESelectViasTPEPage : public CViaPortsPage {
public:
  enum : int { IDD = 1154, IDC_GRID = 1003, IDC_INSTRUCTION = 1091 };
  CMESelectViasTPEPage();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;

  void FillGrid();
  void OnRowsMoved() override { NumberPorts(); }
};

namespace brimwiz {
// Port numbers of the via rows: an enabled port at a row takes first = n + 1 to n + its two lists' names, n
// starting at the record's enabled supply-pin ports; a disabled one an empty header. `numbers` is made from the rows
// and becomes the grid's headers; they widen to hold the widest number.
void NumberViaPorts(CViaGridWnd& grid, CModelExtractorAnalysisData& record, CPortNumbers& numbers);
// The via ports in the grid's row order; each row's header then names its new position.
void StoreViaPortOrder(CGXGridCore& grid, CModelExtractorAnalysisData& record);
}  // namespace brimwiz
