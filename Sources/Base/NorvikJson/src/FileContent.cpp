#include "FileContent.h"

#include "Records.h"

#include <KivFileSystem.h>

#include <cerrno>
#include <filesystem>

namespace norvik {

int readFileContent(const std::string& path, std::string& bytes)
{
    bytes.clear();
    errno = 0;
    const int descriptor = KivFileSystem::openToRead(KivFileSystem::nativePath(wideFromUtf8(path).c_str()));
    if (descriptor < 0) {
        const int error = errno != 0 ? errno : EIO;
        // Windows refuses to open a folder with EACCES; say what it is.
        std::error_code ec;
        return std::filesystem::is_directory(std::filesystem::u8path(path), ec) ? EISDIR : error;
    }
    // Sized for the whole file and one byte more, so that the read that
    // finds the end needs no growth.
    const long long size = KivFileSystem::size(descriptor);
    bytes.resize(size > 0 ? static_cast<size_t>(size) + 1 : 4096);
    size_t filled = 0;
    int error = 0;
    for (;;) {
        if (filled == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        errno = 0;
        const std::ptrdiff_t n = KivFileSystem::read(descriptor, &bytes[filled], bytes.size() - filled);
        if (n < 0) {
            error = errno != 0 ? errno : EIO;
            break;
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<size_t>(n);
    }
    bytes.resize(error != 0 ? 0 : filled);
    KivFileSystem::close(descriptor);
    return error;
}

} // namespace norvik
