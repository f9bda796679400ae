// The bypass, via-model and PDN model-extractor wizards: CWizardDlg with their captions, records, start steps and
// page lists. Each registers its pages in step order with their help topics; the via and pin steps are the list
// flavour in board mode, else the board-viewer flavour. The capacitor-model step comes after the via step while
// wizard option 1 is on (as it is by default); wizard option 2 makes its table list the capacitor groups only.
//
// The extractor also runs its own finish action (RunAnalysis) and keeps the board view's marks of its enabled via
// ports (UpdateBoardMarks).
#pragma once

#include "brimstead/wizards/WizardDlg.h"

class CBypassWizardDlg : public CFinishPageWizardDlg {
public:
  using CFinishPageWizardDlg::CFinishPageWizardDlg;
  BOOL OnInitDialog() override;
};

class CDiffViaModelWizardDlg : public CFinishPageWizardDlg {
public:
  using CFinishPageWizardDlg::CFinishPageWizardDlg;
  BOOL OnInitDialog() override;
};

class CModelExtractorWizardDlg : public CWizardDlg {
public:
  explicit CModelExtractorWizardDlg(CWnd* parent = nullptr) : CWizardDlg(parent) {}

  BOOL OnInitDialog() override;
  // The host's Run; when it answers false a modeless wizard answers the host's MayClose and stays open, a modal
  // one ends with IDOK (so its RunModal answers true: hosts rely on it).
  bool RunAnalysis() override;
  void OnCancel() override { CloseIfHostAgrees(); }
  // With a board view: the marks become one per enabled via port.
  void UpdateBoardMarks() override;
  // With a board view: the port's via has as many marks as enabled ports stand on it, the other marks left as they
  // are (a click costs the same however many ports are marked); all are made again when the marker holds marks the
  // wizard did not make.
  void UpdatePortMark(int viaPort) override;
  // The host clicks the start page's "Use last configuration" through this. The wizard opens past the start page,
  // and a hidden button takes no click: the start page becomes the current step first.
  HWND FindPageControl(int controlId, int pageTemplateId) override;
};

// Kinds 2 (bypass), 3 (via model) and 4 (model extractor); null for any other kind.
CWizardDialogLink* MakeViaWizardDialog(int kind, HWND parent);
