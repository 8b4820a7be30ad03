#include "config/IniFile.h"

#include "config/FileSystem.h"
#include "text/Text.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

using kx::config::IniFile;
using namespace std::chrono_literals;
namespace config = kx::config;
using kx::test::readBytes;
using kx::test::TempDir;

TEST(IniFileRead, followsTheProfileFileRules)
{
    const struct
    {
        const char* name;
        std::string file;
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    } cases[] = {
        { "plain", "[Name]\r\n1=Gruss\r\n", "Name", "1", "Gruss" },
        { "blanks and tabs trimmed", "[Name]\r\n \t1 \t=\t  a b \t\r\n", "Name", "1", "a b" },
        { "double quotes removed", "[N]\r\nk=\" a \"\r\n", "N", "k", " a " },
        { "single quotes removed", "[N]\r\nk='x'\r\n", "N", "k", "x" },
        { "only one pair removed", "[N]\r\nk=\"\"x\"\"\r\n", "N", "k", "\"x\"" },
        { "unmatched quotes kept", "[N]\r\nk=\"x'\r\n", "N", "k", "\"x'" },
        { "lone quote kept", "[N]\r\nk=\"\r\n", "N", "k", "\"" },
        { "names without case", "[nAmE]\r\nTiTle=t\r\n", "NAME", "title", "t" },
        { "umlaut names without case", "[\xDCl]\r\n\xE4=1\r\n", "üL", "Ä", "1" },
        { "first duplicate key wins", "[N]\r\nk=1\r\nK=2\r\n", "N", "k", "1" },
        { "only first duplicate section", "[N]\r\na=1\r\n[n]\r\nb=2\r\n", "N", "b", std::nullopt },
        { "empty value is a value", "[N]\r\nk=\r\n", "N", "k", "" },
        { "missing key", "[N]\r\nk=1\r\n", "N", "x", std::nullopt },
        { "missing section", "[N]\r\nk=1\r\n", "T", "k", std::nullopt },
        { "nul ends value", std::string("[N]\r\nk=ab\0cd\r\n", 14), "N", "k", "ab" },
        { "section to last bracket", "[ a]b ] junk\r\nk=1\r\n", "a]b", "k", "1" },
        { "line without equals", "[N]\r\nk\r\nk=2\r\n", "N", "k", "2" },
        { "line with a blank key", "[N]\r\n \t=1\r\n=2\r\n", "N", "", std::nullopt },
        { "keys before any section", "k=0\r\n[N]\r\nk=1\r\n", "N", "k", "1" },
        { "cr only", "[N]\rk=1\rj=2", "N", "j", "2" },
        { "lf only", "[N]\nk=1\n", "N", "k", "1" },
        { "no final line break", "[N]\r\nk=last", "N", "k", "last" },
        { "blank lines between", "\r\n\r\n[N]\r\n\r\n\r\nk=1\r\n", "N", "k", "1" },
        { "equals inside value", "[N]\r\nk=a=b\r\n", "N", "k", "a=b" },
        { "no comments inside a value", "[N]\r\nk=v ; c\r\n", "N", "k", "v ; c" },
        { "comment lines", "[N]\r\n;k=1\r\n#k=2\r\nk=3\r\n", "N", "k", "3" },
        { "bracket line without close", "[N]\r\n[oops\r\nk=1\r\n", "N", "k", "1" },
        { "windows-1252", "[N]\r\nk=Gr\xFC\xDF\x80\r\n", "N", "k", "Grüß€" },
        { "utf-8", "[N]\r\nk=Gr\xC3\xBC\xC3\x9F\r\n", "N", "k", "Grüß" },
        { "byte order mark", "\xEF\xBB\xBF[N]\r\nk=\xCE\xA9\r\n", "N", "k", "Ω" },
        { "mixed encodings read as windows-1252", "[N]\r\na=\xC3\xBC\r\nb=\xFC\r\n", "N", "a", "Ã¼" },
        { "value cut to 32766",
            "[N]\r\nk=" + std::string(40000, 'x') + "\r\n",
            "N",
            "k",
            std::string(32766, 'x') },
        { "utf-8 cut counts characters",
            "[N]\r\nk=" + kx::text::toUtf8(std::u32string(40000, U'ä')) + "\r\n",
            "N",
            "k",
            kx::text::toUtf8(std::u32string(32766, U'ä')) },
    };
    TempDir dir;
    for (const auto& c : cases) {
        IniFile ini(dir.write("case.ini", c.file));
        EXPECT_EQ(ini.read(c.section, c.key), c.expected) << c.name;
    }
    IniFile sections(dir.write("sections.ini", "[Name]\r\n1=a\r\n[hOTKEY]\r\n"));
    EXPECT_TRUE(sections.hasSection("Hotkey")); // without keys, in another case
    EXPECT_FALSE(sections.hasSection("Title"));
}

