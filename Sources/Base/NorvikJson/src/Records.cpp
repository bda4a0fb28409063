#include "Records.h"

#include <KivNorvikFileWriter.h>
#include <KivNorvikKinds.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <sstream>
#include <type_traits>

#ifdef _WIN32
#  include <process.h>
#  define NORVIK_PID _getpid()
#else
#  include <unistd.h>
#  define NORVIK_PID getpid()
#endif

namespace norvik {

namespace {

void appendUtf8(std::string& out, unsigned long cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendWide(std::wstring& out, unsigned long cp)
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(cp);
}
} // namespace

std::vector<Kind> allKinds()
{
    std::vector<Kind> kinds;
    kinds.reserve(static_cast<size_t>(KivNorvikKinds::count()));
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        kinds.push_back(KivNorvikKinds::at(k).type);
    }
    return kinds;
}

const char* kindName(Kind kind)
{
    const KivNorvikKind* found = KivNorvikKinds::of(kind);
    return found != nullptr ? found->name : "";
}

const char* kindExtension(Kind kind)
{
    const KivNorvikKind* found = KivNorvikKinds::of(kind);
    return found != nullptr ? found->extension : "";
}

std::optional<Kind> kindFromName(const std::string& name)
{
    const KivNorvikKind* found = KivNorvikKinds::named(name.c_str());
    return found != nullptr ? std::optional<Kind>(found->type) : std::nullopt;
}

std::optional<Kind> kindFromPath(const std::string& path)
{
    const std::string ext = std::filesystem::u8path(path).extension().u8string();
    return ext.size() > 1 ? kindFromName(ext.substr(1)) : std::nullopt;
}

std::unique_ptr<KivNorvikData> freshRecord(Kind kind)
{
    const KivNorvikKind* found = KivNorvikKinds::of(kind);
    std::unique_ptr<KivNorvikData> record(found != nullptr ? found->create() : nullptr);
    if (record == nullptr) {
        throw std::bad_alloc();
    }
    return record;
}

std::string toUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long cp = static_cast<std::make_unsigned_t<wchar_t>>(text[i]);
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
            const unsigned long low = static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::string toUtf8(const KivString& text) { return toUtf8(std::wstring(text.getStringW())); }

std::wstring wideFromUtf8(const std::string& text)
{
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        unsigned long cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            ok = (d & 0xC0) == 0x80;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) {
            appendWide(out, 0xFFFD);
            ++i;
            continue;
        }
        appendWide(out, cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

KivString fromUtf8(const std::string& text) { return KivString(wideFromUtf8(text).c_str()); }

std::string writerBase(const std::string& out, Kind kind)
{
    const std::string suffix = std::string(".") + kindExtension(kind);
    if (out.size() > suffix.size() && out.compare(out.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return out.substr(0, out.size() - suffix.size());
    }
    return out;
}

std::string writeRecord(const KivNorvikData& record, const std::string& out)
{
    if (out == "-") {
        std::string bytes;
        std::string error = recordBytes(record, bytes);
        if (!error.empty()) {
            return error;
        }
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::cout.flush();
        return std::cout ? std::string() : "standard output: write failed";
    }
    const Kind kind = record.dataType;
    const std::string base = writerBase(out, kind);
    KivNorvikFileWriter writer;
    errno = 0;
    if (writer.startWrite(fromUtf8(base), static_cast<KivNorvikFileWriter::eNorvikFormatFile>(kind)) == 0) {
        const std::string reason = errno ? std::strerror(errno) : "cannot be opened";
        return base + "." + kindExtension(kind) + ": " + reason;
    }
    const int wrote = withRecord(record, [&](const auto& r) { return writer.write(r); });
    const bool ok = writer.endWrite() != 0 && wrote != 0;
    if (!ok) {
        return base + "." + kindExtension(kind) + ": the file could not be written completely";
    }
    return {};
}

std::string recordBytes(const KivNorvikData& record, std::string& bytes)
{
    static std::atomic<int> counter{0};
    std::error_code ec;
    const auto folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        return "no folder for temporary files: " + ec.message();
    }
    const std::string base =
        (folder / ("norvik-" + std::to_string(NORVIK_PID) + "-" + std::to_string(counter++))).u8string();
    std::string error = writeRecord(record, base);
    const auto written = std::filesystem::u8path(base + "." + kindExtension(record.dataType));
    if (error.empty()) {
        std::ifstream in(written, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        bytes = all.str();
    }
    std::filesystem::remove(written, ec);
    return error;
}

} // namespace norvik
