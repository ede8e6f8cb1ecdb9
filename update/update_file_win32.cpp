#include "update/update_file.h"

#include <algorithm>

#include <windows.h>

namespace {

// Owns a directory search and ends it with FindClose.
class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : m_handle(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle()
    {
        if (IsValid())
            FindClose(m_handle);
    }

    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

HANDLE AsHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

UpdateFile UpdateFile::OpenFirstInWorkingDirectory()
{
    // A relative pattern: the search runs in the working directory, by the
    // platform's own matching rules.
    WIN32_FIND_DATAW found{};
    const FindHandle search(FindFirstFileW(L"*.bin", &found));
    if (!search.IsValid())
        return {};
    return Open(found.cFileName);
}

UpdateFile UpdateFile::Open(const std::filesystem::path& path)
{
    // Share mode 0: no one else may open the file while it is sent, and a
    // file that someone else has open cannot be opened. A directory fails
    // here too, since it needs FILE_FLAG_BACKUP_SEMANTICS.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return {};
    UpdateFile file(reinterpret_cast<std::intptr_t>(handle));
    // A reserved device name such as "con.bin" opens a device, whose reads
    // could wait for ever.
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return {};
    return file;
}

std::optional<std::uint64_t> UpdateFile::Length() const
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(AsHandle(m_handle), &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t UpdateFile::Read(std::span<std::uint8_t> destination)
{
    std::size_t total = 0;
    while (total < destination.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(destination.size() - total, MAXDWORD));
        DWORD count = 0;
        if (!ReadFile(AsHandle(m_handle), destination.data() + total, wanted, &count, nullptr))
            throw UpdateFileError(std::error_code(static_cast<int>(GetLastError()), std::system_category()));
        if (count == 0)
            break;
        total += count;
    }
    return total;
}

void UpdateFile::Close() noexcept
{
    if (IsOpen())
        CloseHandle(AsHandle(std::exchange(m_handle, kNoHandle)));
}
