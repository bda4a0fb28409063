#include "KivNorvikLineCursor.h"

#include "KivNorvikFileSyntax.h"

#include <string>

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
    // The first of each, as a column.
    size_t tab = 0, cr = 0, high = 0;
    for (size_t k = n; k-- > 0;) {
        tab = p[k] == '\t' ? k + 1 : tab;
        cr = p[k] == '\r' ? k + 1 : cr;
        high = (static_cast<unsigned char>(p[k]) & 0x80) != 0 ? k + 1 : high;
    }
    if (cr != 0) {
        diagnosis.add(number, Kind::LoneCr).column = static_cast<int>(cr);
    }
    if (tab != 0) {
        diagnosis.add(number, Kind::TabInLine).column = static_cast<int>(tab);
    }
    if (high != 0 && isUtf8Text(reinterpret_cast<const unsigned char*>(p), n)) {
        diagnosis.add(number, Kind::Utf8Text).column = static_cast<int>(high);
    }
}

bool KivNorvikLineCursor::take(KivNorvikDiagnosis& diagnosis, bool record)
{
    const char* data = content_.data();
    const size_t size = content_.size();
    const char* zero = static_cast<const char*>(std::memchr(data, 0, size));
    hasZeroByte_ = zero != nullptr;
    const bool mark = size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0;
    start_ = mark ? 3 : 0;
    count_ = -1;
    // Text has no zero byte, and few control bytes other than white space:
    // the bytes below the blank are counted in a pass that the compiler
    // vectorises, the white space among them only when they are many.
    const size_t head = size < kTextHead ? size : kTextHead;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    size_t controls = 0;
    for (size_t i = 0; i < head; i += 255) { // byte-sized counts, 16 at a time
        const size_t end = head - i < 255 ? head : i + 255;
        unsigned char block = 0;
        for (size_t k = i; k < end; ++k) {
            block = static_cast<unsigned char>(block +
                                               static_cast<unsigned>(bytes[k] < 0x20 || bytes[k] == 0x7F));
        }
        controls += block;
    }
    if (controls * 10 > head) {
        for (size_t i = 0; i < head; ++i) {
            const unsigned char c = bytes[i];
            controls -= c == '\t' || c == '\r' || c == '\n' || c == '\f' ? 1 : 0;
        }
    }
    if (zero != nullptr || controls * 10 > head) {
        if (record) {
            KivNorvikDiagnosis::Entry& entry = diagnosis.add(1, Kind::NotText);
            if (zero != nullptr) {
                const char* lineStart = data;
                int line = 1;
                for (const char* lf = data;
                     (lf = static_cast<const char*>(std::memchr(lf, '\n', static_cast<size_t>(zero - lf)))) !=
                     nullptr;
                     ++lf) {
                    ++line;
                    lineStart = lf + 1;
                }
                entry.line = line;
                entry.column = static_cast<int>(zero - lineStart) + 1;
                entry.text = "a zero byte on line " + std::to_string(line);
            } else {
                entry.text = std::to_string(controls) + " of the first " + std::to_string(head) +
                             " bytes are control bytes";
            }
        }
        return false;
    }
    if (record && mark) {
        diagnosis.add(1, Kind::ByteOrderMark).column = 1;
    }
    // Most files hold none of the bytes that the lines are checked for: their
    // lines are counted only if asked for.
    if (!(record && hasSuspectBytes(data + start_, size - start_))) {
        return true;
    }
    count_ = 0;
    Position at;
    Line line;
    while (next(at, line)) {
        ++count_;
        // The whole line up to its line end.
        const char* lf = static_cast<const char*>(
            std::memchr(line.text, '\n', size - static_cast<size_t>(line.text - data)));
        size_t n = static_cast<size_t>((lf != nullptr ? lf : data + size) - line.text);
        if (n > 0 && line.text[n - 1] == '\r') {
            --n;
        }
        check(diagnosis, line.text, n, line.number);
    }
    return true;
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

bool KivNorvikLineCursor::anyText() const
{
    Position at;
    Line line;
    while (next(at, line)) {
        if (!KivNorvikFileSyntax::trimmed(line.view()).empty()) {
            return true;
        }
    }
    return false;
}
