// update-cli as a script runs it, against the simulated adapter and product:
// exit codes, closing lines, JSON lines, and what reaches the product. Each
// test runs in a process of its own, in a folder of its own.
#include "cli/outcome.h"
#include "tests/cli/cli_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/param_name.h"
#include "tests/support/simulator_session.h"
#include "tests/support/test_folder.h"
#include "tests/support/update_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const ProductName kName = NameOf("KX200-01");

std::vector<std::uint8_t> Payload(std::size_t size)
{
    std::vector<std::uint8_t> payload(size);
    for (std::size_t i = 0; i < size; ++i)
        payload[i] = static_cast<std::uint8_t>(i * 13 % 251);
    return payload;
}

// The image as the product holds it: the payload filled up to whole blocks.
std::vector<std::uint8_t> ImageOf(std::vector<std::uint8_t> payload)
{
    payload.resize((payload.size() + 255) / 256 * 256, 0xFF);
    return payload;
}

// The closing lines, as Update.exe words its messages.
constexpr char kSucceeded[] = "This update succeeded.";
constexpr char kMismatch[] = "This connected product does not match the update file.";
constexpr char kTooShort[] = "The update file is too short to hold an update.";
constexpr char kNoAdapter[] = "A Kestro-2/3 is not connected.";

std::string Line(std::string_view text)
{
    return std::string(text) + '\n';
}

