#include "update/update_file.h"

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The same test as the Windows pattern "*.bin": the name ends in ".bin",
// letters in any case.
bool HasBinSuffix(std::string_view name)
{
    constexpr std::string_view kSuffix = ".bin";
    if (name.size() < kSuffix.size())
        return false;
    const std::string_view tail = name.substr(name.size() - kSuffix.size());
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kSuffix[i])
            return false;
    }
    return true;
}

// The first entry of the working directory, in the order the directory
// lists them, whose name matches; empty when there is none.
std::string FirstBinEntry()
{
    std::error_code error;
    for (std::filesystem::directory_iterator entry(".", error), end; !error && entry != end;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (HasBinSuffix(name))
            return name;
    }
    return {};
}

int AsDescriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

}  // namespace

UpdateFile UpdateFile::OpenFirstInWorkingDirectory()
{
    const std::string name = FirstBinEntry();
    if (name.empty())
        return {};
    return Open(name);
}

UpdateFile UpdateFile::Open(const std::filesystem::path& path)
{
    // Without O_NONBLOCK a FIFO named "*.bin" would block the open until a
    // writer came; on a regular file the flag changes nothing.
    UpdateFile file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen())
        return {};
    struct stat status {};
    if (fstat(AsDescriptor(file.m_handle), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    // This platform has no exclusive open: an advisory lock keeps a second
    // opener out, as far as that opener asks for the lock too.
    if (flock(AsDescriptor(file.m_handle), LOCK_EX | LOCK_NB) != 0)
        return {};
    return file;
}

std::optional<std::uint64_t> UpdateFile::Length() const
{
    struct stat status {};
    if (fstat(AsDescriptor(m_handle), &status) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
}

std::size_t UpdateFile::Read(std::span<std::uint8_t> destination)
{
    // A read may stop short of the end of the file (a signal, a network file
    // system); reading on keeps every block at its place in the image.
    std::size_t total = 0;
    while (total < destination.size()) {
        const ssize_t count = read(AsDescriptor(m_handle), destination.data() + total, destination.size() - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw UpdateFileError(std::error_code(errno, std::generic_category()));
        if (count == 0)
            break;
        total += static_cast<std::size_t>(count);
    }
    return total;
}

void UpdateFile::Close() noexcept
{
    // The lock goes with the descriptor.
    if (IsOpen())
        close(AsDescriptor(std::exchange(m_handle, kNoHandle)));
}
