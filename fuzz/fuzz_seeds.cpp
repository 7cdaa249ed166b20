// Writes the starting inputs of the binary formats' fuzz targets, made by the program's own
// writers, into <folder>/<target>/: bench/fuzz.sh runs it before fuzzing, so no binary seed is
// kept in the repository.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "model/board.h"
#include "model/game_info.h"
#include "patterns/game_index.h"
#include "patterns/pattern_library.h"
#include "patterns/warehouse.h"
#include "platform/byte_io.h"
#include "platform/file_bytes.h"

namespace fs = std::filesystem;
using namespace mh;

namespace {

PatternEntry sampleEntry(const PointList& black, const PointList& white, int side, int seed, int boardSide = 19) {
  Board b(boardSide, boardSide);
  b.setPoints(black, Black);
  b.setPoints(white, White);
  PatternEntry e;
  e.snapshot = b.snapshot();
  e.side = static_cast<std::uint8_t>(side);
  for (int i = 0; i < seed % 4; ++i) e.insertCandidate({seed + i, 10 - i, i, 1});
  for (int i = 0; i < seed % 5; ++i)
    e.occurrences.push_back({seed, static_cast<std::int16_t>(i), static_cast<std::int16_t>(seed + i)});
  if (seed % 3 == 0) e.text = "note";
  return e;
}

std::vector<PatternEntry> sampleEntries() {
  return {sampleEntry({}, {}, Black, 1), sampleEntry({72}, {}, White, 2), sampleEntry({4, 6}, {}, Black, 3),
          sampleEntry({4}, {6}, Black, 4), sampleEntry({72, 288}, {60}, White, 7),
          sampleEntry({1}, {}, Black, 8, 9)};
}

std::string slurp(const fs::path& p) {
  std::string s;
  if (!readFileBytes(p.string(), 64u << 20, s)) throw std::runtime_error("cannot read " + p.string());
  return s;
}

void put(const fs::path& p, const std::string& bytes) {
  if (!writeFileBytes(p.string(), bytes)) throw std::runtime_error("cannot write " + p.string());
}

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds FOLDER\n";
    return 2;
  }
  try {
    const fs::path root = argv[1];
    for (const char* t :
         {"warehouse_fuzz", "pattern_data_fuzz", "pattern_index_fuzz", "pattern_entry_fuzz", "game_index_fuzz"})
      fs::create_directories(root / t);
    const fs::path work = root / "work";
    fs::create_directories(work);

    // Warehouses: empty, with replaced values (free blocks in the table), and holding entries.
    {
      Warehouse w;
      check(w.create((root / "warehouse_fuzz" / "empty").string()), "create warehouse");
      w.close();
      check(w.create((root / "warehouse_fuzz" / "values").string()), "create warehouse");
      check(w.put("a", std::vector<std::uint8_t>(200, 1)), "put");
      check(w.put("b", std::vector<std::uint8_t>(3000, 2)), "put");
      check(w.put("a", std::vector<std::uint8_t>(50, 3)), "put");
      check(w.put("1", std::vector<std::uint8_t>(10, 4)), "put");
      check(w.close(), "close warehouse");
      PatternLibrary lib;
      check(lib.createWarehouse((root / "warehouse_fuzz" / "entries").string()), "create library");
      for (const PatternEntry& e : sampleEntries()) check(lib.add(e), "add");
      check(lib.closeWarehouse(), "close library");
    }

    // A data file and its index; the index target takes both in one input.
    const fs::path data = work / "data.wpbin", index = work / "data.wpindex";
    {
      PatternLibrary lib;
      for (const PatternEntry& e : sampleEntries()) check(lib.add(e), "add");
      check(lib.writeData(data.string()), "write data");
      PatternLibrary indexed;
      check(indexed.openData(data.string()), "open data");
      check(indexed.writeIndex(index.string()), "write index");
    }
    const std::string dataBytes = slurp(data), indexBytes = slurp(index);
    put(root / "pattern_data_fuzz" / "sample", dataBytes);
    std::string joined;
    joined += static_cast<char>(indexBytes.size() & 0xFF);
    joined += static_cast<char>(indexBytes.size() >> 8 & 0xFF);
    put(root / "pattern_index_fuzz" / "sample", joined + indexBytes + dataBytes);

    // Single entries in both forms; the first byte chooses the form.
    int n = 0;
    for (const PatternEntry& e : sampleEntries()) {
      for (int form = 0; form < 2; ++form) {
        std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(form)};
        ByteWriter out(bytes);
        check(e.write(out, form ? PatternEntryForm::Warehouse : PatternEntryForm::DataFile), "write entry");
        put(root / "pattern_entry_fuzz" / ("entry" + std::to_string(n++)),
            std::string(bytes.begin(), bytes.end()));
      }
    }
    // A game-record index of a few games, one in a subfolder.
    {
      GameIndex games;
      int number = 0;
      for (const char* name : {"a.sgf", "sub/b.gib", "c.SGF"}) {
        GameInfo info;
        (void)info.setText(GameInfo::kBlackName, "black");
        (void)info.setText(GameInfo::kWhiteName, name);
        info.setWinner(number % 3);
        GameIndexEntry entry;
        check(entry.assign(info, name, 100 + number, number), "assign");
        games.append(entry);
        ++number;
      }
      check(games.write((root / "game_index_fuzz" / "three").string()), "write game index");
      check(GameIndex().write((root / "game_index_fuzz" / "empty").string()), "write game index");
    }
    fs::remove_all(work);
  } catch (const std::exception& e) {
    std::cerr << "fuzz_seeds: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
