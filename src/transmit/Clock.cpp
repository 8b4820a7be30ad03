#include "transmit/Clock.h"

#include "text/Text.h"

#include <array>
#include <chrono>

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

std::tm addDays(const std::tm& time, int days)
{
    // Calendar arithmetic rather than mktime: no time zone or daylight saving change can
    // move the result to another day.
    using namespace std::chrono;
    const year_month_day date { year { time.tm_year + 1900 },
        month { static_cast<unsigned>(time.tm_mon + 1) },
        day { static_cast<unsigned>(time.tm_mday) } };
    const sys_days shifted = sys_days { date } + std::chrono::days { days };
    const year_month_day result { shifted };
    std::tm moved = time;
    moved.tm_year = static_cast<int>(result.year()) - 1900;
    moved.tm_mon = static_cast<int>(static_cast<unsigned>(result.month())) - 1;
    moved.tm_mday = static_cast<int>(static_cast<unsigned>(result.day()));
    moved.tm_wday = static_cast<int>(weekday { shifted }.c_encoding());
    moved.tm_yday = static_cast<int>((shifted - sys_days { result.year() / January / 1 }).count());
    return moved;
}

std::string formatLocalTime(const char* format, const std::tm& time)
{
    std::array<char, 256> buffer {};
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), format, &time);
    std::string text(buffer.data(), length);
    return text::isValidUtf8(text) ? text : text::decodeWindows1252(text);
}

} // namespace kx::transmit
