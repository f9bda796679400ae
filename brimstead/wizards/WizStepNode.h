// CWizStepNode: one step of the wizard frame's step list, and the callback through which the frame's parts report
// events.
//
// Event codes (button bar, step list, frame): 0 Cancel, 1 Help, 2 Save, 3 Finish, 4 Back, 5 Next, 6 step click
// (argument: the step index). A false answer stops the event.
#pragma once

#include "platform/base/CString.h"

#include <memory>

class CBitmap;
class CPropertyPage;
class CVornWizTabCtrl;

using WizardEventCallback = bool (*)(void* userData, int code, int argument);

enum WizardEventCode : int {
  WizEventCancel = 0,
  WizEventHelp = 1,
  WizEventSave = 2,
  WizEventFinish = 3,
  WizEventBack = 4,
  WizEventNext = 5,
  WizEventStepClick = 6,
};

class CWizStepNode {
public:
  explicit CWizStepNode(CVornWizTabCtrl* owner);
  virtual ~CWizStepNode();
  CWizStepNode(const CWizStepNode&) = delete;
  CWizStepNode& operator=(const CWizStepNode&) = delete;

  // Number of parent steps above this one.
  int GetLevel() const;
  // Enabled and visible, and so is every parent.
  bool IsEnabled() const;
  // Visible, and so is every parent.
  bool IsVisible() const;
  // Disabling also clears the complete mark.
  void SetEnabled(bool enabled);
  void SetVisible(bool visible) { m_bVisible = visible ? 1 : 0; }
  void SetComplete(bool complete) { m_bComplete = complete ? 1 : 0; }
  bool IsComplete() const { return m_bComplete != 0; }
  // The step lists what the user has not seen on it yet (the ports of a board chosen since it was last current):
  // a jump past it and Finish land on it first. Cleared when it becomes the current step.
  void SetUnseen(bool unseen) { m_bUnseen = unseen ? 1 : 0; }
  bool IsUnseen() const { return m_bUnseen != 0; }
  // Header = text; title = the text before the first CR LF (all of it when there is none), description = the
  // text after it.
  void SetHeader(const CString& text);
  // Takes the image over (null: none).
  void SetImage(std::unique_ptr<CBitmap> image);

  CVornWizTabCtrl* GetOwner() const { return m_pOwner; }
  const CString& GetName() const { return m_Name; }
  void SetName(const CString& name) { m_Name = name; }
  const CString& GetHeader() const { return m_Header; }
  const CString& GetTitle() const { return m_Title; }
  const CString& GetDescription() const { return m_Description; }
  CBitmap* GetImage() const { return m_pImage.get(); }
  CWizStepNode* GetParent() const { return m_pParent; }
  void SetParent(CWizStepNode* parent) { m_pParent = parent; }
  CPropertyPage* GetPage() const { return m_pPage; }
  void SetPage(CPropertyPage* page) { m_pPage = page; }

private:
  CVornWizTabCtrl* m_pOwner;
  CString m_Name;
  CString m_Header;
  CString m_Title;
  CString m_Description;
  std::unique_ptr<CBitmap> m_pImage;
  CWizStepNode* m_pParent = nullptr;
  BYTE m_bEnabled = 1;
  BYTE m_bVisible = 0;
  BYTE m_bComplete = 0;
  BYTE m_bUnseen = 0;
  CPropertyPage* m_pPage = nullptr;
};
