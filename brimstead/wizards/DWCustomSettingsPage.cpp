#include "brimstead/wizards/DWCustomSettingsPage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/BypassAnalysisData.h"
#include "platform/framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(CDWCustomSettingsPage, CDWPage)
  ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CDWCustomSettingsPage::CDWCustomSettingsPage() : CDWPage(IDD) {}

void CDWCustomSettingsPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_ALL_NETS, m_bAllNets);
  DDX_Check(pDX, IDC_MOUNTING, m_bMounting);
  DDX_Check(pDX, IDC_INTER_PLANE, m_bInterPlane);
  DDX_Check(pDX, IDC_LOW_FREQ, m_bLowFreq);
}

void CDWCustomSettingsPage::SetDefaults() {
  m_bAllNets = 1;
  m_bMounting = 1;
  m_bInterPlane = 1;
  m_bLowFreq = 0;
}

BOOL CDWCustomSettingsPage::OnSetActive() {
  const CAnalysisData& record = Record();
  if (record.GetKind() == CBypassAnalysisData::Kind) {
    ShowControl(IDC_ALL_NETS, false);
    ShowControl(IDC_ALL_NETS_TEXT, false);
  }
  // The Lumped rule comes after the bypass rule, so a Lumped bypass analysis shows the all-nets box again.
  const bool lumped = record.m_nAnalysisType == AnalysisLumped;
  for (int id : {int{IDC_LOW_FREQ_TEXT}, int{IDC_LOW_FREQ}, int{IDC_INTER_PLANE}, int{IDC_INTER_PLANE_TEXT},
                 int{IDC_ALL_NETS}, int{IDC_ALL_NETS_TEXT}})
    ShowControl(id, lumped);

  const bool custom = Custom();
  if (custom) {
    m_bAllNets = record.m_bIncludeAllNets;
    m_bMounting = record.m_bIncludeMounting;
    m_bInterPlane = record.m_bIncludeInterPlane;
    m_bLowFreq = record.m_bIncludeLowFreqConnections;
  } else {
    SetDefaults();
  }
  for (int id : {int{IDC_ALL_NETS}, int{IDC_MOUNTING}, int{IDC_INTER_PLANE}, int{IDC_LOW_FREQ}})
    EnableControl(id, custom);
  ShowControl(IDC_DEFAULT, custom);
  UpdateData(FALSE);
  return CDWPage::OnSetActive();
}

void CDWCustomSettingsPage::OnDefault() {
  SetDefaults();
  UpdateData(FALSE);
}

bool CDWCustomSettingsPage::ValidateAndStore() {
  UpdateData(TRUE);
  CAnalysisData& record = Record();
  if (record.m_nMode != 1)
    return true;
  record.m_bIncludeAllNets = m_bAllNets ? 1 : 0;
  record.m_bIncludeMounting = m_bMounting ? 1 : 0;
  if (record.m_nAnalysisType == AnalysisLumped) {
    record.m_bIncludeLowFreqConnections = m_bLowFreq ? 1 : 0;
    record.m_bIncludeInterPlane = m_bInterPlane ? 1 : 0;
  }
  return true;
}
