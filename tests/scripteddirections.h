#pragma once
// Plays back shuffle directions 0 (below), 1 (above), 2 (right), 3 (left) in
// a cycle, and counts the draws it was asked for.

#include "board/random.h"

#include <cstddef>
#include <vector>

namespace tavlin::testing {

class ScriptedDirections final : public DirectionSource {
public:
    explicit ScriptedDirections(std::vector<int> cycle) : cycle_(std::move(cycle)) {}
    void seedFromClock() override {}
    double next() override
    {
        const int d = cycle_[draws++ % cycle_.size()];
        return d * 0.25 + 0.2;
    }
    std::size_t draws = 0;

private:
    std::vector<int> cycle_;
};

}  // namespace tavlin::testing
