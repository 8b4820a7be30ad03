#include "backends/xdg/XdgAutostartStore.h"

#include "config/FileSystem.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kx::platform {

namespace {

text::Result failure(const fs::path& path, int error)
{
    return text::Result::failure(path.string() + ": " + std::generic_category().message(error));
}

// The folders the XDG base-directory rules ask for are private (mode 0700).
text::Result makeFolder(const fs::path& folder)
{
    fs::path partial;
    for (const fs::path& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return failure(partial, errno);
    }
    // An existing file of that name gives EEXIST above; writing into it fails below with
    // the right reason (ENOTDIR).
    return {};
}

bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlankOrTab(text[begin]))
        ++begin;
    while (end > begin && (isBlankOrTab(text[end - 1]) || text[end - 1] == '\r'))
        --end;
    return text.substr(begin, end - begin);
}

// Hidden=true in the main group: the user switched the entry off in the desktop's settings.
bool isHidden(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    bool inMainGroup = false;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.starts_with('['))
            inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos && trimmed(line.substr(0, equals)) == "Hidden")
                return trimmed(line.substr(equals + 1)) == "true";
        }
    }
    return false;
}

// A desktop entry's string values escape these with a backslash.
std::string escapedValue(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

XdgAutostartStore::XdgAutostartStore(fs::path folder)
    : m_folder(std::move(folder))
{
}

fs::path XdgAutostartStore::entryFile(const std::string& name) const
{
    return m_folder / (name + ".desktop");
}

bool XdgAutostartStore::hasEntry(const std::string& name)
{
    std::error_code error;
    const fs::path file = entryFile(name);
    return fs::is_regular_file(file, error) && !isHidden(file);
}

text::Result XdgAutostartStore::addEntry(
    const std::string& name, const std::string& program, const std::string& arguments)
{
    if (text::Result made = makeFolder(m_folder); !made)
        return made;
    std::string title = name;
    if (title.size() >= 2 && title.front() == '[' && title.back() == ']')
        title = title.substr(1, title.size() - 2);
    const fs::path file = entryFile(name);
    const std::string text = desktopEntryText(title, program, arguments);
    if (!config::replaceFile(file, { text }, config::fileClockNow(), true))
        return failure(file, errno);
    return {};
}

text::Result XdgAutostartStore::removeEntry(const std::string& name)
{
    const fs::path file = entryFile(name);
    if (::unlink(file.c_str()) != 0 && errno != ENOENT)
        return failure(file, errno);
    return {};
}

fs::path autostartFolder(const char* xdgConfigHome, const char* home)
{
    // The XDG base-directory rules ignore a relative XDG_CONFIG_HOME.
    if (xdgConfigHome && fs::path(xdgConfigHome).is_absolute())
        return fs::path(xdgConfigHome) / "autostart";
    return fs::path(home ? home : "") / ".config" / "autostart";
}

fs::path currentAutostartFolder()
{
    const char* home = ::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return autostartFolder(::getenv("XDG_CONFIG_HOME"), home);
}

std::string execArgument(const std::string& argument)
{
    // Characters that need quotes in a desktop entry's Exec line.
    static constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string quoted;
    const bool needsQuotes = argument.empty() || argument.find_first_of(reserved) != std::string::npos;
    for (const char c : argument) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\'))
            quoted += '\\';
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    // The quoting rule applies to the value after its string escapes are undone.
    return escapedValue(needsQuotes ? '"' + quoted + '"' : quoted);
}

std::string desktopEntryText(
    const std::string& title, const std::string& program, const std::string& arguments)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name="
        + escapedValue(title)
        + "\n"
          "Exec="
        + execArgument(program) + (arguments.empty() ? "" : " " + arguments)
        + "\n"
          "Terminal=false\n";
}

} // namespace kx::platform
