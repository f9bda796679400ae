// CDWPage: the base of every page of the four analysis wizards. A page is a child dialog that the wizard frame
// creates from the page's template and shows in its page area; it keeps the property page's notifications, which
// the frame calls directly. The base adds a title and header for the step list and title bar, the help topic
// (page flag), validate-and-store, the board-viewer hooks, a refresh of the control states, and the routine that
// saves the settings when a wizard ends.
#pragma once

#include "brimstead/SettingsIO.h"
#include "platform/framework/CPropertyPage.h"
#include "platform/gdi/CFont.h"

#include <initializer_list>
#include <vector>

class CAnalysisData;
class CWizardDlg;

class CDWPage : public CPropertyPage {
public:
  explicit CDWPage(UINT templateId);

  virtual CString GetTitle() = 0;
  // Two lines joined by CR LF: the bold title and the description of the title bar.
  virtual CString GetHeaderText() = 0;
  virtual int GetPageFlag() { return m_nPageFlag; }
  virtual void SetPageFlag(int flag) { m_nPageFlag = flag; }
  // Moves the controls into the current record; false keeps the wizard on the page.
  virtual bool ValidateAndStore() = 0;
  // Whether the page's own check takes what the record holds for the page, judged from the record alone: Finish on
  // any page asks every page the run goes through, also pages never shown, whose controls do not hold the record.
  // Once the page shows the record, ValidateAndStore refuses with its box exactly what this refuses; it reads and
  // stores typed numbers as their edits show them, so that what it takes this takes too.
  virtual bool AcceptsRecord() { return true; }
  virtual bool OnViewerSelectionChanged() { return false; }
  virtual bool AcceptsViewerPicks() { return false; }
  virtual bool OnSelectedNetChanged() { return false; }
  virtual bool HasSelectedNet() { return false; }
  virtual void RefreshControls() {}

  BOOL OnKillActive() override;
  BOOL OnWizardFinish() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The page's controls share the wizard's tab order; Enter and Escape inside the page stay the page's, which does
  // nothing with them (Enter on a focused push button still clicks it).
  BOOL PreTranslateMessage(MSG* msg) override;

  // Which file a failed save could not write, the system's reason, the value no line of the file could hold when
  // that was why, and the reason the rule of written files refused the path (empty texts otherwise).
  struct SaveFailure {
    CString path;
    DWORD error = 0;
    settings_io::RefusedValue refused;
    CString refusal;
  };
  // Saves the settings file when the user asked for it and a copy into the host's buffer when there is one;
  // answers whether the settings file was written. The settings path is judged first by the rule of written files
  // (WrittenPaths.h: never the project, a FIFO, a device, ...), which leaves a refused one untouched. The first
  // failure goes to `failure`. A copy that cannot be written empties the host's buffer and is not reported.
  static bool SaveSettings(SaveFailure* failure = nullptr);

  UINT GetTemplateId() const { return m_nTemplateId; }
  CWizardDlg* GetOwner() const { return m_pOwner; }
  void SetOwner(CWizardDlg* owner) { m_pOwner = owner; }
  // Whether the page's last validation took what it holds (leaving it, a close or a Finish that stores it).
  bool IsValid() const { return m_bValid != 0; }

protected:
  // The current record; the wizard dialog made one of its kind before any page exists.
  static CAnalysisData& Record();
  // Whether the record's settings mode is Custom (1); the pages offer their detailed options only then.
  static bool Custom();
  // Clears the valid flag; pages that validate typed values call it when their validation starts.
  void BeginValidation() { m_bValid = 0; }
  void SetValid() { m_bValid = 1; }
  // Asks the owner to re-derive captions and step states.
  void UpdateOwnerButtons();
  // A stop box captioned with the module's name; then the control gets the focus with its whole text selected.
  void RefuseInput(LPCSTR text, int controlId);
  void EnableControl(int id, bool enable);
  void ShowControl(int id, bool show);
  // Gives these buttons a bold copy (weight 700) of the first one's font; the window's destruction gives them
  // their font back and deletes the copy.
  void MakeCaptionsBold(std::initializer_list<int> ids);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

  UINT m_nTemplateId;
  int m_nPageFlag = 0;
  CWizardDlg* m_pOwner = nullptr;
  BYTE m_bValid = 1;

private:
  CFont m_BoldFont;
  std::vector<int> m_BoldIds;
};

// A page with the settings file's controls, which the start and the finish page both offer: the "Save settings to
// file" box, the file's path (as the record shows it) and the browse button that picks the file.
class CSettingsFilePage : public CDWPage {
public:
  enum : int { IDC_SAVE_SETTINGS = 1065, IDC_SETTINGS_PATH = 1066, IDC_SETTINGS_BROWSE = 1067 };
  static constexpr const char* SettingsFilter = "Decoupling Analysis Options (*.dao)|*.dao|All files (*.*)|*.*||";

  using CDWPage::CDWPage;

  CString m_SettingsPathText;
  int m_bSaveSettings = 0;

protected:
  // The path, then the box.
  void ExchangeSettingsFile(CDataExchange* pDX);
  // The box and the path as the record holds them; the browse button is enabled with the box.
  void ReadSettingsFile();
  // The box into the record.
  void StoreSaveSettings();
  // The save dialog for the settings file; the record takes the path chosen.
  afx_msg void OnSettingsBrowse();
};
