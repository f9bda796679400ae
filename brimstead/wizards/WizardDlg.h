// CWizardDlg: the dialog every analysis wizard is. It owns the wizard frame, registers the pages as steps, answers
// the button bar (Cancel, Help, Finish) and, after every change, checks the current record to set the step states
// and the Cancel and Finish captions. It also implements the seam through which the interface objects create,
// run, click and close it.
//
// Lifetime. The interface object owns the dialog and deletes it (Release). While any of the wizard's windows
// handles a message, or the host is inside a call of the seam, the dialog is busy: a window destroyed meanwhile
// has its teardown (pages, frame, the owner's notice, the host's OnClosed) and a Release has its deletion deferred
// until the outermost busy section ends, so no handler ever runs on a freed object. After host calls and nested
// loops the dialog re-checks that its window still exists.
//
//   OnInitDialog (wizard)  -> keyboard hook use, CWizardDlg::OnInitDialog (frame), record, pages (AddPage),
//                             SelectStep, UpdateButtons, Notify(1, 1)
//   Finish  -> page ValidateAndStore -> a step shown or left unseen by it (a board's ports): it becomes current, stop
//              -> ReadyToRun (every shown step's page judges the record: the first refusing one becomes current
//                 with its box, stop) -> SaveSettings (a failure: its box, stop) -> Check
//              -> RunAnalysis or the check's box -> page OnWizardFinish -> Notify(4, 1)
//   Cancel  -> page OnKillActive -> refused while the page is invalid -> SaveSettings (a failure: its box, stop) -> OnCancel (MayClose)
//   close box, Alt+F4 -> a click on the Cancel button
//   window gone -> pages and frame deleted -> owner notice -> OnClosed
#pragma once

#include "brimstead/AnalysisData.h"
#include "brimstead/WizardDialogLink.h"
#include "brimstead/models/BoardMarks.h"
#include "brimstead/wizards/VornWizard.h"
#include "platform/base/CStringArray.h"
#include "platform/framework/CDialog.h"

#include <memory>
#include <vector>

class CDWPage;

// The roles of the steps a wizard registers.
enum class WizardStepRole : int {
  Start,
  BoardSelection,
  NetSelection,
  CapacitorModels,
  AnalysisType,
  TargetImpedance,
  PowerPinsViewer,
  PowerPinsList,
  BypassViaList,
  BypassViaViewer,
  ViaModelViaList,
  ViaModelViaViewer,
  ViaModelType,
  SupplyPinsViewer,
  SupplyPinsList,
  ExtractorViasViewer,
  ExtractorViasList,
  NormalisationImpedance,
  AnalysisSettings,
  CustomSettings,
  FrequencySweep,
  Debug,
  Finish,
  Count
};

class CWizardDlg : public CDialog, public CWizardDialogLink {
public:
  explicit CWizardDlg(CWnd* parent = nullptr);
  ~CWizardDlg() override;

  // Marks the dialog busy while alive (null: nothing).
  class CBusy {
  public:
    explicit CBusy(CWizardDlg* dialog);
    ~CBusy();
    CBusy(const CBusy&) = delete;
    CBusy& operator=(const CBusy&) = delete;

  private:
    CWizardDlg* m_pDialog;
  };

  virtual bool OnViewerSelectionChanged();
  virtual void UpdateBoardMarks() {}
  // The check of one via port (its index in the record) changed: its marks follow (by default all are made again).
  virtual void UpdatePortMark(int /*viaPort*/) { UpdateBoardMarks(); }
  virtual bool RunAnalysis() = 0;
  void OnCancel() override = 0;

  BOOL OnInitDialog() override;
  // Takes the page; null (and the page deleted) when it could not become a step.
  CWizStepNode* AddPage(CDWPage* page, int helpTopic, LPCSTR title = nullptr, LPCSTR header = nullptr,
                        WizardStepRole role = WizardStepRole::Count);
  HWND GetPageItem(int controlId, int pageId);
  void UpdateButtons();
  bool OnWizardBarEvent(int code, int argument);

  CVornWizard* GetFrame() const { return m_pFrame.get(); }
  CDWPage* GetActivePage() const;
  CWizStepNode* GetStep(WizardStepRole role) const { return m_Steps[static_cast<int>(role)]; }
  CHostWizardCallback* GetHostCallback() const { return m_pCallback; }
  bool IsModeless() const { return m_bModeless != 0; }
  bool IsBusy() const { return m_nBusy > 0; }

