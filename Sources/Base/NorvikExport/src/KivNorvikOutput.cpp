#include "KivNorvikOutput.h"

#include "KivNorvikData.h"

#include <cwchar>
#include <string>

KivNorvikOutput::KivNorvikOutput(FILE* file, int majorVersion, int minorVersion)
    : file_(file), majorVersion_(majorVersion), minorVersion_(minorVersion) {}

KivString KivNorvikOutput::clean(const KivString& text)
{
    if (std::wcspbrk(text.getStringW(), L"\r\n") == nullptr)
        return text;
    std::wstring copy(text.getStringW());
    for (wchar_t& c : copy)
        if (c == L'\r' || c == L'\n')
            c = L' ';
    return KivString(copy.c_str());
}

KivString KivNorvikOutput::clean(const wchar_t* text)
{
    return clean(KivString(text));
}

void KivNorvikOutput::endLine()
{
    kivfprintf(file_, "\n");
}

void KivNorvikOutput::origin()
{
    line("  ORIGINE Olmarin %d.%d", majorVersion_, minorVersion_);
}

void KivNorvikOutput::section(const NorvikGlobalData::BL12Section& s)
{
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
}

void KivNorvikOutput::section(const NorvikGlobalData::Section& s, int mode)
{
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
}

void KivNorvikOutput::loading(const NorvikGlobalData::GenLoading& l)
{
    print("  CHA %3d", l.number);
    printW(L" %s %s", l.text1, l.text2);
    print(" %d\n", l.type);
}

bool KivNorvikOutput::ok() const
{
    return file_ != nullptr && std::ferror(file_) == 0;
}
