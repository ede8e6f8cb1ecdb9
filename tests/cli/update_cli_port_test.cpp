// update-cli through the system's serial port, against the simulated
// product on a pseudo-terminal: the image that reaches the product, the
// port's settings as the product reads them, and each ending's code and
// line, the port named as it was given.
#include "cli/outcome.h"
#include "tests/cli/cli_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/param_name.h"
#include "tests/support/product_on_pty.h"
#include "tests/support/test_folder.h"
#include "tests/support/update_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class UpdateCliPort : public testing::Test {
protected:
    UpdateCliPort() : m_folder(FolderForCurrentTest("cli-port-"))
    {
        SpeakEnglish();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_payload.resize(1000);
        for (std::size_t i = 0; i < m_payload.size(); ++i)
            m_payload[i] = static_cast<std::uint8_t>(i * 17 % 251);
        WriteUpdateFile(m_folder / "update.bin", NameOf("KX200-01"), m_payload);
    }
    ~UpdateCliPort() override { std::filesystem::remove_all(m_folder); }

    // The image as the product holds it: the payload filled up to whole blocks.
    std::vector<std::uint8_t> Image() const
    {
        std::vector<std::uint8_t> image = m_payload;
        image.resize(1024, 0xFF);
        return image;
    }

    std::filesystem::path m_folder;
    std::vector<std::uint8_t> m_payload;
};

struct RateCase {
    const char* name;
    std::vector<std::string> options;
    std::string settings;
};

void PrintTo(const RateCase& rate, std::ostream* out)
{
    *out << rate.name;
}

class UpdateCliPortRate : public UpdateCliPort, public testing::WithParamInterface<RateCase> {};

struct EndingCase {
    const char* name;
    const char* scenario;
    ExitCode code;
    const char* text;
};

void PrintTo(const EndingCase& ending, std::ostream* out)
{
    *out << ending.name;
}

class UpdateCliPortEnding : public UpdateCliPort, public testing::WithParamInterface<EndingCase> {};

}  // namespace

// With the line's own timing, at the rate that the program set.
TEST_P(UpdateCliPortRate, WritesThePayloadWithThePortsSettings)
{
    const ProductOnPty product(m_folder, "line-timing\n");
    std::vector<std::string> arguments = {"write", "--yes", "--port", product.Port()};
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    const CliRun run = RunCli(m_folder, arguments);
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out, product.Port() + ": This update succeeded.\n");
    EXPECT_EQ(ReadFileBytes(product.ImagePath()), Image());
    EXPECT_EQ(product.Settings(), std::vector<std::string>{GetParam().settings});
}

INSTANTIATE_TEST_SUITE_P(Rates, UpdateCliPortRate,
                         testing::Values(RateCase{"Current", {}, "settings 100000 8N1 raw no-flow-control"},
                                         RateCase{"FirstGeneration", {"--rate", "9600"},
                                                  "settings 9600 8N1 raw no-flow-control"}),
                         ParamName<RateCase>);

TEST_P(UpdateCliPortEnding, ExitsWithItsCodeAndNamesThePort)
{
    const ProductOnPty product(m_folder, GetParam().scenario);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--port", product.Port()});
    EXPECT_EQ(run.exitCode, static_cast<int>(GetParam().code)) << run.error;
    EXPECT_EQ(run.out, product.Port() + ": " + GetParam().text + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Endings, UpdateCliPortEnding,
    testing::Values(
        EndingCase{"NeverAnswers", "at header 1 no-reply\n", ExitCode::NoProduct, "No product is connected."},
        EndingCase{"Mismatch", "product ZZZZZZZZ\n", ExitCode::ProductMismatch,
                   "This connected product does not match the update file."},
        EndingCase{"BlockRejectedForever", "at 1 * status 5\n", ExitCode::WriteError,
                   "A writing error occured. Retry the update."}),
    ParamName<EndingCase>);

// A pseudo-terminal has neither the attribute nor the low-latency flag: the
// program says so once and writes the product.
TEST_F(UpdateCliPort, SaysWhenNoLatencyTimerCanBeSet)
{
    const ProductOnPty product(m_folder);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--latency-timer", "2", "--port", product.Port()});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out, product.Port() + ": This update succeeded.\n");
    EXPECT_EQ(run.error.find("Nothing sets a latency timer on this port; the update goes on with the driver's own.\n"),
              0u)
        << run.error;
    EXPECT_EQ(ReadFileBytes(product.ImagePath()), Image());
}

TEST_F(UpdateCliPort, WhatIsNoPortIsNoAdapter)
{
    for (const std::string& port : {std::string("/dev/no-such-port"), std::string("/dev/null")}) {
        const CliRun run = RunCli(m_folder, {"write", "--yes", "--port", port});
        EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::NoAdapter)) << port << ": " << run.error;
        EXPECT_EQ(run.out, port + ": A Kestro-2/3 is not connected.\n");
    }
}

