#include "Random.h"

#include <chrono>
#include <random>

namespace {
std::mt19937 &Generator()
{
    static std::mt19937 generator(5489u);
    return generator;
}
} // namespace

void Randomize()
{
    Generator().seed(static_cast<uint32_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

void RandomSeed(uint32_t seed)
{
    Generator().seed(seed);
}

int32_t Random(int32_t range)
{
    if (range <= 0)
        return 0;
    return std::uniform_int_distribution<int32_t>(0, range - 1)(Generator());
}
