// Checks the generated board module (board/ beside the executables) and the built-in board
// images: every file the board view and the rooms look up exists, stones fit their points and
// sit on a transparent background, the wood tiles without seams, and the sounds are valid WAVE
// files of the promised lengths that neither clip nor pop.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "board_resources.h"

namespace {

QString modulePath(int number, const char* ext) {
  return QStringLiteral("%1/%2.%3").arg(MOONHAVEN_BOARD_DIR).arg(number).arg(ext);
}

// Mean of each colour channel over the image.
std::vector<double> meanColour(const QImage& image) {
  std::vector<double> sum(3, 0.0);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      sum[0] += qRed(c);
      sum[1] += qGreen(c);
      sum[2] += qBlue(c);
    }
  }
  for (double& s : sum) s /= static_cast<double>(image.width()) * image.height();
  return sum;
}

double pixelDistance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// How ordinary the seam of a tiled texture is: the share of neighbouring column pairs (or row
// pairs) inside the image that differ at least as much as the last and first columns (rows)
// do. A seamless tile puts its seam among them; a seam that shows is the largest jump of all.
double seamShare(const QImage& image, bool columns) {
  const int n = columns ? image.width() : image.height();
  const int along = columns ? image.height() : image.width();
  const auto jump = [&](int i, int j) {
    double sum = 0;
    for (int k = 0; k < along; ++k) {
      sum += columns ? pixelDistance(image.pixel(i, k), image.pixel(j, k))
                     : pixelDistance(image.pixel(k, i), image.pixel(k, j));
    }
    return sum / along;
  };
  const double seam = jump(n - 1, 0);
  int asLarge = 0;
  for (int i = 0; i + 1 < n; ++i) asLarge += jump(i, i + 1) >= seam ? 1 : 0;
  return static_cast<double>(asLarge) / (n - 1);
}

struct WoodCase {
  QString path;
  int width;  // 0: any size of at least 64 x 64
  int height;
  int red, green, blue;
};

TEST(BoardModule, WoodIsOpaqueSeamlessAndOfTheBoardColour) {
  const WoodCase cases[] = {
      {modulePath(20002, "png"), 0, 0, 248, 215, 135},
      {mh::builtinBoardImagePath(132), 69, 75, 255, 195, 101},
  };
  for (const WoodCase& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const QImage wood(c.path);
    ASSERT_FALSE(wood.isNull());
    if (c.width > 0) {
      EXPECT_EQ(wood.size(), QSize(c.width, c.height));
    } else {
      EXPECT_GE(wood.width(), 64);
      EXPECT_GE(wood.height(), 64);
    }
    EXPECT_FALSE(wood.hasAlphaChannel());
    const auto mean = meanColour(wood);
    EXPECT_NEAR(mean[0], c.red, 6);
    EXPECT_NEAR(mean[1], c.green, 6);
    EXPECT_NEAR(mean[2], c.blue, 6);
    // Grain, not one flat colour.
    double spread = 0;
    for (int x = 0; x < wood.width(); ++x) spread += std::abs(qGray(wood.pixel(x, 0)) - qGray(wood.pixel(0, 0)));
    EXPECT_GT(spread / wood.width(), 2.0);
    EXPECT_GT(seamShare(wood, true), 0.05);
    EXPECT_GT(seamShare(wood, false), 0.05);
  }
}

struct StoneCase {
  QString path;
  int size;
  bool black;
  double centre;  // where the stone's middle must lie, in pixels from the image's left and top
};

std::vector<StoneCase> allStones() {
  std::vector<StoneCase> stones;
  // Module stone 20100 + a / 20200 + a is drawn unscaled at the top-left of a point's rectangle
  // shrunk by one pixel: cell = a + 2, and the rectangle spans line - cell/2 .. line + cell/2
  // (right edge exclusive). The stone's middle is the middle of the line's one-pixel column.
  for (int a = 10; a <= 59; ++a) {
    const int cell = a + 2;
    const int size = 2 * (cell / 2) - 2;
    const double line = cell / 2 - 1 + 0.5;
    stones.push_back({modulePath(20100 + a, "png"), size, true, line});
    stones.push_back({modulePath(20200 + a, "png"), size, false, line});
  }
  // Built-in stones are stretched to the rectangle, so they fill their square.
  stones.push_back({mh::builtinBoardImagePath(149), 23, true, 11.5});
  stones.push_back({mh::builtinBoardImagePath(147), 23, false, 11.5});
  stones.push_back({mh::builtinBoardImagePath(177), 20, true, 10});
  stones.push_back({mh::builtinBoardImagePath(180), 20, false, 10});
  return stones;
}

