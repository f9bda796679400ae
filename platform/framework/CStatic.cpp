#include "platform/framework/CStatic.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
