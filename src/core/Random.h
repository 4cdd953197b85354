#pragma once

#include <cstdint>

// The program's one pseudo-random generator, seeded from the clock at start-up.
void Randomize();
void RandomSeed(uint32_t seed);
// A uniformly distributed integer in 0..range-1 (0 when range is not positive).
int32_t Random(int32_t range);