TEST(IniFileWrite, changesOnlyWhatItMustByteForByte)
{
    struct Write
    {
        const char* section;
        const char* key;
        std::string value;
    };
    const std::string sample = "; Kalmotex\r\n[Name]\r\n1=Gruss\r\n  Zwei = \"b\" \r\n\r\n[Other]\r\nx=1\r\n";
    const struct
    {
        const char* name;
        std::optional<std::string> before; // nothing: the file does not exist
        std::vector<Write> writes;
        std::string after;
        bool succeeds = true;
    } cases[] = {
        { "new file uses CR LF", std::nullopt, { { "Name", "1", "Hallo" } }, "[Name]\r\n1=Hallo\r\n" },
        { "empty file", "", { { "Name", "1", "a" } }, "[Name]\r\n1=a\r\n" },
        { "existing key keeps its spelling and place",
            sample,
            { { "name", "ZWEI", "neu" } },
            "; Kalmotex\r\n[Name]\r\n1=Gruss\r\nZwei=neu\r\n\r\n[Other]\r\nx=1\r\n" },
        { "same value leaves the file as it is", sample, { { "name", "ZWEI", "b" } }, sample },
        { "new key after the last line of its section",
            sample,
            { { "Name", "3", "c" } },
            "; Kalmotex\r\n[Name]\r\n1=Gruss\r\n  Zwei = \"b\" \r\n3=c\r\n\r\n[Other]\r\nx=1\r\n" },
        { "new key in the last section",
            sample,
            { { "Other", "y", "2" } },
            "; Kalmotex\r\n[Name]\r\n1=Gruss\r\n  Zwei = \"b\" \r\n\r\n[Other]\r\nx=1\r\ny=2\r\n" },
        { "new key in an empty section",
            "[A]\r\n[B]\r\nk=1\r\n",
            { { "A", "k", "0" } },
            "[A]\r\nk=0\r\n[B]\r\nk=1\r\n" },
        { "a line of blanks is no line of the section",
            "[A]\r\nk=1\r\n \t\r\n[B]\r\n",
            { { "A", "j", "2" } },
            "[A]\r\nk=1\r\nj=2\r\n \t\r\n[B]\r\n" },
        { "a comment counts as a line of the section",
            "[A]\r\nk=1\r\n; end of A\r\n\r\n[B]\r\n",
            { { "A", "j", "2" } },
            "[A]\r\nk=1\r\n; end of A\r\nj=2\r\n\r\n[B]\r\n" },
        { "new section at the end",
            sample,
            { { "Common", "SortNames", "1" } },
            sample + "[Common]\r\nSortNames=1\r\n" },
        { "line break added before a new section",
            "[A]\r\nk=1",
            { { "B", "k", "2" } },
            "[A]\r\nk=1\r\n[B]\r\nk=2\r\n" },
        { "lf file gets lf lines",
            "[A]\nk=1\n",
            { { "A", "j", "2" }, { "B", "k", "3" } },
            "[A]\nk=1\nj=2\n[B]\nk=3\n" },
        { "cr file gets cr lines", "[A]\rk=1\r", { { "A", "j", "2" } }, "[A]\rk=1\rj=2\r" },
        { "first line ending decides", "[A]\nk=1\r\n", { { "A", "j", "2" } }, "[A]\nk=1\nj=2\r\n" },
        { "empty value keeps the key", "[A]\r\nk=1\r\n", { { "A", "k", "" } }, "[A]\r\nk=\r\n" },
        { "leading blanks of a value are dropped", "", { { "A", "k", " \t x " } }, "[A]\r\nk=x \r\n" },
        { "a value ends at nul", "", { { "A", "k", std::string("ab\0cd", 5) } }, "[A]\r\nk=ab\r\n" },
        { "first of duplicate keys is written",
            "[A]\r\nk=1\r\nk=2\r\n",
            { { "A", "k", "3" } },
            "[A]\r\nk=3\r\nk=2\r\n" },
        { "first of duplicate sections is written",
            "[A]\r\nk=1\r\n[A]\r\nj=2\r\n",
            { { "A", "j", "3" } },
            "[A]\r\nk=1\r\nj=3\r\n[A]\r\nj=2\r\n" },
        { "byte order mark kept",
            "\xEF\xBB\xBF[A]\r\nk=1\r\n",
            { { "A", "k", "Ω" } },
            "\xEF\xBB\xBF[A]\r\nk=\xCE\xA9\r\n" },
        { "only a byte order mark", "\xEF\xBB\xBF", { { "A", "k", "1" } }, "\xEF\xBB\xBF[A]\r\nk=1\r\n" },
        { "several writes in a row",
            sample,
            { { "Name", "1", "x" },
                { "Name", "3", "y" },
                { "Other", "x", "" },
                { "Name", "3", "z" },
                { "New", "a", "b" } },
            "; Kalmotex\r\n[Name]\r\n1=x\r\n  Zwei = \"b\" "
            "\r\n3=z\r\n\r\n[Other]\r\nx=\r\n[New]\r\na=b\r\n" },
        { "value with cr refused", sample, { { "Name", "1", "a\rb" } }, sample, false },
        { "value with lf refused", sample, { { "Name", "1", "a\nb" } }, sample, false },
        { "empty section refused", sample, { { "", "1", "a" } }, sample, false },
        { "blank key refused", sample, { { "Name", " ", "a" } }, sample, false },
        { "key with equals refused", sample, { { "Name", "a=b", "a" } }, sample, false },
        { "key with line break refused", sample, { { "Name", "a\nb", "a" } }, sample, false },
        { "windows-1252 stays windows-1252",
            "[A]\r\nk=gr\xFC\r\n",
            { { "A", "j", "Ä€" } },
            "[A]\r\nk=gr\xFC\r\nj=\xC4\x80\r\n" },
        { "ascii file takes windows-1252", "[A]\r\n", { { "A", "k", "ü" } }, "[A]\r\nk=\xFC\r\n" },
        { "utf-8 stays utf-8",
            "[A]\r\nk=gr\xC3\xBC\r\n",
            { { "A", "j", "Ä" } },
            "[A]\r\nk=gr\xC3\xBC\r\nj=\xC3\x84\r\n" },
        { "character outside windows-1252 upgrades the file",
            "[A]\r\nk=gr\xFC\r\n",
            { { "A", "j", "Ω" } },
            "[A]\r\nk=gr\xC3\xBC\r\nj=\xCE\xA9\r\n" },
        { "upgrade keeps the key spelling",
            "[A]\r\nK\xC4=gr\xFC\r\n",
            { { "A", "kä", "Ω" } },
            "[A]\r\nK\xC3\x84=\xCE\xA9\r\n" },
        { "windows-1252 bytes that would read as utf-8",
            "[A]\r\n",
            { { "A", "k", "Ã¼" } },
            "[A]\r\nk=\xC3\x83\xC2\xBC\r\n" },
        { "replacing the only non-utf-8 line",
            "[A]\r\na=\xC3\xBC\r\nb=\xFC\r\n",
            { { "A", "b", "x" } },
            "[A]\r\na=\xC3\x83\xC2\xBC\r\nb=x\r\n" },
        { "other non-utf-8 lines keep windows-1252",
            "[A]\r\na=\xC3\xBC\r\nb=\xFC\r\nc=\xE4\r\n",
            { { "A", "b", "ö" } },
            "[A]\r\na=\xC3\xBC\r\nb=\xF6\r\nc=\xE4\r\n" },
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto path = dir.file("case.ini");
        std::filesystem::file_time_type stamp;
        if (c.before) {
            dir.write("case.ini", *c.before);
            std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - 1h);
            // Read back: the system may keep less precision than it was given (whole seconds on Windows).
            stamp = std::filesystem::last_write_time(path);
        }
        IniFile ini(path);
        bool ok = true;
        for (const Write& w : c.writes)
            ok = ini.write(w.section, w.key, w.value) && ok;
        EXPECT_EQ(ok, c.succeeds) << c.name;
        EXPECT_EQ(readBytes(path), c.after) << c.name;
        if (c.before == c.after) {
            EXPECT_EQ(std::filesystem::last_write_time(path), stamp) << c.name << ": not written at all";
        }
        // What the cache believes must be what a fresh parse of the file gives.
        IniFile fresh(path);
        for (const Write& w : c.writes)
            EXPECT_EQ(ini.read(w.section, w.key), fresh.read(w.section, w.key)) << c.name << ": " << w.key;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), c.before || ok ? 1 : 0)
            << c.name << ": only the configuration is left in the folder";
    }
}

