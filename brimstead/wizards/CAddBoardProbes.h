// CAddBoardProbes: a modal dialog in which the user picks one more IC power pin from a tree of two groups of host
// pins. OK (or a double click on an entry) appends a new enabled record for the pin to the probe list it was
// handed, unless the list already stands for that pin; anything else closes as Cancel.
#pragma once

#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/wizards/ModuleDialog.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CTreeCtrl.h"

#include <vector>

class CHostProbeElement;

class CAddBoardProbes : public brimwiz::CModuleDialog {
public:
  enum : int { IDD = 1024, IDC_TREE = 1092 };
  using HostObjectList = std::vector<CHostProbeElement*>;

  // The lists belong to the caller and outlive the run; a null probe list makes OK act as Cancel.
  CAddBoardProbes(CDecouplingProbeArray* probes, const HostObjectList* first, const HostObjectList* second,
                  CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;

  CTreeCtrl m_Tree;

protected:
  afx_msg void OnTreeDoubleClick(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

private:
  void AddGroup(const HostObjectList* list);

  CDecouplingProbeArray* m_pProbes;
  const HostObjectList* m_pFirst;
  const HostObjectList* m_pSecond;
  CImageList m_Images;
};
