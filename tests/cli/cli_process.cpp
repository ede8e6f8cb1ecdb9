#include "tests/cli/cli_process.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string CliProcess::ErrorSoFar() const
{
    return ReadText(m_errorFile);
}

bool CliProcess::WaitForError(const std::string& text, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ErrorSoFar().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

CliRun CliProcess::Wait(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!HasEnded() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    CliRun run;
    run.exitCode = HasEnded() ? m_exitCode : -1;
    run.out = ReadText(m_outFile);
    run.error = ReadText(m_errorFile);
    return run;
}

void SpeakEnglish()
{
#ifdef _WIN32
    _putenv_s("LC_ALL", "en_US.UTF-8");
    _putenv_s("LANGUAGE", "");
#else
    setenv("LC_ALL", "C.UTF-8", 1);
    unsetenv("LANGUAGE");
#endif
}

CliRun RunCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments)
{
    CliProcess process(folder, arguments);
    return process.Wait();
}
