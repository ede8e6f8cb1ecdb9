#include "update/update_image.h"

#include "update/control_byte.h"
#include "update/header_keystream.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

namespace {

constexpr std::uint8_t kBlockFill = 0xFF;

// Blocks of the payload, the last one possibly short. Kept at 64 bits so
// that a count too large for the block count field shows as such.
std::uint64_t PayloadBlockCount(std::uint64_t payloadLength)
{
    return payloadLength / UpdateImage::kBlockSize + (payloadLength % UpdateImage::kBlockSize != 0 ? 1 : 0);
}

// The update file changed since it was measured at the opening.
UpdateFileError ChangedUnderTheTransfer()
{
    return UpdateFileError(std::make_error_code(std::errc::io_error));
}

}  // namespace

UpdateImage::UpdateImage(UpdateFile file, const ProductName& name, std::uint64_t payloadLength)
    : m_payload(std::move(file)),
      m_name(name),
      m_blockCount(static_cast<std::uint16_t>(PayloadBlockCount(payloadLength))),
      m_payloadLength(payloadLength),
      m_payloadLeft(payloadLength)
{
}

UpdateImage::UpdateImage(PayloadInMemory payload, const ProductName& name)
    : m_payload(payload),
      m_name(name),
      m_blockCount(static_cast<std::uint16_t>(PayloadBlockCount(payload.bytes->size()))),
      m_payloadLength(payload.bytes->size()),
      m_payloadLeft(payload.bytes->size())
{
}

UpdateImageOrRefusal UpdateImage::FindAndOpen()
{
    return FromOpenFile(UpdateFile::OpenFirstInWorkingDirectory());
}

UpdateImageOrRefusal UpdateImage::Open(const std::filesystem::path& path)
{
    return FromOpenFile(UpdateFile::Open(path));
}

// Files that would send a wrong image are refused here, before the user is
// asked and before anything goes out.
UpdateImageOrRefusal UpdateImage::FromOpenFile(UpdateFile file)
{
    if (!file.IsOpen())
        return UpdateFileRefusal::NoUsableFile;
    const std::optional<std::uint64_t> length = file.Length();
    if (!length)
        return UpdateFileRefusal::NoUsableFile;
    if (*length < kHeaderSize)
        return UpdateFileRefusal::ShorterThanHeader;
    const std::uint64_t payloadLength = *length - kHeaderSize;
    if (PayloadBlockCount(payloadLength) > kMaxBlockCount)
        return UpdateFileRefusal::TooManyBlocks;

    ScrambledHeader header{};
    try {
        if (file.Read(header) < header.size())
            return UpdateFileRefusal::ShorterThanHeader;
    } catch (const UpdateFileError&) {
        return UpdateFileRefusal::NoUsableFile;
    }
    return UpdateImage(std::move(file), DescrambleHeader(header), payloadLength);
}

std::wstring UpdateImage::NameText() const
{
    std::wstring text;
    for (const std::uint8_t byte : m_name)
        text.push_back(IsControlByte(byte) ? L' ' : static_cast<wchar_t>(byte));
    return text;
}

void UpdateImage::ReadNextBlock(Block block)
{
    std::ranges::fill(block, kBlockFill);
    const std::size_t expected = static_cast<std::size_t>(std::min<std::uint64_t>(m_payloadLeft, kBlockSize));
    // A short last block still asks for all 256 bytes, so that a file that
    // grew shows here; the fill past the payload is written again after it.
    if (ReadPayload(block) != expected)
        throw ChangedUnderTheTransfer();
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(expected), block.end(), kBlockFill);
    m_payloadLeft -= expected;
    if (m_payloadLeft == 0) {
        std::uint8_t beyond = 0;
        if (ReadPayload(std::span(&beyond, 1)) != 0)
            throw ChangedUnderTheTransfer();
    }
}

void UpdateImage::ReadPayloadIntoMemory()
{
    // Read block by block, so that the file is held to exactly the length
    // measured at the opening, as when it is sent straight from the file.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    bytes->reserve(static_cast<std::size_t>(m_payloadLeft));
    std::array<std::uint8_t, kBlockSize> block;
    while (m_payloadLeft > 0) {
        const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(m_payloadLeft, kBlockSize));
        ReadNextBlock(block);
        bytes->insert(bytes->end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(length));
    }
    m_payloadLeft = bytes->size();
    m_payload = PayloadInMemory{.bytes = std::move(bytes)};
}

UpdateImage UpdateImage::SharedCopy() const
{
    return UpdateImage(PayloadInMemory{.bytes = std::get<PayloadInMemory>(m_payload).bytes}, m_name);
}

std::size_t UpdateImage::ReadPayload(std::span<std::uint8_t> destination)
{
    if (UpdateFile* file = std::get_if<UpdateFile>(&m_payload))
        return file->Read(destination);
    PayloadInMemory& memory = std::get<PayloadInMemory>(m_payload);
    const std::size_t count = std::min(destination.size(), memory.bytes->size() - memory.offset);
    std::copy_n(memory.bytes->begin() + static_cast<std::ptrdiff_t>(memory.offset), count, destination.begin());
    memory.offset += count;
    return count;
}
