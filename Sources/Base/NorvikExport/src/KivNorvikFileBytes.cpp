#include "KivNorvikFileBytes.h"

#include <KivFileSystem.h>
#include <KivMemoryControllerController.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr size_t kFirstBlock = 65536;

} // namespace

const char KivNorvikFileBytes::kNone[kReadableAfter] = {};

KivNorvikFileBytes::~KivNorvikFileBytes() { ::operator delete(block); }

void KivNorvikFileBytes::release()
{
    ::operator delete(block);
    block = nullptr;
    length = 0;
    capacity = 0;
}

void KivNorvikFileBytes::reallocate(size_t size, size_t keep)
{
    if (keep == 0) {
        // Nothing to carry over: the old block goes first, so the two never
        // take memory together.
        release();
    }
    if (size > std::numeric_limits<size_t>::max() - kReadableAfter) {
        throw std::bad_alloc();
    }
    char* fresh = static_cast<char*>(::operator new(size + kReadableAfter));
    KivMemoryControllerController::adviseHugePages(fresh, size); // before any byte is touched
    if (keep > 0) {
        std::memcpy(fresh, block, keep);
        ::operator delete(block);
    }
    block = fresh;
    capacity = size;
}

void KivNorvikFileBytes::assign(const char* bytes, size_t n)
{
    length = 0;
    if (n > capacity) {
        reallocate(n, 0);
    }
    if (n > 0) {
        std::memcpy(block, bytes, n);
    }
    length = n;
    seal();
}

int KivNorvikFileBytes::seal()
{
    if (block != nullptr) {
        std::memset(block + length, 0, kReadableAfter);
    }
    return 0;
}

int KivNorvikFileBytes::read(int descriptor)
{
    length = 0;
    // Most files end within the first block: they are copied once, into a
    // block of their size.
    char first[kFirstBlock];
    size_t got = 0;
    while (got < sizeof first) {
        const std::ptrdiff_t n = KivFileSystem::read(descriptor, first + got, sizeof first - got);
        if (n < 0) {
            return errno != 0 ? errno : EIO;
        }
        if (n == 0) {
            assign(first, got);
            return 0;
        }
        got += static_cast<size_t>(n);
    }
    // A bigger file is read straight into a block of the size the system
    // gives, or twice the first block when it gives none.
    const long long known = KivFileSystem::size(descriptor);
    size_t size = 2 * got;
    if (known > static_cast<long long>(got)) {
        if (static_cast<unsigned long long>(known) > std::numeric_limits<size_t>::max()) {
            throw std::bad_alloc();
        }
        size = static_cast<size_t>(known);
    }
    if (size > capacity) {
        reallocate(size, 0);
    }
    // cppcheck-suppress uninitvar ; the reads above filled all of it
    std::memcpy(block, first, got);
    length = got;
    for (;;) {
        // Once the block is full, the first block takes what comes next: a
        // file that ends where the system said it does needs no bigger block.
        const bool full = length == capacity;
        char* into = full ? first : block + length;
        const std::ptrdiff_t n =
            KivFileSystem::read(descriptor, into, full ? sizeof first : capacity - length);
        if (n < 0) {
            return errno != 0 ? errno : EIO;
        }
        if (n == 0) {
            return seal();
        }
        const size_t count = static_cast<size_t>(n);
        if (full) {
            if (capacity > std::numeric_limits<size_t>::max() / 2) {
                throw std::bad_alloc();
            }
            reallocate(2 * capacity, length);
            std::memcpy(block + length, first, count);
        }
        length += count;
    }
}
