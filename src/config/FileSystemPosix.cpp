#include "config/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx::config {

namespace fs = std::filesystem;

namespace {

std::int64_t nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileStamp stampFrom(const struct stat& status)
{
    return FileStamp { static_cast<std::uint64_t>(status.st_dev),
        static_cast<std::uint64_t>(status.st_ino),
        static_cast<std::uint64_t>(status.st_size),
        nanoseconds(status.st_mtim),
        nanoseconds(status.st_ctim) };
}

bool writeAll(int handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(handle, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool syncFolder(const fs::path& folder)
{
    const int handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool ok = ::fsync(handle) == 0;
    ::close(handle);
    return ok;
}

} // namespace

std::optional<FileStamp> stampOf(const fs::path& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return stampFrom(status);
}

std::optional<FileStamp> stampOf(std::FILE* file)
{
    struct stat status;
    if (::fstat(::fileno(file), &status) != 0)
        return std::nullopt;
    return stampFrom(status);
}

std::FILE* openFile(const fs::path& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::int64_t fileClockNow()
{
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

std::optional<FileStamp> replaceFile(const fs::path& target,
    std::initializer_list<std::string_view> pieces,
    std::int64_t modified,
    bool durable)
{
    const fs::path temporary = temporaryFileFor(target);
    const int handle = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle < 0)
        return std::nullopt;
    bool ok = true;
    for (const std::string_view piece : pieces)
        ok = ok && writeAll(handle, piece);
    struct stat old;
    if (ok && ::stat(target.c_str(), &old) == 0)
        ok = ::fchmod(handle, old.st_mode & 07777) == 0;
    const timespec times[2] = { { 0, UTIME_NOW },
        { static_cast<time_t>(modified / 1'000'000'000), static_cast<long>(modified % 1'000'000'000) } };
    // Should the stamp not take, the reader compares contents instead; the write still counts.
    if (ok)
        ::futimens(handle, times);
    // Without this a power cut soon after the rename can leave the new name on an empty or
    // partly written file: the system may write the rename to disk before the data.
    if (ok && durable)
        ok = ::fsync(handle) == 0;
    struct stat written;
    ok = ok && ::fstat(handle, &written) == 0;
    ok = ::close(handle) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        // The caller reports the failed step's reason, not the clean-up's.
        const int reason = errno;
        ::unlink(temporary.c_str());
        errno = reason;
        return std::nullopt;
    }
    // The rename is an entry of the folder; until the folder reaches the disk, a power cut may
    // bring back the old file. A failure here is not the write's: the new file is in place and
    // readers see it (some file systems cannot sync a folder at all).
    if (durable)
        syncFolder(target.parent_path());
    return stampFrom(written);
}

FileLock::FileLock(const fs::path& target, std::chrono::milliseconds patience)
    : m_path(target.string() + ".lock")
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    auto pause = std::chrono::milliseconds(1);
    while (true) {
        int handle = ::open(m_path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle < 0 && errno == EEXIST) {
            handle = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
            if (handle < 0 && errno == ENOENT && std::chrono::steady_clock::now() < deadline)
                continue; // its holder just removed it
        }
        if (handle < 0)
            return; // the folder is missing or not writable: waiting will not help
        bool locked = false;
        while (true) {
            if (::flock(handle, LOCK_EX | LOCK_NB) == 0) {
                locked = true;
                break;
            }
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(16));
        }
        if (!locked) {
            ::close(handle);
            return;
        }
        struct stat mine;
        struct stat named;
        if (::fstat(handle, &mine) == 0 && ::stat(m_path.c_str(), &named) == 0 && mine.st_dev == named.st_dev
            && mine.st_ino == named.st_ino) {
            m_handle = handle;
            return;
        }
        // Locked a file its holder had removed: the lock that counts is on the one there now.
        ::close(handle);
        if (std::chrono::steady_clock::now() >= deadline)
            return;
    }
}

FileLock::~FileLock()
{
    if (m_handle < 0)
        return;
    ::unlink(m_path.c_str());
    ::close(static_cast<int>(m_handle));
}

} // namespace kx::config
