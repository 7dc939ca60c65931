// Seeds whose days once broke an invariant. Every run of the simulation
// replays them first.
#pragma once

#include <cstdint>
#include <vector>

namespace desktop_sim {

inline const std::vector<std::uint64_t>& RegressionSeeds() {
  static const std::vector<std::uint64_t> seeds = {};
  return seeds;
}

}  // namespace desktop_sim
