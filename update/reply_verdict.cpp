#include "update/reply_verdict.h"

Verdict JudgeHeaderReply(const TransferReply& reply)
{
    if (reply.Status() == ReplyStatus::WriteFailed)
        return Verdict::WriteFailed;
    if (reply.Status() != ReplyStatus::Accepted)
        return Verdict::ProductMismatch;
    return Verdict::Accepted;
}

Verdict JudgeDataReply(const TransferReply& reply, const TransferPacket& packet)
{
    if (reply.Status() == ReplyStatus::WriteFailed)
        return Verdict::WriteFailed;
    if (reply.Status() != ReplyStatus::Accepted || !reply.EchoMatches(packet) || !reply.ChecksumValid())
        return Verdict::SendAgain;
    return Verdict::Accepted;
}
