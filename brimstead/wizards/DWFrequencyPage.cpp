#include "brimstead/wizards/DWFrequencyPage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/SettingRanges.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CSliderCtrl.h"

#include <algorithm>


namespace {

constexpr UINT WM_CHECK_FREQUENCIES = WM_APP + 0x18;

// The page's sampling choice and the record's sweep mode number them differently.
constexpr int kSweepModeOfSampling[] = {SweepAdaptive, SweepLogarithmic, SweepLinear};

int SamplingOfSweepMode(int mode) {
  switch (mode) {
    case SweepLogarithmic:
      return 1;
    case SweepLinear:
      return 2;
    default:
      return 0;
  }
}

// Sets a flag for its lifetime and puts the previous value back, so that a check started from inside another
// (through a message box or a focus change) sees the flag set and a nested exit does not clear it early.
class CFlagScope {
public:
  explicit CFlagScope(BOOL& flag) : m_Flag(flag), m_Previous(flag) { m_Flag = TRUE; }
  ~CFlagScope() { m_Flag = m_Previous; }
  CFlagScope(const CFlagScope&) = delete;
  CFlagScope& operator=(const CFlagScope&) = delete;

private:
  BOOL& m_Flag;
  BOOL m_Previous;
};

}  // namespace

BEGIN_MESSAGE_MAP(CDWFrequencyPage, CDWPage)
  ON_BN_CLICKED(IDC_ADAPTIVE, OnSampling)
  ON_BN_CLICKED(IDC_LOGARITHMIC, OnSampling)
  ON_BN_CLICKED(IDC_LINEAR, OnSampling)
  ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
  ON_EN_KILLFOCUS(IDC_MIN, OnFrequencyKillFocus)
  ON_EN_KILLFOCUS(IDC_MAX, OnFrequencyKillFocus)
  ON_MESSAGE(WM_CHECK_FREQUENCIES, OnCheckAfterFocusLoss)
END_MESSAGE_MAP()

CDWFrequencyPage::CDWFrequencyPage() : CDWPage(IDD) {}

void CDWFrequencyPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Slider(pDX, IDC_ACCURACY, m_nAccuracy);
  DDX_Radio(pDX, IDC_ADAPTIVE, m_nSampling);
  // The frequencies are judged and stored as their edits show them, as the record's check judges them.
  plat::DDX_TextAsShown(pDX, IDC_MIN, m_dMinFreq);
  plat::DDX_TextAsShown(pDX, IDC_MAX, m_dMaxFreq);
  DDX_Control(pDX, IDC_SAMPLES, m_SamplesEdit);
  DDX_Text(pDX, IDC_SAMPLES, m_nSamples);
}

BOOL CDWFrequencyPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  SetDlgItemText(IDC_DESCRIPTION,
                 "Set the min and max frequencies for the analysis. The maximum frequency should be set approximately "
                 "to where the IC packages' impedance becomes high: typically, ~300 MHz.");
  SetDlgItemText(IDC_SAMPLING_TEXT,
                 "Set the type of frequency sampling used. Linear provides good resolution, but may sample at too "
                 "many points; adaptive attempts to intelligently use as few points as possible while maintaining "
                 "good resolutiton at resonant points.");
  return TRUE;
}

BOOL CDWFrequencyPage::OnSetActive() {
  m_bChecking = FALSE;
  m_bCheckPosted = false;
  const CAnalysisData& record = Record();
  m_dMinFreq = record.m_dMinFreq * kFrequencyRange.pageUnitsPerRecordUnit;
  m_dMaxFreq = record.m_dMaxFreq * kFrequencyRange.pageUnitsPerRecordUnit;
  if (CWnd* slider = GetDlgItem(IDC_ACCURACY))
    slider->SendMessage(TBM_SETRANGE, TRUE, MAKELPARAM(1, 3));
  if (Custom()) {
    m_nSampling = SamplingOfSweepMode(record.m_nFreqSweepMode);
    m_nSamples = m_nSampling != 0 ? record.m_nNonAdaptiveFreqNumber : record.m_nMaxAdaptiveFreqNumber;
    m_nAccuracy = record.m_nAdaptiveSweepAccuracy;
  } else {
    m_nSampling = 0;
    m_nSamples = 50;
    m_nAccuracy = 2;
  }
  for (int id = IDC_SAMPLING_TEXT; id <= IDC_LINEAR; ++id)
    EnableControl(id, Custom());
  UpdateData(FALSE);
  RefreshControls();
  UpdateData(FALSE);
  return CDWPage::OnSetActive();
}

void CDWFrequencyPage::RefreshControls() {
  const bool custom = Custom();
  const bool adaptive = m_nSampling == 0;
  for (int id : {int{IDC_ACCURACY}, int{IDC_ACCURACY_LABEL}, int{IDC_ACCURACY_LOW}, int{IDC_ACCURACY_HIGH}}) {
    EnableControl(id, custom && adaptive);
    ShowControl(id, adaptive);
  }
  const CAnalysisData& record = Record();
  if (adaptive) {
    m_nSamples = custom ? record.m_nMaxAdaptiveFreqNumber : 50;
    SetDlgItemText(IDC_SAMPLES_LABEL, AdaptiveSamplesLabel);
  } else {
    m_nSamples = custom ? record.m_nNonAdaptiveFreqNumber : 50;
    SetDlgItemText(IDC_SAMPLES_LABEL, SamplesLabel);
  }
  EnableControl(IDC_SAMPLES_LABEL, custom);
  EnableControl(IDC_SAMPLES, custom);
}

void CDWFrequencyPage::StoreSamples(int sampling) {
  CAnalysisData& record = Record();
  if (sampling != 0)
    record.m_nNonAdaptiveFreqNumber = m_nSamples;
  else
    record.m_nMaxAdaptiveFreqNumber = m_nSamples;
}

