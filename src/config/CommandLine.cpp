#include "config/CommandLine.h"

#include "config/Version.h"
#include "text/Text.h"

namespace kx::config {

std::string joinCommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty() || &argument != &arguments.front())
            line += ' ';
        if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
            line += argument;
            continue;
        }
        line += '"';
        for (const char c : argument) {
            if (c == '"')
                line += '\\';
            line += c;
        }
        line += '"';
    }
    return line;
}

bool isDebugCommandLine(const std::vector<std::string>& arguments)
{
    return text::lowerCase(text::trimSpaces(joinCommandLine(arguments))) == "debug";
}

InformationRequest informationRequest(const std::vector<std::string>& arguments)
{
    // The first one wins, so "--version --help" prints the version as other tools do.
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h")
            return InformationRequest::usage;
        if (argument == "--version")
            return InformationRequest::version;
    }
    return InformationRequest::none;
}

std::string programUsage()
{
    return "usage: kalmotex [debug]\n"
           "       kalmotex --help | --version\n"
           "\n"
           "Keeps text snippets and types them into other windows. Runs in the notification area;\n"
           "its icon opens the menu of snippets.\n"
           "\n"
           "  debug       keep the main window open, show no icon and list the windows above it\n"
           "  --help, -h  print this text\n"
           "  --version   print the version\n"
           "\n"
           "The snippets are in Kalmotex.ini: beside the program when it runs from a writable\n"
           "folder of its own, else in $XDG_CONFIG_HOME/kalmotex/ (~/.config/kalmotex/).\n"
           "See also kalmotex-cli(1).\n";
}

std::string versionLine(std::string_view program)
{
    return std::string(program) + " " + std::to_string(versionMajor) + "." + std::to_string(versionMinor)
        + "." + std::to_string(versionRevision) + "\n";
}

} // namespace kx::config
