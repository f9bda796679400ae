#include "platform/framework/CSpinButtonCtrl.h"

IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
