#include "platform/memoryreuse.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tarvel {

void keepFreedMemoryForReuse() noexcept
{
#if defined(__GLIBC__)
    // Blocks up to this size come from the heap and go back into it when freed; a fixed
    // value also stops the library from moving the threshold on its own.
    constexpr int kMapThreshold = 32 << 20;
    // Free memory at the top of a heap is given back only beyond this.
    constexpr int kTrimThreshold = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kMapThreshold);
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
#endif
}

} // namespace tarvel
