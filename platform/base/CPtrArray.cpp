#include "platform/base/CPtrArray.h"

IMPLEMENT_DYNAMIC(CPtrArray, CObject)
