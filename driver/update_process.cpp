#include "driver/update_process.h"

#include "app/resource.h"
#include "update_version.h"

#include <commctrl.h>

#include <fstream>
#include <iterator>
#include <thread>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr UINT kAnswerTimeoutMs = 5000;
constexpr std::size_t kLongestText = 1024;
constexpr int kMessageTextId = 0xFFFF;
// The icon of a message box: 20 on Windows, 0x440 under Wine.
constexpr int kMessageIconIds[] = {0x14, 0x440};
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMenuClass[] = L"#32768";
// The About box's first line, which tells it from other dialogs.
constexpr wchar_t kVersionLine[] = L"" UPDATE_ABOUT_VERSION_LINE;

std::filesystem::path ProgramFile(Configuration configuration)
{
    return configuration == Configuration::Current ? UPDATE_PROGRAM : UPDATE_PROGRAM_FIRST_GENERATION;
}

void CopyInto(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    std::filesystem::copy_file(file, folder / file.filename(), std::filesystem::copy_options::overwrite_existing);
}

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

// Asks a window of the program, which answers between the blocks of a
// transfer at the latest; 0 when it does not answer in time.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

// Text of a window of another process, asked of the window itself in one
// message, so that a text changing meanwhile cannot come out cut short.
std::wstring TextOf(HWND window)
{
    std::wstring text(kLongestText, L'\0');
    const auto copied = static_cast<std::size_t>(Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, text.size()));
    return text;
}

bool IsDialog(HWND window)
{
    return ClassName(window) == kDialogClass && IsWindowVisible(window);
}

bool IsMainWindow(HWND window, const UpdateProcess&)
{
    return IsDialog(window) && GetDlgItem(window, IDC_WRITE) != nullptr;
}

bool IsMessageBox(HWND window, const UpdateProcess&)
{
    return IsDialog(window) && GetDlgItem(window, kMessageTextId) != nullptr;
}

bool IsAboutBox(HWND window, const UpdateProcess&)
{
    if (!IsDialog(window))
        return false;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child) == kVersionLine)
            return true;
    }
    return false;
}

bool IsPopupMenu(HWND window, const UpdateProcess&)
{
    return ClassName(window) == kMenuClass && IsWindowVisible(window);
}

// Asks `done` again and again until it holds; false at the deadline.
template <typename Condition>
bool WaitUntil(Condition done)
{
    const auto deadline = std::chrono::steady_clock::now() + UpdateProcess::kDeadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

// Clicks button `id` of `window`, as the mouse would.
void Click(HWND window, int id)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM search)
{
    auto* windows = reinterpret_cast<WindowSearch*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == windows->processId)
        windows->windows.push_back(window);
    return TRUE;
}

}  // namespace

UpdateProcess::UpdateProcess(const std::filesystem::path& folder, const LaunchOptions& options) : m_folder(folder)
{
    std::filesystem::remove_all(m_folder);
    const std::filesystem::path program = m_folder / "program";
    const std::filesystem::path work = m_folder / "work";
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(work);

    CopyInto(ProgramFile(options.configuration), program);
    if (options.library == DriverLibrary::Complete)
        CopyInto(D2XX_SIMULATOR, program);
    if (options.library == DriverLibrary::LackingEntry)
        CopyInto(D2XX_SIMULATOR_LACKING_ENTRY, program);
    if (options.libraryInWorkingFolder)
        CopyInto(D2XX_SIMULATOR, work);

    std::ofstream(m_folder / "scenario.txt") << options.scenario;
    SetEnvironmentVariableW(L"D2XX_SIM_SCENARIO", (m_folder / "scenario.txt").c_str());
    SetEnvironmentVariableW(L"D2XX_SIM_TRACE", (m_folder / "trace.txt").c_str());
    SetEnvironmentVariableW(L"D2XX_SIM_IMAGE", (m_folder / "received.img").c_str());

    std::wstring commandLine = L"\"" + (program / "Update.exe").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, work.c_str(), &startup,
                        &m_process)) {
        m_startError = GetLastError();
        m_process = {};
    }
}