void CDWFrequencyPage::OnSampling() {
  const int before = m_nSampling;
  if (!UpdateData(TRUE))
    return;
  // A count the page would refuse is not carried into the record by switching modes; the mode's own count shows.
  if (!SampleCountRefusal(before, m_nSamples))
    StoreSamples(before);
  RefreshControls();
  UpdateData(FALSE);
}

void CDWFrequencyPage::OnDefault() {
  CAnalysisData& record = Record();
  record.m_dMinFreq = record.GetDefaultMinFreq();
  record.m_dMaxFreq = record.GetDefaultMaxFreq();
  record.m_nFreqSweepMode = SweepAdaptive;
  record.m_nAdaptiveSweepAccuracy = 2;
  record.m_nMaxAdaptiveFreqNumber = 50;
  record.m_nNonAdaptiveFreqNumber = 50;
  m_nSampling = 0;
  m_nSamples = 50;
  m_dMinFreq = record.m_dMinFreq * kFrequencyRange.pageUnitsPerRecordUnit;
  m_dMaxFreq = record.m_dMaxFreq * kFrequencyRange.pageUnitsPerRecordUnit;
  m_nAccuracy = 2;
  UpdateData(FALSE);
  RefreshControls();
  UpdateData(FALSE);
}

void CDWFrequencyPage::OnFrequencyKillFocus() {
  // The check's message box and its focus change make the edits lose the focus again: no second check then. The
  // check itself waits until the focus has moved, so that its own focus change is the last one.
  if (m_bChecking || m_bCheckPosted || !IsWindowVisible())
    return;
  m_bCheckPosted = PostMessage(WM_CHECK_FREQUENCIES) != FALSE;
}

LRESULT CDWFrequencyPage::OnCheckAfterFocusLoss(WPARAM, LPARAM) {
  // A validation that ran meanwhile (the click that took the focus was Next or Finish) has checked already; a
  // page hidden meanwhile checks nothing.
  if (!m_bCheckPosted || m_bChecking || !IsWindowVisible()) {
    m_bCheckPosted = false;
    return 0;
  }
  m_bCheckPosted = false;
  {
    CFlagScope checking(m_bChecking);
    if (UpdateData(TRUE))
      CheckFrequencies();
  }
  if (m_hWnd)
    UpdateOwnerButtons();
  return 0;
}

const char* CDWFrequencyPage::FrequencyRefusal(double minimum, double maximum, int* control) {
  *control = IDC_MAX;
  switch (JudgeShownFrequencies(minimum, maximum)) {
    case FrequencyFault::MinimumTooSmall:
      *control = IDC_MIN;
      return "Enter minimum frequency 0.001 MHz or greater";
    case FrequencyFault::MaximumNotAboveMinimum:
      return "Enter maximum frequency greater the minumum";
    case FrequencyFault::MaximumTooLarge:
      // The record holds hertz: a larger maximum would overflow to infinity, be saved as "inf" and come back as a
      // text that is no number.
      return "Enter maximum frequency 1e+300 MHz or less";
    case FrequencyFault::None:
      break;
  }
  return nullptr;
}

const char* CDWFrequencyPage::SampleCountRefusal(int sampling, int samples) {
  if (kSampleCountRange.Accepts(samples))
    return nullptr;
  return sampling != 0 ? "Enter number of samples between 0 and 9999" : "Enter 0 to use default number of sweeps";
}

bool CDWFrequencyPage::AcceptsRecord() {
  const CAnalysisData& record = Record();
  if (Custom()) {
    const int sampling = SamplingOfSweepMode(record.m_nFreqSweepMode);
    if (SampleCountRefusal(sampling, sampling != 0 ? record.m_nNonAdaptiveFreqNumber : record.m_nMaxAdaptiveFreqNumber))
      return false;
  }
  // The edits show megahertz: two frequencies apart in the record may read back as one.
  const std::optional<double> minimum = kFrequencyRange.Shown(record.m_dMinFreq);
  const std::optional<double> maximum = kFrequencyRange.Shown(record.m_dMaxFreq);
  int control = 0;
  return minimum && maximum && !FrequencyRefusal(*minimum, *maximum, &control);
}

bool CDWFrequencyPage::CheckFrequencies() {
  CFlagScope checking(m_bChecking);
  int control = 0;
  if (const char* refusal = FrequencyRefusal(m_dMinFreq, m_dMaxFreq, &control)) {
    RefuseInput(refusal, control);
    return false;
  }
  CAnalysisData& record = Record();
  record.m_dMinFreq = kFrequencyRange.Stored(m_dMinFreq);
  record.m_dMaxFreq = kFrequencyRange.Stored(m_dMaxFreq);
  return true;
}

bool CDWFrequencyPage::ValidateAndStore() {
  BeginValidation();
  m_bCheckPosted = false;
  CFlagScope checking(m_bChecking);
  if (!UpdateData(TRUE))
    return false;
  if (Custom()) {
    CAnalysisData& record = Record();
    if (m_nSampling >= 0 && m_nSampling <= 2)
      record.m_nFreqSweepMode = kSweepModeOfSampling[m_nSampling];
    if (const char* refusal = SampleCountRefusal(m_nSampling, m_nSamples)) {
      RefuseInput(refusal, IDC_SAMPLES);
      return false;
    }
    StoreSamples(m_nSampling);
    record.m_nAdaptiveSweepAccuracy = std::clamp(m_nAccuracy, 1, 3);
  }
  if (!CheckFrequencies())
    return false;
  SetValid();
  return true;
}

BOOL CDWFrequencyPage::OnKillActive() {
  if (!UpdateData(TRUE))
    return FALSE;
  return CDWPage::OnKillActive();
}
