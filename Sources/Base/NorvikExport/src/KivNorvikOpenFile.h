#pragma once

#include <KivOutputFile.h>

#include <string>

class KivString;

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
    int open(const KivString& name);
    bool isOpen() const;
    // The bytes not yet handed to the file, for output to append to while
    // open and no output has failed; null otherwise.
    std::string* buffer();
    // Hands the buffered bytes to the file once a block has gathered.
    void drainFull()
    {
        if (buffer_.size() >= kBlock) {
            drain();
        }
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
    void enlist();
    void delist();
    friend struct KivNorvikOpenFiles;

    // Output reaches the system in blocks of about this size.
    static const size_t kBlock = 48 * 1024;

    KivOutputFile file_;
    std::string buffer_;
    int error_;
    bool inRecord_;
    bool listed_;
    KivNorvikOpenFile* previous_;
    KivNorvikOpenFile* next_;
};
