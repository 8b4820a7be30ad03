#include "text/NameFilter.h"
#include "text/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using kx::text::compareForSortedList;
using kx::text::foldForSortedList;
using kx::text::NameFilter;

namespace {

std::vector<std::string> matching(const std::vector<std::string>& names, std::string_view typed)
{
    NameFilter filter;
    filter.setNames(names);
    std::vector<std::string> found;
    for (std::size_t i : filter.matches(typed))
        found.push_back(names[i]);
    return found;
}

const std::vector<std::string> germanNames = {
    "Ärger",
    "Bargeld",
    "Straße",
    "STRASSE",
    "Müller",
    "Mueller",
    "Café",
    "cafe",
    "co-op",
    "Œuvre",
    "Anfrage",
};

} // namespace

TEST(NameFilter, findsTheNamesContainingTheTypedTextLikeTheSortedListComparesThem)
{
    const struct
    {
        const char* name;
        const char* typed;
        std::vector<std::string> expected;
    } cases[] = {
        // An umlaut sorts beside its base letter, so either finds both.
        { "umlaut typed finds capital umlaut and base letter", "är", { "Ärger", "Bargeld" } },
        { "capitals find mixed case", "ÄRGER", { "Ärger" } },
        { "base letter finds umlaut", "mul", { "Müller" } },
        // "ue" is two letters to the sort, not an ü.
        { "ue is not an umlaut", "ue", { "Mueller" } },
        // ß sorts as "ss": either spelling finds both.
        { "sharp s finds double s", "ß", { "Straße", "STRASSE" } },
        { "double s finds sharp s", "strass", { "Straße", "STRASSE" } },
        { "accent ignored", "CAFÉ", { "Café", "cafe" } },
        { "hyphen ignored like the sort", "coop", { "co-op" } },
        { "ligature as two letters", "oeuv", { "Œuvre" } },
        { "nothing typed finds all", "", germanNames },
        { "unknown text finds nothing", "xyz", {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ(matching(germanNames, c.typed), c.expected) << c.name;
}

TEST(NameFilter, namesContainingATypedPrefixStandTogetherInTheSortedList)
{
    // The filter and the sort agree: the names whose fold starts with the typed text form
    // one block of the sorted list, whatever their case and diacritics.
    std::vector<std::string> names = germanNames;
    for (const char* more :
        { "Äpfel", "apfel", "Apfelmus", "ÄRA", "arabisch", "Maß", "Masse", "Mast", "mäßig" })
        names.push_back(more);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return compareForSortedList(a, b) < 0;
    });
    for (const char* typed : { "ap", "Äp", "ar", "mas", "maß", "Mäs", "str", "c" }) {
        const std::string prefix = foldForSortedList(typed);
        std::vector<int> hits;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (foldForSortedList(names[i]).starts_with(prefix))
                hits.push_back(static_cast<int>(i));
        }
        ASSERT_FALSE(hits.empty()) << typed;
        EXPECT_EQ(hits.back() - hits.front() + 1, static_cast<int>(hits.size())) << typed;
    }
}

TEST(NameFilter, positionsFollowTheNamesAndSurviveANewList)
{
    NameFilter filter;
    filter.setNames({ "Gruß", "Adresse", "Grüße", "Gruppe" });
    EXPECT_EQ(filter.matches("GRÜ"), (std::vector<std::size_t> { 0, 2, 3 }));
    EXPECT_EQ(filter.matches("grus"), (std::vector<std::size_t> { 0, 2 }));
    filter.setNames({ "Adresse" });
    EXPECT_EQ(filter.size(), 1u);
    EXPECT_EQ(filter.matches("gru"), std::vector<std::size_t> {});
    EXPECT_EQ(filter.matches("dress"), (std::vector<std::size_t> { 0 }));
}

TEST(FoldForSortedList, keepsOnlyWhatTheFirstLevelOfTheSortCompares)
{
    EXPECT_EQ(foldForSortedList("Grüße Co-op's ÆRA Œuvre ẞ a\xFFz"), "grusse coops aera oeuvre ss a\uFFFDz");
}
