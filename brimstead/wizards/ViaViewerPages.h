// The via step of the bypass and via-model wizards outside board mode: the via (or, on the via-model page, the via
// pair) comes from the host's board viewer. Each re-read rebuilds the record's via list from the viewer's
// selection; the page keeps no via of its own.
//
//   OnInitDialog -> texts, bold status font -> OnViewerSelectionChanged
//   OnViewerSelectionChanged (host's viewer change) -> selected probes eligible as vias (SelectedEligibleProbes)
//       -> record's via list rebuilt and checked -> UpdateButtons (-> MarkSelectedVias) -> status -> controls
//   OnPanTo -> the first via's host probe pans the viewer (mode 3; mode 2 with the second via of a pair)
#pragma once

#include "brimstead/wizards/DWPage.h"
#include "platform/framework/CButton.h"
#include "platform/framework/CComboBox.h"
#include "platform/framework/CListBox.h"

#include <vector>

class CHostBoard;
class CHostProbe;

// A via page with a status line (control 1170): bold, in dark red.
class CViaStatusPage : public CDWPage {
public:
  enum : int { IDC_STATUS = 1170 };
  using CDWPage::CDWPage;

protected:
  afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT type);
  void SetStatusText(const CString& text) { SetDlgItemText(IDC_STATUS, text); }
  // The record's selection status in the status line; empty without a record.
  template <class Data>
  void ShowSelectionStatus(Data* record) {
    SetStatusText(record ? record->GetSelectionStatusText() : CString());
  }
  DECLARE_MESSAGE_MAP()
};

namespace brimwiz {
// A host position as the via pages show it: both coordinates times 100, "(%.2f,%.2f)".
CString FormatViaPosition(double x, double y);
}  // namespace brimwiz

// A via page that takes its via from the host's board viewer: the via's net, position and connected layers, and
// "Pan to" while the record holds a via. The wizard dialog gives the step its title and header.
class CViaViewerPage : public CViaStatusPage {
public:
  enum : int { IDC_INSTRUCTION = 1091, IDC_NET = 1158, IDC_POSITION = 1159, IDC_PAN_TO = 1160, IDC_LAYERS = 1161 };
  using CViaStatusPage::CViaStatusPage;

  CString GetTitle() override { return CString(); }
  CString GetHeaderText() override { return CString(); }
  bool AcceptsViewerPicks() override { return true; }

protected:
  // The net and position of the probe's via; empty without a probe.
  void ShowViaPlace(CHostProbe* probe);
  // The page shows what the record's via list holds: the same host probes in the same order, read from the record's
  // board. A record emptied or refilled elsewhere (another board chosen, settings loaded) no longer matches what the
  // page last read, nor does an empty one whose board was chosen after the page read none.
  template <class Data>
  bool ShowsRecord(Data* record) const {
    if (!record || record->m_pBoard != m_ShownBoard ||
        static_cast<size_t>(record->m_Probes.GetSize()) != m_Shown.size())
      return false;
    for (size_t i = 0; i < m_Shown.size(); ++i)
      if (record->m_Probes[static_cast<int>(i)].m_pHostProbe != m_Shown[i])
        return false;
    return true;
  }
  // Keeps the host probes of the record's via list as the page's last read.
  template <class Data>
  void KeepShown(Data* record) {
    m_ShownBoard = record ? record->m_pBoard : nullptr;
    m_Shown.clear();
    for (int i = 0; record && i < record->m_Probes.GetSize(); ++i)
      m_Shown.push_back(record->m_Probes[i].m_pHostProbe);
  }

  CString m_Net;
  CString m_Position;
  CListBox m_LayerList;

private:
  CHostBoard* m_ShownBoard = nullptr;
  std::vector<CHostProbe*> m_Shown;
};

class CBWSelectProbesOlmPage : public CViaViewerPage {
public:
  enum : int { IDD = 1156, IDC_PAIRS = 1189 };
  CBWSelectProbesOlmPage();

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  bool ValidateAndStore() override;
  bool OnViewerSelectionChanged() override;
  void UpdateStatusText();

  afx_msg void OnPairSelChange();
  afx_msg void OnPanTo();

  // Two names per offered pair, in the pair box's order.
  const std::vector<CString>& PairNames() const { return m_PairNames; }

protected:
  DECLARE_MESSAGE_MAP()

private:
  CComboBox m_PairBox;
  std::vector<CString> m_PairNames;
};

class CDVSelectProbesOlmPage : public CViaViewerPage {
public:
  enum : int {
    IDD = 1158,
    IDC_PAIR_INSTRUCTION = 1092,
    IDC_SHUNT = 1141,
    IDC_NET1 = 1143,
    IDC_NET2 = 1144,
    IDC_EXPORT_FIRST = 1166,
    IDC_EXPORT_LAST = 1169,
    IDC_LAYERS1 = 1175,
    IDC_LAYERS2 = 1179,
    IDC_EXPORT_GROUP = 1187,
    IDC_SINGLE = 1191,
    IDC_DIFFERENTIAL = 1192,
  };
  CDVSelectProbesOlmPage();

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  bool ValidateAndStore() override;
  bool OnViewerSelectionChanged() override;
  void UpdateStatusText();
  // Marks the vias of the first two records on the owner's board view.
  void MarkSelectedVias();
  // Shows the single-via block or the pair block (the children from 1091 to just before 1170).
  void LayoutViaType();

  afx_msg void OnViaTypeChanged();
  afx_msg void OnExportAsChanged();
  afx_msg void OnPanTo();

  int GetViaType() const { return m_nViaType; }

protected:
  DECLARE_MESSAGE_MAP()

private:
  void HideShuntBox();

  int m_nViaType = 0;
  CString m_Nets[2];
  CListBox m_ViaLayers[2];
  int m_nExportIndex = 0;
  int m_bShunt = 0;
  CButton m_ShuntBox;
};
