#pragma once

#include <string>
#include <vector>

namespace kx::config {

// The arguments after the program name as one command line, the way Windows passes it:
// joined by blanks, an argument that is empty or holds a blank, tab or quote in quotes.
std::string joinCommandLine(const std::vector<std::string>& arguments);

// Debug mode: the command line, blanks at both ends removed and in lower case, is exactly
// "debug".
bool isDebugCommandLine(const std::vector<std::string>& arguments);

} // namespace kx::config
