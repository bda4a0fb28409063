#include "KivNorvikOutput.h"

#include "KivNorvikData.h"
#include "KivNorvikOpenFile.h"

#include <KivFileSystem.h>

#include <cerrno>
#include <charconv>
#include <cwchar>
#include <string>

KivNorvikOutput::KivNorvikOutput(KivNorvikOpenFile* file, int majorVersion, int minorVersion)
    : file_(file), majorVersion_(majorVersion), minorVersion_(minorVersion)
{
}

KivString KivNorvikOutput::clean(const KivString& text)
{
    if (std::wcspbrk(text.getStringW(), L"\r\n") == nullptr) {
        return text;
    }
    std::wstring copy(text.getStringW());
    for (wchar_t& c : copy) {
        if (c == L'\r' || c == L'\n') {
            c = L' ';
        }
    }
    return KivString(copy.c_str());
}

KivString KivNorvikOutput::clean(const wchar_t* text) { return clean(KivString(text)); }

void KivNorvikOutput::endLine() { print("\n"); }

void KivNorvikOutput::origin() { line("  ORIGINE Olmarin %d.%d", majorVersion_, minorVersion_); }

void KivNorvikOutput::section(const NorvikGlobalData::BL12Section& s)
try {
    KivString text;
    if (s.exportPRO()) {
        text.format(L"%s %s %s", L"PRO", clean(s.profile.text1).getStringW(),
                    clean(s.profile.text2).getStringW());
    } else if (s.exportI()) {
        const NorvikGlobalData::BL12SectionByDimension& d = s.dimension;
        text.format("I %3.3f %3.3f %3.3f %3.3f %3.3f", d.dim1, d.dim2, d.dim3, d.dim4, d.dim5);
    } else {
        return;
    }
    lineW(L"  %s", text);
} catch (const std::bad_alloc&) {
    outOfMemory();
}

void KivNorvikOutput::section(const NorvikGlobalData::Section& s, int mode)
try {
    const bool connection = mode == 1;
    KivString text;
    if (s.exportPRF()) {
        text.format(L"%s %s %s", connection ? L"CONNEC_SEC  PRF" : L"SECTION  PRF",
                    clean(s.profile.text1).getStringW(), clean(s.profile.text2).getStringW());
    } else if (s.exportDIM()) {
        const NorvikGlobalData::SectionByDimensionAttributes& d = s.dimension;
        text.format(connection ? "CONNEC_SEC  DIM  %d %3.3f %3.3f %3.3f %3.3f %3.3f"
                               : "SECTION  DIM  %d %3.3f %3.3f %3.3f %3.3f %3.3f",
                    d.shape, d.dim2, d.dim4, d.dim1, d.dim3, d.dim5);
    } else {
        return;
    }
    lineW(L"  %s", text);
} catch (const std::bad_alloc&) {
    outOfMemory();
}

namespace {

// "%<width>d" of `value` appended to `out`.
void appendInteger(std::string& out, int value, int width)
{
    char digits[16];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    const int length = static_cast<int>(end.ptr - digits);
    if (length < width) {
        out.append(static_cast<size_t>(width - length), ' ');
    }
    out.append(digits, end.ptr);
}

// The text as the wide "%s" of a cleaned value writes it, when it is ASCII;
// false for any other text.
bool appendAsciiText(std::string& out, const wchar_t* text)
{
    for (; *text != 0; ++text) {
        const wchar_t c = *text;
        if (static_cast<unsigned long>(c) >= 0x80) {
            return false;
        }
        out.push_back(c == L'\r' || c == L'\n' ? ' ' : static_cast<char>(c));
    }
    return true;
}

} // namespace

void KivNorvikOutput::loading(const NorvikGlobalData::GenLoading& l)
{
    // One write of the whole line, formatted here; texts beyond ASCII take
    // the code page's path.
    FILE* stream = target();
    if (stream == nullptr) {
        return;
    }
    try {
        std::string& text = line_;
        text.assign("  CHA ");
        appendInteger(text, l.number, 3);
        text.push_back(' ');
        bool ascii = appendAsciiText(text, l.text1.getStringW());
        text.push_back(' ');
        ascii = ascii && appendAsciiText(text, l.text2.getStringW());
        if (!ascii) {
            print("  CHA %3d", l.number);
            printW(L" %s %s", l.text1, l.text2);
            print(" %d\n", l.type);
            return;
        }
        text.push_back(' ');
        appendInteger(text, l.type, 0);
        text.push_back('\n');
        errno = 0;
        if (KivFileSystem::write(stream, text.data(), text.size()) != text.size()) {
            file_->fail(errno);
        }
    } catch (const std::bad_alloc&) {
        outOfMemory();
    }
}

bool KivNorvikOutput::ok() const { return target() != nullptr; }

FILE* KivNorvikOutput::target() const
{
    FILE* stream = file_ != nullptr ? file_->stream() : nullptr;
    if (stream != nullptr && std::ferror(stream) != 0) {
        file_->fail(EIO);
        return nullptr;
    }
    return stream;
}

void KivNorvikOutput::check(int written)
{
    if (written < 0) {
        file_->fail(errno);
    }
}

void KivNorvikOutput::outOfMemory()
{
    if (file_ != nullptr) {
        file_->fail(ENOMEM);
    }
}
