// The simulator's trace: one line per driver call, written as it happens so
// that a test can read what reached the adapter even after a crash. Lines
// from several threads come out whole.
#pragma once

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

class Trace {
public:
    // An empty path, or one that cannot be written, traces nothing.
    explicit Trace(const std::filesystem::path& path);

    void Line(const std::string& text);
    // Whether lines go anywhere: the bytes a call moved are written out only then.
    bool IsOn() const { return m_file.is_open(); }

private:
    std::mutex m_mutex;
    std::ofstream m_file;
};
