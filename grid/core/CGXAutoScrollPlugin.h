// The auto-scroll plug-in: while a request of the grid is active it serves the grid window's timer 992,
// scrolling towards the mouse held outside the scrolled cells (or repeating a held key, or a held scroll-bar
// button) faster the longer the request runs, and it ends the request on a button or key release, a key
// press other than the request's key, cancel mode and the loss of the focus (unless the grid keeps it alive).
//
// It sees the grid window's messages through the grid's plug-in list; it never consumes them except its
// own timer.
#pragma once

#include "grid/core/CGXPluginComponent.h"
#include "platform/base/geometry.h"

class CGXGridCore;

class CGXAutoScrollPlugin : public CGXPluginComponent {
  DECLARE_DYNAMIC(CGXAutoScrollPlugin)

 public:
  // Marks the grid as having the plug-in (the grid's press auto-scroll switch goes on).
  explicit CGXAutoScrollPlugin(CGXGridCore* grid);

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // One timer step; ends the request when the grid stopped it.
  void OnAutoScrollTimer();
  // Kills the timer and marks the grid's request stopped (scroll-bar code -1, key mode off).
  void Stop();

  int GetDelay() const { return m_nDelay; }
  int GetFactor() const { return m_nFactor; }

 private:
  void Reset() {
    m_nDelay = 80;
    m_nFactor = 1;
  }
  int DirectionOfScrollBarCode() const;

  CGXGridCore* m_pGrid;
  UINT_PTR m_nTimer = 0;
  BOOL m_bVertical = FALSE, m_bHorizontal = FALSE;
  CRect m_rectInner;
  DWORD m_dwStart = 0, m_dwLastScroll = 0;
  int m_nDelay = 80, m_nMoveInterval = 80;
  CPoint m_ptStart;
  int m_nFactor = 1, m_nLastDistance = 0;
  int m_nScrollBarCode = -1;
  UINT m_nKey = 0, m_nKeyData = 0;
};
