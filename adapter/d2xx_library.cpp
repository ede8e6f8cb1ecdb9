#include "d2xx_library.h"

#include <cstdint>

namespace {

template <typename Entry, typename... Args>
FT_STATUS Forward(Entry entry, Args... args)
{
    return entry != nullptr ? entry(args...) : FT_INVALID_HANDLE;
}

}  // namespace

bool D2xxLibrary::Load()
{
    module = LoadD2xxModule();
    if (module == nullptr)
        return false;

    // Stops at the first missing name: the entries after it stay absent.
#define D2XX_LOOK_UP_ENTRY(name, ...)                                                    \
    entries.name = reinterpret_cast<name##_Fn>(FindD2xxEntry(module, #name));           \
    if (entries.name == nullptr)                                                        \
        return false;
    D2XX_ENTRY_POINTS(D2XX_LOOK_UP_ENTRY)
#undef D2XX_LOOK_UP_ENTRY

    return true;
}

FT_STATUS D2xxLibrary::ListDevices(void* arg1, void* arg2, std::uint32_t flags)
{
    return Forward(entries.FT_ListDevices, arg1, arg2, flags);
}

FT_STATUS D2xxLibrary::Open(std::uint32_t deviceIndex)
{
    return Forward(entries.FT_Open, static_cast<int>(deviceIndex), &handle);
}

FT_STATUS D2xxLibrary::OpenEx(void* arg1, std::uint32_t flags)
{
    return Forward(entries.FT_OpenEx, arg1, flags, &handle);
}

FT_STATUS D2xxLibrary::SetBaudRate(std::uint32_t rate)
{
    return Forward(entries.FT_SetBaudRate, handle, rate);
}

FT_STATUS D2xxLibrary::SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                              std::uint8_t parity)
{
    return Forward(entries.FT_SetDataCharacteristics, handle, wordLength, stopBits, parity);
}

FT_STATUS D2xxLibrary::SetLatencyTimer(std::uint8_t milliseconds)
{
    return Forward(entries.FT_SetLatencyTimer, handle, milliseconds);
}

FT_STATUS D2xxLibrary::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    return Forward(entries.FT_SetTimeouts, handle, readTimeoutMs, writeTimeoutMs);
}

FT_STATUS D2xxLibrary::Purge(std::uint32_t mask)
{
    return Forward(entries.FT_Purge, handle, mask);
}

FT_STATUS D2xxLibrary::Write(void* buffer, std::uint32_t count, std::uint32_t* written)
{
    return Forward(entries.FT_Write, handle, buffer, count, written);
}

FT_STATUS D2xxLibrary::Read(void* buffer, std::uint32_t count, std::uint32_t* received)
{
    return Forward(entries.FT_Read, handle, buffer, count, received);
}

FT_STATUS D2xxLibrary::Close()
{
    if (entries.FT_Close == nullptr)
        return FT_INVALID_HANDLE;
    const FT_STATUS status = entries.FT_Close(handle);
    handle = nullptr;
    return status;
}
