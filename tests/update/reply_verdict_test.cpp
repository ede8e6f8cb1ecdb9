// Judging the product's replies.
#include "tests/support/param_name.h"
#include "update/reply_verdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>

namespace {

struct JudgedReply {
    const char* name;
    std::uint16_t blockNumber;  // of the packet answered; 0xFFFF is the header packet
    std::array<std::uint8_t, 4> reply;
    Verdict verdict;
};

void PrintTo(const JudgedReply& judged, std::ostream* out)
{
    *out << judged.name;
}

Verdict Judge(const JudgedReply& judged)
{
    TransferPacket packet;
    packet.SetBlockNumber(judged.blockNumber);
    TransferReply reply;
    std::copy(judged.reply.begin(), judged.reply.end(), reply.Bytes().begin());
    if (judged.blockNumber == TransferPacket::kHeaderBlockNumber)
        return JudgeHeaderReply(reply);
    return JudgeDataReply(reply, packet);
}

}  // namespace

class ReplyVerdict : public testing::TestWithParam<JudgedReply> {};

TEST_P(ReplyVerdict, FollowsTheRulesOfItsPacket)
{
    EXPECT_EQ(Judge(GetParam()), GetParam().verdict);
}

// The header reply is judged by its status alone; a data reply by its
// status, then its echo, then its checksum.
INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyVerdict,
    testing::Values(
        JudgedReply{"HeaderAcceptedWithGarbage", 0xFFFF, {0x12, 0x34, 0x00, 0x99}, Verdict::Accepted},
        JudgedReply{"HeaderWriteFailed", 0xFFFF, {0xFF, 0xFF, 0x03, 0x01}, Verdict::WriteFailed},
        JudgedReply{"HeaderStatus1", 0xFFFF, {0xFF, 0xFF, 0x01, 0xFF}, Verdict::ProductMismatch},
        JudgedReply{"HeaderStatus2", 0xFFFF, {0xFF, 0xFF, 0x02, 0x00}, Verdict::ProductMismatch},
        JudgedReply{"HeaderStatus4", 0xFFFF, {0xFF, 0xFF, 0x04, 0x02}, Verdict::ProductMismatch},
        JudgedReply{"DataAccepted", 2, {0x00, 0x02, 0x00, 0x02}, Verdict::Accepted},
        JudgedReply{"DataWriteFailedWithWrongChecksum", 2, {0x00, 0x02, 0x03, 0x00}, Verdict::WriteFailed},
        JudgedReply{"DataWriteFailedWithWrongEcho", 2, {0x12, 0x34, 0x03, 0x49}, Verdict::WriteFailed},
        JudgedReply{"DataEchoByteSwapped", 1, {0x01, 0x00, 0x00, 0x01}, Verdict::SendAgain},
        JudgedReply{"DataEchoOfAnotherBlock", 2, {0x00, 0x01, 0x00, 0x01}, Verdict::SendAgain},
        JudgedReply{"DataWrongChecksum", 2, {0x00, 0x02, 0x00, 0x03}, Verdict::SendAgain},
        JudgedReply{"DataStatus5", 2, {0x00, 0x02, 0x05, 0x07}, Verdict::SendAgain},
        JudgedReply{"DataStatus1", 2, {0x00, 0x02, 0x01, 0x03}, Verdict::SendAgain}),
    ParamName<JudgedReply>);
