#include "room/paint/board_images.h"

#include "board_resources.h"
#include "model/point.h"

namespace mh {

namespace {

int colourIndex(int colour) { return colour == White ? 1 : 0; }

QImage loadKeyed(const QString& path) {
  QImage image(path);
  return image.isNull() ? image : BoardImages::keyedOut(image);
}

}  // namespace

QImage BoardImages::keyedOut(const QImage& image) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] & 0x00FFFFFF) == 0x00FF0000 && qAlpha(line[x]) == 255) line[x] = 0;
  }
  return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

BoardImages::BoardImages() {
  texture_ = QImage(builtinBoardImagePath(132)).convertToFormat(QImage::Format_RGB32);
  const int numbers[2][2] = {{149, 147}, {177, 180}};  // [style][black, white]
  for (int style = 0; style < 2; ++style)
    for (int c = 0; c < 2; ++c) builtinStones_[style][c] = loadKeyed(builtinBoardImagePath(numbers[style][c]));
}

BoardImages BoardImages::load(const std::string& moduleDirectory) {
  BoardImages images;
  if (moduleDirectory.empty()) return images;
  const QString dir = QString::fromStdString(moduleDirectory) + "/";
  const QImage texture(dir + "20002.png");
  if (texture.isNull()) return images;
  images.texture_ = texture.convertToFormat(QImage::Format_RGB32);
  images.moduleLoaded_ = true;
  for (int a = kFirstSize; a <= kLastSize; ++a) {
    images.moduleStones_[0][a - kFirstSize] = loadKeyed(dir + QString::number(20100 + a) + ".png");
    images.moduleStones_[1][a - kFirstSize] = loadKeyed(dir + QString::number(20200 + a) + ".png");
  }
  return images;
}

const QImage* BoardImages::moduleStone(int colour, int a) const {
  if (!moduleLoaded_ || a < kFirstSize || a > kLastSize) return nullptr;
  const QImage& image = moduleStones_[colourIndex(colour)][a - kFirstSize];
  return image.isNull() ? nullptr : &image;
}

const QImage* BoardImages::builtinStone(int style, int colour) const {
  if (style != 0 && style != 1) return nullptr;
  const QImage& image = builtinStones_[style][colourIndex(colour)];
  return image.isNull() ? nullptr : &image;
}

QColor BoardImages::woodColour() const { return moduleLoaded_ ? QColor(248, 215, 135) : QColor(255, 195, 101); }

}  // namespace mh
