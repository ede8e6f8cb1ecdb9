// The parts of update-cli as functions: the command line, the progress
// throttle and bar, the JSON lines, the exit codes, the question's answer and
// the choice of language.
#include "adapter/configuration.h"
#include "cli/command_line.h"
#include "cli/consent.h"
#include "cli/json_lines.h"
#include "cli/line_time.h"
#include "cli/outcome.h"
#include "cli/progress.h"
#include "cli/shown_text.h"
#include "cli/texts.h"
#include "cli/user_language.h"
#include "tests/support/param_name.h"
#include "update_version.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

using namespace std::chrono_literals;

namespace {

const Texts kEnglish(Language::English, Configuration::Current);
const Texts kJapanese(Language::Japanese, Configuration::Current);

std::variant<Options, EarlyExit> Parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "update-cli");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

struct RefusedCommandLine {
    const char* name;
    std::vector<const char*> arguments;
};

void PrintTo(const RefusedCommandLine& line, std::ostream* out)
{
    *out << line.name;
}

}  // namespace

TEST(CommandLine, WriteTakesItsFileAndOptions)
{
    const auto parsed = Parse({"write", "image.bin", "--adapter", "KS000002", "--rate", "9600", "--yes", "--json"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed));
    const Options& options = std::get<Options>(parsed);
    EXPECT_EQ(options.command, Command::Write);
    EXPECT_EQ(options.file, std::filesystem::path("image.bin"));
    EXPECT_EQ(options.serialNumber, "KS000002");
    EXPECT_FALSE(options.all);
    EXPECT_EQ(options.configuration, Configuration::FirstGeneration);
    EXPECT_TRUE(options.yes);
    EXPECT_TRUE(options.json);
}

// Without options, write sends the working folder's file through adapter 0
// at the current rate, after asking.
TEST(CommandLine, WriteDefaultsToTheWindowProgramsChoices)
{
    const auto parsed = Parse({"write"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed));
    const Options& options = std::get<Options>(parsed);
    EXPECT_EQ(options.file, std::nullopt);
    EXPECT_EQ(options.serialNumber, std::nullopt);
    EXPECT_EQ(options.index, 0u);
    EXPECT_EQ(options.configuration, Configuration::Current);
    EXPECT_FALSE(options.yes);
    EXPECT_FALSE(options.json);
}

TEST(CommandLine, HelpAndVersionEndWithSuccessOnStandardOutput)
{
    for (const char* flag : {"--help", "--version"}) {
        const auto parsed = Parse({flag});
        ASSERT_TRUE(std::holds_alternative<EarlyExit>(parsed)) << flag;
        const EarlyExit& exit = std::get<EarlyExit>(parsed);
        EXPECT_EQ(exit.code, ExitCode::Succeeded) << flag;
        EXPECT_NE(exit.output, "") << flag;
        EXPECT_EQ(exit.error, "") << flag;
    }
}

TEST(CommandLine, VersionIsTheBuildsVersion)
{
    const auto parsed = Parse({"--version"});
    ASSERT_TRUE(std::holds_alternative<EarlyExit>(parsed));
    EXPECT_EQ(std::get<EarlyExit>(parsed).output, std::string("update-cli ") + UPDATE_VERSION_TEXT + "\n");
}

class CommandLineRefused : public testing::TestWithParam<RefusedCommandLine> {};

