// What a reply means for the transfer. The header reply and a data reply are
// judged by different rules.
#pragma once

#include "update/transfer_packet.h"
#include "update/transfer_reply.h"

enum class Verdict {
    Accepted,         // go on with the next block
    SendAgain,        // send the same packet again, unchanged
    WriteFailed,      // the product could not store the image: the transfer ends
    ProductMismatch,  // the image is not meant for this product: the transfer ends
};

// By the status alone: the header reply's echo and checksum are not looked at.
// Never SendAgain.
Verdict JudgeHeaderReply(const TransferReply& reply);

// Status first, so that a write failure ends the transfer even in a reply
// with a bad checksum; then the echo of `packet`'s block number, then the
// checksum. Never ProductMismatch.
Verdict JudgeDataReply(const TransferReply& reply, const TransferPacket& packet);
