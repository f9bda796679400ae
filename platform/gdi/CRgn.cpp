#include "platform/gdi/CRgn.h"

CRgn* CRgn::FromHandle(HRGN h) { return plat::TempGdiWrapper<CRgn>(h); }
