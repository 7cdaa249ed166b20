#pragma once

#include <cstdint>

#include "platform/number_map.h"

namespace mh {

struct BlockLinkPair {
  std::int32_t prev;
  std::int32_t next;
};

// The prev and next links of the blocks that have any, by block table index (12 bytes a slot):
// reading back a chain looks its blocks up at random among millions.
class BlockLinks : public NumberMap<BlockLinkPair> {
 public:
  using Links = BlockLinkPair;
};

}  // namespace mh
