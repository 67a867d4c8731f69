#include "command_failure.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace host {
namespace {

std::string& Current() {
    static std::string doing;
    return doing;
}

std::string Grouped(std::size_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

}  // namespace

Doing::Doing(std::string what) : previous_(std::exchange(Current(), std::move(what))) {}

Doing::~Doing() {
    // While an exception unwinds, the innermost name stays for the command boundary to report
    // (FailureLine clears it); otherwise the enclosing one comes back.
    if (std::uncaught_exceptions() == 0) Current() = std::move(previous_);
}

const std::string& CurrentlyDoing() { return Current(); }

std::string FailureLine(const std::string& command, const std::string& doing,
                        std::exception_ptr failure) {
    std::string line = "trellon-host " + command + ": ";
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        line += "out of memory";
        if (!doing.empty()) line += " while " + doing;
        const std::size_t bytes = LastFailedAllocation();
        if (bytes > 0) line += " (an allocation of " + Grouped(bytes) + " bytes failed)";
    } catch (const std::exception& e) {
        if (!doing.empty()) line += "while " + doing + ": ";
        line += e.what();
    } catch (...) {
        if (!doing.empty()) line += "while " + doing + ": ";
        line += "an unknown exception";
    }
    Current().clear();
    return line;
}

}  // namespace host
