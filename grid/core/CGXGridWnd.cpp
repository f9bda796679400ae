// The grid window and its window class. The message switch only unpacks arguments and calls the engine;
// logic lives in the engine's handlers.
#include "grid/core/CGXGridWnd.h"

#include <cstdio>
#include <cstring>
#include <set>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/base/CException.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CScrollBar.h"
#include "platform/gdi/CDC.h"
#include "platform/window/Clipboard.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNCREATE(CGXGridWnd, CWnd)

namespace {
// Windows whose CGXGridWnd object the class procedure made: the object belongs to its window.
std::set<CGXGridWnd*>& OwnedByWindow() {
  static std::set<CGXGridWnd*> windows;
  return windows;
}

LRESULT GridClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Runs for the first message of a window made from the class: make the object, attach it, let the
  // framework's procedure take over and pass the message on.
  auto* grid = new CGXGridWnd;
  OwnedByWindow().insert(grid);
  grid->SubclassWindow(hwnd);
  // The default processing behind the object is the system's, not this procedure again.
  *grid->SuperProcAddr() = ::DefWindowProc;
  return ::CallWindowProc(reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hwnd, GWLP_WNDPROC)), hwnd, message, wParam,
                          lParam);
}

// The start-up's class-registration hook, installed when this file is linked (and by the start-up itself,
// so that a program whose dialogs only name the class still gets it).
const bool g_registered = (GXEnsureGridWndRegistrar(), true);
}  // namespace

void GXEnsureGridWndRegistrar() {
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXEnsureGridWndRegistrar))) return;
  CGXControlFactory::AddWndClassRegistrar([](HINSTANCE instance, bool unregister) {
    if (unregister)
      CGXGridWnd::UnregisterClass(instance);
    else
      CGXGridWnd::RegisterClass(instance);
  });
}

CGXGridWnd::CGXGridWnd() : CGXGridCore(nullptr, nullptr, FALSE) { SetGridWnd(this); }

CGXGridWnd::~CGXGridWnd() = default;

void CGXGridWnd::RegisterClass(HINSTANCE instance) {
  (void)g_registered;
  WNDCLASS wc{};
  if (::GetClassInfo(instance, "CGXGridWnd", &wc)) return;
  wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
  wc.lpfnWndProc = GridClassProc;
  wc.hInstance = instance;
  wc.lpszClassName = "CGXGridWnd";
  if (!::RegisterClass(&wc)) throw new CResourceException;
}

void CGXGridWnd::UnregisterClass(HINSTANCE instance) { ::UnregisterClass("CGXGridWnd", instance); }

void CGXGridWnd::InitializeFromStyle() {
  if (!IsRegisteredParent()) {
    const DWORD style = GetStyle();
    SetScrollBarPolicy(SB_VERT, (style & WS_VSCROLL) ? 10 : 0, FALSE);
    SetScrollBarPolicy(SB_HORZ, (style & WS_HSCROLL) ? 10 : 0, FALSE);
  } else {
    SetScrollBarPolicy(SB_BOTH, 12, FALSE);
  }
  Initialize();
}

void CGXGridWnd::Initialize() {
  // A grid whose parent is a dialog leaves Enter and Escape to the dialog (see OnGridGetDlgCode).
  CWnd* parent = m_hWnd ? GetParent() : nullptr;
  m_bInDialog = parent && parent->IsKindOf(RUNTIME_CLASS(CDialog));
  if (!m_bInDialog && parent) {
    char cls[16] = {};
    ::GetClassName(parent->m_hWnd, cls, sizeof cls);
    m_bInDialog = std::strcmp(cls, "#32770") == 0;
  }
  CGXGridCore::Initialize();
}

void CGXGridWnd::ShowScrollBar(int bar, BOOL show) {
  if (m_hWnd) ::ShowScrollBar(m_hWnd, bar, show);
}

