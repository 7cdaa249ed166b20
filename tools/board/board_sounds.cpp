#include "board_sounds.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace mh::boardart {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A small fixed generator, so that the sounds are the same on every machine and every build.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed ? seed : 1) {}
  // Uniform in [0, 1).
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 4294967296.0;
  }
  double between(double lo, double hi) { return lo + (hi - lo) * next(); }

 private:
  std::uint32_t state_;
};

// A resonance rung by a strike: a sine at freq starting at zero, decaying with time constant tau.
struct Mode {
  double freq;
  double amp;
  double tau;
};

class Track {
 public:
  explicit Track(double seconds) : samples_(static_cast<std::size_t>(seconds * kSoundRate), 0.0) {}

  void addModes(double start, std::initializer_list<Mode> modes, double gain, double detune = 1.0) {
    for (const Mode& m : modes) {
      const std::size_t first = index(start);
      const std::size_t count = std::min(samples_.size() - first, static_cast<std::size_t>(m.tau * 8 * kSoundRate));
      const double w = 2 * kPi * m.freq * detune / kSoundRate;
      for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSoundRate;
        samples_[first + i] += gain * m.amp * std::exp(-t / m.tau) * std::sin(w * static_cast<double>(i));
      }
    }
  }

  // The hard contact itself: a very short burst of noise with its lows taken out (a tick).
  void addTick(double start, double tau, double gain, Random& random) {
    const std::size_t first = index(start);
    const std::size_t count = std::min(samples_.size() - first, static_cast<std::size_t>(tau * 10 * kSoundRate));
    double previous = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const double noise = random.between(-1, 1);
      const double t = static_cast<double>(i) / kSoundRate;
      samples_[first + i] += gain * std::exp(-t / tau) * (noise - previous) * 0.5;
      previous = noise;
    }
  }

  // A struck bell: a few near-harmonic partials, higher ones dying sooner, with a soft attack
  // and a slightly detuned twin for shimmer.
  void addBell(double start, double freq, double gain, double tau) {
    struct Partial {
      double ratio;
      double amp;
    };
    static const Partial kPartials[] = {{1.0, 1.0}, {2.0, 0.38}, {3.0, 0.16}, {4.16, 0.07}, {5.43, 0.035}};
    const std::size_t first = index(start);
    const std::size_t count = samples_.size() - first;
    const double attack = 0.004;
    for (std::size_t k = 0; k < std::size(kPartials); ++k) {
      const double partialTau = tau / (1 + 0.9 * static_cast<double>(k));
      for (double twin : {1.0, 1.0025}) {
        const double amp = gain * kPartials[k].amp * (twin == 1.0 ? 1.0 : 0.3);
        const double w = 2 * kPi * freq * kPartials[k].ratio * twin / kSoundRate;
        for (std::size_t i = 0; i < count; ++i) {
          const double t = static_cast<double>(i) / kSoundRate;
          const double rise = t < attack ? 0.5 - 0.5 * std::cos(kPi * t / attack) : 1.0;
          samples_[first + i] += amp * rise * std::exp(-t / partialTau) * std::sin(w * static_cast<double>(i));
        }
      }
    }
  }

  // Takes out any offset, fades the ends to silence so nothing pops, and scales the loudest
  // sample to `peak`.
  std::vector<float> finish(double fadeInSeconds, double fadeOutSeconds, double peak) {
    // A one-pole high-pass at about 20 Hz removes the offset without touching what is heard.
    const double r = 1 - 2 * kPi * 20.0 / kSoundRate;
    double previousIn = 0;
    double previousOut = 0;
    for (double& s : samples_) {
      const double out = s - previousIn + r * previousOut;
      previousIn = s;
      previousOut = out;
      s = out;
    }
    const std::size_t n = samples_.size();
    const auto fadeIn = std::min(n, static_cast<std::size_t>(fadeInSeconds * kSoundRate));
    const auto fadeOut = std::min(n, static_cast<std::size_t>(fadeOutSeconds * kSoundRate));
    const auto ramp = [](std::size_t i, std::size_t length) {
      return 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(length));
    };
    for (std::size_t i = 0; i < fadeIn; ++i) samples_[i] *= ramp(i, fadeIn);
    for (std::size_t i = 0; i < fadeOut; ++i) samples_[n - 1 - i] *= ramp(i, fadeOut);
    // What offset a short transient still has goes out under a window that is zero at both
    // ends, so the ends stay silent.
    double sum = 0;
    double windowSum = 0;
    for (std::size_t i = 0; i < n; ++i) {
      sum += samples_[i];
      windowSum += std::sin(kPi * static_cast<double>(i) / static_cast<double>(n - 1));
    }
    for (std::size_t i = 0; i < n && windowSum > 0; ++i) {
      samples_[i] -= sum / windowSum * std::sin(kPi * static_cast<double>(i) / static_cast<double>(n - 1));
    }
    double loudest = 0;
    for (double s : samples_) loudest = std::max(loudest, std::abs(s));
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<float>(loudest > 0 ? samples_[i] * peak / loudest : 0.0);
    return out;
  }

 private:
  std::size_t index(double seconds) const {
    return std::min(samples_.size(), static_cast<std::size_t>(std::max(0.0, seconds) * kSoundRate));
  }

  std::vector<double> samples_;
};

