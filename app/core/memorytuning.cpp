#include "memorytuning.h"

#include <malloc.h>

namespace tovin {

void keepLargeBlocksBetweenImages()
{
    // Large blocks come from the heap instead of fresh mappings, and the
    // heap is not trimmed until a gigabyte lies unused.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

} // namespace tovin
