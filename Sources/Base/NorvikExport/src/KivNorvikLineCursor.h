#pragma once

#include "KivNorvikDiagnosis.h"
#include "KivNorvikFileBytes.h"

#include <cstddef>
#include <cstring>
#include <string_view>

// The lines of a file's bytes: each line that is not empty, with its number
// as an editor counts it ("\n" or "\r\n" ends a line; a zero byte ends a
// line's text early; a UTF-8 byte-order mark is passed over), and the checks
// of the bytes themselves (a byte-order mark, bytes that are not text, lone
// carriage returns, tabs, UTF-8 text). Internal to the library.
class KivNorvikLineCursor
{
public:
    // A line: its text up to its line end or first zero byte, and its number.
    struct Line
    {
        const char* text = nullptr;
        size_t length = 0;
        int number = 0;
        std::string_view view() const { return {text, length}; }
        bool is(const char* word) const
        {
            const size_t n = std::strlen(word);
            return length == n && std::memcmp(text, word, n) == 0;
        }
    };
    // Where the next line starts.
    struct Position
    {
        size_t offset = 0;
        int number = 1;
    };

    KivNorvikFileBytes& bytes() { return content_; }
    const KivNorvikFileBytes& bytes() const { return content_; }

    // Takes the bytes as read: notes where a zero byte is, checks the bytes
    // (the findings go to `diagnosis` when `record`), and counts the lines
    // when that check went through them. False when the bytes are not text
    // (a zero byte, or many control bytes at the start): the one finding
    // then says so, and the lines are not checked.
    bool take(KivNorvikDiagnosis& diagnosis, bool record);
    // No bytes and no lines.
    void clear();

    // Moves to the next line that is not empty; false at the end of the file.
    bool next(Position& at, Line& line) const
    {
        const char* data = content_.data();
        const size_t size = content_.size();
        if (at.offset < start_) {
            at.offset = start_; // past the byte-order mark
        }
        while (at.offset < size) {
            const size_t start = at.offset;
            const char* lf = static_cast<const char*>(std::memchr(data + start, '\n', size - start));
            const size_t following = lf != nullptr ? static_cast<size_t>(lf - data) + 1 : size;
            size_t end = lf != nullptr ? following - 1 : size;
            if (end > start && data[end - 1] == '\r') {
                --end;
            }
            line.number = at.number;
            at.offset = following;
            ++at.number;
            if (end > start) {
                const void* zero = hasZeroByte_ ? std::memchr(data + start, 0, end - start) : nullptr;
                line.text = data + start;
                line.length = zero != nullptr
                                  ? static_cast<size_t>(static_cast<const char*>(zero) - line.text)
                                  : end - start;
                return true;
            }
        }
        return false;
    }

    // The number of lines that are not empty; counted when first asked for.
    int count() const;
    // Whether there is a line that is not empty.
    bool any() const;
    // Whether there is a line that is not blank.
    bool anyText() const;

private:
    // The bytes looked at for control bytes.
    static constexpr size_t kTextHead = 4096;

    // Checks one line's whole bytes, past any zero byte, up to its line end.
    static void check(KivNorvikDiagnosis& diagnosis, const char* p, size_t n, int number);

    KivNorvikFileBytes content_;
    size_t start_ = 0; // 3 past a byte-order mark
    bool hasZeroByte_ = false;
    mutable int count_ = 0; // -1 until counted
};
