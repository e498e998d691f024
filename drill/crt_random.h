#pragma once

#include <cstdint>

// The classic C-runtime 15-bit generator, kept in the engine so that a seed
// gives the same questions on every platform and library.
class CrtRandom
{
public:
    static constexpr int kMax = 0x7FFF;

    explicit CrtRandom(std::uint32_t seed = 1) : state_(seed) { }

    void Seed(std::uint32_t seed) { state_ = seed; }

    // 0..32767.
    int Next();

private:
    std::uint32_t state_;
};
