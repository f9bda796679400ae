// Engine tests: lifetime.
#include "grid/core/tests/enginetest.h"
