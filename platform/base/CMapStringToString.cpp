#include "platform/base/CMapStringToString.h"

IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)
