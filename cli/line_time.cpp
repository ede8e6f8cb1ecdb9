#include "cli/line_time.h"

#include "update/transfer_packet.h"
#include "update/transfer_reply.h"

namespace {

constexpr std::uint64_t kBitsPerByte = 10;
constexpr std::uint64_t kLatencyTimerMs = 16;

}  // namespace

std::chrono::milliseconds LineTimeOfUpdate(std::uint32_t blocks, std::uint32_t lineRate)
{
    const std::uint64_t exchanges = std::uint64_t{blocks} + 1;
    const std::uint64_t bitsPerExchange = (TransferPacket::kSize + TransferReply::kSize) * kBitsPerByte;
    const std::uint64_t lineMs = (exchanges * bitsPerExchange * 1000 + lineRate - 1) / lineRate;
    return std::chrono::milliseconds(lineMs + exchanges * kLatencyTimerMs);
}

std::string DurationText(std::chrono::milliseconds duration, const Texts& texts)
{
    const auto seconds = (duration.count() + 500) / 1000;
    std::string text;
    if (seconds >= 3600)
        text += texts(MessageId::DurationHours, {std::to_string(seconds / 3600)});
    if (seconds >= 60)
        text += texts(MessageId::DurationMinutes, {std::to_string(seconds / 60 % 60)});
    return text + texts(MessageId::DurationSeconds, {std::to_string(seconds % 60)});
}
