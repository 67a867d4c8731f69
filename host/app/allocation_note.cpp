// trellon-host's own operator new: the C++ library's, except that a request the heap refuses is
// noted (its size) before std::bad_alloc is thrown, so the command boundary can say how much was
// asked for (command_failure.h). Linked into the program only; it serves the module too.
#include <cstdlib>
#include <new>

#include "command_failure.h"

namespace {

void* Allocate(std::size_t bytes) {
    if (bytes == 0) bytes = 1;
    for (;;) {
        if (void* p = std::malloc(bytes)) return p;
        if (std::new_handler handler = std::get_new_handler()) {
            handler();
            continue;
        }
        host::NoteFailedAllocation(bytes);
        throw std::bad_alloc();
    }
}

}  // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
