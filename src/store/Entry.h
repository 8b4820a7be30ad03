#pragma once

#include <string>

namespace kx::store {

// One snippet as stored under its number (1..n without gaps).
struct Entry
{
    std::string name;
    std::string text; // stored (escaped) form, always in clear here
    std::string title; // empty = the last used window is the target
    bool crypt = false; // the text is stored scrambled
    bool dosBox = false; // the target is a console window
    // The entry's own key combination as stored ("Ctrl+Alt+1"); empty = none.
    std::string hotkey;

    friend bool operator==(const Entry&, const Entry&) = default;
};

} // namespace kx::store
