#include "text/Text.h"

#include "text/generated/CaseTables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>

namespace kx::text {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// Length of the UTF-8 sequence starting at `pos`, or 0 when the bytes there are not a
// well-formed sequence (overlong forms, surrogates and values above U+10FFFF included).
std::size_t sequenceLength(std::string_view bytes, std::size_t pos, char32_t& out)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(pos);
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > bytes.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = at(pos + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    out = value;
    return length;
}

} // namespace

std::size_t skipAscii(std::string_view bytes, std::size_t pos)
{
    // Configuration files are mostly ASCII: test eight bytes at a time.
    constexpr std::uint64_t highBits = 0x8080808080808080ull;
    while (pos + 8 <= bytes.size()) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + pos, 8);
        if (word & highBits)
            break;
        pos += 8;
    }
    while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) < 0x80)
        ++pos;
    return pos;
}

namespace {

void appendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = replacementCharacter;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t lookUp(std::span<const detail::CodePointPair> table, char32_t c)
{
    const auto it
        = std::lower_bound(table.begin(), table.end(), c, [](const detail::CodePointPair& p, char32_t v) {
              return p.from < v;
          });
    return (it != table.end() && it->from == c) ? it->to : c;
}

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 control of the same value.
// clang-format off
constexpr std::array<char32_t, 32> windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

// One collation element of the list-box order: the letter without case and diacritics
// first, then the diacritic, then the case.
struct SortElement
{
    std::uint32_t primary;
    std::uint32_t secondary;
    std::uint32_t tertiary;
};

enum SortClass : std::uint32_t
{
    punctuation = 0,
    digit = 1,
    letter = 2,
};

constexpr std::uint32_t primaryKey(SortClass cls, char32_t c)
{
    return (static_cast<std::uint32_t>(cls) << 24) | static_cast<std::uint32_t>(c);
}

// Spaces, punctuation and symbols sort before digits, digits before letters.
bool isSymbol(char32_t c)
{
    if (c < 0x80)
        return !((c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9'));
    return (c <= 0xBF && c != 0xAA && c != 0xB5 && c != 0xBA) || c == 0xD7 || c == 0xF7
        || (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F);
}

// The collation elements of one character: none, one, or two for ß, æ and œ.
int sortElementsOf(char32_t c, SortElement (&out)[2])
{
    // Hyphen and apostrophe count only when everything else is equal, as in a word sort.
    if (c == U'-' || c == U'\'')
        return 0;
    const char32_t lower = lowerCase(c);
    const std::uint32_t tertiary = lower != c ? 1 : 0;
    if (lower == U'ß' || c == 0x1E9E) {
        out[0] = out[1] = { primaryKey(letter, U's'), U'ß', tertiary };
        return 2;
    }
    if (lower == U'æ' || lower == U'œ') {
        out[0] = { primaryKey(letter, lower == U'æ' ? U'a' : U'o'), lower, tertiary };
        out[1] = { primaryKey(letter, U'e'), lower, tertiary };
        return 2;
    }
    const char32_t base = lower < 0x80 ? lower : lowerCase(lookUp(detail::sortBaseTable, lower));
    const std::uint32_t secondary = base != lower ? static_cast<std::uint32_t>(lower) : 0;
    SortClass cls = letter;
    if (base >= U'0' && base <= U'9')
        cls = digit;
    else if (isSymbol(base))
        cls = punctuation;
    out[0] = { primaryKey(cls, base), secondary, tertiary };
    return 1;
}

// The collation elements of a text, produced one at a time: sorting compares many pairs
// and most differ early, so nothing is decoded or stored ahead.
class SortElements
{
public:
    explicit SortElements(std::string_view utf8)
        : m_text(utf8)
    {
    }

    bool next(SortElement& element)
    {
        while (m_next == m_count) {
            if (m_pos >= m_text.size())
                return false;
            char32_t c = replacementCharacter;
            const std::size_t length = sequenceLength(m_text, m_pos, c);
            m_pos += length == 0 ? 1 : length;
            m_count = sortElementsOf(length == 0 ? replacementCharacter : c, m_elements);
            m_next = 0;
        }
        element = m_elements[m_next++];
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    SortElement m_elements[2] {};
    int m_count = 0;
    int m_next = 0;
};

template <typename Field> int compareLevel(std::string_view a, std::string_view b, Field field)
{
    SortElements left(a);
    SortElements right(b);
    SortElement x {};
    SortElement y {};
    for (;;) {
        const bool moreLeft = left.next(x);
        const bool moreRight = right.next(y);
        if (!moreLeft || !moreRight)
            return moreLeft == moreRight ? 0 : (moreLeft ? 1 : -1);
        if (field(x) != field(y))
            return field(x) < field(y) ? -1 : 1;
    }
}

} // namespace

std::u32string toUtf32(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = 0;
        const std::size_t length = sequenceLength(utf8, pos, c);
        if (length == 0) {
            out += replacementCharacter;
            ++pos;
        } else {
            out += c;
            pos += length;
        }
    }
    return out;
}

std::string toUtf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text)
        appendUtf8(out, c);
    return out;
}

