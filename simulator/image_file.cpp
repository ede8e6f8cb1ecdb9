#include "image_file.h"

#include <system_error>
#include <utility>
#include <vector>

ImageFile::ImageFile(std::filesystem::path path) : m_path(std::move(path))
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove(m_path, ignored);
}

void ImageFile::Start(std::uint16_t blockCount)
{
    if (m_path.empty())
        return;
    m_file.close();
    m_file.clear();
    m_file.open(m_path, std::ios::binary | std::ios::out | std::ios::trunc);
    const std::vector<char> erased(std::size_t{blockCount} * kBlockSize, '\xFF');
    m_file.write(erased.data(), static_cast<std::streamsize>(erased.size()));
    m_file.flush();
}

void ImageFile::Store(std::uint16_t blockNumber, std::span<const std::uint8_t, kBlockSize> block)
{
    if (!m_file.is_open())
        return;
    m_file.seekp(static_cast<std::streamoff>(std::size_t{blockNumber} * kBlockSize));
    m_file.write(reinterpret_cast<const char*>(block.data()), kBlockSize);
    m_file.flush();
}
