#include "grid/extras/GXThemeOwner.h"

#include "foundation/VisualStyles.h"
#include "platform/gdi/CDC.h"

namespace gx {
namespace {

// Painting runs on the user-interface thread only.
HWND g_owner = nullptr;

}  // namespace

ThemeOwnerScope::ThemeOwnerScope(HWND owner) : m_previous(g_owner) { g_owner = owner; }

ThemeOwnerScope::~ThemeOwnerScope() { g_owner = m_previous; }

HWND ThemedOwner(CDC& dc) {
  if (!SafeIsAppThemed() || !SafeIsThemeActive()) return nullptr;
  if (HWND window = WindowFromDC(dc.GetSafeHdc())) return window;
  return g_owner;
}

}  // namespace gx
