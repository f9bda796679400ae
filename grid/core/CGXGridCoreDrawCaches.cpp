// The drawing caches: fonts, brushes and pens made once per distinct record between cache releases, the
// measuring device, the per-cell cache of composed styles with its pool of spare style objects, and the
// release of all of them at the start of every paint.
#include <algorithm>
#include <cstring>
#include <memory>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDrawContext.h"
#include "grid/core/CGXLongOperation.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"

BOOL CGXGridCore::s_bIndirectPens = FALSE;

namespace {
template <typename T>
std::vector<BYTE> KeyOf(const T& value) {
  std::vector<BYTE> key(sizeof(T));
  std::memcpy(key.data(), &value, sizeof(T));
  return key;
}

// Brushes and pens are keyed by their unresolved records: a system colour stays one key whatever its
// current value.
struct BrushKey {
  DWORD style, hatch, pattern, fill;
  COLORREF fore, back;
};
struct PenKey {
  DWORD style, width;
  COLORREF color;
};
}  // namespace

// ---- Emptying ---------------------------------------------------------------------------------------------

void CGXGridCore::FreeDrawingCaches() {
  if (m_bPrinting) return;
  // 1. The measuring device and the GDI objects, unless a long operation runs: its loop (styles applied
  // to many ranges, each ending here) would otherwise make every font, brush and pen again and again,
  // and callers inside it may still hold them. The style cache below is emptied all the same.
  if (CGXLongOperationScope::GetNestingLevel() == 0) {
    ReleaseCachedDC();
    m_fontCache.clear();
    m_brushCache.clear();
    m_penCache.clear();
  }
  // 2. The style cache; styles of the kept rows and columns and of a kept current cell survive.
  ROWCOL curRow = 0, curCol = 0;
  const BOOL hasCurrent = QueryCurrentCell(&curRow, &curCol);
  if (m_currentCell.HasKeepValues()) {
    for (auto it = m_styleCache.begin(); it != m_styleCache.end();) {
      const ROWCOL row = static_cast<ROWCOL>(it->first >> 32), col = static_cast<ROWCOL>(it->first);
      const BOOL kept = m_currentCell.KeepsCell(row, col) || (hasCurrent && row == curRow && col == curCol);
      if (kept) {
        ++it;
      } else {
        ReleaseWorkStyle(it->second.release());
        it = m_styleCache.erase(it);
      }
    }
  } else {
    for (auto& entry : m_styleCache) ReleaseWorkStyle(entry.second.release());
    m_styleCache.clear();
    // The current cell's held style goes too; its control stays bound (an edit survives the paint).
    if (!m_bKeepCurrentCell) m_currentCell.Reset();
  }
  // 3. Composed styles of the current cell handed out since the last release.
  m_deleteLater.clear();
}

// ---- Style cache and pool -----------------------------------------------------------------------------------

CGXStyle* CGXGridCore::NewWorkStyle() {
  if (m_stylePool.empty()) return new CGXStyle;
  CGXStyle* s = m_stylePool.back().release();
  m_stylePool.pop_back();
  return s;
}

void CGXGridCore::ReleaseWorkStyle(CGXStyle* style) {
  if (!style) return;
  if (m_stylePool.size() >= kMaxPooledStyles) {
    delete style;
    return;
  }
  style->Free();
  m_stylePool.emplace_back(style);
}

