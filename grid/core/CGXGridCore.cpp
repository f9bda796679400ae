// The grid engine's object: construction, initialisation, destruction, the parameter object, zoom and
// read-only, and the plug points whose features are not installed.
#include "grid/core/CGXGridCore.h"

#include <strings.h>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridOldDrawingImp.h"
#include "grid/core/CGXPluginComponent.h"
#include "platform/base/CException.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/window/windowapi.h"

CGXGridCore::CGXGridCore(CWnd* gridWnd, CDocument* doc, BOOL flag)
    : m_pGridWnd(gridWnd), m_pDocument(doc), m_bFlag(flag) {
  m_cxFrame = GetSystemMetrics(SM_CXFRAME);
  m_cyFrame = GetSystemMetrics(SM_CYFRAME);
  m_cxBorder = GetSystemMetrics(SM_CXBORDER);
  m_cyBorder = GetSystemMetrics(SM_CYBORDER);
  m_hArrow = LoadCursor(nullptr, IDC_ARROW);
  // Every grid receives its feature objects from the factory.
  if (CGXAbstractControlFactory* factory = CGXGridGlobals::Get().GetControlFactory())
    factory->InitializeGridComponents(this);
}

CGXGridCore::~CGXGridCore() {
  m_pCachedControl = nullptr;
  m_pCurrentControl = nullptr;
  m_pDefaultControl = nullptr;
  m_controls.clear();
  FreeDrawingCaches();
  if (m_bOwnParam) delete m_pParam;
  m_pParam = nullptr;
  for (auto it = m_autoDelete.rbegin(); it != m_autoDelete.rend(); ++it) it->second(it->first);
  m_autoDelete.clear();
  m_plugins.clear();
  if (m_hLoadedCursor) DestroyCursor(m_hLoadedCursor);
  CGXGridGlobals::Get().RemoveGrid(this);
}

HWND CGXGridCore::GridHwnd() const { return m_pGridWnd ? m_pGridWnd->m_hWnd : nullptr; }

void CGXGridCore::AttachParam(CGXGridParam* param, BOOL mustDelete) {
  if (!param) {
    param = new CGXGridParam;
    mustDelete = TRUE;
  }
  if (param == m_pParam) {
    m_bOwnParam = mustDelete;
    return;
  }
  if (m_bOwnParam) delete m_pParam;
  FreeDrawingCaches();
  m_pParam = param;
  m_bOwnParam = mustDelete;
  m_pStyleStandard = m_pStyleColHeader = m_pStyleRowHeader = nullptr;
  m_pCurrentControl = nullptr;
  m_bCurrentValid = FALSE;
  if (m_bInitDone) LookupBaseStyles();
}

void CGXGridCore::AddAutoDeleteObject(void* object, void (*deleter)(void*)) {
  m_autoDelete.emplace_back(object, deleter);
}

void CGXGridCore::SetFixedDrawingArea(const CRect* rect) {
  m_pFixedArea = rect ? std::make_unique<CRect>(*rect) : nullptr;
  InvalidateShownCaches();
}

void CGXGridCore::GetDrawingArea(CRect* out) const {
  if (m_bPrinting) {
    *out = m_rectPrint;
  } else if (m_pFixedArea) {
    *out = *m_pFixedArea;
  } else if (HWND h = GridHwnd()) {
    RECT r;
    ::GetClientRect(h, &r);
    *out = r;
  } else {
    out->SetRectEmpty();
  }
  if (out->right < out->left || out->bottom < out->top) out->SetRectEmpty();
}

BOOL CGXGridCore::IsRegisteredParent() const {
  HWND h = GridHwnd();
  if (!h) return FALSE;
  const auto& names = CGXGridGlobals::Get().GetRegisteredClassNames();
  for (HWND p = ::GetParent(h); p; p = ::GetParent(p)) {
    char cls[256] = {};
    ::GetClassName(p, cls, sizeof cls);
    for (const char* n : names)
      if (strcasecmp(cls, n) == 0) return TRUE;
  }
  return FALSE;
}

void CGXGridCore::SetPrinting(BOOL printing, BOOL useClientRect) {
  ROWCOL row, col;
  if (printing && QueryCurrentCell(&row, &col)) {
    if (CurrentCellIsActive()) CompleteCellEdit(TRUE, 2, TRUE);
    if (CGXControl* c = ControlOfCurrentCell()) c->SetEditingState(FALSE);
  }
  if (useClientRect) {
    CRect r;
    BOOL old = m_bPrinting;
    m_bPrinting = FALSE;
    GetDrawingArea(&r);
    m_bPrinting = old;
    m_rectPrint = r;
    m_nPrintFontHeight = m_dyHeight;
    m_nPrintFontWidth = m_dxWidth;
    m_nPrintTopRow = GetFrozenRows() + 1;
    m_nPrintLeftCol = GetFrozenCols() + 1;
  }
  m_bPrinting = printing;
  InvalidateShownCaches();
}

void CGXGridCore::SetModifiedFlag(BOOL) {
  // Dialog grids have no document; a document-bound grid would forward here.
}

void CGXGridCore::PrepareDC(CDC* dc, CPrintInfo*) {
  if (!m_bPrinting) PreparePrinterMetrics(dc);  // on screen, measuring with the printer when asked
  if (m_bPrinting) {
    const CGXFontRegistry& fonts = CGXFontRegistry::Instance();
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowExt(fonts.GetLogPixelsX(), fonts.GetLogPixelsY());
    dc->SetViewportExt(dc->GetDeviceCaps(LOGPIXELSX), dc->GetDeviceCaps(LOGPIXELSY));
  }
  OnGridPrepareDC(dc);
}

void CGXGridCore::OnGridPrepareDC(CDC*) {}

