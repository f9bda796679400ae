#include "platform/base/CDWordArray.h"

IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
