#pragma once
#include <cstdint>

// Rng: a small deterministic generator (xorshift64*) so that every render of a
// recipe produces the same samples on every machine. Not for cryptography.
class Rng {
public:
    explicit Rng(std::uint64_t seed);

    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [-1, 1).
    double bipolar();

private:
    std::uint64_t state_;
};
