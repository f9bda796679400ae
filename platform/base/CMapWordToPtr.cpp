#include "platform/base/CMapWordToPtr.h"

IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
