#include "Kestro2.h"

#include "d2xx.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::uint32_t kDeviceIndex = 0;
// FT_ListDevices may fill 64 bytes without a terminating zero; the text is
// never read, only the status of the call counts.
constexpr std::size_t kDescriptionBufferSize = 128;
constexpr std::uint32_t kOpenTimeoutMs = 1000;

}  // namespace

void Kestro2::Initialize()
{
    if (!m_library.Load())
        throw InitializeError();
}

// Each step runs only when the one before succeeded; nothing is undone on a
// failure, so a device opened in step 2 stays open.
void Kestro2::Open()
{
    char description[kDescriptionBufferSize] = {};
    // The device index travels in the pointer-sized first argument.
    void* const indexArgument = reinterpret_cast<void*>(static_cast<std::uintptr_t>(kDeviceIndex));
    if (m_library.ListDevices(indexArgument, description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION) != FT_OK)
        throw OpenError();
    if (m_library.Open(kDeviceIndex) != FT_OK)
        throw OpenError();
    if (m_library.SetBaudRate(kLineRate) != FT_OK)
        throw OpenError();
    if (m_library.SetTimeouts(kOpenTimeoutMs, kOpenTimeoutMs) != FT_OK)
        throw OpenError();
    if (m_library.SetDataCharacteristics(FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE) != FT_OK)
        throw OpenError();
}

std::uint32_t Kestro2::Close()
{
    return m_library.Close();
}

void Kestro2::Read(void* buffer, std::uint32_t count)
{
    std::uint32_t received = 0;
    if (m_library.Read(buffer, count, &received) != FT_OK)
        throw ReadError();
    // A read time-out ends with status 0 and fewer bytes than asked. A driver
    // that claims more than asked has written past the buffer or miscounts:
    // nothing it delivered can be trusted.
    if (received != count)
        throw ReadError();
}

void Kestro2::Write(const void* buffer, std::uint32_t count)
{
    std::uint32_t written = 0;
    // FT_Write's buffer parameter lacks const; the driver only reads it.
    if (m_library.Write(const_cast<void*>(buffer), count, &written) != FT_OK)
        throw WriteError();
}

void Kestro2::Purge(std::uint32_t mask)
{
    if (m_library.Purge(mask) != FT_OK)
        throw ConnectionError(std::string());
}

void Kestro2::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    if (m_library.SetTimeouts(readTimeoutMs, writeTimeoutMs) != FT_OK)
        throw ConnectionError(std::string());
}
