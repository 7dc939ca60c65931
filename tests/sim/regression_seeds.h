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
// Those were made by the first generator; these by the second:
//   26: the softphone restarted as a newer release while the adapter
//     stayed in; the program hooked the old thread and never heard the
//     handset again (off-hook, softphone-restart 2013.2, quiet).
//   41: a call answered in Skype's own window kept the phone ringing and
//     was hung up by the no-answer time-out (skype-ring, skype-answer, and
//     time).
//   3568: the adapter was pulled and plugged back while the program's
//     window thread was busy; the poll thread took the returning adapter
//     before the window handled the loss, which then cleared the product
//     id: the adapter stayed unused and Skype's calls were ignored
//     (off-hook, on-hook, softphone-restart 2014.1, unplug, quiet).
//   2144, 2565 (also 2467, 2726, 2030, 2260, 1063, 1289): the softphone
//     restarted while the handset was lifted for a Skype call; the new
//     softphone found the handset lifted and took it too (it is now put on
//     hook when it reports the lift or when the program hooks it).
//   7009, 8131: a Skype call released by the no-answer time-out left the
//     status record showing it ringing (its end is now logged).
//   2112: the Skype model took commands from a program that had not
//     attached again after the API came back (off-hook, on-hook, detach,
//     available); a real Skype refuses them.
namespace desktop_sim {

// A seed and the generator that made its day from it.
struct RegressionSeed {
  std::uint64_t seed;
  int generator;
};

inline const std::vector<RegressionSeed>& RegressionSeeds() {
  static const std::vector<RegressionSeed> seeds = {
      {1005, 1}, {1020, 1}, {1048, 1}, {1092, 1}, {1137, 1}, {1244, 1}, {1361, 1},
      {1579, 1}, {2122, 1}, {2132, 1}, {3754, 1}, {4288, 1}, {26, 2}, {41, 2}, {2112, 2}, {3568, 2},
      {2144, 2}, {2565, 2}, {7009, 2}};
  return seeds;
}

}  // namespace desktop_sim
