#include "failed_allocation.h"

namespace host {
namespace {

std::size_t& FailedBytes() {
    static std::size_t bytes = 0;
    return bytes;
}

}  // namespace

void NoteFailedAllocation(std::size_t bytes) { FailedBytes() = bytes; }

std::size_t LastFailedAllocation() { return FailedBytes(); }

}  // namespace host
