#include "driver/soak.h"

#include "driver/update_process.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWriteButtonId = 1002;
constexpr int kWarmUpPresses = 5;
constexpr long kHandleSlack = 2;
constexpr long long kPrivateBytesSlack = 64 * 1024;
constexpr DWORD kMeterTimeoutMs = 5000;
constexpr std::uint64_t kTooLargeFileSize = 8 + 65535ull * 256 + 1;
constexpr auto kFileReleaseDeadline = std::chrono::seconds(2);

// What one press of WRITE meets, in the order of the rotation.
enum class Press {
    Success,
    NoProduct,        // a read of block 1 fails: message 106
    WriteError,       // the header answered with status 3: message 108
    ProductMismatch,  // the header answered with status 1: message 110
    Cancel,           // at the question
    NoFile,           // message 109
    ShortFile,        // message 113
    TooLargeFile,     // message 114
};
constexpr int kPressKinds = 8;
constexpr const char* kPressNames[kPressKinds] = {"success",          "no product (106)", "write error (108)",
                                                  "mismatch (110)",   "cancel",           "no file (109)",
                                                  "short file (113)", "too large (114)"};

bool AsksTheQuestion(Press press)
{
    return press <= Press::Cancel;
}

// The simulator reads its scenario once per process, and counts the
// sendings of each packet over the whole process: each failing press is
// scripted by the attempt at which its packet goes out. In every round of
// the rotation the header goes out four times (the success and the three
// failures after it) and block 1 twice (the success and the 106).
std::string ScenarioFor(int presses)
{
    std::string scenario;
    for (int round = 0; round * kPressKinds < presses; ++round) {
        scenario += "at 1 " + std::to_string(2 * round + 2) + " read-error\n";
        scenario += "at header " + std::to_string(4 * round + 3) + " status 3\n";
        scenario += "at header " + std::to_string(4 * round + 4) + " status 1\n";
    }
    return scenario;
}

// As the simulator measured it inside Update.exe. Under Wine the GDI and USER
// counts of GetGuiResources read 0; the windows of the process are the USER
// objects that can be counted there.
struct Measurement {
    long handles = -1;  // in the system's handle table
    long gdi = -1;
    long user = -1;
    long windows = -1;
    long long privateBytes = -1;
};

Measurement ReadMeasurement(const std::filesystem::path& meterFile)
{
    Measurement measurement;
    std::ifstream line(meterFile);
    std::string name;
    long long value = 0;
    while (line >> name >> value) {
        if (name == "table-handles")
            measurement.handles = static_cast<long>(value);
        else if (name == "gdi")
            measurement.gdi = static_cast<long>(value);
        else if (name == "user")
            measurement.user = static_cast<long>(value);
        else if (name == "windows")
            measurement.windows = static_cast<long>(value);
        else if (name == "private-bytes")
            measurement.privateBytes = value;
    }
    return measurement;
}

// Asks the simulator inside Update.exe to measure its host.
Measurement MeasureHost(DWORD processId, const std::filesystem::path& meterFile)
{
    const std::wstring suffix = L"-" + std::to_wstring(processId);
    const HANDLE ask = OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"d2xx-sim-meter-ask" + suffix).c_str());
    const HANDLE done = OpenEventW(SYNCHRONIZE, FALSE, (L"d2xx-sim-meter-done" + suffix).c_str());
    Measurement measurement;
    if (ask != nullptr && done != nullptr && SetEvent(ask) &&
        WaitForSingleObject(done, kMeterTimeoutMs) == WAIT_OBJECT_0)
        measurement = ReadMeasurement(meterFile);
    if (ask != nullptr)
        CloseHandle(ask);
    if (done != nullptr)
        CloseHandle(done);
    return measurement;
}

