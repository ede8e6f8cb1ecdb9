// One test's session with the simulated driver library: a fresh folder with
// the scenario, named to the library through the environment before the
// library's first call, and the trace and the product's image that the
// library writes there.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The lines of a trace file; empty when there is none.
std::vector<std::string> ReadTrace(const std::filesystem::path& file);
// The driver calls of a trace, each up to its status, without the bytes
// moved; the product's packet lines left out.
std::vector<std::string> CallsOf(const std::vector<std::string>& trace);
// The product's packet lines of a trace: "packet 2 attempt 1 -> 0".
std::vector<std::string> PacketsOf(const std::vector<std::string>& trace);

class SimulatorSession {
public:
    explicit SimulatorSession(std::string_view scenario = {});
    ~SimulatorSession();
    SimulatorSession(const SimulatorSession&) = delete;
    SimulatorSession& operator=(const SimulatorSession&) = delete;

    // Every line of the trace so far.
    std::vector<std::string> Trace() const;
    // The driver calls, each up to its status, without the bytes moved.
    std::vector<std::string> Calls() const;
    // The lines of the packets that the product judged.
    std::vector<std::string> Packets() const;
    // The image that the product accepted; absent until it accepts a header.
    std::filesystem::path ImagePath() const;

    // An adapter's own trace, calls, packets and image, for a scenario that
    // declares adapters; the library's trace keeps the calls that concern
    // none of them.
    std::vector<std::string> Trace(const std::string& serialNumber) const;
    std::vector<std::string> Calls(const std::string& serialNumber) const;
    std::vector<std::string> Packets(const std::string& serialNumber) const;
    std::filesystem::path ImagePath(const std::string& serialNumber) const;

private:
    std::filesystem::path m_folder;
};
