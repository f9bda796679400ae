#include "platform/framework/CProgressCtrl.h"

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
