// Engine tests: rowcol.
#include "grid/core/tests/enginetest.h"
