#include "store/IgnoredTitles.h"

#include "config/ConfigAccess.h"

#include <algorithm>
#include <utility>

namespace kx::store {

IgnoredTitles::IgnoredTitles(config::ConfigAccess& config)
    : m_config(config)
{
}

void IgnoredTitles::readFromFile()
{
    const config::ConfigAccess::ReadScope scope(m_config);
    m_titles.clear();
    for (std::size_t i = 1;; ++i) {
        std::string title = m_config.readIniString("Ignore", std::to_string(i), "");
        if (title.empty())
            break;
        m_titles.push_back(std::move(title));
    }
}

void IgnoredTitles::loadIgnoredTitles()
{
    readFromFile();
    if (m_titles.empty()) {
        // Held for this run even when they cannot be stored; a failed write of the entries is
        // what the user is told about.
        static_cast<void>(addIgnoredTitle("DFÜ-Netzwerkmonitor"));
        static_cast<void>(addIgnoredTitle("Microsoft Office Shortcut-Leiste"));
    }
}

text::Result IgnoredTitles::addIgnoredTitle(const std::string& title)
{
    m_titles.push_back(title);
    return m_config.writeIniString("Ignore", std::to_string(m_titles.size()), title);
}

bool IgnoredTitles::contains(std::string_view title) const
{
    return std::find(m_titles.begin(), m_titles.end(), title) != m_titles.end();
}

} // namespace kx::store
