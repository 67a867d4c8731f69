#include "progress_bar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace host {
namespace {

constexpr std::chrono::milliseconds kQuiet{1000};  // nothing is shown before this
constexpr std::chrono::milliseconds kRedraw{100};  // at most ten lines a second

int TerminalWidth() {
    winsize ws{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 20) return ws.ws_col;
    return 80;
}

void Put(const std::string& s) {
    std::size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(STDERR_FILENO, s.data() + done, s.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

ProgressBar::ProgressBar(std::string phase)
    : phase_(std::move(phase)), start_(Clock::now()), phaseStart_(start_), lastDraw_(start_) {}

bool ProgressBar::Enabled() {
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    return terminal;
}

std::string ProgressBar::Line(const std::string& phase, double fraction, double secondsLeft,
                              int width) {
    fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
    char tail[48];
    const int percent = static_cast<int>(fraction * 100.0);
    if (secondsLeft >= 0.0) {
        std::snprintf(tail, sizeof tail, " %3d%%  about %.0f s left", percent,
                      std::ceil(secondsLeft));
    } else {
        std::snprintf(tail, sizeof tail, " %3d%%", percent);
    }
    const std::string head = phase.substr(0, static_cast<std::size_t>(std::max(width / 3, 10)));
    const int barWidth = std::max(
        10, width - static_cast<int>(head.size()) - static_cast<int>(std::string(tail).size()) - 5);
    const int filled = static_cast<int>(fraction * barWidth);
    return head + "  [" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(barWidth - filled), '-') + "]" + tail;
}

void ProgressBar::Update(double fraction) {
    if (!Enabled()) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuiet || (drawn_ && now - lastDraw_ < kRedraw)) return;
    fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
    const double spent = std::chrono::duration<double>(now - phaseStart_).count();
    const double left = fraction > 0.01 ? spent * (1.0 - fraction) / fraction : -1.0;
    const int width = TerminalWidth() - 1;
    std::string line = Line(phase_, fraction, left, width);
    line.resize(static_cast<std::size_t>(std::max(width, 0)), ' ');
    Put("\r" + line);
    drawn_ = true;
    lastDraw_ = now;
}

void ProgressBar::SetPhase(std::string phase) {
    phase_ = std::move(phase);
    phaseStart_ = Clock::now();
}

void ProgressBar::Finish() {
    if (!drawn_) return;
    Put("\r" + std::string(static_cast<std::size_t>(std::max(TerminalWidth() - 1, 0)), ' ') + "\r");
    drawn_ = false;
}

}  // namespace host
