// CModelEditor: the modal dialog "Assign / Edit Capacitor Model". One pane per model kind in the frame on the
// right, the kind radios, the "Includes Via Mounting" check box and the library selector with its save, save-as
// and remove buttons on the left.
//
// Flow: SetModel fills the record -> OnInitDialog makes the panes -> FillLibraryList -> SetUpKind -> SwitchPane
// (the pane left stores, the pane shown loads) -> ... -> OnOK validates and stores the current pane.
// The record is shared with the model views that GetResultModel hands out, which outlive the editor.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "brimstead/models/editor/CModelEditorCLR.h"
#include "brimstead/models/editor/CModelEditorSPICE.h"
#include "brimstead/models/editor/CModelEditorTstone.h"
#include "brimstead/models/editor/ModelEditorRecord.h"
#include "foundation/SECBitmapButton.h"
#include "platform/base/CStringArray.h"
#include "platform/framework/CComboBox.h"
#include "platform/framework/CDialog.h"

#include <memory>

class CModelEditor : public CDialog {
  DECLARE_DYNAMIC(CModelEditor)

public:
  enum : int {
    IDD = 1032,
    IDC_KIND_CLR = 1130,
    IDC_KIND_SPICE = 1131,
    IDC_KIND_TOUCHSTONE = 1132,
    IDC_KIND_PLS = 1133,
    IDC_PANE_FRAME = 1134,
    IDC_VIA_MOUNTING = 1141,
    IDC_LIBRARY = 1189,
    IDC_SAVE = 3000,
    IDC_SAVE_AS = 2172,
    IDC_REMOVE = 3010,
    IDC_HELP_BUTTON = 9,
  };
  static constexpr const char* CustomEntry = "<custom>";
  static constexpr const char* HelpKey = "duskmoor_useref";

  explicit CModelEditor(CWnd* parent = nullptr);
  ~CModelEditor() override;

  // Copies the model's header and the data of its kind, its port map for the pins given before (SetPinNames first);
  // the other kinds keep what they hold. Null keeps nothing.
  void SetModel(CHostCapacitorModel* model);
  void SetPinNames(const CStringArray& names) { m_PinNames.Copy(names); }
  void SetModelDirectories(const CStringArray& directories) { m_Directories.Copy(directories); }
  void SetDefaultCapacitance(double farads);
  void SetModelLibrary(CHostModelLibrary* library) { m_pLibrary = library; }
  void SetLayers(CHostCollection* layers) { m_ClrPane.SetLayers(layers); }
  void SetExtendedKinds(bool on) { m_bExtendedKinds = on; }

  INT_PTR DoModal() override;
  // A new view of the record's current kind (the caller owns it); null for a kind outside 1 to 4.
  CHostCapacitorModel* GetResultModel() { return MakeModelViewOfRecord(); }

  ModelRecord& Record() { return *m_pRecord; }
  const CStringArray& PinNames() const { return m_PinNames; }
  const CStringArray& Directories() const { return m_Directories; }
  int PinCount() const { return static_cast<int>(m_PinNames.GetSize()); }
  bool ExtendedKinds() const { return m_bExtendedKinds; }
  CHostModelLibrary* ModelLibrary() const { return m_pLibrary; }
  // Check box 1141 "Includes Via Mounting".
  bool ViaMountingChecked() const;
  // The editing panes write the check box into the header.
  void StoreViaMounting() { m_pRecord->header.includesViaMounting = ViaMountingChecked(); }

  CModelEditorPane* CurrentPane() const { return m_pCurrentPane; }
  CModelEditorPane* PaneOfKind(int kind);
  CModelEditorCLR& ClrPane() { return m_ClrPane; }
  CModelEditorSPICE& SpicePane() { return m_SpicePane; }
  CModelEditorTstone& TouchstonePane() { return m_TstonePane; }
  CModelEditorPLS& PlsPane() { return m_PlsPane; }
  CComboBox& LibraryList() { return m_LibraryList; }
  SECBitmapButton& LibraryButton(int id);

  BOOL OnInitDialog() override;
  void OnOK() override;

  void SetUpKind();
  void SwitchPane(int kind);
  void EnableEditing(bool editable);
  void FillLibraryList();
  bool CustomSelected() const;

  afx_msg void OnKindClicked();
  afx_msg void OnLibrarySelChange();
  afx_msg void OnSaveToLibrary();
  afx_msg void OnSaveAsToLibrary();
  afx_msg void OnRemoveFromLibrary();
  afx_msg void OnHelp();

protected:
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  CHostCapacitorModel* MakeModelViewOfRecord();
  // Validates and stores the current pane (a library model's record stays as opened); false (after a beep) when its
  // input is refused.
  bool StoreCurrentPane();
  // Saves under `name` into the library (when there is one) and selects it.
  void SaveUnder(const CString& name);
  CHostCapacitorModel* SelectedLibraryModel() const;

  std::shared_ptr<ModelRecord> m_pRecord;
  CStringArray m_Directories;
  CStringArray m_PinNames;
  CModelEditorPane* m_pCurrentPane = nullptr;
  CHostModelLibrary* m_pLibrary = nullptr;
  bool m_bExtendedKinds = false;

  CModelEditorCLR m_ClrPane;
  CModelEditorSPICE m_SpicePane;
  CModelEditorTstone m_TstonePane;
  CModelEditorPLS m_PlsPane;
  SECBitmapButton m_SaveButton;
  SECBitmapButton m_SaveAsButton;
  SECBitmapButton m_RemoveButton;
  CComboBox m_LibraryList;
};
