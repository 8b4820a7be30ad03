#include "store/EntryCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kx::store;

namespace {

TEST(EntryCommands, duplicateNamesAreFoundWithoutRegardToCase)
{
    const std::vector<std::string> names { "Adresse", "Äpfel", "Gruß", "adresse" };
    EXPECT_EQ(findDuplicateName(names, "ADRESSE"), 0u);
    EXPECT_EQ(findDuplicateName(names, "äPFEL"), 1u);
    EXPECT_EQ(findDuplicateName(names, "gruß"), 2u);
    EXPECT_EQ(findDuplicateName(names, "Adresse "), std::nullopt); // no other normalisation
    EXPECT_EQ(findDuplicateName(names, "Neu"), std::nullopt);
    EXPECT_EQ(findDuplicateName({}, "Neu"), std::nullopt);
}

TEST(EntryCommands, renamingSkipsTheEntryItselfButNotOthersWithTheSameName)
{
    const std::vector<std::string> names { "Adresse", "Gruß", "adresse" };
    EXPECT_EQ(findDuplicateName(names, "Gruß", 1u), std::nullopt);
    EXPECT_EQ(findDuplicateName(names, "GRUSS", 1u), std::nullopt);
    EXPECT_EQ(findDuplicateName(names, "Adresse", 0u), 2u);
}

TEST(EntryCommands, deletingKeepsTheListNumberedOneToN)
{
    const struct
    {
        std::vector<int> before;
        std::size_t position;
        std::vector<int> after;
    } cases[] = {
        { { 2, 3, 1 }, 0, { 2, 1 } }, // entry 2 deleted: the item of entry 3 becomes 2
        { { 2, 3, 1 }, 1, { 2, 1 } }, // the highest itself
        { { 1 }, 0, {} },
        { { 4, 1, 3, 2 }, 1, { 1, 3, 2 } },
    };
    for (const auto& c : cases) {
        std::vector<int> numbers = c.before;
        const auto plan = planDelete(numbers, c.position);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->deleted, c.before[c.position]);
        applyDeleteToList(numbers, c.position, *plan);
        EXPECT_EQ(numbers, c.after) << "deleting position " << c.position;
    }
    EXPECT_EQ(planDelete({ 1, 2 }, 2), std::nullopt);
}

} // namespace
