#pragma once

#include <ctime>
#include <string>

namespace kx::transmit {

// The local date and time, injectable so that tests can fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    // The current local time, broken down (weekday and day of the year filled in).
    virtual std::tm now() const = 0;
};

class SystemClock : public Clock
{
public:
    std::tm now() const override;
};

// Always the same moment.
class FixedClock : public Clock
{
public:
    // month 1-12; the weekday is computed.
    FixedClock(int year, int month, int day, int hour, int minute, int second);
    std::tm now() const override { return m_time; }

private:
    std::tm m_time {};
};

// `time` moved `days` days later (earlier when negative) in the proleptic Gregorian calendar:
// date, weekday and day of the year computed, the time of day kept as it is.
std::tm addDays(const std::tm& time, int days);

// std::strftime with the current LC_TIME locale, as UTF-8 (a locale in a legacy charset is
// taken for Windows-1252). Empty when the result would be unreasonably long.
std::string formatLocalTime(const char* format, const std::tm& time);

} // namespace kx::transmit
