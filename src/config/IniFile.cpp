#include "config/IniFile.h"

#include "text/Text.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace kx::config {

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

constexpr std::size_t maxValueCharacters = 32766;
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Linux stamps files from a clock that advances once per scheduler tick (at most 10 ms);
// a change within that time after the stamp we saw could leave the stamp as it was.
constexpr std::int64_t racyWindow = std::chrono::nanoseconds(30ms).count();

// How long a write waits for another process's write to finish. A holder that died does
// not count (the lock goes with it); one that stays longer is stuck, and the write fails.
constexpr auto lockPatience = 5000ms;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool hasNonAscii(std::string_view s) { return text::skipAscii(s) != s.size(); }

// The end of the line that starts at `pos`: the next CR or LF, or the end of the text.
std::size_t lineEndFrom(std::string_view text, std::size_t pos)
{
    const char* start = text.data() + pos;
    const std::size_t rest = text.size() - pos;
    const void* lf = std::memchr(start, '\n', rest);
    const std::size_t limit = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : rest;
    const void* cr = std::memchr(start, '\r', limit);
    return pos + (cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - start) : limit);
}

// Section and key names compare without regard to case.
std::string foldName(std::string_view name, bool windows1252)
{
    std::string out(name);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return text::upperCase(windows1252 ? text::decodeWindows1252(name) : std::string(name));
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    }
    return out;
}

// FNV-1a: keys are short, mostly digits. The tables use the low bits, in which FNV-1a
// of strings that differ only in their last digits stays close: the final mix spreads them.
std::uint64_t nameHash(std::string_view folded)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : folded) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    return hash;
}

// Offset of the first line (from `from` on) that is not well-formed UTF-8, or npos.
// Line breaks never occur inside a UTF-8 sequence, so whole-file validity is line validity.
std::size_t firstInvalidLine(std::string_view raw, std::size_t from)
{
    std::size_t pos = from;
    while (pos < raw.size()) {
        const std::size_t end = lineEndFrom(raw, pos);
        const std::string_view line = raw.substr(pos, end - pos);
        if (hasNonAscii(line) && !text::isValidUtf8(line))
            return pos;
        pos = end + 1;
    }
    return std::string_view::npos;
}

std::string lineBreakStyle(std::string_view raw)
{
    const std::size_t pos = lineEndFrom(raw, 0);
    if (pos == raw.size())
        return "\r\n";
    if (raw[pos] == '\r')
        return (pos + 1 < raw.size() && raw[pos + 1] == '\n') ? "\r\n" : "\r";
    return "\n";
}

bool isRacy(std::int64_t modified, std::int64_t now)
{
    const std::int64_t age = now - modified;
    return age < racyWindow && age > -racyWindow;
}

// The whole open file into `contents`, whose memory is reused; false when it cannot be
// read. `progress` is shown the bytes read so far, piece by piece, while they are still in
// the processor's cache.
template <typename Buffer, typename Progress>
bool readWholeFile(std::FILE* file, Buffer& contents, Progress progress)
{
    // A first small read fails on a folder before its size could be taken for a file's.
    contents.resize(65536);
    std::size_t got = std::fread(contents.data(), 1, 65536, file);
    if (got == 65536 && std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        std::fseek(file, static_cast<long>(got), SEEK_SET);
        if (size > static_cast<long>(got)) {
            // Straight into place, without a second copy.
            contents.resize(static_cast<std::size_t>(size));
            constexpr std::size_t piece = 256 * 1024;
            while (got < contents.size()) {
                const std::size_t read
                    = std::fread(contents.data() + got, 1, std::min(piece, contents.size() - got), file);
                if (read == 0)
                    break;
                got += read;
                progress(std::string_view(contents.data(), got));
            }
        }
    }
    contents.resize(got);
    char buffer[65536];
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents.append({ buffer, got }); // the file grew while it was read
    return std::ferror(file) == 0;
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// Whether the file holds exactly `expected`, read piece by piece; nothing when it cannot be read.
std::optional<bool> fileHolds(const fs::path& path, std::string_view expected)
{
    std::FILE* file = openFile(path, "rb");
    if (!file)
        return std::nullopt;
    char buffer[65536];
    std::size_t offset = 0;
    bool same = true;
    std::size_t got = 0;
    while (same && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        same = offset + got <= expected.size() && std::memcmp(buffer, expected.data() + offset, got) == 0;
        offset += got;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return same && offset == expected.size();
}

// The file a write replaces: a link stays a link, and the file it points to is replaced.
std::optional<fs::path> replacementTarget(const fs::path& path)
{
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec)))
        return path;
    fs::path target = fs::canonical(path, ec);
    if (ec)
        return std::nullopt;
    return target;
}

