// Pressing WRITE, end to end: the update file, the question, the packets on
// the line, the progress bar, the status line and the closing message.
#include "app/resource.h"
#include "tests/e2e/tested_update.h"
#include "tests/support/param_name.h"
#include "tests/support/update_folder.h"

#include <gtest/gtest.h>

#include <numeric>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr wchar_t kQuestion[] = L"ABCDEFGH will be updated. Are you sure?";
constexpr wchar_t kSucceeded[] = L"This update succeeded.";

using Bytes = std::vector<std::uint8_t>;

// A payload that shows where each byte came from.
Bytes Payload(std::size_t size)
{
    Bytes payload(size);
    for (std::size_t i = 0; i < size; ++i)
        payload[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return payload;
}

std::string Hex(const Bytes& bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

// The packet as the line must carry it, worked out here from the protocol.
Bytes Packet(std::uint16_t number, std::uint16_t count, const Bytes& payload)
{
    Bytes packet = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    for (std::uint16_t field : {number, count}) {
        packet.push_back(static_cast<std::uint8_t>(field >> 8));
        packet.push_back(static_cast<std::uint8_t>(field & 0xFF));
    }
    Bytes block(256, number == 0xFFFF ? 0x00 : 0xFF);
    if (number != 0xFFFF) {
        const std::size_t start = 256u * number;
        std::copy(payload.begin() + static_cast<std::ptrdiff_t>(start),
                  payload.begin() + static_cast<std::ptrdiff_t>(std::min(payload.size(), start + 256)), block.begin());
    }
    packet.insert(packet.end(), block.begin(), block.end());
    packet.push_back(static_cast<std::uint8_t>(std::accumulate(packet.begin(), packet.end(), 0u)));
    return packet;
}

// The bytes of every packet that went out, in order.
std::vector<std::string> WrittenPackets(const TestedUpdate& update)
{
    std::vector<std::string> packets;
    const std::string prefix = "FT_Write device0 269 -> 0 wrote 269 ";
    for (const std::string& line : update.Trace()) {
        if (line.rfind(prefix, 0) == 0)
            packets.push_back(line.substr(prefix.size()));
    }
    return packets;
}

class UpdateTransfer : public testing::Test {
protected:
    void Launch(const LaunchOptions& options = {})
    {
        m_update.emplace(options);
        ASSERT_NE(m_update->WaitForMainWindow(), nullptr);
    }

    void WriteImage(const Bytes& payload)
    {
        WriteUpdateFile(m_update->WorkFolder() / "image.bin", NameOf("ABCDEFGH"), payload);
    }

    // Clicks WRITE and answers the question with OK; the closing box.
    MessageBoxView ConfirmedTransfer()
    {
        m_update->ClickWrite();
        const std::optional<MessageBoxView> question = m_update->WaitForMessageBox();
        EXPECT_TRUE(question.has_value());
        if (!question)
            return {};
        EXPECT_TRUE(m_update->Press(question->window, IDOK));
        const std::optional<MessageBoxView> closing = m_update->WaitForMessageBox();
        EXPECT_TRUE(closing.has_value());
        return closing.value_or(MessageBoxView{});
    }

    // Dismisses the closing box and waits for WRITE to come back.
    void Dismiss(const MessageBoxView& box)
    {
        EXPECT_TRUE(m_update->Press(box.window, IDOK));
        EXPECT_TRUE(m_update->WaitForWriteEnabled());
    }

    std::optional<TestedUpdate> m_update;
};

}  // namespace

TEST_F(UpdateTransfer, WithoutAnUpdateFileSaysSoAndChangesNothing)
{
    Launch();
    const std::vector<std::string> startCalls = m_update->TraceCalls();
    m_update->ClickWrite();
    const std::optional<MessageBoxView> box = m_update->WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"There is not a update file.");
    EXPECT_EQ(box->caption, L"Update");
    EXPECT_EQ(box->icon, BoxIcon::Stop);
    EXPECT_TRUE(m_update->IsControlEnabled(IDC_WRITE));
    Dismiss(*box);
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), L"");
    EXPECT_EQ(m_update->TraceCalls(), startCalls);
}

