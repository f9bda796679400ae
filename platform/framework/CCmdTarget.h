// CCmdTarget: the root of every class that takes messages and commands through a message map.
#pragma once

#include "platform/base/CObject.h"
#include "platform/framework/MessageMap.h"

class CCmdUI;

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget() = default;

  // Routes a command (nCode 0 for menu and accelerator commands, a notification code for controls) or a
  // command-UI update (pExtra is the CCmdUI) through this object's map. TRUE when a handler took it.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

  // Hourglass cursor around long operations.
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

  static const ::plat::MessageMap* GetThisMessageMap();
  virtual const ::plat::MessageMap* GetMessageMap() const;

 protected:
  // Runs the first matching entry of the map; TRUE when it handled the message.
  BOOL Dispatch(::plat::MessageArgs& args, ::plat::EntryKind kind);
};

// The state object handed to ON_UPDATE_COMMAND_UI handlers.
class CCmdUI {
 public:
  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  virtual void SetCheck(int check = 1);
  virtual void SetRadio(BOOL on = TRUE) { SetCheck(on ? 1 : 0); }
  virtual void SetText(LPCSTR text);
  // Routes the update to `target`; TRUE when a handler answered.
  BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);

  UINT m_nID = 0;
  UINT m_nIndex = 0;
  CWnd* m_pOther = nullptr;  // the control being updated, when it is one
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;
  // What the handlers asked, for callers that apply it themselves.
  BOOL m_bEnabled = TRUE;
  int m_nCheck = 0;
};
