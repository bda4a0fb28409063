#include "KivMemoryControllerController.h"

#include <cstdlib>
#include <limits>

unsigned char* KivMemoryControllerController::allocateArray(long numElements, unsigned long long elementSize)
{
    if (numElements <= 0 || elementSize == 0) {
        return nullptr;
    }
    const unsigned long long count = static_cast<unsigned long long>(numElements);
    if (count > std::numeric_limits<size_t>::max() / elementSize) {
        return nullptr;
    }
    return static_cast<unsigned char*>(std::malloc(static_cast<size_t>(count * elementSize)));
}

void KivMemoryControllerController::deallocateArray(unsigned char*& block)
{
    std::free(block);
    block = nullptr;
}
