#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx::config {

// The arguments after the program name as one command line, the way Windows passes it:
// joined by blanks, an argument that is empty or holds a blank, tab or quote in quotes.
std::string joinCommandLine(const std::vector<std::string>& arguments);

// Debug mode: the command line, blanks at both ends removed and in lower case, is exactly
// "debug".
bool isDebugCommandLine(const std::vector<std::string>& arguments);

// What the program prints instead of starting: "--help" or "-h" asks for the usage text,
// "--version" for the version, wherever among the arguments.
enum class InformationRequest
{
    none,
    usage,
    version
};
InformationRequest informationRequest(const std::vector<std::string>& arguments);

// The usage text of kalmotex, several lines, each ending in a line break.
std::string programUsage();

// `program` and the version of this build ("kalmotex 1.0.0"), with a line break.
std::string versionLine(std::string_view program);

} // namespace kx::config
