#include "working_folder.h"

#include "test_folder.h"

WorkingFolder::WorkingFolder()
    : m_previous(std::filesystem::current_path()), m_folder(FolderForCurrentTest("work-"))
{
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    std::filesystem::current_path(m_folder);
}

WorkingFolder::~WorkingFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_folder, ignored);
}