std::string toUtf8(char32_t c)
{
    std::string out;
    appendUtf8(out, c);
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        pos = skipAscii(bytes, pos);
        if (pos == bytes.size())
            break;
        char32_t c = 0;
        const std::size_t length = sequenceLength(bytes, pos, c);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

char32_t upperCase(char32_t c)
{
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') ? c - 32 : c;
    return lookUp(detail::upperCaseTable, c);
}

char32_t lowerCase(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return lookUp(detail::lowerCaseTable, c);
}

std::string upperCase(std::string_view utf8)
{
    std::u32string text = toUtf32(utf8);
    for (char32_t& c : text)
        c = upperCase(c);
    return toUtf8(text);
}

std::string lowerCase(std::string_view utf8)
{
    std::u32string text = toUtf32(utf8);
    for (char32_t& c : text)
        c = lowerCase(c);
    return toUtf8(text);
}

std::string trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

int compareForSortedList(std::string_view a, std::string_view b)
{
    if (int r = compareLevel(a, b, [](const SortElement& e) { return e.primary; }))
        return r;
    if (int r = compareLevel(a, b, [](const SortElement& e) { return e.secondary; }))
        return r;
    if (int r = compareLevel(a, b, [](const SortElement& e) { return e.tertiary; }))
        return r;
    // A text without the hyphens and apostrophes comes first ("coop" before "co-op"); any
    // other tie still gets a fixed order.
    const auto ignored = [](std::string_view s) {
        return std::count_if(s.begin(), s.end(), [](char c) { return c == '-' || c == '\''; });
    };
    if (const auto na = ignored(a), nb = ignored(b); na != nb)
        return na < nb ? -1 : 1;
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

std::vector<std::size_t> sortedListOrder(const std::vector<std::string_view>& texts)
{
    // The first level of each text, its primary weights one after another, all in one
    // buffer. Two texts whose first levels differ compare as these do; the rare tie falls
    // back to the full comparison.
    std::u32string weights;
    std::vector<std::size_t> starts;
    starts.reserve(texts.size() + 1);
    for (const std::string_view text : texts) {
        starts.push_back(weights.size());
        SortElements elements(text);
        SortElement element {};
        while (elements.next(element))
            weights += static_cast<char32_t>(element.primary);
    }
    starts.push_back(weights.size());
    const auto firstLevel = [&](std::size_t i) {
        return std::u32string_view(weights).substr(starts[i], starts[i + 1] - starts[i]);
    };
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (const int r = firstLevel(a).compare(firstLevel(b)))
            return r < 0;
        // Equal texts (a title many entries share) are equal on every level.
        return texts[a] != texts[b] && compareForSortedList(texts[a], texts[b]) < 0;
    });
    return order;
}

std::string foldForSortedList(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // Names are mostly ASCII, whose first-level letter is the lower-case letter itself.
        const std::size_t end = skipAscii(utf8, pos);
        for (; pos < end; ++pos) {
            const char c = utf8[pos];
            if (c != '-' && c != '\'')
                out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        }
        if (pos < utf8.size()) {
            char32_t c = replacementCharacter;
            const std::size_t length = sequenceLength(utf8, pos, c);
            pos += length == 0 ? 1 : length;
            SortElement elements[2] {};
            const int count = sortElementsOf(length == 0 ? replacementCharacter : c, elements);
            for (int i = 0; i < count; ++i)
                appendUtf8(out, static_cast<char32_t>(elements[i].primary & 0xFFFFFF));
        }
    }
    return out;
}

std::string decodeWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80)
            out += byte;
        else if (b < 0xA0)
            appendUtf8(out, windows1252High[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

int windows1252Code(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (std::size_t i = 0; i < windows1252High.size(); ++i) {
        if (windows1252High[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

std::optional<std::string> encodeWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char byte = utf8[pos];
        if (static_cast<unsigned char>(byte) < 0x80) {
            out += byte;
            ++pos;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = sequenceLength(utf8, pos, c);
        if (length == 0)
            return std::nullopt;
        const int code = windows1252Code(c);
        if (code < 0)
            return std::nullopt;
        out += static_cast<char>(code);
        pos += length;
    }
    return out;
}

std::string decodeFileText(std::string_view bytes)
{
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (bytes.starts_with(bom))
        return toUtf8(toUtf32(bytes.substr(bom.size())));
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return decodeWindows1252(bytes);
}

} // namespace kx::text
