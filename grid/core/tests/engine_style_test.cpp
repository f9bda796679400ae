// Engine tests: style.
#include "grid/core/tests/enginetest.h"
