#include "transmit/Clock.h"

#include "text/Text.h"

#include <array>

namespace kx::transmit {

std::tm SystemClock::now() const
{
    const std::time_t t = std::time(nullptr);
    // std::localtime's static buffer is fine: everything runs on one thread.
    return *std::localtime(&t);
}

FixedClock::FixedClock(int year, int month, int day, int hour, int minute, int second)
{
    m_time.tm_year = year - 1900;
    m_time.tm_mon = month - 1;
    m_time.tm_mday = day;
    m_time.tm_hour = hour;
    m_time.tm_min = minute;
    m_time.tm_sec = second;
    m_time.tm_isdst = -1;
    std::tm normalised = m_time;
    if (std::mktime(&normalised) != static_cast<std::time_t>(-1)) {
        m_time.tm_wday = normalised.tm_wday;
        m_time.tm_yday = normalised.tm_yday;
    }
}

std::string formatLocalTime(const char* format, const std::tm& time)
{
    std::array<char, 256> buffer {};
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), format, &time);
    std::string text(buffer.data(), length);
    return text::isValidUtf8(text) ? text : text::decodeWindows1252(text);
}

} // namespace kx::transmit
