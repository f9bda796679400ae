#include "platform/base/CWordArray.h"

IMPLEMENT_SERIAL(CWordArray, CObject, 0)
