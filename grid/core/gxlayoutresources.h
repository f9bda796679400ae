// The grid layouts that the build generates (see layouts/ and tools/gxlayoutgen.cpp).
#pragma once

namespace gx {
// Registers the generated "GXLAYOUT" resources in the grid's resource module (once; idempotent).
void RegisterGridLayouts();
}  // namespace gx
