#pragma once

#include <QString>

#include <optional>

class QKeyEvent;

namespace kx::transmit {

// What a key press does to a type-to-filter text: a printable character without Ctrl, Alt
// or Meta is appended (Space only to a text that is not empty, so that on its own it keeps
// its usual meaning), Backspace takes back one character, Escape clears a text that is not
// empty. The new text, or nothing when the key is not for the filter and keeps its usual
// meaning (Escape on an empty filter closes, for one).
std::optional<QString> filterTextAfterKey(const QString& text, const QKeyEvent& event);

} // namespace kx::transmit
