#include "trace.h"

Trace::Trace(const std::filesystem::path& path)
{
    if (!path.empty())
        m_file.open(path, std::ios::out | std::ios::trunc);
}

void Trace::Line(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    if (m_file.is_open())
        m_file << text << std::endl;
}
