#include "backends/wayland/UploadedKeymap.h"

#include <gtest/gtest.h>

#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <string>

using namespace kx::platform;
using namespace kx::platform::wayland;

namespace {

template <typename T, void (*Free)(T*)> struct Deleter
{
    void operator()(T* p) const { Free(p); }
};
using Context = std::unique_ptr<xkb_context, Deleter<xkb_context, xkb_context_unref>>;
using Keymap = std::unique_ptr<xkb_keymap, Deleter<xkb_keymap, xkb_keymap_unref>>;
using State = std::unique_ptr<xkb_state, Deleter<xkb_state, xkb_state_unref>>;

// What a client reads from the keys of the plan: each round's keymap compiled as the
// compositor and the client compile it, the modifier keys pressed around each key, the
// character of each key press (control characters included, as Ctrl makes them).
std::u32string readBack(const VirtualKeyPlan& plan)
{
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    std::u32string text;
    for (const KeymapRound& round : plan.rounds) {
        const std::string source = keymapText(round.characters);
        const Keymap keymap(xkb_keymap_new_from_string(context.get(),
            source.c_str(),
            XKB_KEYMAP_FORMAT_TEXT_V1,
            XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (!keymap) {
            ADD_FAILURE() << "the keymap does not compile:\n" << source;
            return text;
        }
        const State state(xkb_state_new(keymap.get()));
        for (const VirtualKey& key : round.keys) {
            EXPECT_LE(key.code, 255u) << "Xwayland takes keycodes up to 255";
            for (const auto& [bit, code] :
                { std::pair { Shift, shiftKey }, { Ctrl, controlKey }, { Alt, altKey } })
                if (key.modifiers & bit)
                    xkb_state_update_key(state.get(), code, XKB_KEY_DOWN);
            text += xkb_state_key_get_utf32(state.get(), key.code);
            for (const KeyCode code : { shiftKey, controlKey, altKey })
                xkb_state_update_key(state.get(), code, XKB_KEY_UP);
        }
    }
    return text;
}

KeyStrokes charactersOf(std::u32string_view text, std::uint8_t modifiers = NoModifier)
{
    KeyStrokes strokes;
    for (const char32_t c : text)
        strokes.push_back({ NamedKey::Character, c, modifiers });
    return strokes;
}

TEST(UploadedKeymap, everyCharacterArrivesWithoutModifiersAndLineBreaksBecomeEnter)
{
    const VirtualKeyPlan plan = planVirtualKeys(charactersOf(U"Grüße aus Köln: 5 € für Ω ✓ 😀 {x}\r\n\tA\nB"));
    EXPECT_EQ(plan.rounds.size(), 1u);
    EXPECT_EQ(readBack(plan), U"Grüße aus Köln: 5 € für Ω ✓ 😀 {x}\r\tA\rB");
    EXPECT_EQ(plan.error, "");
}

TEST(UploadedKeymap, moreDistinctCharactersThanKeycodesTakeSeveralKeymaps)
{
    std::u32string text;
    for (char32_t c = U'一'; c < U'一' + 600; ++c)
        text += c;
    const VirtualKeyPlan plan = planVirtualKeys(charactersOf(text + text));
    EXPECT_GE(plan.rounds.size(), 3u);
    EXPECT_EQ(readBack(plan), text + text);
}

TEST(UploadedKeymap, modifiersOfTheKeystrokeStringReachTheKey)
{
    KeyStrokes strokes = charactersOf(U"a", Shift);
    strokes.push_back({ NamedKey::Character, U'c', Ctrl });
    strokes.push_back({ NamedKey::Tab, 0, Shift });
    strokes.push_back({ NamedKey::F4, 0, Alt });
    const VirtualKeyPlan plan = planVirtualKeys(strokes);
    EXPECT_EQ(readBack(plan).substr(0, 3), U"A\x03\t");
    ASSERT_EQ(plan.rounds.front().keys.size(), 4u);
    EXPECT_EQ(plan.rounds.front().keys[3], (VirtualKey { 70, 0, Alt, 3 }));
}

TEST(UploadedKeymap, otherControlCharactersTypeNothingAndAreReported)
{
    const VirtualKeyPlan plan = planVirtualKeys(charactersOf(U"a\x01z"));
    EXPECT_EQ(readBack(plan), U"az");
    EXPECT_EQ(plan.error, "U+0001 has no key");
}

} // namespace
