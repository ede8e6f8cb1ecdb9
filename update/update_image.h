// The update image: the open update file together with what its length and
// its header say, the product name and the number of 256-byte payload
// blocks. The payload is read block by block, front to back, and sent as it
// is; only the header is scrambled. For several transfers at once, the
// payload can be read into memory once and shared by an image per transfer.
#pragma once

#include "update/product_name.h"
#include "update/update_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// Why finding the update file gave no image. Nothing has been sent then.
enum class UpdateFileRefusal {
    NoUsableFile,       // no "*.bin" entry, or the first one cannot be opened or read
    ShorterThanHeader,  // fewer than 8 bytes: no whole product name
    TooManyBlocks,      // over 65535 blocks: the 16-bit block count would cut the image short
};

class UpdateImageOrRefusal;

class UpdateImage {
public:
    static constexpr std::size_t kHeaderSize = kProductNameSize;
    static constexpr std::size_t kBlockSize = 256;
    // The block count travels as a 16-bit field.
    static constexpr std::uint64_t kMaxBlockCount = 0xFFFF;

    using Block = std::span<std::uint8_t, kBlockSize>;

    // Finds and opens the update file in the working directory and reads its
    // header. The image keeps the file open until it goes.
    static UpdateImageOrRefusal FindAndOpen();
    // Opens the update file at `path`, by the same rules and with the same
    // refusals as the search.
    static UpdateImageOrRefusal Open(const std::filesystem::path& path);

    const ProductName& Name() const { return m_name; }
    // Each byte the character of the same value (ISO 8859-1), always 8
    // characters; a control byte (0x00 to 0x1F, 0x7F) shows as a blank, so
    // that a display that ends text at a zero, or breaks lines, still shows
    // the name and the question whole.
    std::wstring NameText() const;
    std::uint16_t BlockCount() const { return m_blockCount; }
    // The bytes behind the header, as measured at the opening.
    std::uint64_t PayloadLength() const { return m_payloadLength; }

    // Fills `block` with 0xFF, then reads the next block of the payload into
    // it: past the payload's end it stays 0xFF. The read must deliver exactly
    // the payload bytes left as measured at the opening (256, or fewer for
    // the last block), and the file must end after the last block: a file
    // that shrinks or grows under the transfer would send an image other than
    // the one counted. Raises UpdateFileError for that and for a failing read.
    void ReadNextBlock(Block block);

    // Reads the whole payload into memory, by the rules of ReadNextBlock,
    // and closes the file; the image then reads its blocks from memory.
    // Only before the first block is read. Raises UpdateFileError.
    void ReadPayloadIntoMemory();
    // A fresh image over the same payload in memory, which it reads from its
    // first block on, apart from this one; for a transfer on another thread.
    // Only after ReadPayloadIntoMemory.
    UpdateImage SharedCopy() const;

private:
    // The payload read into memory, and how far this image has read it.
    struct PayloadInMemory {
        std::shared_ptr<const std::vector<std::uint8_t>> bytes;
        std::size_t offset = 0;
    };

    UpdateImage(UpdateFile file, const ProductName& name, std::uint64_t payloadLength);
    UpdateImage(PayloadInMemory payload, const ProductName& name);
    static UpdateImageOrRefusal FromOpenFile(UpdateFile file);
    // Reads on from where the last read ended; returns how many bytes arrived.
    std::size_t ReadPayload(std::span<std::uint8_t> destination);

    std::variant<UpdateFile, PayloadInMemory> m_payload;
    ProductName m_name;
    std::uint16_t m_blockCount;
    std::uint64_t m_payloadLength;
    std::uint64_t m_payloadLeft;  // bytes not yet read
};

// What finding the update file yields: an open image, or why there is none.
class UpdateImageOrRefusal {
public:
    UpdateImageOrRefusal(UpdateImage image) : m_outcome(std::move(image)) {}
    UpdateImageOrRefusal(UpdateFileRefusal refusal) : m_outcome(refusal) {}

    bool HasImage() const { return std::holds_alternative<UpdateImage>(m_outcome); }
    // Each raises std::bad_variant_access when asked for what isn't there.
    UpdateImage& Image() { return std::get<UpdateImage>(m_outcome); }
    UpdateFileRefusal Refusal() const { return std::get<UpdateFileRefusal>(m_outcome); }

private:
    std::variant<UpdateImage, UpdateFileRefusal> m_outcome;
};
