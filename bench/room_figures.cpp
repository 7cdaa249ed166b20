// The desktop's figures, measured under Qt's offscreen platform:
//   moonhaven_room_figures paint [--runs N] [--module DIR]
//       paints a full board (361 stones, 30 labels, 20 marks) into a 1080 x 1080 picture
//   moonhaven_room_figures refresh --home DIR --records DIR [--games N] [--moves M] [--module DIR]
//       the whole refresh of a 760 x 760 room (hints from the home's default pattern base, move
//       numbers, record annotations, title, and the repaint) at the first M positions of N games
//   moonhaven_room_figures latency [--seconds S] [--rooms R] [--level L] [--module DIR]
//       R rooms in the main window, each with GNU Go playing itself at level L (a game that ends is
//       started again), while a 5 ms timer measures how late the window thread serves it
// Each prints one line of figures (milliseconds) and the process's CPU time.
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "patterns/wpb_list.h"
#include "platform/program_paths.h"
#include "platform/teardown_queue.h"
#include "room/app_settings.h"
#include "room/paint/board_images.h"
#include "room/paint/board_painter.h"
#include "room/qt/board_view.h"
#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/qt/desktop_services.h"
#include "shell/qt/main_frame.h"

namespace {

using Options = std::map<std::string, std::string>;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU time of the calling thread, in milliseconds: what a step costs whatever else the machine runs.
double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The q-quantile (0..1) of the values, nearest rank.
double quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t rank = static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(rank, values.size() - 1)];
}

std::string moduleOf(const Options& o) {
  if (auto it = o.find("--module"); it != o.end()) return it->second;
  return mh::executableDirectory() + "../apps/board";
}

int intOption(const Options& o, const char* name, int fallback) {
  auto it = o.find(name);
  return it == o.end() ? fallback : std::atoi(it->second.c_str());
}

int paintFigure(const Options& o) {
  const mh::BoardImages images = mh::BoardImages::load(moduleOf(o));
  mh::BoardScene scene;
  for (mh::Point p = 0; p < 361; ++p) scene.board.set(p, (p * 7 / 3) % 2 == 0 ? mh::Black : mh::White);
  for (int i = 0; i < 30; ++i) (void)scene.annotations.addLabel(i * 12, i % 2 ? mh::kRed : mh::kBlue, std::to_string(i + 1));
  for (int i = 0; i < 20; ++i) scene.annotations.addMark(i * 17 + 5, i % 7);
  scene.cursorPoint = 180;
  scene.layout(1080, 1080);
  QImage image(1080, 1080, QImage::Format_RGB32);
  const int runs = intOption(o, "--runs", 200);
  std::vector<double> ms, cpu;
  const double cpu0 = cpuSeconds();
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    const double c = threadCpuMs();
    QPainter painter(&image);
    mh::paintBoard(painter, 1080, 1080, scene, images);
    painter.end();
    cpu.push_back(threadCpuMs() - c);
    ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::printf("paint 1080x1080 (cell %d, module %s), %d runs: wall median %.2f ms, p99 %.2f ms; "
              "thread cpu median %.2f ms, p99 %.2f ms; process cpu %.2f s\n",
              scene.geometry.cell(), images.moduleLoaded() ? "yes" : "no", runs, quantile(ms, 0.5), quantile(ms, 0.99),
              quantile(cpu, 0.5), quantile(cpu, 0.99), cpuSeconds() - cpu0);
  return 0;
}

std::vector<QString> recordFiles(const QString& folder, int count) {
  std::vector<QString> all;
  QDirIterator it(folder, {QStringLiteral("*.sgf")}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) all.push_back(it.next());
  std::sort(all.begin(), all.end());
  std::vector<QString> picked;
  const size_t stride = std::max<size_t>(1, all.size() / static_cast<size_t>(std::max(count, 1)));
  for (size_t i = 0; i < all.size() && picked.size() < static_cast<size_t>(count); i += stride) picked.push_back(all[i]);
  return picked;
}

