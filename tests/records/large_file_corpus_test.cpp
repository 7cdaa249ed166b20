// Record files of 200 MB: each is refused or loaded in one pass, within a small multiple of its
// size in memory. Generated in the temporary directory (sparse where the content allows) and
// deleted afterwards; slow enough to sit with the corpus tests rather than the unit tests.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>

#include "records/record_loader.h"
#include "support/scratch_dir.h"

namespace {

using namespace mh;

constexpr off_t kFileBytes = off_t{200} << 20;

// Writes head, then the unit repeated (or a hole of zero bytes when the unit is empty) up to
// kFileBytes minus the tail, then the tail.
bool writeLargeFile(const std::string& path, const std::string& head, const std::string& unit,
                    const std::string& tail) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  bool ok = ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size());
  const off_t body = kFileBytes - static_cast<off_t>(head.size() + tail.size());
  if (unit.empty()) {
    ok = ok && ::lseek(fd, body, SEEK_CUR) >= 0;
  } else {
    std::string chunk;
    while (chunk.size() < (1u << 20)) chunk += unit;
    chunk.resize((1u << 20) - (1u << 20) % unit.size());
    for (off_t left = body; ok && left > 0;) {
      const size_t n = static_cast<size_t>(std::min<off_t>(left, static_cast<off_t>(chunk.size())));
      ok = ::write(fd, chunk.data(), n) == static_cast<ssize_t>(n);
      left -= static_cast<off_t>(n);
    }
  }
  ok = ok && ::write(fd, tail.data(), tail.size()) == static_cast<ssize_t>(tail.size());
  return ::close(fd) == 0 && ok;
}

long peakResidentMiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

TEST(LargeFileTest, TwoHundredMegabyteRecordsAreRefusedOrLoadedWithinBoundedMemory) {
  struct Case {
    const char* name;
    std::string head;
    std::string unit;  // empty: a hole of zero bytes
    std::string tail;
    RecordLoadStatus status;
    int entries;
  };
  const Case cases[] = {
      {"comment.sgf", "(;GM[1];B[aa]C[", "", "];W[bb])", RecordLoadStatus::Ok, 2},
      {"zeros.sgf", "", "", "", RecordLoadStatus::SgfReadFailed, 0},
      {"nodes.sgf", "(", ";", ")", RecordLoadStatus::SgfReadFailed, 0},
      {"moves.sgf", "(;GM[1]", ";B[aa];W[bb]", ")", RecordLoadStatus::SgfReadFailed, 0},
      {"junk.sgf", "(;", "\xB0(;[\\]\x81", "", RecordLoadStatus::SgfReadFailed, 0},
      {"lines.gib", "\\HE\n", "STO 0 1 1 3 3\n", "", RecordLoadStatus::GibReadFailed, 0},
      {"long line.gib", "\\HE\nSTO 0 1 1 3 3", "", "\n", RecordLoadStatus::Ok, 1},
  };
  const test::ScratchDir scratch;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = scratch.file(c.name);
    ASSERT_TRUE(writeLargeFile(path, c.head, c.unit, c.tail));
    {
      GameRecord record;
      int code = 0;
      EXPECT_EQ(loadRecordFile(path, false, record, code), c.status);
      if (c.status == RecordLoadStatus::Ok) {
        EXPECT_EQ(record.entryCount(), c.entries);
      }
    }
    ::unlink(path.c_str());
    // The text, the tree and the record each hold the comment once; the sanitizers' own
    // bookkeeping adds less than that again.
    EXPECT_LT(peakResidentMiB(), 5 * (kFileBytes >> 20));
  }
}

}  // namespace
