#include "KivFileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <type_traits>

#if defined(_WIN32)
#  include <fcntl.h>
#  include <io.h>
#  include <sys/stat.h>
#  include <windows.h>
#else
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace {

struct Fault
{
    std::atomic<int> calls{0};
    std::atomic<int> failAt{0};
    std::atomic<int> error{0};
};

Fault faults[KivFileSystem::eOperationCount];

// Counts a call; true, with errno set, when it is the one to fail.
bool injected(KivFileSystem::eOperation operation)
{
    Fault& fault = faults[operation];
    const int call = fault.calls.fetch_add(1) + 1;
    if (fault.failAt.load() != call) {
        return false;
    }
    errno = fault.error.load();
    return true;
}

// strerror_r comes in two flavours; both end up here.
[[maybe_unused]] const char* chosen(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* chosen(const char* result, const char*) { return result; }

} // namespace

void KivFileSystem::failCall(eOperation operation, int nth, int error)
{
    if (operation < 0 || operation >= eOperationCount) {
        return;
    }
    faults[operation].failAt = nth > 0 ? nth : 0;
    faults[operation].error = error;
    faults[operation].calls = 0;
}

void KivFileSystem::resetFaults()
{
    for (Fault& fault : faults) {
        fault.failAt = 0;
        fault.error = 0;
        fault.calls = 0;
    }
}

int KivFileSystem::calls(eOperation operation)
{
    return operation >= 0 && operation < eOperationCount ? faults[operation].calls.load() : 0;
}

std::string KivFileSystem::describe(int error)
{
    if (error == 0) {
        return std::string();
    }
    char buffer[256] = {0};
#if defined(_WIN32)
    const char* text = strerror_s(buffer, sizeof buffer, error) == 0 ? buffer : nullptr;
#else
    const char* text = chosen(strerror_r(error, buffer, sizeof buffer), buffer);
#endif
    return text != nullptr && *text != 0 ? std::string(text) : "Error " + std::to_string(error);
}

KivFileSystem::Path KivFileSystem::nativePath(const wchar_t* text)
{
#if defined(_WIN32)
    return Path(text);
#else
    // The system's file names are UTF-8. An ASCII name, the common case, is
    // copied byte for byte; the rest of the name from its first other character on.
    const size_t length = std::wcslen(text);
    Path out;
    out.reserve(length + 16); // room for a temporary name's additions
    out.resize(length);
    size_t ascii = 0;
    while (ascii < length && static_cast<std::make_unsigned_t<wchar_t>>(text[ascii]) < 0x80) {
        out[ascii] = static_cast<char>(text[ascii]);
        ++ascii;
    }
    out.resize(ascii);
    for (text += ascii; *text != 0; ++text) {
        unsigned long c = static_cast<std::make_unsigned_t<wchar_t>>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
#endif
}

int KivFileSystem::open(const Path& path, int flags, int mode)
{
    if (injected(eOpen)) {
        return -1;
    }
#if defined(_WIN32)
    return ::_wopen(path.c_str(), flags, mode);
#else
    return ::open(path.c_str(), flags, static_cast<mode_t>(mode));
#endif
}

int KivFileSystem::openToRead(const Path& path)
{
    if (injected(eOpen)) {
        return -1;
    }
#if defined(_WIN32)
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
#else
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
}

int KivFileSystem::mayWrite(const Path& path)
{
    if (injected(eAccess)) {
        return -1;
    }
#if defined(_WIN32)
    // Opening for writing also meets a file that another program holds open
    // without sharing it, which a replace could not take over either.
    const int fd = ::_wopen(path.c_str(), _O_WRONLY);
    if (fd < 0) {
        return -1;
    }
    ::_close(fd);
    return 0;
#else
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS);
#endif
}

std::size_t KivFileSystem::write(int descriptor, const void* data, std::size_t size)
{
    if (injected(eWrite)) {
        return 0;
    }
    const char* next = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
#if defined(_WIN32)
        const int chunk = left > 0x40000000u ? 0x40000000 : static_cast<int>(left);
        const int written = ::_write(descriptor, next, static_cast<unsigned>(chunk));
#else
        const ssize_t written = ::write(descriptor, next, left);
#endif
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (written == 0) {
            errno = EIO; // nothing taken and no reason given
            break;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return size - left;
}

std::ptrdiff_t KivFileSystem::read(int descriptor, void* data, std::size_t size)
{
    if (injected(eRead)) {
        return -1;
    }
    for (;;) {
#if defined(_WIN32)
        const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
        const int got = ::_read(descriptor, data, chunk);
#else
        const ssize_t got = ::read(descriptor, data, size);
#endif
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

long long KivFileSystem::seek(int descriptor, long long offset)
{
    if (injected(eSeek)) {
        return -1;
    }
#if defined(_WIN32)
    return ::_lseeki64(descriptor, offset, SEEK_SET);
#else
    return ::lseek(descriptor, static_cast<off_t>(offset), SEEK_SET);
#endif
}

long long KivFileSystem::size(int descriptor)
{
    if (injected(eSize)) {
        return -1;
    }
#if defined(_WIN32)
    struct _stati64 status;
    return ::_fstati64(descriptor, &status) == 0 ? static_cast<long long>(status.st_size) : -1;
#else
    struct stat status;
    return ::fstat(descriptor, &status) == 0 ? static_cast<long long>(status.st_size) : -1;
#endif
}

int KivFileSystem::close(int descriptor)
{
    if (injected(eClose)) {
        const int error = errno;
#if defined(_WIN32)
        ::_close(descriptor);
#else
        ::close(descriptor);
#endif
        errno = error;
        return -1;
    }
#if defined(_WIN32)
    return ::_close(descriptor);
#else
    return ::close(descriptor);
#endif
}

int KivFileSystem::rename(const Path& from, const Path& to)
{
    if (injected(eRename)) {
        return -1;
    }
#if defined(_WIN32)
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0)
        return 0;
    const DWORD code = GetLastError();
    errno = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ? EACCES
            : code == ERROR_DISK_FULL                                      ? ENOSPC
                                                                           : EIO;
    return -1;
#else
    return std::rename(from.c_str(), to.c_str());
#endif
}

int KivFileSystem::unlink(const Path& path)
{
    if (injected(eUnlink)) {
        return -1;
    }
#if defined(_WIN32)
    return ::_wunlink(path.c_str());
#else
    return ::unlink(path.c_str());
#endif
}

int KivFileSystem::chmod(int descriptor, const Path& path, int mode)
{
    if (injected(eChmod)) {
        return -1;
    }
#if defined(_WIN32)
    (void)descriptor;
    return ::_wchmod(path.c_str(), mode & (_S_IREAD | _S_IWRITE));
#else
    (void)path;
    return ::fchmod(descriptor, static_cast<mode_t>(mode));
#endif
}