int refreshFigure(const Options& o) {
  if (!o.count("--home") || !o.count("--records")) {
    std::fprintf(stderr, "refresh needs --home DIR and --records DIR\n");
    return 2;
  }
  const std::string home = mh::withTrailingSlash(o.at("--home"));
  mh::AppSettings settings;
  mh::TeardownQueue teardown;
  mh::WpbList bases;
  bases.read(home + "WPBs.ini", home, 1);
  settings.defaultPatternBase = bases.defaultNumber();
  const mh::BoardImages images = mh::BoardImages::load(moduleOf(o));
  mh::RoomContext context;
  context.services.settings = &settings;
  context.services.patternBases = &bases;
  context.services.teardown = &teardown;
  context.images = &images;
  mh::RoomView room(100, context);
  room.resize(760, 760);
  room.show();
  QApplication::processEvents();
  std::printf("pattern base open: %s\n", bases.at(bases.defaultNumber()) ? "yes" : "no");

  std::vector<double> ms, cpu;
  size_t labelled = 0;
  const int moves = intOption(o, "--moves", 120);
  const double cpu0 = cpuSeconds();
  for (const QString& file : recordFiles(QString::fromStdString(o.at("--records")), intOption(o, "--games", 100))) {
    if (!room.openRecordFile(file, false, 0)) continue;
    const int last = room.room().view().lastIndex;
    for (int i = 0; i <= std::min(last, moves); ++i) {
      // The driver takes a moment to wait for the person again after each re-sync.
      while (!room.room().goToMove(i)) QApplication::processEvents(QEventLoop::AllEvents, 1);
      QElapsedTimer t;
      t.start();
      const double c = threadCpuMs();
      room.refresh();
      room.boardView()->repaint();
      cpu.push_back(threadCpuMs() - c);
      ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
      labelled += room.room().annotations().labelCount() > 0;
      QApplication::processEvents();
    }
  }
  std::printf("refresh 760x760, %zu positions (%zu with hints): wall median %.2f ms, p99 %.2f ms, max %.2f ms; "
              "thread cpu median %.2f ms, p99 %.2f ms; process cpu %.2f s\n",
              ms.size(), labelled, quantile(ms, 0.5), quantile(ms, 0.99), quantile(ms, 1.0), quantile(cpu, 0.5),
              quantile(cpu, 0.99), cpuSeconds() - cpu0);
  return 0;
}

int latencyFigure(const Options& o) {
  const QString emptyHome = QDir::tempPath() + "/moonhaven-latency-home";
  QDir().mkpath(emptyHome);
  mh::DesktopServices services(emptyHome.toStdString(), moduleOf(o));
  mh::CMainFrame frame(services.roomContext());
  frame.resize(1400, 900);
  frame.show();
  const int level = intOption(o, "--level", 1);
  mh::PlaySetup setup = mh::PlaySetup::defaults(mh::GameSettings::Chinese, "a", "b");
  setup.white.gnuGo = true;
  setup.black.level = setup.white.level = level;
  setup.black.assist = setup.white.assist = false;
  const mh::PlayChoice choice = mh::playChoice(setup, false);
  int refreshes = 0, games = 0;
  for (int r = 0; r < intOption(o, "--rooms", 3); ++r) {
    mh::RoomView* room = frame.newRoom()->roomView();
    QObject::connect(room, &mh::RoomView::titleChanged, [&] { ++refreshes; });
    room->startGame(choice);
    ++games;
  }
  // Games that end start again; their message boxes are closed.
  QTimer restart;
  QObject::connect(&restart, &QTimer::timeout, [&] {
    for (mh::CChildFrame* f : frame.rooms()) {
      for (QMessageBox* box : f->findChildren<QMessageBox*>()) box->close();
      if (!f->roomView()->room().driverRunning()) {
        f->roomView()->startGame(choice);
        ++games;
      }
    }
  });
  restart.start(500);

  // Per tick: how late it came (wall), and how much CPU the window thread spent since the tick
  // before: a late tick with little CPU spent was the machine's other processes, not a stall.
  std::vector<double> late, busy;
  QElapsedTimer clock;
  clock.start();
  qint64 previous = 0;
  double previousCpu = 0;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    const double cpu = threadCpuMs();
    if (previous) {
      late.push_back(static_cast<double>(now - previous) / 1e6 - 5.0);
      busy.push_back(cpu - previousCpu);
    }
    previous = now;
    previousCpu = cpu;
  });
  tick.start(5);
  const double cpu0 = cpuSeconds();
  QTimer::singleShot(intOption(o, "--seconds", 60) * 1000, qApp, &QCoreApplication::quit);
  QApplication::exec();
  std::printf("latency, %d rooms of GNU Go level %d for %d s, %zu ticks of 5 ms: lateness median %.2f ms, p99 %.2f ms, "
              "max %.2f ms; window thread cpu between ticks p99 %.2f ms, max %.2f ms; %d refreshes, %d games; "
              "process cpu %.2f s\n",
              static_cast<int>(frame.rooms().size()), level, intOption(o, "--seconds", 60), late.size(),
              quantile(late, 0.5), quantile(late, 0.99), quantile(late, 1.0), quantile(busy, 0.99), quantile(busy, 1.0),
              refreshes, games, cpuSeconds() - cpu0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: moonhaven_room_figures paint|refresh|latency [--option value]...\n");
    return 2;
  }
  const std::string command = argv[1];
  Options options;
  for (int i = 2; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
  if (command == "paint") return paintFigure(options);
  if (command == "refresh") return refreshFigure(options);
  if (command == "latency") return latencyFigure(options);
  std::fprintf(stderr, "unknown figure '%s'\n", command.c_str());
  return 2;
}
