#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kx::text {

// Narrows a list of names to those containing a typed text, comparing the way the sorted
// lists compare names: without regard to case or diacritics, ß as "ss" (see
// foldForSortedList). The names are folded once when they are set, so each key
// press is one scan over the folded names.
class NameFilter
{
public:
    // Folds `names` (as the user sees them); positions below refer to this vector.
    void setNames(const std::vector<std::string>& names);

    // Positions of the names containing `typed`, in ascending order; every position for
    // an empty text (or one that folds to nothing, such as "-").
    std::vector<std::size_t> matches(std::string_view typed) const;

    std::size_t size() const { return m_folded.size(); }

private:
    std::vector<std::string> m_folded;
};

} // namespace kx::text
