// The host's command boundary: whatever a command runs into (running out of memory while
// loading, building, evaluating or writing; an exception out of the module) ends the command
// with one line on the error stream and exit status 1, never with an abort:
//   trellon-host build: out of memory while writing out.glb (an allocation of 1,234,567,890
//   bytes failed)
//   trellon-host build: while evaluating node 'Fence': Mesh: face index 7 is out of range
// The command says what it is doing as it goes (a Doing in scope), so the line names the file or
// the object. A file being written is removed by its writer when the exception passes
// (output_file.h), so nothing truncated is left.
#pragma once

#include <cstddef>
#include <exception>
#include <ostream>
#include <string>

#include "failed_allocation.h"

namespace host {

// What the command is doing while this lives ("writing out.glb", "evaluating node 'Fence'");
// the one before comes back when it ends.
class Doing {
public:
    explicit Doing(std::string what);
    ~Doing();
    Doing(const Doing&) = delete;
    Doing& operator=(const Doing&) = delete;

private:
    std::string previous_;
};

// The innermost Doing in scope ("" for none).
const std::string& CurrentlyDoing();

// The one line for an exception that ended `command`, from what was being done when it was
// thrown (the Doing in scope then: pass CurrentlyDoing() captured in the catch).
std::string FailureLine(const std::string& command, const std::string& doing,
                        std::exception_ptr failure);

// Runs fn() (an exit status); an exception out of it is told as FailureLine and gives 1.
template <class Fn>
int RunGuarded(const std::string& command, std::ostream& err, Fn fn) {
    try {
        return fn();
    } catch (...) {
        err << FailureLine(command, CurrentlyDoing(), std::current_exception()) << '\n';
        return 1;
    }
}

}  // namespace host
