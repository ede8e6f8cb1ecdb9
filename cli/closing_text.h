// The English words of the window program's messages, which update-cli's
// closing lines use: from the texts that the resource script reads too.
#pragma once

#include "app/resource.h"

#include <cstdint>
#include <string>

// The text of string `stringId` (IDS_...); the adapter texts are those of the
// generation that runs at `lineRate`. Empty for a string that closes no
// update.
std::string ClosingText(unsigned stringId, std::uint32_t lineRate);
