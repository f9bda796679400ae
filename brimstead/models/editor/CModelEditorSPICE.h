// CModelEditorSPICE: the model editor's pane for a SPICE subcircuit: the netlist files of the model directories,
// the subcircuits of the chosen file, and the assignment of the subcircuit's nodes to the capacitor's pins.
#pragma once

#include "brimstead/models/editor/CModelEditorPane.h"
#include "brimstead/models/editor/CPortMapGrid.h"
#include "platform/base/CStringArray.h"
#include "platform/framework/CListBox.h"

#include <vector>

class CModelEditor;

// The subcircuits of the file last read: names in file order and each one's node names.
struct SubcircuitList {
  CStringArray names;
  std::vector<UINT> starts{0};   // node range of subcircuit i: starts[i] .. starts[i + 1] - 1 (in memory only)
  CStringArray nodes;
  int NodeCount(int i) const {
    return static_cast<int>(starts[static_cast<size_t>(i) + 1] - starts[static_cast<size_t>(i)]);
  }
  void Clear() {
    names.RemoveAll();
    starts.assign(1, 0);
    nodes.RemoveAll();
  }
};

class CModelEditorSPICE : public CModelFilePaneDlg, public CPortMapListener {
  DECLARE_DYNAMIC(CModelEditorSPICE)

public:
  enum : int {
    IDD = 1029,
    IDC_FILES = 1086,
    IDC_SUBCIRCUITS = 1099,
    IDC_VIEW_MODELS = 1152,
    IDC_PORT_MAP = 1147,
    IDC_COMPATIBLE = 1141,
  };

  explicit CModelEditorSPICE(CModelEditor& editor);

  bool ValidatePane() override;
  void LoadFromModel() override;
  void StoreToModel() override;
  void EnableEditing(bool editable) override;
  void OnPortAssignmentChanged(int) override {}
  // The port map's pins from the record's (a model just opened, such as a library model chosen).
  void FillPortMap();

  BOOL OnInitDialog() override;

  CListBox m_SubcircuitList;
  SubcircuitList m_Subcircuits;
  CPortMapGrid m_PortMap;

  void ListSpiceFiles();
  // Reads the subcircuits of a netlist; a file that cannot be read leaves the list empty and gives the reason
  // (empty when it was read, or is merely empty).
  CString ReadSubcircuits(const char* path);
  afx_msg void OnFileSelChange();
  afx_msg void OnSubcircuitSelChange();

protected:
  afx_msg void OnCompatibleClicked();
  afx_msg void OnViewModels();
  DECLARE_MESSAGE_MAP()

private:
};
