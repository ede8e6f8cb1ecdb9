#include "update/UpdateImage.h"

#include "update/HeaderKeystream.h"

#include <algorithm>
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

bool IsControlByte(std::uint8_t byte)
{
    return byte < 0x20 || byte == 0x7F;
}

// The update file changed since it was measured at the opening.
UpdateFileError ChangedUnderTheTransfer()
{
    return UpdateFileError(std::make_error_code(std::errc::io_error));
}

}  // namespace

UpdateImage::UpdateImage(UpdateFile file, const ProductName& name, std::uint64_t payloadLength)
    : m_file(std::move(file)),
      m_name(name),
      m_blockCount(static_cast<std::uint16_t>(PayloadBlockCount(payloadLength))),
      m_payloadLeft(payloadLength)
{
}

// Files that would send a wrong image are refused here, before the user is
// asked and before anything goes out.
UpdateImageOrRefusal UpdateImage::FindAndOpen()
{
    UpdateFile file = UpdateFile::OpenFirstInWorkingDirectory();
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

std::wstring UpdateImage::ConfirmationText(std::wstring_view question) const
{
    return NameText().append(question);
}

void UpdateImage::ReadNextBlock(Block block)
{
    std::ranges::fill(block, kBlockFill);
    const std::size_t expected = static_cast<std::size_t>(std::min<std::uint64_t>(m_payloadLeft, kBlockSize));
    // A short last block still asks for all 256 bytes, so that a file that
    // grew shows here; the fill past the payload is written again after it.
    if (m_file.Read(block) != expected)
        throw ChangedUnderTheTransfer();
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(expected), block.end(), kBlockFill);
    m_payloadLeft -= expected;
    if (m_payloadLeft == 0) {
        std::uint8_t beyond = 0;
        if (m_file.Read(std::span(&beyond, 1)) != 0)
            throw ChangedUnderTheTransfer();
    }
}
