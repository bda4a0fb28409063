#include "KivNorvikLineTokens.h"

namespace {

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

} // namespace

void KivNorvikLineTokens::split(const char* text, size_t length)
{
    const char* p = text;
    const char* end = text + length;
    while (p < end && isWhite(*p)) {
        ++p;
    }
    while (end > p && isWhite(end[-1])) {
        --end;
    }
    // The last byte is not white: every run of blanks is followed by a token.
    KivNorvikToken* out = tokens_.data();
    KivNorvikToken* limit = out + tokens_.size();
    while (p < end) {
        while (*p == ' ') {
            ++p;
        }
        const char* first = p;
        while (p < end && *p != ' ') {
            ++p;
        }
        if (out == limit) {
            const size_t used = static_cast<size_t>(out - tokens_.data());
            tokens_.resize(used + 8);
            out = tokens_.data() + used;
            limit = tokens_.data() + tokens_.size();
        }
        *out++ = KivNorvikToken(first, static_cast<size_t>(p - first));
    }
    count_ = static_cast<int>(out - tokens_.data());
}