TEST(BoardModule, StonesFitTheirPointOnATransparentBackground) {
  for (const StoneCase& c : allStones()) {
    SCOPED_TRACE(c.path.toStdString());
    const QImage stone = QImage(c.path).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(stone.isNull());
    ASSERT_EQ(stone.size(), QSize(c.size, c.size));
    const int edge = c.size - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(edge, 0), QPoint(0, edge), QPoint(edge, edge)}) {
      EXPECT_EQ(qAlpha(stone.pixel(corner)), 0) << corner.x() << "," << corner.y();
    }
    // The middle of the stone is solid, dark slate or light shell.
    const QRgb middle = stone.pixel(c.size / 2, c.size / 2);
    EXPECT_EQ(qAlpha(middle), 255);
    if (c.black) {
      EXPECT_LT(qGray(middle), 70);
    } else {
      EXPECT_GT(qGray(middle), 170);
    }
    // Round and nearly as wide as the image, centred on the grid line: the solid run through the
    // middle row and the one through the middle column are centred there; the corners are
    // empty, and the edge has partly covered pixels (antialiasing).
    const int mid = static_cast<int>(c.centre);
    for (bool across : {true, false}) {
      int first = -1, last = -1;
      for (int i = 0; i < c.size; ++i) {
        if (qAlpha(across ? stone.pixel(i, mid) : stone.pixel(mid, i)) < 255) continue;
        if (first < 0) first = i;
        last = i;
      }
      EXPECT_GE(last - first + 1, c.size * 0.82) << (across ? "row" : "column");
      EXPECT_NEAR((first + last + 1) / 2.0, c.centre, 0.25) << (across ? "row" : "column");
    }
    int partial = 0;
    int red = 0;
    for (int y = 0; y < c.size; ++y) {
      for (int x = 0; x < c.size; ++x) {
        const QRgb p = stone.pixel(x, y);
        if (qAlpha(p) > 0 && qAlpha(p) < 255) ++partial;
        if (qRed(p) == 255 && qGreen(p) == 0 && qBlue(p) == 0) ++red;
      }
    }
    EXPECT_GT(partial, c.size);
    EXPECT_EQ(red, 0) << "pure red is the view's transparent colour";
  }
}

TEST(BoardModule, OnlyTheFiveBuiltinImagesHavePaths) {
  for (int number : {132, 147, 149, 177, 180}) {
    EXPECT_TRUE(QFile::exists(mh::builtinBoardImagePath(number))) << number;
  }
  for (int number : {0, 131, 148, 20002, 20110}) EXPECT_TRUE(mh::builtinBoardImagePath(number).isEmpty()) << number;
}

// A 16-bit PCM mono WAVE file read back from its bytes.
struct Wave {
  bool valid = false;
  int rate = 0;
  std::vector<int> samples;
};

std::uint32_t le(const QByteArray& b, int at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

Wave readWave(const QString& path) {
  QFile file(path);
  Wave wave;
  if (!file.open(QIODevice::ReadOnly)) return wave;
  const QByteArray b = file.readAll();
  if (b.size() < 44 || b.mid(0, 4) != "RIFF" || b.mid(8, 4) != "WAVE" || b.mid(12, 4) != "fmt ") return wave;
  if (le(b, 4, 4) != static_cast<std::uint32_t>(b.size() - 8) || le(b, 16, 4) != 16) return wave;
  const auto format = le(b, 20, 2), channels = le(b, 22, 2), rate = le(b, 24, 4), byteRate = le(b, 28, 4),
             align = le(b, 32, 2), bits = le(b, 34, 2);
  if (format != 1 || channels != 1 || bits != 16 || align != 2 || byteRate != rate * 2) return wave;
  if (rate != 44100 && rate != 22050) return wave;
  if (b.mid(36, 4) != "data" || le(b, 40, 4) != static_cast<std::uint32_t>(b.size() - 44)) return wave;
  for (int at = 44; at + 1 < b.size(); at += 2) wave.samples.push_back(static_cast<std::int16_t>(le(b, at, 2)));
  wave.rate = static_cast<int>(rate);
  wave.valid = true;
  return wave;
}

struct SoundCase {
  int number;
  int minMs, maxMs;
};

TEST(BoardModule, SoundsAreShortCleanWaveFiles) {
  const SoundCase cases[] = {
      {20716, 80, 150},  {20717, 150, 999}, {20718, 150, 999}, {20719, 150, 999},
      {20720, 60, 999},  {20721, 200, 999}, {20722, 200, 999}, {20723, 60, 999},
      {20724, 40, 999},  {20725, 200, 999}, {20726, 200, 999}, {20727, 200, 999},
  };
  std::vector<double> lengths;
  for (const SoundCase& c : cases) {
    SCOPED_TRACE(c.number);
    const Wave wave = readWave(modulePath(c.number, "wav"));
    ASSERT_TRUE(wave.valid);
    const double ms = 1000.0 * static_cast<double>(wave.samples.size()) / wave.rate;
    lengths.push_back(ms);
    EXPECT_GE(ms, c.minMs);
    EXPECT_LE(ms, c.maxMs);
    int peak = 0;
    double sum = 0;
    for (int s : wave.samples) {
      peak = std::max(peak, std::abs(s));
      sum += s;
    }
    EXPECT_LT(peak, 32000) << "clipping";
    EXPECT_GT(peak, 12000) << "normalised to a useful level";
    EXPECT_LT(std::abs(sum / static_cast<double>(wave.samples.size())), 100.0) << "DC offset";
    EXPECT_LE(std::abs(wave.samples.front()), 64) << "starts with a pop";
    EXPECT_LE(std::abs(wave.samples.back()), 64) << "ends with a pop";
  }
  // More captured stones make a longer rattle after the click.
  EXPECT_LT(lengths[0], lengths[1]);
  EXPECT_LT(lengths[1], lengths[2]);
  EXPECT_LT(lengths[2], lengths[3]);
}

}  // namespace
