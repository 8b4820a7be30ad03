// Our profile-file reader and writer against the system's own, GetPrivateProfileStringA and
// WritePrivateProfileStringA (under Wine: Wine's), on the same files. Every difference found
// must be one of the known ones below, each with its reason; a new one fails the test.
#include "config/IniFile.h"
#include "text/Text.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

using kx::config::IniFile;
using kx::test::readBytes;
using kx::test::TempDir;

namespace {

constexpr const char* missing = "<default>";

struct Probe
{
    std::string section;
    std::string key;
};

struct Change
{
    std::string section;
    std::string key;
    std::string value;
};

struct Sample
{
    std::string name;
    std::string bytes;
    std::vector<Probe> probes;
    std::vector<Change> changes;
};

std::vector<Sample> corpus()
{
    const std::string long40k(40000, 'x');
    const std::string long70k = std::string(33000, 'a') + std::string(37000, 'b');
    return {
        { "quotes",
            "[S]\r\na=\"double\"\r\nb='single'\r\nc=\"mixed'\r\nd=\"\"\r\ne=\" inner \"\r\nf=\"a\"b\"\r\ng=  "
            "\"spaced\"  \r\n",
            { { "S", "a" },
                { "S", "b" },
                { "S", "c" },
                { "S", "d" },
                { "S", "e" },
                { "S", "f" },
                { "S", "g" } },
            { { "S", "a", "new" }, { "S", "z", "\"q\"" } } },
        { "blanks",
            "[ S ]\r\n  k1  =  v1  \r\n\tk2\t=\tv2\t\r\nk 3 = v 3\r\n",
            { { "S", "k1" }, { "S", "k2" }, { "S", "k 3" }, { " S ", "k1" } },
            { { "S", "k1", "changed" }, { "S", "k2", "  leading" } } },
        { "duplicates",
            "[D]\r\nk=first\r\nk=second\r\n[E]\r\nx=1\r\n[d]\r\nk=third\r\ny=later\r\n",
            { { "D", "k" }, { "d", "K" }, { "D", "y" }, { "E", "x" } },
            { { "d", "K", "new" }, { "D", "y", "added" } } },
        { "missing",
            "[S]\r\nk=v\r\n",
            { { "Nope", "k" }, { "S", "nope" } },
            { { "Other", "k", "v" }, { "S", "j", "" } } },
        { "no equals sign",
            "[N]\r\nloneKey\r\nk=v\r\n",
            { { "N", "loneKey" }, { "N", "k" } },
            { { "N", "loneKey", "now" }, { "N", "k", "w" } } },
        { "long values",
            "[L]\r\nforty=" + long40k + "\r\nseventy=" + long70k + "\r\nafter=1\r\n",
            { { "L", "forty" }, { "L", "seventy" }, { "L", "after" } },
            { { "L", "after", "2" } } },
        { "windows-1252 bytes",
            "[C]\r\nk=Gr\xFC\xDF"
            "e \x80 \x9F\r\n[\xC4rger]\r\nj=1\r\n",
            { { "C", "k" }, { "\xC3\x84rger", "j" } },
            { { "C", "k", "\xC3\xA4\xE2\x82\xAC" }, { "\xC3\x84rger", "j", "2" } } },
        { "carriage returns only",
            "[R]\rk=1\rj=2\r",
            { { "R", "k" }, { "R", "j" } },
            { { "R", "j", "3" }, { "R", "new", "4" } } },
        { "comments",
            "; first\r\n[M]\r\n;k=commented\r\nk=real\r\n#h=hash\r\n\r\n[Next]\r\nn=1\r\n",
            { { "M", "k" }, { "M", ";k" }, { "M", "#h" }, { "Next", "n" } },
            { { "M", "k", "changed" }, { "M", "added", "1" } } },
        { "empty file", "", { { "A", "k" } }, { { "A", "k", "v" } } },
        { "no trailing line break",
            "[T]\r\nk=last",
            { { "T", "k" } },
            { { "T", "k", "changed" }, { "T", "j", "added" }, { "U", "j", "new section" } } },
        { "before the first section",
            "k=orphan\r\n[A]\r\nj=1\r\n",
            { { "A", "k" }, { "A", "j" } },
            { { "A", "j", "2" } } },
        { "empty value", "[V]\r\nk=\r\n", { { "V", "k" } }, { { "V", "k", "" }, { "V", "k", "full" } } },
        { "text after the header",
            "[Sec] trailing\r\nk=1\r\n[a]b]\r\nj=2\r\n",
            { { "Sec", "k" }, { "a]b", "j" } },
            { { "Sec", "k", "2" } } },
        { "a line without '=' before the key",
            "[N]\r\nk\r\nk=v\r\n",
            { { "N", "k" } },
            { { "N", "k", "w" } } },
        { "inline comment", "[I]\r\nk=v ; c\r\n", { { "I", "k" } }, { { "I", "k", "w" } } },
        { "same value again", "[Q]\r\nk = 'v'\r\n", { { "Q", "k" } }, { { "Q", "K", "v" } } },
    };
}

std::string systemRead(const std::filesystem::path& file, const Probe& probe)
{
    const auto section = kx::text::encodeWindows1252(probe.section);
    const auto key = kx::text::encodeWindows1252(probe.key);
    std::string buffer(32767, '\0');
    const DWORD copied = ::GetPrivateProfileStringA(section->c_str(),
        key->c_str(),
        missing,
        buffer.data(),
        static_cast<DWORD>(buffer.size()),
        file.string().c_str());
    buffer.resize(copied);
    return kx::text::decodeWindows1252(buffer);
}

void systemWrite(const std::filesystem::path& file, const Change& change)
{
    const auto section = kx::text::encodeWindows1252(change.section);
    const auto key = kx::text::encodeWindows1252(change.key);
    const auto value = kx::text::encodeWindows1252(change.value);
    const std::string name = file.string();
    ::WritePrivateProfileStringA(section->c_str(), key->c_str(), value->c_str(), name.c_str());
    // All arguments null: the system writes out what it keeps of the file in memory.
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, name.c_str());
}

