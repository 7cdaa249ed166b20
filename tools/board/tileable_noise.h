#pragma once

#include <cmath>
#include <cstdint>

namespace mh::boardart {

// Smooth value noise in [-1, 1] that repeats with whole-number periods in u and v, so that a
// picture sampled over one period in each direction tiles without a seam. The same seed always
// gives the same field, which keeps the generated files identical from build to build.
class TileableNoise {
 public:
  explicit TileableNoise(std::uint32_t seed) : seed_(seed) {}

  // Noise at (u, v) on a lattice of periodU x periodV cells (both at least 1).
  double at(double u, double v, int periodU, int periodV) const {
    const double fu = std::floor(u);
    const double fv = std::floor(v);
    const int iu = static_cast<int>(fu);
    const int iv = static_cast<int>(fv);
    const double su = smooth(u - fu);
    const double sv = smooth(v - fv);
    const double a = lattice(iu, iv, periodU, periodV);
    const double b = lattice(iu + 1, iv, periodU, periodV);
    const double c = lattice(iu, iv + 1, periodU, periodV);
    const double d = lattice(iu + 1, iv + 1, periodU, periodV);
    return (a + (b - a) * su) * (1 - sv) + (c + (d - c) * su) * sv;
  }

  // Sum of `octaves` layers, each with twice the lattice of the one before and `gain` times its
  // weight, scaled back into [-1, 1]. (u, v) run over [0, 1) for one period of the picture.
  double fractal(double u, double v, int periodU, int periodV, int octaves, double gain = 0.5) const {
    double sum = 0;
    double weight = 1;
    double total = 0;
    for (int o = 0; o < octaves; ++o) {
      sum += weight * at(u * periodU, v * periodV, periodU, periodV);
      total += weight;
      weight *= gain;
      periodU *= 2;
      periodV *= 2;
    }
    return sum / total;
  }

 private:
  static double smooth(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

  static int wrap(int i, int period) {
    const int m = i % period;
    return m < 0 ? m + period : m;
  }

  double lattice(int iu, int iv, int periodU, int periodV) const {
    std::uint32_t h = seed_;
    h ^= static_cast<std::uint32_t>(wrap(iu, periodU)) * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(wrap(iv, periodV)) * 0x85EBCA77u;
    h ^= static_cast<std::uint32_t>(periodU) * 0xC2B2AE3Du + static_cast<std::uint32_t>(periodV);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h / 2147483647.5 - 1.0;
  }

  std::uint32_t seed_;
};

}  // namespace mh::boardart