constexpr double kClickPeak = 0.89;  // -1 dBFS: short transients sound quieter than they measure
constexpr double kChimePeak = 0.55;  // about -5 dBFS, so a chime is no louder than a click

// A slate stone set down firmly on a thick wooden board: the stone's own ring, high and brief,
// over the hollow of the board, lower and a little longer.
void placeStone(Track& track, double start, double body, Random& random) {
  track.addTick(start, 0.00035, 0.9, random);
  track.addModes(start, {{2950, 0.35, 0.0045}, {4400, 0.26, 0.0030}, {6100, 0.16, 0.0020}}, 1.0);
  track.addModes(start,
                 {{190, 0.30, 0.030}, {420, 0.34, 0.024}, {780, 0.42, 0.017}, {1230, 0.45, 0.012}, {1850, 0.40, 0.009}},
                 body);
}

// One captured stone knocking against others in the hand or dropping into a bowl lid.
void clack(Track& track, double start, double gain, Random& random) {
  const double pitch = random.between(0.9, 1.15);
  track.addTick(start, 0.00025, 0.6 * gain, random);
  track.addModes(start, {{3600, 0.50, 0.0025}, {5900, 0.34, 0.0018}, {8200, 0.14, 0.0010}}, gain, pitch);
  if (random.next() < 0.4) track.addModes(start, {{720, 0.25, 0.008}}, gain, pitch);
}

// A handful of captured stones: `count` clacks between `from` and `to` seconds at random gaps
// (some bunched, as stones that fall together, some apart), each softer or louder than the last.
void rattle(Track& track, int count, double from, double to, Random& random) {
  double t = from;
  const double meanGap = (to - from) / count;
  for (int i = 0; i < count && t < to; ++i) {
    clack(track, t, random.between(0.35, 0.8), random);
    t += std::max(0.008, -meanGap * std::log(1 - random.next()));
  }
}

// A knuckle on wood: the board's hollow without a stone's tick.
void knock(Track& track, double start, double pitch, Random& random) {
  track.addTick(start, 0.0008, 0.15, random);
  track.addModes(start, {{160, 0.55, 0.040}, {340, 0.50, 0.030}, {610, 0.35, 0.020}, {1050, 0.15, 0.010}}, 1.0, pitch);
}

// A chime: bells struck one after another, then faded out by the end of `seconds`.
struct Note {
  double start;
  double freq;
  double gain;
  double tau;
};

std::vector<float> chime(double seconds, std::initializer_list<Note> notes) {
  Track track(seconds);
  for (const Note& n : notes) track.addBell(n.start, n.freq, n.gain, n.tau);
  return track.finish(0.001, 0.12, kChimePeak);
}

}  // namespace

