#include "KivOutputFile.h"

#include "KivString.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(_WIN32)
#  include <fcntl.h>
#  include <io.h>
#  include <process.h>
#  include <sys/stat.h>
#else
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace {

using Path = KivFileSystem::Path;
using Char = KivFileSystem::Char;

#if defined(_WIN32)
using Status = struct _stat64;
int statusOf(const Path& path, Status& status) { return ::_wstat64(path.c_str(), &status); }
// Windows has no symbolic links that this layer follows.
int linkStatusOf(const Path& path, Status& status) { return statusOf(path, status); }
bool isRegular(const Status& status) { return (status.st_mode & _S_IFMT) == _S_IFREG; }
bool isLink(const Status&) { return false; }
const int kWriteExisting = _O_WRONLY;
const int kCreateNew = _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT;
const int kCreateOrTruncate = _O_WRONLY | _O_CREAT | _O_TRUNC | _O_TEXT;
const int kNewFileMode = _S_IREAD | _S_IWRITE;
int closeDescriptor(int fd) { return ::_close(fd); }
FILE* streamOf(int fd) { return ::_fdopen(fd, "w"); }
long processId() { return static_cast<long>(::_getpid()); }
bool isSeparator(Char c) { return c == L'/' || c == L'\\'; }
#else
using Status = struct stat;
int statusOf(const Path& path, Status& status) { return ::stat(path.c_str(), &status); }
int linkStatusOf(const Path& path, Status& status) { return ::lstat(path.c_str(), &status); }
bool isRegular(const Status& status) { return S_ISREG(status.st_mode); }
bool isLink(const Status& status) { return S_ISLNK(status.st_mode); }
const int kWriteExisting = O_WRONLY | O_NOCTTY | O_CLOEXEC;
const int kCreateNew = O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC;
const int kCreateOrTruncate = O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC;
const int kNewFileMode = 0666; // less the umask, as fopen gives
int closeDescriptor(int fd) { return ::close(fd); }
FILE* streamOf(int fd) { return ::fdopen(fd, "w"); }
long processId() { return static_cast<long>(::getpid()); }
bool isSeparator(Char c) { return c == '/'; }
#endif

// The file that `path` finally names: symbolic links followed, as far as the
// system can say; `path` itself otherwise.
Path finalPath(const Path& path)
{
#if defined(_WIN32)
    return path;
#else
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;
    }
    Path out;
    try {
        out = resolved;
    } catch (...) {
        std::free(resolved);
        throw;
    }
    std::free(resolved);
    return out;
#endif
}

// Six characters that make a temporary name unlikely to be taken.
Path randomPart()
{
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    x ^= (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ull;
    x ^= static_cast<std::uint64_t>(processId()) << 32;
    // splitmix64
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    Path out;
    for (int i = 0; i < 6; ++i, x /= 36) {
        out.push_back(static_cast<Char>(digits[x % 36]));
    }
    return out;
}

Path widen(const char* text)
{
    Path out;
    for (; *text != 0; ++text) {
        out.push_back(static_cast<Char>(*text));
    }
    return out;
}

// A folder that does not let a new file be created there.
bool folderRefuses(int error) { return error == EACCES || error == EPERM || error == EROFS; }

} // namespace

KivOutputFile::KivOutputFile() : stream_(nullptr), error_(0) {}

KivOutputFile::~KivOutputFile() { abandon(); }

FILE* KivOutputFile::stream() const { return stream_; }
bool KivOutputFile::isOpen() const { return stream_ != nullptr; }
bool KivOutputFile::replaces() const { return !temporary_.empty(); }
int KivOutputFile::error() const { return error_; }

void KivOutputFile::fail(int error) { error_ = error != 0 ? error : EIO; }

