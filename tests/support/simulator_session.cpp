#include "simulator_session.h"

#include "test_folder.h"

#include <cstdlib>
#include <fstream>

namespace {

void SetEnvironment(const char* name, const std::string& value)
{
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

}  // namespace

SimulatorSession::SimulatorSession(std::string_view scenario) : m_folder(FolderForCurrentTest("d2xx-"))
{
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    const std::filesystem::path scenarioFile = m_folder / "scenario.txt";
    std::ofstream(scenarioFile) << scenario;
    SetEnvironment("D2XX_SIM_SCENARIO", scenarioFile.string());
    SetEnvironment("D2XX_SIM_TRACE", (m_folder / "trace.txt").string());
}

SimulatorSession::~SimulatorSession()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::vector<std::string> ReadTrace(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::ifstream trace(file);
    for (std::string line; std::getline(trace, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> CallsOf(std::vector<std::string> trace)
{
    for (std::string& line : trace) {
        const std::size_t arrow = line.find(" -> ");
        if (arrow != std::string::npos)
            line = line.substr(0, line.find(' ', arrow + 4));
    }
    return trace;
}

std::vector<std::string> SimulatorSession::Trace() const
{
    return ReadTrace(m_folder / "trace.txt");
}

std::vector<std::string> SimulatorSession::Calls() const
{
    return CallsOf(Trace());
}
