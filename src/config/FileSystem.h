#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string_view>

// What the configuration file needs from the operating system beyond std::filesystem: a
// file's identity, a replacement that survives a crash or power cut, and a lock between
// processes. FileSystemPosix.cpp implements it here; a Windows build supplies the same
// functions over its own calls (named at each function).
namespace kx::config {

// What tells one version of a file from another. Times are nanoseconds since 1970.
struct FileStamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0; // with device: which file this is (a file renamed over it is another)
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    // The status change time (ctime), set by the system on every change, also on one that
    // puts back an earlier modification time, and never settable by a program.
    std::int64_t changed = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `path` names (links followed); nothing when it is missing or
// cannot be examined. Windows: GetFileInformationByHandle (volume serial, file index),
// FILE_BASIC_INFO's ChangeTime.
std::optional<FileStamp> stampOf(const std::filesystem::path& path);
// The same, of a file already open.
std::optional<FileStamp> stampOf(std::FILE* file);

// std::fopen of `path` with the system's own file names: on Windows the wide name
// (_wfopen), so that names outside the ANSI code page open too.
std::FILE* openFile(const std::filesystem::path& path, const char* mode);

// Now, on the clock file times are taken from.
std::int64_t fileClockNow();

// Puts a new file holding `pieces` in place of `target`: written as a temporary file in the
// same folder, with the old file's permissions and the modification time `modified`, then
// renamed over it. `target` is afterwards either the old file or the complete new one.
// With `durable`, that holds after a crash or power cut too: the data reach the disk before
// the rename, and the rename before this returns (POSIX: fsync of the file, rename, fsync of
// the folder; Windows: FlushFileBuffers, then MoveFileExW with MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH). Returns the new file's stamp as written, or nothing (with no
// temporary file left) when it could not be done; errno then tells why.
std::optional<FileStamp> replaceFile(const std::filesystem::path& target,
    std::initializer_list<std::string_view> pieces,
    std::int64_t modified,
    bool durable);

// Removes temporary files that replaceFile() left beside `target` when its process died
// between writing and renaming. Only call it while holding the FileLock of `target`: then
// no living writer has a temporary file there.
void removeLeftoverTemporaries(const std::filesystem::path& target);

// The name of a new temporary file for `target` in its folder: the target's name, a dot,
// 16 random hex digits and ".tmp" (what removeLeftoverTemporaries() recognises).
std::filesystem::path temporaryFileFor(const std::filesystem::path& target);

// An exclusive lock between processes over `target`, held from construction (if held()) to
// destruction, through a lock file `target`.lock beside it.
//
// The lock is the operating system's lock on that file (flock; Windows: LockFileEx), not the
// file's existence: the system releases it when its holder ends in any way, killed or
// crashed included, so a lock file left behind by a dead process blocks nobody: the next
// writer locks it at once and takes over. Nothing is guessed from process ids (reused, and
// meaningless across machines sharing a folder) or from the file's age (a slow writer that
// is alive would lose its lock).
//
// The holder removes the lock file before it unlocks, so a tidy run leaves none behind. A
// writer that was waiting on the removed file gets the lock on a file no longer there; it
// notices that the path now names another file, or none, and starts over, so two writers
// never hold the locks of two different files at the same time.
//
// A holder that is alive but stuck is never overruled: waiting ends after `patience`, and
// the caller reports the failure.
class FileLock
{
public:
    FileLock(const std::filesystem::path& target, std::chrono::milliseconds patience);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return m_handle >= 0; }

private:
    std::filesystem::path m_path;
    // The lock file's descriptor, or on Windows its HANDLE; negative when not held.
    std::intptr_t m_handle = -1;
};

} // namespace kx::config
