#pragma once

#include <cstddef>

// Whether scans over the bytes may use SSE2 vectors (16 bytes at a time).
#if defined(__GNUC__) && defined(__SSE2__)
#  define NORVIK_VECTOR_SCAN 1
#else
#  define NORVIK_VECTOR_SCAN 0
#endif

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

    // Bytes after the last that may be read (zero once a read or assign has
    // succeeded), so that a scan may load a whole vector at any offset of the data.
    static constexpr size_t kReadableAfter = 16;

    // The bytes; never null, also when there are none.
    const char* data() const { return block != nullptr ? block : kNone; }
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

    // Ends the data with kReadableAfter zero bytes; returns 0.
    int seal();

    static const char kNone[kReadableAfter];
    char* block = nullptr; // capacity + kReadableAfter bytes
    size_t length = 0;
    size_t capacity = 0;
};
