#include "platform/base/CStringArray.h"

IMPLEMENT_SERIAL(CStringArray, CObject, 0)
