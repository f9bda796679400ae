// CVornWizard: the child dialog that fills a wizard dialog - the title bar across the top and below it the step
// list window (step column, pages, button bar). A thin owner: it creates and lays out its two children, forwards the
// step and button operations to them and passes every button-bar and step event on to one callback.
#pragma once

#include "brimstead/wizards/VornWizTabCtrl.h"
#include "brimstead/wizards/ModuleDialog.h"
#include "brimstead/wizards/WizStepNode.h"

#include <memory>

class CAnchorLayout;
struct CAnchorLayoutEntry;
class CVornWizTitleBar;

class CVornWizard : public brimwiz::CModuleDialog {
public:
  explicit CVornWizard(CWnd* parent = nullptr);
  ~CVornWizard() override;

  void SetCallback(WizardEventCallback callback, void* userData) {
    m_pCallback = callback;
    m_pUserData = userData;
  }

  CWizStepNode* AddStep(CPropertyPage* page, int pageId, LPCSTR name, LPCSTR header, CWizStepNode* parent,
                        bool enabled, bool visible, int imageId = -1);
  void RemoveStep(CPropertyPage* page);
  CPropertyPage* GetActivePage() const;
  int GetStepCount() const;
  CPropertyPage* GetPage(int index) const;
  bool SelectStep(int index);
  void RedrawSteps();

  void SetFinishText(LPCSTR text);
  void SetCancelText(LPCSTR text);
  void EnableNext(bool enable);
  void EnableFinish(bool enable);
  CWnd* GetFinishButton() const;
  CWnd* GetCancelButton() const;

  void GetStepColors(COLORREF* highlight, COLORREF* background, COLORREF* current, COLORREF* complete,
                     COLORREF* disabled, COLORREF* incomplete) const;
  void SetStepColors(COLORREF highlight, COLORREF background, COLORREF current, COLORREF complete,
                     COLORREF disabled, COLORREF incomplete);
  void GetLayout(int* titleHeight, int* listWidth, int* leftMargin, int* topMargin, int* lineHeight) const;
  void SetLayout(int titleHeight, int listWidth, int leftMargin, int topMargin, int lineHeight);
  void Relayout();
  // The title bar shows the current step's title, description and image.
  void UpdateTitleBar();

  // The callback the frame gives the step list and the title bar (user data: the frame).
  static bool OnWizardEvent(void* userData, int code, int argument);

  CVornWizTabCtrl* GetStepList() const { return m_pStepList.get(); }
  CVornWizTitleBar* GetTitleBar() const { return m_pTitleBar.get(); }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  DECLARE_MESSAGE_MAP()

private:
  bool Forward(int code, int argument);

  WizardEventCallback m_pCallback = nullptr;
  void* m_pUserData = nullptr;
  std::unique_ptr<CAnchorLayout> m_pLayout;
  CAnchorLayoutEntry* m_pTitleEntry = nullptr;
  CAnchorLayoutEntry* m_pStepListEntry = nullptr;
  std::unique_ptr<CVornWizTabCtrl> m_pStepList;
  std::unique_ptr<CVornWizTitleBar> m_pTitleBar;
};