int KivOutputFile::open(const KivString& name)
{
    abandon();
    error_ = 0;
    try {
        target_ = KivFileSystem::nativePath(name.getStringW());
        Status link{};
        const bool linkExists = linkStatusOf(target_, link) == 0;
        Status status{};
        if (statusOf(target_, status) == 0) {
            if (!isRegular(status) || status.st_nlink > 1) {
                return openInPlace();
            }
            // A file that the caller may not write is not replaced behind its back.
            const int probe = KivFileSystem::open(target_, kWriteExisting, 0);
            if (probe < 0) {
                fail(errno);
                return 0;
            }
            closeDescriptor(probe);
            if (isLink(link)) {
                target_ = finalPath(target_);
            }
            return openTemporary(target_, true, static_cast<int>(status.st_mode & 07777),
                                 static_cast<int>(status.st_uid), static_cast<int>(status.st_gid));
        }
        if (errno == ENOENT && !linkExists) {
            return openTemporary(target_, false, kNewFileMode, -1, -1);
        }
        // A dangling link, or a path the system cannot examine: fopen decides.
        return openInPlace();
    } catch (const std::bad_alloc&) {
        abandon();
        fail(ENOMEM);
        return 0;
    }
}

int KivOutputFile::openInPlace()
{
    temporary_.clear();
    const int fd = KivFileSystem::open(target_, kCreateOrTruncate, kNewFileMode);
    if (fd < 0) {
        fail(errno);
        return 0;
    }
    stream_ = streamOf(fd);
    if (stream_ == nullptr) {
        fail(errno);
        closeDescriptor(fd);
        return 0;
    }
    return 1;
}

int KivOutputFile::openTemporary(const Path& target, bool keepMode, int mode, int owner, int group)
{
    size_t cut = target.size();
    while (cut > 0 && !isSeparator(target[cut - 1])) {
        --cut;
    }
    const Path prefix = target.substr(0, cut) + widen(".") + target.substr(cut) + widen(".");
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        // A name that another file holds is not ours to remove, should
        // drawing the next one run out of memory.
        temporary_.clear();
        temporary_ = prefix + randomPart() + widen(".tmp");
        fd = KivFileSystem::open(temporary_, kCreateNew, kNewFileMode);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        const int error = errno;
        temporary_.clear();
        if (folderRefuses(error)) {
            return openInPlace();
        }
        fail(error);
        return 0;
    }
    if (keepMode) {
        if (KivFileSystem::chmod(fd, temporary_, mode) != 0) {
            fail(errno);
            closeDescriptor(fd);
            KivFileSystem::unlink(temporary_);
            temporary_.clear();
            return 0;
        }
#if !defined(_WIN32)
        // Owner and group where the system allows; a file of another owner
        // simply becomes the caller's.
        if (static_cast<uid_t>(owner) != ::geteuid() || static_cast<gid_t>(group) != ::getegid()) {
            (void)(::fchown(fd, static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0);
        }
#else
        (void)owner;
        (void)group;
#endif
    }
    stream_ = streamOf(fd);
    if (stream_ == nullptr) {
        fail(errno);
        closeDescriptor(fd);
        KivFileSystem::unlink(temporary_);
        temporary_.clear();
        return 0;
    }
    return 1;
}

int KivOutputFile::commit()
{
    if (stream_ == nullptr) {
        if (error_ == 0) {
            error_ = EBADF;
        }
        return 0;
    }
    FILE* stream = stream_;
    stream_ = nullptr;
    bool ok = true;
    errno = 0;
    if (KivFileSystem::flush(stream) != 0 || std::ferror(stream) != 0) {
        fail(errno);
        ok = false;
    }
    errno = 0;
    if (KivFileSystem::close(stream) != 0 && ok) {
        fail(errno);
        ok = false;
    }
    if (!temporary_.empty()) {
        if (ok && KivFileSystem::rename(temporary_, target_) != 0) {
            fail(errno);
            ok = false;
        }
        if (!ok) {
            KivFileSystem::unlink(temporary_);
        }
        temporary_.clear();
    }
    return ok ? 1 : 0;
}

void KivOutputFile::abandon()
{
    if (stream_ != nullptr) {
        KivFileSystem::close(stream_);
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        KivFileSystem::unlink(temporary_);
        temporary_.clear();
    }
}
