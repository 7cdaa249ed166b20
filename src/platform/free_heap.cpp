#include "platform/free_heap.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace mh {

void returnFreeHeapPages() {
#if defined(__GLIBC__)
  (void)::malloc_trim(0);
#endif
}

}  // namespace mh
