#pragma once

#include <QColor>
#include <QImage>
#include <array>
#include <string>

namespace mh {

// The images a board is drawn with: the board module's wood texture and its stones pre-sized for
// every cell, or, without the module, the built-in wood tile and the two built-in stone pairs.
// Loaded once; read-only afterwards, so one set serves every view and thread.
class BoardImages {
 public:
  // Module stones exist for stone squares of a = cell - 2 pixels with kFirstSize <= a <= kLastSize.
  static constexpr int kFirstSize = 10;
  static constexpr int kLastSize = 59;

  // The built-in images only.
  BoardImages();
  // The board module in moduleDirectory (holding 20002.png, 20110.png... ), falling back to the
  // built-in images when the folder or its texture is missing.
  static BoardImages load(const std::string& moduleDirectory);

  bool moduleLoaded() const { return moduleLoaded_; }
  // The tile the wooden background is paved with.
  const QImage& texture() const { return texture_; }
  // The module's stone for a stone square of a pixels, or null (no module, or a outside the sizes).
  const QImage* moduleStone(int colour, int a) const;
  // Built-in stone of style 0 or 1, or null for any other style or a missing image.
  const QImage* builtinStone(int style, int colour) const;
  // The colour behind text on the wooden board, matching the texture in use.
  QColor woodColour() const;

  // An image made ready for drawing: pure red RGB(255, 0, 0) becomes transparent.
  static QImage keyedOut(const QImage& image);

 private:
  bool moduleLoaded_ = false;
  QImage texture_;
  std::array<std::array<QImage, kLastSize - kFirstSize + 1>, 2> moduleStones_;
  std::array<std::array<QImage, 2>, 2> builtinStones_;
};

}  // namespace mh
