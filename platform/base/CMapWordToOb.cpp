#include "platform/base/CMapWordToOb.h"

IMPLEMENT_SERIAL(CMapWordToOb, CObject, 0)
