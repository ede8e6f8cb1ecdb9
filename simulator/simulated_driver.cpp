#include "simulated_driver.h"

#include <algorithm>
#include <utility>

namespace {

constexpr FT_STATUS FT_OTHER_ERROR = 18;
constexpr std::uint32_t kListModes = FT_LIST_NUMBER_ONLY | FT_LIST_BY_INDEX;

// "d2xx-trace.txt" becomes "d2xx-trace-KS000002.txt".
std::filesystem::path WithSerialNumber(const std::filesystem::path& path, const std::string& serialNumber)
{
    if (path.empty())
        return path;
    std::filesystem::path named = path;
    named.replace_filename(path.stem().string() + "-" + serialNumber + path.extension().string());
    return named;
}

}  // namespace

SimulatedDriver::SimulatedDriver(Scenario scenario, const std::filesystem::path& tracePath,
                                 const std::filesystem::path& imagePath)
    : m_scenario(std::move(scenario)),
      // A refused scenario always says why.
      m_trace(m_scenario.trace || !m_scenario.error.empty() ? tracePath : std::filesystem::path())
{
    if (!m_scenario.error.empty()) {
        m_trace.Line("scenario refused, every call fails: " + m_scenario.error);
        return;
    }
    if (m_scenario.declared.empty()) {
        m_adapters.push_back(std::make_unique<SimulatedAdapter>(0, m_scenario.Adapters().front(), m_trace, imagePath));
        return;
    }
    for (const DeclaredAdapter& declared : m_scenario.declared) {
        const std::filesystem::path adapterTrace =
            m_scenario.trace ? WithSerialNumber(tracePath, declared.spelledSerialNumber) : std::filesystem::path();
        m_adapterTraces.push_back(std::make_unique<Trace>(adapterTrace));
        const auto index = static_cast<std::uint32_t>(m_adapters.size());
        m_adapters.push_back(std::make_unique<SimulatedAdapter>(
            index, declared, *m_adapterTraces.back(), WithSerialNumber(imagePath, declared.spelledSerialNumber)));
    }
}

SimulatedCall SimulatedDriver::Begin(const char* entry, std::string arguments)
{
    const unsigned number = m_calls.Count(entry);
    if (!m_scenario.error.empty()) {
        SimulatedCall call(entry, std::move(arguments));
        call.scripted = FT_OTHER_ERROR;
        return call;
    }
    return ScriptedCall(m_scenario.FaultFor(entry, number), entry, std::move(arguments));
}

FT_STATUS SimulatedDriver::Finish(const SimulatedCall& call, FT_STATUS status, const std::string& result)
{
    return TraceCall(m_trace, call, status, result);
}

FT_STATUS SimulatedDriver::ListDevices(void* arg1, void* arg2, std::uint32_t flags)
{
    const auto index = reinterpret_cast<std::uintptr_t>(arg1);
    const bool byIndex = (flags & kListModes) == FT_LIST_BY_INDEX;
    if (byIndex && index < m_adapters.size())
        return m_adapters[index]->ListDevices(arg1, arg2, flags);

    std::lock_guard lock(m_mutex);
    const bool numberOnly = (flags & kListModes) == FT_LIST_NUMBER_ONLY;
    const SimulatedCall call =
        Begin("FT_ListDevices", (numberOnly ? HexNumber(index) : std::to_string(index)) + " " + HexNumber(flags));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (numberOnly) {
        *static_cast<std::uint32_t*>(arg1) = static_cast<std::uint32_t>(m_adapters.size());
        return Finish(call, FT_OK, "devices " + std::to_string(m_adapters.size()));
    }
    return Finish(call, byIndex ? FT_DEVICE_NOT_FOUND : FT_INVALID_PARAMETER);
}

FT_STATUS SimulatedDriver::Open(int deviceNumber, FT_HANDLE* handle)
{
    if (deviceNumber >= 0 && static_cast<std::size_t>(deviceNumber) < m_adapters.size())
        return m_adapters[static_cast<std::size_t>(deviceNumber)]->Open(deviceNumber, handle);

    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_Open", std::to_string(deviceNumber));
    return Finish(call, call.scripted.value_or(FT_DEVICE_NOT_FOUND));
}

// By serial number only: opening by description or location finds no device.
FT_STATUS SimulatedDriver::OpenEx(void* arg1, std::uint32_t flags, FT_HANDLE* handle)
{
    const bool bySerialNumber = flags == FT_OPEN_BY_SERIAL_NUMBER;
    // The serial number is a zero-terminated text; the other ways pass values
    // that are not read here.
    const std::string serialNumber = bySerialNumber ? static_cast<const char*>(arg1) : std::string();
    if (bySerialNumber) {
        const auto adapter = std::ranges::find(m_adapters, serialNumber, &SimulatedAdapter::SerialNumber);
        if (adapter != m_adapters.end())
            return (*adapter)->OpenEx(serialNumber, flags, handle);
    }

    std::lock_guard lock(m_mutex);
    const std::string argument = bySerialNumber ? serialNumber : HexNumber(reinterpret_cast<std::uintptr_t>(arg1));
    const SimulatedCall call = Begin("FT_OpenEx", argument + " " + std::to_string(flags));
    return Finish(call, call.scripted.value_or(FT_DEVICE_NOT_FOUND));
}

SimulatedAdapter* SimulatedDriver::AdapterWithHandle(FT_HANDLE handle)
{
    const auto adapter = std::ranges::find_if(m_adapters, [&](const auto& candidate) { return candidate->Owns(handle); });
    return adapter != m_adapters.end() ? adapter->get() : nullptr;
}

FT_STATUS SimulatedDriver::WithUnknownHandle(const char* entry, FT_HANDLE handle)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin(entry, HexNumber(reinterpret_cast<std::uintptr_t>(handle)));
    return Finish(call, call.scripted.value_or(FT_INVALID_HANDLE));
}

FT_STATUS SimulatedDriver::WithoutHandle(const char* entry, FT_STATUS normal)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin(entry, {});
    return Finish(call, call.scripted.value_or(normal));
}
