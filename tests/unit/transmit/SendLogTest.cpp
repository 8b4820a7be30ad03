#include "transmit/SendLog.h"
#include "transmit/TypedCharacters.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kx::transmit {
namespace {

using platform::KeyStroke;
using platform::KeyStrokes;
using platform::NamedKey;

SendRecord named(const std::string& name)
{
    SendRecord record;
    record.entryName = name;
    return record;
}

std::vector<std::string> names(const SendLog& log)
{
    std::vector<std::string> result;
    for (std::size_t i = 0; i < log.size(); ++i)
        result.push_back(log.newest(i).entryName);
    return result;
}

TEST(SendLogTest, keepsTheLastFiftyNewestFirstAndDropsTheOldest)
{
    SendLog log;
    int changes = 0;
    log.setOnChanged([&] { ++changes; });
    EXPECT_EQ(log.size(), 0u);
    EXPECT_THROW(log.newest(0), std::out_of_range);

    log.add(named("1"));
    log.add(named("2"));
    EXPECT_EQ(names(log), (std::vector<std::string> { "2", "1" }));

    for (int i = 3; i <= 50; ++i)
        log.add(named(std::to_string(i)));
    EXPECT_EQ(log.size(), 50u);
    EXPECT_EQ(log.newest(0).entryName, "50");
    EXPECT_EQ(log.newest(49).entryName, "1");

    // Past the capacity, around the ring more than once.
    for (int i = 51; i <= 175; ++i)
        log.add(named(std::to_string(i)));
    EXPECT_EQ(log.size(), 50u);
    std::vector<std::string> expected;
    for (int i = 175; i > 125; --i)
        expected.push_back(std::to_string(i));
    EXPECT_EQ(names(log), expected);
    EXPECT_THROW(log.newest(50), std::out_of_range);
    EXPECT_EQ(changes, 175);
}

KeyStroke character(char32_t c) { return { NamedKey::Character, c, platform::NoModifier }; }
KeyStroke key(NamedKey k) { return { k, 0, platform::NoModifier }; }

TEST(TypedCharactersTest, countsCharactersAsTheUserSeesThem)
{
    EXPECT_EQ(visibleCharacterCount(""), 0u);
    EXPECT_EQ(visibleCharacterCount("Grüße €"), 7u);
    EXPECT_EQ(visibleCharacterCount("a\r\nb"), 3u); // one line break
    EXPECT_EQ(visibleCharacterCount("a\n\rb"), 4u); // LF CR is two
    EXPECT_EQ(visibleCharacterCount("a\rb\nc\td"), 7u);

    // "a", Enter, LF, "b", CR, LF, Tab: five characters in seven strokes.
    const KeyStrokes strokes = { character(U'a'),
        key(NamedKey::Enter),
        character(U'\n'),
        character(U'b'),
        character(U'\r'),
        character(U'\n'),
        key(NamedKey::Tab) };
    const std::size_t expected[] = { 0, 1, 2, 2, 3, 4, 4, 5 };
    for (std::size_t n = 0; n <= strokes.size(); ++n)
        EXPECT_EQ(charactersOfStrokes(strokes, n), expected[n]) << n << " strokes";
    EXPECT_EQ(charactersOfStrokes(strokes, 100), 5u);
    // An LF that does not follow a line break is a character of its own.
    EXPECT_EQ(charactersOfStrokes({ character(U'\n'), character(U'\n') }, 2), 2u);
}

} // namespace
} // namespace kx::transmit
