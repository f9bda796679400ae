// The engine's tracked allocator. Every engine object (sheet blocks, texts, expressions, changed-range and name
// records) is allocated here and registered, so that all engine memory can be released at once.
//
// Running out of memory throws std::bad_alloc out of _gx_alloc; every engine entry point catches it and fails
// with error 5 ("out of memory"). The engine never ends the process.
#pragma once

#include <cstddef>
#include <unordered_set>

// The process-wide map of every engine allocation not yet freed; its destructor releases them all.
struct GX_ENGINE_MEMOBJ_STATE {
    std::unordered_set<void*> live;
    ~GX_ENGINE_MEMOBJ_STATE();
};

GX_ENGINE_MEMOBJ_STATE* _gx_memobj_state();

void* _gx_alloc(std::size_t size);          // zeroed, tracked; throws std::bad_alloc
void* _gx_track(void* p);                    // registers p (twice keeps one entry); returns p
void _gx_free(void* p);                      // unregisters when present, then releases
void _gx_free_all_tracked();                 // releases every registered object
std::size_t _gx_tracked_count();             // number of live tracked objects
char* _gx_string_dup(const char* text);      // tracked copy; null for null
char* _gx_string_ndup(const char* text, std::size_t n);

// Test hook: after `count` further successful allocations every allocation fails (-1 switches it off).
void _gx_fail_allocations_after(long count);
