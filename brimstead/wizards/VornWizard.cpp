#include "brimstead/wizards/VornWizard.h"

#include "brimstead/wizards/AnchorLayout.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "brimstead/wizards/VornWizTitleBar.h"
#include "brimstead/wizards/WizardResources.h"

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CVornWizard, CModuleDialog)
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
END_MESSAGE_MAP()

CVornWizard::CVornWizard(CWnd* parent) : CModuleDialog(IDD_WIZ_FRAME, parent) {}

CVornWizard::~CVornWizard() {
  m_pLayout.reset();
  m_pTitleBar.reset();
  m_pStepList.reset();
}

BOOL CVornWizard::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect client;
  GetClientRect(&client);

  m_pTitleBar = std::make_unique<CVornWizTitleBar>(this, this);
  int titleHeight = 0;
  if (m_pTitleBar->Create(IDD_WIZ_TITLEBAR, this)) {
    CRect r;
    m_pTitleBar->GetWindowRect(&r);
    titleHeight = r.Height();
    m_pTitleBar->MoveWindow(client.left, client.top, client.Width(), titleHeight);
    m_pTitleBar->ShowWindow(SW_SHOW);
  }
  m_pStepList = std::make_unique<CVornWizTabCtrl>(this, this);
  if (m_pStepList->Create(IDD_WIZ_TABCTRL, this)) {
    m_pStepList->MoveWindow(client.left, client.top + titleHeight, client.Width(), client.Height() - titleHeight);
    m_pStepList->ShowWindow(SW_SHOW);
  }
  m_pLayout = std::make_unique<CAnchorLayout>(this);
  m_pTitleEntry = m_pLayout->Add(m_pTitleBar.get(), AnchorLeft | AnchorTop | AnchorRight);
  m_pStepListEntry = m_pLayout->Add(m_pStepList.get(), AnchorLeft | AnchorTop | AnchorRight | AnchorBottom);
  m_pStepList->SetCallback(&CVornWizard::OnWizardEvent, this);
  m_pTitleBar->SetCallback(&CVornWizard::OnWizardEvent, this);
  return TRUE;
}

bool CVornWizard::OnWizardEvent(void* userData, int code, int argument) {
  return static_cast<CVornWizard*>(userData)->Forward(code, argument);
}

bool CVornWizard::Forward(int code, int argument) {
  return m_pCallback ? m_pCallback(m_pUserData, code, argument) : true;
}

void CVornWizard::OnOK() { Forward(WizEventNext, 0); }

void CVornWizard::OnCancel() { Forward(WizEventCancel, 0); }

BOOL CVornWizard::OnEraseBkgnd(CDC*) { return TRUE; }

void CVornWizard::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  Relayout();
}

void CVornWizard::Relayout() {
  if (m_pLayout)
    m_pLayout->Relayout();
}

CWizStepNode* CVornWizard::AddStep(CPropertyPage* page, int pageId, LPCSTR name, LPCSTR header,
                                   CWizStepNode* parent, bool enabled, bool visible, int imageId) {
  return m_pStepList ? m_pStepList->AddStep(page, pageId, name, header, parent, enabled, visible, imageId) : nullptr;
}

void CVornWizard::RemoveStep(CPropertyPage* page) {
  if (m_pStepList)
    m_pStepList->RemoveStep(page);
}

CPropertyPage* CVornWizard::GetActivePage() const {
  return m_pStepList ? m_pStepList->GetPage(m_pStepList->GetCurrentIndex()) : nullptr;
}

int CVornWizard::GetStepCount() const { return m_pStepList ? m_pStepList->GetStepCount() : 0; }

CPropertyPage* CVornWizard::GetPage(int index) const { return m_pStepList ? m_pStepList->GetPage(index) : nullptr; }

bool CVornWizard::SelectStep(int index) { return m_pStepList && m_pStepList->SelectStep(index); }

void CVornWizard::RedrawSteps() {
  if (m_pStepList)
    m_pStepList->RedrawSteps();
}

namespace {
CVornWizCtlBar* Bar(const std::unique_ptr<CVornWizTabCtrl>& list) { return list ? list->GetButtonBar() : nullptr; }
}  // namespace

void CVornWizard::SetFinishText(LPCSTR text) {
  if (CVornWizCtlBar* bar = Bar(m_pStepList))
    bar->SetFinishText(text);
}

void CVornWizard::SetCancelText(LPCSTR text) {
  if (CVornWizCtlBar* bar = Bar(m_pStepList))
    bar->SetCancelText(text);
}

void CVornWizard::EnableNext(bool enable) {
  if (CVornWizCtlBar* bar = Bar(m_pStepList))
    bar->EnableNext(enable);
}

void CVornWizard::EnableFinish(bool enable) {
  if (CVornWizCtlBar* bar = Bar(m_pStepList))
    bar->EnableFinish(enable);
}

CWnd* CVornWizard::GetFinishButton() const {
  CVornWizCtlBar* bar = Bar(m_pStepList);
  return bar ? bar->GetFinishButton() : nullptr;
}

CWnd* CVornWizard::GetCancelButton() const {
  CVornWizCtlBar* bar = Bar(m_pStepList);
  return bar ? bar->GetCancelButton() : nullptr;
}

void CVornWizard::GetStepColors(COLORREF* highlight, COLORREF* background, COLORREF* current, COLORREF* complete,
                                COLORREF* disabled, COLORREF* incomplete) const {
  if (m_pStepList)
    m_pStepList->GetStepColors(highlight, background, current, complete, disabled, incomplete);
}

void CVornWizard::SetStepColors(COLORREF highlight, COLORREF background, COLORREF current, COLORREF complete,
                                COLORREF disabled, COLORREF incomplete) {
  if (m_pStepList)
    m_pStepList->SetStepColors(highlight, background, current, complete, disabled, incomplete);
}

void CVornWizard::GetLayout(int* titleHeight, int* listWidth, int* leftMargin, int* topMargin, int* lineHeight) const {
  if (titleHeight) {
    CRect r;
    if (m_pTitleBar && m_pTitleBar->m_hWnd)
      m_pTitleBar->GetWindowRect(&r);
    *titleHeight = r.Height();
  }
  if (m_pStepList)
    m_pStepList->GetGeometry(listWidth, leftMargin, topMargin, lineHeight);
}

void CVornWizard::SetLayout(int titleHeight, int listWidth, int leftMargin, int topMargin, int lineHeight) {
  if (m_hWnd && m_pTitleBar && m_pTitleBar->m_hWnd && m_pStepList && m_pStepList->m_hWnd) {
    CRect title;
    m_pTitleBar->GetWindowRect(&title);
    if (title.Height() != titleHeight) {
      CRect client;
      GetClientRect(&client);
      m_pTitleBar->MoveWindow(0, 0, client.Width(), titleHeight);
      m_pStepList->MoveWindow(0, titleHeight, client.Width(), client.Height() - titleHeight);
      // The layout reads the moved rectangles at its next run.
      CAnchorLayout::Reset(m_pTitleEntry);
      CAnchorLayout::Reset(m_pStepListEntry);
    }
  }
  if (m_pStepList)
    m_pStepList->SetGeometry(listWidth, leftMargin, topMargin, lineHeight);
}

void CVornWizard::UpdateTitleBar() {
  if (!m_pTitleBar || !m_pStepList)
    return;
  const CWizStepNode* step = m_pStepList->GetCurrentStep();
  if (step)
    m_pTitleBar->SetContent(step->GetTitle(), step->GetDescription(), step->GetImage());
  else
    m_pTitleBar->SetContent("", "", nullptr);
}
