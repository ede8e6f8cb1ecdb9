// Update files in the working folder, written as the tool that makes them
// would write them (the product name scrambled into the 8-byte header, the
// payload behind it as it is), and what a search of the folder finds.
#pragma once

#include "update/product_name.h"
#include "update/update_image.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

ProductName NameOf(std::string_view eightCharacters);

void WriteFileBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

void WriteUpdateFile(const std::filesystem::path& path, const ProductName& name,
                     std::span<const std::uint8_t> payload = {});

// The image that a search of the working folder opens; raises when it is
// refused.
UpdateImage OpenImage();

// Why a search of the working folder gives no image; nothing when it gives
// one (which it closes again).
std::optional<UpdateFileRefusal> SearchRefusal();
