#include "grid/core/CGXSysColorTable.h"

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/SysColors.h"

std::array<COLORREF, CGXSysColorTable::kColors>& CGXSysColorTable::Table() {
  static std::array<COLORREF, kColors> table = [] {
    std::array<COLORREF, kColors> t{};
    for (int i = 0; i < kColors; ++i) t[static_cast<std::size_t>(i)] = ::GetSysColor(i);
    return t;
  }();
  return table;
}

COLORREF CGXSysColorTable::GetColor(int index) {
  if (index >= 0 && index < kColors) return Table()[static_cast<std::size_t>(index)];
  return ::GetSysColor(index);
}

namespace {

// The drop-down arrows: normal and greyed, and the second pair of the combo-box window cells.
constexpr std::size_t kBitmapCount = 4;
constexpr UINT kBitmapIds[kBitmapCount] = {20028, 20211, 20212, 20213};

// The bitmaps live to process exit. At exit the drawing layer's object table may already be gone when
// this library's statics are destroyed, so the handles are left to the table (which frees everything it
// holds) rather than deleted here.
struct KeptBitmaps {
  std::array<CBitmap, kBitmapCount> bitmaps;
  ~KeptBitmaps() {
    for (CBitmap& b : bitmaps) b.Detach();
  }
};

std::array<CBitmap, kBitmapCount>& Bitmaps() {
  static KeptBitmaps kept;
  return kept.bitmaps;
}

}  // namespace

void CGXSysColorTable::Refresh() {
  for (int i = 0; i < kColors; ++i) Table()[static_cast<std::size_t>(i)] = ::GetSysColor(i);
  for (std::size_t i = 0; i < kBitmapCount; ++i) {
    CBitmap& bitmap = Bitmaps()[i];
    bitmap.DeleteObject();
    LoadSysColorBitmap(bitmap, MAKEINTRESOURCE(kBitmapIds[i]));
  }
}

CBitmap* CGXSysColorTable::GetBitmap(UINT resourceId) {
  for (std::size_t i = 0; i < kBitmapCount; ++i)
    if (kBitmapIds[i] == resourceId) return Bitmaps()[i].m_hObject ? &Bitmaps()[i] : nullptr;
  return nullptr;
}

HCURSOR CGXSysColorTable::GetArrowCursor() {
  static const HCURSOR cursor = LoadCursor(nullptr, IDC_ARROW);
  return cursor;
}

int CGXSysColorTable::GetEdgeSize() { return CGXGridGlobals::Get().m_bWin4 ? 2 : 1; }
