#include "grid/features/CGXCellTipPlugin.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXCellTipStatic.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXCellTipPlugin, CGXPluginComponent)

// ---- Manager ---------------------------------------------------------------------------------------------

CGXCellTipWnd* CGXCellTipWndManager::FindNode(int kind) const {
  auto it = m_nodes.find(kind);
  return it == m_nodes.end() ? nullptr : it->second.get();
}

CGXCellTipWnd* CGXCellTipWndManager::GetNode(int kind) {
  if (CGXCellTipWnd* wnd = FindNode(kind)) return wnd;
  if (!m_pFactory) {
    CObject* made = m_pFactoryClass ? m_pFactoryClass->CreateObject() : nullptr;
    auto* factory = dynamic_cast<CGXCellTipWndFactory*>(made);
    if (!factory) {
      delete made;
      return nullptr;
    }
    m_pFactory.reset(factory);
    m_pFactory->SetGrid(m_pGrid);
  }
  CGXCellTipWnd* wnd = m_pFactory->CreateTipWnd(kind);
  if (wnd) m_nodes[kind].reset(wnd);
  return wnd;
}

// ---- Plug-in ---------------------------------------------------------------------------------------------

CGXCellTipPlugin::CGXCellTipPlugin(CGXGridCore* grid, CRuntimeClass* factoryClass, BOOL headerTips, BOOL editTips,
                                   UINT delay)
    : m_pGrid(grid),
      m_manager(grid, factoryClass ? factoryClass : RUNTIME_CLASS(CGXCellTipWndFactory)),
      m_bHeaderTips(headerTips),
      m_bEditTips(editTips),
      m_nDelay(delay) {}

CGXCellTipPlugin::~CGXCellTipPlugin() {
  // The grid is going: only the borrowed window handle is asked, never the grid.
  if (m_nTimer && m_hWnd && ::IsWindow(m_hWnd)) ::KillTimer(m_hWnd, m_nTimer);
  m_nTimer = 0;
}

BOOL CGXCellTipPlugin::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (result) *result = 0;
  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wParam), CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
      return FALSE;
    case WM_TIMER:
      if (wParam != GX_CELLTIP_TIMER) return FALSE;
      OnTipTimer();
      m_bExitMessage = TRUE;  // the grid has nothing to do with the tip's timer
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_CHAR: OnButtonOrChar(); return FALSE;
    default: return FALSE;
  }
}

template <typename Use>
auto CGXCellTipPlugin::WithTrackedStyle(Use&& use) {
  CGXStyle* style = m_pGrid->NewWorkStyle();
  m_pGrid->ComposeCellStyle(m_nRow, m_nCol, *style, TRUE);
  struct Release {
    CGXGridCore* grid;
    CGXStyle* style;
    ~Release() { grid->ReleaseWorkStyle(style); }
  } release{m_pGrid, style};
  return use(*style);
}

BOOL CGXCellTipPlugin::NeedsTip(CGXControl* control) {
  return WithTrackedStyle([&](const CGXStyle& s) { return control->NeedsCellTip(m_nRow, m_nCol, s); });
}

int CGXCellTipPlugin::GetTipKind(CGXControl* control) {
  return WithTrackedStyle([&](const CGXStyle& s) { return control->GetCellTipKind(m_nRow, m_nCol, s); });
}

void CGXCellTipPlugin::InitTipWnd(CGXControl* control, CGXCellTipWnd* wnd) {
  WithTrackedStyle([&](const CGXStyle& s) {
    control->ShowCellTip(m_nRow, m_nCol, s, wnd);
    return 0;
  });
}

void CGXCellTipPlugin::ShowTip() {
  if (m_nRow == GX_INVALID || m_nCol == GX_INVALID) return;
  if (m_nRow > m_pGrid->GetRowCount() || m_nCol > m_pGrid->GetColCount()) return;
  // The cell may have become unsuitable since the timer started (its editing began, say).
  if (!IsTipSuppressed()) {
    const WORD id = WithTrackedStyle([](const CGXStyle& s) { return s.GetControl(); });
    CGXControl* control = m_pGrid->ControlForId(id);
    if (control && NeedsTip(control)) {
      m_nShownKind = GetTipKind(control);
      if (m_nShownKind != GX_CELLTIP_NONE) {
        if (CGXCellTipWnd* wnd = m_manager.GetNode(m_nShownKind)) {
          InitTipWnd(control, wnd);
          wnd->Show();
        } else {
          m_nShownKind = GX_CELLTIP_NONE;  // a kind without a window shows nothing
        }
      }
    }
  }
  StartTimer();
}

