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
// The system is asked each time.
bool ownerMayWrite(const Status&) { return false; }
const int kCreateNew = _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT;
const int kCreateOrTruncate = _O_WRONLY | _O_CREAT | _O_TRUNC | _O_TEXT;
const int kNewFileMode = _S_IREAD | _S_IWRITE;
long processId() { return static_cast<long>(::_getpid()); }
// Windows knows a read-only flag only; the new file starts writable.
int creationMode(int) { return kNewFileMode; }
bool isSeparator(Char c) { return c == L'/' || c == L'\\'; }
#else
using Status = struct stat;
int statusOf(const Path& path, Status& status) { return ::stat(path.c_str(), &status); }
int linkStatusOf(const Path& path, Status& status) { return ::lstat(path.c_str(), &status); }
bool isRegular(const Status& status) { return S_ISREG(status.st_mode); }
bool isLink(const Status& status) { return S_ISLNK(status.st_mode); }
// The caller owns the file and its mode lets the owner write: access control
// lists give the owner the mode's bits, so nothing else can refuse the write
// but a read-only file system or an immutable file, and a replace meets those
// too (the temporary file or the rename is refused).
bool ownerMayWrite(const Status& status)
{
    return (status.st_mode & S_IWUSR) != 0 && status.st_uid == ::geteuid();
}
const int kCreateNew = O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC;
const int kCreateOrTruncate = O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC;
const int kNewFileMode = 0666; // less the umask, as fopen gives
long processId() { return static_cast<long>(::getpid()); }
// A replacing file is created with the old one's mode, so that the umask
// alone can leave anything to change.
int creationMode(int mode) { return mode & 07777; }
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

// Appends six characters that make a temporary name unlikely to be taken;
// the exclusive open settles the rest.
void appendRandom(Path& out)
{
    static std::atomic<std::uint64_t> counter{0};
    // Taken once: a forked child shares it, but not the clock or the counter.
    static const std::uint64_t process = static_cast<std::uint64_t>(processId()) << 32;
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    x ^= (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ull;
    x ^= process;
    // splitmix64
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int i = 0; i < 6; ++i, x /= 36) {
        out.push_back(static_cast<Char>(digits[x % 36]));
    }
}

void appendAscii(Path& out, const char* text)
{
    for (; *text != 0; ++text) {
        out.push_back(static_cast<Char>(*text));
    }
}

// A folder that does not let a new file be created there.
bool folderRefuses(int error) { return error == EACCES || error == EPERM || error == EROFS; }

} // namespace

KivOutputFile::KivOutputFile() : descriptor_(-1), error_(0) {}

KivOutputFile::~KivOutputFile() { abandon(); }

bool KivOutputFile::isOpen() const { return descriptor_ >= 0; }
bool KivOutputFile::replaces() const { return !temporary_.empty(); }
int KivOutputFile::error() const { return error_; }

void KivOutputFile::fail(int error) { error_ = error != 0 ? error : EIO; }

int KivOutputFile::open(const KivString& name) { return open(name.getStringW()); }

int KivOutputFile::open(const wchar_t* name)
{
    abandon();
    error_ = 0;
    try {
        target_ = KivFileSystem::nativePath(name);
        // One look at the name answers the common cases: no file, or a plain one.
        Status status{};
        if (linkStatusOf(target_, status) != 0) {
            if (errno == ENOENT) {
                return openTemporary(false, kNewFileMode, -1, -1);
            }
            return openInPlace(); // a path the system cannot examine: open decides
        }
        const bool link = isLink(status);
        if (link && statusOf(target_, status) != 0) {
            return openInPlace(); // a dangling link creates its target
        }
        if (!isRegular(status) || status.st_nlink > 1) {
            return openInPlace();
        }
        // A file that the caller may not write is not replaced behind its back.
        if (!ownerMayWrite(status) && KivFileSystem::mayWrite(target_) != 0) {
            fail(errno);
            return 0;
        }
        if (link) {
            target_ = finalPath(target_);
        }
        return openTemporary(true, static_cast<int>(status.st_mode & 07777), static_cast<int>(status.st_uid),
                             static_cast<int>(status.st_gid));
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
    descriptor_ = fd;
    return 1;
}

int KivOutputFile::openTemporary(bool keepMode, int mode, int owner, int group)
{
    size_t cut = target_.size();
    while (cut > 0 && !isSeparator(target_[cut - 1])) {
        --cut;
    }
    temporary_.reserve(target_.size() + 13);
    temporary_.assign(target_, 0, cut);
    temporary_.push_back(static_cast<Char>('.'));
    temporary_.append(target_, cut, Path::npos);
    temporary_.push_back(static_cast<Char>('.'));
    const size_t stem = temporary_.size();
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary_.resize(stem);
        appendRandom(temporary_);
        appendAscii(temporary_, ".tmp");
        fd = KivFileSystem::open(temporary_, kCreateNew, keepMode ? creationMode(mode) : kNewFileMode);
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
        bool setMode = true;
#if !defined(_WIN32)
        // The new file has the old one's mode less the umask, the caller's
        // owner and the folder's or the caller's group: one look says what is
        // left to change. Owner and group where the system allows (a file of
        // another owner simply becomes the caller's), before the mode: a
        // change of owner clears the set-user and set-group bits.
        Status created{};
        const bool known = ::fstat(fd, &created) == 0;
        const bool chown = !known || created.st_uid != static_cast<uid_t>(owner) ||
                           created.st_gid != static_cast<gid_t>(group);
        if (chown) {
            (void)(::fchown(fd, static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0);
        }
        setMode = chown || static_cast<int>(created.st_mode & 07777) != mode;
#else
        (void)owner;
        (void)group;
#endif
        if (setMode && KivFileSystem::chmod(fd, temporary_, mode) != 0) {
            fail(errno);
            KivFileSystem::close(fd);
            KivFileSystem::unlink(temporary_);
            temporary_.clear();
            return 0;
        }
    }
    descriptor_ = fd;
    return 1;
}

int KivOutputFile::write(const void* data, std::size_t size)
{
    if (descriptor_ < 0) {
        if (error_ == 0) {
            error_ = EBADF;
        }
        return 0;
    }
    if (error_ != 0) {
        return 0;
    }
    errno = 0;
    if (KivFileSystem::write(descriptor_, data, size) != size) {
        fail(errno);
        return 0;
    }
    return 1;
}

int KivOutputFile::commit()
{
    if (descriptor_ < 0) {
        if (error_ == 0) {
            error_ = EBADF;
        }
        return 0;
    }
    const int fd = descriptor_;
    descriptor_ = -1;
    bool ok = error_ == 0;
    errno = 0;
    if (KivFileSystem::close(fd) != 0 && ok) {
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
    if (descriptor_ >= 0) {
        KivFileSystem::close(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty()) {
        KivFileSystem::unlink(temporary_);
        temporary_.clear();
    }
}
