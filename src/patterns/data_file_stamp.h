#pragma once

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
    for (std::uint8_t b : bytes) {
      std::uint64_t& lane = lanes_[position_++ & 3];
      lane = (lane ^ b) * 0x100000001b3ULL;
    }
  }
  std::uint64_t value() const {
    std::uint64_t v = position_;
    for (std::uint64_t lane : lanes_) v = (v ^ lane) * 0x9e3779b97f4a7c15ULL + (v >> 31);
    return v;
  }

 private:
  std::uint64_t lanes_[4] = {0x77703262696e3031ULL, 0x6c623262696e3032ULL, 0x6d6f6f6e68617665ULL, 0x6368656b30313233ULL};
  std::uint64_t position_ = 0;
};

}  // namespace mh
