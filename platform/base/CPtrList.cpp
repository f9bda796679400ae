#include "platform/base/CPtrList.h"

IMPLEMENT_DYNAMIC(CPtrList, CObject)
