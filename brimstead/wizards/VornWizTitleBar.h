// CVornWizTitleBar: the white bar across the top of the wizard with the current step's title in bold, its
// description below and, when the step has one, an image at the right. Texts reach to 10 pixels from the right
// edge, or to 76 pixels when an image is shown. Enter sends code 5 and Escape code 0 to the callback.
#pragma once

#include "brimstead/wizards/ModuleDialog.h"
#include "brimstead/wizards/WizStepNode.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"

#include <memory>

class CAnchorLayout;
struct CAnchorLayoutEntry;
class CVornWizard;

class CVornWizTitleBar : public brimwiz::CModuleDialog {
public:
  CVornWizTitleBar(CVornWizard* owner, CWnd* parent);
  ~CVornWizTitleBar() override;

  void SetCallback(WizardEventCallback callback, void* userData) {
    m_pCallback = callback;
    m_pUserData = userData;
  }
  // The image is not owned (the step keeps it); null for none.
  void SetContent(LPCSTR title, LPCSTR description, CBitmap* image);
  CBitmap* GetImage() const { return m_pImage; }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

private:
  // Gives the title and description the width up to the right limit; with `reset` the layout reads them anew.
  void Layout(bool reset);

  CVornWizard* m_pOwner;
  std::unique_ptr<CAnchorLayout> m_pLayout;
  CAnchorLayoutEntry* m_pTitleEntry = nullptr;
  CAnchorLayoutEntry* m_pDescriptionEntry = nullptr;
  CBitmap* m_pImage = nullptr;
  CBrush m_WhiteBrush;
  CFont m_BoldFont;
  WizardEventCallback m_pCallback = nullptr;
  void* m_pUserData = nullptr;
};
