// The six operations of a model editor pane. Each pane is a child dialog of the editor that shows one model kind:
// CModelEditorPaneDlg is that dialog, CModelFilePaneDlg the one of the model-file kinds, with a message label.
#pragma once

#include "platform/base/CStringArray.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CListBox.h"
#include "platform/gdi/CFont.h"

class CModelEditor;

class CModelEditorPane {
public:
  virtual void ShowPane() = 0;
  virtual void HidePane() = 0;
  // The pane's input is acceptable; the pane shows its own messages.
  virtual bool ValidatePane() = 0;
  // Fills the pane from the editor's record.
  virtual void LoadFromModel() = 0;
  // Writes the pane's input into the editor's record.
  virtual void StoreToModel() = 0;
  virtual void EnableEditing(bool editable) = 0;

protected:
  ~CModelEditorPane() = default;
};

// A pane as a child dialog of its editor, shown and hidden as a window.
class CModelEditorPaneDlg : public CDialog, public CModelEditorPane {
public:
  void ShowPane() override { ShowWindow(SW_SHOWNORMAL); }
  void HidePane() override { ShowWindow(SW_HIDE); }

protected:
  CModelEditorPaneDlg(UINT templateId, CModelEditor& editor) : CDialog(templateId), m_Editor(editor) {}

  CModelEditor& m_Editor;
};

// A pane of a model-file kind: the model files of the model directories in a list, each entry's data the index of
// its full path; its message label is bold and red, hidden until a message is shown.
class CModelFilePaneDlg : public CModelEditorPaneDlg {
public:
  enum : int { IDC_MESSAGE = 1151 };

  CListBox m_FileList;
  CStringArray m_Paths;

protected:
  using CModelEditorPaneDlg::CModelEditorPaneDlg;

  // The selected file's index in the paths, or -1.
  int SelectedPath() const;
  // Selects the entry of the file the record names (byte for byte), or none; returns the entry. A record naming no
  // file starts a custom model on the first entry searched from the second, as the list always has; a library
  // model naming none gets none, since any file would not be the library's.
  int SelectRecordedFile(const CString& fileName);
  // The file name to store: the selected entry's text, but the record's own name (as the host gave it, a full path
  // included) while its entry is selected or no entry is (a file missing or filtered out is not forgotten).
  CString SelectedFileName(const CString& recorded) const;
  // Says that the record's file is not in the list, unless it is a file of a model folder that the list leaves
  // out; hides the message when there is nothing to say.
  void ShowUnlistedFile(const CString& fileName);
  // Starts the viewer or editor program (from the running program's directory) on the selected file; nothing
  // without a selection.
  void ViewSelectedFile(const char* program, const char* programName);

  // Makes the label bold and hides it; for OnInitDialog, once the label exists.
  void PrepareMessage();
  void ShowMessage(const char* text);
  void HideMessage();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  CFont m_BoldFont;
};
