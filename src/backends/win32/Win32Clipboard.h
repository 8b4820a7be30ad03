#pragma once

#include "platform/Clipboard.h"

namespace kx::platform::win32 {

// The Windows clipboard, as CF_UNICODETEXT (the system offers the other text formats
// from it). A hidden message-only window owns what is put there; the text stays on the
// clipboard after this object is gone.
class Win32Clipboard : public Clipboard
{
public:
    Win32Clipboard();
    ~Win32Clipboard() override;

    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    // Another program may have the clipboard open for a moment: opening is tried a few
    // times before it gives up and returns false.
    text::Result setText(const std::string& text) override;
    // Tried as often as setText before it gives up with nothing.
    std::string readText() override;

private:
    void* m_owner = nullptr; // HWND
};

} // namespace kx::platform::win32
