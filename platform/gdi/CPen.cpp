#include "platform/gdi/CPen.h"

CPen* CPen::FromHandle(HPEN h) { return plat::TempGdiWrapper<CPen>(h); }
