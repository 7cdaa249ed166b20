// The record library's figures on a large game-record index, under Qt's offscreen platform:
//   moonhaven_record_library_figures --index FILE [--repeat K] [--runs N]
// FILE is a game-record index (a pattern base's .idx); its entries are repeated K times (10 by
// default), renumbered and, after the first copy, given their own relative names, into the index
// of a scratch pattern base. Then, N times (3 by default): the window is made on that base and its
// first screen drawn; every column is sorted (a first click) and reversed (a second click), each
// followed by a repaint; the table is paged down 100 times, each page repainted. Prints the
// figures in milliseconds (wall and the window thread's CPU time) and the view's bytes per game.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "library_windows/qt/record_library_model.h"
#include "library_windows/qt/record_library_window.h"
#include "library_windows/record_columns.h"
#include "patterns/wpb_list.h"

namespace {

double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Kilobytes of the process's peak and current resident memory.
long statusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
  return -1;
}

struct Timing {
  double wallMs = 0;
  double cpuMs = 0;
};

template <typename F>
Timing timed(F&& f) {
  QElapsedTimer clock;
  const double cpu = threadCpuMs();
  clock.start();
  f();
  return {static_cast<double>(clock.nsecsElapsed()) / 1e6, threadCpuMs() - cpu};
}

// The median and the largest of the values.
std::pair<double, double> medianMax(std::vector<double> v) {
  if (v.empty()) return {0, 0};
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v.back()};
}

void print(const char* what, const std::vector<Timing>& t) {
  std::vector<double> wall;
  std::vector<double> cpu;
  for (const Timing& x : t) {
    wall.push_back(x.wallMs);
    cpu.push_back(x.cpuMs);
  }
  const auto [w, wMax] = medianMax(wall);
  const auto [c, cMax] = medianMax(cpu);
  std::printf("%-28s median %8.1f ms (cpu %8.1f)   max %8.1f ms (cpu %8.1f)   n=%zu\n", what, w, c, wMax, cMax,
              t.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::map<std::string, std::string> o;
  for (int i = 1; i + 1 < argc; i += 2) o[argv[i]] = argv[i + 1];
  if (!o.count("--index")) {
    std::fprintf(stderr, "usage: moonhaven_record_library_figures --index FILE [--repeat K] [--runs N]\n");
    return 2;
  }
  const int repeat = o.count("--repeat") ? std::atoi(o["--repeat"].c_str()) : 10;
  const int runs = o.count("--runs") ? std::atoi(o["--runs"].c_str()) : 3;

  mh::GameIndex source;
  if (!source.read(o["--index"], "/records/")) {
    std::fprintf(stderr, "cannot read %s\n", o["--index"].c_str());
    return 1;
  }
  const std::string home = std::filesystem::temp_directory_path().string() + "/moonhaven-library-figures-" +
                           std::to_string(::getpid());
  std::filesystem::create_directories(home);
  {
    mh::GameIndex big;
    big.setDirectory("/records/");
    for (int k = 0; k < repeat; ++k) {
      for (const mh::GameIndexEntry& e : source.entries()) {
        mh::GameInfo info;
        std::copy_n(e.bytes().begin(), mh::GameIndexEntry::kInfoBytes, info.bytes().begin());
        const std::string name = (k == 0 ? "" : "copy" + std::to_string(k) + "/") + e.relativeName();
        mh::GameIndexEntry copy;
        if (copy.assign(info, name, e.moveCount(), big.count())) big.append(copy);
      }
    }
    if (!big.write(home + "/big.idx")) {
      std::fprintf(stderr, "cannot write %s/big.idx\n", home.c_str());
      return 1;
    }
    std::ofstream(home + "/WPBs.ini") << "[WPBS]\r\nTOTAL=1\r\nDEFAULT=0\r\n[WPB_0]\r\nTITLE1=big\r\nSGFPATH=/records/\r\n"
                                         "FILENAME=big\r\n";
    std::printf("index: %d games, %.1f MB\n", big.count(),
                static_cast<double>(std::filesystem::file_size(home + "/big.idx")) / 1e6);
  }

  // The part of opening that is the core's: reading the index file.
  std::vector<Timing> readIndex;
  for (int run = 0; run < runs; ++run) {
    mh::GameIndex index;
    readIndex.push_back(timed([&] { (void)index.read(home + "/big.idx", "/records/"); }));
  }
  std::vector<Timing> open;
  std::vector<Timing> sortFirst;
  std::vector<Timing> sortSecond;
  std::vector<Timing> pages;
  std::map<int, std::vector<double>> perColumn;
  double bytesPerGame = 0;
  long peakAboveIndexKb = 0;
  for (int run = 0; run < runs; ++run) {
    mh::WpbList bases;
    bases.read(home + "/WPBs.ini", home + "/", 1);
    std::unique_ptr<mh::RecordLibraryWindow> w;
    // Opening: the pattern base opened (its index read), the rows listed, the first screen drawn.
    open.push_back(timed([&] {
      w = std::make_unique<mh::RecordLibraryWindow>(&bases, false, [](const char*) { return std::string(); });
      w->resize(900, 700);
      w->show();
      w->table()->viewport()->repaint();
    }));
    mh::RecordLibraryModel* model = w->model();
    const int games = model->rowCount();
    QTableView* table = w->table();
    QApplication::processEvents();
    // The peak from here on: writing 5 to clear_refs resets the process's peak resident memory.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long steadyKb = statusKb("VmRSS:");
    for (int c = 0; c < mh::kRecordColumnCount; ++c) {
      const Timing first = timed([&] {
        (void)model->clickHeader(c);
        table->viewport()->repaint();
      });
      sortFirst.push_back(first);
      perColumn[c].push_back(first.wallMs);
      sortSecond.push_back(timed([&] {
        (void)model->clickHeader(c);
        table->viewport()->repaint();
      }));
    }
    peakAboveIndexKb = std::max(peakAboveIndexKb, statusKb("VmHWM:") - steadyKb);
    for (int p = 0; p < 100; ++p)
      pages.push_back(timed([&] {
        table->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        table->viewport()->repaint();
      }));
    bytesPerGame = static_cast<double>(model->view().rowBytes()) / std::max(1, games);
    std::printf("run %d: %d rows\n", run + 1, games);
  }
  print("read the index file", readIndex);
  print("open and first screen", open);
  print("sort a column (1st click)", sortFirst);
  print("reverse it (2nd click)", sortSecond);
  for (const auto& [c, ms] : perColumn) {
    const auto [m, mx] = medianMax(ms);
    std::printf("  column %d sort: median %.1f ms, max %.1f ms\n", c, m, mx);
  }
  print("page down and repaint", pages);
  std::printf("view: %.2f bytes per game held; peak resident memory %.1f MB above the steady state while sorting\n",
              bytesPerGame, static_cast<double>(peakAboveIndexKb) / 1024.0);
  std::filesystem::remove_all(home);
  return 0;
}