// Parses one line [start, end) as `key=value`; nothing when it holds no key.
std::optional<std::array<std::size_t, 4>> parseKeyLine(
    std::string_view raw, std::size_t start, std::size_t end)
{
    const std::string_view line = raw.substr(start, end - start);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    std::size_t keyStart = 0;
    while (keyStart < equals && isBlank(line[keyStart]))
        ++keyStart;
    std::size_t keyEnd = equals;
    while (keyEnd > keyStart && isBlank(line[keyEnd - 1]))
        --keyEnd;
    if (keyEnd == keyStart)
        return std::nullopt;
    std::size_t valueStart = equals + 1;
    std::size_t valueEnd = line.size();
    while (valueStart < valueEnd && isBlank(line[valueStart]))
        ++valueStart;
    while (valueEnd > valueStart && isBlank(line[valueEnd - 1]))
        --valueEnd;
    if (valueEnd - valueStart >= 2 && line[valueStart] == line[valueEnd - 1]
        && (line[valueStart] == '"' || line[valueStart] == '\'')) {
        ++valueStart;
        --valueEnd;
    }
    // The profile functions hand values on as C strings.
    const std::size_t nul = line.substr(valueStart, valueEnd - valueStart).find('\0');
    if (nul != std::string_view::npos)
        valueEnd = valueStart + nul;
    return std::array<std::size_t, 4> { start + keyStart,
        keyEnd - keyStart,
        start + valueStart,
        valueEnd - valueStart };
}

} // namespace

IniFile::Bytes::Bytes(std::string_view text)
{
    resize(text.size());
    if (!text.empty())
        std::memcpy(m_data.get(), text.data(), text.size());
}

IniFile::Bytes::Bytes(Bytes&& other) noexcept
    : m_data(std::move(other.m_data))
    , m_size(std::exchange(other.m_size, 0))
    , m_capacity(std::exchange(other.m_capacity, 0))
{
}

