#include "cli/standard_streams.h"

#include "cli/terminal.h"

void StandardStreams::Out(std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    WriteToStream(StandardStream::Output, text);
}

void StandardStreams::Error(std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    WriteToStream(StandardStream::Error, text);
}
