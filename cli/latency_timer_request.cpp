#include "cli/latency_timer_request.h"

#include <string>

namespace {

std::optional<MessageId> MessageOf(LatencyTimerSetting::Notice notice)
{
    switch (notice) {
    case LatencyTimerSetting::Notice::RaisedToTheLeast:
        return MessageId::LatencyTimerRaised;
    case LatencyTimerSetting::Notice::Refused:
        return MessageId::LatencyTimerRefused;
    case LatencyTimerSetting::Notice::SetInstead:
        return MessageId::LatencyTimerInstead;
    case LatencyTimerSetting::Notice::NothingSet:
        return MessageId::LatencyTimerNotSet;
    case LatencyTimerSetting::Notice::NeedsAdministrator:
        return MessageId::LatencyTimerNeedsAdministrator;
    case LatencyTimerSetting::Notice::None:
        break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<unsigned> LatencyTimerRequest::ApplyTo(ComDevice& link)
{
    if (!m_milliseconds)
        return std::nullopt;
    const LatencyTimerSetting setting = link.SetLatencyTimer(*m_milliseconds);
    const std::optional<MessageId> message = MessageOf(setting.notice);
    const std::lock_guard lock(m_mutex);
    if (message && m_said.insert(setting.notice).second)
        m_streams.Error(m_texts(*message, {std::to_string(*m_milliseconds)}) + '\n');
    return setting.inForceMs;
}
