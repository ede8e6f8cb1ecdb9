#include "cli/progress.h"

#include "update/update_image.h"

#include <cstdio>

namespace {

constexpr int kBarWidth = 20;

double Seconds(ProgressClock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// "1:05"; "--:--" while there is nothing to tell it from.
std::string MinutesAndSeconds(double seconds)
{
    if (seconds < 0)
        return "--:--";
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

bool ReportThrottle::TakeIfDue(ProgressClock::time_point now)
{
    if (TimeUntilDue(now) > ProgressClock::duration::zero())
        return false;
    m_reported = true;
    m_last = now;
    return true;
}

ProgressClock::duration ReportThrottle::TimeUntilDue(ProgressClock::time_point now) const
{
    if (!m_reported || now - m_last >= kReportInterval)
        return ProgressClock::duration::zero();
    return kReportInterval - (now - m_last);
}

int PercentDone(const ProgressState& state)
{
    if (state.blocks == 0)
        return 100;
    return static_cast<int>(std::uint64_t{state.blocksDone} * 100 / state.blocks);
}

std::string ProgressBarLine(const ProgressState& state, const Texts& texts)
{
    const int filled = state.blocks == 0 ? kBarWidth
                                         : static_cast<int>(std::uint64_t{state.blocksDone} * kBarWidth / state.blocks);
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kBarWidth - filled), '-');
    const double elapsed = Seconds(state.elapsed);
    const bool measured = state.blocksDone > 0 && elapsed > 0;
    const double bytesPerSecond = measured ? state.blocksDone * double{UpdateImage::kBlockSize} / elapsed : 0;
    const double secondsLeft = measured ? (state.blocks - state.blocksDone) * elapsed / state.blocksDone : -1;

    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%3d%% %6.1f kB/s", PercentDone(state), bytesPerSecond / 1000);
    return '[' + bar + "] " +
           texts(MessageId::ProgressBlocks, {std::to_string(state.blocksDone), std::to_string(state.blocks)}) + ' ' +
           numbers + ' ' + texts(MessageId::ProgressTimeLeft, {MinutesAndSeconds(secondsLeft)});
}