  // The seam.
  void Configure(const CWizardDialogSettings& settings) override;
  INT_PTR DoModal() override;
  bool CreateModeless() override;
  HWND GetWindow() override { return m_hWnd; }
  using CWnd::GetWindow;
  void Show() override;
  void Destroy() override;
  void EndDialog(int result) override;
  HWND GetFinishButton() override;
  HWND GetCancelButton() override;
  HWND FindPageControl(int controlId, int pageTemplateId) override { return GetPageItem(controlId, pageTemplateId); }
  bool ActivePageTakesViewerPicks() override;
  bool ActivePageHasSelection() override;
  bool NotifyActivePageNetChanged() override;
  bool RefreshActivePage() override { return OnViewerSelectionChanged(); }
  bool HasBoardMarks() override { return m_BoardMarks.HasMarker(); }
  void ClearBoardMarks() override;
  void OnViaPortSwitched(int viaPort) override { UpdatePortMark(viaPort); }
  void Release() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Options and host values the interface object hands in.
  BYTE m_bCapacitorPage = 1;
  BYTE m_bCapacitorTableOption = 0;
  BYTE m_bDebugOption = 0;
  CStringArray m_Names;
  CBoardMarks m_BoardMarks;
  INT_PTR m_nTableValue = 0;

protected:
  // The shared ending of the four wizards.
  // OnCancel: the host's MayClose; a modeless wizard destroys its window, a modal one ends with IDCANCEL (EndDialog,
  // which closes the dialogs over it first).
  void CloseIfHostAgrees();
  // Lays the frame out, makes the start step current and updates the buttons.
  void FinishInitialisation(int startStep);
  // One use of the keyboard hook, given back when the window is destroyed.
  void TakeKeyboardHook();
  // The start of a wizard's OnInitDialog: the keyboard hook, the frame, the caption. Answers the current record
  // when it is of the wizard's kind and the frame exists; null (no steps to add) otherwise.
  template <class Data>
  Data* BeginSteps(LPCSTR caption) {
    TakeKeyboardHook();
    CWizardDlg::OnInitDialog();
    Data* record = GetAnalysisDataOfKind<Data>();
    SetWindowText(caption);
    return record && GetFrame() ? record : nullptr;
  }
  // The end of it: FinishInitialisation, then the host hears that the wizard opened.
  void OpenOnStep(int startStep);
  afx_msg void OnDestroy();
  // The title bar's close box and Alt+F4: the Cancel button's way (the page stores its controls, the settings are
  // saved when asked for, the host is asked), not the dialog's own Cancel, which would skip the first two.
  afx_msg void OnClose();
  void PostNcDestroy() override;
  DECLARE_MESSAGE_MAP()

  BYTE m_bModeless = 0;
  CHostWizardCallback* m_pCallback = nullptr;
  CWizardDialogOwner* m_pOwner = nullptr;

private:
  // Finish asks this once the current page stored its data, before anything is saved or run. The page of every
  // step the run goes through (the shown steps, in step order) judges the record by its own check (AcceptsRecord),
  // whether it was ever shown or not: a settings file or the host may have brought what it refuses. The first that
  // refuses becomes current and says why with its box, and the answer is false.
  bool ReadyToRun();
  static bool FrameEvent(void* userData, int code, int argument);
  // Saves the settings as the wizard ends or runs; a failure is shown with the file and the system's reason.
  bool SaveSettingsOrTell();
  // Deletes the pages and the frame.
  void TearDownPages();
  // The window-destroyed steps: pages and frame, the owner's notice, the host's OnClosed.
  void OnWindowGone();
  // Runs what was deferred while busy.
  void RunDeferred();

  std::unique_ptr<CVornWizard> m_pFrame;
  CWizStepNode* m_Steps[static_cast<int>(WizardStepRole::Count)] = {};
  struct PageEntry {
    int pageId;
    CWizStepNode* step;
  };
  std::vector<PageEntry> m_PageTable;
  int m_nBusy = 0;
  bool m_bGonePending = false;
  bool m_bReleasePending = false;
  bool m_bKeyboardHookTaken = false;
  // The board the port steps were last filled from, once UpdateButtons has seen one (none is a board too).
  bool m_bBoardNoted = false;
  CHostBoard* m_pNotedBoard = nullptr;
};

class CDWFinishPage;

// The wizards that end through their finish page (the decoupling, bypass and via-model wizards): the page may first
// have to take the old spreadsheet away, then the host runs the analysis. Cancel asks the host.
class CFinishPageWizardDlg : public CWizardDlg {
public:
  using CWizardDlg::CWizardDlg;

  bool RunAnalysis() override;
  void OnCancel() override { CloseIfHostAgrees(); }

protected:
  // Owned by the frame's steps; null once they are torn down (the finish step is then gone too).
  CDWFinishPage* m_pFinishPage = nullptr;
};
