// A fresh, empty folder that is the working directory for as long as the
// object lives; then the previous working directory comes back and the
// folder goes, with whatever the test left in it.
#pragma once

#include <filesystem>

class WorkingFolder {
public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    const std::filesystem::path& Path() const { return m_folder; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_folder;
};
