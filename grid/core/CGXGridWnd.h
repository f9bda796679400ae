// The grid window: a window and the grid engine joined in one object. Each window message goes to one
// engine operation; when that operation answers FALSE the window's default processing runs.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "platform/framework/CWnd.h"

class CGXGridWnd : public CWnd, public CGXGridCore {
  DECLARE_DYNCREATE(CGXGridWnd)

 public:
  CGXGridWnd();
  ~CGXGridWnd() override;

  // Scroll-bar policies from the window style (unless a parent is a registered grid parent), then Initialize.
  void InitializeFromStyle();
  void Initialize() override;
  void ShowScrollBar(int bar, BOOL show) override;

  // The window's printing steps: each hands its device and print information to the print feature through
  // the engine (begin printing, print a page, end printing); nothing without the feature.
  virtual void OnGridBeginPrinting(CDC* dc, CPrintInfo* info);
  virtual void OnGridPrint(CDC* dc, CPrintInfo* info);
  virtual void OnGridEndPrinting(CDC* dc, CPrintInfo* info);

  // Registers the "CGXGridWnd" window class with the instance (skipped when it is registered already).
  static void RegisterClass(HINSTANCE instance);
  static void UnregisterClass(HINSTANCE instance);

  WNDPROC* SuperProcAddr() { return GetSuperWndProcAddr(); }

  // Asks for a three-dimensional frame around the window (drawn on WM_NCPAINT).
  DWORD m_bDraw3dFrame = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A scroll bar shared with a registered parent, else the window's own.
  CScrollBar* GetScrollBarCtrl(int bar) const override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void PostNcDestroy() override;

 private:
  void OnGridPaint();
  void OnGridNcPaint();
  // The registered "commdlg_FindReplace" message.
  static UINT FindReplaceMessage();
  static CScrollBar* ScrollBarOf(LPARAM lParam);
  // WM_USER+1 .. WM_USER+5: the shown columns' and rows' counts, a shown row's values, a shown cell's rectangle, and
  // a shown cell's control kind (on the clipboard) with 1 for a read-only and 2 for a disabled cell in the answer,
  // and 4 for a cell that takes no typed text.
  LRESULT OnQueryMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The row (column) at a visible index: hidden rows and rows of height 0 are not counted; -1 for none.
  ROWCOL VisibleRow(WPARAM index) const;
  ROWCOL VisibleCol(LPARAM index) const;
  // Puts a text on the clipboard as CF_TEXT; FALSE when it could not (nothing is left allocated then).
  BOOL PutOnClipboard(const CString& text);
};

// Adds the registration of "CGXGridWnd" to the grid library's start-up (once; the start-up calls it).
void GXEnsureGridWndRegistrar();
