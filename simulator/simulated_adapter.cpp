#include "simulated_adapter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

namespace {

constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;

// The vendor's driver fills up to 64 bytes and may leave out the terminating
// zero; a caller's buffer smaller than that shows up under a sanitizer.
constexpr std::size_t kListedTextSize = 64;

constexpr std::uint32_t kMinBaudRate = 183;
constexpr std::uint32_t kMaxBaudRate = 3000000;

std::string Hex(const std::uint8_t* bytes, std::size_t count)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace

SimulatedAdapter::SimulatedAdapter(std::uint32_t index, DeclaredAdapter declared, Trace& trace,
                                   const std::filesystem::path& imagePath)
    : m_index(index),
      m_serialNumber(std::move(declared.serialNumber)),
      m_description(std::move(declared.description)),
      m_script(std::move(declared.script)),
      m_trace(trace),
      m_product(m_script.productName, imagePath),
      m_line(m_script.lineTiming)
{
}

SimulatedCall SimulatedAdapter::Begin(const char* entry, std::string arguments)
{
    const unsigned number = m_calls.Count(entry);
    // An unplugged adapter fails every call at once, whatever the script says.
    if (m_unplugged) {
        SimulatedCall call(entry, std::move(arguments));
        call.scripted = FT_IO_ERROR;
        return call;
    }
    return ScriptedCall(m_script.FaultFor(entry, number), entry, std::move(arguments));
}

FT_STATUS SimulatedAdapter::Finish(const SimulatedCall& call, FT_STATUS status, const std::string& result)
{
    return TraceCall(m_trace, call, status, result);
}

bool SimulatedAdapter::IsOpenDevice(FT_HANDLE handle) const
{
    return m_open && handle == &m_device;
}

std::string SimulatedAdapter::HandleText(FT_HANDLE handle) const
{
    return handle == &m_device ? "device" + std::to_string(m_index)
                               : HexNumber(reinterpret_cast<std::uintptr_t>(handle));
}

FT_STATUS SimulatedAdapter::ListDevices(void* arg1, void* arg2, std::uint32_t flags)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call =
        Begin("FT_ListDevices", std::to_string(reinterpret_cast<std::uintptr_t>(arg1)) + " " + HexNumber(flags));
    if (call.scripted)
        return Finish(call, *call.scripted);

    const std::uint32_t field = flags & ~FT_LIST_BY_INDEX;
    const std::string* text = field == FT_OPEN_BY_DESCRIPTION     ? &m_description
                              : field == FT_OPEN_BY_SERIAL_NUMBER ? &m_serialNumber
                                                                  : nullptr;
    if (text == nullptr)
        return Finish(call, FT_INVALID_PARAMETER);
    // Padded with blanks to the full 64 bytes, without a terminating zero.
    char* buffer = static_cast<char*>(arg2);
    std::memset(buffer, ' ', kListedTextSize);
    std::memcpy(buffer, text->data(), std::min(text->size(), kListedTextSize));
    return Finish(call, FT_OK);
}

FT_STATUS SimulatedAdapter::Open(int deviceNumber, FT_HANDLE* handle)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_Open", std::to_string(deviceNumber));
    if (call.scripted)
        return Finish(call, *call.scripted);
    return OpenDevice(call, handle);
}

FT_STATUS SimulatedAdapter::OpenEx(const std::string& serialNumber, std::uint32_t flags, FT_HANDLE* handle)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_OpenEx", serialNumber + " " + std::to_string(flags));
    if (call.scripted)
        return Finish(call, *call.scripted);
    return OpenDevice(call, handle);
}

FT_STATUS SimulatedAdapter::OpenDevice(const SimulatedCall& call, FT_HANDLE* handle)
{
    if (m_open)
        return Finish(call, FT_DEVICE_NOT_OPENED);

    m_open = true;
    m_line.DropReceived();
    *handle = &m_device;
    return Finish(call, FT_OK, "handle " + HandleText(*handle));
}

FT_STATUS SimulatedAdapter::Close(FT_HANDLE handle)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_Close", HandleText(handle));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);
    m_open = false;
    return Finish(call, FT_OK);
}

FT_STATUS SimulatedAdapter::SetBaudRate(FT_HANDLE handle, std::uint32_t rate)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_SetBaudRate", HandleText(handle) + " " + std::to_string(rate));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);
    if (rate < kMinBaudRate || rate > kMaxBaudRate)
        return Finish(call, FT_INVALID_BAUD_RATE);
    m_line.SetRate(rate);
    return Finish(call, FT_OK);
}

FT_STATUS SimulatedAdapter::SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs,
                                        std::uint32_t writeTimeoutMs)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_SetTimeouts", HandleText(handle) + " " + std::to_string(readTimeoutMs) +
                                                  " " + std::to_string(writeTimeoutMs));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);
    m_line.SetReadTimeout(readTimeoutMs);
    return Finish(call, FT_OK);
}

FT_STATUS SimulatedAdapter::SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                                   std::uint8_t stopBits, std::uint8_t parity)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_SetDataCharacteristics", HandleText(handle) + " " + std::to_string(wordLength) +
                                                             " " + std::to_string(stopBits) + " " +
                                                             std::to_string(parity));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);
    const bool valid = (wordLength == 7 || wordLength == 8) && (stopBits == 0 || stopBits == 2) && parity <= 4;
    return Finish(call, valid ? FT_OK : FT_INVALID_PARAMETER);
}