IniFile::Bytes& IniFile::Bytes::operator=(Bytes&& other) noexcept
{
    if (this != &other) {
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

void IniFile::Bytes::resize(std::size_t size)
{
    if (size > m_capacity) {
        // Room for the lines writes add, spliced in place; untouched memory costs nothing.
        const std::size_t capacity = size + size / 16 + 65536;
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_size > 0)
            std::memcpy(grown.get(), m_data.get(), m_size);
        m_data = std::move(grown);
        m_capacity = capacity;
    }
    m_size = size;
}

void IniFile::Bytes::append(std::string_view text)
{
    const std::size_t at = m_size;
    resize(m_size + text.size());
    if (!text.empty())
        std::memcpy(m_data.get() + at, text.data(), text.size());
}

void IniFile::Bytes::replace(std::size_t at, std::size_t removed, std::string_view text)
{
    const std::size_t tail = m_size - at - removed;
    const std::size_t oldSize = m_size;
    if (text.size() > removed)
        resize(oldSize + text.size() - removed);
    if (tail > 0)
        std::memmove(m_data.get() + at + text.size(), m_data.get() + at + removed, tail);
    if (!text.empty())
        std::memcpy(m_data.get() + at, text.data(), text.size());
    m_size = oldSize - removed + text.size();
}

void IniFile::Bytes::release()
{
    m_data.reset();
    m_size = 0;
    m_capacity = 0;
}

IniFile::IniFile(fs::path path)
    : m_path(std::move(path))
    , m_name(m_path.string())
{
}

void IniFile::forget()
{
    m_loaded = false;
    m_exists = false;
    m_raw.release();
    m_sections.clear();
    m_sectionIndex.clear();
}

class IniFile::Scan
{
public:
    struct Header
    {
        std::size_t lineStart;
        std::size_t lineEnd;
        std::size_t nameStart; // trimmed
        std::size_t nameLength;
    };

    // Scans the complete lines of `text` not scanned yet; with `final`, the rest as well.
    // `text` is the file as read so far.
    void advance(std::string_view text, bool final)
    {
        if (!m_started) {
            if (!final && text.size() < byteOrderMark.size())
                return;
            m_started = true;
            bom = text.starts_with(byteOrderMark);
            m_begin = m_done = bom ? byteOrderMark.size() : 0;
        }
        std::size_t end = text.size();
        if (!final) {
            // Back to the last line break, but not over bytes already known to hold none:
            // a line of many pieces must not be walked again for each of them.
            const std::size_t floor = std::max(m_done, m_noBreakFrom);
            while (end > floor && !isLineBreak(text[end - 1]))
                --end;
            m_noBreakFrom = text.size();
            if (end == floor)
                return;
        }
        if (end <= m_done)
            return;
        const std::string_view piece = text.substr(m_done, end - m_done);
        // Line breaks never occur inside a UTF-8 sequence, so pieces of whole lines can be
        // checked one by one.
        nonAscii = nonAscii || hasNonAscii(piece);
        if (validUtf8 && nonAscii && !text::isValidUtf8(piece)) {
            validUtf8 = false;
            firstInvalid = firstInvalidLine(text, m_done);
        }
        findHeaders(text, end);
        m_done = end;
    }

    bool bom = false;
    bool nonAscii = false;
    bool validUtf8 = true; // after a byte order mark
    std::size_t firstInvalid = std::string_view::npos; // the first line that is not UTF-8
    std::vector<Header> headers;

private:
    // A header is a line whose first non-blank character is "[", so only the brackets in
    // the file need a look; the lines between headers are left for indexKeys().
    void findHeaders(std::string_view text, std::size_t end)
    {
        std::size_t pos = m_done;
        while (pos < end) {
            const void* found = std::memchr(text.data() + pos, '[', end - pos);
            if (!found)
                break;
            const auto bracket = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
            pos = bracket + 1;
            std::size_t lineStart = bracket;
            while (lineStart > m_begin && isBlank(text[lineStart - 1]))
                --lineStart;
            if (lineStart > m_begin && !isLineBreak(text[lineStart - 1]))
                continue;
            const std::size_t lineEnd = lineEndFrom(text, bracket);
            pos = lineEnd;
            const std::size_t close = text.substr(bracket, lineEnd - bracket).rfind(']');
            if (close == std::string_view::npos || close == 0)
                continue; // not a header: a line of the section it stands in
            const std::string_view inside = text.substr(bracket + 1, close - 1);
            const std::string_view name = trimBlanks(inside);
            headers.push_back({ lineStart,
                lineEnd,
                bracket + 1 + static_cast<std::size_t>(name.data() - inside.data()),
                name.size() });
        }
    }

    bool m_started = false;
    std::size_t m_begin = 0; // after a byte order mark
    std::size_t m_done = 0;
    std::size_t m_noBreakFrom = 0; // no line break from here to the end of the text seen
};

void IniFile::parse(Bytes raw)
{
    Scan scan;
    scan.advance(raw, true);
    parse(std::move(raw), scan);
}

void IniFile::parse(Bytes raw, const Scan& scan)
{
    ++m_parseCount;
    m_raw = std::move(raw);
    m_sections.clear();
    m_sectionIndex.clear();
    m_loaded = true;
    m_exists = true;

    m_validUtf8 = true;
    m_firstInvalidUtf8 = std::string::npos;
    if (scan.bom) {
        m_encoding = Encoding::utf8WithBom;
        m_validUtf8 = scan.validUtf8;
    } else if (scan.nonAscii && scan.validUtf8) {
        m_encoding = Encoding::utf8;
    } else {
        m_encoding = Encoding::windows1252;
        m_firstInvalidUtf8 = scan.firstInvalid;
    }
    const bool windows1252 = m_encoding == Encoding::windows1252;

    const std::string_view text = m_raw;
    constexpr std::uint32_t none = UINT32_MAX;
    std::uint32_t current = none;
    for (const Scan::Header& header : scan.headers) {
        if (current != none)
            m_sections[current].bodyEnd = header.lineStart;
        const auto [it, inserted] = m_sectionIndex.try_emplace(
            foldName(text.substr(header.nameStart, header.nameLength), windows1252),
            static_cast<std::uint32_t>(m_sections.size()));
        if (inserted) {
            m_sections.push_back(
                Section { header.lineEnd, text.size(), header.lineEnd, false, {}, {}, noKey });
            current = it->second;
        } else {
            current = none; // only the first of duplicate sections counts
        }
    }
}

void IniFile::indexKeys(Section& section)
{
    if (section.indexed)
        return;
    section.indexed = true;
    section.contentEnd = section.bodyStart;
    const bool windows1252 = m_encoding == Encoding::windows1252;
    const std::string_view text = m_raw;

    // Sized once from the number of lines: growing tables of a large section step by step
    // costs more than the scan, as every new page of memory is a fault.
    std::size_t lines = 1;
    for (const char lineBreak : { '\n', '\r' }) {
        for (std::size_t at = section.bodyStart; at < section.bodyEnd; ++at, ++lines) {
            const void* found = std::memchr(text.data() + at, lineBreak, section.bodyEnd - at);
            if (!found)
                break;
            at = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        }
        if (lines > 1)
            break; // lines end in LF, or in CR alone
    }
    section.keys.reserve(lines);
    std::size_t slots = 16;
    while (slots < 2 * lines)
        slots *= 2;
    section.slots.assign(slots, noKey);

    std::size_t pos = section.bodyStart;
    while (pos < section.bodyEnd) {
        while (pos < section.bodyEnd && isLineBreak(text[pos]))
            ++pos;
        if (pos >= section.bodyEnd)
            break;
        const std::size_t end = lineEndFrom(text, pos);
        std::size_t first = pos;
        while (first < end && isBlank(text[first]))
            ++first;
        if (first < end) {
            section.contentEnd = end;
            if (const auto parts = parseKeyLine(text, pos, end)) {
                const auto [keyStart, keyLength, valueStart, valueLength] = *parts;
                const std::string folded = foldName(text.substr(keyStart, keyLength), windows1252);
                const std::uint64_t hash = nameHash(folded);
                if (findKey(section, folded, hash) == noKey)
                    addKey(section, KeyLine { pos, end, keyLength, keyStart, valueStart, valueLength, hash });
            }
        }
        pos = end;
    }
}

bool IniFile::keyMatches(const KeyLine& line, std::string_view folded) const
{
    const std::string_view key = std::string_view(m_raw).substr(line.keyStart, line.keyLength);
    if (key.size() == folded.size()) {
        bool ascii = true;
        for (std::size_t i = 0; i < key.size() && ascii; ++i) {
            const char c = key[i];
            if (static_cast<unsigned char>(c) >= 0x80)
                ascii = false;
            else if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c) != folded[i])
                return false;
        }
        if (ascii)
            return true;
    } else if (!hasNonAscii(key)) {
        return false;
    }
    return foldName(key, m_encoding == Encoding::windows1252) == folded;
}

