// The base of the grid's plug-in components: a window object that borrows the grid window's handle
// (without owning the window) and sees the grid's messages through a message map of its own.
#pragma once

#include "platform/framework/CWnd.h"

class CGXPluginComponent : public CWnd {
  DECLARE_DYNAMIC(CGXPluginComponent)

 public:
  CGXPluginComponent() = default;
  // Forgets the borrowed handle first: destroying a plug-in never destroys the grid window.
  ~CGXPluginComponent() override;

  // Takes the grid window's handle as its own (null for a null window); the grid calls it when the
  // plug-in is added.
  virtual BOOL PlugIn(CWnd* gridWindow);

  // Clears both switches, then offers the message to the plug-in's message map. The grid reads the
  // switches afterwards: handled ends the message there, skip leaves out the default processing.
  BOOL HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  BOOL m_bExitMessage = FALSE;   // the message is handled
  BOOL m_bSkipDefault = FALSE;   // the grid's default processing is skipped
};
