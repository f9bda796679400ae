#include "platform/base/CObArray.h"

IMPLEMENT_SERIAL(CObArray, CObject, 0)