// Both products are written at once; one failing makes the run's code 10.
TEST_F(UpdateCliPort, TwoPortsAtOnceOneFailing)
{
    const ProductOnPty first(m_folder, "", "first");
    const ProductOnPty second(m_folder, "product ZZZZZZZZ\n", "second");
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--port", first.Port(), "--port", second.Port()});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::SomeAdapterFailed)) << run.error;
    EXPECT_EQ(run.out, first.Port() + ": This update succeeded.\n" + second.Port() +
                           ": This connected product does not match the update file.\n");
    EXPECT_EQ(ReadFileBytes(first.ImagePath()), Image());
    EXPECT_FALSE(std::filesystem::exists(second.ImagePath()));
}

TEST_F(UpdateCliPort, GoesWithNoOtherWayToChooseAnAdapter)
{
    for (const std::vector<std::string>& choice : {std::vector<std::string>{"--adapter", "KS000001"},
                                                   std::vector<std::string>{"--index", "0"},
                                                   std::vector<std::string>{"--all"}}) {
        std::vector<std::string> arguments = {"write", "--yes", "--port", "/dev/ttyUSB0"};
        arguments.insert(arguments.end(), choice.begin(), choice.end());
        const CliRun run = RunCli(m_folder, arguments);
        EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::Usage)) << choice.front();
        EXPECT_EQ(run.out, "");
    }
}

namespace {

// Three USB serial ports as udev shows them: two of FTDI adapters, one of
// another maker's cable.
constexpr char kThreePorts[] =
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1\n"
    "N: bus/usb/001/002\n"
    "E: DEVNAME=/dev/bus/usb/001/002\n"
    "E: DEVTYPE=usb_device\n"
    "E: SUBSYSTEM=usb\n"
    "A: idVendor=0403\n"
    "A: idProduct=6001\n"
    "A: serial=KS000201\n"
    "A: product=Kestro-3 bench 1\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0\n"
    "N: ttyUSB0\n"
    "E: DEVNAME=/dev/ttyUSB0\n"
    "E: SUBSYSTEM=tty\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-2\n"
    "N: bus/usb/001/003\n"
    "E: DEVNAME=/dev/bus/usb/001/003\n"
    "E: DEVTYPE=usb_device\n"
    "E: SUBSYSTEM=usb\n"
    "A: idVendor=0403\n"
    "A: idProduct=6015\n"
    "A: serial=KS000202\n"
    "A: product=Kestro-3 end of line\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB1/tty/ttyUSB1\n"
    "N: ttyUSB1\n"
    "E: DEVNAME=/dev/ttyUSB1\n"
    "E: SUBSYSTEM=tty\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-3\n"
    "N: bus/usb/001/004\n"
    "E: DEVNAME=/dev/bus/usb/001/004\n"
    "E: DEVTYPE=usb_device\n"
    "E: SUBSYSTEM=usb\n"
    "A: idVendor=067b\n"
    "A: idProduct=2303\n"
    "A: serial=OTHER001\n"
    "A: product=Another maker's serial cable\n"
    "\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/ttyUSB2/tty/ttyUSB2\n"
    "N: ttyUSB2\n"
    "E: DEVNAME=/dev/ttyUSB2\n"
    "E: SUBSYSTEM=tty\n";

}  // namespace

// The listing under umockdev, which gives libudev these devices instead of
// the machine's: the simulated D2XX adapter, then the FTDI ports alone.
TEST_F(UpdateCliPort, ListShowsThePortsOfFtdiAdapters)
{
    std::ofstream(m_folder / "ports.umockdev") << kThreePorts;
    // The sanitizers' runtime must come first, and umockdev's preload
    // library comes before it.
    setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
    CliProcess process(m_folder, {"list"}, CliProcess::Under{{"umockdev-run", "-d", "ports.umockdev", "--"}});
    const CliRun run = process.Wait();
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out,
              "0 KS000001 Kestro-3 USB serial adapter (simulated)\n"
              "/dev/ttyUSB0 KS000201 Kestro-3 bench 1\n"
              "/dev/ttyUSB1 KS000202 Kestro-3 end of line\n");
}