namespace {
GXForwardArgs PrintArgs(CDC* dc, CPrintInfo* info) {
  GXForwardArgs args;
  args.v[0] = reinterpret_cast<DWORD_PTR>(dc);
  args.v[1] = reinterpret_cast<DWORD_PTR>(info);
  return args;
}
}  // namespace

void CGXGridWnd::OnGridBeginPrinting(CDC* dc, CPrintInfo* info) { PrintForward0(PrintArgs(dc, info)); }
void CGXGridWnd::OnGridPrint(CDC* dc, CPrintInfo* info) { PrintForward1(PrintArgs(dc, info)); }
void CGXGridWnd::OnGridEndPrinting(CDC* dc, CPrintInfo* info) { PrintForward2(PrintArgs(dc, info)); }

void CGXGridWnd::PostNcDestroy() {
  if (OwnedByWindow().erase(this)) delete this;
}

CScrollBar* CGXGridWnd::GetScrollBarCtrl(int bar) const {
  if (CScrollBar* shared = GetSharedScrollBar(bar)) return shared;
  return CWnd::GetScrollBarCtrl(bar);
}

CScrollBar* CGXGridWnd::ScrollBarOf(LPARAM lParam) {
  // A scroll-bar control's message names its window; the window's own bars send none.
  return lParam ? dynamic_cast<CScrollBar*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam))) : nullptr;
}

UINT CGXGridWnd::FindReplaceMessage() {
  static const UINT message = ::RegisterWindowMessage("commdlg_FindReplace");
  return message;
}

BOOL CGXGridWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (OnGridCommand(wParam, lParam)) return TRUE;
  return CWnd::OnCommand(wParam, lParam);
}

BOOL CGXGridWnd::PreTranslateMessage(MSG* msg) {
  if (PreTranslateGridMessage(msg)) return TRUE;
  return CWnd::PreTranslateMessage(msg);
}

void CGXGridWnd::OnGridPaint() {
  if (!IsInitialized()) throw new CNotSupportedException;
  CPaintDC dc(this);
  PrepareDC(&dc);
  DrawGrid(&dc);
}

void CGXGridWnd::OnGridNcPaint() {
  // Decision: bit 0x200 is read from the window's extended style (WS_EX_CLIENTEDGE), the only style word
  // in which that bit means a sunken client frame.
  if (!m_bDraw3dFrame && !(GetExStyle() & WS_EX_CLIENTEDGE)) return;
  CWnd* parent = GetParent();
  if (!parent) return;
  CRect r;
  GetWindowRect(&r);
  parent->ScreenToClient(&r);
  r.left -= 2;
  r.top -= 2;
  r.right += 3;
  r.bottom += 3;
  CDC* dc = parent->GetDC();
  if (!dc) return;
  dc->DrawEdge(&r, EDGE_SUNKEN, BF_RECT);
  parent->ReleaseDC(dc);
}

ROWCOL CGXGridWnd::VisibleRow(WPARAM index) const {
  long n = -1;
  const ROWCOL count = GetRowCount();
  for (ROWCOL r = 0; r <= count; ++r) {
    if (IsRowHidden(r) || GetRowHeight(r) == 0) continue;
    if (++n == static_cast<long>(index)) return r;
  }
  return GX_INVALID;
}

ROWCOL CGXGridWnd::VisibleCol(LPARAM index) const {
  long n = -1;
  const ROWCOL count = GetColCount();
  for (ROWCOL c = 0; c <= count; ++c) {
    if (IsColHidden(c) || GetColWidth(c) == 0) continue;
    if (++n == static_cast<long>(index)) return c;
  }
  return GX_INVALID;
}

BOOL CGXGridWnd::PutOnClipboard(const CString& text) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(text.GetLength()) + 1);
  if (!block) return FALSE;
  char* p = static_cast<char*>(::GlobalLock(block));
  if (!p) {
    ::GlobalFree(block);
    return FALSE;
  }
  std::memcpy(p, text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
  ::GlobalUnlock(block);
  if (!::OpenClipboard(m_hWnd)) {
    ::GlobalFree(block);
    return FALSE;
  }
  ::EmptyClipboard();
  const BOOL ok = ::SetClipboardData(CF_TEXT, block) != nullptr;
  if (!ok) ::GlobalFree(block);  // the clipboard did not take the block over
  ::CloseClipboard();
  return ok;
}

