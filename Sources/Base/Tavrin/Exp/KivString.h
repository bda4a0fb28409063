#pragma once

#include "TavrinApi.h"

#include <cstddef>
#include <string>
#include <string_view>

// Text of names, keywords and file lines. Held as wide characters; 8-bit text
// is Windows-1252 in both directions, so every byte read is written back as
// the same byte.
//
// Copies share one block of text until one of them changes (the block counts
// its owners atomically), so copying a string or a record allocates nothing.
// A string is one pointer; the empty text has no block. As for the standard
// strings, one string object may be read by several threads at once but not
// changed while another thread uses it; distinct copies are independent.
class TAVRIN_API KivString
{
public:
    KivString();
    KivString(const char* text);
    KivString(const wchar_t* text);
    KivString(const KivString& other);
    KivString(KivString&& other) noexcept;
    ~KivString();

    // A string whose text lives until the process ends, for constants that
    // are copied often, kept in a static: its copies share the text without
    // counting owners, and the text is never freed. Changing a copy gives
    // that copy a text of its own, as for any string.
    static KivString permanent(const wchar_t* text);
    // `length` bytes of 8-bit text as assign() reads them. A short text (up to
    // 15 characters) is made permanent and given to every later caller with the
    // same text, for names that long lists repeat; the process keeps at most
    // 1024 of them (under 150 KB), and beyond that the text is an ordinary string.
    static KivString shared(const char* text, size_t length);

    KivString& operator=(const KivString& other);
    KivString& operator=(KivString&& other) noexcept;
    KivString& operator=(const char* text);
    // Replaces the text with `length` bytes of 8-bit text, ending early at a
    // zero byte; reuses the storage it has, so refilling a string allocates
    // only when it grows.
    KivString& assign(const char* text, size_t length);

    bool operator==(const KivString& other) const;
    bool operator!=(const KivString& other) const;

    // The character at a position; 0 outside the text.
    wchar_t operator[](int index) const;

    KivString operator+(const KivString& other) const;
    KivString& operator+=(const KivString& other);

    // Index of the first occurrence of `s` at or after `start`; -1 when absent.
    int find(const KivString& s, int start = 0) const;
    // The first `n` characters (all of them when n exceeds the length, none when n <= 0).
    KivString left(int n) const;

    KivString& TrimLeft();
    KivString& TrimRight();
    KivString& TrimLeft(const KivString& set);
    KivString& TrimRight(const KivString& set);

    int isEmpty() const;

    // Replaces `count` characters from `pos` with `s`; out-of-range parts are clamped.
    KivString& replace(int pos, int count, const KivString& s);

    // The real at the start of the text, "." as decimal point whatever the
    // locale; 0 for text that is not a number, saturated when out of range.
    double toDouble(bool strict = false) const;
    // The decimal integer at the start of the text, sign included; 0 for text
    // that is not a number, saturated to the 32-bit range.
    int toInteger() const;

    // Nonzero when the first `n` characters of `a` and `b` are equal ignoring case.
    static int compareNoCase(const KivString& a, const KivString& b, int n);

    // Zero-terminated wide text, valid while the string is unchanged.
    const wchar_t* getStringW() const;

    // printf-style formatting, locale-independent. In the 8-bit overload "%s"
    // takes 8-bit text; in the wide overload "%s" takes wide text.
    KivString& format(const char* fmt, ...);
    KivString& format(const wchar_t* fmt, ...);

    // The text with its length, valid while the string is unchanged: a
    // caller that copies it need not count its characters.
    std::wstring_view text() const;

private:
    struct Block;

    // Makes the text the `length` characters at `source` (which may lie in this string's block).
    void setText(const wchar_t* source, size_t length);
    // A block of its own for `length` characters, the first `keep` of the old text kept;
    // the returned characters are this string's to write. Sets the length.
    wchar_t* ownText(size_t length, size_t keep);
    void retain() const noexcept;
    void release() noexcept;

    Block* block_ = nullptr;
};
