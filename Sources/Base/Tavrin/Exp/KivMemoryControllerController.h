#pragma once

#include "TavrinApi.h"

#include <cstddef>

// Raw blocks for the arrays.
class TAVRIN_API KivMemoryControllerController
{
public:
    // An uninitialised block for `numElements` elements of `elementSize` bytes,
    // or null (also when the count is not positive or the size overflows).
    static unsigned char* allocateArray(long numElements, unsigned long long elementSize);
    // A block from allocateArray resized for `numElements` elements, its bytes
    // kept up to the smaller size; null, the old block untouched, on failure.
    static unsigned char* reallocateArray(unsigned char* block, long numElements,
                                          unsigned long long elementSize);
    // Frees a block from allocateArray and sets the pointer null.
    static void deallocateArray(unsigned char*& block);
    // Asks the system to back the whole 2 MiB pages inside a block not yet
    // touched with huge pages (Linux; elsewhere nothing). Advice only.
    static void adviseHugePages(void* block, size_t size);
};
