// The size of the last allocation that failed, for the command boundary's message
// (command_failure.h): trellon-host's operator new notes it, and so does host code that asks for
// memory another way (a mapping) and throws std::bad_alloc itself.
#pragma once

#include <cstddef>

namespace host {

void NoteFailedAllocation(std::size_t bytes);
// 0 when none was noted.
std::size_t LastFailedAllocation();

}  // namespace host