UpdateProcess::~UpdateProcess()
{
    if (m_process.hProcess != nullptr) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, INFINITE);
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::vector<HWND> UpdateProcess::TopLevelWindows() const
{
    WindowSearch search{m_process.dwProcessId, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND UpdateProcess::WaitFor(bool (*matches)(HWND window, const UpdateProcess& process))
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows()) {
            if (matches(window, *this)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

HWND UpdateProcess::WaitForMainWindow()
{
    m_mainWindow = WaitFor(&IsMainWindow);
    return m_mainWindow;
}

std::optional<MessageBoxView> UpdateProcess::WaitForMessageBox()
{
    const HWND box = WaitFor(&IsMessageBox);
    if (box == nullptr)
        return std::nullopt;
    return ReadMessageBox(box);
}

std::optional<MessageBoxView> UpdateProcess::FindMessageBox()
{
    std::vector<MessageBoxView> boxes = MessageBoxes();
    if (boxes.empty())
        return std::nullopt;
    return boxes.front();
}

std::vector<MessageBoxView> UpdateProcess::MessageBoxes()
{
    std::vector<MessageBoxView> boxes;
    for (HWND window : TopLevelWindows()) {
        if (IsMessageBox(window, *this))
            boxes.push_back(ReadMessageBox(window));
    }
    return boxes;
}

MessageBoxView UpdateProcess::ReadMessageBox(HWND box)
{
    MessageBoxView view;
    view.window = box;
    view.owner = GetWindow(box, GW_OWNER);
    view.caption = TextOf(box);
    view.text = TextOf(GetDlgItem(box, kMessageTextId));
    for (int iconId : kMessageIconIds) {
        if (const HWND icon = GetDlgItem(box, iconId))
            view.icon = RecognizeBoxIcon(icon);
    }
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == L"Button" && IsWindowVisible(child))
            view.buttons.push_back(GetDlgCtrlID(child));
    }
    return view;
}

HWND UpdateProcess::WaitForAboutBox()
{
    return WaitFor(&IsAboutBox);
}

HWND UpdateProcess::WaitForPopupMenu()
{
    return WaitFor(&IsPopupMenu);
}

bool UpdateProcess::Press(HWND window, int buttonId)
{
    Click(window, buttonId);
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

bool UpdateProcess::WaitForExit()
{
    return WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(kDeadline.count())) == WAIT_OBJECT_0;
}

void UpdateProcess::ClickWrite()
{
    Click(m_mainWindow, IDC_WRITE);
}

bool UpdateProcess::WaitForWriteEnabled()
{
    return WaitUntil([&] { return IsControlEnabled(IDC_WRITE); });
}

int UpdateProcess::ProgressUpper()
{
    return static_cast<int>(Ask(GetDlgItem(m_mainWindow, IDC_PROGRESS), PBM_GETRANGE, FALSE));
}

int UpdateProcess::ProgressPosition()
{
    return static_cast<int>(Ask(GetDlgItem(m_mainWindow, IDC_PROGRESS), PBM_GETPOS));
}

std::wstring UpdateProcess::ControlText(int controlId)
{
    return TextOf(GetDlgItem(m_mainWindow, controlId));
}

bool UpdateProcess::IsControlEnabled(int controlId)
{
    return IsWindowEnabled(GetDlgItem(m_mainWindow, controlId)) != FALSE;
}

bool UpdateProcess::WaitForFocus(int controlId)
{
    return WaitUntil([&] {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_mainWindow, nullptr), &thread) &&
               thread.hwndFocus == GetDlgItem(m_mainWindow, controlId);
    });
}

std::wstring UpdateProcess::WindowText(HWND window) const
{
    return TextOf(window);
}

std::optional<LRESULT> UpdateProcess::SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam,
                                                       std::chrono::milliseconds timeout)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(m_mainWindow, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                             &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::vector<std::string> UpdateProcess::Trace() const
{
    std::vector<std::string> lines;
    std::ifstream trace(m_folder / "trace.txt");
    for (std::string line; std::getline(trace, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::uint8_t> UpdateProcess::ReceivedImage() const
{
    std::ifstream file(m_folder / "received.img", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
