#pragma once

namespace mh {

// Gives the pages that lie wholly free inside the heap back to the system. Each thread allocates
// from a heap of its own, which keeps what the thread freed for that thread's later blocks: what
// a finished stage of work freed there is of no use to the threads still running, yet stays
// resident until it is given back. Costs a walk over the free blocks: for stage ends, not for
// loops.
void returnFreeHeapPages();

}  // namespace mh