TEST_F(UpdateTransfer, CancelAtTheQuestionSendsNothing)
{
    Launch();
    WriteImage(Payload(600));
    const std::vector<std::string> startCalls = m_update->TraceCalls();
    m_update->ClickWrite();
    const std::optional<MessageBoxView> question = m_update->WaitForMessageBox();
    ASSERT_TRUE(question.has_value());
    EXPECT_EQ(question->text, kQuestion);
    EXPECT_EQ(question->caption, L"Update");
    EXPECT_EQ(question->icon, BoxIcon::Question);
    EXPECT_EQ(question->buttons, (std::vector<int>{IDOK, IDCANCEL}));
    ASSERT_TRUE(m_update->Press(question->window, IDCANCEL));

    EXPECT_TRUE(m_update->WaitForWriteEnabled());
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), L"");
    EXPECT_EQ(m_update->ProgressPosition(), 0);
    EXPECT_EQ(m_update->TraceCalls(), startCalls);
}

// Three blocks, the last one 88 bytes and 168 bytes of 0xFF.
TEST_F(UpdateTransfer, SendsEveryPacketAndTheProductReceivesTheImage)
{
    Launch();
    const Bytes payload = Payload(600);
    WriteImage(payload);
    const MessageBoxView success = ConfirmedTransfer();
    EXPECT_EQ(success.text, kSucceeded);
    EXPECT_EQ(success.caption, L"Update");
    EXPECT_EQ(success.icon, BoxIcon::Information);
    // The status changes before the box shows; the button comes back after.
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), kSucceeded);
    EXPECT_FALSE(m_update->IsControlEnabled(IDC_WRITE));
    EXPECT_EQ(m_update->ProgressUpper(), 3);
    EXPECT_EQ(m_update->ProgressPosition(), 3);
    Dismiss(success);
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), kSucceeded);

    std::vector<std::string> expected = {Hex(Packet(0xFFFF, 3, payload))};
    for (std::uint16_t block = 0; block < 3; ++block)
        expected.push_back(Hex(Packet(block, 3, payload)));
    EXPECT_EQ(WrittenPackets(*m_update), expected);

    Bytes image = payload;
    image.resize(3 * 256, 0xFF);
    EXPECT_EQ(m_update->ReceivedImage(), image);
}

TEST_F(UpdateTransfer, AnEmptyImageSendsTheHeaderAlone)
{
    Launch();
    WriteImage({});
    const MessageBoxView success = ConfirmedTransfer();
    EXPECT_EQ(success.text, kSucceeded);
    EXPECT_EQ(m_update->ProgressUpper(), 0);
    EXPECT_EQ(m_update->ProgressPosition(), 0);
    Dismiss(success);
    EXPECT_EQ(WrittenPackets(*m_update), std::vector<std::string>{Hex(Packet(0xFFFF, 0, {}))});
}

// Control bytes of the product name show as blanks in the question, so that
// it shows whole and on one line; the header packet carries them as they are.
TEST_F(UpdateTransfer, TheQuestionShowsControlBytesOfTheNameAsBlanks)
{
    Launch();
    const std::string_view name("A\x01\x1F" "B\x7F" "C\0D", 8);
    WriteUpdateFile(m_update->WorkFolder() / "image.bin", NameOf(name), Payload(10));
    m_update->ClickWrite();
    const std::optional<MessageBoxView> question = m_update->WaitForMessageBox();
    ASSERT_TRUE(question.has_value());
    EXPECT_EQ(question->text, L"A  B C D will be updated. Are you sure?");
    ASSERT_TRUE(m_update->Press(question->window, IDOK));
    const std::optional<MessageBoxView> success = m_update->WaitForMessageBox();
    ASSERT_TRUE(success.has_value());
    EXPECT_EQ(success->text, kSucceeded);
    Dismiss(*success);
    const std::vector<std::string> packets = WrittenPackets(*m_update);
    ASSERT_FALSE(packets.empty());
    EXPECT_EQ(packets.front().substr(0, 16), "41011f427f430044");
}

