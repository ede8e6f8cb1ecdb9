#include "cli/interruption.h"
#include "cli/interruption_state.h"

#include <csignal>
#include <cstddef>

#include <unistd.h>

namespace {

void WriteNotice(std::string_view text)
{
    // Nothing to do about a notice that cannot be written.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
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
    WriteNotice(InterruptionNotice(CountInterruption()));
}

}  // namespace

void InstallInterruptionHandlers(const Texts& texts)
{
    ChooseInterruptionNotices(texts);
    struct sigaction action {};
    action.sa_handler = OnInterruption;
    sigemptyset(&action.sa_mask);
    // Reads and waits of the transfer go on where the signal found them.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
