#include "simulator_session.h"

#include "test_folder.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

constexpr std::string_view kPacketLinePrefix = "packet ";

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
    SetEnvironment("D2XX_SIM_IMAGE", ImagePath().string());
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

std::vector<std::string> CallsOf(const std::vector<std::string>& trace)
{
    std::vector<std::string> calls;
    for (const std::string& line : trace) {
        if (line.starts_with(kPacketLinePrefix))
            continue;
        const std::size_t arrow = line.find(" -> ");
        calls.push_back(arrow == std::string::npos ? line : line.substr(0, line.find(' ', arrow + 4)));
    }
    return calls;
}

std::vector<std::string> PacketsOf(const std::vector<std::string>& trace)
{
    std::vector<std::string> packets;
    std::ranges::copy_if(trace, std::back_inserter(packets),
                         [](const std::string& line) { return line.starts_with(kPacketLinePrefix); });
    return packets;
}

std::vector<std::string> SimulatorSession::Trace() const
{
    return ReadTrace(m_folder / "trace.txt");
}

std::vector<std::string> SimulatorSession::Trace(const std::string& serialNumber) const
{
    return ReadTrace(m_folder / ("trace-" + serialNumber + ".txt"));
}

std::vector<std::string> SimulatorSession::Calls(const std::string& serialNumber) const
{
    return CallsOf(Trace(serialNumber));
}

std::vector<std::string> SimulatorSession::Packets(const std::string& serialNumber) const
{
    return PacketsOf(Trace(serialNumber));
}

std::filesystem::path SimulatorSession::ImagePath(const std::string& serialNumber) const
{
    return m_folder / ("image-" + serialNumber + ".bin");
}

std::vector<std::string> SimulatorSession::Calls() const
{
    return CallsOf(Trace());
}

std::vector<std::string> SimulatorSession::Packets() const
{
    return PacketsOf(Trace());
}

std::filesystem::path SimulatorSession::ImagePath() const
{
    return m_folder / "image.bin";
}
