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
#include "platform/framework/CFrameWnd.h"
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
  // The controls' windows go while the grid is whole: their last notifications (focus, commands) still
  // reach a grid that can answer them.
  for (auto& [id, control] : m_controls)
    if (CWnd* window = control ? control->GetWindowPart() : nullptr; window && window->m_hWnd) window->DestroyWindow();
  m_controls.clear();
  FreeDrawingCaches();
  if (m_bOwnParam) delete m_pParam;
  m_pParam = nullptr;
  // Further feature C and the listener are the grid's own, whatever the auto-delete list holds.
  m_pExtraFeatureCImp.reset();
  m_pListener.reset();
  for (auto it = m_autoDelete.rbegin(); it != m_autoDelete.rend(); ++it) it->second(it->first);
  m_autoDelete.clear();
  m_pCellTipPlugin = nullptr;
  m_plugins.clear();
  CGXGridGlobals::Get().RemoveGrid(this);
  if (CGXGridGlobals::Get().m_pActiveGrid == this) CGXGridGlobals::Get().m_pActiveGrid = nullptr;
}

HWND CGXGridCore::GridHwnd() const { return m_pGridWnd ? m_pGridWnd->m_hWnd : nullptr; }

const CGXGridParam& CGXGridCore::ParamSettings() const {
  // A grid is asked for its settings before it has a parameter object (a paint before Initialize, a test
  // of a switch from a constructor); it answers with a new object's defaults then.
  static const CGXGridParam defaults;
  return m_pParam ? *m_pParam : defaults;
}

void CGXGridCore::AttachParam(CGXGridParam* param, BOOL mustDelete) {
  if (!param) {
    param = new CGXGridParam;
    mustDelete = TRUE;
  }
  if (param == m_pParam) {
    m_bOwnParam = mustDelete;
    return;
  }
  CGXGridGlobals& g = CGXGridGlobals::Get();
  // The grid leaves the object-to-grids map before its old objects may go: a deleted parameter object must
  // not keep pointing here (a new object at the same address would find this grid).
  if (m_bInitDone) g.RemoveGrid(this);
  if (m_bOwnParam) delete m_pParam;
  FreeDrawingCaches();
  m_pParam = param;
  m_bOwnParam = mustDelete;
  m_pStyleStandard = m_pStyleColHeader = m_pStyleRowHeader = nullptr;
  m_pCurrentControl = nullptr;
  m_bCurrentValid = FALSE;
  m_bSelRangeCached = FALSE;
  if (m_bInitDone) GiveAttachedParamItsObjects();
}

// The shared objects a layout did not bring: made here, read from the application profile when the profile
// feature is installed, and owned by the parameter object; the grid is registered as one of their users.
void CGXGridCore::GiveParamSharedObjects() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (!m_pParam->GetProperties()) {
    auto props = std::make_unique<CGXProperties>();
    props->AddDefaultUserProperties();
    if (g.m_pProfileImp) props->ReadProfile();
    m_pParam->SetProperties(props.release(), TRUE);
  }
  g.AddGridForObject(m_pParam->GetProperties(), this);
  if (!m_pParam->GetStylesMap()) {
    auto map = std::make_unique<CGXStylesMap>();
    map->CreateStandardStyles();
    if (g.m_pProfileImp) map->ReadProfile();
    m_pParam->SetStylesMap(map.release(), TRUE);
  }
  g.AddGridForObject(m_pParam->GetStylesMap(), this);
}

// The data object, made when the parameter object has none.
void CGXGridCore::GiveParamItsData() {
  if (!m_pParam->GetData()) {
    auto data = std::make_unique<CGXData>();
    data->InitParam(m_pParam);
    m_pParam->SetData(data.release(), TRUE);
  }
  CGXGridGlobals::Get().AddGridForObject(m_pParam->GetData(), this);
}

