#pragma once

#include "KivNorvikData.h"

#include <KivNumber.h>
#include <KivString.h>

#include <cfloat>
#include <climits>
#include <cstddef>

// A blank-separated token of a line: a span of the line's 8-bit bytes, which
// it does not own. Numbers are read straight from the bytes; the text becomes
// a KivString only where it is stored. It remembers how much of it its last
// conversion took, so that the reader can tell a whole number from a
// number followed by other characters without reading it twice.
class KivNorvikToken
{
public:
    enum Conversion : unsigned char {
        None,
        Integer,
        Real,
    };

    KivNorvikToken() = default;
    KivNorvikToken(const char* text, size_t length) : text_(text), length_(length) {}

    const char* data() const { return text_; }
    size_t size() const { return length_; }

    // Whether the token is `word` (ASCII), exactly.
    bool operator==(const char* word) const
    {
        size_t i = 0;
        for (; i < length_; ++i) {
            if (word[i] != text_[i]) {
                return false; // also at the end of `word`: a token holds no zero byte
            }
        }
        return word[i] == 0;
    }
    bool operator!=(const char* word) const { return !(*this == word); }

    // Whether `text` holds exactly this token's characters; false for a token
    // with bytes above 127, which are not compared.
    bool sameText(const KivString& text) const
    {
        const wchar_t* wide = text.getStringW();
        for (size_t i = 0; i < length_; ++i) {
            const unsigned char byte = static_cast<unsigned char>(text_[i]);
            if (byte >= 0x80 || wide[i] != static_cast<wchar_t>(byte)) {
                return false; // also at the end of `text`: a token holds no zero byte
            }
        }
        return wide[length_] == 0;
    }

    // As KivString::toInteger and toDouble read the same text.
    int toInteger() const
    {
        // The usual token, a few digits with an optional minus, is read here.
        if (length_ > 0 && length_ <= 9) {
            const bool negative = text_[0] == '-';
            size_t i = negative ? 1 : 0;
            int value = 0;
            for (; i < length_ && text_[i] >= '0' && text_[i] <= '9'; ++i) {
                value = value * 10 + (text_[i] - '0');
            }
            if (i == length_ && length_ > (negative ? 1u : 0u)) {
                remember(Integer, length_);
                return negative ? -value : value;
            }
        }
        size_t used = 0;
        const int value = KivNumber::toInteger(text_, length_, used);
        remember(Integer, used, (value == INT_MAX || value == INT_MIN) && beyondInteger(text_, used));
        return value;
    }
    double toDouble(bool = false) const
    {
        // A plain decimal of at most 15 digits ("-12.500") is the integer of
        // its digits divided by a power of ten, both exact doubles: one
        // correctly rounded division, the value KivNumber gives.
        if (length_ > 0 && length_ <= 17) {
            static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
            const bool negative = text_[0] == '-';
            size_t i = negative ? 1 : 0;
            unsigned long long digits = 0;
            int count = 0;
            int decimals = -1; // until the point
            for (; i < length_; ++i) {
                const char c = text_[i];
                if (c >= '0' && c <= '9') {
                    digits = digits * 10 + static_cast<unsigned>(c - '0');
                    ++count;
                    decimals += decimals >= 0 ? 1 : 0;
                } else if (c == '.' && decimals < 0) {
                    decimals = 0;
                } else {
                    break;
                }
            }
            if (i == length_ && count > 0 && count <= 15) {
                remember(Real, length_);
                const double value = static_cast<double>(digits) / kPowers[decimals > 0 ? decimals : 0];
                return negative ? -value : value;
            }
        }
        size_t used = 0;
        const double value = KivNumber::toDouble(text_, length_, used);
        remember(Real, used, !(value > -DBL_MAX && value < DBL_MAX) && beyondReal(text_, used));
        return value;
    }

    // The value as the reader stores it: a number that is infinite, not a
    // number or beyond the range of its type ("inf", "nan", "1e999") leaves
    // the field unset, where toDouble and toInteger saturate.
    double readReal() const
    {
        const double value = toDouble(false);
        return (state_ & kOutOfRange) == 0u ? value : KivNorvikData::kUndefinedReal;
    }
    int readInteger() const
    {
        const int value = toInteger();
        return (state_ & kOutOfRange) == 0u ? value : KivNorvikData::kUndefinedInteger;
    }

    // The text, Windows-1252 decoded.
    operator KivString() const // NOLINT(google-explicit-constructor): stores read `field = token`
    {
        KivString text;
        text.assign(text_, length_);
        return text;
    }

    // The kind of the last conversion and the bytes it took (0: no number).
    Conversion lastConversion() const { return static_cast<Conversion>(state_ & kConversion); }
    size_t lastUsed() const { return used_; }
    // Whether the last conversion took the whole token, which starts with
    // its number (not with white space).
    bool lastWhole() const { return (state_ & kWhole) != 0; }
    // Whether the last conversion was `conversion`, took the whole token and
    // gave a value in range.
    bool wholly(Conversion conversion) const { return state_ == (conversion | kWhole); }
    // Whether the last conversion's number was out of range (readReal and
    // readInteger leave it unset).
    bool lastOutOfRange() const { return (state_ & kOutOfRange) != 0u; }

private:
    friend class KivNorvikLineTokens; // fills tokens' starts and lengths in two passes

    void remember(Conversion conversion, size_t used, bool outOfRange = false) const
    {
        used_ = used;
        // White space is below the blank or the blank itself.
        const bool whole = used == length_ && used != 0 && static_cast<unsigned char>(text_[0]) > ' ';
        state_ =
            static_cast<unsigned char>(conversion | (whole ? kWhole : 0u) | (outOfRange ? kOutOfRange : 0u));
    }
    // Whether the number of the first `used` characters, which toInteger
    // saturated, lies beyond the 32-bit range.
    static bool beyondInteger(const char* text, size_t used);
    // Whether the real of the first `used` characters, which toDouble gave
    // as infinite, NaN or +-DBL_MAX, is not that value: "inf", "nan", or a
    // number above the range that toDouble saturated.
    static bool beyondReal(const char* text, size_t used);

    const char* text_ = "";
    size_t length_ = 0;
    mutable size_t used_ = 0;
    static constexpr unsigned kConversion = 3, kWhole = 4, kOutOfRange = 8;
    // The last conversion, kWhole when it took the whole token, kOutOfRange
    // when its number was out of range.
    mutable unsigned char state_ = None;
};