// A readable form of bytes for a failure message: line breaks and other controls shown.
std::string visible(const std::string& bytes)
{
    std::string shown;
    for (const unsigned char c : bytes) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        } else
            shown += static_cast<char>(c);
    }
    return shown.size() > 300 ? shown.substr(0, 300) + "..." : shown;
}

std::string summary(const std::string& value)
{
    if (value.size() <= 40)
        return "'" + visible(value) + "'";
    return std::to_string(value.size()) + " bytes";
}

// What one run of the corpus found: for each read or write that came out differently, its
// name ("sample: write [S] k=v") and what each side gave.
struct Findings
{
    std::map<std::string, std::string> reads;
    std::map<std::string, std::string> writes;
    // After a write: a key that reads differently from our file than from the system's,
    // by either reader.
    std::map<std::string, std::string> readBacks;
};

Findings runCorpus()
{
    Findings found;
    TempDir dir;
    int serial = 0;
    // Every file gets a new name: the system may keep a file it has read in memory.
    const auto fresh
        = [&](const std::string& bytes) { return dir.write("f" + std::to_string(serial++) + ".ini", bytes); };
    for (const Sample& sample : corpus()) {
        for (const Probe& probe : sample.probes) {
            const auto file = fresh(sample.bytes);
            const std::string ours = IniFile(file).read(probe.section, probe.key).value_or(missing);
            const std::string theirs = systemRead(file, probe);
            if (ours != theirs)
                found.reads[sample.name + ": read [" + probe.section + "] " + probe.key]
                    = "ours " + summary(ours) + ", system " + summary(theirs);
        }
        for (const Change& change : sample.changes) {
            const std::string name
                = sample.name + ": write [" + change.section + "] " + change.key + "=" + change.value;
            const auto oursFile = fresh(sample.bytes);
            const auto theirsFile = fresh(sample.bytes);
            IniFile writer(oursFile);
            // Each file is thrown away: syncing it to disk would only slow the run down.
            writer.setSyncToDisk(false);
            EXPECT_TRUE(writer.write(change.section, change.key, change.value)) << name;
            systemWrite(theirsFile, change);
            const std::string ours = readBytes(oursFile);
            const std::string theirs = readBytes(theirsFile);
            if (ours != theirs)
                found.writes[name] = "ours " + visible(ours) + "\n system " + visible(theirs);
            std::vector<Probe> keys = sample.probes;
            keys.push_back({ change.section, change.key });
            for (const Probe& key : keys) {
                // Copies again, each read from a file the system has not seen.
                const std::string bySystem[]
                    = { systemRead(fresh(ours), key), systemRead(fresh(theirs), key) };
                const std::string byUs[]
                    = { IniFile(fresh(ours)).read(key.section, key.key).value_or(missing),
                          IniFile(fresh(theirs)).read(key.section, key.key).value_or(missing) };
                if (bySystem[0] != bySystem[1] || byUs[0] != byUs[1] || bySystem[0] != byUs[0])
                    found.readBacks[name + ", then [" + key.section + "] " + key.key] = "system reads "
                        + summary(bySystem[0]) + " / " + summary(bySystem[1]) + ", we read "
                        + summary(byUs[0]) + " / " + summary(byUs[1]) + " (our file / the system's)";
            }
        }
    }
    return found;
}

