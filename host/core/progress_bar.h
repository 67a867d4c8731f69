// Progress of long work on a terminal: the writers, and the module's builds through the core
// interface's progress calls.
//
// A bar appears only when standard error is a terminal, and only once the work has run for
// more than a second (short work shows nothing). It is one line, redrawn in place at most ten
// times a second:
//   writing out.glb  [##############----------------]  47%  about 3 s left
// The estimate assumes the rest goes at the pace so far. The line is cleared when the bar ends
// (destroyed or Finish), so what the command prints afterwards starts on a clean line.
#pragma once

#include <chrono>
#include <string>

namespace host {

class ProgressBar {
public:
    explicit ProgressBar(std::string phase);
    ~ProgressBar() { Finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // The share done, 0 to 1 (values outside are held to it).
    void Update(double fraction);
    // A new phase; the clock for the estimate starts again.
    void SetPhase(std::string phase);
    // Clears the line if one was drawn.
    void Finish();

    // Whether bars are drawn at all in this process (standard error is a terminal).
    static bool Enabled();
    // The line for a phase, share done and seconds left (negative: no estimate yet), at most
    // `width` characters wide.
    static std::string Line(const std::string& phase, double fraction, double secondsLeft,
                            int width);

private:
    using Clock = std::chrono::steady_clock;
    std::string phase_;
    Clock::time_point start_;
    Clock::time_point phaseStart_;
    Clock::time_point lastDraw_;
    bool drawn_ = false;
};

}  // namespace host
