#pragma once

#include <clocale>
#include <string>

namespace kx::test {

// Switches LC_TIME to de_DE.UTF-8 for a test's lifetime and back afterwards, so dates and
// weekdays come out as on a German system whatever the machine's own locale is.
class GermanTimeLocale
{
public:
    GermanTimeLocale()
        : m_previous(std::setlocale(LC_TIME, nullptr) ? std::setlocale(LC_TIME, nullptr) : "C")
        , m_active(std::setlocale(LC_TIME, "de_DE.UTF-8") != nullptr)
    {
    }
    ~GermanTimeLocale() { std::setlocale(LC_TIME, m_previous.c_str()); }
    GermanTimeLocale(const GermanTimeLocale&) = delete;
    GermanTimeLocale& operator=(const GermanTimeLocale&) = delete;

    // False when the locale is not installed (scripts/bootstrap generates it).
    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active;
};

} // namespace kx::test
