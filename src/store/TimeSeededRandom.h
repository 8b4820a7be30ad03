#pragma once

#include "store/RandomSource.h"

#include <cstdint>
#include <random>

namespace kx::store {

// The program's random source: reseeded from the time of day before every scramble. A
// counter is mixed in so two scrambles within one clock tick still differ.
class TimeSeededRandom final : public RandomSource
{
public:
    TimeSeededRandom();

    void reseed() override;
    double next() override;

private:
    std::mt19937_64 m_engine;
    std::uint64_t m_reseeds = 0;
};

} // namespace kx::store
