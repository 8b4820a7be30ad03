#pragma once

#include "store/RandomSource.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace kx::test {

// A random source that repeats a fixed list of numbers in [0, 1) and counts reseeds.
class SequenceRandom final : public store::RandomSource
{
public:
    explicit SequenceRandom(std::vector<double> numbers)
        : m_numbers(std::move(numbers))
    {
    }

    void reseed() override { ++m_reseeds; }
    double next() override
    {
        const double value = m_numbers.at(m_position % m_numbers.size());
        ++m_position;
        return value;
    }

    int reseeds() const { return m_reseeds; }

private:
    std::vector<double> m_numbers;
    std::size_t m_position = 0;
    int m_reseeds = 0;
};

} // namespace kx::test
