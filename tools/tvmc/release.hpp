// Lets go of memory: a container's, or what the allocator keeps free.
#pragma once

#include <cstddef>
#include <malloc.h>

// jemalloc's control call, present when tvmc runs on jemalloc (see
// CMakeLists.txt) and null otherwise.
extern "C" int mallctl(const char* name, void* old, std::size_t* oldSize, void* value,
                       std::size_t size) __attribute__((weak));

namespace tevo::tvmc {

// `v = {}` does not: for a vector it is the assignment of an empty
// initializer list, which keeps the capacity.
template <typename Container> void release(Container& c) {
    Container().swap(c);
}

// Hands the memory the allocator holds free back to the system, between
// stages whose peaks must not add up. jemalloc would give it back only as
// it ages; glibc's allocator keeps it until trimmed.
inline void returnFreeMemory() {
    // Every arena at once (jemalloc's MALLCTL_ARENAS_ALL is 4096).
    if (mallctl)
        mallctl("arena.4096.purge", nullptr, nullptr, nullptr, 0);
    else
        malloc_trim(0);
}

} // namespace tevo::tvmc
