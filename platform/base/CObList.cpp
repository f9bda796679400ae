#include "platform/base/CObList.h"

IMPLEMENT_SERIAL(CObList, CObject, 0)
