#include "KivNorvikOutput.h"

#include "KivNorvikData.h"
#include "KivNorvikOpenFile.h"

#include <cerrno>
#include <cwchar>
#include <string>

KivNorvikOutput::KivNorvikOutput(KivNorvikOpenFile* file, int majorVersion, int minorVersion)
    : file_(file), out_(file != nullptr ? file->buffer() : nullptr), majorVersion_(majorVersion),
      minorVersion_(minorVersion)
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

void KivNorvikOutput::endLine()
{
    if (out_ == nullptr) {
        return;
    }
    try {
        out_->push_back('\n');
    } catch (const std::bad_alloc&) {
        outOfMemory();
        return;
    }
    file_->drainFull();
    out_ = file_->buffer(); // null once the file has failed
}

void KivNorvikOutput::origin() { line("  ORIGINE Olmarin %d.%d", majorVersion_, minorVersion_); }

void KivNorvikOutput::section(const NorvikGlobalData::BL12Section& s)
{
    if (s.exportPRO()) {
        lineW(L"  PRO %s %s", s.profile.text1, s.profile.text2);
    } else if (s.exportI()) {
        const NorvikGlobalData::BL12SectionByDimension& d = s.dimension;
        line("  I %3.3f %3.3f %3.3f %3.3f %3.3f", d.dim1, d.dim2, d.dim3, d.dim4, d.dim5);
    }
}

void KivNorvikOutput::section(const NorvikGlobalData::Section& s, int mode)
{
    const bool connection = mode == 1;
    if (s.exportPRF()) {
        lineW(connection ? L"  CONNEC_SEC  PRF %s %s" : L"  SECTION  PRF %s %s", s.profile.text1,
              s.profile.text2);
    } else if (s.exportDIM()) {
        const NorvikGlobalData::SectionByDimensionAttributes& d = s.dimension;
        line(connection ? "  CONNEC_SEC  DIM  %d %3.3f %3.3f %3.3f %3.3f %3.3f"
                        : "  SECTION  DIM  %d %3.3f %3.3f %3.3f %3.3f %3.3f",
             d.shape, d.dim2, d.dim4, d.dim1, d.dim3, d.dim5);
    }
}

void KivNorvikOutput::loading(const NorvikGlobalData::GenLoading& l)
{
    print("  CHA %3d", l.number);
    printW(L" %s %s", l.text1, l.text2);
    line(" %d", l.type);
}

bool KivNorvikOutput::ok() const { return out_ != nullptr; }

void KivNorvikOutput::outOfMemory()
{
    if (file_ != nullptr) {
        file_->fail(ENOMEM);
    }
    out_ = nullptr;
}

namespace {

// The width or precision digits at `p`; false when there are too many.
template <class Ch>
bool readCount(const Ch*& p, int& count)
{
    count = 0;
    for (int digits = 0; *p >= static_cast<Ch>('0') && *p <= static_cast<Ch>('9'); ++p, ++digits) {
        if (digits == 3) {
            return false;
        }
        count = count * 10 + static_cast<int>(*p - static_cast<Ch>('0'));
    }
    return true;
}

} // namespace

bool KivNorvikOutput::appendDirect(const char* fmt, const Value* values, int count)
{
    std::string& out = *out_;
    const size_t mark = out.size();
    const char* p = fmt;
    int next = 0;
    for (;;) {
        const char* run = p;
        while (*p != '\0' && *p != '%') {
            ++p;
        }
        out.append(run, static_cast<size_t>(p - run));
        if (*p == '\0') {
            return true;
        }
        ++p;
        int width = 0;
        int precision = -1;
        bool simple = readCount(p, width);
        if (simple && *p == '.') {
            ++p;
            simple = readCount(p, precision);
        }
        const char conversion = *p++;
        const Value& value = values[next < count ? next++ : count];
        if (simple && conversion == 'd' && value.kind == Value::eInteger && precision < 0) {
            KivFormat::appendInteger(out, value.integer, width);
        } else if (simple && conversion == 'f' && value.kind == Value::eReal) {
            KivFormat::appendFixed(out, value.real, width, precision < 0 ? 6 : precision);
        } else if (simple && conversion == 's' && value.kind == Value::eText && value.text != nullptr &&
                   width == 0 && precision < 0) {
            out.append(value.text);
        } else {
            out.resize(mark);
            return false;
        }
    }
}

bool KivNorvikOutput::appendDirect(const wchar_t* fmt, const wchar_t* const* texts, int count)
{
    std::string& out = *out_;
    const size_t mark = out.size();
    const wchar_t* p = fmt;
    int next = 0;
    for (; *p != 0; ++p) {
        if (*p != L'%') {
            if (static_cast<unsigned long>(*p) >= 0x80) {
                break;
            }
            out.push_back(static_cast<char>(*p));
            continue;
        }
        if (p[1] != L's' || next >= count || texts[next] == nullptr) {
            break;
        }
        ++p;
        // The text cleaned; ASCII directly, the rest in the code page.
        const wchar_t* text = texts[next++];
        for (; *text != 0 && static_cast<unsigned long>(*text) < 0x80; ++text) {
            out.push_back(*text == L'\r' || *text == L'\n' ? ' ' : static_cast<char>(*text));
        }
        if (*text != 0) {
            std::wstring rest(text);
            for (wchar_t& c : rest) {
                if (c == L'\r' || c == L'\n') {
                    c = L' ';
                }
            }
            KivFormat::appendEncoded(out, rest.data(), rest.size());
        }
    }
    if (*p == 0) {
        return true;
    }
    out.resize(mark);
    return false;
}
