#pragma once

#include "text/Result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kx::config {

class IniFile;

// The thin access layer over one configuration file: one value per call, addressed by
// section and key. Every call sees the file as it is now (nothing but the parse of an
// unchanged file is kept between calls).
class ConfigAccess
{
public:
    explicit ConfigAccess(std::string fileName);
    ~ConfigAccess();
    ConfigAccess(const ConfigAccess&) = delete;
    ConfigAccess& operator=(const ConfigAccess&) = delete;

    // The file as it was given.
    const std::string& fileName() const;

    // The value, cut to 32766 characters; `defaultValue` when the file, section or key is
    // missing.
    std::string readIniString(
        const std::string& section, const std::string& key, const std::string& defaultValue);
    // Whether the file has the section (a cheap test before reading many of its keys).
    bool hasSection(const std::string& section);

    // Writes one value (creating file, section and key as needed). A failure leaves the file
    // as it was: the write could not be done or the value holds a line break.
    text::Result writeIniString(const std::string& section, const std::string& key, const std::string& value);

    // How many writeIniString calls succeeded.
    std::size_t writeCount() const { return m_writeCount; }

    // While one exists, the file is checked for changes only at the first read, and every
    // later read is served from that same version of it; writes still lock and re-check
    // the file and keep the reads after them right. Scopes nest.
    //
    // The program is single-threaded, and a loop over entries runs without yielding: a
    // check per call could not give it a fresher view, only a torn one, mixing versions of
    // the file an editor saved midway. One check per loop gives one consistent version.
    class ReadScope
    {
    public:
        explicit ReadScope(ConfigAccess& config);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        ConfigAccess& m_config;
    };

    // While one exists, this program holds the file's lock: what is read and written in
    // between is one step that no other program's write comes between (counting the
    // entries and adding one after them). When the lock cannot be had, held() is false and
    // the writes in the scope fail. Scopes nest.
    class WriteScope
    {
    public:
        explicit WriteScope(ConfigAccess& config);
        ~WriteScope();
        WriteScope(const WriteScope&) = delete;
        WriteScope& operator=(const WriteScope&) = delete;

        bool held() const { return m_held; }

    private:
        ConfigAccess& m_config;
        bool m_held;
    };

private:
    std::unique_ptr<IniFile> m_file;
    int m_readScopes = 0;
    std::size_t m_writeCount = 0;
};

enum class ConfigFileState
{
    missing, // an empty configuration, created by the first write
    readable,
    unreadable, // a folder, a file whose bytes cannot be read, a path through a file
};
// Whether `path` can serve as the configuration file, tried by reading from it.
ConfigFileState inspectConfigFile(const std::string& path);

std::int32_t valueInRange(std::int32_t value, std::int32_t min, std::int32_t max, std::int32_t defaultValue);
// The path with a "/" appended unless it already ends in one ("/" for an empty path).
std::string withTrailingSlash(const std::string& path);

} // namespace kx::config
