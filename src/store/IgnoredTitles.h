#pragma once

#include "text/Result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kx::config {
class ConfigAccess;
}

namespace kx::store {

// The window titles the last-used-window search skips: key i of section `Ignore` is
// title number i (1-based), stored exactly as added.
class IgnoredTitles
{
public:
    explicit IgnoredTitles(config::ConfigAccess& config);

    // Reads keys 1, 2, ... up to the first empty or missing one, replacing what was held.
    void readFromFile();
    // The program's start-up: readFromFile, and when not a single title was read, adds
    // "DFÜ-Netzwerkmonitor" and "Microsoft Office Shortcut-Leiste" as keys 1 and 2.
    void loadIgnoredTitles();
    // Appends the title as the next number and stores it; no duplicate check. When the write
    // fails, the title is still held for this run.
    text::Result addIgnoredTitle(const std::string& title);

    std::size_t count() const { return m_titles.size(); }
    // Title number 1 .. count().
    const std::string& title(std::size_t number) const { return m_titles.at(number - 1); }
    // All titles; element k is title number k + 1.
    const std::vector<std::string>& titles() const { return m_titles; }
    // Whole title, exact case.
    bool contains(std::string_view title) const;

private:
    config::ConfigAccess& m_config;
    std::vector<std::string> m_titles;
};

} // namespace kx::store
