#pragma once

#include "help/Help.h"

namespace kx::help {

// Hands the file to the desktop (xdg-open on Linux, the shell on Windows).
class DesktopOpener : public DocumentOpener
{
public:
    void open(const std::string& path) override;
};

} // namespace kx::help
