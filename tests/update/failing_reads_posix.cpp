#include "tests/update/failing_reads_posix.h"

#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The descriptor through which this process has `path` open, or -1.
int DescriptorOf(const std::filesystem::path& path)
{
    const std::filesystem::path target = std::filesystem::canonical(path);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the iterator's own descriptor closes meanwhile
        if (std::filesystem::read_symlink(entry.path(), gone) == target)
            return std::stoi(entry.path().filename().string());
    }
    return -1;
}

}  // namespace

bool MakeReadsFail(const std::filesystem::path& path)
{
    const int descriptor = DescriptorOf(path);
    if (descriptor == -1)
        return false;
    const int directory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool swapped = dup2(directory, descriptor) == descriptor;
    close(directory);
    return swapped;
}
