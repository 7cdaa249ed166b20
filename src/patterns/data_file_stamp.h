#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace mh {

// What identifies a data file ("wpbin") as written by a build's finish: its entry count, its size
// and a check over its bytes. A later run copies the entries it did not change from that file
// only while the file on disk still has this stamp.
struct DataFileStamp {
  std::int32_t entries = 0;
  std::uint64_t bytes = 0;
  std::uint64_t check = 0;
  friend bool operator==(const DataFileStamp&, const DataFileStamp&) = default;
};

// A running check over a file's bytes, folded in pieces of any size: four independent lanes by
// byte position, so that it keeps up with the disk.
class DataCheck {
 public:
  void fold(std::span<const std::uint8_t> bytes) {
    size_t i = 0;
    for (; i < bytes.size() && (position_ & 3) != 0; ++i) foldByte(bytes[i]);
    // Four bytes a round, one to each lane, the lanes held in registers: the same value as byte
    // by byte, several times as fast.
    std::uint64_t a = lanes_[0], b = lanes_[1], c = lanes_[2], d = lanes_[3];
    const size_t rounds = (bytes.size() - i) / 4;
    for (size_t r = 0; r < rounds; ++r, i += 4) {
      a = (a ^ bytes[i]) * kPrime;
      b = (b ^ bytes[i + 1]) * kPrime;
      c = (c ^ bytes[i + 2]) * kPrime;
      d = (d ^ bytes[i + 3]) * kPrime;
    }
    lanes_[0] = a;
    lanes_[1] = b;
    lanes_[2] = c;
    lanes_[3] = d;
    position_ += 4 * rounds;
    for (; i < bytes.size(); ++i) foldByte(bytes[i]);
  }
  // Folds the same bytes into two checks, each to the value of its own fold, in about the time
  // of one: the lanes of both advance side by side.
  static void foldBoth(DataCheck& x, DataCheck& y, std::span<const std::uint8_t> bytes) {
    size_t i = 0;
    for (; i < bytes.size() && (x.position_ & 3) != 0; ++i) {
      x.foldByte(bytes[i]);
      y.foldByte(bytes[i]);
    }
    // x's lanes now take bytes i, i+1, ... in order; y's in order from the lane its position names.
    const size_t d = y.position_ & 3;
    std::uint64_t a = x.lanes_[0], b = x.lanes_[1], c = x.lanes_[2], e = x.lanes_[3];
    std::uint64_t p = y.lanes_[d], q = y.lanes_[(d + 1) & 3], r = y.lanes_[(d + 2) & 3], s = y.lanes_[(d + 3) & 3];
    const size_t rounds = (bytes.size() - i) / 4;
    for (size_t k = 0; k < rounds; ++k, i += 4) {
      a = (a ^ bytes[i]) * kPrime;
      p = (p ^ bytes[i]) * kPrime;
      b = (b ^ bytes[i + 1]) * kPrime;
      q = (q ^ bytes[i + 1]) * kPrime;
      c = (c ^ bytes[i + 2]) * kPrime;
      r = (r ^ bytes[i + 2]) * kPrime;
      e = (e ^ bytes[i + 3]) * kPrime;
      s = (s ^ bytes[i + 3]) * kPrime;
    }
    x.lanes_[0] = a;
    x.lanes_[1] = b;
    x.lanes_[2] = c;
    x.lanes_[3] = e;
    y.lanes_[d] = p;
    y.lanes_[(d + 1) & 3] = q;
    y.lanes_[(d + 2) & 3] = r;
    y.lanes_[(d + 3) & 3] = s;
    x.position_ += 4 * rounds;
    y.position_ += 4 * rounds;
    for (; i < bytes.size(); ++i) {
      x.foldByte(bytes[i]);
      y.foldByte(bytes[i]);
    }
  }
  std::uint64_t value() const {
    std::uint64_t v = position_;
    for (std::uint64_t lane : lanes_) v = (v ^ lane) * 0x9e3779b97f4a7c15ULL + (v >> 31);
    return v;
  }

 private:
  static constexpr std::uint64_t kPrime = 0x100000001b3ULL;
  void foldByte(std::uint8_t b) {
    std::uint64_t& lane = lanes_[position_++ & 3];
    lane = (lane ^ b) * kPrime;
  }

  std::uint64_t lanes_[4] = {0x77703262696e3031ULL, 0x6c623262696e3032ULL, 0x6d6f6f6e68617665ULL, 0x6368656b30313233ULL};
  std::uint64_t position_ = 0;
};

}  // namespace mh
