#include "grid/core/CGXPluginComponent.h"

IMPLEMENT_DYNAMIC(CGXPluginComponent, CWnd)

CGXPluginComponent::~CGXPluginComponent() { m_hWnd = nullptr; }

BOOL CGXPluginComponent::PlugIn(CWnd* gridWindow) {
  m_hWnd = gridWindow ? gridWindow->m_hWnd : nullptr;
  return TRUE;
}

BOOL CGXPluginComponent::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  m_bExitMessage = FALSE;
  m_bSkipDefault = FALSE;
  LRESULT r = 0;
  const BOOL handled = OnWndMsg(message, wParam, lParam, &r);
  if (result) *result = r;
  return handled;
}
