// The hotkey's keys as X11 names them: every key the options can name has a keysym, so a
// combination the dialog accepts never fails for want of one.
// GoogleTest before Xlib, whose macro None breaks it.
#include <gtest/gtest.h>

#include "platform/x11/X11GlobalHotkey.h"
#include "popup/HotkeyText.h"

#include <X11/keysym.h>

namespace kx::platform::x11 {
namespace {

TEST(X11HotkeyKeys, everyNamedKeyHasAKeysym)
{
    for (std::string_view name : popup::namedKeys())
        EXPECT_TRUE(keysymForKey(std::string(name))) << name;
}

TEST(X11HotkeyKeys, charactersMapToTheirKeysymsLettersInLowerCase)
{
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
}

TEST(X11HotkeyKeys, unknownKeysHaveNoKeysym)
{
    for (const char* key : { "", "F0", "F36", "Fx", "AB", "Foo" })
        EXPECT_FALSE(keysymForKey(key)) << key;
}

} // namespace
} // namespace kx::platform::x11
