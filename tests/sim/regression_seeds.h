// Seeds whose days once broke an invariant. Every run of the simulation
// replays them first.
#pragma once

#include <cstdint>
#include <vector>

// Each was a real fault or a world less real than the desktop:
//   1005, 1048, 1137: a Skype call rang in and Skype quit; the call stayed
//     ringing until the no-answer deadline (the link's loss now ends it).
//   1020: the handset stayed lifted while the adapter was away; the
//     softphone reports it again once it has the adapter back.
//   1092, 1579: a lift heard by the softphone before the program had the
//     returning adapter ready was ignored for good (now held until ready).
//   2132: the handset stayed lifted across an unplug; the softphone now
//     reports the handset as it finds it when it opens the adapter.
//   4288: a lift sent just before an unplug reached the program after the
//     loss and counted when the adapter came back with the handset down
//     (the softphone's report on opening the adapter sets it right).
//   2122: a lift sent before an unplug reached the program after it and was
//     held until the adapter came back 20 s later (held keys now expire).
//   3754: a Skype started again replayed the cues of its last run, ringing
//     a call the world never ended (the cue file now starts empty).
//   1244, 1361: an on-hook handled 5.3 s late while the program's own
//     prescribed waits kept its window thread busy (the check allows them).
namespace desktop_sim {

inline const std::vector<std::uint64_t>& RegressionSeeds() {
  static const std::vector<std::uint64_t> seeds = {1005, 1020, 1048, 1092, 1137, 1244, 1361, 1579, 2122, 2132, 3754, 4288};
  return seeds;
}

}  // namespace desktop_sim