std::vector<float> synthesiseSound(int number) {
  Random random(static_cast<std::uint32_t>(number) * 2654435761u);
  // Notes of the chimes (Hz).
  constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, A5 = 880.0, C6 = 1046.5, E6 = 1318.5;
  switch (number) {
    case 20716: {
      Track t(0.12);
      placeStone(t, 0, 1.0, random);
      return t.finish(0.0007, 0.025, kClickPeak);
    }
    case 20717: {
      Track t(0.40);
      placeStone(t, 0, 1.05, random);
      clack(t, 0.17, 0.7, random);
      clack(t, 0.215, 0.45, random);
      return t.finish(0.0007, 0.05, kClickPeak);
    }
    case 20718: {
      Track t(0.62);
      placeStone(t, 0, 1.15, random);
      rattle(t, 6, 0.15, 0.50, random);
      return t.finish(0.0007, 0.06, kClickPeak);
    }
    case 20719: {
      Track t(0.92);
      placeStone(t, 0, 1.3, random);
      rattle(t, 18, 0.13, 0.80, random);
      return t.finish(0.0007, 0.08, kClickPeak);
    }
    case 20720: {  // a pass: a soft knock on the board's edge
      Track t(0.16);
      knock(t, 0, 1.0, random);
      return t.finish(0.001, 0.03, kClickPeak);
    }
    case 20721:  // study ends: a falling fourth
      return chime(0.70, {{0, C6, 1.0, 0.30}, {0.13, G5, 1.0, 0.32}});
    case 20722:  // study starts: a rising fourth
      return chime(0.70, {{0, G5, 1.0, 0.32}, {0.13, C6, 1.0, 0.30}});
    case 20723: {  // a refused move: two dull low knocks
      Track t(0.28);
      knock(t, 0, 0.75, random);
      knock(t, 0.11, 0.75, random);
      return t.finish(0.001, 0.04, kClickPeak);
    }
    case 20724: {  // a move taken back: a stone lifted off with a light tick
      Track t(0.09);
      clack(t, 0, 0.5, random);
      t.addModes(0, {{1230, 0.2, 0.008}, {1850, 0.2, 0.006}}, 1.0);
      return t.finish(0.0007, 0.02, kClickPeak * 0.7);
    }
    case 20725:  // game over: a falling arpeggio
      return chime(0.95, {{0, C6, 1.0, 0.25}, {0.12, G5, 0.95, 0.25}, {0.24, E5, 0.9, 0.28}, {0.36, C5, 0.9, 0.32}});
    case 20726:  // the count is done: a soft two-note chord
      return chime(0.85, {{0, A5, 1.0, 0.35}, {0.02, E6, 0.6, 0.30}});
    case 20727:  // a new game: a quick rising arpeggio
      return chime(0.85, {{0, E5, 0.9, 0.26}, {0.10, G5, 0.95, 0.26}, {0.20, C6, 1.0, 0.32}});
    default:
      return {};
  }
}

namespace {

void putU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  putU16(out, v & 0xFFFF);
  putU16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

const std::vector<BoardSound>& boardSounds() {
  static const std::vector<BoardSound> kSounds = {
      {20716, "a stone placed: a crisp click of slate on wood"},
      {20717, "a stone placed capturing one: the click and a captured stone knocking"},
      {20718, "a stone placed capturing two to nine: the click and a short rattle"},
      {20719, "a stone placed capturing ten or more: a fuller click and a handful rattling"},
      {20720, "a pass: a soft knock on wood"},
      {20721, "study ends: a falling two-note chime"},
      {20722, "study starts: a rising two-note chime"},
      {20723, "a refused move: two dull knocks"},
      {20724, "a move taken back: a stone lifted with a light tick"},
      {20725, "game over: a falling four-note chime"},
      {20726, "the count is done: a soft two-note chord"},
      {20727, "a new game: a quick rising three-note chime"},
  };
  return kSounds;
}

std::vector<std::uint8_t> encodeWav(const std::vector<float>& samples, int rate) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out;
  out.reserve(44 + dataBytes);
  putTag(out, "RIFF");
  putU32(out, 36 + dataBytes);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  putU32(out, 16);
  putU16(out, 1);  // PCM
  putU16(out, 1);  // mono
  putU32(out, static_cast<std::uint32_t>(rate));
  putU32(out, static_cast<std::uint32_t>(rate) * 2);
  putU16(out, 2);
  putU16(out, 16);
  putTag(out, "data");
  putU32(out, dataBytes);
  for (float s : samples) {
    const long v = std::lround(std::clamp(static_cast<double>(s), -1.0, 1.0) * 32767.0);
    putU16(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))));
  }
  return out;
}

}  // namespace mh::boardart
