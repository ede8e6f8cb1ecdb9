// One round trip with the product: send a finalized packet and collect the
// product's reply. The same for every packet, the first time and every time
// it is sent again.
#pragma once

#include "adapter/com_device.h"
#include "update/transfer_packet.h"
#include "update/transfer_reply.h"

// Drops whatever the link has received, writes the packet, reads back and
// drops the packet's own echo from the line, then reads the reply. The
// link's exceptions pass through: a failing purge raises
// ComDevice::ConnectionError, a failing write ComDevice::WriteError, and a
// read that fails or falls short within the read time-out
// ComDevice::ReadError.
void ExchangePacket(ComDevice& link, const TransferPacket& packet, TransferReply& reply);