std::vector<nlohmann::json> JsonLinesOf(const std::string& out)
{
    std::vector<nlohmann::json> lines;
    std::istringstream stream(out);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

class UpdateCli : public testing::Test {
protected:
    explicit UpdateCli(std::string_view scenario = {}) : m_session(scenario), m_folder(FolderForCurrentTest("cli-"))
    {
        SpeakEnglish();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    ~UpdateCli() override { std::filesystem::remove_all(m_folder); }

    void WriteUpdate(std::size_t payloadSize, const std::string& file = "update.bin")
    {
        m_payload = Payload(payloadSize);
        WriteUpdateFile(m_folder / file, kName, m_payload);
    }

    SimulatorSession m_session;
    std::filesystem::path m_folder;
    std::vector<std::uint8_t> m_payload;
};

struct OutcomeCase {
    const char* name;
    const char* scenario;
    std::function<void(const std::filesystem::path& folder)> fill;
    std::vector<std::string> options;  // after "write --yes"
    ExitCode code;
    const char* text;
};

void PrintTo(const OutcomeCase& outcome, std::ostream* out)
{
    *out << outcome.name;
}

void UpdateFileOf(const std::filesystem::path& folder)
{
    WriteUpdateFile(folder / "update.bin", kName, Payload(1000));
}

}  // namespace

class UpdateCliOutcome : public UpdateCli, public testing::WithParamInterface<OutcomeCase> {
protected:
    UpdateCliOutcome() : UpdateCli(GetParam().scenario) {}
};

TEST_P(UpdateCliOutcome, ExitsWithItsCodeAndClosingLine)
{
    GetParam().fill(m_folder);
    std::vector<std::string> arguments = {"write", "--yes"};
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    const CliRun run = RunCli(m_folder, arguments);
    EXPECT_EQ(run.exitCode, static_cast<int>(GetParam().code)) << run.error;
    EXPECT_EQ(run.out, Line(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, UpdateCliOutcome,
    testing::Values(
        OutcomeCase{"Success", "", UpdateFileOf, {}, ExitCode::Succeeded, kSucceeded},
        OutcomeCase{"NamedFile", "",
                    [](const std::filesystem::path& folder) {
                        WriteUpdateFile(folder / "firmware.img", kName, Payload(300));
                    },
                    {"firmware.img"}, ExitCode::Succeeded, kSucceeded},
        OutcomeCase{"WriteError", "at 1 * status 3", UpdateFileOf, {}, ExitCode::WriteError, "A writing error occured. Retry the update."},
        OutcomeCase{"NoProduct", "at header 1 no-reply", UpdateFileOf, {}, ExitCode::NoProduct, "No product is connected."},
        OutcomeCase{"Unplugged", "unplug 2", UpdateFileOf, {}, ExitCode::NoProduct, "No product is connected."},
        OutcomeCase{"ProductMismatch", "product ZZZZZZZZ", UpdateFileOf, {}, ExitCode::ProductMismatch,
                    kMismatch},
        OutcomeCase{"NoUpdateFile", "", [](const std::filesystem::path&) {}, {}, ExitCode::NoUpdateFile,
                    "There is not a update file."},
        OutcomeCase{"NamedFileMissing", "", UpdateFileOf, {"missing.bin"}, ExitCode::NoUpdateFile,
                    "There is not a update file."},
        OutcomeCase{"FileTooShort", "",
                    [](const std::filesystem::path& folder) {
                        WriteFileBytes(folder / "update.bin", std::vector<std::uint8_t>(7, 'A'));
                    },
                    {}, ExitCode::UpdateFileRefused, kTooShort},
        OutcomeCase{"FileTooLarge", "",
                    [](const std::filesystem::path& folder) {
                        UpdateFileOf(folder);
                        std::filesystem::resize_file(folder / "update.bin", 8 + 65535ull * 256 + 1);
                    },
                    {}, ExitCode::UpdateFileRefused, "The update file is larger than an update can be."},
        OutcomeCase{"NoAdapter", "fail FT_Open 3", UpdateFileOf, {}, ExitCode::NoAdapter, kNoAdapter},
        OutcomeCase{"NoAdapterOfTheFirstGeneration", "fail FT_Open 3", UpdateFileOf, {"--rate", "9600"},
                    ExitCode::NoAdapter, "A Kestro-2 is not connected."},
        OutcomeCase{"NoAdapterAtIndex", "", UpdateFileOf, {"--index", "7"}, ExitCode::NoAdapter, kNoAdapter},
        OutcomeCase{"UnknownSerialNumber", "", UpdateFileOf, {"--adapter", "NOSUCH00"}, ExitCode::NoAdapter,
                    kNoAdapter}),
    ParamName<OutcomeCase>);

namespace {

struct LanguageCase {
    const char* name;
    const char* scenario;
    std::vector<std::pair<const char*, const char*>> environment;  // after LC_ALL and LANGUAGE are unset
    std::vector<std::string> arguments;
    ExitCode code;
    const char* out;
};

void PrintTo(const LanguageCase& language, std::ostream* out)
{
    *out << language.name;
}

}  // namespace

class UpdateCliLanguage : public UpdateCli, public testing::WithParamInterface<LanguageCase> {
protected:
    UpdateCliLanguage() : UpdateCli(GetParam().scenario) {}
};

// The closing lines read as the window shows them in the user's language;
// JSON lines keep the English.
TEST_P(UpdateCliLanguage, SpeaksTheUsersLanguage)
{
    UpdateFileOf(m_folder);
    unsetenv("LC_ALL");
    for (const auto& [name, value] : GetParam().environment)
        setenv(name, value, 1);
    const CliRun run = RunCli(m_folder, GetParam().arguments);
    EXPECT_EQ(run.exitCode, static_cast<int>(GetParam().code)) << run.error;
    EXPECT_EQ(run.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, UpdateCliLanguage,
    testing::Values(
        LanguageCase{"JapaneseSuccess", "", {{"LC_ALL", "ja_JP.UTF-8"}}, {"write", "--yes"}, ExitCode::Succeeded,
                     "書き込みが終了しました。\n"},
        LanguageCase{"JapaneseMismatch", "product ZZZZZZZZ", {{"LC_ALL", "ja_JP.UTF-8"}}, {"write", "--yes"},
                     ExitCode::ProductMismatch, "接続された製品はアップデート対象製品ではありません\n"},
        LanguageCase{"JapaneseNoAdapter", "fail FT_Open 3", {{"LC_ALL", "ja_JP.UTF-8"}}, {"write", "--yes"},
                     ExitCode::NoAdapter, "Kestro-2/3が接続されていません。\n"},
        LanguageCase{"JapaneseNoAdapterOfTheFirstGeneration", "fail FT_Open 3", {{"LC_ALL", "ja_JP.UTF-8"}},
                     {"write", "--yes", "--rate", "9600"}, ExitCode::NoAdapter, "Kestro-2が接続されていません。\n"},
        LanguageCase{"JapaneseInfo", "", {{"LC_ALL", "ja_JP.UTF-8"}}, {"info", "update.bin"}, ExitCode::Succeeded,
                     "製品: KX200-01\n"
                     "データ: 1000 バイト\n"
                     "ブロック数: 4\n"
                     "100000 bit/s での所要時間: 0秒\n"
                     "9600 bit/s での所要時間: 2秒\n"},
        LanguageCase{"JapaneseJsonStaysEnglish", "fail FT_Open 3", {{"LC_ALL", "ja_JP.UTF-8"}},
                     {"write", "--yes", "--json"}, ExitCode::NoAdapter,
                     "{\"event\":\"result\",\"adapter\":\"KS000001\",\"code\":4,"
                     "\"message\":\"A Kestro-2/3 is not connected.\",\"latency_timer\":null}\n"},
        LanguageCase{"JapaneseFromLanguageList", "", {{"LANGUAGE", "fr:ja"}, {"LANG", "en_US.UTF-8"}},
                     {"write", "--yes"}, ExitCode::Succeeded, "書き込みが終了しました。\n"},
        LanguageCase{"GermanGetsEnglish", "", {{"LANG", "de_DE.UTF-8"}}, {"write", "--yes"}, ExitCode::Succeeded,
                     "This update succeeded.\n"},
        LanguageCase{"GermanFirstGenerationGetsEnglish", "fail FT_Open 3", {{"LANG", "de_DE.UTF-8"}},
                     {"write", "--yes", "--rate", "9600"}, ExitCode::NoAdapter, "A Kestro-2 is not connected.\n"}),
    ParamName<LanguageCase>);

// What only update-cli says is in the user's language too: here the
// progress lines on standard error and the refusal to ask without a terminal.
TEST_F(UpdateCli, JapaneseProgressAndRefusalToAsk)
{
    UpdateFileOf(m_folder);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    const CliRun write = RunCli(m_folder, {"write", "--yes"});
    EXPECT_EQ(write.exitCode, 0) << write.error;
    EXPECT_NE(write.error.find("4/4 ブロック、100%\n"), std::string::npos) << write.error;

    const CliRun ask = RunCli(m_folder, {"write"});
    EXPECT_EQ(ask.exitCode, static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(ask.error, "update-cli: 標準入力が端末ではないため確認できません。何も送信していません。"
                         "確認せずに書き込むには --yes を指定してください。\n");
}

// The timer is asked for once the line is configured and before the
// header goes out; without the option the driver's own stays, untouched.
TEST_F(UpdateCli, LatencyTimerIsSetAfterTheLineAndBeforeTheHeader)
{
    WriteUpdate(1000);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--json", "--latency-timer", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.error.find("latency"), std::string::npos) << run.error;
    EXPECT_EQ(JsonLinesOf(run.out).back()["latency_timer"], 2);
    const std::vector<std::string> calls = m_session.Calls();
    const auto at = [&calls](const std::string& call) { return std::ranges::find(calls, call) - calls.begin(); };
    const auto setTimer = at("FT_SetLatencyTimer device0 2 -> 0");
    ASSERT_LT(setTimer, static_cast<std::ptrdiff_t>(calls.size()));
    EXPECT_LT(at("FT_SetDataCharacteristics device0 8 0 0 -> 0"), setTimer);
    EXPECT_LT(setTimer, at("FT_Write device0 269 -> 0"));
}

TEST_F(UpdateCli, WithoutTheOptionNoLatencyTimerIsSet)
{
    WriteUpdate(1000);
    const CliRun run = RunCli(m_folder, {"write", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.error;
    for (const std::string& call : m_session.Calls())
        EXPECT_FALSE(call.starts_with("FT_SetLatencyTimer")) << call;
}

TEST_F(UpdateCli, LatencyTimerOfOneIsSetAsTwoAndSaysSo)
{
    WriteUpdate(1000);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--latency-timer", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.error.find("The latency timer is set to 2 ms, the least that the D2XX driver takes.\n"), 0u)
        << run.error;
    const std::vector<std::string> calls = m_session.Calls();
    EXPECT_NE(std::ranges::find(calls, "FT_SetLatencyTimer device0 2 -> 0"), calls.end());
}

namespace {

class UpdateCliLatencyTimerRefused : public UpdateCli {
protected:
    UpdateCliLatencyTimerRefused() : UpdateCli("fail FT_SetLatencyTimer 4\n") {}
};

}  // namespace

// A driver that refuses the timer ends nothing: it is said once.
TEST_F(UpdateCliLatencyTimerRefused, IsSaidAndTheUpdateGoesOn)
{
    WriteUpdate(1000);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--latency-timer", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out, Line(kSucceeded));
    EXPECT_EQ(run.error.find("The driver refused the latency timer; the update goes on with the driver's own.\n"),
              0u)
        << run.error;
}

TEST_F(UpdateCli, LatencyTimerOutOfRangeIsAUsageErrorAndSendsNothing)
{
    WriteUpdate(1000);
    for (const char* value : {"0", "256", "two", "-1"}) {
        const CliRun run = RunCli(m_folder, {"write", "--yes", "--latency-timer", value});
        EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::Usage)) << value;
        EXPECT_EQ(run.out, "") << value;
    }
    EXPECT_EQ(m_session.Calls(), std::vector<std::string>{});
}

TEST_F(UpdateCli, WritesThePayloadIntoTheProduct)
{
    WriteUpdate(70000);
    const CliRun run = RunCli(m_folder, {"write", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(ReadFileBytes(m_session.ImagePath()), ImageOf(m_payload));
}

TEST_F(UpdateCli, WithoutTheDriverLibraryExitsWithItsCode)
{
    WriteUpdate(1000);
    unsetenv("LD_LIBRARY_PATH");
    const CliRun run = RunCli(m_folder, {"write", "--yes"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::NoDriver));
    EXPECT_EQ(run.out, "The device driver for Kestro-2/3 is not installed.\n");
}

// A script that forgot --yes gets the usage code, and the product nothing:
// the driver library is not even loaded.
TEST_F(UpdateCli, WithoutATerminalAndWithoutYesSendsNothing)
{
    WriteUpdate(1000);
    const CliRun run = RunCli(m_folder, {"write"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.error.find("--yes"), std::string::npos) << run.error;
    EXPECT_EQ(m_session.Trace(), std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(m_session.ImagePath()));
}

// Standard output holds JSON lines only: progress that only goes forward,
// and one result at the end.
TEST_F(UpdateCli, JsonLinesParseBackToProgressAndOneResult)
{
    WriteUpdate(300 * 256);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.error, "");
    const std::vector<nlohmann::json> lines = JsonLinesOf(run.out);
    ASSERT_GE(lines.size(), 2u);
    const std::string adapter = lines.back()["adapter"];
    EXPECT_EQ(lines.back(), nlohmann::json({{"event", "result"},
                                            {"adapter", adapter},
                                            {"code", 0},
                                            {"message", kSucceeded},
                                            {"latency_timer", nullptr}}));
    int previous = -1;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        ASSERT_EQ(lines[i]["event"], "progress") << lines[i];
        EXPECT_EQ(lines[i]["adapter"], adapter);
        EXPECT_EQ(lines[i]["blocks"], 300);
        EXPECT_GT(lines[i]["block"].get<int>(), previous);
        previous = lines[i]["block"];
    }
    EXPECT_EQ(lines.front()["block"], 0);
    EXPECT_EQ(previous, 300) << "the last progress shows every block taken";
}

TEST_F(UpdateCli, JsonResultOfAFailureCarriesItsCode)
{
    WriteUpdate(1000);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--json", "--adapter", "NOSUCH00"});
    ASSERT_EQ(run.exitCode, static_cast<int>(ExitCode::NoAdapter));
    EXPECT_EQ(JsonLinesOf(run.out), std::vector<nlohmann::json>({{{"event", "result"},
                                                                  {"adapter", "NOSUCH00"},
                                                                  {"code", 4},
                                                                  {"message", kNoAdapter},
                                                                  {"latency_timer", nullptr}}}));
}

TEST_F(UpdateCli, InfoDescribesTheUpdateFile)
{
    WriteUpdate(65536);
    const CliRun run = RunCli(m_folder, {"info", "update.bin"});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out,
              "product: KX200-01\n"
              "payload: 65536 bytes\n"
              "blocks: 256\n"
              "time at 100000 bit/s: 11 s\n"
              "time at 9600 bit/s: 1 min 17 s\n");
}

TEST_F(UpdateCli, InfoOfARefusedFileSaysWhy)
{
    WriteFileBytes(m_folder / "short.bin", std::vector<std::uint8_t>(7, 'A'));
    const CliRun run = RunCli(m_folder, {"info", "short.bin"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::UpdateFileRefused));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.error, Line(kTooShort));
}

namespace {

// Three adapters, the second's product another than the file's.
constexpr char kThreeAdapters[] =
    "adapter KS000101 Kestro-3 on the bench\n"
    "adapter KS000102 Kestro-3 at the end of the line\n"
    "product ZZZZZZZZ\n"
    "adapter KS000103\n";

class UpdateCliThreeAdapters : public UpdateCli {
protected:
    UpdateCliThreeAdapters() : UpdateCli(kThreeAdapters) {}

    // Each declared adapter's product keeps its own image file.
    std::filesystem::path ImagePathOf(const std::string& serial) const
    {
        const std::filesystem::path image = m_session.ImagePath();
        return image.parent_path() / (image.stem().string() + "-" + serial + image.extension().string());
    }
};

}  // namespace

TEST_F(UpdateCliThreeAdapters, ListShowsEachAdapter)
{
    const CliRun run = RunCli(m_folder, {"list"});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out,
              "0 KS000101 Kestro-3 on the bench\n"
              "1 KS000102 Kestro-3 at the end of the line\n"
              "2 KS000103 Kestro-3 USB serial adapter (simulated)\n");
}

// Every adapter is written, each with its own result; one failing makes
// the run's code 10.
TEST_F(UpdateCliThreeAdapters, AllWritesEveryAdapterAndReportsEachOne)
{
    WriteUpdate(5000);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--all"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::SomeAdapterFailed)) << run.error;
    EXPECT_EQ(run.out, "KS000101: " + Line(kSucceeded) + "KS000102: " + Line(kMismatch) +
                           "KS000103: " + Line(kSucceeded));
    EXPECT_EQ(ReadFileBytes(ImagePathOf("KS000101")), ImageOf(m_payload));
    EXPECT_FALSE(std::filesystem::exists(ImagePathOf("KS000102")));
    EXPECT_EQ(ReadFileBytes(ImagePathOf("KS000103")), ImageOf(m_payload));
}

TEST_F(UpdateCliThreeAdapters, AllGivesEachAdaptersResultAsJson)
{
    WriteUpdate(5000);
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--all", "--json"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::SomeAdapterFailed)) << run.error;
    std::vector<nlohmann::json> results;
    for (const nlohmann::json& line : JsonLinesOf(run.out)) {
        if (line["event"] == "result")
            results.push_back(line);
        else
            EXPECT_EQ(line["event"], "progress") << line;
    }
    const auto result = [](const char* adapter, ExitCode code, const char* text) {
        return nlohmann::json({{"event", "result"},
                               {"adapter", adapter},
                               {"code", static_cast<int>(code)},
                               {"message", text},
                               {"latency_timer", nullptr}});
    };
    EXPECT_EQ(results, std::vector<nlohmann::json>({result("KS000101", ExitCode::Succeeded, kSucceeded),
                                                    result("KS000102", ExitCode::ProductMismatch,
                                                           kMismatch),
                                                    result("KS000103", ExitCode::Succeeded, kSucceeded)}));
}

// The file is refused once, before any adapter is opened.
TEST_F(UpdateCliThreeAdapters, AllWithARefusedFileWritesNone)
{
    WriteFileBytes(m_folder / "update.bin", std::vector<std::uint8_t>(7, 'A'));
    const CliRun run = RunCli(m_folder, {"write", "--yes", "--all"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::UpdateFileRefused));
    EXPECT_EQ(run.out, Line(kTooShort));
    for (const char* serial : {"KS000101", "KS000102", "KS000103"})
        EXPECT_FALSE(std::filesystem::exists(ImagePathOf(serial))) << serial;
}

namespace {

// An adapter whose memory holds escape sequences, a carriage return and a
// bell: "KS", ESC "[2J" (clear the screen), CR, "1"; "Bench", ESC "]0;x"
// (retitle the window), BEL, "!".
constexpr char kAdapterWithControlBytes[] = "adapter 0x4B531B5B324A0D31 0x42656E63681B5D303B780721\n";
constexpr char kListedSerial[] = "KS\x1B[2J\r1";
constexpr char kShownSerial[] = "KS [2J 1";

class UpdateCliControlBytes : public UpdateCli {
protected:
    UpdateCliControlBytes() : UpdateCli(kAdapterWithControlBytes) {}
};

}  // namespace

// What the driver lists reaches the terminal without its control bytes, in
// the listing, the progress and the result; JSON carries it whole, escaped.
TEST_F(UpdateCliControlBytes, ReachTheTerminalAsBlanks)
{
    const CliRun list = RunCli(m_folder, {"list"});
    EXPECT_EQ(list.exitCode, 0) << list.error;
    EXPECT_EQ(list.out, std::string("0 ") + kShownSerial + " Bench ]0;x !\n");

    WriteUpdate(1000);
    const CliRun write = RunCli(m_folder, {"write", "--yes", "--all"});
    EXPECT_EQ(write.exitCode, 0) << write.error;
    EXPECT_EQ(write.out, kShownSerial + (": " + Line(kSucceeded)));
    EXPECT_NE(write.error.find(std::string(kShownSerial) + ": 4/4 blocks, 100%\n"), std::string::npos) << write.error;
    EXPECT_EQ(write.error.find('\x1B'), std::string::npos);

    const CliRun json = RunCli(m_folder, {"write", "--yes", "--all", "--json"});
    EXPECT_EQ(json.exitCode, 0) << json.error;
    const std::vector<nlohmann::json> lines = JsonLinesOf(json.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back()["adapter"], kListedSerial);
}
