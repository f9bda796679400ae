// CWizardAPIBase<Table>: what the four wizard interface objects share - their first members, the setters, the modal and
// modeless runs through the wizard-dialog seam, the posted clicks and the getters with their easy-mode defaults.
//
// Each object is a singleton per wizard kind, made by the first factory call, reset by every factory call and
// freed only when the module is unloaded. Its wizard dialog is made through the registered dialog factory
// (WizardDialogLink.h).
//
// `Table` is the host's table of the object (WizardAPITables.h): the object's own operations follow the 58 shared
// ones directly, and the virtual operations this class adds for its kinds come after all of them, where the host
// never looks.
#pragma once

#include "brimstead/AnalysisData.h"
#include "brimstead/FakedSingleBoardSystem.h"
#include "brimstead/WizardAPITables.h"
#include "brimstead/WizardDialogLink.h"
#include "platform/base/CString.h"
#include "platform/base/CStringArray.h"

#include <memory>
#include <new>
#include <vector>

template <class Table>
class CWizardAPIBase : public Table {
public:
  CWizardAPIBase(const CWizardAPIBase&) = delete;
  CWizardAPIBase& operator=(const CWizardAPIBase&) = delete;

  void EnableBoardMode() override { m_bBoardMode = 1; }
  bool SetParentWindow(HWND parent) override;
  bool SetProjectFile(const char* path) override;
  bool SetSystem(CHostSystem* system) override;
  bool SetBoard(CHostBoard* board) override;
  bool AddNames(const char* text) override;
  bool SetCallback(CHostWizardCallback* callback) override;
  bool SetGeometryQuery(CHostGeometryQuery* query) override;
  bool SetBoardView(CHostBoardMarker* boardView) override;   // kept only where the dialog marks the board
  void SetWizardOption1(bool on) override { m_bOption1 = on ? 1 : 0; }
  void SetWizardOption2(bool on) override { m_bOption2 = on ? 1 : 0; }
  void EnableDebugOptions() override { m_bDebugOptions = 1; }
  void SetTableValue(INT_PTR value) override { m_nTableValue = value; }
  bool SetSettingsCopyBuffer(char* buffer) override;
  void SetTableText(const char* text) override;
  bool RunModal() override;
  bool CreateModeless() override;
  HWND GetWizardWindow() override;
  int GetBoardIndex() override;
  bool GetIncludeAllNets() override { return true; }
  bool GetUnkeyedFlag() override { return Simplified() || Rec().GetUnkeyedFlag(); }
  bool GetIncludeInterPlane() override { return Simplified() || Rec().m_bIncludeInterPlane; }
  bool GetIncludeLowFreqConnections() override { return false; }
  double GetTargetImpedance() override { return 0.0; }
  bool GetDRCOnly() override { return false; }
  bool GetSkipStitchingVias() override { return false; }
  bool GetGenerateS() override { return Easy() || Rec().m_bGenerateS; }
  bool GetExportShuntModel() override { return false; }
  double GetMinFreq() override { return Rec().m_dMinFreq; }
  double GetMaxFreq() override { return Rec().m_dMaxFreq; }
  bool IsAdaptiveSweep() override { return Simplified() || Rec().m_nFreqSweepMode == SweepAdaptive; }
  bool IsLinearSweep() override { return !Simplified() && Rec().m_nFreqSweepMode == SweepLinear; }
  bool IsLogarithmicSweep() override { return !Simplified() && Rec().m_nFreqSweepMode == SweepLogarithmic; }
  int GetAdaptiveSweepAccuracy() override { return Simplified() ? 2 : Rec().m_nAdaptiveSweepAccuracy; }
  int GetMaxAdaptiveFreqNumber() override { return Easy() ? 50 : Rec().m_nMaxAdaptiveFreqNumber; }
  int GetNonAdaptiveFreqNumber() override { return Easy() ? 50 : Rec().m_nNonAdaptiveFreqNumber; }
  bool GetUseFDTD() override { return !Simplified() && !NoDebug() && Rec().m_bUseFDTD; }
  bool GetShowTPOscilloscope() override { return Rec().m_bShowTPOscilloscope; }
  double GetFDTDInterval() override { return Rec().m_dFDTDInterval; }
  bool IsQuickAnalysis() override { return false; }
  bool IsLumpedAnalysis() override { return false; }
  bool IsDistributedAnalysis() override { return true; }
  bool GetIncludeMounting() override { return Simplified() || Rec().m_bIncludeMounting; }
  bool GetUseInterimTouchstone() override {
    return !Simplified() && !NoDebug() && Rec().m_bUseInterimTouchstone;
  }
  bool GetForcePassivity() override { return Simplified() || NoDebug() || Rec().m_bForcePassivity; }
  bool SetHelpFile(const char* path) override;
  const char* GetOutputFileName() override;
  void Release() override { this->Close(); }

