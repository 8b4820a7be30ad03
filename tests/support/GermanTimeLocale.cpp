#include "support/GermanTimeLocale.h"

#include <clocale>

namespace kx::test {

GermanTimeLocale::GermanTimeLocale()
{
    const char* previous = std::setlocale(LC_TIME, nullptr);
    m_previous = previous ? previous : "C";
    m_active = std::setlocale(LC_TIME, "de_DE.UTF-8") != nullptr;
}

GermanTimeLocale::~GermanTimeLocale() { std::setlocale(LC_TIME, m_previous.c_str()); }

} // namespace kx::test
