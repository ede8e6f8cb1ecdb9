#include "tests/cli/cli_process.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

CliProcess::CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                       const std::filesystem::path& input)
    : m_outFile(folder / "cli-out.txt"), m_errorFile(folder / "cli-error.txt")
{
    Start(folder, arguments, input.empty() ? "/dev/null" : input.string());
}

CliProcess::CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments, AtTerminal)
    : m_outFile(folder / "cli-out.txt"), m_errorFile(folder / "cli-error.txt")
{
    m_terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_terminal < 0 || grantpt(m_terminal) != 0 || unlockpt(m_terminal) != 0)
        throw std::runtime_error("no terminal for update-cli");
    Start(folder, arguments, ptsname(m_terminal));
}

CliProcess::CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                       const Under& under)
    : m_outFile(folder / "cli-out.txt"), m_errorFile(folder / "cli-error.txt"), m_wrapper(under.wrapper)
{
    Start(folder, arguments, "/dev/null");
}

void CliProcess::Start(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                       const std::string& input)
{
    const std::string cli = UPDATE_CLI;
    std::vector<char*> argv;
    for (const std::string& word : m_wrapper)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(const_cast<char*>(cli.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDWR | O_NOCTTY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, m_outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, m_errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = -1;
    const int failure = posix_spawnp(&pid, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        throw std::runtime_error("update-cli did not start");
    m_process = pid;
}

void CliProcess::Type(const std::string& text)
{
    [[maybe_unused]] const ssize_t written = write(m_terminal, text.data(), text.size());
}

CliProcess::~CliProcess()
{
    if (!HasEnded()) {
        kill(static_cast<pid_t>(m_process), SIGKILL);
        waitpid(static_cast<pid_t>(m_process), nullptr, 0);
    }
    if (m_terminal >= 0)
        close(m_terminal);
}

void CliProcess::Signal(int signal)
{
    kill(static_cast<pid_t>(m_process), signal);
}

bool CliProcess::HasEnded()
{
    if (m_ended)
        return true;
    int status = 0;
    if (waitpid(static_cast<pid_t>(m_process), &status, WNOHANG) != static_cast<pid_t>(m_process))
        return false;
    m_ended = true;
    // A process ended by a signal reports as a shell does: 128 and the signal.
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}