const CGXStyle* CGXGridCore::GetCachedCellStyle(ROWCOL row, ROWCOL col) {
  const std::uint64_t key = (static_cast<std::uint64_t>(row) << 32) | col;
  const BOOL current = MatchesCurrentCell(row, col);
  // 1. The current cell's style as the current-cell object holds it since the last lookup.
  if (current && m_bCacheCurrentCellStyle)
    if (const CGXStyle* held = m_currentCell.GetStyle()) return held;
  // 2. From the cache, except the current cell's while the grid does not keep it: its control may change
  // it while it edits, so it is composed afresh.
  if (!current || m_bKeepCurrentCell) {
    auto it = m_styleCache.find(key);
    if (it != m_styleCache.end()) return it->second.get();
  }
  // 3. Composed into a spare style; a locked grid marks every style read-only. The grid's own lock test
  // decides (a derived grid may override it), so that what is drawn and edited agrees with what the grid
  // refuses to store.
  CGXStyle* style = NewWorkStyle();
  ComposeCellStyle(row, col, *style, TRUE);
  if (IsLocked()) style->SetReadOnly(TRUE);
  if (current && !m_bKeepCurrentCell) {
    m_deleteLater.emplace_back(style);
  } else {
    auto& slot = m_styleCache[key];
    if (slot) ReleaseWorkStyle(slot.release());
    slot.reset(style);
  }
  // 4. The current cell's control is the one its style names; the current-cell object holds both.
  if (current)
    m_currentCell.Notify(ControlForId(style->IsIncluded(GX_IN_CONTROLID) ? style->GetControl() : 0), *style);
  return style;
}

// ---- GDI objects ---------------------------------------------------------------------------------------------

CPen* CGXGridCore::LookupPen(const CGXBorderPen& pen) {
  const PenKey key{pen.GetStyle(), pen.GetWidth(), pen.GetColorWithIndex()};
  auto bytes = KeyOf(key);
  auto it = m_penCache.find(bytes);
  if (it != m_penCache.end()) return it->second.get();
  auto p = std::make_unique<CPen>();
  const int width = std::max<int>(1, static_cast<int>(pen.GetWidth()));
  BOOL made = FALSE;
  if (s_bIndirectPens) {
    LOGPEN lp{pen.GetStyle(), POINT{width, 0}, pen.GetColor()};
    made = p->CreatePenIndirect(&lp);
  } else {
    LOGBRUSH lb{BS_SOLID, pen.GetColor(), 0};
    made = p->CreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | static_cast<int>(pen.GetStyle()), width, &lb);
  }
  if (!made) return nullptr;  // a pen that could not be made is not stored
  return (m_penCache[bytes] = std::move(p)).get();
}

CBrush* CGXGridCore::LookupBrush(const CGXInteriorBrush& interior) {
  const BrushKey key{interior.GetStyle(), interior.GetHatch(), interior.GetPattern(),
                     static_cast<DWORD>(interior.GetFillKind()), interior.GetColorWithIndex(),
                     interior.GetBkColorWithIndex()};
  auto bytes = KeyOf(key);
  auto it = m_brushCache.find(bytes);
  if (it != m_brushCache.end()) return it->second.get();
  LOGBRUSH lb = interior.GetLogBrush();  // system colours resolved
  auto b = std::make_unique<CBrush>();
  if (!b->CreateBrushIndirect(&lb)) return nullptr;
  return (m_brushCache[bytes] = std::move(b)).get();
}

// The font as described, not zoomed: zooming is CreateZoomedFont's alone, so that every zoomed font (cell
// text, headers, the measuring device, the font metrics) follows one rule.
CFont* CGXGridCore::LookupFont(const CGXFont& font) {
  LOGFONT lf;
  font.GetLogFontZoomed(lf, 100);
  auto key = KeyOf(lf);
  auto it = m_fontCache.find(key);
  if (it != m_fontCache.end()) return it->second.get();
  auto f = std::make_unique<CFont>();
  if (!f->CreateFontIndirect(&lf)) return nullptr;
  return (m_fontCache[key] = std::move(f)).get();
}

CFont* CGXGridCore::LookupFont(const CGXStyle& style) { return LookupFont(style.GetFont()); }

CFont* CGXGridCore::CreateZoomedFont(CDC* dc, const CGXFont& font) {
  // The size in points times the zoom, kept in quarter points (truncated, at most 1023), so that a zoomed
  // size rounds the same way everywhere and a huge font cannot escape the cap.
  CGXFont zoomed(font);
  if (zoomed.GetIncludeSize()) zoomed.SetPointSize(zoomed.GetSize() * GetZoom() * 0.01);
  CFont* f = LookupFont(zoomed);
  return f ? dc->SelectObject(f) : nullptr;
}

