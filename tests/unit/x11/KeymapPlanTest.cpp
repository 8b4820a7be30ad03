#include "backends/x11/KeymapPlan.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

// After GoogleTest: X.h defines None, which GoogleTest uses as a name.
#include "backends/x11/X11GlobalHotkey.h"
#include "popup/HotkeyText.h"

#include <X11/X.h>
#include <X11/keysym.h>

using namespace kx::platform;
using namespace kx::platform::x11;

namespace {

using Level = KeymapSnapshot::Level;

// A small German-style keymap: two groups on one key, a dead key, a keypad key, levels
// behind Shift and AltGr (Mod5), a level behind Ctrl+Alt, and four spare keycodes.
KeymapSnapshot germanKeymap()
{
    KeymapSnapshot keymap;
    keymap.pressableModifiers = ShiftMask | ControlMask | Mod1Mask | Mod5Mask;
    const auto key = [&](KeyCodeValue code, std::vector<std::vector<Level>> groups) {
        keymap.keys.push_back({ code, std::move(groups) });
    };
    key(10, { { { '1', 0 }, { '!', ShiftMask } } });
    key(24, { { { 'q', 0 }, { 'Q', ShiftMask } }, { { 0x10003b8, 0 }, { 0x1000398, ShiftMask } } });
    key(26, { { { 'e', 0 }, { 'E', ShiftMask }, { XK_EuroSign, Mod5Mask } } });
    key(38, { { { 'a', 0 }, { 'A', ShiftMask } } });
    key(49, { { { XK_dead_circumflex, 0 }, { XK_degree, ShiftMask } } });
    key(54, { { { 'c', 0 }, { 'C', ShiftMask } } });
    key(65, { { { ' ', 0 } } });
    key(36, { { { XK_Return, 0 } } });
    key(23, { { { XK_Tab, 0 }, { XK_ISO_Left_Tab, ShiftMask } } });
    key(87, { { { XK_KP_End, 0 }, { XK_KP_1, Mod2Mask, false } } });
    key(67, { { { XK_F1, 0 }, { 0x1008FE01, ControlMask | Mod1Mask } } });
    key(86, { { { XK_KP_Add, 0 } } });
    keymap.spareKeycodes = { 8, 93, 97, 103 };
    return keymap;
}

KeyStrokes charactersOf(std::u32string_view text, std::uint8_t modifiers = NoModifier)
{
    KeyStrokes strokes;
    for (const char32_t c : text)
        strokes.push_back({ NamedKey::Character, c, modifiers });
    return strokes;
}

// "24 38+S 26+5 | 8=U+03A9: 8" — keys with their modifiers (S Shift, C Ctrl, A Alt, 5 Mod5),
// each round after the first behind " | ", its bindings before the colon.
std::string describe(const KeyPlan& plan)
{
    std::ostringstream out;
    for (std::size_t r = 0; r < plan.rounds.size(); ++r) {
        const auto& round = plan.rounds[r];
        if (r > 0)
            out << " | ";
        if (!round.bindings.empty()) {
            for (std::size_t b = 0; b < round.bindings.size(); ++b)
                out << (b ? "," : "") << int(round.bindings[b].first) << "=" << std::hex << std::uppercase
                    << round.bindings[b].second << std::dec;
            out << ": ";
        }
        for (std::size_t k = 0; k < round.keys.size(); ++k) {
            const auto& key = round.keys[k];
            out << (k ? " " : "") << int(key.code);
            if (key.modifiers) {
                out << '+';
                for (const auto& [mask, letter] : { std::pair { ShiftMask, 'S' },
                         { ControlMask, 'C' },
                         { Mod1Mask, 'A' },
                         { Mod5Mask, '5' } })
                    if (key.modifiers & mask)
                        out << letter;
            }
        }
    }
    return out.str();
}

TEST(KeymapPlan, plansKeysAndBindings)
{
    const struct
    {
        const char* name;
        KeyStrokes strokes;
        const char* expected;
        std::function<void(KeymapSnapshot&)> changeKeymap = {};
        const char* error = "";
    } cases[] = {
        { "levels with Shift and AltGr", charactersOf(U"aA€!"), "38 38+S 26+5 10+S" },
        // ^ is only a dead key here: borrowed, never the dead key; ° is on its Shift level.
        { "dead key is never used", charactersOf(U"^°"), "8=5E: 8 49+S" },
        // The keypad's 1 needs Num Lock; the main row's 1 is taken.
        { "keypad not used for characters", charactersOf(U"1+"), "8=2B: 10 8" },
        { "missing characters share one binding", charactersOf(U"ΩaΩ✓"), "8=10003A9,93=1002713: 8 38 8 93" },
        { "other group is not used", charactersOf(U"θq"), "8=10003B8: 8 24" },
        { "CR LF is one Enter", charactersOf(U"a\r\nc\n\n"), "38 36 54 36 36" },
        { "tab character", charactersOf(U"\ta"), "23 38" },
        { "control combination", charactersOf(U"c", Ctrl), "54+C" },
        { "shifted character adds Shift", charactersOf(U"a", Shift), "38+S" },
        { "Alt+Space",
            KeyStrokes { { NamedKey::Character, U' ', Alt }, { NamedKey::Character, U'B', NoModifier } },
            "8=42: 65+A 8" },
        { "named keys",
            KeyStrokes { { NamedKey::Enter, 0, NoModifier },
                { NamedKey::Tab, 0, Shift },
                { NamedKey::F1, 0, NoModifier },
                { NamedKey::Add, 0, NoModifier } },
            "36 23+S 67 86" },
        // F13 is not on the keymap; a level behind Ctrl+Alt is not a level to type with.
        { "missing named key is borrowed", KeyStrokes { { NamedKey::F13, 0, NoModifier } }, "8=FFCA: 8" },
        { "empty sequence", KeyStrokes {}, "" },
        // Keys with one group only wrap into the current one.
        { "current group is preferred",
            charactersOf(U"θΘa"),
            "24 24+S 38",
            [](KeymapSnapshot& keymap) { keymap.group = 1; } },
        { "levels behind unpressable modifiers are borrowed",
            charactersOf(U"€e"),
            "8=10020AC: 8 26",
            [](KeymapSnapshot& keymap) { keymap.pressableModifiers = ShiftMask; } },
        // Three distinct missing symbols on two spares: the round ends where the third
        // appears, and repeats inside a round reuse their binding.
        { "too few spares rebind in fewest rounds",
            charactersOf(U"ΩαΩaβα"),
            "8=10003A9,93=10003B1: 8 93 8 38 | 8=10003B2,93=10003B1: 8 93",
            [](KeymapSnapshot& keymap) {
                keymap.spareKeycodes = { 8, 93 };
            } },
        { "without spares missing characters are reported and the rest typed",
            charactersOf(U"aΩa"),
            "38 38",
            [](KeymapSnapshot& keymap) { keymap.spareKeycodes.clear(); },
            "no spare keycode for missing symbols" },
        { "control characters type nothing and are reported",
            charactersOf(U"a\x01"
                         U"c"),
            "38 54",
            {},
            "U+0001 has no key" },
    };
    for (const auto& c : cases) {
        KeymapSnapshot keymap = germanKeymap();
        if (c.changeKeymap)
            c.changeKeymap(keymap);
        const KeyPlan plan = planKeystrokes(keymap, c.strokes);
        EXPECT_EQ(describe(plan), c.expected) << c.name;
        EXPECT_EQ(plan.error, c.error) << c.name;
    }
}

TEST(KeymapPlan, keysymsAndCharactersCorrespond)
{
    const struct
    {
        char32_t character;
        KeySymValue keysym;
    } rows[] = { { U'a', 'a' }, { U'ß', 0xDF }, { U'µ', 0xB5 }, { U'Ω', 0x10003A9 }, { U'😀', 0x101F600 } };
    for (const auto& row : rows) {
        EXPECT_EQ(keysymForCharacter(row.character), row.keysym);
        EXPECT_EQ(characterOfKeysym(row.keysym), row.character);
    }
    EXPECT_EQ(characterOfKeysym(XK_EuroSign), U'€');
    EXPECT_EQ(characterOfKeysym(XK_dead_acute), 0U);
    EXPECT_EQ(characterOfKeysym(XK_Return), 0U);
}

// Every key the options can name has a keysym, so a combination the dialog accepts never
// fails for want of one; characters map to their keysyms, letters in lower case.
TEST(X11HotkeyKeys, everyNamedKeyAndCharacterHasItsKeysym)
{
    for (std::string_view name : kx::popup::namedKeys())
        EXPECT_TRUE(keysymForKey(std::string(name))) << name;
    const struct
    {
        const char* key;
        KeySym expected;
    } cases[] = {
        { "V", XK_v },
        { "v", XK_v },
        { "1", XK_1 },
        { "+", XK_plus },
        { "Ä", XK_adiaeresis },
        { "ß", XK_ssharp },
        { "€", 0x010020ac },
        { "F1", XK_F1 },
        { "F12", XK_F12 },
        { "F35", XK_F35 },
        { "Space", XK_space },
        { "PgDown", XK_Next },
        { "Del", XK_Delete },
    };
    for (const auto& c : cases)
        EXPECT_EQ(keysymForKey(c.key), std::optional<KeySym>(c.expected)) << c.key;
    for (const char* key : { "", "F0", "F36", "Fx", "AB", "Foo" })
        EXPECT_FALSE(keysymForKey(key)) << key;
}

} // namespace
