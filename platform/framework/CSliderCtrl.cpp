#include "platform/framework/CSliderCtrl.h"

IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
