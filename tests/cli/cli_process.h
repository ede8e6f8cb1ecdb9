// update-cli run as a process of its own, as a script runs it: its exit code,
// what it wrote to standard output and standard error (each to a file in the
// working folder), and on POSIX the signals it is sent. The environment is
// the test's, with the simulator's files named by a SimulatorSession.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string error;
};

class CliProcess {
public:
    // Starts update-cli in `folder` with standard input from `input` (on
    // POSIX /dev/null, which is no terminal, by default).
    CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
               const std::filesystem::path& input = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // What it has written to standard error so far.
    std::string ErrorSoFar() const;
    // Waits until standard error holds `text`; false when the process ended
    // or the time ran out first.
    bool WaitForError(const std::string& text, std::chrono::milliseconds timeout) const;
#ifndef _WIN32
    // Starts update-cli with a terminal of its own on standard input, as a
    // technician runs it; Type() writes to that terminal.
    struct AtTerminal {};
    CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments, AtTerminal);
    void Type(const std::string& text);
    void Signal(int signal);
    // Starts update-cli under another program that runs it: `wrapper` is
    // that program, found on PATH, and its arguments before update-cli's.
    struct Under {
        std::vector<std::string> wrapper;
    };
    CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments, const Under& under);
#endif
    // Waits for the end; a process that outlives `timeout` is ended and the
    // run has exit code -1.
    CliRun Wait(std::chrono::milliseconds timeout = std::chrono::seconds(30));

private:
    void Start(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
               const std::string& input);
    bool HasEnded();

    std::filesystem::path m_outFile;
    std::filesystem::path m_errorFile;
    std::intptr_t m_process = -1;  // a pid on POSIX, a process handle on Windows
    int m_exitCode = -1;
    bool m_ended = false;
    int m_terminal = -1;  // the controlling side of the terminal on standard input
    std::vector<std::string> m_wrapper;
};

// The locale's variables of this process, which update-cli inherits, set to
// speak English, whatever the machine's locale; a test of another language
// sets its own after this.
void SpeakEnglish();

// Runs update-cli to its end.
CliRun RunCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments);
