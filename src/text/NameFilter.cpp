#include "text/NameFilter.h"

#include "text/Text.h"

namespace kx::text {

void NameFilter::setNames(const std::vector<std::string>& names)
{
    m_folded.clear();
    m_folded.reserve(names.size());
    for (const auto& name : names)
        m_folded.push_back(foldForSortedList(name));
}

std::vector<std::size_t> NameFilter::matches(std::string_view typed) const
{
    // Folds are UTF-8, which never matches in the middle of a character, so a byte search
    // finds whole characters only.
    const std::string wanted = foldForSortedList(typed);
    std::vector<std::size_t> found;
    found.reserve(wanted.empty() ? m_folded.size() : 64);
    for (std::size_t i = 0; i < m_folded.size(); ++i) {
        if (m_folded[i].find(wanted) != std::string::npos)
            found.push_back(i);
    }
    return found;
}

} // namespace kx::text
