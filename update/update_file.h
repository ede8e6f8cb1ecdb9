// The update file as the platform holds it: the first "*.bin" entry of the
// working directory, or a file named by its path, open for reading only and
// for no other opener, read front to back. One implementation file per
// platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>
#include <utility>

// A read of the open update file failed. Not one of the adapter's
// exceptions: the file, not the line to the product, let the transfer down.
class UpdateFileError : public std::system_error {
public:
    explicit UpdateFileError(std::error_code cause) : std::system_error(cause, "reading the update file") {}
};

// Owns the open file and closes it when it goes. Move-only.
class UpdateFile {
public:
    // Opens the first entry that the platform's search of the working
    // directory returns for "*.bin". Not open when there is no such entry or
    // when it cannot be opened as a file of its own (a directory, a file that
    // someone else holds open, missing rights): the other entries are never
    // tried.
    static UpdateFile OpenFirstInWorkingDirectory();
    // Opens the file at `path` by the same rules: not open when it is not a
    // file of its own or cannot be opened for this reader alone.
    static UpdateFile Open(const std::filesystem::path& path);

    UpdateFile() = default;
    UpdateFile(UpdateFile&& other) noexcept : m_handle(std::exchange(other.m_handle, kNoHandle)) {}
    UpdateFile& operator=(UpdateFile&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, kNoHandle);
        }
        return *this;
    }
    ~UpdateFile() { Close(); }

    bool IsOpen() const { return m_handle != kNoHandle; }
    // Nothing when the platform cannot tell.
    std::optional<std::uint64_t> Length() const;
    // Reads on from the current position until `destination` is full or the
    // file ends; returns how many bytes arrived. Raises UpdateFileError.
    std::size_t Read(std::span<std::uint8_t> destination);

private:
    // A HANDLE on Windows, a file descriptor elsewhere; -1 is "none" for both.
    using NativeHandle = std::intptr_t;
    static constexpr NativeHandle kNoHandle = -1;

    explicit UpdateFile(NativeHandle handle) : m_handle(handle) {}
    void Close() noexcept;

    NativeHandle m_handle = kNoHandle;
};
