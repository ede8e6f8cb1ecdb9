#include "cli/interruption.h"
#include "cli/interruption_state.h"

#include <csignal>
#include <cstddef>

#include <unistd.h>

namespace {

void WriteNotice(const char* text, std::size_t length)
{
    // Nothing to do about a notice that cannot be written.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text, length);
}

void OnInterruption(int signal)
{
    if (!IsWriting()) {
        // Ends the program as the signal would have: the default action runs
        // once this handler returns, since the signal is blocked in it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    const int count = CountInterruption();
    if (count == 1)
        WriteNotice(kFirstInterruptionNotice, sizeof kFirstInterruptionNotice - 1);
    else if (count == 2)
        WriteNotice(kSecondInterruptionNotice, sizeof kSecondInterruptionNotice - 1);
}

}  // namespace

void InstallInterruptionHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnInterruption;
    sigemptyset(&action.sa_mask);
    // Reads and waits of the transfer go on where the signal found them.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
