// Keystroke strings: any string parses to key actions or to an error that points into it,
// and any text encoded for sending types exactly that text.

#include "FuzzCheck.h"
#include "text/Text.h"
#include "transmit/KeystrokeEncoding.h"
#include "transmit/KeystrokeParser.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kx;
    using platform::NamedKey;
    const std::string keys(reinterpret_cast<const char*>(data), size);

    const transmit::KeystrokeParse parsed = transmit::parseKeystrokes(keys);
    if (parsed.ok()) {
        KX_FUZZ_CHECK(parsed.strokes.size() <= 1000000);
    } else {
        KX_FUZZ_CHECK(parsed.strokes.empty());
        KX_FUZZ_CHECK(parsed.errorPosition >= 1 && parsed.errorPosition <= text::toUtf32(keys).size() + 1);
    }

    std::string encoded = keys;
    encoded = transmit::encodeKeystrokes(encoded);
    const transmit::KeystrokeParse typed = transmit::parseKeystrokes(encoded);
    KX_FUZZ_CHECK(typed.ok());
    const std::u32string text = text::toUtf32(keys);
    KX_FUZZ_CHECK(typed.strokes.size() == text.size());
    for (std::size_t i = 0; i < text.size() && i < typed.strokes.size(); ++i) {
        const platform::KeyStroke& stroke = typed.strokes[i];
        KX_FUZZ_CHECK(stroke.modifiers == platform::NoModifier);
        if (text[i] == U'\r')
            KX_FUZZ_CHECK(stroke.key == NamedKey::Enter);
        else if (text[i] == U'\t')
            KX_FUZZ_CHECK(stroke.key == NamedKey::Tab);
        else
            KX_FUZZ_CHECK(stroke.key == NamedKey::Character && stroke.character == text[i]);
    }
    return 0;
}
