// update-driver: runs one update with Update.exe as a user would, against
// the simulated product, and tells what a user would have seen.
//
//   update-driver demo FOLDER UPDATE_FILE SCENARIO
//       Presses WRITE, confirms, follows the status line and the progress
//       bar, takes pictures of the window during and after the transfer
//       (FOLDER/during.bmp, FOLDER/after.bmp), dismisses the closing
//       message, and compares the image the product received with the
//       update file's payload. Exit status 0 when the update succeeded and
//       the product holds the payload.
//
//   update-driver benchmark FOLDER UPDATE_FILE
//       The same transfer with no line timing and no trace: prints the
//       program's time per block and its peak memory.
//
// The transcript is printed and also written to FOLDER/transcript.txt.
#include "app/resource.h"
#include "driver/screenshot.h"
#include "driver/soak.h"
#include "driver/update_process.h"

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kBlockSize = 256;
// The line time of one exchange at 100000 bit/s: 269 + 4 bytes, 10 bits each.
constexpr double kWireMicrosecondsPerBlock = 27300.0;

class Transcript {
public:
    explicit Transcript(const std::filesystem::path& file) : m_file(file) {}

    void Line(const std::string& text)
    {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        m_file << text << '\n' << std::flush;
    }

private:
    std::ofstream m_file;
};

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string BoxLine(const char* kind, const MessageBoxView& box)
{
    return std::string(kind) + " box \"" + Narrow(box.caption) + "\": " + Narrow(box.text);
}

// The payload as the product must hold it: whole blocks, the last one filled
// up with 0xFF.
std::vector<std::uint8_t> ExpectedImage(const std::filesystem::path& updateFile)
{
    const std::vector<std::uint8_t> file = ReadFile(updateFile);
    std::vector<std::uint8_t> image(file.begin() + static_cast<std::ptrdiff_t>(std::min(kHeaderSize, file.size())),
                                    file.end());
    image.resize((image.size() + kBlockSize - 1) / kBlockSize * kBlockSize, 0xFF);
    return image;
}

std::uint64_t BlockCount(const std::filesystem::path& updateFile)
{
    return (std::filesystem::file_size(updateFile) - kHeaderSize + kBlockSize - 1) / kBlockSize;
}

// Waits for the window, then puts the update file into the working folder.
bool Ready(UpdateProcess& update, Transcript& transcript, const std::filesystem::path& updateFile)
{
    if (!update.Started() || update.WaitForMainWindow() == nullptr) {
        transcript.Line("Update.exe did not start.");
        return false;
    }
    std::filesystem::copy_file(updateFile, update.WorkFolder() / updateFile.filename());
    return true;
}

struct Outcome {
    std::optional<MessageBoxView> closingBox;
    double seconds = 0;  // from the confirmation to the closing box
};