// Writes whose bytes differ on purpose, and why. The system here is Wine, which rewrites the
// whole file from what it parsed (blank lines dropped, blanks around names and values trimmed,
// header lines cut after the "]", CR LF everywhere, a final line break added, an unchanged
// value written again). The writer we follow keeps every line it does not change byte for
// byte, so these layout differences are Wine's; each value reads back alike (third test).
const std::map<std::string, std::string> knownWriteDifferences = {
    { "blanks: write [S] k1=changed", "Wine trims the other lines and the header" },
    { "blanks: write [S] k2=  leading", "Wine trims the other lines and the header" },
    { "carriage returns only: write [R] j=3", "Wine writes CR LF; we keep the file's line breaks" },
    { "carriage returns only: write [R] new=4", "Wine writes CR LF; we keep the file's line breaks" },
    { "comments: write [M] added=1", "Wine drops blank lines" },
    { "comments: write [M] k=changed", "Wine drops blank lines" },
    { "no equals sign: write [N] loneKey=now",
        "Wine turns the line without '=' into the key; for both readers that line is no key, so we "
        "leave it and add the key" },
    { "a line without '=' before the key: write [N] k=w",
        "Wine changes the bare line; we change the line with '=', the key for us" },
    { "no trailing line break: write [T] j=added", "Wine adds a final line break" },
    { "no trailing line break: write [T] k=changed", "Wine adds a final line break" },
    { "quotes: write [S] a=new", "Wine trims the blanks around another line's quoted value" },
    { "quotes: write [S] z=\"q\"", "Wine trims the blanks around another line's quoted value" },
    { "same value again: write [Q] K=v", "we leave the file untouched when the value is already there" },
    { "text after the header: write [Sec] k=2", "Wine drops the text after the header's \"]\"" },
};

// Reads that differ on purpose: a line without '=' is no key for us, while Wine takes it
// for the key with no value, which hides a later line of the same key.
const std::map<std::string, std::string> knownReadDifferences = {
    { "a line without '=' before the key: read [N] k", "Wine: the bare line is the key, without a value" },
};
const std::map<std::string, std::string> knownReadBackDifferences = {
    { "no equals sign: write [N] loneKey=now, then [N] loneKey",
        "our new line comes after the bare line, which Wine takes for the key" },
    { "a line without '=' before the key: write [N] k=w, then [N] k",
        "we change the line with '='; Wine changes the bare line" },
};

// Checks `found` against `known`: a difference not listed fails, and so does a listed one
// that is gone (the list must say what is true).
void expectOnlyKnown(const std::map<std::string, std::string>& found,
    const std::map<std::string, std::string>& known)
{
    for (const auto& [name, detail] : found)
        if (!known.count(name))
            ADD_FAILURE() << name << ":\n " << detail;
    for (const auto& [name, reason] : known)
        EXPECT_TRUE(found.count(name)) << name << " no longer differs (" << reason << ")";
}

const Findings& findings()
{
    static const Findings found = runCorpus();
    return found;
}

} // namespace

TEST(IniDifferential, readsGiveWhatTheSystemGivesExceptWhereKnown)
{
    expectOnlyKnown(findings().reads, knownReadDifferences);
}

TEST(IniDifferential, writtenBytesDifferOnlyWhereKnown)
{
    expectOnlyKnown(findings().writes, knownWriteDifferences);
}

TEST(IniDifferential, afterEveryWriteBothReadersReadBothFilesAlikeExceptWhereKnown)
{
    expectOnlyKnown(findings().readBacks, knownReadBackDifferences);
}
