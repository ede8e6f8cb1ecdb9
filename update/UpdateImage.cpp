#include "update/UpdateImage.h"

#include "update/HeaderKeystream.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr std::uint8_t kBlockFill = 0xFF;

// Blocks of the payload, the last one possibly short. Kept at 64 bits so
// that a count too large for the block count field shows as such.
std::uint64_t PayloadBlockCount(std::uint64_t fileLength)
{
    const std::uint64_t payloadLength = fileLength - UpdateImage::kHeaderSize;
    return payloadLength / UpdateImage::kBlockSize + (payloadLength % UpdateImage::kBlockSize != 0 ? 1 : 0);
}

}  // namespace

UpdateImage::UpdateImage(UpdateFile file, const ProductName& name, std::uint16_t blockCount)
    : m_file(std::move(file)), m_name(name), m_blockCount(blockCount)
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
    const std::uint64_t blockCount = PayloadBlockCount(*length);
    if (blockCount > kMaxBlockCount)
        return UpdateFileRefusal::TooManyBlocks;

    ScrambledHeader header{};
    try {
        if (file.Read(header) < header.size())
            return UpdateFileRefusal::ShorterThanHeader;
    } catch (const UpdateFileError&) {
        return UpdateFileRefusal::NoUsableFile;
    }
    return UpdateImage(std::move(file), DescrambleHeader(header), static_cast<std::uint16_t>(blockCount));
}

std::wstring UpdateImage::NameText() const
{
    std::wstring text;
    for (const std::uint8_t byte : m_name)
        text.push_back(byte == 0 ? L' ' : static_cast<wchar_t>(byte));
    return text;
}

std::wstring UpdateImage::ConfirmationText(std::wstring_view question) const
{
    return NameText().append(question);
}

void UpdateImage::ReadNextBlock(Block block)
{
    std::ranges::fill(block, kBlockFill);
    m_file.Read(block);
}
