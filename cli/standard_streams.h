// Standard output and standard error, written by several threads at once:
// each text goes out whole, never mixed with another thread's.
#pragma once

#include <mutex>
#include <string_view>

class StandardStreams {
public:
    void Out(std::string_view text);
    void Error(std::string_view text);

private:
    std::mutex m_mutex;
};
