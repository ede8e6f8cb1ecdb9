// The 35 entry points of the D2XX driver library, with the vendor's
// signatures, answered by the simulated adapters. Which of them the library
// exports is decided when it is linked (see CMakeLists.txt).
#include "adapter/d2xx.h"
#include "host_meter.h"
#include "library_folder.h"
#include "simulated_driver.h"

#include <cstdlib>
#include <fstream>
#include <type_traits>

namespace {

constexpr char kScenarioVariable[] = "D2XX_SIM_SCENARIO";
constexpr char kTraceVariable[] = "D2XX_SIM_TRACE";
constexpr char kImageVariable[] = "D2XX_SIM_IMAGE";
constexpr char kMeterVariable[] = "D2XX_SIM_METER";
constexpr char kDefaultScenarioFile[] = "d2xx-scenario.txt";
constexpr char kDefaultTraceFile[] = "d2xx-trace.txt";
constexpr char kDefaultImageFile[] = "d2xx-image.bin";
constexpr std::uint32_t kLibraryVersion = 0x00030115;  // 3.01.15
constexpr std::uint32_t kDriverVersion = 0x00020812;   // 2.08.12

std::filesystem::path PathFromEnvironment(const char* variable, const char* defaultFile)
{
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0')
        return value;
    return LibraryFolder() / defaultFile;
}

// A named scenario file must exist; without one, the default file is
// optional and its absence means a healthy adapter and product.
Scenario LoadScenario()
{
    const bool named = std::getenv(kScenarioVariable) != nullptr;
    const std::filesystem::path path = PathFromEnvironment(kScenarioVariable, kDefaultScenarioFile);
    std::ifstream file(path);
    if (!file) {
        Scenario scenario;
        if (named)
            scenario.error = "cannot read " + path.string();
        return scenario;
    }
    return ParseScenario(file);
}

// Made on the first call into the library, so that a process that sets the
// environment before that call is heard; threads that make that call
// together wait for one driver.
SimulatedDriver& Driver()
{
    static SimulatedDriver driver = [] {
        const char* meter = std::getenv(kMeterVariable);
        StartHostMeter(meter != nullptr ? meter : "");
        return SimulatedDriver(LoadScenario(), PathFromEnvironment(kTraceVariable, kDefaultTraceFile),
                               PathFromEnvironment(kImageVariable, kDefaultImageFile));
    }();
    return driver;
}

// An entry point with a handle that the program looks up but never calls.
FT_STATUS WithHandle(const char* entry, FT_HANDLE handle)
{
    return Driver().OnAdapter(entry, &SimulatedAdapter::WithHandle, handle, entry);
}

template <typename T>
FT_STATUS WithOutput(FT_STATUS status, T* output, T value)
{
    if (status == FT_OK && output != nullptr)
        *output = value;
    return status;
}

}  // namespace

extern "C" {

FT_STATUS D2XX_API FT_Open(int deviceNumber, FT_HANDLE* handle)
{
    return Driver().Open(deviceNumber, handle);
}

FT_STATUS D2XX_API FT_OpenEx(void* arg1, std::uint32_t flags, FT_HANDLE* handle)
{
    return Driver().OpenEx(arg1, flags, handle);
}

FT_STATUS D2XX_API FT_ListDevices(void* arg1, void* arg2, std::uint32_t flags)
{
    return Driver().ListDevices(arg1, arg2, flags);
}

FT_STATUS D2XX_API FT_Close(FT_HANDLE handle)
{
    return Driver().OnAdapter("FT_Close", &SimulatedAdapter::Close, handle);
}

FT_STATUS D2XX_API FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* received)
{
    return Driver().OnAdapter("FT_Read", &SimulatedAdapter::Read, handle, buffer, count, received);
}

FT_STATUS D2XX_API FT_Write(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* written)
{
    return Driver().OnAdapter("FT_Write", &SimulatedAdapter::Write, handle, buffer, count, written);
}

FT_STATUS D2XX_API FT_ResetDevice(FT_HANDLE handle)
{
    return WithHandle("FT_ResetDevice", handle);
}

FT_STATUS D2XX_API FT_Purge(FT_HANDLE handle, std::uint32_t mask)
{
    return Driver().OnAdapter("FT_Purge", &SimulatedAdapter::Purge, handle, mask);
}

FT_STATUS D2XX_API FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    return Driver().OnAdapter("FT_SetTimeouts", &SimulatedAdapter::SetTimeouts, handle, readTimeoutMs, writeTimeoutMs);
}

FT_STATUS D2XX_API FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t* amountInRxQueue)
{
    return WithOutput(WithHandle("FT_GetQueueStatus", handle), amountInRxQueue, 0u);
}

FT_STATUS D2XX_API FT_SetDtr(FT_HANDLE handle)
{
    return WithHandle("FT_SetDtr", handle);
}

FT_STATUS D2XX_API FT_ClrDtr(FT_HANDLE handle)
{
    return WithHandle("FT_ClrDtr", handle);
}

FT_STATUS D2XX_API FT_SetRts(FT_HANDLE handle)
{
    return WithHandle("FT_SetRts", handle);
}

FT_STATUS D2XX_API FT_ClrRts(FT_HANDLE handle)
{
    return WithHandle("FT_ClrRts", handle);
}

