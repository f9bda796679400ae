// The via step of the bypass and via-model wizards in board mode: the vias the record holds, one row each, of which
// the user checks one (and, on the bypass page, chooses the pair of its connected layers to analyse).
//
//   OnSetActive / viewer notice (bypass) -> FillGrid: records checked, rows rebuilt (a list freshly collected from
//       the host is ordered by name first) -> RenumberRows
//   check box click -> OnCheckBoxClicked: single selection -> ColorPairCells (fill and choice by check box) and
//       numbers of the rows it changed -> UpdateButtons
//   page left -> ValidateAndStore: the edit in progress committed, pairs and row order into the record
#pragma once

#include "brimstead/wizards/ViaGrid.h"
#include "brimstead/wizards/ViaViewerPages.h"

class CBWSelectProbesTPEPage : public CDWPage, public CViaGridPage {
public:
  enum : int { IDD = 1154, IDC_GRID = 1003, IDC_INSTRUCTION = 1091 };
  CBWSelectProbesTPEPage();

  CString GetTitle() override { return "Choose Observation Points"; }
  CString GetHeaderText() override {
    return "Choose Observation Locations for the Analysis\r\nIn the listbox below choose one ot more probes from "
           "whose locations to \"observe\" the nets' decoupling impedance.";
  }
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  bool ValidateAndStore() override;
  bool OnViewerSelectionChanged() override;

  void FillGrid();
  void OnCheckBoxClicked(ROWCOL row) override;
  // A pair cell keeps its pair when cleared: an empty pair is none of the via's.
  bool KeepsValueOnClear(ROWCOL, ROWCOL col) override { return col == brimwiz::ViaColFourth; }
  void RenumberRows();
  // The pair cells of the rows take the fill and choice of their check boxes.
  void ColorPairCells(const std::vector<ROWCOL>& rows);
};

class CDVSelectProbesTPEPage : public CViaStatusPage, public CViaGridPage {
public:
  enum : int {
    IDD = 1157,
    IDC_INSTRUCTION = 1091,
    IDC_SHUNT = 1141,
    IDC_GRID = 1165,
    IDC_EXPORT_FIRST = 1166,
    IDC_EXPORT_LAST = 1169,
    IDC_EXPORT_GROUP = 1187,
  };
  CDVSelectProbesTPEPage();

  CString GetTitle() override { return CString(); }
  CString GetHeaderText() override { return CString(); }
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  bool ValidateAndStore() override;

  void FillGrid();
  void OnCheckBoxClicked(ROWCOL row) override;
  void OnRowsMoved() override { RenumberRows(); }
  void RenumberRows();
  void UpdateStatusText();
  afx_msg void OnExportAsChanged();

protected:
  DECLARE_MESSAGE_MAP()

private:
  int m_nExportIndex = 0;
  int m_bShunt = 0;
  CButton m_ShuntBox;
};
