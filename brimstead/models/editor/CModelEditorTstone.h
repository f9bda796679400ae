// CModelEditorTstone: the model editor's pane for a Touchstone file; CModelEditorPLS the same pane for a "pls"
// file. Lists the model files of the model directories, filtered by port count against the capacitor's pins, and
// completes the model: series or shunt for a two-port (chosen, or detected with the curve fit), a port-to-pin map
// for more ports.
#pragma once

#include <string>

#include "brimstead/models/editor/CModelEditorPane.h"
#include "brimstead/models/editor/CPortMapGrid.h"
#include "brimstead/models/editor/ModelEditorRecord.h"
#include "platform/base/CStringArray.h"
#include "platform/framework/CButton.h"
#include "platform/framework/CListBox.h"

class CModelEditor;

class CModelEditorTstone : public CModelFilePaneDlg, public CPortMapListener {
  DECLARE_DYNAMIC(CModelEditorTstone)

public:
  enum : int {
    IDD = 1031,
    IDC_FILES = 1086,
    IDC_ONE_PORT = 1124,
    IDC_TWO_PORT = 1125,
    IDC_ONE_AND_TWO_PORT = 1126,
    IDC_COMPATIBLE = 1141,
    IDC_TWO_PORT_GROUP = 1127,
    IDC_SERIES = 1128,
    IDC_SHUNT = 1129,
    IDC_AUTODETECT_CHECK = 1185,
    IDC_AUTODETECT_BUTTON = 1150,
    IDC_VIEW_MODEL = 1152,
    IDC_HINTS = 1082,
    IDC_PORT_MAP = 1147,
  };
  static constexpr const char* TouchstoneExtensions = "s1p s2p s3p s4p s5p s6p s7p s8p s9p sNp";
  static constexpr const char* ExtendedExtensions =
      " z1p z2p z3p z4p z5p z6p z7p z8p z9p zNp y1p y2p y3p y4p y5p y6p y7p y8p y9p yNp";

  explicit CModelEditorTstone(CModelEditor& editor);

  virtual bool IsTouchstone() const { return true; }

  bool ValidatePane() override;
  void LoadFromModel() override;
  void StoreToModel() override;
  void EnableEditing(bool editable) override;
  void OnPortAssignmentChanged(int) override {}
  // The port map's pins from the record's kind (a model just opened, such as a library model chosen).
  void FillPortMap();

  BOOL OnInitDialog() override;

  // The extensions this pane lists.
  CString ExtensionList() const;
  // The kind's port count of a file (resolved through the model directories); 0 when it cannot be told.
  int PortCount(const char* file) const;
  bool IsCompatibleFile(const char* file, bool onePortOnly, bool twoPortOnly) const;
  void ListModelFiles(bool onePortOnly, bool twoPortOnly, bool compatibleOnly);
  void DetectSeriesShunt();
  // Whether the network data of a Touchstone file read whole, and a two-port's also fit; false with the reason, in
  // parentheses, when they do not. Always true in the "pls" pane.
  bool NetworkDataReadable(const char* path, int ports, CString& reason) const;
  // Why the file cannot be taken at all, before its contents are looked at (the system's sentence: it cannot be
  // opened, is no regular file, or, for a Touchstone file, which is read whole, is above the model file limit);
  // empty when it can be read.
  std::string UnreadableReason(const char* path) const;

  CPortMapGrid m_PortMap;
  CButton m_Autodetect;
  bool m_bOwnFile = false;
  bool m_bEditable = true;   // false while a library model is shown

  afx_msg void OnFileSelChange();
  afx_msg void OnFilterChanged();
  afx_msg void OnAutodetectToggled();

protected:
  afx_msg void OnViewModel();
  DECLARE_MESSAGE_MAP()

  FileModelData& Data();

private:
  void Show(int id, bool show);
  void Enable(int id, bool enable);
  void ShowTwoPortControls(bool show);
};

class CModelEditorPLS : public CModelEditorTstone {
public:
  using CModelEditorTstone::CModelEditorTstone;
  bool IsTouchstone() const override { return false; }
};
