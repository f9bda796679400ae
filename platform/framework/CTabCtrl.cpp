#include "platform/framework/CTabCtrl.h"

IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
