#include "config/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>

#include <io.h>
#include <windows.h>

// Every name goes to the system as UTF-16 (the wide functions): std::filesystem::path holds
// it so on Windows, and the ANSI functions would lose whatever the code page cannot hold.
namespace kx::config {

namespace fs = std::filesystem;

namespace {

// FILETIME counts 100 ns steps since 1601-01-01; ours count nanoseconds since 1970.
constexpr std::int64_t fileTimeAt1970 = 116'444'736'000'000'000;

std::int64_t nanoseconds(std::int64_t fileTime) { return (fileTime - fileTimeAt1970) * 100; }

std::int64_t nanoseconds(const FILETIME& time)
{
    return nanoseconds(static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}

FILETIME fileTime(std::int64_t nanosecondsSince1970)
{
    const auto ticks = static_cast<std::uint64_t>(nanosecondsSince1970 / 100 + fileTimeAt1970);
    return FILETIME { static_cast<DWORD>(ticks & 0xFFFF'FFFF), static_cast<DWORD>(ticks >> 32) };
}

// The errno closest to the system's last error, for callers that report strerror().
int errnoFromLastError()
{
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}

// Owns a HANDLE from CreateFileW.
class Handle
{
public:
    explicit Handle(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~Handle()
    {
        if (valid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    // Closes now; false when the system reports a failure (a late write error, say).
    bool close()
    {
        const bool ok = ::CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_handle;
};

std::optional<FileStamp> stampOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    // ChangeTime is what st_ctim is on POSIX: set by the system on every change.
    FILE_BASIC_INFO basic;
    const bool haveBasic = ::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) != 0;
    return FileStamp { info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
        nanoseconds(info.ftLastWriteTime),
        haveBasic ? nanoseconds(basic.ChangeTime.QuadPart) : nanoseconds(info.ftLastWriteTime) };
}

// Opens `path` only to look at it; others may read, write, rename and delete it meanwhile.
HANDLE openForAttributes(const fs::path& path)
{
    return ::CreateFileW(path.c_str(),
        FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, // lets a folder be opened too, as stat() does
        nullptr);
}

bool writeAll(HANDLE handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool isTransient(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// MoveFileExW over a file that another process has open without FILE_SHARE_DELETE (a
// reader in the C runtime, a virus scanner, an indexer) fails until that process closes
// it, usually within milliseconds: try again for a short while.
bool renameOver(const fs::path& from, const fs::path& to, bool durable)
{
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    auto pause = std::chrono::milliseconds(1);
    while (!::MoveFileExW(from.c_str(), to.c_str(), flags)) {
        if (!isTransient(::GetLastError()) || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
    return true;
}

} // namespace

std::optional<FileStamp> stampOf(const fs::path& path)
{
    const Handle handle(openForAttributes(path));
    if (!handle.valid())
        return std::nullopt;
    return stampOf(handle.get());
}

std::optional<FileStamp> stampOf(std::FILE* file)
{
    const intptr_t handle = ::_get_osfhandle(::_fileno(file));
    if (handle == -1)
        return std::nullopt;
    return stampOf(reinterpret_cast<HANDLE>(handle));
}

std::FILE* openFile(const fs::path& path, const char* mode)
{
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(path.c_str(), wideMode.c_str());
}

std::int64_t fileClockNow()
{
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return nanoseconds(now);
}

std::optional<FileStamp> replaceFile(const fs::path& target,
    std::initializer_list<std::string_view> pieces,
    std::int64_t modified,
    bool durable)
{
    const fs::path temporary = temporaryFileFor(target);
    Handle handle(::CreateFileW(temporary.c_str(),
        GENERIC_READ | GENERIC_WRITE | FILE_WRITE_ATTRIBUTES,
        0,
        nullptr,
        CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL,
        nullptr));
    if (!handle.valid()) {
        errno = errnoFromLastError();
        return std::nullopt;
    }
    bool ok = true;
    for (const std::string_view piece : pieces)
        ok = ok && writeAll(handle.get(), piece);
    // Should the stamp not take, the reader compares contents instead; the write still counts.
    const FILETIME written = fileTime(modified);
    if (ok)
        ::SetFileTime(handle.get(), nullptr, nullptr, &written);
    // Without this the rename may reach the disk before the data: after a power cut the
    // configuration could be an empty or partly written file.
    if (ok && durable)
        ok = ::FlushFileBuffers(handle.get()) != 0;
    const auto stamp = ok ? stampOf(handle.get()) : std::nullopt;
    ok = ok && stamp;
    ok = handle.close() && ok;
    ok = ok && renameOver(temporary, target, durable);
    if (!ok) {
        // The caller reports the failed step's reason, not the clean-up's.
        const int reason = errnoFromLastError();
        ::DeleteFileW(temporary.c_str());
        errno = reason;
        return std::nullopt;
    }
    return stamp;
}

FileLock::FileLock(const fs::path& target, std::chrono::milliseconds patience)
    : m_path(fs::path(target) += ".lock")
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    auto pause = std::chrono::milliseconds(1);
    const auto wait = [&] {
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    };
    while (true) {
        // FILE_SHARE_DELETE lets the holder remove the file while others wait on it.
        HANDLE handle = ::CreateFileW(m_path.c_str(),
            GENERIC_READ | GENERIC_WRITE | DELETE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr,
            OPEN_ALWAYS,
            FILE_ATTRIBUTE_NORMAL,
            nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            // A lock file its holder is removing cannot be opened until the holder closes it.
            if (::GetLastError() == ERROR_ACCESS_DENIED && std::chrono::steady_clock::now() < deadline) {
                wait();
                continue;
            }
            return; // the folder is missing or not writable: waiting will not help
        }
        bool locked = false;
        while (true) {
            OVERLAPPED at {};
            if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
                locked = true;
                break;
            }
            if (::GetLastError() != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= deadline)
                break;
            wait();
        }
        if (!locked) {
            ::CloseHandle(handle);
            return;
        }
        const auto mine = stampOf(handle);
        const auto named = stampOf(m_path);
        if (mine && named && mine->device == named->device && mine->inode == named->inode) {
            m_handle = reinterpret_cast<std::intptr_t>(handle);
            return;
        }
        // Locked a file its holder had removed: the lock that counts is on the one there now.
        ::CloseHandle(handle);
        if (std::chrono::steady_clock::now() >= deadline)
            return;
    }
}

FileLock::~FileLock()
{
    if (m_handle < 0)
        return;
    const HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    // Marked for deletion through the handle, before the unlock: the name goes when the last
    // waiter's handle closes, and no waiter can keep a lock on it meanwhile.
    FILE_DISPOSITION_INFO disposition { TRUE };
    ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
    OVERLAPPED at {};
    ::UnlockFileEx(handle, 0, 1, 0, &at);
    ::CloseHandle(handle);
}

} // namespace kx::config
