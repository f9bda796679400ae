#include "brimstead/wizards/DWDebugPage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/SettingRanges.h"
#include "platform/framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(CDWDebugPage, CDWPage)
  ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
  ON_BN_CLICKED(IDC_TIME_DOMAIN, OnTimeDomain)
  ON_BN_CLICKED(IDC_PREPARATION_ONLY, OnPreparationOnly)
  ON_BN_CLICKED(IDC_SKIP_STITCHING, OnSkipStitching)
END_MESSAGE_MAP()

CDWDebugPage::CDWDebugPage() : CDWPage(IDD) {}

void CDWDebugPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_FORCE_PASSIVITY, m_bForcePassivity);
  DDX_Check(pDX, IDC_INTERIM_TOUCHSTONE, m_bInterimTouchstone);
  DDX_Check(pDX, IDC_TIME_DOMAIN, m_bTimeDomain);
  DDX_Check(pDX, IDC_SHOW_VIEWER, m_bShowViewer);
  plat::DDX_TextAsShown(pDX, IDC_INTERVAL, m_dInterval);
  DDX_Check(pDX, IDC_PREPARATION_ONLY, m_bPreparationOnly);
  DDX_Check(pDX, IDC_SKIP_STITCHING, m_bSkipStitching);
}

BOOL CDWDebugPage::OnSetActive() {
  const CAnalysisData& record = Record();
  if (Custom()) {
    m_bTimeDomain = record.m_bUseFDTD;
    m_bForcePassivity = record.m_bForcePassivity && !record.m_bUseFDTD;
    m_bInterimTouchstone = record.m_bUseInterimTouchstone;
    m_bShowViewer = record.m_bShowTPOscilloscope;
    m_dInterval = record.m_dFDTDInterval;
    EnableControl(IDC_FORCE_PASSIVITY, !m_bTimeDomain);
    EnableControl(IDC_INTERIM_TOUCHSTONE, true);
  } else {
    m_dInterval = 0.0;
    m_bForcePassivity = 1;
    m_bInterimTouchstone = m_bTimeDomain = m_bShowViewer = 0;
    EnableControl(IDC_FORCE_PASSIVITY, false);
    EnableControl(IDC_INTERIM_TOUCHSTONE, false);
  }
  EnableControl(IDC_TIME_DOMAIN, Custom());

  if (record.m_nAnalysisType == AnalysisQuick) {
    m_bPreparationOnly = m_bSkipStitching = 0;
    ShowControl(IDC_PREPARATION_ONLY, false);
    ShowControl(IDC_SKIP_STITCHING, false);
  } else {
    m_bPreparationOnly = record.m_bDRCOnly;
    m_bSkipStitching = record.m_bSkipStitchingVias;
    ShowControl(IDC_PREPARATION_ONLY, true);
    ShowSkipStitching();
  }
  // The fields hold the record: an interval the edit cannot give back is refused when the page is left, not here.
  ShowTimeDomain();
  return CDWPage::OnSetActive();
}

void CDWDebugPage::ShowSkipStitching() {
  ShowControl(IDC_SKIP_STITCHING, Record().m_nAnalysisType == AnalysisDistributed);
  EnableControl(IDC_SKIP_STITCHING, m_bPreparationOnly != 0);
}

void CDWDebugPage::RefreshControls() {
  if (UpdateData(TRUE))
    ShowTimeDomain();
}

void CDWDebugPage::ShowTimeDomain() {
  if (m_bTimeDomain)
    m_bForcePassivity = 0;
  EnableControl(IDC_FORCE_PASSIVITY, Custom() && !m_bTimeDomain);
  for (int id : {int{IDC_INTERVAL}, int{IDC_SHOW_VIEWER}, int{IDC_INTERVAL_LABEL}, int{IDC_INTERVAL_UNIT}})
    ShowControl(id, m_bTimeDomain != 0);
  UpdateData(FALSE);
}

void CDWDebugPage::OnTimeDomain() { RefreshControls(); }

void CDWDebugPage::OnDefault() {
  m_bForcePassivity = 1;
  m_bInterimTouchstone = m_bTimeDomain = m_bShowViewer = 0;
  UpdateData(FALSE);
  RefreshControls();
}

void CDWDebugPage::OnPreparationOnly() {
  if (!UpdateData(TRUE))
    return;
  CAnalysisData& record = Record();
  record.m_bDRCOnly = m_bPreparationOnly ? 1 : 0;
  if (!m_bPreparationOnly) {
    m_bSkipStitching = 0;
    record.m_bSkipStitchingVias = 0;
  }
  ShowSkipStitching();
  UpdateData(FALSE);
}

void CDWDebugPage::OnSkipStitching() {
  if (!UpdateData(TRUE))
    return;
  Record().m_bSkipStitchingVias = m_bSkipStitching ? 1 : 0;
}

bool CDWDebugPage::ValidateAndStore() {
  BeginValidation();
  // A mistyped interval, or one its edit would show as no number, is refused by the exchange's own prompt; nothing
  // is stored.
  if (!UpdateData(TRUE))
    return false;
  CAnalysisData& record = Record();
  if (Custom()) {
    if (!m_bTimeDomain)
      record.m_bForcePassivity = m_bForcePassivity ? 1 : 0;
    record.m_bUseInterimTouchstone = m_bInterimTouchstone ? 1 : 0;
    record.m_bUseFDTD = m_bTimeDomain ? 1 : 0;
    record.m_bShowTPOscilloscope = m_bShowViewer ? 1 : 0;
    record.m_dFDTDInterval = kFDTDIntervalRange.Stored(m_dInterval);
  }
  if (record.m_nAnalysisType != AnalysisQuick) {
    record.m_bDRCOnly = m_bPreparationOnly ? 1 : 0;
    if (record.m_nAnalysisType == AnalysisDistributed)
      record.m_bSkipStitchingVias = m_bSkipStitching ? 1 : 0;
  }
  SetValid();
  return true;
}

bool CDWDebugPage::AcceptsRecord() {
  // The interval shows only in Custom; any number it reads back as is taken.
  return !Custom() || kFDTDIntervalRange.Accepts(Record().m_dFDTDInterval);
}
