// Scrambled entry texts: any stored text unscrambles to valid UTF-8, and a text scrambled
// with any key comes back as it was.

#include "FuzzCheck.h"
#include "store/Scrambling.h"
#include "support/SequenceRandom.h"
#include "text/Text.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

bool isScrambledForm(const std::string& scrambled)
{
    const std::string_view digits = std::string_view(scrambled).substr(scrambled.starts_with('U') ? 1 : 0);
    return digits.size() % 4 == 0 && digits.size() >= 4
        && std::all_of(digits.begin(), digits.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
           });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kx;
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The key and the filler digits come from the input too, the first bytes as fractions.
    std::vector<double> numbers;
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 5); ++i)
        numbers.push_back(data[i] / 256.0);
    if (numbers.empty())
        numbers.push_back(0.5);
    test::SequenceRandom random(numbers);

    const std::string plain = store::scrambleText(text, false, random);
    KX_FUZZ_CHECK(text::isValidUtf8(plain));
    const std::string again = store::scrambleText(plain, true, random);
    KX_FUZZ_CHECK(isScrambledForm(again));
    KX_FUZZ_CHECK(store::scrambleText(again, false, random) == plain);

    if (text::isValidUtf8(text)) {
        const std::string scrambled = store::scrambleText(text, true, random);
        KX_FUZZ_CHECK(isScrambledForm(scrambled));
        KX_FUZZ_CHECK(store::scrambleText(scrambled, false, random) == text);
    }
    return 0;
}
