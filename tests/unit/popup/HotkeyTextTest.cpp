#include "popup/HotkeyText.h"

#include <gtest/gtest.h>

namespace kx::popup {
namespace {

using platform::KeyCombination;
constexpr unsigned Ctrl = platform::HotkeyCtrl;
constexpr unsigned Alt = platform::HotkeyAlt;
constexpr unsigned Shift = platform::HotkeyShift;
constexpr unsigned Meta = platform::HotkeyMeta;

// Empty text means no hotkey and is no error.
TEST(HotkeyText, readsTheCombinationsQtWritesOrSaysWhatIsWrong)
{
    const struct
    {
        const char* text;
        std::optional<KeyCombination> expected;
        const char* error = "";
    } cases[] = {
        { "Ctrl+Alt+V", { { Ctrl | Alt, "V" } } },
        { "Meta+F12", { { Meta, "F12" } } },
        { "Shift+Del", { { Shift, "Del" } } },
        { "Ctrl+Shift+Alt+Meta+Space", { { Ctrl | Shift | Alt | Meta, "Space" } } },
        { "Alt+Shift+PgDown", { { Alt | Shift, "PgDown" } } },
        { "Ctrl++", { { Ctrl, "+" } } },
        { "Ctrl+Alt++", { { Ctrl | Alt, "+" } } },
        { "+", { { 0, "+" } } },
        { "F35", { { 0, "F35" } } },
        { "Ctrl+Alt+Ä", { { Ctrl | Alt, "Ä" } } },
        { "Ctrl+€", { { Ctrl, "€" } } },
        { "  ctrl + alt + v  ", { { Ctrl | Alt, "v" } } },
        { "CTRL+pgup", { { Ctrl, "PgUp" } } },
        { "", std::nullopt },
        { "   ", std::nullopt },
        { "\t", std::nullopt },
        { "Ctrl+Alt+Foo", std::nullopt, "unbekannte Taste „Foo“" },
        { "Strg+Alt+V", std::nullopt, "unbekannte Zusatztaste „Strg“" },
        { "Ctrl+Num+5", std::nullopt, "unbekannte Zusatztaste „Num“" },
        { "Ctrl+Ctrl+V", std::nullopt, "Ctrl steht zweimal darin" },
        { "Ctrl+Alt+", std::nullopt, "die Taste fehlt, es sind nur Zusatztasten angegeben" },
        { "Ctrl+Alt", std::nullopt, "die Taste fehlt, es sind nur Zusatztasten angegeben" },
        { "Ctrl+A, Ctrl+B", std::nullopt, "unbekannte Zusatztaste „A, Ctrl“" },
        { "F36", std::nullopt, "unbekannte Taste „F36“" },
        { "F0", std::nullopt, "unbekannte Taste „F0“" },
        { "CapsLock", std::nullopt, "unbekannte Taste „CapsLock“" },
        { "Ctrl+\xff", std::nullopt, "unbekannte Taste „\xff“" },
    };
    for (const auto& c : cases) {
        const ParsedHotkey parsed = parseHotkey(c.text);
        EXPECT_EQ(parsed.combination, c.expected) << c.text;
        EXPECT_EQ(parsed.error, c.error) << c.text;
    }
}

TEST(HotkeyText, namesTheCombinationAsAGermanKeyboardLabelsIt)
{
    EXPECT_EQ(germanHotkeyText({ Ctrl | Alt, "V" }), "Strg+Alt+V");
    EXPECT_EQ(germanHotkeyText({ Alt | Ctrl | Shift | Meta, "v" }), "Strg+Alt+Umschalt+Meta+V");
    EXPECT_EQ(germanHotkeyText({ Shift, "Del" }), "Umschalt+Entf");
    EXPECT_EQ(germanHotkeyText({ Ctrl, "Space" }), "Strg+Leertaste");
    EXPECT_EQ(germanHotkeyText({ Ctrl, "PgUp" }), "Strg+Bild auf");
    EXPECT_EQ(germanHotkeyText({ Ctrl | Alt, "ä" }), "Strg+Alt+Ä");
    EXPECT_EQ(germanHotkeyText({ 0, "F12" }), "F12");
    EXPECT_EQ(germanHotkeyText({ Ctrl, "+" }), "Strg++");
}

TEST(HotkeyText, everyNamedKeyReadsBackAsItself)
{
    for (std::string_view name : namedKeys()) {
        const ParsedHotkey parsed = parseHotkey("Ctrl+" + std::string(name));
        ASSERT_TRUE(parsed.combination) << name << ": " << parsed.error;
        EXPECT_EQ(parsed.combination->key, name);
    }
}

} // namespace
} // namespace kx::popup