// A parameter object attached to a grid already in use (null included, which is a new bare object) gets
// what Initialize gives one: properties, styles map and data object where it brings none, made the same
// way; the base styles are looked up and the standard font measured again, since they may differ; the top
// row and left column are brought within the new counts; and the window is painted anew. Without this the
// grid would be left without a data object and refuse every change without a word.
void CGXGridCore::GiveAttachedParamItsObjects() {
  CGXGridGlobals::Get().AddGridForObject(m_pParam, this);
  GiveParamSharedObjects();
  GiveParamItsData();
  m_pParam->m_bGridInitialized = TRUE;
  m_nZoom = m_pParam->GetProperties()->m_nZoom > 0 ? static_cast<int>(m_pParam->GetProperties()->m_nZoom) : 100;
  LookupBaseStyles();
  // The cached styles are the old object's cells.
  for (auto& [key, style] : m_styleCache) ReleaseWorkStyle(style.release());
  m_styleCache.clear();
  MeasureStandardFont();
  InvalidateShownCaches();
  m_nTopRow = std::max(std::min(m_nTopRow, std::max<ROWCOL>(GetRowCount(), 1)), GetFrozenRows() + 1);
  m_nLeftCol = std::max(std::min(m_nLeftCol, std::max<ROWCOL>(GetColCount(), 1)), GetFrozenCols() + 1);
  RefreshScrollBars(TRUE, FALSE);
  InvalidateRect(nullptr, FALSE);
}

DWORD CGXGridCore::ExchangeSwitchWord(DWORD value) {
  const DWORD old = m_dwSwitchWord;
  m_dwSwitchWord = value;
  return old;
}

DWORD CGXGridCore::GetSwitchWord() const { return m_dwSwitchWord; }

BOOL CGXGridCore::GetResizeState(int* mode, int* index) const {
  if (mode) *mode = m_nResizeMode;
  if (index) *index = m_nResizeIndex;
  return m_bUserResizing;
}

void CGXGridCore::SetResizeState(BOOL resizing, int mode, int index) {
  m_bUserResizing = resizing;
  m_nResizeMode = resizing ? mode : 0;
  m_nResizeIndex = resizing ? index : 0;
}

void CGXGridCore::SetListener(CGXGridListener* listener) {
  if (listener != m_pListener.get()) m_pListener.reset(listener);
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
  m_bPrinting = printing;
  InvalidateShownCaches();
  if (useClientRect) {
    // The window's client rectangle, not the (possibly stale) print rectangle GetDrawingArea answers now.
    CRect r;
    if (HWND h = GridHwnd()) {
      RECT rc;
      ::GetClientRect(h, &rc);
      r = rc;
    } else if (m_pFixedArea) {
      r = *m_pFixedArea;
    }
    m_rectPrint = r;
    // Measured with the printing flag set, so the device is prepared as for printing.
    m_nPrintFontHeight = 15;
    m_nPrintFontWidth = 10;
    MeasureFontMetrics(&m_nPrintFontHeight, &m_nPrintFontWidth);
    m_nPrintTopRow = GetFrozenRows() + 1;
    m_nPrintLeftCol = GetFrozenCols() + 1;
  }
  if (CGXProperties* props = GetProperties()) props->m_bPrinting = printing;
  // A paint that came while printing was dropped; the window shows what it showed before printing, which
  // may be stale now. It is painted again once, when the printing ends.
  if (!printing && m_bPaintDeferred) {
    m_bPaintDeferred = FALSE;
    InvalidateRect(nullptr, FALSE);
  }
}

void CGXGridCore::SetModifiedFlag(BOOL modified) {
  if (m_pDocument && m_bHintSwitch) m_pDocument->SetModifiedFlag(modified);
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
  if (m_pListener) m_pListener->OnGridInitialize(this);
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (!m_pParam) AttachParam(new CGXGridParam, TRUE);
  g.AddGridForObject(m_pParam, this);
  FreeDrawingCaches();
  GiveParamSharedObjects();
  LookupBaseStyles();
  if (CGXAbstractControlFactory* factory = g.GetControlFactory()) {
    WORD id = m_pStyleStandard && m_pStyleStandard->IsIncluded(GX_IN_CONTROLID) ? m_pStyleStandard->GetControl()
                                                                                 : GX_IDS_CTRL_EDIT;
    if (CGXControl* c = factory->CreateControl(id, this)) AddCellControl(id, c, TRUE);
  }
  GiveParamItsData();
  m_pParam->m_bGridInitialized = TRUE;
  m_nZoom = m_pParam->GetProperties()->m_nZoom > 0 ? static_cast<int>(m_pParam->GetProperties()->m_nZoom) : 100;
  MeasureStandardFont();
  m_bInitDone = TRUE;
  m_bMouseKeyboard = TRUE;
  m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
  m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
  // 17. The start-up hook hears of the new grid and the name of its parameter object.
  if (CGXGridInitHook* hook = g.m_pInitHook.get())
    hook->OnGridInitialized(m_pGridWnd, m_pParam->m_sName, !m_pParam->m_sName.IsEmpty());
  // 18. A cell the parameter object asks for becomes current when it exists.
  if (m_pParam->m_bInitialCurrentCell && m_pParam->m_nInitialCurrentRow <= GetRowCount() &&
      m_pParam->m_nInitialCurrentCol <= GetColCount()) {
    StoreCurrentCell(TRUE, m_pParam->m_nInitialCurrentRow, m_pParam->m_nInitialCurrentCol);
    NotifyCellObservers();
  }
  // 19. The kept current selection range is the selection list's newest range.
  m_bSelRangeCached = FALSE;
  if (m_pParam->m_bKeepsCurrentSelRange)
    if (const CGXRange* kept = m_pParam->GetSelection().GetTail()) {
      m_rgCachedSel = *kept;
      m_bSelRangeCached = TRUE;
    }
  // 20. Measured again: the hook or a derived grid may have changed the standard style.
  MeasureStandardFont();
  RefreshScrollBars(TRUE, FALSE);
  for (auto& [key, style] : m_styleCache) ReleaseWorkStyle(style.release());
  m_styleCache.clear();
  // The size the smart resize compares with.
  if (HWND h = GridHwnd()) {
    RECT r;
    ::GetClientRect(h, &r);
    RememberClientSize(r.right, r.bottom);
  }
}

