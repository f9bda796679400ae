// Engine entry points fail with error 5 ("out of memory") instead of letting std::bad_alloc escape.
#pragma once

#include "grid/formula/GxEngineState.h"

#include <new>

template <class Body>
int gxOutOfMemoryGuard(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        _gx_set_error_code(5);
        return 0;
    }
}
