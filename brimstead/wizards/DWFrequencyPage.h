// CDWFrequencyPage: the frequency range and the sampling of the sweep. The record holds hertz; the page shows
// megahertz. Adaptive and the two other sampling modes keep their own sample counts.
//
//   activation     -> fields from the record (Easy: adaptive, 50 samples, accuracy 2), RefreshControls
//   frequency edit loses the focus -> (posted, once the focus has moved) exchange, CheckFrequencies,
//                  UpdateButtons; a focus loss while a check runs, or one that a page validation overtook, checks
//                  nothing
//   ValidateAndStore -> exchange (the frequencies as their edits show them); Custom: sweep mode, sample count
//                  (0..9999), accuracy; CheckFrequencies
//   AcceptsRecord  -> the same refusals (SampleCountRefusal, FrequencyRefusal) of the record's values as shown
//   kill-active    -> exchange, then the base's (ValidateAndStore, UpdateButtons)
#pragma once

#include "brimstead/wizards/DWPage.h"
#include "platform/framework/CEdit.h"

class CDWFrequencyPage : public CDWPage {
public:
  enum : int {
    IDD = 1018,
    IDC_DEFAULT = 1028,
    IDC_DESCRIPTION = 1052,
    IDC_MIN = 1053,
    IDC_MIN_LABEL = 1054,
    IDC_MAX = 1056,
    IDC_SAMPLING_TEXT = 1059,
    IDC_ADAPTIVE = 1060,
    IDC_LOGARITHMIC = 1061,
    IDC_LINEAR = 1062,
    IDC_SAMPLES = 1063,
    IDC_SAMPLES_LABEL = 1064,
    IDC_ACCURACY_LABEL = 1065,
    IDC_ACCURACY = 1093,
    IDC_ACCURACY_LOW = 1094,
    IDC_ACCURACY_HIGH = 1095,
  };
  static constexpr const char* AdaptiveSamplesLabel = "Minimum number of samples\nin flat, non-resonant regions:";
  static constexpr const char* SamplesLabel = "Number of\nsamples:";

  CDWFrequencyPage();

  CString GetTitle() override { return "Control Frequency Sweep"; }
  CString GetHeaderText() override {
    return "Set Options for Frequency Sampling\r\nSet minimum and maximum frequencies, and choose sampling type.";
  }
  bool ValidateAndStore() override;
  bool AcceptsRecord() override;
  void RefreshControls() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nAccuracy = 2;   // 1..3
  int m_nSampling = 0;   // 0 adaptive, 1 logarithmic, 2 linear
  double m_dMinFreq = 0; // MHz
  double m_dMaxFreq = 0; // MHz
  CEdit m_SamplesEdit;
  int m_nSamples = 50;
  BOOL m_bChecking = FALSE;

protected:
  afx_msg void OnSampling();
  afx_msg void OnDefault();
  afx_msg void OnFrequencyKillFocus();
  afx_msg LRESULT OnCheckAfterFocusLoss(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

private:
  // A focus-loss check is posted and waits for the loop.
  bool m_bCheckPosted = false;
  // What the page says of a minimum and a maximum in megahertz (null when it takes them), and the edit it points
  // at: a minimum below 0.001 MHz, a maximum not above the minimum or above 1e+300 MHz.
  static const char* FrequencyRefusal(double minimum, double maximum, int* control);
  // What the page says of a sample count of a sampling choice (null when it takes it: 0 to 9999).
  static const char* SampleCountRefusal(int sampling, int samples);
  // Refuses what FrequencyRefusal refuses of the fields, with its box; else stores both in hertz.
  bool CheckFrequencies();
  // Stores the sample count into the count of the given sampling choice.
  void StoreSamples(int sampling);
};
