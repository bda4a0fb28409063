#include "KivFile.h"

#include "KivCodePage.h"
#include "KivFileSystem.h"
#include "KivFormat.h"
#include "KivString.h"

#include <cstdarg>
#include <cwchar>
#include <string>
#include <type_traits>

namespace {

#if !defined(_WIN32)
// The system's file names are UTF-8.
std::string toUtf8(const wchar_t* text)
{
    std::string out;
    for (; *text; ++text) {
        unsigned long c = static_cast<std::make_unsigned_t<wchar_t>>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
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
}
#endif

int writeBytes(FILE* stream, const std::string& bytes)
{
    if (stream == nullptr)
        return -1;
    if (bytes.empty())
        return 0;
    return KivFileSystem::write(stream, bytes.data(), bytes.size()) == bytes.size()
        ? static_cast<int>(bytes.size())
        : -1;
}

} // namespace

int kivfopen(FILE** stream, const KivString& path, const KivString& mode)
{
    if (stream == nullptr)
        return 0;
#if defined(_WIN32)
    // The wide name goes to the system as it is: no code page can spell every name.
    *stream = _wfopen(path.getStringW(), mode.getStringW());
#else
    const std::string name = toUtf8(path.getStringW());
    const std::string openMode = toUtf8(mode.getStringW());
    *stream = std::fopen(name.c_str(), openMode.c_str());
#endif
    return *stream != nullptr ? 1 : 0;
}

int kivfclose(FILE* stream)
{
    if (stream == nullptr)
        return -1;
    return std::fclose(stream);
}

int kivfprintf(FILE* stream, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const std::string bytes = KivFormat::format(fmt, args);
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
