#include "kestro2.h"

#include "d2xx.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

namespace {

// FT_ListDevices may fill 64 bytes without a terminating zero; the text is
// never read when opening, only the status of the call counts.
constexpr std::size_t kDescriptionBufferSize = 128;
// A listed serial number or description fills at most this many bytes.
constexpr std::size_t kListedTextSize = 64;
constexpr std::uint32_t kOpenTimeoutMs = 1000;

// The device index travels in the pointer-sized first argument.
void* IndexArgument(std::uint32_t index)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index));
}

}  // namespace

void Kestro2::Initialize()
{
    if (!m_library.Load())
        throw InitializeError();
}

std::vector<AdapterListing> Kestro2::ListAdapters()
{
    std::uint32_t count = 0;
    if (m_library.ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY) != FT_OK)
        throw OpenError();

    std::vector<AdapterListing> adapters;
    for (std::uint32_t index = 0; index < count; ++index) {
        std::string serialNumber = ListedText(index, FT_OPEN_BY_SERIAL_NUMBER);
        adapters.push_back({index, std::move(serialNumber), ListedText(index, FT_OPEN_BY_DESCRIPTION)});
    }
    return adapters;
}

// The driver fills up to 64 bytes, perhaps without a terminating zero, and
// some drivers pad with blanks.
std::string Kestro2::ListedText(std::uint32_t index, std::uint32_t field)
{
    char buffer[kListedTextSize] = {};
    if (m_library.ListDevices(IndexArgument(index), buffer, FT_LIST_BY_INDEX | field) != FT_OK)
        throw OpenError();
    std::string text(buffer, std::find(std::begin(buffer), std::end(buffer), '\0'));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

void Kestro2::Open()
{
    Open(0);
}

// Each step runs only when the one before succeeded; nothing is undone on a
// failure, so a device opened in step 2 stays open.
void Kestro2::Open(std::uint32_t index)
{
    char description[kDescriptionBufferSize] = {};
    if (m_library.ListDevices(IndexArgument(index), description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION) != FT_OK)
        throw OpenError();
    if (m_library.Open(index) != FT_OK)
        throw OpenError();
    ConfigureLine();
}

void Kestro2::OpenBySerialNumber(const std::string& serialNumber)
{
    // FT_OpenEx's argument lacks const; the driver only reads the text.
    if (m_library.OpenEx(const_cast<char*>(serialNumber.c_str()), FT_OPEN_BY_SERIAL_NUMBER) != FT_OK)
        throw OpenError();
    ConfigureLine();
}

void Kestro2::ConfigureLine()
{
    if (m_library.SetBaudRate(m_lineRate) != FT_OK)
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

void Kestro2::Purge()
{
    Purge(FT_PURGE_RX);
}

void Kestro2::Purge(std::uint32_t mask)
{
    if (m_library.Purge(mask) != FT_OK)
        throw ConnectionError(std::string());
}

LatencyTimerSetting Kestro2::SetLatencyTimer(unsigned milliseconds)
{
    const unsigned set = milliseconds < 2 ? 2 : milliseconds;
    if (set > 255 || m_library.SetLatencyTimer(static_cast<std::uint8_t>(set)) != FT_OK)
        return {std::nullopt, LatencyTimerSetting::Notice::Refused};
    return {set, set == milliseconds ? LatencyTimerSetting::Notice::None : LatencyTimerSetting::Notice::RaisedToTheLeast};
}

void Kestro2::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    if (m_library.SetTimeouts(readTimeoutMs, writeTimeoutMs) != FT_OK)
        throw ConnectionError(std::string());
}
