#include "cli/json_lines.h"

#include <nlohmann/json.hpp>

namespace {

nlohmann::ordered_json AdapterField(const std::optional<std::string>& adapter)
{
    return adapter ? nlohmann::ordered_json(*adapter) : nlohmann::ordered_json(nullptr);
}

// A serial number or text that is not UTF-8 still makes a line of JSON:
// bytes that are not are replaced.
std::string Line(const nlohmann::ordered_json& object)
{
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
}

}  // namespace

std::string ProgressEventLine(const std::optional<std::string>& adapter, std::uint32_t block, std::uint32_t blocks)
{
    return Line({{"event", "progress"}, {"adapter", AdapterField(adapter)}, {"block", block}, {"blocks", blocks}});
}

std::string ResultEventLine(const std::optional<std::string>& adapter, ExitCode code, std::string_view message,
                            std::optional<unsigned> latencyTimerMs)
{
    return Line({{"event", "result"},
                 {"adapter", AdapterField(adapter)},
                 {"code", static_cast<int>(code)},
                 {"message", message},
                 {"latency_timer", latencyTimerMs ? nlohmann::ordered_json(*latencyTimerMs) : nlohmann::ordered_json(nullptr)}});
}
