#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mh::boardart {

inline constexpr int kSoundRate = 44100;

// One sound of the board module and what it is for.
struct BoardSound {
  int number;
  std::string what;
};

// The twelve sounds 20716-20727, in order.
const std::vector<BoardSound>& boardSounds();

// The sound of a resource number as mono samples at kSoundRate, within [-1, 1], starting and
// ending silently; empty for a number that is not a board sound.
std::vector<float> synthesiseSound(int number);

// The samples as a 16-bit PCM mono WAVE file (canonical 44-byte header).
std::vector<std::uint8_t> encodeWav(const std::vector<float>& samples, int rate);

}  // namespace mh::boardart
