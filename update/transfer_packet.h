// The 269-byte packet that carries the header or one block of an update image
// to the product. Fixed layout, big-endian fields, no framing bytes:
//
//   offset   0   8 bytes  product name
//            8   2 bytes  block number (0xFFFF: the header packet)
//           10   2 bytes  block count
//           12 256 bytes  payload
//          268   1 byte   Checksum8 of bytes 0 to 267
//
// One packet serves a whole transfer: name and block count are written once,
// block number, payload and checksum for every block.
#pragma once

#include "update/product_name.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class TransferPacket {
public:
    static constexpr std::size_t kSize = 269;
    static constexpr std::size_t kPayloadSize = 256;
    static constexpr std::uint16_t kHeaderBlockNumber = 0xFFFF;

    static constexpr std::size_t kNameOffset = 0;
    static constexpr std::size_t kBlockNumberOffset = 8;
    static constexpr std::size_t kBlockCountOffset = 10;
    static constexpr std::size_t kPayloadOffset = 12;
    static constexpr std::size_t kChecksumOffset = 268;

    void SetProductName(const ProductName& name);
    void SetBlockNumber(std::uint16_t number);
    void SetBlockCount(std::uint16_t count);
    void FillPayload(std::uint8_t value);
    std::span<std::uint8_t, kPayloadSize> Payload();
    // Stores the checksum; called once the other fields are final, before the
    // packet is first sent. A packet sent again is sent unchanged.
    void Finalize();

    // The whole packet in wire order.
    std::span<const std::uint8_t, kSize> Bytes() const { return m_bytes; }
    // The block number as it stands on the wire, which the reply echoes.
    std::span<const std::uint8_t, 2> BlockNumberBytes() const;

private:
    void SetField(std::size_t offset, std::uint16_t value);

    std::array<std::uint8_t, kSize> m_bytes{};
};