std::uint32_t IniFile::findKey(const Section& section, std::string_view folded, std::uint64_t hash) const
{
    if (section.slots.empty())
        return noKey;
    const std::uint32_t next = section.lastFound + 1; // 0 when nothing was found yet
    if (next < section.keys.size() && section.keys[next].hash == hash
        && keyMatches(section.keys[next], folded))
        return section.lastFound = next;
    const std::size_t mask = section.slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint32_t index = section.slots[i];
        if (index == noKey)
            return noKey;
        if (section.keys[index].hash == hash && keyMatches(section.keys[index], folded))
            return section.lastFound = index;
    }
}

void IniFile::addKey(Section& section, const KeyLine& line)
{
    section.keys.push_back(line);
    if (section.keys.size() * 2 > section.slots.size()) {
        section.slots.assign(std::max<std::size_t>(16, section.slots.size() * 2), noKey);
        for (std::uint32_t index = 0; index + 1 < section.keys.size(); ++index) {
            std::size_t i = section.keys[index].hash & (section.slots.size() - 1);
            while (section.slots[i] != noKey)
                i = (i + 1) & (section.slots.size() - 1);
            section.slots[i] = index;
        }
    }
    const std::size_t mask = section.slots.size() - 1;
    std::size_t i = line.hash & mask;
    while (section.slots[i] != noKey)
        i = (i + 1) & mask;
    section.slots[i] = static_cast<std::uint32_t>(section.keys.size() - 1);
}

bool IniFile::loadFromDisk()
{
    // The stamp is taken from the file opened, so it describes the bytes read even when
    // another file is renamed over the path meanwhile.
    const OpenFile file(openFile(m_path, "rb"));
    const auto stamp = file ? stampOf(file.get()) : std::nullopt;
    if (!stamp) {
        forget();
        return false;
    }
    const std::int64_t now = fileClockNow();
    // Into the memory of the earlier parse: fresh pages cost more than the copy.
    Bytes contents = std::move(m_raw);
    Scan scan;
    bool read = false;
    try {
        read = readWholeFile(file.get(), contents, [&scan](std::string_view text) {
            scan.advance(text, false);
        });
    } catch (const std::bad_alloc&) {
        // A file too large for memory is a file that cannot be read.
    }
    if (!read) {
        forget();
        return false;
    }
    scan.advance(contents, true);
    parse(std::move(contents), scan);
    m_stamp = *stamp;
    m_racy = isRacy(stamp->modified, now);
    return true;
}