// Whether the program has let go of the file: it opens for exclusive use.
// After Cancel the button never went off, so the program may still be on its
// way out of the click when the box has gone: it gets a moment.
bool OpensExclusively(const std::filesystem::path& file)
{
    const auto deadline = std::chrono::steady_clock::now() + kFileReleaseDeadline;
    for (;;) {
        const HANDLE handle =
            CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool MakeFileOfSize(const std::filesystem::path& file, std::uint64_t size)
{
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool made = SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    CloseHandle(handle);
    return made;
}

// The update file of this press, put in place of the last one.
std::filesystem::path PlaceUpdateFile(Press press, const std::filesystem::path& work,
                                      const std::filesystem::path& updateFile)
{
    std::error_code ignored;  // a file still held shows in the press's checks
    for (const char* name : {"image.bin", "short.bin", "large.bin"})
        std::filesystem::remove(work / name, ignored);
    switch (press) {
    case Press::NoFile:
        return {};
    case Press::ShortFile:
        MakeFileOfSize(work / "short.bin", 7);
        return work / "short.bin";
    case Press::TooLargeFile:
        MakeFileOfSize(work / "large.bin", kTooLargeFileSize);
        return work / "large.bin";
    default:
        std::filesystem::copy_file(updateFile, work / "image.bin", std::filesystem::copy_options::overwrite_existing,
                                   ignored);
        return work / "image.bin";
    }
}

// Presses WRITE and answers every box as the press wants; true when the
// boxes came as they should, with the closing box's icon.
bool PressWrite(UpdateProcess& update, Press press)
{
    update.ClickWrite();
    std::optional<MessageBoxView> box = update.WaitForMessageBox();
    if (!box)
        return false;
    if (AsksTheQuestion(press)) {
        if (box->icon != BoxIcon::Question || !update.Press(box->window, press == Press::Cancel ? IDCANCEL : IDOK))
            return false;
        if (press == Press::Cancel)
            return update.WaitForWriteEnabled();
        box = update.WaitForMessageBox();
        if (!box)
            return false;
    }
    const BoxIcon expected = press == Press::Success ? BoxIcon::Information : BoxIcon::Stop;
    return box->icon == expected && update.Press(box->window, IDOK) && update.WaitForWriteEnabled();
}

struct Row {
    int press;
    Press kind;
    bool endedAsExpected;
    bool writeEnabled;
    bool fileFree;
    Measurement measured;
};

template <typename Value>
void PrintRange(const char* what, const std::vector<Row>& rows, Value Measurement::*field, Value slack,
                const char* unit, bool& passed)
{
    const Value level = rows[kWarmUpPresses - 1].measured.*field;
    Value lowest = level;
    Value highest = level;
    for (std::size_t i = kWarmUpPresses; i < rows.size(); ++i) {
        lowest = std::min(lowest, rows[i].measured.*field);
        highest = std::max(highest, rows[i].measured.*field);
    }
    const bool within = level >= 0 && highest - level <= slack && level - lowest <= slack;
    passed = passed && within;
    std::printf("%-16s %10lld %10lld %10lld  (allowed: +-%lld%s) %s\n", what, static_cast<long long>(level),
                static_cast<long long>(lowest), static_cast<long long>(highest), static_cast<long long>(slack), unit,
                within ? "ok" : "FAILED");
}

}  // namespace

int Soak(const std::filesystem::path& folder, const std::filesystem::path& updateFile, int presses)
{
    if (presses <= kWarmUpPresses) {
        std::fprintf(stderr, "a soak needs more than %d presses\n", kWarmUpPresses);
        return 2;
    }
    std::filesystem::create_directories(folder);
    const std::filesystem::path meterFile = folder / "meter.txt";
    SetEnvironmentVariableW(L"D2XX_SIM_METER", meterFile.c_str());
    UpdateProcess update(folder / "run", {.scenario = ScenarioFor(presses)});
    if (!update.Started() || update.WaitForMainWindow() == nullptr) {
        std::fprintf(stderr, "Update.exe did not come up\n");
        return 1;
    }

    std::vector<Row> rows;
    std::ofstream table(folder / "soak.csv");
    table << "press,kind,ended as expected,WRITE enabled,file free,handles,GDI objects,USER objects,windows,"
             "private bytes\n";
    for (int press = 1; press <= presses; ++press) {
        const auto kind = static_cast<Press>((press - 1) % kPressKinds);
        const std::filesystem::path file = PlaceUpdateFile(kind, update.WorkFolder(), updateFile);
        const bool endedAsExpected = PressWrite(update, kind);
        // Once the window answers, its thread is back in its message loop:
        // the boxes of the press are destroyed, not only hidden.
        update.SendToMainWindow(WM_NULL, 0, 0, std::chrono::milliseconds(kMeterTimeoutMs));
        Row row{press, kind, endedAsExpected, update.IsControlEnabled(kWriteButtonId),
                file.empty() || OpensExclusively(file), MeasureHost(GetProcessId(update.Process()), meterFile)};
        table << row.press << ',' << kPressNames[static_cast<int>(kind)] << ',' << row.endedAsExpected << ','
              << row.writeEnabled << ',' << row.fileFree << ',' << row.measured.handles << ',' << row.measured.gdi
              << ',' << row.measured.user << ',' << row.measured.windows << ',' << row.measured.privateBytes
              << std::endl;
        rows.push_back(row);
        if (!row.endedAsExpected) {
            std::printf("press %d (%s) did not end as it should; the soak stops there\n", press,
                        kPressNames[static_cast<int>(kind)]);
            break;
        }
    }

    bool passed = static_cast<int>(rows.size()) == presses;
    const auto all = [&](bool Row::*field) {
        return std::ranges::all_of(rows, [&](const Row& row) { return row.*field; });
    };
    std::printf("%d presses of WRITE in one Update.exe, rotating through:", static_cast<int>(rows.size()));
    for (const char* name : kPressNames)
        std::printf(" %s;", name);
    std::printf("\nevery press ended with its box:    %s\n", all(&Row::endedAsExpected) ? "yes" : "NO");
    std::printf("WRITE enabled after every press:   %s\n", all(&Row::writeEnabled) ? "yes" : "NO");
    std::printf("update file free after every press: %s\n", all(&Row::fileFree) ? "yes" : "NO");
    passed = passed && all(&Row::endedAsExpected) && all(&Row::writeEnabled) && all(&Row::fileFree);
    if (static_cast<int>(rows.size()) >= kWarmUpPresses) {
        std::printf("%-16s %10s %10s %10s  (after press %d; the range over the presses after it)\n", "",
                    "level", "lowest", "highest", kWarmUpPresses);
        PrintRange("handles", rows, &Measurement::handles, kHandleSlack, "", passed);
        PrintRange("GDI objects", rows, &Measurement::gdi, 0L, "", passed);
        PrintRange("USER objects", rows, &Measurement::user, 0L, "", passed);
        PrintRange("windows", rows, &Measurement::windows, 0L, "", passed);
        PrintRange("private bytes", rows, &Measurement::privateBytes, kPrivateBytesSlack, " bytes", passed);
    }
    std::printf("soak %s; every press in %s\n", passed ? "passed" : "FAILED", (folder / "soak.csv").string().c_str());
    return passed ? 0 : 1;
}
