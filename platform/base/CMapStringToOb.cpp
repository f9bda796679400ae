#include "platform/base/CMapStringToOb.h"

IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
