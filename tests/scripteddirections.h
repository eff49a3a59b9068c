// SPDX-License-Identifier: 0BSD
#pragma once
// Plays back shuffle directions 0 (below), 1 (above), 2 (right), 3 (left) in
// a cycle.

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
        const int d = cycle_[next_++ % cycle_.size()];
        return d * 0.25 + 0.2;
    }

private:
    std::vector<int> cycle_;
    std::size_t next_ = 0;
};

}  // namespace tavlin::testing
