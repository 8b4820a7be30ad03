#include "ui/EditorText.h"

#include "store/Escaping.h"
#include "text/Text.h"

namespace kx::ui {

namespace {

bool sameIgnoringCase(std::u32string_view a, std::u32string_view b)
{
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && text::upperCase(a[i]) != text::upperCase(b[i]))
            return false;
    }
    return true;
}

} // namespace

void ReplaceAll(
    std::u32string& text, std::u32string_view find, std::u32string_view replacement, bool ignoreCase)
{
    if (find.empty())
        return;
    // Built in one pass instead of splicing in place, which would be quadratic on long texts.
    std::u32string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos + find.size() <= text.size()) {
        const std::u32string_view here(text.data() + pos, find.size());
        if (here == find || (ignoreCase && sameIgnoringCase(here, find))) {
            out.append(replacement);
            pos += find.size();
        } else {
            out.push_back(text[pos]);
            ++pos;
        }
    }
    out.append(text, pos, std::u32string::npos);
    text = std::move(out);
}

void ReplaceAll(std::string& text, std::string_view find, std::string_view replacement, bool ignoreCase)
{
    std::u32string wide = text::toUtf32(text);
    ReplaceAll(wide, text::toUtf32(find), text::toUtf32(replacement), ignoreCase);
    text = text::toUtf8(wide);
}

std::string plainTextToEditor(std::string_view plain)
{
    std::u32string text = text::toUtf32(plain);
    ReplaceAll(text, U"\r", std::u32string(1, enterSymbol), false);
    ReplaceAll(text, U"\t", std::u32string(1, tabSymbol), false);
    return text::toUtf8(text);
}

std::string editorTextToPlain(std::string_view editorText)
{
    std::u32string text = text::toUtf32(editorText);
    ReplaceAll(text, U"\r\n", U"", false);
    ReplaceAll(text, std::u32string(1, enterSymbol), U"\r", false);
    ReplaceAll(text, std::u32string(1, tabSymbol), U"\t", false);
    return text::toUtf8(text);
}

std::string StoredTextToEditor(std::string_view stored)
{
    return plainTextToEditor(store::UnescapeText(std::string(stored)));
}

std::string EditorTextToStored(std::string_view editorText)
{
    return store::EscapeText(editorTextToPlain(editorText));
}

} // namespace kx::ui