TEST_P(CommandLineRefused, WithTheUsageCodeAndAReason)
{
    const auto parsed = Parse(GetParam().arguments);
    ASSERT_TRUE(std::holds_alternative<EarlyExit>(parsed));
    EXPECT_EQ(std::get<EarlyExit>(parsed).code, ExitCode::Usage);
    EXPECT_NE(std::get<EarlyExit>(parsed).error, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineRefused,
    testing::Values(RefusedCommandLine{"NoCommand", {}}, RefusedCommandLine{"UnknownCommand", {"erase"}},
                    RefusedCommandLine{"InfoWithoutFile", {"info"}},
                    RefusedCommandLine{"UnknownOption", {"write", "--force"}},
                    RefusedCommandLine{"OtherRate", {"write", "--rate", "115200"}},
                    RefusedCommandLine{"RateNotANumber", {"write", "--rate", "fast"}},
                    RefusedCommandLine{"NegativeIndex", {"write", "--index", "-1"}},
                    RefusedCommandLine{"SerialAndIndex", {"write", "--adapter", "KS000001", "--index", "1"}},
                    RefusedCommandLine{"SerialAndAll", {"write", "--adapter", "KS000001", "--all"}},
                    RefusedCommandLine{"IndexAndAll", {"write", "--index", "1", "--all"}},
                    RefusedCommandLine{"TwoFiles", {"write", "a.bin", "b.bin"}},
                    RefusedCommandLine{"WriteOptionOnList", {"list", "--yes"}}),
    ParamName<RefusedCommandLine>);

// Ten reports a second at most, however often the transfer steps.
TEST(ReportThrottle, LetsOneReportThroughPerInterval)
{
    ReportThrottle throttle;
    const ProgressClock::time_point start{};
    EXPECT_TRUE(throttle.TakeIfDue(start));
    EXPECT_FALSE(throttle.TakeIfDue(start + 1ms));
    EXPECT_EQ(throttle.TimeUntilDue(start + 40ms), 60ms);
    EXPECT_FALSE(throttle.TakeIfDue(start + 99ms));
    EXPECT_TRUE(throttle.TakeIfDue(start + 100ms));
    EXPECT_FALSE(throttle.TakeIfDue(start + 150ms));
    EXPECT_TRUE(throttle.TakeIfDue(start + 250ms)) << "the interval counts from the last report, not a fixed grid";
    EXPECT_EQ(throttle.TimeUntilDue(start + 400ms), 0ms);

    int reports = 0;
    for (auto now = start + 1s; now < start + 2s; now += 3ms)
        reports += throttle.TakeIfDue(now) ? 1 : 0;
    EXPECT_EQ(reports, 10);
}

namespace {

struct BarCase {
    const char* name;
    ProgressState state;
    std::string line;
};

void PrintTo(const BarCase& bar, std::ostream* out)
{
    *out << bar.name;
}

}  // namespace

class ProgressBar : public testing::TestWithParam<BarCase> {};

// The rate counts payload bytes; the time left comes from the rate so far.
TEST_P(ProgressBar, ShowsBlocksPercentRateAndTimeLeft)
{
    EXPECT_EQ(ProgressBarLine(GetParam().state, kEnglish), GetParam().line);
}

TEST(ProgressBarInJapanese, ShowsTheSameFiguresInJapaneseWords)
{
    EXPECT_EQ(ProgressBarLine({128, 256, 5s}, kJapanese),
              "[##########----------] 128/256 ブロック  50%    6.6 kB/s 残り 0:05");
}

INSTANTIATE_TEST_SUITE_P(
    States, ProgressBar,
    testing::Values(
        BarCase{"Started", {0, 256, 0ms}, "[--------------------] 0/256 blocks   0%    0.0 kB/s --:-- left"},
        BarCase{"Half", {128, 256, 5s}, "[##########----------] 128/256 blocks  50%    6.6 kB/s 0:05 left"},
        BarCase{"AlmostDone", {255, 256, 11s}, "[###################-] 255/256 blocks  99%    5.9 kB/s 0:00 left"},
        BarCase{"Done", {256, 256, 11s}, "[####################] 256/256 blocks 100%    6.0 kB/s 0:00 left"},
        BarCase{"Long", {100, 65535, 4300ms}, "[--------------------] 100/65535 blocks   0%    6.0 kB/s 46:54 left"},
        BarCase{"NoBlocks", {0, 0, 0ms}, "[####################] 0/0 blocks 100%    0.0 kB/s --:-- left"}),
    ParamName<BarCase>);

// What a script reads back is what was meant, whatever the serial number
// or the text holds.
TEST(JsonLines, ParseBackToTheirFields)
{
    const std::string progress = ProgressEventLine("KS\"00\\1", 17, 256);
    ASSERT_EQ(progress.back(), '\n');
    ASSERT_EQ(progress.find('\n'), progress.size() - 1) << "one object per line";
    EXPECT_EQ(nlohmann::json::parse(progress),
              nlohmann::json({{"event", "progress"}, {"adapter", "KS\"00\\1"}, {"block", 17}, {"blocks", 256}}));

    const std::string result = ResultEventLine(std::nullopt, ExitCode::NoProduct, "No product is\nconnected.");
    ASSERT_EQ(result.find('\n'), result.size() - 1) << "one object per line";
    EXPECT_EQ(nlohmann::json::parse(result), nlohmann::json({{"event", "result"},
                                                             {"adapter", nullptr},
                                                             {"code", 5},
                                                             {"message", "No product is\nconnected."},
                                                             {"latency_timer", nullptr}}));
    // The fields in the documented order.
    EXPECT_EQ(result.find("\"event\""), 1u);
}

TEST(JsonLines, StayJsonForASerialNumberThatIsNotUtf8)
{
    const std::string line = ResultEventLine(std::string("KS\xFF\xFE"), ExitCode::Succeeded, "done");
    EXPECT_TRUE(nlohmann::json::accept(line)) << line;
}

namespace {

struct EndingCase {
    const char* name;
    TransferResult result;
    Outcome outcome;
};

void PrintTo(const EndingCase& ending, std::ostream* out)
{
    *out << ending.name;
}

using Ending = TransferResult::Ending;

}  // namespace

class OutcomeOfTransfer : public testing::TestWithParam<EndingCase> {};

TEST_P(OutcomeOfTransfer, HasTheTablesCodeAndItsClosingMessage)
{
    EXPECT_EQ(OutcomeOf(GetParam().result), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, OutcomeOfTransfer,
    testing::Values(
        EndingCase{"Succeeded", {Ending::Succeeded, MessageId::Succeeded}, {ExitCode::Succeeded, MessageId::Succeeded}},
        EndingCase{"WriteError", {Ending::Failed, MessageId::WriteError}, {ExitCode::WriteError, MessageId::WriteError}},
        EndingCase{"NoProduct", {Ending::Failed, MessageId::NoProduct}, {ExitCode::NoProduct, MessageId::NoProduct}},
        EndingCase{"Mismatch", {Ending::Failed, MessageId::ProductMismatch},
                   {ExitCode::ProductMismatch, MessageId::ProductMismatch}},
        EndingCase{"ReadError", {Ending::Failed, MessageId::FileReadError},
                   {ExitCode::UpdateFileReadError, MessageId::FileReadError}},
        EndingCase{"NoFile", {Ending::Refused, MessageId::NoUpdateFile},
                   {ExitCode::NoUpdateFile, MessageId::NoUpdateFile}},
        EndingCase{"TooShort", {Ending::Refused, MessageId::FileTooShort},
                   {ExitCode::UpdateFileRefused, MessageId::FileTooShort}},
        EndingCase{"TooLarge", {Ending::Refused, MessageId::FileTooLarge},
                   {ExitCode::UpdateFileRefused, MessageId::FileTooLarge}},
        EndingCase{"Declined", {Ending::Declined, MessageId::Confirm}, {ExitCode::Abandoned, MessageId::Declined}},
        EndingCase{"Abandoned", {Ending::Abandoned, MessageId::Writing}, {ExitCode::Abandoned, MessageId::Abandoned}}),
    ParamName<EndingCase>);

// The header and every block, 273 bytes of 10 bits each, plus the adapter's
// 16 ms latency timer per reply.
TEST(LineTime, CountsEveryExchangeOnTheLine)
{
    EXPECT_EQ(LineTimeOfUpdate(0, kCurrentLineRate), 44ms);
    EXPECT_EQ(LineTimeOfUpdate(256, kCurrentLineRate), 11129ms);
    EXPECT_EQ(LineTimeOfUpdate(256, kFirstGenerationLineRate), 77197ms);
    EXPECT_EQ(LineTimeOfUpdate(65535, kFirstGenerationLineRate), 19685376ms);
}

TEST(LineTime, ReadsAsHoursMinutesAndSeconds)
{
    EXPECT_EQ(DurationText(44ms, kEnglish), "0 s");
    EXPECT_EQ(DurationText(11129ms, kEnglish), "11 s");
    EXPECT_EQ(DurationText(77197ms, kEnglish), "1 min 17 s");
    EXPECT_EQ(DurationText(3600s, kEnglish), "1 h 0 min 0 s");
    EXPECT_EQ(DurationText(77197ms, kJapanese), "1分17秒");
    EXPECT_EQ(DurationText(3600s, kJapanese), "1時間0分0秒");
}

TEST(Consent, OnlyYConsents)
{
    for (const char* answer : {"y", "y\r", " y \n"})
        EXPECT_TRUE(IsYes(answer)) << answer;
    for (const char* answer : {"", "n", "Y", "yes", "yy", "n y", "\n"})
        EXPECT_FALSE(IsYes(answer)) << answer;
}

TEST(ShownText, ProductNameIsUtf8)
{
    EXPECT_EQ(Utf8FromLatin1(L"KX200-01"), "KX200-01");
    EXPECT_EQ(Utf8FromLatin1(L"éclair ÿ"), "\xC3\xA9" "clair\xC2\xA0\xC3\xBF");
}

// A listed text's control bytes, and only those, turn into blanks: no escape
// sequence, carriage return or line end reaches the terminal.
TEST(ShownText, ListedTextShowsControlBytesAsBlanks)
{
    const struct {
        std::string listed;
        std::string shown;
    } cases[] = {
        {"KS000101", "KS000101"},
        {"KS\x1B[2J\r1", "KS [2J 1"},
        {"\n\t\x01\x1F\x7F", "     "},
        {" !~", " !~"},
        {"caf\xC3\xA9 \x80\x9B\xFF", "caf\xC3\xA9 \x80\x9B\xFF"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShownListedText(c.listed), c.shown) << testing::PrintToString(c.listed);
}

namespace {

struct EnvironmentCase {
    const char* name;
    std::map<std::string, std::string> variables;
    Language language;
};

void PrintTo(const EnvironmentCase& environment, std::ostream* out)
{
    *out << environment.name;
}

}  // namespace

class UserLanguageOfEnvironment : public testing::TestWithParam<EnvironmentCase> {};

TEST_P(UserLanguageOfEnvironment, IsChosenAsGettextChooses)
{
    const auto& variables = GetParam().variables;
    const auto variable = [&variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(LanguageOfEnvironment(variable), GetParam().language);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, UserLanguageOfEnvironment,
    testing::Values(
        EnvironmentCase{"Nothing", {}, Language::English},
        EnvironmentCase{"Lang", {{"LANG", "ja_JP.UTF-8"}}, Language::Japanese},
        EnvironmentCase{"LangOfOneWord", {{"LANG", "ja"}}, Language::Japanese},
        EnvironmentCase{"German", {{"LANG", "de_DE.UTF-8"}}, Language::English},
        EnvironmentCase{"Unknown", {{"LANG", "fr_FR.UTF-8"}}, Language::English},
        EnvironmentCase{"LcAllBeforeLang", {{"LC_ALL", "en_US.UTF-8"}, {"LANG", "ja_JP.UTF-8"}}, Language::English},
        EnvironmentCase{"LcMessagesBeforeLang", {{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "en_US"}},
                        Language::Japanese},
        EnvironmentCase{"EmptyCountsAsUnset", {{"LC_ALL", ""}, {"LANG", "ja_JP.UTF-8"}}, Language::Japanese},
        EnvironmentCase{"LanguageBeforeLocale", {{"LANGUAGE", "ja"}, {"LANG", "en_US.UTF-8"}}, Language::Japanese},
        EnvironmentCase{"LanguageListInOrder", {{"LANGUAGE", "fr:ja:en"}, {"LANG", "en_US.UTF-8"}},
                        Language::Japanese},
        EnvironmentCase{"GermanInTheListIsServed", {{"LANGUAGE", "de:ja"}, {"LANG", "ja_JP.UTF-8"}},
                        Language::English},
        EnvironmentCase{"LanguageIgnoredUnderC", {{"LANGUAGE", "ja"}, {"LC_ALL", "C"}}, Language::English},
        EnvironmentCase{"LanguageIgnoredUnderPosix", {{"LANGUAGE", "ja"}, {"LANG", "POSIX"}}, Language::English},
        EnvironmentCase{"LanguageIgnoredWithoutLocale", {{"LANGUAGE", "ja"}}, Language::English},
        EnvironmentCase{"LanguageOfUnknownsFallsToLocale", {{"LANGUAGE", "fr:es"}, {"LANG", "ja_JP"}},
                        Language::Japanese}),
    ParamName<EnvironmentCase>);
