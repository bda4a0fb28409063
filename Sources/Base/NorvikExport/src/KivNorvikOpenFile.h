#pragma once

#include <KivOutputFile.h>

#include <cstddef>
#include <memory>

// The file that a writer and its copies share, from startWrite until it is
// completed: by the first endWrite through any of them, by the destruction of
// the last of them, or when the process exits. Internal to the library.
class KivNorvikOpenFile
{
public:
    KivNorvikOpenFile();
    KivNorvikOpenFile(const KivNorvikOpenFile&) = delete;
    KivNorvikOpenFile& operator=(const KivNorvikOpenFile&) = delete;
    // Completes a file still open.
    ~KivNorvikOpenFile();

    // 1 when open; 0 with error() set.
    int open(const wchar_t* name);
    bool isOpen() const;
    // True while open and no output has failed: output may be buffered.
    bool writable() const;

    // The buffer of bytes not yet handed to the file. room() gives space for
    // `count` more bytes at its end (it may throw std::bad_alloc); output
    // writes there and hands the end of what it wrote to advance().
    char* room(std::size_t count)
    {
        if (capacity_ - used_ < count) {
            grow(count);
        }
        return bytes_.get() + used_;
    }
    void advance(const char* end) { used_ = static_cast<std::size_t>(end - bytes_.get()); }
    // Space for `count` more bytes at `at`, a place in the room last given:
    // `at` itself, or the same place in a grown buffer.
    char* more(char* at, std::size_t count)
    {
        if (capacity_ - static_cast<std::size_t>(at - bytes_.get()) < count) {
            advance(at);
            at = room(count);
        }
        return at;
    }
    // Bytes in the buffer; truncate() drops those after the first `count`.
    std::size_t used() const { return used_; }
    void truncate(std::size_t count) { used_ = count < used_ ? count : used_; }

    // Hands the buffered bytes to the file once a block has gathered.
    // True when it did.
    bool drainFull()
    {
        if (used_ >= kBlock) {
            drain();
            return true;
        }
        return false;
    }
    // Hands every buffered byte to the file; a failure is kept in error().
    void drain();

    // Marks a record being written; a file completed while one is (an
    // exception left the record half-written) is abandoned, not committed.
    void beginRecord();
    // Ends the record and hands its bytes to the file, so that the record's
    // write learns of a failure.
    void endRecord();
    // Records the first output failure; later output is dropped.
    void fail(int error);

    // Commits a file fully written, else abandons it. 1 when the file is in
    // place; 0 with error() set. Closed afterwards either way.
    int complete();

    // errno value of the first failure; 0 when none.
    int error() const;

private:
    void grow(std::size_t count);
    void enlist();
    void delist();
    friend struct KivNorvikOpenFiles;

    // Output reaches the system in blocks of about this size.
    static const std::size_t kBlock = std::size_t{48} * 1024;

    KivOutputFile file_;
    std::unique_ptr<char[]> bytes_;
    std::size_t used_;
    std::size_t capacity_;
    int error_;
    bool inRecord_;
    bool listed_;
    KivNorvikOpenFile* previous_;
    KivNorvikOpenFile* next_;
};
