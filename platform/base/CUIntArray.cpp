#include "platform/base/CUIntArray.h"

IMPLEMENT_DYNAMIC(CUIntArray, CObject)
