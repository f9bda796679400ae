#include "grid/core/gxcolor.h"

#include "grid/core/CGXSysColorTable.h"

namespace gx {

COLORREF TaggedColor(const PackedColor& c) {
  if (c.kind == kindSystem) {
    const COLORREF rgb = CGXSysColorTable::GetColor(static_cast<int>(c.value)) & 0xFFFFFFu;
    return rgb | (SysColorTag(c.value) << 24);
  }
  return (static_cast<COLORREF>(c.kind) << 24) | (c.value & 0xFFFFFFu);
}

COLORREF ResolvedColor(const PackedColor& c) {
  if (c.kind == kindSystem) return CGXSysColorTable::GetColor(static_cast<int>(c.value)) & 0xFFFFFFu;
  return (static_cast<COLORREF>(c.kind) << 24) | (c.value & 0xFFFFFFu);
}

}  // namespace gx
