#include "cli/interruption.h"
#include "cli/interruption_state.h"
#include "cli/terminal.h"

#include <windows.h>

namespace {

// Windows ends the process at most a few seconds after these, whatever the
// handler does.
bool EndsTheSession(DWORD event)
{
    return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

// Runs on a thread of its own that Windows starts for the event.
BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (!IsWriting())
        return FALSE;  // the default: the process ends at once
    if (EndsTheSession(event)) {
        // The process ends when this returns: the write gets what time is
        // left before Windows ends it anyway.
        while (IsWriting())
            Sleep(50);
        return TRUE;
    }
    WriteToStream(StandardStream::Error, InterruptionNotice(CountInterruption()));
    return TRUE;
}

}  // namespace

void InstallInterruptionHandlers(const Texts& texts)
{
    ChooseInterruptionNotices(texts);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
