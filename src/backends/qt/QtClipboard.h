#pragma once

#include "platform/Clipboard.h"

namespace kx::platform {

// The clipboard through QClipboard. The text goes to CLIPBOARD and, where the platform has
// one, to PRIMARY, so both Ctrl+V style pastes and Shift+Insert in terminals get it. The
// program stays the owner of both selections until something else takes them, so the
// QApplication must outlive the paste.
class QtClipboard : public Clipboard
{
public:
    text::Result setText(const std::string& text) override;
    std::string readText() override;
};

} // namespace kx::platform
