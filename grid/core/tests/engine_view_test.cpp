// Engine tests: view.
#include "grid/core/tests/enginetest.h"