void IniFile::setConsistentReads(bool on)
{
    m_consistentReads = on;
    m_checkedForReads = false;
}

bool IniFile::holdLock()
{
    if (m_lockHolds++ == 0)
        m_heldLock = std::make_unique<FileLock>(m_path, lockPatience);
    return m_heldLock->held();
}

void IniFile::releaseLock()
{
    if (m_lockHolds > 0 && --m_lockHolds == 0)
        m_heldLock.reset();
}

bool IniFile::refreshForRead()
{
    if (m_consistentReads && m_checkedForReads)
        return m_loaded;
    const bool ok = refresh();
    m_checkedForReads = m_consistentReads;
    return ok;
}

bool IniFile::refresh()
{
    if (m_path.empty())
        return false;
    const auto stamp = stampOf(m_path);
    if (!stamp) {
        forget();
        return false;
    }
    if (!m_loaded || *stamp != m_stamp)
        return loadFromDisk();
    if (!m_racy)
        return true;
    // The stamp cannot tell yet; the contents can.
    const std::int64_t now = fileClockNow();
    const auto same = fileHolds(m_path, m_raw);
    if (!same) {
        forget();
        return false;
    }
    if (!*same)
        return loadFromDisk();
    m_racy = isRacy(stamp->modified, now);
    return true;
}

void IniFile::recordStamp(const FileStamp& written)
{
    // The rename gave the new file a new status change time, which only the path can tell.
    // Should the path name another file by now, or one changed since, the next check
    // reads it again.
    const auto stamp = stampOf(m_path);
    if (!stamp || stamp->device != written.device || stamp->inode != written.inode
        || stamp->size != written.size || stamp->modified != written.modified) {
        forget();
        return;
    }
    m_stamp = *stamp;
    m_racy = isRacy(stamp->modified, fileClockNow());
}

std::string IniFile::decodeValue(const KeyLine& line) const
{
    std::string_view bytes = std::string_view(m_raw).substr(line.valueStart, line.valueLength);
    if (m_encoding == Encoding::windows1252) {
        if (bytes.size() > maxValueCharacters)
            bytes = bytes.substr(0, maxValueCharacters);
        return text::decodeWindows1252(bytes);
    }
    std::string value = m_validUtf8 ? std::string(bytes) : text::toUtf8(text::toUtf32(bytes));
    if (value.size() > maxValueCharacters) {
        std::size_t characters = 0;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80 && ++characters > maxValueCharacters) {
                value.resize(i);
                break;
            }
        }
    }
    return value;
}

std::optional<std::string> IniFile::encodeForFile(std::string_view utf8) const
{
    if (m_encoding == Encoding::windows1252)
        return text::encodeWindows1252(utf8);
    return std::string(utf8);
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key)
{
    if (!refreshForRead())
        return std::nullopt;
    const auto sectionIt = m_sectionIndex.find(foldName(trimBlanks(section), false));
    if (sectionIt == m_sectionIndex.end())
        return std::nullopt;
    Section& found = m_sections[sectionIt->second];
    indexKeys(found);
    const std::string folded = foldName(trimBlanks(key), false);
    const std::uint32_t index = findKey(found, folded, nameHash(folded));
    if (index == noKey)
        return std::nullopt;
    return decodeValue(found.keys[index]);
}

bool IniFile::hasSection(std::string_view section)
{
    return refreshForRead() && m_sectionIndex.contains(foldName(trimBlanks(section), false));
}

void IniFile::shiftAfter(std::size_t position, std::ptrdiff_t delta)
{
    const auto shifted = [&](std::size_t offset) {
        return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(offset) + delta);
    };
    for (Section& section : m_sections) {
        for (KeyLine& line : section.keys) {
            if (line.lineStart > position) {
                line.lineStart = shifted(line.lineStart);
                line.lineEnd = shifted(line.lineEnd);
                line.keyStart = shifted(line.keyStart);
                line.valueStart = shifted(line.valueStart);
            }
        }
        for (std::size_t* offset : { &section.bodyStart, &section.bodyEnd, &section.contentEnd }) {
            if (*offset > position)
                *offset = shifted(*offset);
        }
    }
}

