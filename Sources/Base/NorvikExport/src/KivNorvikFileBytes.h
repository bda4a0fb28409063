#pragma once

#include <cstddef>

// The bytes of a file, read whole into one block that is not zero-filled
// first. A big file's block is one the system may back with huge pages, so
// that filling it does not fault in each small page. Used by the reader only.
class KivNorvikFileBytes
{
public:
    KivNorvikFileBytes() = default;
    KivNorvikFileBytes(const KivNorvikFileBytes&) = delete;
    KivNorvikFileBytes& operator=(const KivNorvikFileBytes&) = delete;
    ~KivNorvikFileBytes();

    // The bytes; never null, also when there are none.
    const char* data() const { return block != nullptr ? block : ""; }
    size_t size() const { return length; }

    // No bytes; the block is kept for the next read.
    void clear() { length = 0; }
    // No bytes and no block.
    void release();

    // Replaces the bytes with a copy of `n` bytes at `bytes`. Throws std::bad_alloc.
    void assign(const char* bytes, size_t n);

    // Replaces the bytes with those of `descriptor` from where it stands until
    // a read gives none, so that a file that grows meanwhile is read to its
    // end. The size is asked for once, only when the first 64 KiB came back
    // whole. 0, or the errno of the read that failed. Throws std::bad_alloc.
    int read(int descriptor);

private:
    // A block of `capacity` bytes in place of the current one, keeping the
    // first `keep` bytes.
    void reallocate(size_t capacity, size_t keep);

    char* block = nullptr;
    size_t length = 0;
    size_t capacity = 0;
};
