#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli_command.h"
#include "load_record.h"
#include "model/game_state.h"
#include "model/sgf_value.h"
#include "pattern_base_options.h"
#include "platform/ascii_text.h"
#include "platform/program_paths.h"
#include "room/paint/board_images.h"
#include "room/paint/board_painter.h"
#include "room/position_annotations.h"

namespace {

struct RenderOptions {
  mh::cli::PatternBaseOptions base;
  std::string file;
  std::optional<int> move;
  mh::cli::RecordChoice choice;
  std::string size = "760";
  int numbers = 0;
  std::string out;
};

// "W" or "WxH" with sides from 1 to 10000.
bool parseSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find_first_of("xX");
  const auto w = mh::sgf::parseInt(text.substr(0, x));
  const auto h = x == std::string::npos ? w : mh::sgf::parseInt(text.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > 10000 || *h > 10000) return false;
  width = *w;
  height = *h;
  return true;
}

void defineRender(CLI::App& command, RenderOptions& o) {
  command.add_option("FILE", o.file, "an SGF or GIB game record")->required();
  command.add_option("--move", o.move, "the position after move N (default: the last)")->type_name("N");
  mh::cli::defineRecordChoice(command, o.choice);
  command.add_option("--size", o.size, "the board view's size in pixels (default 760)")
      ->type_name("W[xH]")
      ->check(CLI::Validator(
          [](std::string& v) {
            int w = 0, h = 0;
            return parseSize(v, w, h) ? "" : "not W or WxH (1 to 10000): " + v;
          },
          ""));
  o.base.define(command);
  command.add_option("--numbers", o.numbers, "move numbers: 0 none, 1 the last move, 2 the last five, 3 all")
      ->type_name("0-3")
      ->check(CLI::Range(0, 3));
  command.add_option("--out", o.out, "the picture to write, .png or .svg")
      ->required()
      ->type_name("OUT")
      ->check(CLI::Validator(
          [](std::string& v) {
            const std::string lower = mh::ascii::toLower(v);
            return lower.ends_with(".png") || lower.ends_with(".svg") ? "" : "not a .png or .svg file: " + v;
          },
          ""));
}

bool endsWith(const std::string& text, const char* suffix) {
  const std::string s(suffix);
  return text.size() >= s.size() && mh::ascii::equalsIgnoringCase(text.substr(text.size() - s.size()), s);
}

bool writePicture(const std::string& out, int width, int height, const mh::BoardScene& scene,
                  const mh::BoardImages& images) {
  const QString path = QString::fromLocal8Bit(out.c_str());
  if (endsWith(out, ".svg")) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    mh::paintBoard(painter, width, height, scene, images);
    return painter.end();
  }
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  mh::paintBoard(painter, width, height, scene, images);
  painter.end();
  return image.save(path, "PNG");
}

int runRender(const RenderOptions& o) {
  int width = 760, height = 760;
  (void)parseSize(o.size, width, height);
  mh::GameState state;
  if (!mh::cli::loadPosition("render", o.file, o.choice, o.move, state)) return 1;

  // Hints when a pattern base is named.
  mh::AnnotationRequest request;
  request.moveNumberMode = o.numbers;
  mh::WpbList bases;
  if (!o.base.home.empty() || o.base.base) {
    mh::Wpb* base = o.base.select("render", bases);
    if (!base) return 1;
    base->openForHints();
    request.sources.global = &base->globalLibrary();
    request.sources.local = &base->localLibrary();
  }

  // Painting needs Qt's fonts, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "moonhaven-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  const mh::BoardImages images = mh::BoardImages::load(mh::boardModuleDirectory(mh::executableDirectory()));

  mh::BoardScene scene;
  const mh::GameStateView view = state.view();
  scene.board = view.board;
  scene.annotations = mh::annotatePosition(view, request).annotations;
  scene.layout(width, height);
  if (!writePicture(o.out, width, height, scene, images)) {
    std::fprintf(stderr, "render: cannot write %s\n", o.out.c_str());
    return 1;
  }
  return 0;
}

mh::cli::CommandRegistrar reg{
    {"render", "draw a record's position as a room shows it, with hints and move numbers, to PNG or SVG",
     [](CLI::App& command) {
       auto o = std::make_shared<RenderOptions>();
       defineRender(command, *o);
       return [o](const mh::cli::CommandContext&) { return runRender(*o); };
     }}};

}  // namespace