LRESULT CGXGridWnd::OnQueryMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message - WM_USER) {
    case 1: {
      LRESULT n = 0;
      for (ROWCOL c = 0; c <= GetColCount(); ++c)
        if (!IsColHidden(c) && GetColWidth(c) > 0) ++n;
      return n;
    }
    case 2: {
      LRESULT n = 0;
      for (ROWCOL r = 0; r <= GetRowCount(); ++r)
        if (!IsRowHidden(r) && GetRowHeight(r) > 0) ++n;
      return n;
    }
    case 3: {
      const ROWCOL row = VisibleRow(wParam);
      if (row == GX_INVALID) return 0;
      CString text;
      BOOL first = TRUE;
      for (ROWCOL c = 0; c <= GetColCount(); ++c) {
        if (IsColHidden(c) || GetColWidth(c) == 0) continue;
        if (!first) text += ";";
        first = FALSE;
        text += GetCellValue(row, c);
      }
      // Failure is reported: a caller must not read a clipboard that was never filled.
      return PutOnClipboard(text) ? 1 : 0;
    }
    case 4: {
      const ROWCOL row = VisibleRow(wParam), col = VisibleCol(lParam);
      if (row == GX_INVALID || col == GX_INVALID) return 0;
      CRect r = CalcCellRect(row, col);
      char buf[64];
      std::snprintf(buf, sizeof buf, "%d;%d;%d;%d", static_cast<int>(r.left), static_cast<int>(r.top),
                    static_cast<int>(r.right), static_cast<int>(r.bottom));
      return PutOnClipboard(buf) ? 1 : 0;
    }
    case 5: {
      const ROWCOL row = VisibleRow(wParam), col = VisibleCol(lParam);
      if (row == GX_INVALID || col == GX_INVALID) return -1;
      CGXControl* control = ControlForCell(row, col);
      CGXStyle style;
      ComposeCellStyle(row, col, style, TRUE);
      // The control's class and its bases below the root, so that a caller knows a check box or a label by its
      // kind also when it is a class of its own ("CGXHeader;CGXStatic").
      CString kind;
      if (control)
        for (const CGXControlClass* c = control->GetControlClass(); c && (c->base || kind.IsEmpty()); c = c->base) {
          if (!kind.IsEmpty()) kind += ";";
          kind += c->name;
        }
      if (!PutOnClipboard(kind)) return -1;
      return (style.GetReadOnly() ? 1 : 0) | (IsCellEnterable(row, col) ? 0 : 2) |
             (control && !control->TakesTypedText() ? 4 : 0);
    }
    default: return 0;
  }
}

