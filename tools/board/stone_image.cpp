#include "stone_image.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tileable_noise.h"

namespace mh::boardart {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
  double x, y, z;
};

Vec3 normalised(Vec3 v) {
  const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / n, v.y / n, v.z / n};
}

double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

double smoothstep(double lo, double hi, double x) {
  const double t = std::clamp((x - lo) / (hi - lo), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

int toSrgb(double linear) {
  const double c = std::clamp(linear, 0.0, 1.0);
  const double s = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
  return static_cast<int>(std::lround(s * 255));
}

// Light from the upper left and a little in front, as from a window beside the board.
const Vec3 kLight = normalised({-0.55, -0.75, 1.0});
const Vec3 kHalf = normalised({kLight.x, kLight.y, kLight.z + 1.0});

// Surface normal of a stone at (dx, dy), in units of its radius (distance r <= 1 from the
// centre). The face is a shallow dome; the last sixth rounds over into the edge.
Vec3 stoneNormal(double dx, double dy) {
  const double r = std::sqrt(dx * dx + dy * dy);
  if (r < 1e-9) return {0, 0, 1};
  const double dome = std::asin(std::min(1.0, r / 1.45));
  const double edge = 80.0 * kPi / 180.0;
  const double domeAtRim = std::asin(1.0 / 1.45);
  const double tilt = dome + (edge - domeAtRim) * std::pow(smoothstep(0.80, 1.0, r), 1.4);
  const double s = std::sin(tilt);
  return {s * dx / r, s * dy / r, std::cos(tilt)};
}

// Linear colour of the stone's surface at (dx, dy) in units of its radius. `rim` darkens a
// white stone's edge so that it stands apart from pale wood.
std::array<double, 3> shade(StoneColour colour, double dx, double dy, double rim, const TileableNoise& grain) {
  const Vec3 n = stoneNormal(dx, dy);
  const double diffuse = std::max(0.0, dot(n, kLight));
  const double facing = std::max(0.0, dot(n, kHalf));
  const double r = std::sqrt(dx * dx + dy * dy);
  if (colour == StoneColour::Black) {
    // Slate: nearly black, a broad dull sheen towards the light and a small soft highlight.
    const double sheen = 0.022 * std::pow(facing, 10);
    const double highlight = 0.16 * std::pow(facing, 90);
    const double body = 0.004 + 0.010 * diffuse;
    // Faint warm light thrown back from the wood onto the lower rim.
    const double bounce = 0.012 * smoothstep(0.75, 1.0, r) * std::max(0.0, dy + 0.3);
    return {body + sheen + highlight + bounce * 1.2, body + sheen + highlight + bounce, body * 1.08 + sheen * 1.1 + highlight + bounce * 0.6};
  }
  // Shell: warm white, shaded softly away from the light, with fine gently curved growth lines
  // crossing the face and a faint gloss.
  const double curve = dy + 0.22 * dx * dx + 0.05 * grain.at(dx * 2 + 2, dy * 2 + 2, 8, 8);
  const double lines = 0.5 + 0.5 * std::sin(2 * kPi * 7.5 * curve);
  const double band = 0.5 + 0.5 * grain.at(curve * 3 + 3, 0.5, 16, 1);
  const double albedo = 0.93 * (1 - 0.045 * lines - 0.03 * band);
  const double light = 0.52 + 0.50 * diffuse;
  const double gloss = 0.10 * std::pow(facing, 30);
  const double edge = 1 - rim * smoothstep(0.86, 1.0, r);
  const double base = albedo * light * edge;
  return {base * 1.0 + gloss, base * 0.985 + gloss, base * 0.945 + gloss};
}

}  // namespace

QImage drawStone(int size, StoneColour colour, StoneFrame frame) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  if (size <= 0) return image;

  // A module stone is centred where the view's grid line runs: its image starts one pixel inside
  // the point's rectangle, which is centred on the line's left (top) pixel edge, so the line's
  // middle lies half a pixel past the image's middle. That leaves one free pixel column at the
  // left and top; the shadow takes a little room at the right and bottom, growing with the
  // stone (small stones have none). A built-in stone fills its square, since it is stretched.
  double pad = 0;
  double cx = size / 2.0;
  if (frame == StoneFrame::WithShadow) {
    pad = size >= 20 ? std::max(0.6, size * 0.02) : 0.0;
    cx = size / 2.0 + 0.5;
  }
  const double radius = size - cx - pad;
  const double cy = cx;
  const double shadowX = cx + pad;
  const double shadowY = cy + pad;
  const double shadowSoftness = std::max(0.7, pad * 1.5);

  // Small white stones get a firmer edge: at a few pixels across, shading alone would lose them
  // against the wood.
  const double rim = 0.16 + 0.30 * std::clamp((30.0 - size) / 20.0, 0.0, 1.0);
  const TileableNoise grain(colour == StoneColour::White ? 0x5eed5u : 0xb1acu);
  constexpr int kSub = 5;  // 5 x 5 samples per pixel for smooth edges
  for (int y = 0; y < size; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size; ++x) {
      std::array<double, 3> sum = {0, 0, 0};
      int inside = 0;
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          const double px = x + (sx + 0.5) / kSub;
          const double py = y + (sy + 0.5) / kSub;
          const double dx = (px - cx) / radius;
          const double dy = (py - cy) / radius;
          if (dx * dx + dy * dy > 1.0) continue;
          const auto c = shade(colour, dx, dy, rim, grain);
          for (int k = 0; k < 3; ++k) sum[k] += c[k];
          ++inside;
        }
      }
      const double stoneAlpha = static_cast<double>(inside) / (kSub * kSub);
      double shadowAlpha = 0;
      if (pad > 0) {
        const double d = std::hypot(x + 0.5 - shadowX, y + 0.5 - shadowY);
        shadowAlpha = 0.45 * (1 - smoothstep(radius - shadowSoftness, radius + shadowSoftness * 0.5, d));
      }
      // The stone over its shadow; the shadow is black, so it only adds coverage.
      const double alpha = stoneAlpha + shadowAlpha * (1 - stoneAlpha);
      if (alpha <= 0) continue;
      // Unpremultiplied colour of the mix, blended as the view will composite it (in sRGB).
      std::array<int, 3> rgb = {0, 0, 0};
      if (inside > 0) {
        for (int k = 0; k < 3; ++k) {
          rgb[k] = static_cast<int>(std::lround(toSrgb(sum[k] / inside) * stoneAlpha / alpha));
        }
      }
      line[x] = qRgba(rgb[0], rgb[1], rgb[2], static_cast<int>(std::lround(alpha * 255)));
    }
  }
  return image;
}

}  // namespace mh::boardart
