#pragma once

#include "config/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kx::config {

// One profile file (INI format), read and written one value at a time with the rules of
// the Windows profile-file functions. Strings in and out are UTF-8; the file keeps its own
// encoding (Windows-1252, or UTF-8 with or without a byte order mark).
//
// Every call looks at the file as it is now: the parse is kept only while the file's
// identity (device and inode), size, modification and status change times (and, while the
// modification time is too recent to tell, its contents) show it is the same file. Another
// program's file renamed over it is another inode, whatever its size and time stamp.
//
// Writes take the lock beside it (FileLock), re-check it, and replace it by renaming a
// complete new file over it, synced to disk before and after the rename (replaceFile). The
// new file is stamped as written a moment ago (30 ms), so that any later change gets a
// later time and the next check need not compare contents.
//
// The parse finds only the section headers; a section's keys are indexed at its first
// lookup, so reading a few sections of a large file never walks the others.
class IniFile
{
public:
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return m_path; }
    // The path as it was given.
    const std::string& name() const { return m_name; }

    // The value, cut to 32766 characters; nothing when the file, the section or the key
    // is missing or the file cannot be read.
    std::optional<std::string> read(std::string_view section, std::string_view key);
    // Whether the file has the section, keys or not. Its keys are not indexed for this.
    bool hasSection(std::string_view section);

    // Sets one value, creating the file, section and key as needed. False, with the file
    // left as it was, when a name is empty, the value holds a line break, or the file
    // cannot be locked, read or replaced.
    bool write(std::string_view section, std::string_view key, std::string_view value);

    // While on, only the first read checks the file; later reads use that same version
    // until it is switched off (see ConfigAccess::ReadScope). Writes always check.
    void setConsistentReads(bool on);

    // Takes the lock that writes take and keeps it until releaseLock(), so that the reads
    // and writes in between are one step no other writer comes between; writes meanwhile
    // use it instead of their own. False when the lock could not be had in time: writes
    // then fail until releaseLock(). Calls nest.
    bool holdLock();
    void releaseLock();

    // On (the default), a write reaches the disk before it returns. Off only where losing
    // the file in a power cut does not matter (a benchmark comparing the cost).
    void setSyncToDisk(bool on) { m_syncToDisk = on; }

    // How many times the file was parsed from scratch (for tests of the cache).
    std::size_t parseCount() const { return m_parseCount; }

private:
    struct KeyLine
    {
        std::size_t lineStart;
        std::size_t lineEnd; // end of the line's text, before its line break
        std::size_t keyLength;
        std::size_t keyStart; // the key as spelled in the file
        std::size_t valueStart; // the value as read: trimmed, unquoted, up to a NUL
        std::size_t valueLength;
        std::uint64_t hash; // of the key without case
    };
    struct Section
    {
        // The lines after the header, up to the next header or the end of the file.
        std::size_t bodyStart;
        std::size_t bodyEnd;
        std::size_t contentEnd; // end of the section's last non-blank line; valid once indexed
        bool indexed = false;
        std::vector<KeyLine> keys; // in file order, the first of duplicates only
        // Open addressing over indexes into keys, at most half full.
        std::vector<std::uint32_t> slots;
        // The key found last: loops over entries ask for the key after it, which is then
        // found without probing the table.
        mutable std::uint32_t lastFound = UINT32_MAX;
    };
    enum class Encoding
    {
        windows1252,
        utf8,
        utf8WithBom,
    };

    // The file's bytes. Unlike a string, growing it leaves the new bytes as they are, for
    // the file to be read straight into: on a large file, filling fresh memory with zeros
    // first costs as much as the read itself.
    class Bytes
    {
    public:
        Bytes() = default;
        explicit Bytes(std::string_view text);
        // The bytes move; what they are moved from is empty.
        Bytes(Bytes&& other) noexcept;
        Bytes& operator=(Bytes&& other) noexcept;
        // Never a null pointer, which the C string functions may not be given even for no bytes.
        operator std::string_view() const { return m_data ? std::string_view(m_data.get(), m_size) : ""; }
        std::size_t size() const { return m_size; }
        char* data() { return m_data.get(); }
        // Bytes beyond the old size are unset; room to spare is kept for later growth.
        void resize(std::size_t size);
        void append(std::string_view text);
        void replace(std::size_t at, std::size_t removed, std::string_view text);
        void release();

    private:
        std::unique_ptr<char[]> m_data;
        std::size_t m_size = 0;
        std::size_t m_capacity = 0;
    };

    // Encoding and section headers, found piece by piece as the file is read in.
    class Scan;

    static constexpr std::uint32_t noKey = UINT32_MAX;
    // The key's index in the section's keys, or noKey; `folded` as foldName gives it.
    std::uint32_t findKey(const Section& section, std::string_view folded, std::uint64_t hash) const;
    // Adds the key's line as the section's last key, growing the table as needed.
    void addKey(Section& section, const KeyLine& line);
    bool keyMatches(const KeyLine& line, std::string_view folded) const;

    // Indexes the section's keys, once.
    void indexKeys(Section& section);
    bool refresh();
    // refresh(), or the version already checked while consistent reads are on.
    bool refreshForRead();
    bool loadFromDisk();
    void parse(Bytes raw);
    // The same, from the scan of all of `raw`.
    void parse(Bytes raw, const Scan& scan);
    void forget();
    std::string decodeValue(const KeyLine& line) const;
    std::optional<std::string> encodeForFile(std::string_view utf8) const;
    // Moves every offset behind `position` by `delta`.
    void shiftAfter(std::size_t position, std::ptrdiff_t delta);
    // After a write whose new file was stamped `written`.
    void recordStamp(const FileStamp& written);

    std::filesystem::path m_path;
    std::string m_name;
    std::size_t m_parseCount = 0;

    // The cached parse; valid while m_loaded.
    bool m_loaded = false;
    bool m_exists = false;
    Bytes m_raw;
    Encoding m_encoding = Encoding::windows1252;
    bool m_validUtf8 = true; // every byte after a byte order mark is well-formed UTF-8
    // Windows-1252 files: the start of the first line that is not UTF-8 (npos: all ASCII).
    std::size_t m_firstInvalidUtf8 = std::string::npos;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::uint32_t> m_sectionIndex;

    // What the file looked like when m_raw was taken from it.
    FileStamp m_stamp;
    // A change within the file system's timestamp granularity of the modification time could
    // keep the same time (and size); until that window has passed, the contents are compared too.
    bool m_racy = false;
    bool m_syncToDisk = true;

    bool m_consistentReads = false;
    bool m_checkedForReads = false; // since consistent reads were switched on

    std::unique_ptr<FileLock> m_heldLock; // while holdLock() calls are open
    int m_lockHolds = 0;
};

// Puts `contents` back as the whole file `path`, or removes the file when there is nothing
// to put back, under the same lock as writes and as durably. For undoing a command that
// had written some of its values when it failed. False when that could not be done.
bool restoreFile(const std::filesystem::path& path, const std::optional<std::string>& contents);

} // namespace kx::config
