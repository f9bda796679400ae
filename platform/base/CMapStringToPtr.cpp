#include "platform/base/CMapStringToPtr.h"

IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
