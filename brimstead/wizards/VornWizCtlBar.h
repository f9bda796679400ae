// CVornWizCtlBar: the wizard's button bar along the bottom of the step list window. Each button becomes a numbered
// code for one callback (Help 1, Cancel 0, Finish 3, Next 5, Back 4, Save 2); Enter sends 5 and Escape 0. The
// buttons stay at the bar's right end when it is widened; Save never shows.
#pragma once

#include "brimstead/wizards/ModuleDialog.h"
#include "brimstead/wizards/WizStepNode.h"

#include <memory>

class CAnchorLayout;

class CVornWizCtlBar : public brimwiz::CModuleDialog {
public:
  explicit CVornWizCtlBar(CWnd* parent = nullptr);
  ~CVornWizCtlBar() override;

  void SetCallback(WizardEventCallback callback, void* userData) {
    m_pCallback = callback;
    m_pUserData = userData;
  }

  void SetFinishText(LPCSTR text);
  void SetCancelText(LPCSTR text);
  void ShowBack(bool show);
  void ShowNext(bool show);
  void EnableNext(bool enable);
  void EnableFinish(bool enable);
  // The Finish and Cancel buttons; null while their windows do not exist.
  CWnd* GetFinishButton() const;
  CWnd* GetCancelButton() const;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  bool Send(int code);
  void ShowButton(int id, bool show);
  void EnableButton(int id, bool enable);

  WizardEventCallback m_pCallback = nullptr;
  void* m_pUserData = nullptr;
  std::unique_ptr<CAnchorLayout> m_pLayout;
};
