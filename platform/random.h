// SPDX-License-Identifier: MIT
// The program's random source: a 24-bit linear congruential generator with a fixed start, so
// that every run draws the same sequence. Shared by every backend.
#pragma once

#include <cstdint>

namespace dorvane {

class RandomSource {
  public:
    // A number in [0, 1), exactly representable in single precision.
    float next() {
        state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFFu;
        return static_cast<float>(state_) / 16777216.0f;
    }

  private:
    std::uint32_t state_ = 0x50000u;
};

}  // namespace dorvane
