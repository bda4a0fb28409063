#pragma once

#include "KivFileSystem.h"
#include "TavrinApi.h"

#include <cstddef>

class KivString;

/// A file being written that replaces its target only when complete. The data
/// goes to a temporary file ".<name>.<random>.tmp" beside the file that the
/// path finally names (symbolic links resolved: a link stays, its target is
/// replaced); commit renames it over the target in one step, keeping the old
/// file's permission bits (and owner and group where allowed). Targets that
/// cannot be replaced that way are written in place: a target that is not a
/// regular file (a device, a pipe, a dangling link), one with more than one
/// hard link, and one whose folder does not let a new file be created.
/// Unbuffered: each write goes to the system, so a caller writes large blocks.
/// Not copyable; one thread at a time. No operation throws.
class TAVRIN_API KivOutputFile
{
public:
    KivOutputFile();
    KivOutputFile(const KivOutputFile&) = delete;
    KivOutputFile& operator=(const KivOutputFile&) = delete;
    /// Abandons a file still open.
    ~KivOutputFile();

    /// Opens `name` for writing. 1 when open; 0 with error() set when the file
    /// cannot be written: an existing target that the caller may not write, a
    /// missing folder, a folder as target, no memory (ENOMEM), ...
    int open(const KivString& name);
    int open(const wchar_t* name);
    /// Writes all `size` bytes. 1 when they reached the system; 0 with error()
    /// set, or when not open.
    int write(const void* data, std::size_t size);
    bool isOpen() const;
    /// True when the data goes through a temporary file.
    bool replaces() const;

    /// Closes the file and, through a temporary file, replaces the target. 1 when all data reached the target; 0 with error() set
    /// otherwise, the temporary file removed and the old target untouched.
    /// Closed afterwards either way.
    int commit();
    /// Closes the file and removes the temporary file; the target is left as
    /// it was (a file written in place keeps what was written).
    void abandon();

    /// errno value of the last failure; 0 when none.
    int error() const;

private:
    void fail(int error);
    int openInPlace();
    int openTemporary(bool keepMode, int mode, int owner, int group);

    int descriptor_;
    int error_;
    KivFileSystem::Path target_;
    KivFileSystem::Path temporary_;
};
