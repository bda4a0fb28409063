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

namespace {

// From this size on a block gets the huge-page advice: large arrays then fill
// with a fraction of the page faults.
constexpr size_t kLargeBlock = size_t(4) << 20;

// The bytes of `numElements` elements of `elementSize` bytes; false when
// there are none or they do not fit in a size_t.
bool blockBytes(long numElements, unsigned long long elementSize, size_t& size)
{
    if (numElements <= 0 || elementSize == 0) {
        return false;
    }
    const unsigned long long count = static_cast<unsigned long long>(numElements);
    if (count > std::numeric_limits<size_t>::max() / elementSize) {
        return false;
    }
    size = static_cast<size_t>(count * elementSize);
    return true;
}

} // namespace

unsigned char* KivMemoryControllerController::allocateArray(long numElements, unsigned long long elementSize)
{
    size_t size = 0;
    if (!blockBytes(numElements, elementSize, size)) {
        return nullptr;
    }
    void* block = std::malloc(size);
    if (size >= kLargeBlock) {
        adviseHugePages(block, size);
    }
    return static_cast<unsigned char*>(block);
}

unsigned char* KivMemoryControllerController::reallocateArray(unsigned char* block, long numElements,
                                                              unsigned long long elementSize)
{
    size_t size = 0;
    if (!blockBytes(numElements, elementSize, size)) {
        return nullptr;
    }
    void* grown = std::realloc(block, size);
    if (size >= kLargeBlock) {
        adviseHugePages(grown, size);
    }
    return static_cast<unsigned char*>(grown);
}

void KivMemoryControllerController::deallocateArray(unsigned char*& block)
{
    std::free(block);
    block = nullptr;
}
