// An edit window with a small push button in its own non-client area, beside the text. The button shows a
// bitmap glyph; pressing it with the mouse, F4 or Alt+Down calls OnButtonClicked, which by default tells the
// parent by a WM_COMMAND. Subclasses give the button its meaning (the currency edit opens its calculator).
#pragma once

#include "platform/framework/CEdit.h"
#include "platform/gdi/CBitmap.h"

class CDC;

class CGXBDropEdit : public CEdit {
  DECLARE_DYNAMIC(CGXBDropEdit)

 public:
  // The button flags.
  static constexpr WORD kPressed = 1, kTracking = 2, kRightEdge = 4, kHot = 8;

  CGXBDropEdit();
  ~CGXBDropEdit() override;

  // Refreshes the grid's colour table, creates the edit (of the class the subclass names, the system edit
  // by default) and makes a held glyph reserve its room.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // Loads the glyph (id 0: no button); an id that does not load leaves the edit without a button.
  BOOL SetButtonBitmap(UINT resourceId);
  BOOL SetButtonBitmap(WORD resourceId) { return SetButtonBitmap(static_cast<UINT>(resourceId)); }
  UINT GetButtonBitmapId() const { return m_nBitmapId; }
  BOOL HasButtonBitmap() const { return m_bmpGlyph.GetSafeHandle() != nullptr; }

  virtual BOOL HitTestButton(int x, int y, BOOL clientCoordinates);
  virtual void OnButtonClicked();
  virtual void DrawButton(CDC* dc, CRect rect);
  void InvalidateButton();
  // The embossed grey look of a disabled control over the area.
  static void DrawDisabledGlyph(CDC* dc, int x, int y, int cx, int cy);

  // In the parent's client coordinates; empty without a glyph.
  const CRect& GetButtonRect() const { return m_rcButton; }
  WORD GetButtonFlags() const { return m_wFlags; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The window class Create uses.
  virtual LPCSTR WindowClassName() const;
  // The window's parent wrapped for the class library; null without one.
  CWnd* ParentWnd() const;
  void RecomputeFrame();
  // Releases a press in progress (WM_LBUTTONUP and WM_CANCELMODE).
  void EndTracking();

  CRect m_rcButton;
  CBitmap m_bmpGlyph;
  UINT m_nBitmapId = 0;
  WORD m_wFlags = kRightEdge;
  WORD m_nLeftMargin = 1;
  WORD m_nRightMargin = 1;

 private:
  void OnNcCalcSize(LPARAM lParam);
  void PaintButton();
  void SetFlag(WORD flag, bool on);
};
