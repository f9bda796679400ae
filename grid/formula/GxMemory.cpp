#include "grid/formula/GxMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

GX_ENGINE_MEMOBJ_STATE::~GX_ENGINE_MEMOBJ_STATE() {
    for (void* p : live) std::free(p);
    live.clear();
}

GX_ENGINE_MEMOBJ_STATE* _gx_memobj_state() {
    static GX_ENGINE_MEMOBJ_STATE state;
    return &state;
}

namespace {

GX_ENGINE_MEMOBJ_STATE& memobj() { return *_gx_memobj_state(); }

long g_failAfter = -1;

} // namespace

void* _gx_track(void* p) {
    if (p) memobj().live.insert(p);
    return p;
}

void* _gx_alloc(std::size_t size) {
    if (g_failAfter == 0) throw std::bad_alloc();
    if (g_failAfter > 0) --g_failAfter;
    void* p = std::calloc(1, size ? size : 1);
    if (!p) throw std::bad_alloc();
    try {
        return _gx_track(p);
    } catch (...) {
        std::free(p);
        throw;
    }
}

void _gx_free(void* p) {
    if (!p) return;
    memobj().live.erase(p);
    std::free(p);
}

void _gx_free_all_tracked() {
    auto& live = memobj().live;
    for (void* p : live) std::free(p);
    live.clear();
}

std::size_t _gx_tracked_count() { return memobj().live.size(); }

char* _gx_string_ndup(const char* text, std::size_t n) {
    if (!text) return nullptr;
    auto* copy = static_cast<char*>(_gx_alloc(n + 1));
    std::memcpy(copy, text, n);
    copy[n] = '\0';
    return copy;
}

char* _gx_string_dup(const char* text) {
    return text ? _gx_string_ndup(text, std::strlen(text)) : nullptr;
}

void _gx_fail_allocations_after(long count) { g_failAfter = count; }
