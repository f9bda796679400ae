// A window that shows several sheet windows (grids or other views) in one place, one at a time, behind a beam
// of named tabs at the bottom left, with a horizontal scroll bar beside the beam, a splitter between the two,
// a vertical scroll bar at the right and, under a frame window, a size box. The tab window owns the shared
// scroll bars (ids 0xEA00 and 0xEA10, which grids under it use instead of their own) and keeps each sheet's
// scroll state per tab.
//
// Call flow: a click on a tab -> beam asks 1927 -> AskChange (1938 to the old sheet, then the new) -> beam
// posts 1925 -> OnTabSelected -> ActivateTab (saves the old sheet's scroll state, shows the new one, restores
// its state, lays out). A double click -> 1926 -> the rename popup -> Enter 1945 (the tab's name, then 1937 to
// the sheet) or Esc / focus lost 1946.
#pragma once

#include <memory>

#include "grid/core/CGXGridGlobals.h"
#include "grid/extras/CGXTabBeam.h"
#include "platform/framework/CScrollBar.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CBrush.h"

// The in-place editor of a tab's name: Enter sends 1945, Esc and the loss of the focus 1946 to its parent.
class CGXEditLabelPopup : public CWnd {
 public:
  CGXEditLabelPopup() = default;
  BOOL Create(const CString& text, DWORD style, const RECT& rect, CWnd* parent, UINT id, CFont* font);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  BOOL m_bDone = FALSE;
};

class CGXTabWndInterface : public CGXAbstractTabWndInterface {
 public:
  BOOL TabName(CWnd* sheet, CString& name, BOOL bSet) override;
  void GetTabName(CString& result, CWnd* sheet, int index) override;
};

class CGXTabWnd : public CWnd {
  DECLARE_DYNCREATE(CGXTabWnd)

 public:
  explicit CGXTabWnd(CRuntimeClass* beamClass = nullptr);
  ~CGXTabWnd() override;

  static void RegisterWindowClass(HINSTANCE instance);
  static void UnregisterWindowClass(HINSTANCE instance);

  // Creates the window ("GxMdiFrame") and its children; throws the resource exception on failure.
  BOOL Create(CWnd* parent, DWORD style, UINT id, const RECT& rect = RECT{0, 0, 0, 0});
  virtual void AttachWindow(CWnd* sheet, LPCTSTR name);
  virtual void RecalcLayout(BOOL noSheet = FALSE);
  void ActivateTab(CWnd* sheet);
  void SetTabName(int index, LPCTSTR name, BOOL notify);
  CString GetTabNameOfWindow(CWnd* sheet) const;
  // Takes a tab away (its sheet stays); the current tab's sheet is then the active one.
  void DeleteTab(int index);

  CGXTabBeam& GetBeam() const { return *m_pBeam; }
  CWnd* GetActivePane() const { return m_pActivePane; }
  int GetSplitterPos() const { return m_nSplitter; }
  // The splitter at x (client coordinates of the splitter's left), as a drag to there would put it.
  void MoveSplitter(int x);
  // The inside rectangle: the client area less the bottom strip and the vertical bar.
  CRect GetInsideRect() const;
  int GetBottomStripHeight() const { return m_cyBottom; }
  CGXEditLabelPopup* GetRenamePopup() const { return m_pRename.get(); }
  CScrollBar& GetScrollBar(int bar) { return bar == SB_HORZ ? m_hbar : m_vbar; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;

 private:
  void CreateChildren();
  void ReadMetrics();
  void SaveScrollState(CWnd* sheet, CGXTabInfo& tab);
  void RestoreScrollState(const CGXTabInfo& tab);
  LRESULT AskChange(int tab);
  void OnTabSelected(int tab);
  void OnRename(int tab);
  void OnRenameAccepted();
  void EndRename();
  void OnSize(UINT type, int cx, int cy);
  void OnPaint();
  void OnButtonDown(CPoint point);
  void OnMouseMove(CPoint point);
  void OnButtonUp();
  BOOL OnSetCursor();
  void OnSettingChange();
  BOOL InSplitter(CPoint point) const;
  int MinSplitter() const;
  int MaxSplitter() const;
  BOOL WantsSizeBox() const;
  void ActivateSheet(CWnd* sheet);
  CWnd* Active();

  CGXTabBeam* m_pBeam = nullptr;
  CWnd* m_pActivePane = nullptr;
  HWND m_hActivePane = nullptr;
  int m_nSplitter = -1;
  long m_nSplitter100 = -1;
  int m_nClientWidth = 0;
  int m_nSplitterWidth = 6;
  int m_cxVScroll = 0, m_cyHScroll = 0, m_cyBottom = 0;
  BOOL m_bHScroll = TRUE, m_bVScroll = TRUE;
  BOOL m_bDragging = FALSE;
  HCURSOR m_hArrow = nullptr;
  BOOL m_bCreated = FALSE;
  BOOL m_bLaidOut = FALSE;
  std::unique_ptr<CGXEditLabelPopup> m_pRename;
  CBrush m_brFace;
  BOOL m_bBorder = FALSE;
  CScrollBar m_hbar, m_vbar, m_sizebox;
  BOOL m_bSizeBox = FALSE;
};
