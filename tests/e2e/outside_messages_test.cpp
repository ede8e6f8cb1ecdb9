// What other programs can do to Update.exe while it writes an image: the
// messages they send reach the window between exchanges with the product,
// and none of them may end, hang or re-enter the update.
#include "app/resource.h"
#include "tests/e2e/tested_update.h"
#include "tests/support/update_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr wchar_t kSucceeded[] = L"This update succeeded.";
// Long enough at 100000 bit/s (about 45 ms an exchange) for a message to
// arrive in the middle, short enough to keep each case quick.
constexpr std::uint16_t kBlocks = 24;
constexpr auto kAnswerTimeout = 2000ms;

Bytes Payload(std::size_t size)
{
    Bytes payload(size);
    for (std::size_t i = 0; i < size; ++i)
        payload[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
    return payload;
}

// The trace's lines about packets that the product judged, in order.
std::vector<std::string> PacketLines(const TestedUpdate& update)
{
    std::vector<std::string> lines;
    for (const std::string& line : update.Trace()) {
        if (line.rfind("packet ", 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

// The header once, then every block once, each taken at its first sending.
std::vector<std::string> OneCleanTransfer(std::uint16_t blocks)
{
    std::vector<std::string> lines = {"packet header attempt 1 -> 0"};
    for (std::uint16_t block = 0; block < blocks; ++block)
        lines.push_back("packet " + std::to_string(block) + " attempt 1 -> 0");
    return lines;
}

// Polls until the product has taken the header: the update is under way.
bool WaitForHeaderTaken(const TestedUpdate& update)
{
    const auto deadline = std::chrono::steady_clock::now() + UpdateProcess::kDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::vector<std::string> lines = PacketLines(update);
        if (std::find(lines.begin(), lines.end(), "packet header attempt 1 -> 0") != lines.end())
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// When the message comes, from the press of WRITE to the dismissal of the
// update's closing box.
enum class Moment {
    AtTheQuestion,
    WhileSending,
    AtTheClosingBox,
};

struct OutsideMessage {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    // The query before shutting down: its answer is FALSE while the product
    // is written (closing box included), TRUE before and after. Other
    // messages' answers carry no meaning.
    bool asksToEndTheSession = false;
};

class UpdateUnderWay : public testing::Test {
protected:
    void Launch(const LaunchOptions& options, const Bytes& payload)
    {
        m_update.emplace(options);
        ASSERT_NE(m_update->WaitForMainWindow(), nullptr);
        WriteUpdateFile(m_update->WorkFolder() / "image.bin", NameOf("ABCDEFGH"), payload);
    }

    // Clicks WRITE; the question that follows.
    std::optional<MessageBoxView> Question()
    {
        m_update->ClickWrite();
        return m_update->WaitForMessageBox();
    }

    // Sends the message as another program would; it must be answered at
    // once, and the query before shutting down as `sessionMayEnd` says.
    void Send(const OutsideMessage& sent, bool sessionMayEnd)
    {
        const std::optional<LRESULT> answer =
            m_update->SendToMainWindow(sent.message, sent.wParam, sent.lParam, kAnswerTimeout);
        ASSERT_TRUE(answer.has_value()) << "not answered within " << kAnswerTimeout.count() << " ms";
        if (sent.asksToEndTheSession) {
            EXPECT_EQ(*answer, sessionMayEnd ? TRUE : FALSE);
        }
    }

    // The closing box must be the only box; it is dismissed, and no other
    // box follows.
    void ExpectOnlyBoxThenDismiss(const MessageBoxView& closing, const wchar_t* text)
    {
        EXPECT_EQ(closing.text, text);
        EXPECT_EQ(m_update->MessageBoxes().size(), 1u);
        ASSERT_TRUE(m_update->Press(closing.window, IDOK));
        EXPECT_TRUE(m_update->WaitForWriteEnabled());
        std::this_thread::sleep_for(300ms);
        EXPECT_FALSE(m_update->FindMessageBox().has_value());
    }

    // The window is still there and starts the next update as before.
    void ExpectUsable()
    {
        EXPECT_EQ(WaitForSingleObject(m_update->Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_TRUE(IsWindow(m_update->MainWindow()));
        EXPECT_TRUE(IsWindowVisible(m_update->MainWindow()));
        const std::optional<MessageBoxView> question = Question();
        ASSERT_TRUE(question.has_value());
        EXPECT_EQ(question->text, L"ABCDEFGH will be updated. Are you sure?");
        EXPECT_TRUE(m_update->Press(question->window, IDCANCEL));
        EXPECT_TRUE(m_update->WaitForWriteEnabled());
    }

    std::optional<TestedUpdate> m_update;
};

using MessageAtMoment = std::tuple<Moment, OutsideMessage>;

std::string CaseName(const testing::TestParamInfo<MessageAtMoment>& info)
{
    static const char* const kMoments[] = {"AtTheQuestion", "WhileSending", "AtTheClosingBox"};
    return std::string(kMoments[static_cast<int>(std::get<Moment>(info.param))]) + "_" +
           std::get<OutsideMessage>(info.param).name;
}

class UpdateOutsideMessage : public UpdateUnderWay, public testing::WithParamInterface<MessageAtMoment> {};

}  // namespace

// The message is answered at once and changes nothing: one header, every
// block once and in order, the whole image in the product, one closing box,
// and the window goes on as before.
TEST_P(UpdateOutsideMessage, NeitherEndsNorReentersTheUpdate)
{
    const auto& [moment, sent] = GetParam();
    const Bytes payload = Payload(kBlocks * 256);
    Launch({.scenario = "line-timing"}, payload);

    const std::optional<MessageBoxView> question = Question();
    ASSERT_TRUE(question.has_value());
    if (moment == Moment::AtTheQuestion) {
        // Nothing is written yet: the session may end.
        Send(sent, true);
        EXPECT_EQ(m_update->MessageBoxes().size(), 1u);
    }
    ASSERT_TRUE(m_update->Press(question->window, IDOK));

    ASSERT_TRUE(WaitForHeaderTaken(*m_update));
    if (moment == Moment::WhileSending) {
        Send(sent, false);
        // The answer came while the update ran: the product still lacked blocks.
        EXPECT_LT(PacketLines(*m_update).size(), OneCleanTransfer(kBlocks).size());
    }

    const std::optional<MessageBoxView> closing = m_update->WaitForMessageBox();
    ASSERT_TRUE(closing.has_value());
    if (moment == Moment::AtTheClosingBox)
        Send(sent, false);
    ExpectOnlyBoxThenDismiss(*closing, kSucceeded);
    EXPECT_EQ(PacketLines(*m_update), OneCleanTransfer(kBlocks));
    EXPECT_EQ(m_update->ReceivedImage(), payload);

    if (sent.asksToEndTheSession)
        Send(sent, true);
    ExpectUsable();
}

INSTANTIATE_TEST_SUITE_P(
    Messages, UpdateOutsideMessage,
    testing::Combine(
        testing::Values(Moment::AtTheQuestion, Moment::WhileSending, Moment::AtTheClosingBox),
        testing::Values(OutsideMessage{"Write", WM_COMMAND, MAKEWPARAM(IDC_WRITE, BN_CLICKED), 0},
                        OutsideMessage{"Ok", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0},
                        OutsideMessage{"Cancel", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0},
                        OutsideMessage{"Close", WM_CLOSE, 0, 0},
                        OutsideMessage{"SystemClose", WM_SYSCOMMAND, SC_CLOSE, 0},
                        OutsideMessage{"About", WM_SYSCOMMAND, IDM_ABOUTBOX, 0},
                        OutsideMessage{"KeyboardMenu", WM_SYSCOMMAND, SC_KEYMENU, L' '},
                        OutsideMessage{"Move", WM_SYSCOMMAND, SC_MOVE, 0},
                        OutsideMessage{"QueryEndSession", WM_QUERYENDSESSION, 0, 0, true})),
    CaseName);

// At 9600 bit/s an exchange takes about 300 ms: a block that the product
// rejects 40 times keeps the update on it for some 12 s, and the window
// answers throughout.
TEST_F(UpdateUnderWay, AnswersWithinASecondWhileABlockIsRejectedAgainAndAgain)
{
    constexpr int kRejections = 40;
    std::string scenario = "line-timing\n";
    for (int attempt = 1; attempt <= kRejections; ++attempt)
        scenario += "at 0 " + std::to_string(attempt) + " status 5\n";
    const Bytes payload = Payload(256);
    Launch({.configuration = Configuration::FirstGeneration, .scenario = scenario}, payload);
    const std::optional<MessageBoxView> question = Question();
    ASSERT_TRUE(question.has_value());
    ASSERT_TRUE(m_update->Press(question->window, IDOK));
    ASSERT_TRUE(WaitForHeaderTaken(*m_update));

    auto slowest = std::chrono::steady_clock::duration::zero();
    int answers = 0;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!m_update->FindMessageBox() && std::chrono::steady_clock::now() < deadline) {
        const auto asked = std::chrono::steady_clock::now();
        const std::optional<LRESULT> answer = m_update->SendToMainWindow(WM_NULL, 0, 0, 1000ms);
        ASSERT_TRUE(answer.has_value()) << "no answer within a second after " << answers << " answers";
        slowest = std::max(slowest, std::chrono::steady_clock::now() - asked);
        ++answers;
        std::this_thread::sleep_for(50ms);
    }
    RecordProperty("slowest_answer_ms",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(slowest).count()));
    RecordProperty("answers", answers);
    EXPECT_LT(slowest, 1s);

    const std::optional<MessageBoxView> closing = m_update->WaitForMessageBox();
    ASSERT_TRUE(closing.has_value());
    ExpectOnlyBoxThenDismiss(*closing, kSucceeded);
    std::vector<std::string> expected = {"packet header attempt 1 -> 0"};
    for (int attempt = 1; attempt <= kRejections; ++attempt)
        expected.push_back("packet 0 attempt " + std::to_string(attempt) + " -> 0 status 5");
    expected.push_back("packet 0 attempt " + std::to_string(kRejections + 1) + " -> 0");
    EXPECT_EQ(PacketLines(*m_update), expected);
    EXPECT_EQ(m_update->ReceivedImage(), payload);
}
