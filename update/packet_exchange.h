// One round trip with the product: send a finalized packet and collect the
// product's reply. The same for every packet, the first time and every time
// it is sent again.
#pragma once

#include "adapter/kestro2.h"
#include "update/transfer_packet.h"
#include "update/transfer_reply.h"

// Drops whatever the adapter has received, writes the packet, reads back and
// drops the packet's own echo from the line, then reads the reply. The
// adapter's exceptions pass through: a failing purge raises
// Kestro2::ConnectionError, a failing write Kestro2::WriteError, and a read
// that fails or falls short within the read time-out Kestro2::ReadError.
void ExchangePacket(Kestro2& adapter, const TransferPacket& packet, TransferReply& reply);