CFont* CGXGridCore::SelectStyleFont(CDC* dc, const CGXStyle& style, const CGXStyle* previous) {
  if (previous) {
    const CGXFont* mine = style.GetFontPtr();
    const CGXFont* theirs = previous->GetFontPtr();
    if (!mine || (theirs && *mine == *theirs)) return nullptr;
  }
  return CreateZoomedFont(dc, style.GetFont());
}

// ---- Measuring device ----------------------------------------------------------------------------------------

CDC* CGXGridCore::GetCachedDC() {
  // While a block draws, its own device measures (the printer's while printing).
  if (m_pDrawContext && m_pDrawContext->dc) return m_pDrawContext->dc;
  if (!m_pCachedDC) {
    if (!m_pGridWnd || !GridHwnd()) return nullptr;
    auto dc = std::make_shared<CClientDC>(m_pGridWnd);
    if (!dc->GetSafeHdc()) return nullptr;
    PrepareDC(dc.get());
    m_pCachedDCOldFont = m_pStyleStandard ? SelectStyleFont(dc.get(), *m_pStyleStandard) : nullptr;
    m_pCachedDC = dc;
  }
  return m_pCachedDC.get();
}

void CGXGridCore::ReleaseCachedDC() {
  // Kept while printing and inside a long operation (the caches are not emptied then either).
  if (m_bPrinting || CGXLongOperationScope::GetNestingLevel() > 0 || !m_pCachedDC) return;
  if (m_pCachedDCOldFont) m_pCachedDC->SelectObject(m_pCachedDCOldFont);
  m_pCachedDCOldFont = nullptr;
  m_pCachedDC.reset();
}

// ---- Printer metrics on screen -----------------------------------------------------------------------------

// Decision: the anisotropic mapping (display pixels per inch onto the printer's) is set on the printer's
// information device, the screen device's attribute device, and not on the screen device itself: mapped
// there it would scale the screen picture by the printer's resolution. Text measured through the screen
// device (fonts are selected into both) then comes in display pixels at the printer's glyph metrics.
BOOL CGXGridCore::PreparePrinterMetrics(CDC* dc) {
  if (!m_bPrinterMetrics || !dc || !m_pParam || !m_pParam->GetPrintDevice()) return FALSE;
  CGXPrintDevice* device = m_pParam->GetPrintDevice();
  // A device that names no printer leaves the screen's own metrics (no default printer is fetched for a paint).
  if (device->GetDevNames().empty()) return FALSE;
  // The print device checks the blocks and keeps the printer's context; it makes a new one when they change.
  HDC printer = device->GetPrinterDC();
  if (!printer) return FALSE;
  if (!m_pMetricsPrinter || m_pMetricsPrinter->GetSafeHdc() != printer) {
    // Not owned: the device deletes the context, the wrapper only lets go of it.
    m_pMetricsPrinter = std::shared_ptr<CDC>(new CDC, [](CDC* d) {
      d->Detach();
      delete d;
    });
    m_pMetricsPrinter->Attach(printer);
  }
  const CGXFontRegistry& fonts = CGXFontRegistry::Instance();
  m_pMetricsPrinter->SetMapMode(MM_ANISOTROPIC);
  m_pMetricsPrinter->SetWindowExt(fonts.GetLogPixelsX(), fonts.GetLogPixelsY());
  m_pMetricsPrinter->SetViewportExt(m_pMetricsPrinter->GetDeviceCaps(LOGPIXELSX),
                                    m_pMetricsPrinter->GetDeviceCaps(LOGPIXELSY));
  dc->SetAttribDC(m_pMetricsPrinter->GetSafeHdc());
  return TRUE;
}
