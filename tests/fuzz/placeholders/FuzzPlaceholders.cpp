// Placeholder expansion with a fixed clock in a folder of a few files: a text without "%"
// stays as it is, the result is valid UTF-8, and no date or time placeholder is left.

#include "FuzzCheck.h"
#include "text/Text.h"
#include "transmit/Clock.h"
#include "transmit/Placeholders.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The files "%datei=NAME%" can name, in a folder of their own that is the current one.
class FileFolder
{
public:
    FileFolder()
        : m_path(fs::temp_directory_path() / ("kx-fuzz-placeholders-" + std::to_string(::getpid())))
    {
        fs::create_directories(m_path);
        put("a.txt", "Zeile 1\nZeile 2 %datum%\n");
        put("leer", "");
        put("latin1.txt", "Gr\xFC\xDF\x65 \x80\r\n");
        put("bom.txt", "\xEF\xBB\xBF\xC3\xA4%ZEIT%");
        put("kette", "%datei=a.txt%|%datei=kette%");
        fs::create_directories(m_path / "ordner");
        fs::current_path(m_path);
    }
    ~FileFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }

private:
    void put(const char* name, std::string_view contents)
    {
        std::ofstream(m_path / name, std::ios::binary) << contents;
    }

    fs::path m_path;
};

constexpr std::u32string_view timeWords[] = { U"%ZEIT%",
    U"%STUNDE%",
    U"%MINUTE%",
    U"%SEKUNDE%",
    U"%DATUM%",
    U"%TAG%",
    U"%WOCHENTAG%",
    U"%MONAT%",
    U"%JAHR%" };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kx;
    static const FileFolder folder;
    static const transmit::FixedClock clock(2024, 2, 29, 13, 5, 9);

    const std::string text(reinterpret_cast<const char*>(data), size);
    // Only the files above: a name with a folder in it would read the machine's files.
    if (text.find('/') != std::string::npos)
        return 0;

    std::string expanded = text;
    expanded = transmit::expandPlaceholders(expanded, clock);
    if (text.find('%') == std::string::npos) {
        KX_FUZZ_CHECK(expanded == text);
        return 0;
    }
    KX_FUZZ_CHECK(text::isValidUtf8(expanded));
    std::u32string upper = text::toUtf32(expanded);
    for (char32_t& c : upper)
        c = text::upperCase(c);
    for (const std::u32string_view word : timeWords)
        KX_FUZZ_CHECK(upper.find(word) == std::u32string::npos);
    return 0;
}
