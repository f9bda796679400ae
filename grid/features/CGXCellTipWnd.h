// The cell-tip windows: a popup laid over a cell that shows its whole text (kind 1) or bitmap (kind 2), and
// the factory that makes one per kind. A tip window never takes the focus or activation; mouse messages
// that reach it go on to the grid window (in grid coordinates), typed characters too, so the grid's tip
// plug-in sees the mouse leave the cell and any button or key hide the tip.
//
// Nothing under a tip needs saving: the desktop is composed from every window's back buffer, so hiding the
// tip shows the grid's pixels as they were.
#pragma once

#include "grid/core/CGXFont.h"
#include "platform/base/geometry.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CBrush.h"

class CGXGridCore;

constexpr int GX_CELLTIP_TEXT = 1;
constexpr int GX_CELLTIP_BITMAP = 2;
constexpr int GX_CELLTIP_NONE = 0x7FFFFFFF;

class CGXCellTipWnd : public CWnd {
  DECLARE_DYNAMIC(CGXCellTipWnd)

 public:
  CGXCellTipWnd(CGXGridCore* grid, int kind) : m_pGrid(grid), m_nKind(kind) {}
  ~CGXCellTipWnd() override;

  // A hidden popup tool window (no title, empty rectangle) on the desktop.
  virtual BOOL CreateTipWnd();
  // Shown without activation and painted at once; nothing when there is no window or it is visible.
  virtual void Show();
  virtual void Hide();
  int GetKind() const { return m_nKind; }
  CGXGridCore* GetGrid() const { return m_pGrid; }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // The tooltip background: the visual style's "TOOLTIP" part when the application is themed, else the
  // info background colour; then the caller's contents; then a one-pixel black frame.
  void PaintBackground(CDC* dc, const CRect& client);
  static void PaintFrame(CDC* dc, const CRect& client);
  virtual void PaintContents(CDC* dc, const CRect& client) = 0;
  // The tip's rectangle on the screen, placed on top and left hidden (nothing is drawn until Show).
  void PlaceWindow(const CRect& screen);

  CGXGridCore* m_pGrid;
  int m_nKind;
  CBrush m_brushBackground;

 private:
  void ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void OnPaint();
};

class CGXTextCellTipWnd : public CGXCellTipWnd {
  DECLARE_DYNAMIC(CGXTextCellTipWnd)

 public:
  explicit CGXTextCellTipWnd(CGXGridCore* grid) : CGXCellTipWnd(grid, GX_CELLTIP_TEXT) {}
  BOOL CreateTipWnd() override;

  void SetText(const CString& text);
  // The font the text is drawn with, as given (a zoomed font is passed zoomed).
  void SetFont(const LOGFONT& font) { m_font = font; }
  void SetTextRect(const CRect& rect) { m_rectText = rect; }
  void SetWindowRect(const CRect& screen) { PlaceWindow(screen); }
  const LOGFONT& GetFont() const { return m_font; }
  const CRect& GetTextRect() const { return m_rectText; }
  CString GetText() const;

 protected:
  void PaintContents(CDC* dc, const CRect& client) override;

 private:
  LOGFONT m_font{};
  CRect m_rectText;
};

class CGXStaticBitmapCellTipWnd : public CGXCellTipWnd {
  DECLARE_DYNAMIC(CGXStaticBitmapCellTipWnd)

 public:
  explicit CGXStaticBitmapCellTipWnd(CGXGridCore* grid) : CGXCellTipWnd(grid, GX_CELLTIP_BITMAP) {}
  BOOL CreateTipWnd() override;

  // The bitmap (a packed DIB in global memory, not owned) and where it lies in the tip's client area.
  void SetBitmap(HGLOBAL dib) { m_hDib = dib; }
  void SetBitmapRect(const CRect& rect) { m_rectBitmap = rect; }
  void SetWindowRect(int left, int top, int right, int bottom) { PlaceWindow(CRect(left, top, right, bottom)); }
  HGLOBAL GetBitmap() const { return m_hDib; }
  const CRect& GetBitmapRect() const { return m_rectBitmap; }

 protected:
  void PaintContents(CDC* dc, const CRect& client) override;

 private:
  HGLOBAL m_hDib = nullptr;
  CRect m_rectBitmap;
};

// Makes the tip window of a kind for its grid: a text tip for kind 1, a bitmap tip for kind 2, null for any
// other kind or without a grid. A program may derive its own factory and name its class when it installs
// the tips.
class CGXCellTipWndFactory : public CObject {
  DECLARE_DYNCREATE(CGXCellTipWndFactory)

 public:
  CGXCellTipWndFactory() = default;
  void SetGrid(CGXGridCore* grid) { m_pGrid = grid; }
  virtual CGXCellTipWnd* CreateTipWnd(int kind);

 protected:
  CGXGridCore* m_pGrid = nullptr;
};
