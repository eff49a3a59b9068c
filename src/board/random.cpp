// SPDX-License-Identifier: 0BSD
// The shuffle's directions: a generator seeded from the clock's nanoseconds.
#include "board/random.h"

#include <chrono>

namespace tavlin {

void ClockSeededRandom::seedFromClock()
{
    // Nanoseconds, so that two shuffles in the same second still differ.
    engine_.seed(static_cast<std::uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count()));
}

double ClockSeededRandom::next()
{
    // 53 random bits scaled into [0, 1): never 1.0, so ⌊u × 4⌋ is 0 to 3 with
    // equal chance.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

}  // namespace tavlin
