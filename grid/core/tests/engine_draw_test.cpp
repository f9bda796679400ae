// Engine tests: draw.
#include "grid/core/tests/enginetest.h"
