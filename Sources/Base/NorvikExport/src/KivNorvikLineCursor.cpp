#include "KivNorvikLineCursor.h"

namespace {

using Kind = KivNorvikDiagnosis::Kind;

// Whether the bytes hold a multi-byte UTF-8 sequence and nothing that is not UTF-8.
bool isUtf8Text(const unsigned char* p, size_t n)
{
    bool multiByte = false;
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                              : c >= 0xE0 && c <= 0xEF ? 3
                              : c >= 0xF0 && c <= 0xF4 ? 4
                                                       : 0;
        if (length == 0 || i + length > n) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                return false;
            }
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

// Whether the bytes hold a byte with its high bit set, a tab or a carriage
// return: a pass that the compiler vectorises, then two memchr.
bool hasSuspectBytes(const char* p, size_t n)
{
    unsigned char any = 0;
    for (size_t i = 0; i < n; ++i) {
        any |= static_cast<unsigned char>(p[i]);
    }
    return (any & 0x80u) != 0u || std::memchr(p, '\r', n) != nullptr || std::memchr(p, '\t', n) != nullptr;
}

} // namespace

void KivNorvikLineCursor::clear()
{
    content_.clear();
    hasZeroByte_ = false;
    count_ = 0;
}

void KivNorvikLineCursor::check(KivNorvikDiagnosis& diagnosis, const char* p, size_t n, int number)
{
    if (!hasSuspectBytes(p, n)) {
        return;
    }
    bool tab = false, cr = false, high = false;
    for (size_t k = 0; k < n; ++k) {
        tab |= p[k] == '\t';
        cr |= p[k] == '\r';
        high |= (static_cast<unsigned char>(p[k]) & 0x80) != 0;
    }
    if (cr) {
        diagnosis.add(number, Kind::LoneCr);
    }
    if (tab) {
        diagnosis.add(number, Kind::TabInLine);
    }
    if (high && isUtf8Text(reinterpret_cast<const unsigned char*>(p), n)) {
        diagnosis.add(number, Kind::Utf8Text);
    }
}

void KivNorvikLineCursor::take(KivNorvikDiagnosis& diagnosis, bool record)
{
    const char* data = content_.data();
    const size_t size = content_.size();
    hasZeroByte_ = std::memchr(data, 0, size) != nullptr;
    const bool mark = size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0;
    if (record && mark) {
        diagnosis.add(1, Kind::ByteOrderMark);
    }
    // Most files hold none of the bytes that the lines are checked for: their
    // lines are counted only if asked for.
    count_ = -1;
    if (!(record && hasSuspectBytes(data, size))) {
        return;
    }
    count_ = 0;
    Position at;
    Line line;
    while (next(at, line)) {
        ++count_;
        // The whole line, past any zero byte, up to its line end.
        const char* lf = static_cast<const char*>(
            std::memchr(line.text, '\n', size - static_cast<size_t>(line.text - data)));
        size_t n = static_cast<size_t>((lf != nullptr ? lf : data + size) - line.text);
        if (n > 0 && line.text[n - 1] == '\r') {
            --n;
        }
        const size_t skip = line.number == 1 && mark ? 3 : 0; // the byte-order mark
        check(diagnosis, line.text + skip, n - skip, line.number);
    }
}

int KivNorvikLineCursor::count() const
{
    if (count_ < 0) {
        Position at;
        Line line;
        int count = 0;
        while (next(at, line)) {
            ++count;
        }
        count_ = count;
    }
    return count_;
}

bool KivNorvikLineCursor::any() const
{
    if (count_ >= 0) {
        return count_ > 0;
    }
    Position at;
    Line line;
    return next(at, line);
}
