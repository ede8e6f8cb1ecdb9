// update-cli interrupted, and its update file changed, while a product is
// being written: with the line's own timing, so that there is a "while".
#include "cli/outcome.h"
#include "tests/cli/cli_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/param_name.h"
#include "tests/support/simulator_session.h"
#include "tests/support/test_folder.h"
#include "tests/support/update_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

using namespace std::chrono_literals;

namespace {

// About 2.6 s on the line at 100000 bit/s: long enough to be interrupted.
constexpr std::size_t kBlocks = 60;

class UpdateCliWhileWriting : public testing::Test {
protected:
    UpdateCliWhileWriting() : m_session("line-timing\n"), m_folder(FolderForCurrentTest("cli-"))
    {
        SpeakEnglish();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_payload.resize(kBlocks * 256);
        for (std::size_t i = 0; i < m_payload.size(); ++i)
            m_payload[i] = static_cast<std::uint8_t>(i * 7 % 253);
        WriteUpdateFile(m_folder / "update.bin", NameOf("KX200-01"), m_payload);
    }
    ~UpdateCliWhileWriting() override { std::filesystem::remove_all(m_folder); }

    // Started, with the first block's progress line written: the product has
    // taken the header.
    void StartWriting(CliProcess& process) const
    {
        ASSERT_TRUE(process.WaitForError(" blocks", 10s)) << process.ErrorSoFar();
    }

    SimulatorSession m_session;
    std::filesystem::path m_folder;
    std::vector<std::uint8_t> m_payload;
};

constexpr char kFirstInterruptionNotice[] =
    "\nAn update is being written. Press Ctrl-C again to abandon it; the product then needs a new update.\n";
constexpr char kSecondInterruptionNotice[] = "\nAbandoning the update after the current exchange.\n";

std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

}  // namespace

TEST_F(UpdateCliWhileWriting, OneInterruptionLetsTheWriteFinish)
{
    for (const int signal : {SIGINT, SIGTERM}) {
        CliProcess process(m_folder, {"write", "--yes"});
        StartWriting(process);
        process.Signal(signal);
        const CliRun run = process.Wait();
        EXPECT_EQ(run.exitCode, 0) << "signal " << signal << ": " << run.error;
        EXPECT_EQ(CountOf(run.error, kFirstInterruptionNotice), 1u) << run.error;
        EXPECT_EQ(run.out, "This update succeeded.\n");
        EXPECT_EQ(ReadFileBytes(m_session.ImagePath()), m_payload);
    }
}

// The second abandons after the exchange under way: the product is left
// without the rest of the image.
TEST_F(UpdateCliWhileWriting, TwoInterruptionsAbandonTheUpdate)
{
    CliProcess process(m_folder, {"write", "--yes"});
    StartWriting(process);
    process.Signal(SIGINT);
    ASSERT_TRUE(process.WaitForError(kFirstInterruptionNotice, 5s));
    process.Signal(SIGINT);
    const CliRun run = process.Wait();
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::Abandoned)) << run.error;
    EXPECT_NE(run.error.find(kSecondInterruptionNotice), std::string::npos) << run.error;
    const std::vector<std::string> packets = m_session.Packets();
    EXPECT_LT(packets.size(), kBlocks + 1) << "every block was sent";
    EXPECT_NE(ReadFileBytes(m_session.ImagePath()), m_payload);
}

// At the question nothing is being written yet: an interruption ends the
// program at once, as it ends any program, and nothing is sent.
TEST_F(UpdateCliWhileWriting, AnInterruptionAtTheQuestionEndsTheProgram)
{
    CliProcess process(m_folder, {"write"}, CliProcess::AtTerminal{});
    ASSERT_TRUE(process.WaitForError("Update product KX200-01? [y/N] ", 10s)) << process.ErrorSoFar();
    process.Signal(SIGINT);
    const CliRun run = process.Wait(5s);
    EXPECT_EQ(run.exitCode, 128 + SIGINT);
    EXPECT_EQ(m_session.Packets(), std::vector<std::string>{});
}

// A file that grows under the transfer would send an image other than the
// one counted: the update ends with the read error's code.
TEST_F(UpdateCliWhileWriting, AnUpdateFileThatGrowsEndsWithAReadError)
{
    CliProcess process(m_folder, {"write", "--yes"});
    StartWriting(process);
    std::ofstream(m_folder / "update.bin", std::ios::binary | std::ios::app) << "more";
    const CliRun run = process.Wait();
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::UpdateFileReadError)) << run.error;
    EXPECT_EQ(run.out, "The update file could not be read. Retry the update.\n");
}

namespace {

struct AnswerCase {
    const char* name;
    const char* answer;
    ExitCode code;
};

void PrintTo(const AnswerCase& answer, std::ostream* out)
{
    *out << answer.name;
}

}  // namespace

class UpdateCliQuestion : public testing::TestWithParam<AnswerCase> {
protected:
    UpdateCliQuestion() : m_folder(FolderForCurrentTest("cli-"))
    {
        SpeakEnglish();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        WriteUpdateFile(m_folder / "update.bin", NameOf("KX200-01"), std::vector<std::uint8_t>(600, 0x5A));
    }
    ~UpdateCliQuestion() override { std::filesystem::remove_all(m_folder); }

    SimulatorSession m_session;
    std::filesystem::path m_folder;
};

// Only "y" writes; any other answer sends nothing.
TEST_P(UpdateCliQuestion, WritesOnlyOnY)
{
    CliProcess process(m_folder, {"write"}, CliProcess::AtTerminal{});
    ASSERT_TRUE(process.WaitForError("Update product KX200-01? [y/N] ", 10s)) << process.ErrorSoFar();
    process.Type(GetParam().answer);
    const CliRun run = process.Wait();
    EXPECT_EQ(run.exitCode, static_cast<int>(GetParam().code)) << run.error;
    EXPECT_EQ(std::filesystem::exists(m_session.ImagePath()), GetParam().code == ExitCode::Succeeded);
}

INSTANTIATE_TEST_SUITE_P(Answers, UpdateCliQuestion,
                         testing::Values(AnswerCase{"Y", "y\n", ExitCode::Succeeded},
                                         AnswerCase{"No", "n\n", ExitCode::Abandoned},
                                         AnswerCase{"Yes", "yes\n", ExitCode::Abandoned},
                                         AnswerCase{"Empty", "\n", ExitCode::Abandoned},
                                         AnswerCase{"EndOfInput", "\x04", ExitCode::Abandoned}),
                         ParamName<AnswerCase>);