void CGXCellTipPlugin::HideTip() {
  if (m_nShownKind != GX_CELLTIP_NONE) {
    if (CGXCellTipWnd* wnd = m_manager.FindNode(m_nShownKind)) wnd->Hide();
    m_nShownKind = GX_CELLTIP_NONE;
  }
  StopTimer();
}

void CGXCellTipPlugin::StartTimer() {
  StopTimer();
  if (HWND h = m_pGrid->GridHwnd()) m_nTimer = ::SetTimer(h, GX_CELLTIP_TIMER, m_nDelay, nullptr);
}

void CGXCellTipPlugin::StopTimer() {
  if (!m_nTimer) return;
  HWND h = m_pGrid->GridHwnd();
  if (h && ::IsWindow(h)) ::KillTimer(h, m_nTimer);
  m_nTimer = 0;
}

BOOL CGXCellTipPlugin::IsTipSuppressed() {
  if (!m_bEditTips && m_pGrid->CurrentCellIsActive()) return TRUE;
  if (!m_bHeaderTips && (m_nRow == 0 || m_nCol == 0)) return TRUE;
  if (m_pGrid->IsRowHidden(m_nRow) || m_pGrid->IsColHidden(m_nCol)) return TRUE;
  return m_pGrid->GetRowHeight(m_nRow) == 0 || m_pGrid->GetColWidth(m_nCol) == 0;
}

void CGXCellTipPlugin::OnMouseMove(UINT flags, CPoint pt) {
  // 1. A press in progress (or a point left of or above the window) shows no tip.
  if (pt.x < 0 || pt.y < 0 || (flags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
    HideTip();
    return;
  }
  // 2. Beyond the window's client area.
  HWND h = m_pGrid->GridHwnd();
  CRect client;
  if (h) ::GetClientRect(h, &client);
  if (!h || pt.x > client.right || pt.y > client.bottom) {
    HideTip();
    Forget();
    return;
  }
  // 3. The cell under the mouse; a covered cell stands for its covering cell.
  const ROWCOL ci = m_pGrid->HitTestClientRow(pt), cj = m_pGrid->HitTestClientCol(pt);
  if (ci == GX_INVALID || cj == GX_INVALID) {
    Forget();
    HideTip();
    return;
  }
  ROWCOL row = m_pGrid->ClientRowToRow(ci), col = m_pGrid->ClientColToCol(cj);
  CGXRange covered;
  if (m_pGrid->GetCoveredCellsRowCol(row, col, covered)) row = covered.top, col = covered.left;
  // 4. Moving within the tracked cell changes nothing (the timer runs on).
  if (row == m_nRow && col == m_nCol) return;
  m_nRow = row, m_nCol = col;
  if (IsTipSuppressed()) {
    HideTip();
  } else if (m_nShownKind == GX_CELLTIP_NONE) {
    StartTimer();
  } else {
    HideTip();
    ShowTip();
  }
}

void CGXCellTipPlugin::OnTipTimer() {
  HWND h = m_pGrid->GridHwnd();
  if (!h) return;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  CRect client;
  ::GetClientRect(h, &client);
  ::MapWindowPoints(h, nullptr, reinterpret_cast<LPPOINT>(&client), 2);
  if (!client.PtInRect(cursor)) {
    // Decision: with the mouse gone there is nothing left to track, so the timer stops too (it would
    // otherwise tick on with no cell).
    HideTip();
    StopTimer();
    Forget();
    return;
  }
  if (m_nShownKind == GX_CELLTIP_NONE) ShowTip();
}

void CGXCellTipPlugin::OnButtonOrChar() {
  StopTimer();
  HideTip();
}

// ---- Installation ----------------------------------------------------------------------------------------

void CGXGridCore::InstallCellTipPlugin(CRuntimeClass* factory, BOOL headerTips, BOOL editTips, UINT delay) {
  SetCellTipPlugin(new CGXCellTipPlugin(this, factory, headerTips, editTips, delay));
}

BOOL GXControlGetsCellTip(UINT controlId) {
  // Check boxes, radio buttons, progress bars, bitmap and object fields and some window-hosting cells show
  // no tip: the control factory's table gives them no tip object.
  static constexpr UINT kNoTip[] = {52515, 52516, 52521, 52523, 52524, 52528, 52529, 52534, 52536,
                                    52539, 52540, 20128, 20130, 20131, 20132, 20136, 20137};
  return std::find(std::begin(kNoTip), std::end(kNoTip), controlId) == std::end(kNoTip);
}

void GXRegisterCellTips() {
  CGXControlFactory::SetCreatedControlHook([](UINT id, CGXControl* control) {
    if (GXControlGetsCellTip(id) && !control->GetCellTip()) control->InstallCellTipStatic(new CGXCellTipStatic(control));
  });
}
