// How long an update takes on the serial line when every packet goes
// through the first time.
#pragma once

#include "cli/texts.h"

#include <chrono>
#include <cstdint>
#include <string>

// The header's exchange and one per block: the packet out and the reply
// back, 10 bits a byte (start, 8 data, stop), and the adapter's latency
// timer, which holds each reply back by 16 ms.
std::chrono::milliseconds LineTimeOfUpdate(std::uint32_t blocks, std::uint32_t lineRate);

// "11 s", "1 min 17 s", "3 h 2 min 5 s" in English.
std::string DurationText(std::chrono::milliseconds duration, const Texts& texts);
