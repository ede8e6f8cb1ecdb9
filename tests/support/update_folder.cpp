#include "tests/support/update_folder.h"

#include "update/header_keystream.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

ProductName NameOf(std::string_view eightCharacters)
{
    if (eightCharacters.size() != kProductNameSize)
        throw std::invalid_argument("a product name has 8 characters");
    ProductName name{};
    std::ranges::copy(eightCharacters, name.begin());
    return name;
}

void WriteFileBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

void WriteUpdateFile(const std::filesystem::path& path, const ProductName& name, std::span<const std::uint8_t> payload)
{
    // Scrambling is the same exclusive-or as descrambling.
    const ScrambledHeader header = DescrambleHeader(name);
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    WriteFileBytes(path, bytes);
}

UpdateImage OpenImage()
{
    UpdateImageOrRefusal opened = UpdateImage::FindAndOpen();
    if (!opened.HasImage())
        throw std::runtime_error("the update file was refused: " + std::to_string(static_cast<int>(opened.Refusal())));
    return std::move(opened.Image());
}

std::optional<UpdateFileRefusal> SearchRefusal()
{
    const UpdateImageOrRefusal opened = UpdateImage::FindAndOpen();
    if (opened.HasImage())
        return std::nullopt;
    return opened.Refusal();
}
