#include "store/TimeSeededRandom.h"

#include <chrono>

namespace kx::store {

TimeSeededRandom::TimeSeededRandom() { reseed(); }

void TimeSeededRandom::reseed()
{
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const auto sinceMidnight = duration_cast<nanoseconds>(now % days(1)).count();
    ++m_reseeds;
    const auto ticks = static_cast<std::uint64_t>(sinceMidnight);
    std::seed_seq seed { static_cast<std::uint32_t>(ticks),
        static_cast<std::uint32_t>(ticks >> 32),
        static_cast<std::uint32_t>(m_reseeds) };
    m_engine.seed(seed);
}

double TimeSeededRandom::next()
{
    // 53 random bits scaled into [0, 1).
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

} // namespace kx::store
