#pragma once

#include "TavrinApi.h"

#include <cstddef>
#include <string>

/// The file operations that the writer's output and the readers' input go
/// through, in one place so that a test can make any of them fail. Each operation returns what the
/// system call behind it returns and leaves the reason in errno.
class TAVRIN_API KivFileSystem
{
public:
#if defined(_WIN32)
    using Char = wchar_t;
#else
    using Char = char;
#endif
    /// A path as the system takes it: UTF-8 bytes on POSIX, UTF-16 on Windows.
    using Path = std::basic_string<Char>;

    enum eOperation {
        eOpen,
        eAccess,
        eWrite,
        eClose,
        eRename,
        eUnlink,
        eChmod,
        eRead,
        eSeek,
        eSize,
        eOperationCount
    };

    /// Test hook: the `nth` call (1 = the next one) of `operation` from now on
    /// fails with errno `error` without doing its work (a close still releases
    /// its stream). One fault per operation; `nth` <= 0 clears it. Also restarts
    /// the operation's call count.
    static void failCall(eOperation operation, int nth, int error);
    /// Clears every fault and call count.
    static void resetFaults();
    /// Calls of `operation` since its count was last restarted.
    static int calls(eOperation operation);

    /// The system's text of an errno value, such as "No space left on device".
    static std::string describe(int error);
    /// `text` (wide) as a system path.
    static Path nativePath(const wchar_t* text);

    /// open(2)/_wopen: a descriptor, or -1.
    static int open(const Path& path, int flags, int mode);
    /// Opens an existing file for reading its bytes as they are (close on exec;
    /// binary on Windows): a descriptor, or -1. Counted as an eOpen.
    static int openToRead(const Path& path);
    /// Whether the caller may write the existing file `path` (faccessat with
    /// the effective ids; on Windows an open for writing, closed again): 0, or -1.
    static int mayWrite(const Path& path);
    /// write(2)/_write of all `size` bytes, repeated after a partial write or
    /// an interruption: `size`, or less on failure.
    static std::size_t write(int descriptor, const void* data, std::size_t size);
    /// One read(2)/_read of at most `size` bytes, repeated only after an
    /// interruption: the bytes read, 0 at the end of the file, or -1.
    static std::ptrdiff_t read(int descriptor, void* data, std::size_t size);
    /// Moves to `offset` bytes from the start (lseek/_lseeki64 with SEEK_SET):
    /// the new offset, or -1.
    static long long seek(int descriptor, long long offset);
    /// The size in bytes of an open file (fstat/_fstati64; 0 for a pipe), or -1.
    static long long size(int descriptor);
    /// close(2)/_close: 0, or -1; the descriptor is released either way.
    static int close(int descriptor);
    /// Replaces `to` by `from` in one step (rename; MoveFileExW on Windows): 0 or -1.
    static int rename(const Path& from, const Path& to);
    /// unlink/_wunlink: 0 or -1.
    static int unlink(const Path& path);
    /// The permission bits of an open file (fchmod; _wchmod of `path` on Windows): 0 or -1.
    static int chmod(int descriptor, const Path& path, int mode);
};
