#include "brimstead/wizards/VornWizTitleBar.h"

#include "brimstead/wizards/AnchorLayout.h"
#include "brimstead/wizards/WizardResources.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CBitmap.h"

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CVornWizTitleBar, CModuleDialog)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
}  // namespace

CVornWizTitleBar::CVornWizTitleBar(CVornWizard* owner, CWnd* parent)
    : CModuleDialog(IDD_WIZ_TITLEBAR, parent), m_pOwner(owner) {}

CVornWizTitleBar::~CVornWizTitleBar() = default;

BOOL CVornWizTitleBar::OnInitDialog() {
  CDialog::OnInitDialog();
  m_WhiteBrush.CreateSolidBrush(kWhite);
  CWnd* title = GetDlgItem(IDC_WIZ_TITLE);
  if (CFont* font = title ? title->GetFont() : nullptr) {
    LOGFONT lf{};
    font->GetLogFont(&lf);
    lf.lfWeight = FW_BOLD;
    m_BoldFont.CreateFontIndirect(&lf);
    title->SetFont(&m_BoldFont, TRUE);
  }
  Layout(false);
  m_pLayout = std::make_unique<CAnchorLayout>(this);
  m_pLayout->Add(GetDlgItem(IDC_WIZ_IMAGE), AnchorTop | AnchorRight);
  m_pTitleEntry = m_pLayout->Add(title, AnchorLeft | AnchorTop | AnchorRight);
  m_pDescriptionEntry = m_pLayout->Add(GetDlgItem(IDC_WIZ_DESCRIPTION), AnchorLeft | AnchorTop | AnchorRight | AnchorBottom);
  return TRUE;
}

void CVornWizTitleBar::Layout(bool reset) {
  CRect client;
  GetClientRect(&client);
  const int limit = m_pImage ? client.right - 2 - 74 : client.right - 10;
  const int texts[] = {IDC_WIZ_TITLE, IDC_WIZ_DESCRIPTION};
  for (int id : texts) {
    CWnd* control = GetDlgItem(id);
    if (!control)
      continue;
    CRect r;
    control->GetWindowRect(&r);
    ScreenToClient(&r);
    control->MoveWindow(r.left, r.top, limit - r.left, r.Height(), TRUE);
  }
  if (reset) {
    CAnchorLayout::Reset(m_pTitleEntry);
    CAnchorLayout::Reset(m_pDescriptionEntry);
  }
}

void CVornWizTitleBar::SetContent(LPCSTR title, LPCSTR description, CBitmap* image) {
  const bool changed = (image != nullptr) != (m_pImage != nullptr);
  m_pImage = image;
  if (changed && m_hWnd)
    Layout(true);
  if (!m_hWnd)
    return;
  SetDlgItemText(IDC_WIZ_TITLE, title ? title : "");
  SetDlgItemText(IDC_WIZ_DESCRIPTION, description ? description : "");
  Invalidate();
}

void CVornWizTitleBar::OnOK() {
  if (m_pCallback)
    m_pCallback(m_pUserData, WizEventNext, 0);
}

void CVornWizTitleBar::OnCancel() {
  if (m_pCallback)
    m_pCallback(m_pUserData, WizEventCancel, 0);
}

void CVornWizTitleBar::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, kWhite);
  if (m_pImage) {
    if (CWnd* frame = GetDlgItem(IDC_WIZ_IMAGE)) {
      CRect r;
      frame->GetWindowRect(&r);
      ScreenToClient(&r);
      CDC memory;
      memory.CreateCompatibleDC(&dc);
      CBitmap* old = memory.SelectObject(m_pImage);
      dc.BitBlt(r.left, r.top, r.Width(), r.Height(), &memory, 0, 0, SRCCOPY);
      memory.SelectObject(old);
    }
  }
  if (CWnd* title = GetDlgItem(IDC_WIZ_TITLE))
    title->Invalidate();
}

BOOL CVornWizTitleBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CVornWizTitleBar::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (m_pLayout)
    m_pLayout->Relayout();
}

HBRUSH CVornWizTitleBar::OnCtlColor(CDC* pDC, CWnd*, UINT) {
  pDC->SetBkColor(kWhite);
  return static_cast<HBRUSH>(m_WhiteBrush.GetSafeHandle());
}
