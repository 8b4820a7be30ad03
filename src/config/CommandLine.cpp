#include "config/CommandLine.h"

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

} // namespace kx::config
