#include "serial_port.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <asm/ioctls.h>
#include <linux/serial.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// <sys/ioctl.h> would bring glibc's termios, which clashes with the kernel's
// termios2 that sets any rate.
extern "C" int ioctl(int descriptor, unsigned long request, ...);

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kOpenTimeoutMs = 1000;

std::string Reason(const std::string& path, const char* what)
{
    return path + ": " + what;
}

std::string SystemReason(const std::string& path)
{
    return Reason(path, std::strerror(errno));
}

// Raw: no line editing, echo, signals or translation of any byte; 8N1; the
// receiver on; no modem lines waited for; no flow control of either kind;
// the rate exactly as given.
void MakeRaw(termios2& settings, std::uint32_t lineRate)
{
    settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = lineRate;
    settings.c_ospeed = lineRate;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
}

// Waits until `descriptor` is ready for `events`, at most until `deadline`;
// false when the time ran out. Raises on a port that has gone.
template <typename Error>
bool WaitFor(int descriptor, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd ready{descriptor, events, 0};
        const int count = poll(&ready, 1, static_cast<int>(left.count()));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 || (ready.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
            throw Error();
        if (count > 0)
            return true;
    }
}

// Moves `count` bytes, `move(done)` reading or writing the rest each time
// the port is ready for `events`, within `timeoutMs`; raises Error when the
// time runs out or the port has gone.
template <typename Error, typename Move>
void MoveAll(int descriptor, short events, std::uint32_t timeoutMs, std::uint32_t count, Move move)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::uint32_t done = 0;
    while (done < count) {
        if (!WaitFor<Error>(descriptor, events, deadline))
            throw Error();
        const ssize_t moved = move(done);
        if (moved < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        // Nothing moved although poll said the port was ready: it has gone.
        if (moved <= 0)
            throw Error();
        done += static_cast<std::uint32_t>(moved);
    }
}

}  // namespace

SerialPort::~SerialPort()
{
    Close();
}

void SerialPort::Open()
{
    // Non-blocking, so that neither the opening nor a read waits for a modem
    // line; the reads wait in poll, bounded by their time-out.
    const int descriptor = open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        throw OpenError(SystemReason(m_path));
    m_handle = descriptor;
    struct stat status {};
    termios2 settings{};
    if (fstat(descriptor, &status) != 0 || !S_ISCHR(status.st_mode) || ioctl(descriptor, TCGETS2, &settings) != 0) {
        Close();
        throw OpenError(Reason(m_path, "not a serial port"));
    }
    // A second update-cli and other programs of this user keep off; neither
    // lock stops root.
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0 || ioctl(descriptor, TIOCEXCL) != 0) {
        Close();
        throw OpenError(Reason(m_path, "in use by another program"));
    }
    MakeRaw(settings, m_lineRate);
    if (ioctl(descriptor, TCSETS2, &settings) != 0) {
        const std::string reason = SystemReason(m_path);
        Close();
        throw OpenError(reason);
    }
    SetTimeouts(kOpenTimeoutMs, kOpenTimeoutMs);
}

std::uint32_t SerialPort::Close()
{
    if (m_handle < 0)
        return 0;
    const int status = close(static_cast<int>(m_handle));
    m_handle = -1;
    return status == 0 ? 0 : static_cast<std::uint32_t>(errno);
}

void SerialPort::Read(void* buffer, std::uint32_t count)
{
    if (m_handle < 0)
        throw ReadError();
    const int descriptor = static_cast<int>(m_handle);
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    MoveAll<ReadError>(descriptor, POLLIN, m_readTimeoutMs, count,
                       [&](std::uint32_t done) { return read(descriptor, bytes + done, count - done); });
}

void SerialPort::Write(const void* buffer, std::uint32_t count)
{
    if (m_handle < 0)
        throw WriteError();
    const int descriptor = static_cast<int>(m_handle);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    MoveAll<WriteError>(descriptor, POLLOUT, m_writeTimeoutMs, count,
                        [&](std::uint32_t done) { return write(descriptor, bytes + done, count - done); });
}

LatencyTimerSetting SerialPort::SetLatencyTimer(unsigned milliseconds)
{
    // /dev/ttyUSB0 (or a link to it) -> /sys/class/tty/ttyUSB0/device/latency_timer
    std::error_code ignored;
    const std::filesystem::path device = std::filesystem::canonical(m_path, ignored);
    if (!device.empty()) {
        std::ofstream attribute(std::filesystem::path("/sys/class/tty") / device.filename() / "device/latency_timer");
        if (attribute << milliseconds << std::flush)
            return {milliseconds, LatencyTimerSetting::Notice::None};
    }
    serial_struct serial{};
    const int descriptor = static_cast<int>(m_handle);
    if (m_handle < 0 || ioctl(descriptor, TIOCGSERIAL, &serial) != 0)
        return {std::nullopt, LatencyTimerSetting::Notice::NothingSet};
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(descriptor, TIOCSSERIAL, &serial) != 0)
        return {std::nullopt, LatencyTimerSetting::Notice::NothingSet};
    return {1, milliseconds == 1 ? LatencyTimerSetting::Notice::None : LatencyTimerSetting::Notice::SetInstead};
}

void SerialPort::Purge()
{
    if (m_handle < 0 || ioctl(static_cast<int>(m_handle), TCFLSH, TCIFLUSH) != 0)
        throw ConnectionError(std::string());
}

void SerialPort::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    if (m_handle < 0)
        throw ConnectionError(std::string());
    m_readTimeoutMs = readTimeoutMs;
    m_writeTimeoutMs = writeTimeoutMs;
}
