#include "cli/console.h"

#include <cstdio>

namespace {

void WriteAndFlush(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

void Console::Out(std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    WriteAndFlush(stdout, text);
}

void Console::Error(std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    WriteAndFlush(stderr, text);
}
