#include "platform/base/CByteArray.h"

IMPLEMENT_SERIAL(CByteArray, CObject, 0)
