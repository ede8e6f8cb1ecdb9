// update-cli.exe as a Windows script runs it, with the simulator beside it as
// the driver library: a write that reaches the product, a failure's code,
// and the closing line in Japanese.
#include "cli/outcome.h"
#include "tests/cli/cli_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator_session.h"
#include "tests/support/test_folder.h"
#include "tests/support/update_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Standard output is text: each line ends in CR LF on Windows.
std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

class UpdateCliExe : public testing::Test {
protected:
    explicit UpdateCliExe(std::string_view scenario = {})
        : m_session(scenario), m_folder(FolderForCurrentTest("cli-"))
    {
        SpeakEnglish();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_payload.resize(20000);
        for (std::size_t i = 0; i < m_payload.size(); ++i)
            m_payload[i] = static_cast<std::uint8_t>(i * 31 % 247);
        WriteUpdateFile(m_folder / "update.bin", NameOf("KX200-01"), m_payload);
    }
    ~UpdateCliExe() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    SimulatorSession m_session;
    std::filesystem::path m_folder;
    std::vector<std::uint8_t> m_payload;
};

class UpdateCliExeMismatch : public UpdateCliExe {
protected:
    UpdateCliExeMismatch() : UpdateCliExe("product ZZZZZZZZ\n") {}
};

// Run with the Japanese user interface language, which Wine takes from the
// locale that CTest gives these tests.
class UpdateCliExeInJapanese : public testing::Test {
protected:
    UpdateCliExeInJapanese() : m_session("product ZZZZZZZZ\n"), m_folder(FolderForCurrentTest("cli-"))
    {
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        WriteUpdateFile(m_folder / "update.bin", NameOf("KX200-01"), std::vector<std::uint8_t>(300, 0x5A));
    }
    ~UpdateCliExeInJapanese() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    SimulatorSession m_session;
    std::filesystem::path m_folder;
};

}  // namespace

TEST_F(UpdateCliExe, WritesThePayloadIntoTheProduct)
{
    const CliRun run = RunCli(m_folder, {"write", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(WithoutCarriageReturns(run.out), "This update succeeded.\n");
    std::vector<std::uint8_t> image = m_payload;
    image.resize((image.size() + 255) / 256 * 256, 0xFF);
    EXPECT_EQ(ReadFileBytes(m_session.ImagePath()), image);
}

TEST_F(UpdateCliExeMismatch, ExitsWithTheMismatchCode)
{
    const CliRun run = RunCli(m_folder, {"write", "--yes"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::ProductMismatch)) << run.error;
    EXPECT_EQ(WithoutCarriageReturns(run.out), "This connected product does not match the update file.\n");
}

// Into a file, the closing line and the progress are UTF-8.
TEST_F(UpdateCliExeInJapanese, ClosesInJapanese)
{
    const CliRun run = RunCli(m_folder, {"write", "--yes"});
    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::ProductMismatch)) << run.error;
    EXPECT_EQ(WithoutCarriageReturns(run.out), "接続された製品はアップデート対象製品ではありません\n");
}
