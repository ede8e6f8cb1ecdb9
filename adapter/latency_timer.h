// What asking a link for a latency timer came to. The adapter's chip holds
// the bytes it receives until a USB packet fills or the timer runs out, 16 ms
// unless set; a lower timer shortens every exchange.
#pragma once

#include <optional>

struct LatencyTimerSetting {
    enum class Notice {
        None,                // set as asked
        RaisedToTheLeast,    // 1 ms asked, 2 ms set: the least that D2XX takes
        Refused,             // the driver refused it; its own timer stays
        SetInstead,          // another value was set (1 ms through the low-latency flag)
        NothingSet,          // nothing could be set on this port
        NeedsAdministrator,  // Windows' COM driver keeps it where only an administrator may write
    };

    std::optional<unsigned> inForceMs;  // the timer now in force; nothing where it is unknown
    Notice notice = Notice::None;

    friend bool operator==(const LatencyTimerSetting&, const LatencyTimerSetting&) = default;
};