TEST(IniFileWrite, aLinkedFileStaysALink)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows, and Wine has none";
#endif
    TempDir dir;
    const auto real = dir.write("real.ini", "[A]\r\nk=1\r\n");
    const auto link = dir.file("link.ini");
    std::filesystem::create_symlink(real, link);
    IniFile ini(link);
    ASSERT_TRUE(ini.write("A", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(real), "[A]\r\nk=2\r\n");
    EXPECT_EQ(ini.read("A", "k"), "2");
}

TEST(IniFileFreshness, seesChangesMadeBehindItsBack)
{
    TempDir dir;
    const auto path = dir.write("f.ini", "[A]\r\nk=1\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.read("A", "k"), "1");
    dir.write("f.ini", "[A]\r\nk=2\r\n"); // same size, possibly the same time stamp
    EXPECT_EQ(ini.read("A", "k"), "2");
    dir.write("f.ini", "[A]\r\nk=three\r\nj=4\r\n");
    EXPECT_EQ(ini.read("A", "j"), "4");
    std::filesystem::remove(path);
    EXPECT_EQ(ini.read("A", "k"), std::nullopt);
    dir.write("f.ini", "[A]\r\nk=back\r\n");
    // Old enough that the stamp alone would be trusted.
    const auto stamp = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(path, stamp);
    EXPECT_EQ(ini.read("A", "k"), "back");
    // Another program saves as this one does: a new file of the same size and stamp renamed
    // over the old one.
    const auto other = dir.write("f.ini.new", "[A]\r\nk=BACK\r\n");
    std::filesystem::last_write_time(other, stamp);
    std::filesystem::rename(other, path);
    EXPECT_EQ(ini.read("A", "k"), "BACK");
}

TEST(IniFileFreshness, writersTakingTurnsLoseNothing)
{
    TempDir dir;
    const auto path = dir.file("shared.ini");
    const auto writeMany = [&path](const char* section) {
        IniFile own(path); // each writer with its own cache, as two processes would have
        for (int i = 0; i < 40; ++i)
            EXPECT_TRUE(own.write(section, std::to_string(i), "v" + std::to_string(i)));
    };
    std::thread first(writeMany, "One");
    std::thread second(writeMany, "Two");
    first.join();
    second.join();
    IniFile fresh(path);
    for (const char* section : { "One", "Two" })
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(fresh.read(section, std::to_string(i)), "v" + std::to_string(i)) << section << i;
}

TEST(IniFileFailure, aWriteThatCannotBeDoneReturnsFalseAndChangesNothing)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.ini"));
    IniFile folder(dir.file("folder.ini"));
    EXPECT_FALSE(folder.write("A", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.ini")));
    EXPECT_EQ(folder.read("A", "k"), std::nullopt);
    IniFile nowhere(dir.path() / "missing" / "k.ini");
    EXPECT_FALSE(nowhere.write("A", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
    EXPECT_EQ(nowhere.read("A", "k"), std::nullopt);
    IniFile unnamed("");
    EXPECT_FALSE(unnamed.write("N", "k", "v"));
    EXPECT_EQ(unnamed.read("N", "k"), std::nullopt);
    dir.write("plain", "x");
    IniFile underFile(dir.path() / "plain" / "k.ini");
    EXPECT_FALSE(underFile.write("A", "k", "v"));
    EXPECT_EQ(readBytes(dir.file("plain")), "x");
}

TEST(IniFileFailure, aReadOnlyFileIsNotReplaced)
{
    TempDir dir;
    const auto path = dir.write("ro.ini", "[A]\r\nk=1\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    if (std::FILE* probe = std::fopen(path.string().c_str(), "r+b")) {
        std::fclose(probe);
        GTEST_SKIP() << "this user may write read-only files";
    }
    IniFile ini(path);
    EXPECT_FALSE(ini.write("A", "k", "2"));
    EXPECT_EQ(readBytes(path), "[A]\r\nk=1\r\n");
    EXPECT_EQ(ini.read("A", "k"), "1");
}

TEST(IniFileLock, aHeldLockKeepsOthersOutWhatADeadWriterLeftIsCleanedUp)
{
    // A lock file nobody holds, however new, and the temporary file of a writer killed
    // between writing and renaming; a file that only looks alike is not ours to remove.
    TempDir dir;
    const auto path = dir.write("l.ini", "[A]\r\nk=1\r\n");
    {
        // A lock somebody holds is not taken, however long it is waited for.
        const config::FileLock holder(path, 1000ms);
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(config::FileLock(path, 20ms).held());
    }
    const auto lock = dir.write("l.ini.lock", "");
    const auto leftover = dir.write("l.ini.0123456789abcdef.tmp", "[A]\r\nk=ha");
    const auto unrelated = dir.write("l.ini.notours.tmp", "x");
    IniFile ini(path);
    EXPECT_TRUE(ini.write("A", "k", "2"));
    EXPECT_EQ(readBytes(path), "[A]\r\nk=2\r\n");
    EXPECT_FALSE(std::filesystem::exists(lock));
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_TRUE(std::filesystem::exists(unrelated));
}

#ifndef _WIN32
TEST(IniFileLock, aWriterKilledAtAnyMomentLeavesTheOldOrTheNewValueAndNothingInTheWay)
{
    // The child writes until SIGKILL stops it at a random moment: before, while or after it
    // takes the lock, writes the temporary file or renames it.
    TempDir dir;
    const auto path = dir.write("k.ini", "[Name]\r\n1=Eintrag\r\n[Text]\r\n1=after0\r\n");
    std::mt19937 random(4711);
    for (int round = 1; round <= 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniFile own(path);
            for (int i = 0;; ++i)
                (void)own.write("Text", "1", "w" + std::to_string(round) + "-" + std::to_string(i));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        IniFile ini(path);
        const std::string value = ini.read("Text", "1").value_or("(nothing)");
        EXPECT_TRUE(value == "after" + std::to_string(round - 1)
            || value.starts_with("w" + std::to_string(round) + "-"))
            << round << ": " << value;
        EXPECT_EQ(ini.read("Name", "1"), "Eintrag") << round;
        ASSERT_TRUE(ini.write("Text", "1", "after" + std::to_string(round))) << round;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "a lock or temporary file left";
}
#endif

TEST(IniFileRobustness, badInputNeverCrashesAndUnrelatedLinesSurvive)
{
    std::mt19937 random(20261205);
    std::string binary(1 << 16, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    const std::pair<const char*, std::string> files[] = {
        { "nul bytes", std::string("[A]\0\r\nk\0=1\r\n[B]\r\nj=\0\0\r\n", 22) },
        { "line without breaks", std::string(1 << 20, '[') },
        { "invalid utf-8 after a byte order mark", "\xEF\xBB\xBF[A]\r\nk=\xFF\xC3\r\n" },
        { "lone carriage returns", "[A]\r\r\rk=1\r\r[B]\rj=2" },
        { "random bytes", binary },
    };
    TempDir dir;
    for (const auto& [name, bytes] : files) {
        const auto path = dir.write("bad.ini", bytes);
        IniFile ini(path);
        for (const char* key : { "k", "j", "" })
            (void)ini.read("A", key);
        ASSERT_TRUE(ini.write("Kalmotex", "probe", "wert")) << name;
        EXPECT_TRUE(readBytes(path).starts_with(bytes)) << name << ": the old contents come first, unchanged";
        EXPECT_EQ(IniFile(path).read("Kalmotex", "probe"), "wert") << name;
    }
}

TEST(IniFileRobustness, headersAndCharactersAcrossTheFilesReadPiecesAreFound)
{
    // The file is read in pieces (64 KiB, then 256 KiB each); what stands across a seam
    // must read as it would in one piece. A byte order mark, UTF-8 or Windows-1252 text,
    // and line breaks split between CR and LF fall on every side of both seams.
    const std::tuple<const char*, std::string, std::string> variants[] = {
        { "utf-8", "", "Grüße" },
        { "utf-8 with mark", "\xEF\xBB\xBF", "Grüße" },
        { "windows-1252", "", std::string("Gr\xFC\xDF") + "e" }, // "Grüße" as the file stores it
        { "windows-1252 from the first piece on", "; \xE4\r\n", std::string("Gr\xFC\xDF") + "e" },
    };
    TempDir dir;
    for (const auto& [name, bom, greeting] : variants) {
        for (const std::size_t seam : { std::size_t { 65536 }, std::size_t { 65536 + 262144 } }) {
            for (std::size_t shift = 0; shift < 24; ++shift) {
                const std::string head = bom + "[Pad]\r\np=";
                const std::string tail = "\r\n[Name]\r\n1=" + greeting + "\r\n[Title]\r\n1=t\r\n";
                const std::string file = head + std::string(seam - head.size() - 12 + shift, 'x') + tail;
                IniFile ini(dir.write("seams.ini", file));
                EXPECT_EQ(ini.read("Name", "1"), "Grüße") << name << " " << seam << "+" << shift;
                EXPECT_EQ(ini.read("Title", "1"), "t") << name << " " << seam << "+" << shift;
            }
        }
    }
}