// The reply to the header never comes: while the error box shows, the
// transfer still reads as running; then it reads "Failed".
TEST_F(UpdateTransfer, AnAdapterFailureShowsNoProductThenFailed)
{
    Launch({.scenario = "short FT_Read 0 2"});
    WriteImage(Payload(600));
    const MessageBoxView error = ConfirmedTransfer();
    EXPECT_EQ(error.text, L"No product is connected.");
    EXPECT_EQ(error.caption, L"Error");
    EXPECT_EQ(error.icon, BoxIcon::Stop);
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), L"Now writing...");
    EXPECT_FALSE(m_update->IsControlEnabled(IDC_WRITE));
    Dismiss(error);
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), L"Failed");
}

// The bar shows what the last transfer left until a new header is accepted.
TEST_F(UpdateTransfer, ASecondTransferKeepsTheBarUntilItsHeaderIsAccepted)
{
    // The first transfer reads 8 times; the second one's header reply is read 10.
    Launch({.scenario = "short FT_Read 0 10"});
    WriteImage(Payload(600));
    Dismiss(ConfirmedTransfer());
    const MessageBoxView error = ConfirmedTransfer();
    EXPECT_EQ(error.text, L"No product is connected.");
    EXPECT_EQ(m_update->ProgressUpper(), 3);
    EXPECT_EQ(m_update->ProgressPosition(), 3);
    Dismiss(error);
}

struct RefusedFile {
    const char* name;
    void (*make)(const std::filesystem::path& file);
    bool heldOpen;  // by another program while the button is pressed
    const wchar_t* message;
};

void PrintTo(const RefusedFile& file, std::ostream* out)
{
    *out << file.name;
}

class UpdateRefusedFile : public UpdateTransfer, public testing::WithParamInterface<RefusedFile> {};

// Refused before the question, with nothing sent and nothing changed.
TEST_P(UpdateRefusedFile, SaysWhyAndChangesNothing)
{
    Launch();
    const std::filesystem::path file = m_update->WorkFolder() / "image.bin";
    GetParam().make(file);
    const HANDLE holder = GetParam().heldOpen ? CreateFileW(file.c_str(), GENERIC_READ,
                                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                            OPEN_EXISTING, 0, nullptr)
                                              : INVALID_HANDLE_VALUE;
    const std::vector<std::string> startCalls = m_update->TraceCalls();
    m_update->ClickWrite();
    const std::optional<MessageBoxView> box = m_update->WaitForMessageBox();
    if (holder != INVALID_HANDLE_VALUE)
        CloseHandle(holder);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, GetParam().message);
    EXPECT_EQ(box->caption, L"Update");
    EXPECT_EQ(box->icon, BoxIcon::Stop);
    Dismiss(*box);
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), L"");
    EXPECT_EQ(m_update->TraceCalls(), startCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UpdateRefusedFile,
    testing::Values(
        RefusedFile{"TooShort", [](const std::filesystem::path& file) { WriteFileBytes(file, Bytes(5, 0x41)); },
                    false, L"The update file is too short to hold an update."},
        RefusedFile{"TooLarge",
                    [](const std::filesystem::path& file) {
                        WriteUpdateFile(file, NameOf("ABCDEFGH"));
                        std::filesystem::resize_file(file, 8 + 65535 * 256 + 1);
                    },
                    false, L"The update file is larger than an update can be."},
        RefusedFile{"HeldOpen",
                    [](const std::filesystem::path& file) { WriteUpdateFile(file, NameOf("ABCDEFGH"), Payload(10)); },
                    true, L"There is not a update file."}),
    ParamName<RefusedFile>);

// Runs with the Japanese locale (see tests/CMakeLists.txt).
class UpdateTransferInJapanese : public UpdateTransfer {};

TEST_F(UpdateTransferInJapanese, TellsTheUserInJapanese)
{
    Launch({.scenario = "short FT_Read 0 4"});
    WriteImage({});
    m_update->ClickWrite();
    const std::optional<MessageBoxView> question = m_update->WaitForMessageBox();
    ASSERT_TRUE(question.has_value());
    EXPECT_EQ(question->text, L"ABCDEFGHをアップデートします。よろしいですか?");
    EXPECT_EQ(question->caption, L"Update");
    ASSERT_TRUE(m_update->Press(question->window, IDOK));
    const std::optional<MessageBoxView> success = m_update->WaitForMessageBox();
    ASSERT_TRUE(success.has_value());
    EXPECT_EQ(success->text, L"書き込みが終了しました。");
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), L"書き込みが終了しました。");
    Dismiss(*success);

    // The second header's reply is the fourth read: it falls short.
    const MessageBoxView error = ConfirmedTransfer();
    EXPECT_EQ(error.text, L"アップデートする製品が接続されていません");
    EXPECT_EQ(error.caption, L"エラー");
    Dismiss(error);
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), L"Failed");
}

