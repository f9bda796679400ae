#include "brimstead/wizards/VornWizCtlBar.h"

#include "brimstead/wizards/AnchorLayout.h"
#include "brimstead/wizards/WizardResources.h"

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CVornWizCtlBar, CModuleDialog)
  ON_WM_SIZE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
struct ButtonCode {
  int id;
  int code;
};
constexpr ButtonCode kCodes[] = {{IDC_WIZ_HELP, WizEventHelp},   {IDCANCEL, WizEventCancel},
                                 {IDC_WIZ_FINISH, WizEventFinish}, {IDC_WIZ_NEXT, WizEventNext},
                                 {IDC_WIZ_BACK, WizEventBack},   {IDC_WIZ_SAVE, WizEventSave}};
}  // namespace

CVornWizCtlBar::CVornWizCtlBar(CWnd* parent) : CModuleDialog(IDD_WIZ_CTLBAR, parent) {}

CVornWizCtlBar::~CVornWizCtlBar() = default;

BOOL CVornWizCtlBar::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pLayout = std::make_unique<CAnchorLayout>(this);
  const int rightButtons[] = {IDC_WIZ_HELP, IDCANCEL, IDC_WIZ_FINISH, IDC_WIZ_NEXT, IDC_WIZ_BACK};
  for (int id : rightButtons)
    m_pLayout->Add(GetDlgItem(id), AnchorRight | AnchorBottom);
  m_pLayout->Add(GetDlgItem(IDC_WIZ_SAVE), AnchorLeft | AnchorBottom);
  // Tab visits the buttons left to right, as they stand: Save, < Back, Next >, Finish, Cancel, Help.
  HWND after = HWND_TOP;
  for (int id : {int{IDC_WIZ_SAVE}, int{IDC_WIZ_BACK}, int{IDC_WIZ_NEXT}, int{IDC_WIZ_FINISH}, int{IDCANCEL},
                 int{IDC_WIZ_HELP}})
    if (CWnd* button = GetDlgItem(id)) {
      ::SetWindowPos(button->m_hWnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      after = button->m_hWnd;
    }
  return TRUE;
}

bool CVornWizCtlBar::Send(int code) { return m_pCallback ? m_pCallback(m_pUserData, code, 0) : true; }

void CVornWizCtlBar::OnOK() { Send(WizEventNext); }

void CVornWizCtlBar::OnCancel() { Send(WizEventCancel); }

BOOL CVornWizCtlBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int notification = HIWORD(wParam);
  if (notification == BN_CLICKED) {
    for (const ButtonCode& entry : kCodes) {
      if (entry.id == id) {
        Send(entry.code);
        return TRUE;
      }
    }
  }
  return CDialog::OnCommand(wParam, lParam);
}

void CVornWizCtlBar::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (m_pLayout)
    m_pLayout->Relayout();
}

void CVornWizCtlBar::OnDestroy() {
  m_pLayout.reset();
  CDialog::OnDestroy();
}

void CVornWizCtlBar::ShowButton(int id, bool show) {
  if (CWnd* button = m_hWnd ? GetDlgItem(id) : nullptr)
    button->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CVornWizCtlBar::EnableButton(int id, bool enable) {
  if (CWnd* button = m_hWnd ? GetDlgItem(id) : nullptr)
    button->EnableWindow(enable ? TRUE : FALSE);
}

void CVornWizCtlBar::SetFinishText(LPCSTR text) {
  if (CWnd* button = GetFinishButton())
    button->SetWindowText(text);
}

void CVornWizCtlBar::SetCancelText(LPCSTR text) {
  if (CWnd* button = GetCancelButton())
    button->SetWindowText(text);
}

void CVornWizCtlBar::ShowBack(bool show) { ShowButton(IDC_WIZ_BACK, show); }
void CVornWizCtlBar::ShowNext(bool show) { ShowButton(IDC_WIZ_NEXT, show); }
void CVornWizCtlBar::EnableNext(bool enable) { EnableButton(IDC_WIZ_NEXT, enable); }
void CVornWizCtlBar::EnableFinish(bool enable) { EnableButton(IDC_WIZ_FINISH, enable); }

CWnd* CVornWizCtlBar::GetFinishButton() const { return m_hWnd ? GetDlgItem(IDC_WIZ_FINISH) : nullptr; }
CWnd* CVornWizCtlBar::GetCancelButton() const { return m_hWnd ? GetDlgItem(IDCANCEL) : nullptr; }
