#include "tests/cli/cli_process.h"

#include <stdexcept>

#include <windows.h>

namespace {

// Arguments here hold no blanks or quotes: quoting each is enough.
std::wstring CommandLineOf(const std::filesystem::path& program, const std::vector<std::string>& arguments)
{
    std::wstring line = L"\"" + program.wstring() + L"\"";
    for (const std::string& argument : arguments)
        line += L" \"" + std::filesystem::path(argument).wstring() + L"\"";
    return line;
}

HANDLE InheritableFile(const std::filesystem::path& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// The program runs from `folder`, with the simulator beside it as the driver
// library: it takes libraries from its own folder only.
CliProcess::CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                       const std::filesystem::path& input)
    : m_outFile(folder / "cli-out.txt"), m_errorFile(folder / "cli-error.txt")
{
    const std::filesystem::path program = folder / "update-cli.exe";
    std::filesystem::copy_file(UPDATE_CLI, program, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(D2XX_SIMULATOR, folder / "Ftd2xx.dll",
                               std::filesystem::copy_options::overwrite_existing);

    const HANDLE in = input.empty() ? InheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING)
                                    : InheritableFile(input, GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = InheritableFile(m_outFile, GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE error = InheritableFile(m_errorFile, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = CommandLineOf(program, arguments);
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, folder.c_str(), &startup, &process);
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(error);
    if (!started)
        throw std::runtime_error("update-cli.exe did not start");
    CloseHandle(process.hThread);
    m_process = reinterpret_cast<std::intptr_t>(process.hProcess);
}

CliProcess::~CliProcess()
{
    const HANDLE process = reinterpret_cast<HANDLE>(m_process);
    if (!HasEnded()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, INFINITE);
    }
    CloseHandle(process);
}

bool CliProcess::HasEnded()
{
    if (m_ended)
        return true;
    const HANDLE process = reinterpret_cast<HANDLE>(m_process);
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    m_exitCode = static_cast<int>(code);
    m_ended = true;
    return true;
}
