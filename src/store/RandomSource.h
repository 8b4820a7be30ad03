#pragma once

namespace kx::store {

// Pseudo-random numbers for scrambling. The program reseeds from the time of day before
// every scramble; tests use a fixed sequence.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    // A number in [0, 1).
    virtual double next() = 0;
};

} // namespace kx::store
