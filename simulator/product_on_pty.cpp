// product-on-pty: the simulated product behind a serial port of its own, a
// pseudo-terminal, for tests and demonstrations of the system's serial port.
// It prints "port PATH" once the port is ready, then answers there as the
// simulated adapter's product does: the echo of every byte the program
// sends, each packet's reply, with the scenario's directives and faults and,
// with line timing, at the rate that the program set on the port. Each time
// the program changes the port's settings it prints them as the product
// reads them: "settings RATE 8N1 raw no-flow-control", or what differs. It
// runs until it is ended by a signal.
//
// Usage: product-on-pty IMAGE [SCENARIO]
#include "simulator/scenario.h"
#include "simulator/simulated_driver.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

extern "C" int ioctl(int descriptor, unsigned long request, ...);

namespace {

std::atomic<bool> g_ending{false};

void OnEnd(int)
{
    g_ending = true;
}

Scenario ScenarioOf(const char* path)
{
    if (path == nullptr)
        return {};
    std::ifstream file(path);
    return ParseScenario(file);
}

// The port's settings as the product reads them.
std::string SettingsText(const termios2& settings)
{
    std::string text = "settings " + std::to_string(settings.c_ospeed);
    const bool eightBits = (settings.c_cflag & CSIZE) == CS8;
    text += eightBits && (settings.c_cflag & PARENB) == 0 && (settings.c_cflag & CSTOPB) == 0 ? " 8N1" : " not-8N1";
    const bool raw = (settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 && (settings.c_oflag & OPOST) == 0 &&
                     (settings.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP)) == 0;
    text += raw ? " raw" : " cooked";
    const bool flowControl = (settings.c_cflag & CRTSCTS) != 0 || (settings.c_iflag & (IXON | IXOFF)) != 0;
    text += flowControl ? " flow-control" : " no-flow-control";
    return text;
}

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: product-on-pty IMAGE [SCENARIO]\n");
        return 2;
    }
    const Scenario scenario = ScenarioOf(argc == 3 ? argv[2] : nullptr);
    if (!scenario.error.empty()) {
        std::fprintf(stderr, "product-on-pty: %s\n", scenario.error.c_str());
        return 2;
    }
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("product-on-pty");
        return 1;
    }
    const std::string port = ptsname(master);
    // Held open, so that the port outlives every program that opens and
    // closes it; the program's own descriptor is the one that reads.
    const int heldSlave = open(port.c_str(), O_RDWR | O_NOCTTY);
    if (heldSlave < 0) {
        std::perror("product-on-pty");
        return 1;
    }
    std::signal(SIGTERM, OnEnd);
    std::signal(SIGINT, OnEnd);

    // The simulated adapter stands in for the port's far side; its trace is
    // off, since the port is polled every millisecond.
    SimulatedDriver driver(scenario, {}, argv[1]);
    FT_HANDLE device = nullptr;
    driver.Open(0, &device);
    driver.OnAdapter("FT_SetTimeouts", &SimulatedAdapter::SetTimeouts, device, 1u, 1u);
    Say("port " + port);

    std::string shownSettings;
    std::vector<std::uint8_t> buffer(4096);
    while (!g_ending) {
        pollfd ready{master, POLLIN, 0};
        if (poll(&ready, 1, 1) > 0 && (ready.revents & POLLIN) != 0) {
            termios2 settings{};
            if (ioctl(master, TCGETS2, &settings) == 0) {
                const std::string text = SettingsText(settings);
                if (text != shownSettings) {
                    Say(text);
                    shownSettings = text;
                    driver.OnAdapter("FT_SetBaudRate", &SimulatedAdapter::SetBaudRate, device,
                                     static_cast<std::uint32_t>(settings.c_ospeed));
                }
            }
            const ssize_t got = read(master, buffer.data(), buffer.size());
            std::uint32_t written = 0;
            // A write that the adapter refuses (an unplugged product, a
            // scripted write error) is lost on the line.
            if (got > 0)
                driver.OnAdapter("FT_Write", &SimulatedAdapter::Write, device, static_cast<const void*>(buffer.data()),
                                 static_cast<std::uint32_t>(got), &written);
        }
        std::uint32_t received = 0;
        driver.OnAdapter("FT_Read", &SimulatedAdapter::Read, device, static_cast<void*>(buffer.data()),
                         static_cast<std::uint32_t>(buffer.size()), &received);
        for (std::uint32_t sent = 0; sent < received;) {
            const ssize_t put = write(master, buffer.data() + sent, received - sent);
            if (put <= 0)
                break;
            sent += static_cast<std::uint32_t>(put);
        }
    }
    close(heldSlave);
    close(master);
    return 0;
}
