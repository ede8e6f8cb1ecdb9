// Starting and ending Update.exe, its window, its system menu and its
// languages, seen from outside as a user sees them.
#include "app/resource.h"
#include "tests/e2e/tested_update.h"
#include "tests/support/param_name.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {


const std::vector<std::string> kStartCalls = {
    "FT_ListDevices 0 0x40000002 -> 0",
    "FT_Open 0 -> 0",
    "FT_SetBaudRate device0 100000 -> 0",
    "FT_SetTimeouts device0 1000 1000 -> 0",
    "FT_SetDataCharacteristics device0 8 0 0 -> 0",
    "FT_SetTimeouts device0 5000 5000 -> 0",
};

// Opens the system menu as Alt+Space does and chooses its last item with
// End and Enter, as a user could. (Menu handles do not cross processes, so
// the items cannot be read from here; and Wine's own system menu has an
// item with the mnemonic A as well.)
bool ChooseLastSystemMenuItem(TestedUpdate& update, HWND window)
{
    PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, L' ');
    const HWND menu = update.WaitForPopupMenu();
    // The menu may show before it listens to the keyboard: press the keys
    // again until it closes.
    for (int attempt = 0; menu != nullptr && attempt < 20; ++attempt) {
        PostMessageW(menu, WM_KEYDOWN, VK_END, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        Sleep(100);
        if (!IsWindow(menu) || !IsWindowVisible(menu))
            return true;
    }
    return false;
}

struct FailedStart {
    const char* name;
    LaunchOptions options;
    const wchar_t* message;
};

void PrintTo(const FailedStart& start, std::ostream* out)
{
    *out << start.name;
}

class UpdateFailedStart : public testing::TestWithParam<FailedStart> {};

}  // namespace

// One error box over a window that never shows, then the program ends.
TEST_P(UpdateFailedStart, ShowsOneErrorBoxAndEnds)
{
    TestedUpdate update(GetParam().options);
    const std::optional<MessageBoxView> box = update.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, GetParam().message);
    EXPECT_EQ(box->caption, L"Error");
    EXPECT_EQ(box->icon, BoxIcon::Stop);
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_NE(box->owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(box->owner));

    ASSERT_TRUE(update.Press(box->window, IDOK));
    EXPECT_TRUE(update.WaitForExit());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateFailedStart,
    testing::Values(
        FailedStart{"NoDriver", {.library = DriverLibrary::None},
                    L"The device driver for Kestro-2/3 is not installed."},
        FailedStart{"DriverLackingAnEntry", {.library = DriverLibrary::LackingEntry},
                    L"The device driver for Kestro-2/3 is not installed."},
        // A driver library in the working folder is never loaded from there.
        FailedStart{"DriverOnlyInWorkingFolder", {.library = DriverLibrary::None, .libraryInWorkingFolder = true},
                    L"The device driver for Kestro-2/3 is not installed."},
        FailedStart{"ListingFails", {.scenario = "fail FT_ListDevices 2"}, L"A Kestro-2/3 is not connected."},
        FailedStart{"FrameFormatRefused", {.scenario = "fail FT_SetDataCharacteristics 4"},
                    L"A Kestro-2/3 is not connected."},
        FailedStart{"TimeoutsRefused", {.scenario = "fail FT_SetTimeouts 4 2"}, L"A Kestro-2/3 is not connected."},
        FailedStart{"FirstGenerationNoDriver",
                    {.configuration = Configuration::FirstGeneration, .library = DriverLibrary::None},
                    L"The device driver for Kestro-2 is not installed."},
        FailedStart{"FirstGenerationNoAdapter",
                    {.configuration = Configuration::FirstGeneration, .scenario = "fail FT_ListDevices 2"},
                    L"A Kestro-2 is not connected."}),
    ParamName<FailedStart>);

TEST(UpdateStart, OpensTheAdapterAndWaitsWithWriteFocused)
{
    TestedUpdate update;
    const HWND window = update.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(update.TraceCalls(), kStartCalls);
    EXPECT_EQ(update.WindowText(window), L"Update");
    EXPECT_EQ(update.ControlText(IDC_STATUS), L"");
    EXPECT_EQ(update.ControlText(IDC_WRITE), L"WRITE");
    EXPECT_TRUE(update.IsControlEnabled(IDC_WRITE));
    EXPECT_TRUE(update.WaitForFocus(IDC_WRITE));
    EXPECT_FALSE(update.FindMessageBox().has_value());
}

TEST(UpdateStart, FirstGenerationOpensTheLineAt9600)
{
    TestedUpdate update({.configuration = Configuration::FirstGeneration});
    ASSERT_NE(update.WaitForMainWindow(), nullptr);
    std::vector<std::string> expected = kStartCalls;
    expected[2] = "FT_SetBaudRate device0 9600 -> 0";
    EXPECT_EQ(update.TraceCalls(), expected);
}

// The platform keeps the low four bits of a system command for itself.
TEST(UpdateSystemMenu, AboutItemOpensTheAboutBoxForEveryLowNibble)
{
    TestedUpdate update;
    const HWND window = update.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ChooseLastSystemMenuItem(update, window));
    const HWND fromMenu = update.WaitForAboutBox();
    ASSERT_NE(fromMenu, nullptr);
    EXPECT_TRUE(update.Press(fromMenu, IDOK));

    for (UINT command : {UINT{IDM_ABOUTBOX}, UINT{IDM_ABOUTBOX | 0x000F}}) {
        PostMessageW(window, WM_SYSCOMMAND, command, 0);
        const HWND about = update.WaitForAboutBox();
        ASSERT_NE(about, nullptr) << command;
        EXPECT_EQ(GetWindow(about, GW_OWNER), window);
        EXPECT_TRUE(update.Press(about, IDOK));
    }

    // Any other command is the platform's: closing ends the program.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(update.WaitForExit());
}

// The language tests run with the locale of their language (see
// tests/CMakeLists.txt). The window title stays "Update" and the About box
// English in every language.
void ExpectTexts(const wchar_t* writeButton)
{
    TestedUpdate update;
    const HWND window = update.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(update.WindowText(window), L"Update");
    EXPECT_EQ(update.ControlText(IDC_WRITE), writeButton);

    ASSERT_TRUE(ChooseLastSystemMenuItem(update, window));
    const HWND about = update.WaitForAboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(update.WindowText(about), L"Update");
}

TEST(UpdateInGerman, ShowsTheEnglishTexts)
{
    ExpectTexts(L"WRITE");
}

TEST(UpdateInJapanese, ShowsTheJapaneseTexts)
{
    ExpectTexts(L"アップデート開始");
}