FT_STATUS SimulatedAdapter::SetLatencyTimer(FT_HANDLE handle, std::uint8_t milliseconds)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_SetLatencyTimer", HandleText(handle) + " " + std::to_string(milliseconds));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);
    if (milliseconds < 2)
        return Finish(call, FT_INVALID_PARAMETER);
    m_line.SetLatencyTimer(milliseconds);
    return Finish(call, FT_OK);
}

FT_STATUS SimulatedAdapter::Purge(FT_HANDLE handle, std::uint32_t mask)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_Purge", HandleText(handle) + " " + std::to_string(mask));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);
    if ((mask & ~(FT_PURGE_RX | FT_PURGE_TX)) != 0)
        return Finish(call, FT_INVALID_PARAMETER);
    // Nothing waits to be sent: a write returns once its bytes are out.
    if ((mask & FT_PURGE_RX) != 0)
        m_line.DropReceived();
    return Finish(call, FT_OK);
}

// The adapter hears its own transmission: every byte written comes back as
// the echo, followed by the product's reply once a packet is complete. A
// write that carries the block number of a packet is a sending of it.
FT_STATUS SimulatedAdapter::Write(FT_HANDLE handle, const void* buffer, std::uint32_t count,
                                  std::uint32_t* written)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_Write", HandleText(handle) + " " + std::to_string(count));
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);

    const std::span bytes(static_cast<const std::uint8_t*>(buffer), std::min(count, call.shortCount.value_or(count)));
    std::vector<std::uint8_t> echo(bytes.begin(), bytes.end());
    std::vector<Sending> sendings;
    bool writeFails = false;
    for (const PacketFraming::BlockNumberField& field : m_framing.BlockNumbersIn(bytes)) {
        const unsigned attempt = ++m_attempts[field.blockNumber];
        const Sending sending{field.blockNumber, attempt, m_script.FaultsFor(field.blockNumber, attempt)};
        m_unplugged = m_unplugged || m_script.UnplugsAt(sending.blockNumber);
        writeFails = writeFails || sending.faults.writeError;
        if (sending.faults.mangleEcho)
            echo[field.lastByte] ^= 0xFF;
        sendings.push_back(sending);
    }
    if (m_unplugged || writeFails)
        return Finish(call, FT_IO_ERROR);

    m_line.Transmit(echo);
    for (const Sending& sending : sendings) {
        m_failNextRead = m_failNextRead || sending.faults.readError;
        m_sendings.push_back(sending);
    }
    std::vector<std::string> judged;
    for (const SimulatedProduct::Packet& packet : m_framing.Add(bytes))
        judged.push_back(Deliver(packet));
    *written = static_cast<std::uint32_t>(bytes.size()) + call.overCount;
    const FT_STATUS status =
        Finish(call, FT_OK, "wrote " + std::to_string(bytes.size()) + " " + HexIfTraced(bytes.data(), bytes.size()));
    for (const std::string& line : judged)
        m_trace.Line(line);
    return status;
}

std::string SimulatedAdapter::HexIfTraced(const std::uint8_t* bytes, std::size_t count) const
{
    return m_trace.IsOn() ? Hex(bytes, count) : std::string();
}

std::string SimulatedAdapter::Deliver(const SimulatedProduct::Packet& packet)
{
    // A packet's block number comes before its end, so its sending is queued.
    const Sending sending = m_sendings.front();
    m_sendings.pop_front();
    SimulatedProduct::Answer answer = m_product.Receive(packet, sending.faults.status);
    SimulatedProduct::Reply& reply = answer.reply;
    if (sending.faults.swapEcho)
        std::swap(reply[0], reply[1]);
    if (sending.faults.badChecksum)
        ++reply[3];
    if (!sending.faults.noReply)
        m_line.Answer(reply);
    return "packet " + PacketText(sending.blockNumber) + " attempt " + std::to_string(sending.attempt) + " -> " +
           std::to_string(answer.verdict) + sending.faults.Words();
}

// Delivers what has arrived; a read that gets fewer bytes than asked ends as
// a time-out does, with status 0 and the shorter count.
FT_STATUS SimulatedAdapter::Read(FT_HANDLE handle, void* buffer, std::uint32_t count,
                                 std::uint32_t* received)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin("FT_Read", HandleText(handle) + " " + std::to_string(count));
    const bool failsForPacket = std::exchange(m_failNextRead, false);
    if (call.scripted)
        return Finish(call, *call.scripted);
    if (!IsOpenDevice(handle))
        return Finish(call, FT_INVALID_HANDLE);
    if (failsForPacket)
        return Finish(call, FT_IO_ERROR);

    auto* bytes = static_cast<std::uint8_t*>(buffer);
    const std::size_t delivered = m_line.Read(bytes, std::min(count, call.shortCount.value_or(count)));
    *received = static_cast<std::uint32_t>(delivered) + call.overCount;
    return Finish(call, FT_OK, "read " + std::to_string(delivered) + " " + HexIfTraced(bytes, delivered));
}

FT_STATUS SimulatedAdapter::WithHandle(FT_HANDLE handle, const char* entry)
{
    std::lock_guard lock(m_mutex);
    const SimulatedCall call = Begin(entry, HandleText(handle));
    if (call.scripted)
        return Finish(call, *call.scripted);
    return Finish(call, IsOpenDevice(handle) ? FT_OK : FT_INVALID_HANDLE);
}
