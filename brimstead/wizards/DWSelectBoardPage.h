// CDWSelectBoardPage: chooses the board of the host's system on which the analysis runs. Row n of the board grid
// stands for board n-1; selecting a whole row by its header selects that board in the record.
#pragma once

#include "brimstead/wizards/DWPage.h"
#include "brimstead/wizards/CWizardGridWnd.h"

#include <memory>

class CDWSelectBoardPage;

// The board grid: tells its page when the user's selection changed.
class CDWBoardGridWnd : public CWizardGridWnd {
public:
  explicit CDWBoardGridWnd(CDWSelectBoardPage* page) : m_pPage(page) {}
  ~CDWBoardGridWnd() override;
  void OnSelectionChanged(const CGXRange* range, BOOL dragging, BOOL byKey) override;

private:
  CDWSelectBoardPage* m_pPage;
};

class CDWSelectBoardPage : public CDWPage {
public:
  enum : int { IDD = 1009, IDC_BOARD_GRID = 1004 };

  CDWSelectBoardPage();
  ~CDWSelectBoardPage() override;

  CString GetTitle() override { return "Select a Board to analyze"; }
  CString GetHeaderText() override {
    return "Select a Board to analyze\r\nIn the list below, choose a board. Decoupling analysis runs on only one "
           "board at a time.";
  }
  bool ValidateAndStore() override;
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;

  // The grid's selection changed: no selection means no board (the record keeps its board object); one whole
  // row selects that board; anything else changes nothing.
  void OnBoardSelectionChanged();
  CDWBoardGridWnd* GetGrid() const { return m_pGrid.get(); }

private:
  std::unique_ptr<CDWBoardGridWnd> m_pGrid;
};
