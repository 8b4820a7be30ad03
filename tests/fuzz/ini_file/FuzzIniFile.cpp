// The profile file: whatever the file holds, a value written reads back as written (after
// the reader's trimming and unquoting), from the same object and from a fresh parse, and
// the parse that writes keep up to date agrees with parsing the file anew.
//
// Input: the file's initial contents, then groups of section, key and value, all pieces
// separated by byte 01.

#include "FuzzCheck.h"
#include "config/IniFile.h"
#include "text/Text.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ScratchFolder
{
public:
    ScratchFolder()
        : m_path(fs::temp_directory_path() / ("kx-fuzz-ini-" + std::to_string(::getpid())))
    {
        fs::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// What reading gives back for a value that was written: up to a NUL, invalid UTF-8 bytes as
// U+FFFD, blanks trimmed, one pair of enclosing quotes dropped, at most 32766 characters.
std::string readBack(std::string_view value)
{
    value = value.substr(0, value.find('\0'));
    std::u32string text = kx::text::toUtf32(value);
    while (!text.empty() && text.front() < 0x80 && isBlank(static_cast<char>(text.front())))
        text.erase(0, 1);
    while (!text.empty() && text.back() < 0x80 && isBlank(static_cast<char>(text.back())))
        text.pop_back();
    if (text.size() >= 2 && text.front() == text.back() && (text.front() == U'"' || text.front() == U'\''))
        text = text.substr(1, text.size() - 2);
    if (text.size() > 32766)
        text.resize(32766);
    return kx::text::toUtf8(text);
}

std::string_view trimmed(std::string_view name)
{
    while (!name.empty() && isBlank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isBlank(name.back()))
        name.remove_suffix(1);
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using kx::config::IniFile;
    static const ScratchFolder scratch;
    const auto pieces = kx::fuzz::split({ reinterpret_cast<const char*>(data), size }, '\x01');
    const fs::path path = scratch.path() / "Kalmotex.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << pieces[0];

    IniFile live(path);
    std::vector<std::pair<std::string_view, std::string_view>> names; // every name written
    for (std::size_t i = 1; i < pieces.size() && names.size() < 16; i += 3) {
        const std::string_view section = pieces[i];
        const std::string_view key = i + 1 < pieces.size() ? pieces[i + 1] : "k";
        const std::string_view value = i + 2 < pieces.size() ? pieces[i + 2] : "";
        // Names come from the program as UTF-8. A key line that starts with "[" reads as a
        // section header, as in the Windows profile functions.
        if (!kx::text::isValidUtf8(section) || !kx::text::isValidUtf8(key) || trimmed(key).starts_with('['))
            continue;
        names.emplace_back(section, key);
        if (!live.write(section, key, value))
            continue;
        const std::string expected = readBack(value);
        KX_FUZZ_CHECK(live.read(section, key) == expected);
        KX_FUZZ_CHECK(IniFile(path).read(section, key) == expected);
    }
    // The parse that the writes kept up to date agrees with a parse of the file as it is.
    IniFile fresh(path);
    for (const auto& [section, key] : names)
        KX_FUZZ_CHECK(live.read(section, key) == fresh.read(section, key));
    return 0;
}
