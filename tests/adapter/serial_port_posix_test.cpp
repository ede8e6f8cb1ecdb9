// The system's serial port on a pseudo-terminal whose other side the test
// holds: the settings it makes, exact reads, the time-out, purging, the
// exclusive opening and what it refuses to open.
#include "adapter/serial_port.h"
#include "tests/support/param_name.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <unistd.h>

extern "C" int ioctl(int descriptor, unsigned long request, ...);

using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

// The far side of a pseudo-terminal: what a product would read and write.
class FarSide {
public:
    FarSide() : m_master(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            throw std::runtime_error("no pseudo-terminal");
        m_port = ptsname(m_master);
    }
    ~FarSide() { close(m_master); }
    FarSide(const FarSide&) = delete;
    FarSide& operator=(const FarSide&) = delete;

    const std::string& Port() const { return m_port; }
    void Send(const std::string& bytes) const
    {
        [[maybe_unused]] const ssize_t written = write(m_master, bytes.data(), bytes.size());
    }
    // The settings of the port, which its far side reads too.
    termios2 Settings() const
    {
        termios2 settings{};
        ioctl(m_master, TCGETS2, &settings);
        return settings;
    }
    std::string Received(std::size_t count) const
    {
        std::string bytes(count, '\0');
        std::size_t got = 0;
        while (got < count) {
            const ssize_t n = read(m_master, bytes.data() + got, count - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }

private:
    int m_master;
    std::string m_port;
};

std::string ReadFrom(SerialPort& port, std::uint32_t count)
{
    std::string bytes(count, '\0');
    port.Read(bytes.data(), count);
    return bytes;
}

class SerialPortRate : public testing::TestWithParam<std::uint32_t> {};

}  // namespace

TEST_P(SerialPortRate, OpensRawEightNOneWithoutFlowControlAtTheRate)
{
    const FarSide far;
    SerialPort port(far.Port(), GetParam());
    port.Open();
    const termios2 settings = far.Settings();
    EXPECT_EQ(settings.c_ospeed, GetParam());
    EXPECT_EQ(settings.c_ispeed, GetParam());
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(settings.c_cflag & CREAD, 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
}

INSTANTIATE_TEST_SUITE_P(Rates, SerialPortRate, testing::Values(100000u, 9600u));

TEST(SerialPort, ReadsTheExactCountAcrossShortDeliveries)
{
    const FarSide far;
    SerialPort port(far.Port(), 100000);
    port.Open();
    std::jthread sender([&far] {
        for (const std::string& part : {"abc"s, "\r\n"s, "\x03\x11\x13\x00z"s}) {
            far.Send(part);
            std::this_thread::sleep_for(30ms);
        }
    });
    EXPECT_EQ(ReadFrom(port, 10), "abc\r\n\x03\x11\x13\x00z"s);
}

TEST(SerialPort, WritesEveryByteAsItIs)
{
    const FarSide far;
    SerialPort port(far.Port(), 100000);
    port.Open();
    const std::string bytes = "\x00\n\r\x11\x13\xFF"s;
    port.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    EXPECT_EQ(far.Received(bytes.size()), bytes);
}

TEST(SerialPort, ReadThatFallsShortEndsAtTheTimeout)
{
    const FarSide far;
    SerialPort port(far.Port(), 100000);
    port.Open();
    port.SetTimeouts(150, 150);
    far.Send("abc");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(ReadFrom(port, 4), ComDevice::ReadError);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 150ms);
    EXPECT_LT(waited, 1000ms);
}

TEST(SerialPort, PurgeDropsWhatHasArrived)
{
    const FarSide far;
    SerialPort port(far.Port(), 100000);
    port.Open();
    far.Send("old");
    std::this_thread::sleep_for(50ms);
    port.Purge();
    far.Send("n");
    EXPECT_EQ(ReadFrom(port, 1), "n");
}

TEST(SerialPort, IsThisProgramsAlone)
{
    const FarSide far;
    SerialPort first(far.Port(), 100000);
    first.Open();
    SerialPort second(far.Port(), 100000);
    try {
        second.Open();
        FAIL() << "a second opening succeeded";
    } catch (const ComDevice::OpenError& error) {
        EXPECT_EQ(error.what(), far.Port() + ": in use by another program");
    }
    first.Close();
    EXPECT_NO_THROW(second.Open());
}

namespace {

struct RefusedPath {
    const char* name;
    std::filesystem::path path;
    std::string reason;
};

void PrintTo(const RefusedPath& refused, std::ostream* out)
{
    *out << refused.name;
}

}  // namespace

class SerialPortRefusal : public testing::TestWithParam<RefusedPath> {};

// At once and with the path in the reason: never a hang.
TEST_P(SerialPortRefusal, RefusesWhatIsNoSerialPort)
{
    const std::filesystem::path folder = FolderForCurrentTest("port-");
    std::filesystem::create_directories(folder / "a-folder");
    std::ofstream(folder / "a-file") << "not a port";
    const std::filesystem::path path = GetParam().path.is_absolute() ? GetParam().path : folder / GetParam().path;
    SerialPort port(path.string(), 100000);
    const auto start = std::chrono::steady_clock::now();
    try {
        port.Open();
        FAIL() << "opened " << path;
    } catch (const ComDevice::OpenError& error) {
        EXPECT_EQ(error.what(), path.string() + ": " + GetParam().reason);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SerialPortRefusal,
    testing::Values(RefusedPath{"DevNull", "/dev/null", "not a serial port"},
                    RefusedPath{"File", "a-file", "not a serial port"},
                    RefusedPath{"Folder", "a-folder", "Is a directory"},
                    RefusedPath{"Missing", "no-such-port", "No such file or directory"}),
    ParamName<RefusedPath>);
