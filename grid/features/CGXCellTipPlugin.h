// Cell tips: when the mouse rests on a cell whose content does not fit, a tip window shows the whole text
// or bitmap over the cell.
//
// The plug-in sees the grid window's messages (mouse moves, its timer 993, buttons and characters) and
// decides when a tip shows and hides; the cell's control decides, through its tip object, whether the cell
// needs a tip, which kind, and fills and places the tip window; the manager keeps at most one tip window
// per kind, made by the factory when first needed.
//
// States: idle (no cell tracked), tracking (a cell tracked, the timer running), showing (a tip shown, the
// timer running). Call flow:
//   WM_MOUSEMOVE -> OnMouseMove: another cell -> tracked; suppressed -> HideTip; none shown -> StartTimer;
//                   one shown -> HideTip + ShowTip (the new cell's tip at once)
//   WM_TIMER 993 -> OnTipTimer: cursor outside the grid -> HideTip, forget the cell; none shown -> ShowTip
//   button down, WM_CHAR -> StopTimer + HideTip
#pragma once

#include <map>
#include <memory>

#include "grid/core/CGXPluginComponent.h"
#include "grid/core/gxtypes.h"
#include "grid/features/CGXCellTipWnd.h"

class CGXControl;
class CGXGridCore;

constexpr UINT_PTR GX_CELLTIP_TIMER = 993;

// One tip window per kind for a grid, made through the factory (created from its class on first use).
class CGXCellTipWndManager {
 public:
  CGXCellTipWndManager(CGXGridCore* grid, CRuntimeClass* factoryClass) : m_pGrid(grid), m_pFactoryClass(factoryClass) {}
  // The window of the kind, made when missing; null when the factory cannot be made or makes none.
  CGXCellTipWnd* GetNode(int kind);
  // The window of the kind when it exists.
  CGXCellTipWnd* FindNode(int kind) const;

 private:
  CGXGridCore* m_pGrid;
  CRuntimeClass* m_pFactoryClass;
  std::unique_ptr<CGXCellTipWndFactory> m_pFactory;
  std::map<int, std::unique_ptr<CGXCellTipWnd>> m_nodes;
};

class CGXCellTipPlugin : public CGXPluginComponent {
  DECLARE_DYNAMIC(CGXCellTipPlugin)

 public:
  CGXCellTipPlugin(CGXGridCore* grid, CRuntimeClass* factoryClass, BOOL headerTips, BOOL editTips, UINT delay);
  ~CGXCellTipPlugin() override;

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // The control's answers for the tracked cell (its composed style).
  virtual BOOL NeedsTip(CGXControl* control);
  virtual int GetTipKind(CGXControl* control);
  virtual void InitTipWnd(CGXControl* control, CGXCellTipWnd* wnd);
  virtual void ShowTip();
  virtual void HideTip();
  virtual void StartTimer();
  virtual void StopTimer();
  // No tips while the current cell edits (unless asked for), on headers (unless asked for), on hidden or
  // zero-sized rows and columns.
  virtual BOOL IsTipSuppressed();

  void OnMouseMove(UINT flags, CPoint pt);
  void OnTipTimer();
  void OnButtonOrChar();

  int GetShownKind() const { return m_nShownKind; }
  ROWCOL GetTrackedRow() const { return m_nRow; }
  ROWCOL GetTrackedCol() const { return m_nCol; }
  UINT_PTR GetTimerId() const { return m_nTimer; }
  UINT GetDelay() const { return m_nDelay; }
  CGXCellTipWndManager& GetManager() { return m_manager; }

 private:
  void Forget() { m_nRow = m_nCol = GX_INVALID; }
  // The tracked cell's composed style in a work style of the grid, handed back after `use`.
  template <typename Use>
  auto WithTrackedStyle(Use&& use);

  CGXGridCore* m_pGrid;
  CGXCellTipWndManager m_manager;
  int m_nShownKind = GX_CELLTIP_NONE;
  ROWCOL m_nRow = GX_INVALID, m_nCol = GX_INVALID;
  UINT_PTR m_nTimer = 0;
  BOOL m_bHeaderTips, m_bEditTips;
  UINT m_nDelay;
};

// Registers the tip feature: every control the control factory creates gets a tip object, except the
// controls that show none (check boxes, radio buttons, progress bars, bitmap and object fields, some
// window-hosting cells). Part of the editing features' registration.
void GXRegisterCellTips();
// Whether the factory gives controls of this id a tip object.
BOOL GXControlGetsCellTip(UINT controlId);