  // The object's state as the tests and the seam read it.
  bool IsBoardMode() const { return m_bBoardMode != 0; }
  BYTE GetOption1() const { return m_bOption1; }
  BYTE GetOption2() const { return m_bOption2; }
  BYTE GetDebugOptions() const { return m_bDebugOptions; }
  const CStringArray& GetNames() const { return m_Names; }
  CHostWizardCallback* Callback() const { return m_pCallback; }
  CHostGeometryQuery* GeometryQuery() const { return m_pGeometryQuery; }
  CHostBoardMarker* BoardView() const { return m_pBoardView; }
  HWND ParentWindow() const { return m_hParent; }
  INT_PTR TableValue() const { return m_nTableValue; }
  bool IsModeless() const { return m_bModeless != 0; }
  CWizardDialogLink* Dialog() const { return m_pDialog; }
  CFakedSingleBoardSystem* OneBoardSystem() const { return m_pOneBoardSystem.get(); }

protected:
  explicit CWizardAPIBase(int kind);
  ~CWizardAPIBase();

  // The wizard kind's current record (the typed accessor: a record of another kind is replaced).
  virtual CAnalysisData* Record() = 0;
  // Makes the current record a default record of the kind.
  virtual void ResetRecordToDefaults() = 0;
  // The object's own members back to their reset values.
  virtual void ResetOwnMembers() {}
  // The decoupling object accepts a system in board mode too.
  virtual bool AcceptsSystemInBoardMode() const { return false; }
  // The via-model and extractor dialogs mark the board, so only they keep the board view.
  virtual bool KeepsBoardView() const { return false; }
  // The extractor's active page takes over the selected net before a modal run and after a modeless creation.
  virtual void OnDialogReady(CWizardDialogLink& /*dialog*/) {}
  // Easy-mode defaults of the kind: the decoupling object answers them for a Quick analysis as well.
  virtual bool Simplified() { return Easy(); }

  // The factory's reset: the state of a fresh object except the name list (and what a kind keeps).
  void Reset();

  bool Easy() { return Rec().m_nMode == 0; }
  bool NoDebug() const { return m_bDebugOptions == 0; }
  CAnalysisData& Rec();
  // The kind's typed record; bad_alloc when none could be made.
  template <class Data>
  static Data& Required(Data* record) {
    if (!record)
      throw std::bad_alloc();
    return *record;
  }

  // The wizard's window, null without a dialog or window.
  HWND WizardWindow();
  // Posts BM_CLICK to the button; false when there is none.
  static bool PostClick(HWND button);
  // Destroys the held dialog's window, frees the dialog and forgets it.
  void DestroyDialog();
  // Destroys and frees the dialogs a factory reset forgot (unload).
  void DestroyForgottenDialogs();
  // Destroys a modeless wizard, ends a modal one with IDCANCEL; nothing without a wizard window.
  void CloseWizardWindow();
  // The extractor and decoupling objects' "Use last configuration": the file name is kept in `pathBuffer`
  // (MAX_PATH bytes), made the record's settings-copy buffer, and the start page's button enabled and clicked.
  bool ClickUseLastConfiguration(const char* path, char* pathBuffer);
  // Tells the callback, when one is set.
  void NotifyHost(int event);

  // Shared members, in their order.
  int m_bModeless = 0;
  CWizardDialogLink* m_pDialog = nullptr;
  BYTE m_bOption1 = 1;
  BYTE m_bOption2 = 0;
  BYTE m_bDebugOptions = 0;
  BYTE m_bBoardMode = 0;
  CStringArray m_Names;
  std::unique_ptr<CFakedSingleBoardSystem> m_pOneBoardSystem;

  CHostWizardCallback* m_pCallback = nullptr;
  CHostGeometryQuery* m_pGeometryQuery = nullptr;
  CHostBoardMarker* m_pBoardView = nullptr;
  HWND m_hParent = nullptr;
  INT_PTR m_nTableValue = 0;

private:
  // Makes, configures and answers a new dialog; null when no dialog factory is registered or it made none.
  CWizardDialogLink* MakeDialog(HWND parent, bool modeless);
  // Frees the one-board system unless the current record still points at it (then it is kept until the object
  // goes; a freed system would leave the record dangling).
  void DropOneBoardSystem();

  // The dialogs' notice that their window is gone (a member, so that the object's layout keeps the host's table
  // first and the shared members in their order).
  class CDialogOwner final : public CWizardDialogOwner {
  public:
    explicit CDialogOwner(CWizardAPIBase& api) : m_Api(api) {}
    void OnDialogClosed(CWizardDialogLink* dialog, bool modeless) override;

  private:
    CWizardAPIBase& m_Api;
  };

  int m_nKind;
  CString m_OutputFileName;   // GetOutputFileName's text
  // Dialogs a factory reset forgot while their window was open; freed when the window goes, or at unload.
  std::vector<CWizardDialogLink*> m_ForgottenDialogs;
  CDialogOwner m_DialogOwner{*this};
  std::vector<std::unique_ptr<CFakedSingleBoardSystem>> m_RetainedSystems;
};