FT_STATUS D2XX_API FT_GetModemStatus(FT_HANDLE handle, std::uint32_t* modemStatus)
{
    return WithOutput(WithHandle("FT_GetModemStatus", handle), modemStatus, 0u);
}

FT_STATUS D2XX_API FT_SetChars(FT_HANDLE handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t)
{
    return WithHandle("FT_SetChars", handle);
}

FT_STATUS D2XX_API FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t milliseconds)
{
    return Driver().OnAdapter("FT_SetLatencyTimer", &SimulatedAdapter::SetLatencyTimer, handle, milliseconds);
}

FT_STATUS D2XX_API FT_GetLatencyTimer(FT_HANDLE handle, std::uint8_t* latencyMs)
{
    return WithOutput(WithHandle("FT_GetLatencyTimer", handle), latencyMs, std::uint8_t{16});
}

FT_STATUS D2XX_API FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                             std::uint8_t parity)
{
    return Driver().OnAdapter("FT_SetDataCharacteristics", &SimulatedAdapter::SetDataCharacteristics, handle, wordLength, stopBits, parity);
}

FT_STATUS D2XX_API FT_SetFlowControl(FT_HANDLE handle, std::uint16_t, std::uint8_t, std::uint8_t)
{
    return WithHandle("FT_SetFlowControl", handle);
}

FT_STATUS D2XX_API FT_SetBreakOn(FT_HANDLE handle)
{
    return WithHandle("FT_SetBreakOn", handle);
}

FT_STATUS D2XX_API FT_SetBreakOff(FT_HANDLE handle)
{
    return WithHandle("FT_SetBreakOff", handle);
}

FT_STATUS D2XX_API FT_ResetPort(FT_HANDLE handle)
{
    return WithHandle("FT_ResetPort", handle);
}

FT_STATUS D2XX_API FT_GetDeviceInfo(FT_HANDLE handle, FT_DEVICE* device, std::uint32_t* id, char* serialNumber,
                                    char* description, void*)
{
    const FT_STATUS status = WithHandle("FT_GetDeviceInfo", handle);
    WithOutput(status, device, FT_DEVICE{0});
    WithOutput(status, id, 0u);
    WithOutput(status, serialNumber, '\0');
    WithOutput(status, description, '\0');
    return status;
}

FT_STATUS D2XX_API FT_EE_UASize(FT_HANDLE handle, std::uint32_t* size)
{
    return WithOutput(WithHandle("FT_EE_UASize", handle), size, 0u);
}

FT_STATUS D2XX_API FT_EE_UARead(FT_HANDLE handle, std::uint8_t*, std::uint32_t, std::uint32_t* bytesRead)
{
    return WithOutput(WithHandle("FT_EE_UARead", handle), bytesRead, 0u);
}

FT_STATUS D2XX_API FT_EE_UAWrite(FT_HANDLE handle, std::uint8_t*, std::uint32_t)
{
    return WithHandle("FT_EE_UAWrite", handle);
}

FT_STATUS D2XX_API FT_SetBitMode(FT_HANDLE handle, std::uint8_t, std::uint8_t)
{
    return WithHandle("FT_SetBitMode", handle);
}

FT_STATUS D2XX_API FT_GetBitMode(FT_HANDLE handle, std::uint8_t* mode)
{
    return WithOutput(WithHandle("FT_GetBitMode", handle), mode, std::uint8_t{0});
}

FT_STATUS D2XX_API FT_SetEventNotification(FT_HANDLE handle, std::uint32_t, void*)
{
    return WithHandle("FT_SetEventNotification", handle);
}

FT_STATUS D2XX_API FT_GetStatus(FT_HANDLE handle, std::uint32_t* rxQueue, std::uint32_t* txQueue,
                                std::uint32_t* eventStatus)
{
    const FT_STATUS status = WithHandle("FT_GetStatus", handle);
    WithOutput(status, rxQueue, 0u);
    WithOutput(status, txQueue, 0u);
    WithOutput(status, eventStatus, 0u);
    return status;
}

FT_STATUS D2XX_API FT_GetEventStatus(FT_HANDLE handle, std::uint32_t* eventStatus)
{
    return WithOutput(WithHandle("FT_GetEventStatus", handle), eventStatus, 0u);
}

FT_STATUS D2XX_API FT_SetBaudRate(FT_HANDLE handle, std::uint32_t rate)
{
    return Driver().OnAdapter("FT_SetBaudRate", &SimulatedAdapter::SetBaudRate, handle, rate);
}

FT_STATUS D2XX_API FT_GetDriverVersion(FT_HANDLE handle, std::uint32_t* version)
{
    return WithOutput(WithHandle("FT_GetDriverVersion", handle), version, kDriverVersion);
}

FT_STATUS D2XX_API FT_GetLibraryVersion(std::uint32_t* version)
{
    return WithOutput(Driver().WithoutHandle("FT_GetLibraryVersion", FT_OK), version, kLibraryVersion);
}

}  // extern "C"

// Every entry point above has exactly the signature that the program's
// binding expects of it.
#define D2XX_CHECK_SIGNATURE(name, ...) \
    static_assert(std::is_same_v<decltype(&name), name##_Fn>, #name " has the vendor's signature");
D2XX_ENTRY_POINTS(D2XX_CHECK_SIGNATURE)
#undef D2XX_CHECK_SIGNATURE
