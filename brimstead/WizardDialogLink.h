// The seam between the four wizard interface objects and their wizard dialogs.
//
// The interface objects create, run, click and close a wizard dialog only through CWizardDialogLink; the wizard
// dialogs implement it and register one factory that makes the dialog of a wizard kind (the module's window library
// registers it when the module library is loaded). Without a registered factory (a test that links the interface
// objects alone) an interface object's RunModal and CreateModeless open nothing and answer false.
#pragma once

#include "platform/base/CStringArray.h"
#include "platform/framework/ControlCodes.h"
#include "platform/window/windowapi.h"

#include "brimstead/HostInterfaces.h"

class CWizardDialogLink;

// Told by a wizard dialog once its window is gone and its pages are torn down, before the host hears OnClosed.
// The owner clears its modeless flag and frees a spent modeless dialog (one it holds, or one a factory reset
// forgot); a modal dialog is freed by the run that made it.
class CWizardDialogOwner {
public:
  virtual void OnDialogClosed(CWizardDialogLink* dialog, bool modeless) = 0;

protected:
  ~CWizardDialogOwner() = default;
};

// What the interface object hands a new dialog before it runs.
struct CWizardDialogSettings {
  // Every wizard (decoupling, bypass, via model, extractor) reads all three.
  BYTE option1 = 1;                 // shows the "Check Capacitor Models" step
  BYTE option2 = 0;                 // that step's table shows groups only: no capacitor rows, no "Edit
                                    // Groups...", the part name and value columns hidden
  BYTE debugOptions = 0;            // adds the debug step before the frequency step, and that step's model
                                    // editor offers its further model kinds
  const CStringArray* names = nullptr;   // replaces the dialog's own name list (copied)
  CHostWizardCallback* callback = nullptr;
  INT_PTR tableValue = 0;
  CHostBoardMarker* boardView = nullptr;   // via model and extractor only
  bool modeless = false;            // set only for a modeless run
  CWizardDialogOwner* owner = nullptr;     // told when the dialog's window is gone
};

class CWizardDialogLink {
public:
  virtual ~CWizardDialogLink() = default;

  // The interface object frees its dialog through this: at once, or, while the host is inside one of the dialog's
  // handlers (its Run, MayClose or Notify), once that handler has returned.
  virtual void Release() { delete this; }

  virtual void Configure(const CWizardDialogSettings& settings) = 0;
  // The modal run; answers IDOK, IDCANCEL or -1 when the dialog could not be made.
  virtual INT_PTR DoModal() = 0;
  // Creates the dialog's window (template 1000) without a parent; false on failure.
  virtual bool CreateModeless() = 0;
  virtual HWND GetWindow() = 0;   // null while the dialog has no window
  virtual void Show() = 0;
  virtual void Destroy() = 0;     // destroys the window
  virtual void EndDialog(int result) = 0;   // a modal run: closes the dialogs over it, then ends it

  // The wizard frame's Finish and Cancel/Close buttons; null when the frame has none.
  virtual HWND GetFinishButton() = 0;
  virtual HWND GetCancelButton() = 0;
  // Control `controlId` of the page built from template `pageTemplateId`; null when the page or control is missing.
  virtual HWND FindPageControl(int controlId, int pageTemplateId) = 0;

  // The active page's answers; false without a page.
  virtual bool ActivePageTakesViewerPicks() = 0;
  virtual bool ActivePageHasSelection() = 0;
  virtual bool NotifyActivePageNetChanged() = 0;
  virtual bool RefreshActivePage() = 0;

  // The board view's marks the dialog holds (via model and extractor): any there, and removing them all with a
  // refresh of the view.
  virtual bool HasBoardMarks() = 0;
  virtual void ClearBoardMarks() = 0;
  // The host switched a via port (its index in the extractor record's via ports) on or off: the marks follow.
  virtual void OnViaPortSwitched(int /*viaPort*/) {}
};

// Makes the dialog of a wizard kind (1 decoupling, 2 bypass, 3 via model, 4 model extractor) with the given parent
// (null for none); null when it cannot.
using WizardDialogFactory = CWizardDialogLink* (*)(int kind, HWND parent);

// The registered factory, or null. The wizard dialogs register theirs when the module is loaded.
WizardDialogFactory GetWizardDialogFactory();
void RegisterWizardDialogFactory(WizardDialogFactory factory);

// Wizard dialog template and the start page's "Use last configuration" button.
constexpr int WizardDialogTemplate = 1000;
constexpr int WizardStartPageTemplate = 1007;
constexpr int WizardUseLastConfigurationControl = 1003;
// Asks an open wizard to make its active page re-read the current analysis record.
constexpr UINT WM_WIZARD_REREAD_RECORD = 1315;