bool IniFile::write(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName = text::toUtf8(text::toUtf32(trimBlanks(section)));
    const std::string keyName = text::toUtf8(text::toUtf32(trimBlanks(key)));
    if (sectionName.empty() || keyName.empty() || m_path.empty())
        return false;
    // A name or value with a line break would add lines; "=" would move the key's end.
    if (sectionName.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos
        || keyName.find_first_of(std::string_view("\r\n\0=", 4)) != std::string::npos)
        return false;
    std::string_view valueBytes = value.substr(0, value.find('\0'));
    if (valueBytes.find_first_of("\r\n") != std::string_view::npos)
        return false;
    while (!valueBytes.empty() && isBlank(valueBytes.front()))
        valueBytes.remove_prefix(1);
    const std::string newValue = text::toUtf8(text::toUtf32(valueBytes));

    // A second lock of our own would wait for the one held already.
    std::optional<FileLock> ownLock;
    if (!m_heldLock)
        ownLock.emplace(m_path, lockPatience);
    if (!(m_heldLock ? m_heldLock->held() : ownLock->held()))
        return false;
    const auto target = replacementTarget(m_path);
    if (!target)
        return false;
    // Under the lock no living writer has a temporary file here, so any there is a dead one's.
    // Looked for at every write: whether the lock file was there before tells nothing, as a
    // writer may die holding a lock file that another had just created.
    removeLeftoverTemporaries(*target);
    if (!refresh()) {
        std::error_code ec;
        if (fs::symlink_status(m_path, ec).type() != fs::file_type::not_found)
            return false; // there, but not a readable file
        parse(Bytes());
        m_exists = false;
    }

    const bool windows1252 = m_encoding == Encoding::windows1252;
    const std::string eol = lineBreakStyle(m_raw);
    const std::string foldedKey = foldName(keyName, false);
    const auto sectionIt = m_sectionIndex.find(foldName(sectionName, false));

    // The edit: at `at`, `removed` bytes give way to before + line + after, where `line` is
    // the key's line.
    std::size_t at = m_raw.size();
    std::size_t removed = 0;
    std::string before;
    std::string line;
    std::string after;
    KeyLine* existing = nullptr;
    if (sectionIt != m_sectionIndex.end()) {
        Section& found = m_sections[sectionIt->second];
        indexKeys(found);
        const std::uint32_t index = findKey(found, foldedKey, nameHash(foldedKey));
        if (index != noKey) {
            existing = &found.keys[index];
            const std::string_view readBack = trimBlanks(newValue);
            const bool quoted = readBack.size() >= 2 && readBack.front() == readBack.back()
                && (readBack.front() == '"' || readBack.front() == '\'');
            if (decodeValue(*existing) == (quoted ? readBack.substr(1, readBack.size() - 2) : readBack)
                && existing->valueLength <= maxValueCharacters)
                return true; // the key already has this value: leave the file alone
            at = existing->lineStart;
            removed = existing->lineEnd - existing->lineStart;
            const std::string_view spelling
                = std::string_view(m_raw).substr(existing->keyStart, existing->keyLength);
            line = (windows1252 ? text::decodeWindows1252(spelling) : std::string(spelling)) + "=" + newValue;
        } else {
            at = found.contentEnd;
            before = eol;
            line = keyName + "=" + newValue;
        }
    } else {
        const std::string_view raw = m_raw;
        const bool endsWithBreak = raw.empty() || isLineBreak(raw.back()) || raw == byteOrderMark;
        before = (endsWithBreak ? "" : eol) + "[" + sectionName + "]" + eol;
        line = keyName + "=" + newValue;
        after = eol;
    }

    const auto encodedBefore = encodeForFile(before);
    const auto encodedLine = encodeForFile(line);
    const auto encodedAfter = encodeForFile(after);
    bool upgrade = !(encodedBefore && encodedLine && encodedAfter);
    const std::string encoded = upgrade ? std::string() : *encodedBefore + *encodedLine + *encodedAfter;
    const std::ptrdiff_t delta
        = static_cast<std::ptrdiff_t>(encoded.size()) - static_cast<std::ptrdiff_t>(removed);
    const std::string_view raw = m_raw;
    const std::string_view head = raw.substr(0, at);
    const std::string_view tail = raw.substr(at + removed);
    constexpr std::size_t none = std::string::npos;
    const auto shifted = [&](std::size_t offset) {
        return offset == none || offset < at
            ? offset
            : static_cast<std::size_t>(static_cast<std::ptrdiff_t>(offset) + delta);
    };

    // A Windows-1252 file must not turn into valid UTF-8 with non-ASCII bytes, which would
    // be read back as UTF-8. Lines are whole in every piece, so validity is per piece.
    std::size_t newFirstInvalid = m_firstInvalidUtf8;
    if (!upgrade && windows1252) {
        const std::size_t inNew = firstInvalidLine(encoded, 0);
        const std::size_t invalidInNew = inNew == none ? none : at + inNew;
        if (m_firstInvalidUtf8 == none) {
            newFirstInvalid = invalidInNew;
            upgrade = invalidInNew == none && hasNonAscii(encoded);
        } else if (existing && m_firstInvalidUtf8 == at) {
            // The edited line was the first that needed Windows-1252; look for another.
            newFirstInvalid
                = invalidInNew != none ? invalidInNew : shifted(firstInvalidLine(raw, at + removed));
            upgrade
                = newFirstInvalid == none && (hasNonAscii(head) || hasNonAscii(encoded) || hasNonAscii(tail));
        } else {
            newFirstInvalid = std::min(invalidInNew, shifted(m_firstInvalidUtf8));
        }
    }

    std::string upgraded;
    if (upgrade) {
        // Windows-1252 cannot hold the value (or would be misread): the whole file becomes
        // UTF-8 without a byte order mark.
        upgraded = text::decodeWindows1252(head) + before + line + after + text::decodeWindows1252(tail);
    }
    if (m_exists) {
        // Replacing the file by rename would otherwise overrule a read-only file.
        if (!OpenFile(openFile(m_path, "r+b")))
            return false;
    }
    // Stamped as if written a racy window ago: any later change gets a later stamp, so the
    // next check (a write right after this one, or a read) needs no comparison of the
    // contents.
    const std::int64_t stampedAt = fileClockNow() - racyWindow;
    const auto written = upgrade ? replaceFile(*target, { upgraded }, stampedAt, m_syncToDisk)
                                 : replaceFile(*target, { head, encoded, tail }, stampedAt, m_syncToDisk);
    if (!written) {
        if (!m_exists)
            forget();
        return false;
    }

    if (upgrade) {
        parse(Bytes(upgraded));
    } else {
        // Bring the parse up to date without parsing the whole file again.
        m_raw.replace(at, removed, encoded);
        m_exists = true;
        m_firstInvalidUtf8 = newFirstInvalid;
        const std::size_t lineStart = at + encodedBefore->size();
        const std::size_t lineEnd = lineStart + encodedLine->size();
        const auto parts = parseKeyLine(m_raw, lineStart, lineEnd);
        const auto [keyStart, keyLength, valueStart, valueLength] = *parts;
        const KeyLine
            updated { lineStart, lineEnd, keyLength, keyStart, valueStart, valueLength, nameHash(foldedKey) };
        if (existing) {
            shiftAfter(at, delta);
            *existing = updated;
        } else if (sectionIt != m_sectionIndex.end()) {
            shiftAfter(at, delta);
            Section& found = m_sections[sectionIt->second];
            found.contentEnd = lineEnd;
            // At the end of a file without a final line break the body grows past its end.
            found.bodyEnd = std::max(found.bodyEnd, lineEnd);
            addKey(found, updated);
        } else {
            m_sectionIndex.emplace(foldName(sectionName, false),
                static_cast<std::uint32_t>(m_sections.size()));
            m_sections.push_back(
                Section { lineStart - eol.size(), m_raw.size(), lineEnd, true, {}, {}, noKey });
            addKey(m_sections.back(), updated);
        }
    }
    recordStamp(*written);
    return true;
}

bool restoreFile(const fs::path& path, const std::optional<std::string>& contents)
{
    const FileLock lock(path, lockPatience);
    const auto target = lock.held() ? replacementTarget(path) : std::nullopt;
    if (!target)
        return false;
    std::error_code ec;
    if (!contents)
        return fs::remove(path, ec) || !ec;
    if (fileHolds(path, *contents) == true)
        return true;
    return replaceFile(*target, { *contents }, fileClockNow(), true).has_value();
}

} // namespace kx::config
