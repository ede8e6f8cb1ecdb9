// The latency timer that --latency-timer asks every link for, and what that
// came to, said on standard error once a run however many links say it.
#pragma once

#include "adapter/com_device.h"
#include "cli/standard_streams.h"
#include "cli/texts.h"

#include <mutex>
#include <optional>
#include <set>

class LatencyTimerRequest {
public:
    LatencyTimerRequest(std::optional<unsigned> milliseconds, StandardStreams& streams, const Texts& texts)
        : m_milliseconds(milliseconds), m_streams(streams), m_texts(texts)
    {
    }

    // Asks `link`, which is open, and returns the timer in force; nothing
    // where none was asked for or it is not known.
    std::optional<unsigned> ApplyTo(ComDevice& link);

private:
    std::optional<unsigned> m_milliseconds;
    StandardStreams& m_streams;
    const Texts& m_texts;
    std::mutex m_mutex;
    std::set<LatencyTimerSetting::Notice> m_said;
};
