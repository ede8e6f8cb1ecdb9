// One test's session with the simulated driver library: a fresh folder with
// the scenario, named to the library through the environment before the
// library's first call, and the trace that the library writes there.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The lines of a trace file; empty when there is none.
std::vector<std::string> ReadTrace(const std::filesystem::path& file);
// Trace lines up to the status of each call, without the bytes moved.
std::vector<std::string> CallsOf(std::vector<std::string> trace);

class SimulatorSession {
public:
    explicit SimulatorSession(std::string_view scenario = {});
    ~SimulatorSession();
    SimulatorSession(const SimulatorSession&) = delete;
    SimulatorSession& operator=(const SimulatorSession&) = delete;

    // Every line of the trace so far.
    std::vector<std::string> Trace() const;
    // The trace lines up to the status of each call, without the bytes moved.
    std::vector<std::string> Calls() const;

private:
    std::filesystem::path m_folder;
};
