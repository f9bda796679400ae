// CBrimsteadDlg: the decoupling-analysis wizard, and the factory that makes the module's wizard dialogs.
//
// It registers the pages of the decoupling analysis in step order with their help topics; each page's step goes
// into the role the step states follow. The board page comes only when the host's system asks for a board choice;
// the IC power pin page is the list flavour in board mode, else the board-viewer flavour; the capacitor-model page
// comes when the host's capacitor-page option is set.
#pragma once

#include "brimstead/wizards/WizardDlg.h"

class CBrimsteadDlg : public CFinishPageWizardDlg {
public:
  explicit CBrimsteadDlg(CWnd* parent = nullptr);
  ~CBrimsteadDlg() override;

  BOOL OnInitDialog() override;
};

// The module's wizard-dialog factory: the decoupling-analysis wizard for kind 1, the bypass, via-model and model
// extractor wizards for kinds 2 to 4; null for any other kind.
CWizardDialogLink* MakeWizardDialog(int kind, HWND parent);