// Presses WRITE, answers the question with OK and waits for the closing
// box, telling the status line and the progress bar as they change.
Outcome RunTransfer(UpdateProcess& update, Transcript& transcript, std::chrono::seconds deadline,
                    const std::filesystem::path& duringPicture)
{
    Outcome outcome;
    transcript.Line("Pressing WRITE.");
    update.ClickWrite();
    const std::optional<MessageBoxView> question = update.WaitForMessageBox();
    if (!question) {
        transcript.Line("No question came.");
        return outcome;
    }
    transcript.Line(BoxLine("Question", *question) + "  -> OK");
    if (question->buttons.size() < 2) {
        outcome.closingBox = question;  // the update file was refused
        return outcome;
    }
    const auto start = std::chrono::steady_clock::now();
    update.Press(question->window, IDOK);

    std::wstring status;
    int reported = -1;
    bool pictured = duringPicture.empty();
    const auto end = start + deadline;
    while (std::chrono::steady_clock::now() < end) {
        if ((outcome.closingBox = update.FindMessageBox())) {
            outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
        if (const std::wstring now = update.ControlText(IDC_STATUS); now != status) {
            status = now;
            transcript.Line("Status: " + Narrow(status));
        }
        const int upper = update.ProgressUpper();
        const int position = update.ProgressPosition();
        // Every tenth of the way.
        if (upper > 0 && (reported < 0 || position * 10 / upper > reported * 10 / upper)) {
            reported = position;
            transcript.Line("Progress: " + std::to_string(position) + " of " + std::to_string(upper) + " blocks");
        }
        if (!pictured && upper > 0 && position * 2 >= upper)
            pictured = SaveScreenshot(update.MainWindow(), duringPicture);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return outcome;
}

int Demo(const std::filesystem::path& folder, const std::filesystem::path& updateFile,
         const std::filesystem::path& scenarioFile)
{
    std::filesystem::create_directories(folder);
    const std::filesystem::path programFolder = folder / "run";
    std::ifstream scenarioStream(scenarioFile);
    std::stringstream scenario;
    scenario << scenarioStream.rdbuf();

    Transcript transcript(folder / "transcript.txt");
    UpdateProcess update(programFolder, {.scenario = scenario.str()});
    if (!Ready(update, transcript, updateFile))
        return 1;
    transcript.Line("Update.exe is up, the simulated adapter open; the working folder holds " +
                    updateFile.filename().string() + ".");

    const auto deadline = std::chrono::seconds(60 + BlockCount(updateFile));  // far more than 43 ms a block
    const Outcome outcome = RunTransfer(update, transcript, deadline, folder / "during.bmp");
    if (!outcome.closingBox) {
        transcript.Line("The transfer did not end in time.");
        return 1;
    }
    const MessageBoxView closing = *outcome.closingBox;
    transcript.Line("Status: " + Narrow(update.ControlText(IDC_STATUS)));
    transcript.Line(BoxLine("Closing", closing) + "  -> OK");
    update.Press(closing.window, IDOK);
    update.WaitForWriteEnabled();
    transcript.Line("Status: " + Narrow(update.ControlText(IDC_STATUS)) + " WRITE is enabled again.");
    SaveScreenshot(update.MainWindow(), folder / "after.bmp");

    const std::vector<std::uint8_t> expected = ExpectedImage(updateFile);
    const bool received = update.ReceivedImage() == expected;
    transcript.Line(received ? "The product holds the update file's payload, " + std::to_string(expected.size()) +
                                   " bytes in " + std::to_string(expected.size() / kBlockSize) + " blocks."
                             : "The product does NOT hold the update file's payload.");
    return closing.icon == BoxIcon::Information && received ? 0 : 1;
}

int Benchmark(const std::filesystem::path& folder, const std::filesystem::path& updateFile)
{
    std::filesystem::create_directories(folder);
    Transcript transcript(folder / "benchmark.txt");
    UpdateProcess update(folder / "run", {.scenario = "no-trace\n"});
    if (!Ready(update, transcript, updateFile))
        return 1;
    const std::uint64_t blocks = BlockCount(updateFile);
    const Outcome outcome = RunTransfer(update, transcript, std::chrono::seconds(600), {});
    if (!outcome.closingBox || outcome.closingBox->icon != BoxIcon::Information) {
        transcript.Line("The transfer did not succeed.");
        return 1;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(update.Process(), &memory, sizeof memory);
    const double microseconds = outcome.seconds * 1e6 / static_cast<double>(std::max<std::uint64_t>(blocks, 1));
    char line[256];
    std::snprintf(line, sizeof line,
                  "blocks %llu: %.3f s, %.1f us per block (%.3f%% of the 27.3 ms line time), "
                  "peak working set %llu KiB, peak private bytes %llu KiB",
                  static_cast<unsigned long long>(blocks), outcome.seconds, microseconds,
                  100.0 * microseconds / kWireMicrosecondsPerBlock,
                  static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024),
                  static_cast<unsigned long long>(memory.PeakPagefileUsage / 1024));
    transcript.Line(line);
    update.Press(outcome.closingBox->window, IDOK);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The program starts in a folder of its own: paths must not depend on it.
    const auto path = [&](std::size_t index) { return std::filesystem::absolute(arguments[index]); };
    if (arguments.size() == 4 && arguments[0] == "demo")
        return Demo(path(1), path(2), path(3));
    if (arguments.size() == 3 && arguments[0] == "benchmark")
        return Benchmark(path(1), path(2));
    if (arguments.size() == 4 && arguments[0] == "soak")
        return Soak(path(1), path(2), std::atoi(arguments[3].c_str()));
    std::fprintf(stderr,
                 "usage: update-driver demo FOLDER UPDATE_FILE SCENARIO\n"
                 "       update-driver benchmark FOLDER UPDATE_FILE\n"
                 "       update-driver soak FOLDER UPDATE_FILE PRESSES\n");
    return 2;
}
