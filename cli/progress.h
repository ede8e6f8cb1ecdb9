// The progress of one transfer as the terminal and the JSON lines report
// it, and the throttle that keeps reports to ten a second.
#pragma once

#include "cli/texts.h"

#include <chrono>
#include <cstdint>
#include <string>

using ProgressClock = std::chrono::steady_clock;

// Ten reports a second at most: more would cost a slow terminal or a reader
// of the JSON lines more than they tell.
inline constexpr ProgressClock::duration kReportInterval = std::chrono::milliseconds(100);

struct ProgressState {
    std::uint32_t blocksDone = 0;
    std::uint32_t blocks = 0;
    ProgressClock::duration elapsed{};  // since the product took the header
};

// Lets a report through when the last one it let through is at least one
// interval old.
class ReportThrottle {
public:
    // True when a report is due now; it then counts as made.
    bool TakeIfDue(ProgressClock::time_point now);
    // How long until the next report is due; zero when it is due now.
    ProgressClock::duration TimeUntilDue(ProgressClock::time_point now) const;

private:
    bool m_reported = false;
    ProgressClock::time_point m_last{};
};

// "[##########----------] 128/256 blocks  50%    6.1 kB/s 0:05 left" in
// English: the rate counts the payload's bytes.
std::string ProgressBarLine(const ProgressState& state, const Texts& texts);

// Whole percent of the blocks done; an image of no blocks is done at once.
int PercentDone(const ProgressState& state);