void CGXGridCore::Initialize() {
  // 1. The library's start-up registered "GXWND"; without it the grid cannot work.
  WNDCLASS wc{};
  if (!GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc)) throw new CNotSupportedException;
  for (auto& plugin : m_plugins) plugin->PlugIn(m_pGridWnd);
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (!m_pParam) AttachParam(new CGXGridParam, TRUE);
  g.AddGridForObject(m_pParam, this);
  FreeDrawingCaches();
  if (!m_pParam->GetProperties()) {
    auto* props = new CGXProperties;
    props->AddDefaultUserProperties();
    m_pParam->SetProperties(props, TRUE);
  }
  g.AddGridForObject(m_pParam->GetProperties(), this);
  if (!m_pParam->GetStylesMap()) {
    auto* map = new CGXStylesMap;
    map->CreateStandardStyles();
    m_pParam->SetStylesMap(map, TRUE);
  }
  g.AddGridForObject(m_pParam->GetStylesMap(), this);
  LookupBaseStyles();
  if (CGXAbstractControlFactory* factory = g.GetControlFactory()) {
    WORD id = m_pStyleStandard && m_pStyleStandard->IsIncluded(GX_IN_CONTROLID) ? m_pStyleStandard->GetControl()
                                                                                 : GX_IDS_CTRL_EDIT;
    if (CGXControl* c = factory->CreateControl(id, this)) AddCellControl(id, c, TRUE);
  }
  if (!m_pParam->GetData()) {
    auto* data = new CGXData;
    data->InitParam(m_pParam);
    m_pParam->SetData(data, TRUE);
  }
  g.AddGridForObject(m_pParam->GetData(), this);
  m_nZoom = m_pParam->GetProperties()->m_nZoom > 0 ? static_cast<int>(m_pParam->GetProperties()->m_nZoom) : 100;
  MeasureStandardFont();
  m_bInitDone = TRUE;
  m_bMouseKeyboard = TRUE;
  m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
  m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
  // Decision: two start-up steps of the original engine are left out because nothing here feeds them: the
  // library's process-wide block carries no start-up hook object to tell about the new grid, and the
  // parameter object carries no initial current cell (see StoreCurrentCell). A grid starts without a current
  // cell; the selection comes with the parameter object.
  RefreshScrollBars(TRUE, FALSE);
  // The size the smart resize compares with.
  if (HWND h = GridHwnd()) {
    RECT r;
    ::GetClientRect(h, &r);
    m_cxLastClient = r.right;
    m_cyLastClient = r.bottom;
  }
}

void CGXGridCore::MeasureStandardFont() {
  m_dyHeight = 15;
  m_dxWidth = 10;
  if (!m_pStyleStandard || !m_pStyleStandard->GetFontPtr()) return;
  // A screen device: the grid window's, or the desktop's while the grid has no window yet.
  HWND h = GridHwnd();
  HDC hdc = ::GetDC(h);
  if (!hdc) return;
  {
    CDC dc;
    dc.Attach(hdc);
    PrepareDC(&dc);
    CFont* old = dc.SelectObject(LookupFont(*m_pStyleStandard));
    TEXTMETRIC tm{};
    if (dc.GetTextMetrics(&tm)) {
      m_dyHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
      // TMPF_FIXED_PITCH set means a variable-pitch font (the classic inverted bit).
      m_dxWidth = std::max<int>(1, (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? tm.tmAveCharWidth * 3 / 2
                                                                             : tm.tmAveCharWidth);
    }
    if (old) dc.SelectObject(old);
    dc.Detach();
  }
  ::ReleaseDC(h, hdc);
}

BOOL CGXGridCore::SetZoom(int percent, UINT flags) {
  int old = GetZoom();
  if (!StoreZoom(percent, TRUE)) return FALSE;
  UpdateZoom(old, flags, TRUE);
  return TRUE;
}

int CGXGridCore::GetZoom() const {
  if (m_bPrinting || !m_pParam) return 100;
  return m_nZoom;
}

BOOL CGXGridCore::StoreZoom(int percent, BOOL) {
  if (percent <= 0) return FALSE;
  m_nZoom = percent;
  if (CGXProperties* p = GetProperties()) p->m_nZoom = static_cast<DWORD>(percent);
  return TRUE;
}

void CGXGridCore::UpdateZoom(int oldZoom, UINT flags, BOOL) {
  FreeDrawingCaches();
  MeasureStandardFont();
  if (!IsLockUpdate() && GetZoom() != oldZoom) RedrawAll(flags, FALSE);
}

BOOL CGXGridCore::SetReadOnly(BOOL readOnly) {
  BOOL old = IsReadOnly();
  if (!StoreReadOnly(readOnly)) return FALSE;
  UpdateReadOnly(old, TRUE);
  return TRUE;
}

BOOL CGXGridCore::IsReadOnly() const { return m_pParam && m_pParam->m_bReadOnly; }

BOOL CGXGridCore::StoreReadOnly(BOOL readOnly) {
  if (!m_pParam) return FALSE;
  m_pParam->m_bReadOnly = readOnly;
  return TRUE;
}

void CGXGridCore::UpdateReadOnly(BOOL, BOOL) {
  ROWCOL row, col;
  if (QueryCurrentCell(&row, &col) && CurrentCellIsActive()) {
    CGXControl* c = ControlOfCurrentCell();
    c->HideAndInvalidate();
    c->InitForCell(row, col);
  }
}

BOOL CGXGridCore::IsCellSelected(ROWCOL row, ROWCOL col) const {
  return m_pParam && m_pParam->GetSelection().FindCell(row, col) != nullptr;
}

void CGXGridCore::ShowScrollBar(int bar, BOOL show) {
  if (HWND h = GridHwnd()) ::ShowScrollBar(h, bar, show);
}
