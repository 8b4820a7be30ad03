#include "ui/EditorText.h"

#include "store/Escaping.h"
#include "text/Text.h"

namespace kx::ui {

namespace {

// Every occurrence of `find` (never empty) replaced, left to right; the inserted text is not
// searched again. Built in one pass, since splicing in place would be quadratic on long texts.
std::u32string replaceAll(std::u32string_view text, std::u32string_view find, std::u32string_view replacement)
{
    std::u32string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos + find.size() <= text.size()) {
        if (text.substr(pos, find.size()) == find) {
            out.append(replacement);
            pos += find.size();
        } else {
            out.push_back(text[pos]);
            ++pos;
        }
    }
    out.append(text.substr(pos));
    return out;
}

} // namespace

std::string plainTextToEditor(std::string_view plain)
{
    const std::u32string text = text::toUtf32(plain);
    return text::toUtf8(replaceAll(replaceAll(text, U"\r", { &enterSymbol, 1 }), U"\t", { &tabSymbol, 1 }));
}

std::string editorTextToPlain(std::string_view editorText)
{
    const std::u32string lines = replaceAll(text::toUtf32(editorText), U"\r\n", U"");
    return text::toUtf8(replaceAll(replaceAll(lines, { &enterSymbol, 1 }, U"\r"), { &tabSymbol, 1 }, U"\t"));
}

std::string storedTextToEditor(std::string_view stored)
{
    return plainTextToEditor(store::unescapeText(std::string(stored)));
}

std::string editorTextToStored(std::string_view editorText)
{
    return store::escapeText(editorTextToPlain(editorText));
}

} // namespace kx::ui
