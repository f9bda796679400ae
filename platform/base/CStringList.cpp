#include "platform/base/CStringList.h"

IMPLEMENT_SERIAL(CStringList, CObject, 0)