LRESULT CGXGridWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  const UINT keys = static_cast<UINT>(wParam);
  LRESULT pluginResult = 0;
  if (DispatchToPlugins(message, wParam, lParam, &pluginResult)) return pluginResult;
  switch (message) {
    case WM_PAINT: OnGridPaint(); return 0;
    case WM_NCPAINT: {
      LRESULT r = CWnd::WindowProc(message, wParam, lParam);
      OnGridNcPaint();
      return r;
    }
    case WM_ERASEBKGND:  // the grid paints every pixel of its area: the engine's handler says so
      return OnGridEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_SIZE:
      if (OnGridSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam))) return 0;
      break;
    case WM_SHOWWINDOW: {
      LRESULT r = CWnd::WindowProc(message, wParam, lParam);
      OnGridShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
      return r;
    }
    case WM_SETFOCUS: {
      LRESULT r = CWnd::WindowProc(message, wParam, lParam);
      OnGridSetFocus(reinterpret_cast<HWND>(wParam));
      return r;
    }
    case WM_KILLFOCUS: {
      LRESULT r = CWnd::WindowProc(message, wParam, lParam);
      OnGridKillFocus(reinterpret_cast<HWND>(wParam));
      return r;
    }
    case WM_GETDLGCODE:
      return OnGridGetDlgCode(static_cast<UINT>(CWnd::WindowProc(message, wParam, lParam)));
    case WM_SETCURSOR:
      if (OnGridSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam))) return TRUE;
      break;
    case WM_CANCELMODE: OnGridCancelMode(); return 0;
    case WM_VSCROLL:
      if (OnGridVScroll(LOWORD(wParam), HIWORD(wParam), ScrollBarOf(lParam))) return 0;
      break;
    case WM_HSCROLL:
      if (OnGridHScroll(LOWORD(wParam), HIWORD(wParam), ScrollBarOf(lParam))) return 0;
      break;
    case WM_MOUSEWHEEL:
      if (OnGridMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), pt)) return 0;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      if (ProcessKeyMessage(this, message, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam))) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      HWND focus = ::GetFocus();
      if (focus != m_hWnd && !::IsChild(m_hWnd, focus)) ::SetFocus(m_hWnd);
      BOOL handled = message == WM_LBUTTONDOWN   ? OnGridLButtonDown(keys, pt)
                     : message == WM_MBUTTONDOWN ? OnGridMButtonDown(keys, pt)
                                                 : OnGridRButtonDown(keys, pt);
      if (handled) return 0;
      break;
    }
    case WM_LBUTTONUP:
      if (OnGridLButtonUp(keys, pt)) return 0;
      break;
    case WM_MBUTTONUP:
      if (OnGridMButtonUp(keys, pt)) return 0;
      break;
    case WM_RBUTTONUP:
      if (OnGridRButtonUp(keys, pt)) return 0;
      break;
    case WM_LBUTTONDBLCLK:
      if (OnGridLButtonDblClk(keys, pt)) return 0;
      break;
    case WM_MBUTTONDBLCLK:
      if (OnGridMButtonDblClk(keys, pt)) return 0;
      break;
    case WM_RBUTTONDBLCLK:
      if (OnGridRButtonDblClk(keys, pt)) return 0;
      break;
    case WM_MOUSEMOVE:
      if (OnGridMouseMove(keys, pt)) return 0;
      break;
    case WM_TIMER: OnGridTimer(wParam); break;
    case WM_SYSCOLORCHANGE: OnGridSysColorChange(); break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      if (HBRUSH b = OnGridCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                    CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX))
        return reinterpret_cast<LRESULT>(b);
      break;
    case WM_MOUSEACTIVATE: {
      LRESULT r = 0;
      if (OnGridMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam), &r))
        return r;
      break;
    }
    case WM_SETTINGCHANGE: OnGridSettingChange(static_cast<UINT>(wParam)); break;
    case WM_USER + 1:
    case WM_USER + 2:
    case WM_USER + 3:
    case WM_USER + 4:
    case WM_USER + 5: return OnQueryMessage(message, wParam, lParam);
    // A sheet-tab window asks with 0x0790 whether the sheet may be renamed and tells with 0x0791 (tab index
    // in wParam) that it was: the grid takes the tab's new name. It asks with 0x0792 before the grid is left
    // (wParam 0) or shown (1); non-zero refuses the change.
    case 0x0790: return static_cast<LRESULT>(GetParamWord());
    case 0x0791: UpdateSheetName(wParam); return 0;
    case 0x0792: return AllowSheetChange(static_cast<GXSheetChange>(wParam != 0)) ? 0 : 1;
    case 0x07A3:
      ::SetFocus(m_hWnd);
      MoveByMessage(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case 0x07CB: SuppressSizeHandling(static_cast<BOOL>(wParam)); return 0;
    case WM_DESTROY:
      if (OnGridDestroy()) return 0;
      break;
    default:
      if (message == FindReplaceMessage()) {
        OnGridFindReplace(CFindReplaceDialog::GetNotifier(lParam));
        return 0;
      }
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
