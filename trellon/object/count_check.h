// Counts checked against their walks. The builders count first, size their arrays once and then
// walk again to fill them; the two walks are one walk, so a count that disagrees with what the
// walk then yields is a bug in the module, never bad input. It is reported with both numbers
// (the build turns it into an empty mesh and a line on the error stream), never hidden by
// writing less than the walk gave.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace trellon {

class CountMismatch : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Throws CountMismatch naming `what` and both numbers when they differ.
inline void ExpectCount(const char* what, std::int64_t counted, std::int64_t walked) {
    if (counted == walked) return;
    throw CountMismatch(std::string(what) + ": counted " + std::to_string(counted) +
                        ", the walk gave " + std::to_string(walked));
}

}  // namespace trellon
