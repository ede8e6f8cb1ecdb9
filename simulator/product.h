// The product on the far side of the adapter's serial line. It checks every
// packet, keeps the image that it accepts, and answers each packet with a
// 4-byte reply: the packet's block number bytes, a status and a checksum.
#pragma once

#include "image_file.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

class SimulatedProduct {
public:
    static constexpr std::size_t kPacketSize = 269;
    static constexpr std::size_t kReplySize = 4;
    static constexpr std::size_t kNameSize = 8;
    static constexpr std::size_t kBlockNumberOffset = 8;
    static constexpr std::size_t kBlockCountOffset = 10;
    static constexpr std::size_t kPayloadOffset = 12;
    static constexpr std::size_t kChecksumOffset = 268;
    static constexpr std::uint16_t kHeaderBlockNumber = 0xFFFF;

    // The statuses that the product gives of its own accord.
    static constexpr std::uint8_t kAccepted = 0;
    static constexpr std::uint8_t kOtherProduct = 1;  // the header names another product
    static constexpr std::uint8_t kRefused = 5;       // a damaged packet, or one that doesn't fit the header

    using Name = std::array<std::uint8_t, kNameSize>;
    using Packet = std::array<std::uint8_t, kPacketSize>;
    using Reply = std::array<std::uint8_t, kReplySize>;

    struct Answer {
        std::uint8_t verdict;  // the product's own status for the packet
        Reply reply;
    };

    // Without a name the product takes a header with any name.
    SimulatedProduct(std::optional<Name> name, const std::filesystem::path& imagePath);

    // Judges the packet and answers it, with `scriptedStatus` in place of the
    // verdict when there is one. The product acts on the packet (a header
    // starts a new image, a block is stored) only when both the verdict and
    // the reply say accepted.
    Answer Receive(const Packet& packet, std::optional<std::uint8_t> scriptedStatus = std::nullopt);

private:
    struct Header {
        Name name;
        std::uint16_t blockCount;
    };

    std::uint8_t Judge(const Packet& packet) const;
    void Take(const Packet& packet);

    std::optional<Name> m_name;
    std::optional<Header> m_header;  // the header accepted last
    ImageFile m_image;
};
