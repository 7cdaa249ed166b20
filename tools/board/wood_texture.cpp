#include "wood_texture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "tileable_noise.h"

namespace mh::boardart {
namespace {

double smoothstep(double lo, double hi, double x) {
  const double t = std::clamp((x - lo) / (hi - lo), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

}  // namespace

QImage drawWood(QSize size, const WoodLook& look) {
  const int w = size.width();
  const int h = size.height();
  const TileableNoise noise(look.seed);
  const int rings = std::max(1, look.rings);

  // Lattice periods of the slower features, by pixel distance so that a small tile does not
  // crowd them: fibres some 250 and 100 pixels long, blotches some 170 pixels across.
  const auto per = [](int pixels, int length) { return std::max(1, static_cast<int>(std::lround(pixels / double(length)))); };
  const int longFibre = per(h, 250), shortFibre = per(h, 100);
  const int blotchU = per(w, 170), blotchV = per(h, 170);

  // Darkness of every pixel: 0 is the pale wood between the rings, larger values the late wood
  // of a ring, its fibres, broad bands and slow blotches. Every term is periodic over the tile.
  std::vector<double> dark(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const double v = (y + 0.5) / h;
    for (int x = 0; x < w; ++x) {
      const double u = (x + 0.5) / w;
      // Rings run along v; their spacing wanders and they sway gently sideways.
      const double spacing = 0.45 * noise.at(u * rings, 0.5, rings, 1);
      const double sway = look.sway * noise.fractal(u, v, 2, 1, 2, 0.35);
      const double t = u * rings + spacing + sway;
      const double f = t - std::floor(t);
      // Late wood: darkening slowly through the ring, ending sharply at the next one.
      const double ring = smoothstep(0.45, 0.92, f) * (1 - smoothstep(0.93, 1.0, f));
      const double strength = 0.5 + 0.5 * noise.at(t, v * longFibre, rings, longFibre);
      const double fibre = noise.at(t * 12, v * longFibre, rings * 12, longFibre) * 0.6 +
                           noise.at(t * 31, v * shortFibre, rings * 31, shortFibre) * 0.4;
      const double band = noise.at(t / rings * 5, 0.5, 5, 1);
      const double blotch = noise.fractal(u, v, blotchU, blotchV, 2);
      dark[static_cast<std::size_t>(y) * w + x] =
          look.contrast * (0.42 * ring * strength + 0.06 * fibre + 0.06 * band) + 0.05 * blotch;
    }
  }

  // The grain darkens blue most and red least, turning the pale wood a deeper amber where it
  // is dark, as real board wood does.
  const std::array<double, 3> depth = {0.30, 0.48, 0.85};
  const std::array<double, 3> target = {look.mean.redF() * 255, look.mean.greenF() * 255, look.mean.blueF() * 255};
  std::array<std::vector<double>, 3> channel;
  for (int c = 0; c < 3; ++c) {
    channel[c].resize(dark.size());
    for (std::size_t i = 0; i < dark.size(); ++i) channel[c][i] = target[c] * (1 - depth[c] * dark[i]);
  }
  // Bring each channel's average to the target: a few rounds of shift and clamp, since clamping
  // at 0 or 255 moves the average again.
  for (int c = 0; c < 3; ++c) {
    for (int round = 0; round < 6; ++round) {
      double sum = 0;
      for (double value : channel[c]) sum += value;
      const double shift = target[c] - sum / static_cast<double>(channel[c].size());
      for (double& value : channel[c]) value = std::clamp(value + shift, 0.0, 255.0);
    }
  }

  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      line[x] = qRgb(static_cast<int>(std::lround(channel[0][i])), static_cast<int>(std::lround(channel[1][i])),
                     static_cast<int>(std::lround(channel[2][i])));
    }
  }
  return image;
}

}  // namespace mh::boardart
