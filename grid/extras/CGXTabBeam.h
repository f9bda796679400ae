// The strip of sheet tabs at the bottom of a sheet-tab window: trapezoid tabs, the current one in bold and in
// the window colour, two scroll buttons at the left, selection, multi-selection, renaming by double click
// and scrolling. It tells its notify window (the tab window, or its parent) through the tab window's private
// messages: 1925 selected (posted), 1926 rename (posted), 1927 may the selection move (sent; 0 allows), 1946
// end a rename (sent).
//
// Geometry (pure, testable without a device): tabs start after the button area + 1 pixel; tab i occupies
// its width + one margin, its trapezoid reaching one margin further at the top.
#pragma once

#include "platform/base/CObArray.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"

class CDC;

namespace gxtab {
constexpr UINT kSelected = 1925, kRename = 1926, kCanSelect = 1927, kAttached = 1935, kMayRename = 1936,
               kRenamed = 1937, kRefuseChange = 1938, kRenameAccepted = 1945, kRenameCancelled = 1946,
               kResizing = 1995;
// Button codes: 0 first, 1 previous, 2 next, 3 last.
enum Button : int { kFirst = 0, kPrevious = 1, kNext = 2, kLast = 3 };
}  // namespace gxtab

class CGXTabInfo : public CObject {
  DECLARE_DYNAMIC(CGXTabInfo)

 public:
  CGXTabInfo() = default;
  ~CGXTabInfo() override;
  CGXTabInfo(const CGXTabInfo&) = delete;
  CGXTabInfo& operator=(const CGXTabInfo&) = delete;

  int nWidth = 60;
  CString sLabel;
  BOOL bSel = FALSE;
  CObject* pExtra = nullptr;
  BOOL bDeleteExtra = FALSE;
  LPARAM lParam = 0;
  SCROLLINFO sbInfo[2]{};  // horizontal, vertical: kept by the tab window
  int nScrollPos[2]{};
  COLORREF clrNormal = 0, clrCurrent = 0;
  CBrush brNormal, brCurrent;
  BOOL bHot = FALSE;
  UINT flags = 0;  // 1 own normal brush, 2 own current brush
};

class CGXTabBeam : public CWnd {
  DECLARE_DYNCREATE(CGXTabBeam)

 public:
  CGXTabBeam();
  ~CGXTabBeam() override;

  static void RegisterWindowClass(HINSTANCE instance);
  static void UnregisterWindowClass(HINSTANCE instance);
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  virtual void DrawTab(CDC* dc, int index, BOOL bHot);
  virtual void DrawButton(CDC* dc, int code, BOOL pressed);
  virtual int GetTabLeft(int index) const;
  virtual int TabFromX(int x) const;
  virtual int GetLastVisibleTab() const;
  virtual void TrackButton(UINT endMessage);
  virtual void SelectTabAtX(int x, int y);
  virtual int ButtonFromPoint(int x, int y, int required, BOOL scroll);
  virtual void ScrollTabs(int code);
  virtual void InsertTab(BOOL beforeCurrent, LPCTSTR name, CObject* object, BOOL deleteObject, int width,
                         LPARAM value);
  virtual void DeleteTab(int index);
  virtual void AdjustTabSize(int index);
  virtual int FindTab(const CObject* object) const;

  int GetCount() const { return static_cast<int>(m_tabs.GetSize()); }
  CGXTabInfo& GetTab(int index) const { return *static_cast<CGXTabInfo*>(m_tabs.GetAt(index)); }
  int GetCurrentTab() const { return m_nCurrent; }
  int GetFirstTab() const { return m_nFirst; }
  // Makes the tab current and scrolls it into view, repainting when it changed.
  void SetCurrentTab(int index);
  void ScrollIntoView(int index);
  int GetMargin() const { return m_nMargin; }
  int GetButtonAreaWidth() const { return m_bShowButtons ? m_nButtons * m_nButtonWidth : 0; }
  int GetBeamHeight() const { return m_nHeight; }
  CFont* GetNormalFont() { return &m_fontNormal; }
  // Whether a button can scroll now (as for its look): fewer than 2 tabs, or nothing to scroll to, disables.
  BOOL CanScroll(int code) const;
  // The window told of selection and renaming: null for the parent.
  void SetNotifyWnd(CWnd* wnd) { m_pNotifyWnd = wnd; }
  CWnd* GetNotifyWnd() const;
  // While the splitter moves the tab window tells from where to repaint (-1 none, -2 the final repaint).
  void SetRepaintStart(int x) { m_nRepaintStart = x; }
  int PressedButton() const { return m_nPressed; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;

 private:
  void BuildFonts();
  void LoadColors();
  int ClientWidth() const;
  void Paint();
  void OnButtonDown(UINT flags, CPoint point);
  void OnButtonUp();
  void OnDoubleClick(UINT flags, CPoint point);
  void OnMove(CPoint point);
  void OnRepeat();
  void OnSettingChange();
  // The tab a click at x selects, -1 for none.
  int ClickedTab(int x) const;
  // The first visible tab from which on every remaining tab fits the client width.
  int LastFirstTab() const;

  CFont m_fontNormal, m_fontBold;
  COLORREF m_clrText = 0, m_clrFace = 0, m_clrWindow = 0, m_clrEmpty = 0;
  CBrush m_brFace, m_brWindow, m_brBlack;
  CPen m_penShadow;
  CObArray m_tabs;
  int m_nCurrent = -1;
  int m_nFirst = 0;
  int m_nMargin = 7;
  int m_nHeight = 0;
  int m_nButtonWidth = 0;
  int m_nButtons = 2;
  BOOL m_bShowButtons = TRUE;
  int m_nPressed = -1;
  BOOL m_bPressedLook = FALSE;
  BOOL m_bTracking = FALSE;
  UINT m_nRepeatDelay = 200;
  int m_nRepaintStart = -1;
  CWnd* m_pNotifyWnd = nullptr;
  BOOL m_bHotButton[4] = {};
};
