// Drives the real Update.exe as a user would: starts it in a folder of its
// own with the simulated driver library, finds its windows, reads and
// answers its message boxes, and reads its controls. Every wait has a
// deadline, and the process is ended by its handle when the object goes, so
// that nothing that drives it can hang.
//
// The folder holds program/ (Update.exe and the driver library), work/ (the
// working folder, for update files), and the simulator's scenario, trace
// and received image.
#pragma once

#include "driver/box_icon.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Which driver library lies beside the program.
enum class DriverLibrary {
    None,
    Complete,
    LackingEntry,
};

enum class Configuration {
    Current,
    FirstGeneration,
};

struct LaunchOptions {
    Configuration configuration = Configuration::Current;
    DriverLibrary library = DriverLibrary::Complete;
    std::string scenario;  // the simulator's scenario file
    // A complete driver library in the working folder (which must never be
    // loaded from there).
    bool libraryInWorkingFolder = false;
};

struct MessageBoxView {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    BoxIcon icon = BoxIcon::None;
    std::vector<int> buttons;  // the ids of its push buttons, IDOK = 1, IDCANCEL = 2
};

class UpdateProcess {
public:
    static constexpr std::chrono::milliseconds kDeadline{10000};

    // Makes `folder` anew and starts the program there.
    UpdateProcess(const std::filesystem::path& folder, const LaunchOptions& options);
    ~UpdateProcess();
    UpdateProcess(const UpdateProcess&) = delete;
    UpdateProcess& operator=(const UpdateProcess&) = delete;

    // The visible main window, once it is there; null at the deadline.
    HWND WaitForMainWindow();
    // The first message box that appears; nothing at the deadline.
    std::optional<MessageBoxView> WaitForMessageBox();
    // A message box open now, if there is one.
    std::optional<MessageBoxView> FindMessageBox();
    // Every message box open now.
    std::vector<MessageBoxView> MessageBoxes();
    // The About box (a dialog with the version line); null at the deadline.
    HWND WaitForAboutBox();
    // An open popup menu; null at the deadline.
    HWND WaitForPopupMenu();
    // Presses a button of a box or dialog and waits until the window is gone.
    bool Press(HWND window, int buttonId);
    // True when the process has ended by the deadline.
    bool WaitForExit();

    // Clicks WRITE, as the mouse would.
    void ClickWrite();
    // True once WRITE is enabled, false at the deadline.
    bool WaitForWriteEnabled();
    int ProgressUpper();
    int ProgressPosition();

    std::wstring ControlText(int controlId);
    bool IsControlEnabled(int controlId);
    // True once the control has the keyboard focus, false at the deadline.
    bool WaitForFocus(int controlId);
    std::wstring WindowText(HWND window) const;

    // Sends a message to the main window, as any other program may, and
    // waits up to `timeout` for its answer; nothing when none came in time.
    std::optional<LRESULT> SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam,
                                            std::chrono::milliseconds timeout);

    // False when the program could not be started, for the reason in StartError.
    bool Started() const { return m_process.hProcess != nullptr; }
    DWORD StartError() const { return m_startError; }
    HANDLE Process() const { return m_process.hProcess; }
    HWND MainWindow() const { return m_mainWindow; }

    // The simulator's trace, with the bytes moved.
    std::vector<std::string> Trace() const;
    // The image that the simulated product has accepted.
    std::vector<std::uint8_t> ReceivedImage() const;
    // The program's working folder, where update files go.
    std::filesystem::path WorkFolder() const { return m_folder / "work"; }

private:
    std::vector<HWND> TopLevelWindows() const;
    MessageBoxView ReadMessageBox(HWND box);
    HWND WaitFor(bool (*matches)(HWND window, const UpdateProcess& process));

    std::filesystem::path m_folder;
    PROCESS_INFORMATION m_process{};
    DWORD m_startError = ERROR_SUCCESS;
    HWND m_mainWindow = nullptr;
};
