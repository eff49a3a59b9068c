// SPDX-License-Identifier: 0BSD
#pragma once
// The shuffle's source of directions: a generator seeded afresh from the
// system clock before every shuffle. Tests put a scripted source in its place.

#include <cstdint>
#include <random>

namespace tavlin {

class DirectionSource {
public:
    virtual ~DirectionSource() = default;
    virtual void seedFromClock() = 0;
    // Uniform in [0, 1).
    virtual double next() = 0;
};

class ClockSeededRandom final : public DirectionSource {
public:
    void seedFromClock() override;
    double next() override;

private:
    std::mt19937_64 engine_;
};

}  // namespace tavlin