struct Ending {
    const char* name;
    const char* scenario;   // for an image of three blocks
    const wchar_t* message;  // the closing box's
    int progress;            // where the bar stands at the end
    int packetsWritten;      // whole packets that reached the line
};

void PrintTo(const Ending& ending, std::ostream* out)
{
    *out << ending.name;
}

class UpdateTransferEnding : public UpdateTransfer, public testing::WithParamInterface<Ending> {};

// How the product's replies and the adapter's failures end a transfer.
TEST_P(UpdateTransferEnding, EndsAsTheRepliesSay)
{
    const Ending& ending = GetParam();
    Launch({.scenario = ending.scenario});
    const Bytes payload = Payload(3 * 256);
    WriteImage(payload);
    const MessageBoxView closing = ConfirmedTransfer();
    EXPECT_EQ(closing.text, ending.message);
    const bool success = ending.message == std::wstring(kSucceeded);
    EXPECT_EQ(closing.caption, success ? L"Update" : L"Error");
    EXPECT_EQ(closing.icon, success ? BoxIcon::Information : BoxIcon::Stop);
    EXPECT_EQ(m_update->ProgressPosition(), ending.progress);
    Dismiss(closing);
    EXPECT_EQ(m_update->ControlText(IDC_STATUS), success ? kSucceeded : L"Failed");

    // Every sending, the first and every one again, starts with a purge.
    const std::vector<std::string> calls = m_update->TraceCalls();
    int written = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind("FT_Write", 0) == 0) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(calls[i - 1], "FT_Purge device0 1 -> 0");
            written += calls[i] == "FT_Write device0 269 -> 0";
        }
    }
    EXPECT_EQ(written, ending.packetsWritten);
    if (success) {
        EXPECT_EQ(m_update->ReceivedImage(), payload);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, UpdateTransferEnding,
    testing::Values(
        // The header packet: by its status alone.
        Ending{"HeaderWriteFailed", "at header 1 status 3", L"A writing error occured. Retry the update.", 0, 1},
        Ending{"HeaderStatus1", "at header 1 status 1",
               L"This connected product does not match the update file.", 0, 1},
        Ending{"HeaderStatus2", "at header 1 status 2",
               L"This connected product does not match the update file.", 0, 1},
        Ending{"HeaderStatus4", "at header 1 status 4",
               L"This connected product does not match the update file.", 0, 1},
        Ending{"ProductOfAnotherName", "product ZYXWVUTS",
               L"This connected product does not match the update file.", 0, 1},
        Ending{"HeaderGarbageButAccepted", "at header 1 swap-echo\nat header 1 bad-checksum", kSucceeded, 3, 4},
        Ending{"HeaderNoReply", "at header 1 no-reply", L"No product is connected.", 0, 1},
        // A data packet not taken goes out again, unchanged, after a fresh purge.
        Ending{"DataEchoSwapped", "at 1 1 swap-echo", kSucceeded, 3, 5},
        Ending{"DataChecksumBad", "at 1 1 bad-checksum", kSucceeded, 3, 5},
        Ending{"DataStatus5", "at 1 1 status 5\nat 1 2 status 5", kSucceeded, 3, 6},
        Ending{"DataWriteFailedDespiteBadChecksum", "at 1 1 status 3\nat 1 1 bad-checksum",
               L"A writing error occured. Retry the update.", 1, 3},
        Ending{"UnpluggedAtBlock2", "unplug 2", L"No product is connected.", 2, 3},
        // A block refused 100 times in a row is not going to be taken.
        Ending{"BlockRefusedForGood", "at 0 * status 5", L"A writing error occured. Retry the update.", 0, 101}),
    ParamName<Ending>);
