// Engine tests: current.
#include "grid/core/tests/enginetest.h"
