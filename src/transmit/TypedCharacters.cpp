#include "transmit/TypedCharacters.h"

#include "text/Text.h"

#include <algorithm>

namespace kx::transmit {

namespace {

bool isEnter(const platform::KeyStroke& stroke)
{
    return stroke.key == platform::NamedKey::Enter
        || (stroke.key == platform::NamedKey::Character && stroke.character == U'\r');
}

bool isLineFeed(const platform::KeyStroke& stroke)
{
    return stroke.key == platform::NamedKey::Character && stroke.character == U'\n';
}

} // namespace

std::size_t visibleCharacterCount(std::string_view utf8)
{
    const std::u32string text = text::toUtf32(utf8);
    std::size_t count = text.size();
    for (std::size_t i = 1; i < text.size(); ++i)
        if (text[i] == U'\n' && text[i - 1] == U'\r')
            --count;
    return count;
}

std::size_t charactersOfStrokes(const platform::KeyStrokes& strokes, std::size_t count)
{
    count = std::min(count, strokes.size());
    std::size_t characters = count;
    for (std::size_t i = 1; i < count; ++i)
        if (isLineFeed(strokes[i]) && isEnter(strokes[i - 1]))
            --characters;
    return characters;
}

} // namespace kx::transmit
