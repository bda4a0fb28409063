#include "KivFile.h"

#include "KivCodePage.h"
#include "KivFileSystem.h"
#include "KivFormat.h"
#include "KivString.h"

#include <cstdarg>
#include <cwchar>
#include <string>

namespace {

int writeBytes(FILE* stream, const std::string& bytes)
{
    if (stream == nullptr) {
        return -1;
    }
    if (bytes.empty()) {
        return 0;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size() ? static_cast<int>(bytes.size())
                                                                              : -1;
}

} // namespace

int kivfopen(FILE** stream, const KivString& path, const KivString& mode)
{
    if (stream == nullptr) {
        return 0;
    }
#if defined(_WIN32)
    // The wide name goes to the system as it is: no code page can spell every name.
    *stream = _wfopen(path.getStringW(), mode.getStringW());
#else
    const std::string name = KivFileSystem::nativePath(path.getStringW());
    const std::string openMode = KivFileSystem::nativePath(mode.getStringW());
    *stream = std::fopen(name.c_str(), openMode.c_str());
#endif
    return *stream != nullptr ? 1 : 0;
}

int kivfclose(FILE* stream)
{
    if (stream == nullptr) {
        return -1;
    }
    return std::fclose(stream);
}

int kivfprintf(FILE* stream, const char* fmt, ...)
{
    // One buffer per thread, kept: formatting a line does not allocate.
    static thread_local std::string bytes;
    bytes.clear();
    va_list args;
    va_start(args, fmt);
    KivFormat::append(bytes, fmt, args);
    va_end(args);
    return writeBytes(stream, bytes);
}

int kivfprintf(FILE* stream, const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const std::wstring text = KivFormat::format(fmt, args);
    va_end(args);
    return writeBytes(stream, KivCodePage::encode(text.data(), text.size()));
}
