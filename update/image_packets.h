// Filling the transfer's one packet from the update image: first as the
// header packet, then in place for each data block in turn.
#pragma once

#include "update/transfer_packet.h"
#include "update/update_image.h"

#include <cstdint>

// Writes every field: the product name and block count that stay for the
// whole transfer, block number 0xFFFF and a payload of zeros.
void BuildHeaderPacket(TransferPacket& packet, const UpdateImage& image);

// Rewrites block number, payload and checksum for block `number`, reading
// the image's next block into the payload. Blocks are read front to back, so
// `number` must follow the block built before it (0 after the header).
// Raises UpdateFileError when the read fails.
void BuildDataPacket(TransferPacket& packet, UpdateImage& image, std::uint16_t number);
