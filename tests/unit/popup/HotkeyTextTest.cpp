#include "popup/HotkeyText.h"

#include <gtest/gtest.h>

namespace kx::popup {
namespace {

using platform::KeyCombination;
constexpr unsigned Ctrl = platform::HotkeyCtrl;
constexpr unsigned Alt = platform::HotkeyAlt;
constexpr unsigned Shift = platform::HotkeyShift;
constexpr unsigned Meta = platform::HotkeyMeta;

TEST(HotkeyText, readsTheCombinationsQtWrites)
{
    const struct
    {
        const char* text;
        KeyCombination expected;
    } cases[] = {
        { "Ctrl+Alt+V", { Ctrl | Alt, "V" } },
        { "Meta+F12", { Meta, "F12" } },
        { "Shift+Del", { Shift, "Del" } },
        { "Ctrl+Shift+Alt+Meta+Space", { Ctrl | Shift | Alt | Meta, "Space" } },
        { "Alt+Shift+PgDown", { Alt | Shift, "PgDown" } },
        { "Ctrl++", { Ctrl, "+" } },
        { "Ctrl+Alt++", { Ctrl | Alt, "+" } },
        { "+", { 0, "+" } },
        { "F35", { 0, "F35" } },
        { "Ctrl+Alt+Ä", { Ctrl | Alt, "Ä" } },
        { "Ctrl+€", { Ctrl, "€" } },
        { "  ctrl + alt + v  ", { Ctrl | Alt, "v" } },
        { "CTRL+pgup", { Ctrl, "PgUp" } },
    };
    for (const auto& c : cases) {
        const ParsedHotkey parsed = parseHotkey(c.text);
        EXPECT_EQ(parsed.combination, std::optional<KeyCombination>(c.expected)) << c.text;
        EXPECT_EQ(parsed.error, "") << c.text;
    }
}

TEST(HotkeyText, emptyTextMeansNoHotkeyAndIsNoError)
{
    for (const char* text : { "", "   ", "\t" }) {
        EXPECT_FALSE(parseHotkey(text).combination) << '"' << text << '"';
        EXPECT_EQ(parseHotkey(text).error, "") << '"' << text << '"';
    }
}

TEST(HotkeyText, rejectsUnknownNamesAndSaysWhichInGerman)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        { "Ctrl+Alt+Foo", "unbekannte Taste „Foo“" },
        { "Strg+Alt+V", "unbekannte Zusatztaste „Strg“" },
        { "Ctrl+Num+5", "unbekannte Zusatztaste „Num“" },
        { "Ctrl+Ctrl+V", "Ctrl steht zweimal darin" },
        { "Ctrl+Alt+", "die Taste fehlt, es sind nur Zusatztasten angegeben" },
        { "Ctrl+Alt", "die Taste fehlt, es sind nur Zusatztasten angegeben" },
        { "Ctrl+A, Ctrl+B", "unbekannte Zusatztaste „A, Ctrl“" },
        { "F36", "unbekannte Taste „F36“" },
        { "F0", "unbekannte Taste „F0“" },
        { "CapsLock", "unbekannte Taste „CapsLock“" },
        { "Ctrl+\xff", "unbekannte Taste „\xff“" },
    };
    for (const auto& c : cases) {
        const ParsedHotkey parsed = parseHotkey(c.text);
        EXPECT_FALSE(parsed.combination) << c.text;
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
