// The JSON lines of --json: one object per line, nothing else on standard
// output. An adapter whose serial number is not known shows as null.
#pragma once

#include "cli/outcome.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// {"event":"progress","adapter":SERIAL,"block":k,"blocks":n}: k blocks of n
// taken by the product.
std::string ProgressEventLine(const std::optional<std::string>& adapter, std::uint32_t block, std::uint32_t blocks);

// {"event":"result","adapter":SERIAL,"code":C,"message":TEXT,"latency_timer":MS}: MS
// null where the latency timer in force is not known.
std::string ResultEventLine(const std::optional<std::string>& adapter, ExitCode code, std::string_view message,
                            std::optional<unsigned> latencyTimerMs = std::nullopt);
