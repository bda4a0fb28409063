#include "KivMemoryControllerController.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

#if defined(__linux__)
#  include <sys/mman.h>
#endif

void KivMemoryControllerController::adviseHugePages(void* block, size_t size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t begin = (start + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t end = (start + size) & ~(kHuge - 1);
    if (block != nullptr && end > begin) {
        // Only advice: a system that declines it works all the same.
        (void)madvise(static_cast<char*>(block) + (begin - start), end - begin, MADV_HUGEPAGE);
    }
#else
    (void)block;
    (void)size;
#endif
}

unsigned char* KivMemoryControllerController::allocateArray(long numElements, unsigned long long elementSize)
{
    if (numElements <= 0 || elementSize == 0) {
        return nullptr;
    }
    const unsigned long long count = static_cast<unsigned long long>(numElements);
    if (count > std::numeric_limits<size_t>::max() / elementSize) {
        return nullptr;
    }
    const size_t size = static_cast<size_t>(count * elementSize);
    void* block = std::malloc(size);
    if (size >= (size_t(4) << 20)) {
        adviseHugePages(block, size); // large arrays fill with a fraction of the page faults
    }
    return static_cast<unsigned char*>(block);
}

void KivMemoryControllerController::deallocateArray(unsigned char*& block)
{
    std::free(block);
    block = nullptr;
}
