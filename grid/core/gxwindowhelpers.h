// Window helpers of the grid library.
#pragma once

#include "platform/framework/CWnd.h"

// The nearest ancestor of wnd that is of (a class derived from) cls; unless evenIfIconic, null when an
// ancestor on the way is minimised.
CWnd* FindParentOfClass(CWnd* wnd, const CRuntimeClass* cls, BOOL evenIfIconic = FALSE);