void CGXGridCore::MeasureStandardFont() {
  InvalidateShownCaches();  // sizes in pixels follow the font
  m_dyHeight = 15;
  m_dxWidth = 10;
  MeasureFontMetrics(&m_dyHeight, &m_dxWidth);
}

void CGXGridCore::MeasureFontMetrics(int* height, int* width) {
  if (!m_pStyleStandard || !m_pStyleStandard->GetFontPtr()) return;
  // A screen device: the grid window's, or the desktop's while the grid has no window yet.
  HWND h = GridHwnd();
  HDC hdc = ::GetDC(h);
  if (!hdc) return;
  {
    CDC dc;
    dc.Attach(hdc);
    PrepareDC(&dc);
    CFont* old = CreateZoomedFont(&dc, m_pStyleStandard->GetFont());
    TEXTMETRIC tm{};
    if (dc.GetTextMetrics(&tm)) {
      *height = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
      // TMPF_FIXED_PITCH set means a variable-pitch font (the classic inverted bit).
      *width = std::max<int>(1, (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? tm.tmAveCharWidth * 3 / 2
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
  if (m_bPrinting || !m_pParam || m_pParam->m_bZoomDisabled) return 100;
  return m_nZoom;
}

BOOL CGXGridCore::StoreZoom(int percent, BOOL createHint) {
  // A zoom of 0 or less would scale every size and font to nothing (and divides); it is refused.
  if (percent <= 0) return FALSE;
  m_nZoom = percent;
  if (CGXProperties* p = GetProperties()) p->m_nZoom = static_cast<DWORD>(percent);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintStoreZoom(this, percent);
  return TRUE;
}

void CGXGridCore::UpdateZoom(int oldZoom, UINT flags, BOOL createHint) {
  FreeDrawingCaches();
  MeasureStandardFont();
  // Floated texts span a different number of cells at another zoom.
  RecalcFloatCells(CGXRange().AssignTable(), TRUE);
  if (!IsLockUpdate() && GetZoom() != oldZoom) RedrawAll(flags, FALSE);
  if (auto* h = createHint ? HintSender() : nullptr) h->HintUpdateZoom(this, oldZoom, flags);
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

void CGXGridCore::UpdateReadOnly(BOOL oldReadOnly, BOOL createHint) {
  ROWCOL row, col;
  if (QueryCurrentCell(&row, &col) && CurrentCellIsActive()) {
    // The active control shows the cell again under the new state (an editor may not stay editable).
    CGXControl* c = ControlOfCurrentCell();
    c->Refresh();
    c->InitForCell(row, col);
  }
  if (auto* h = createHint ? HintSender() : nullptr) h->HintReadOnly(this, oldReadOnly);
}

BOOL CGXGridCore::IsCellSelected(ROWCOL row, ROWCOL col) const {
  return m_pParam && m_pParam->GetSelection().FindCell(row, col) != nullptr;
}

void CGXGridCore::ShowScrollBar(int bar, BOOL show) {
  if (HWND h = GridHwnd()) ::ShowScrollBar(h, bar, show);
}
