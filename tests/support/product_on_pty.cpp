#include "tests/support/product_on_pty.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

ProductOnPty::ProductOnPty(const std::filesystem::path& folder, std::string_view scenario, const std::string& name)
    : m_output(folder / (name + "-output.txt")), m_image(folder / (name + "-image.bin"))
{
    const std::filesystem::path scenarioFile = folder / (name + "-scenario.txt");
    std::ofstream(scenarioFile) << scenario;
    const std::string program = PRODUCT_ON_PTY;
    const std::string image = m_image.string();
    const std::string scenarioPath = scenarioFile.string();
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(image.c_str()),
                    const_cast<char*>(scenarioPath.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, m_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int failure = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        throw std::runtime_error("product-on-pty did not start");
    m_process = pid;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (m_port.empty() && std::chrono::steady_clock::now() < deadline) {
        for (const std::string& line : OutputLines()) {
            if (line.starts_with("port "))
                m_port = line.substr(5);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_port.empty())
        throw std::runtime_error("product-on-pty gave no port");
}

ProductOnPty::~ProductOnPty()
{
    kill(m_process, SIGTERM);
    int status = 0;
    waitpid(m_process, &status, 0);
}

std::vector<std::string> ProductOnPty::Settings() const
{
    std::vector<std::string> settings;
    for (const std::string& line : OutputLines()) {
        if (line.starts_with("settings "))
            settings.push_back(line);
    }
    return settings;
}

std::vector<std::string> ProductOnPty::OutputLines() const
{
    std::ifstream output(m_output);
    std::vector<std::string> lines;
    for (std::string line; std::getline(output, line);)
        lines.push_back(line);
    return lines;
}
