#include "KivNorvikLineTokens.h"

namespace {

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

} // namespace

void KivNorvikLineTokens::split(const char* text, size_t length)
{
    size_t begin = 0, end = length;
    while (begin < end && isWhite(text[begin])) {
        ++begin;
    }
    while (end > begin && isWhite(text[end - 1])) {
        --end;
    }
    count_ = 0;
    for (size_t i = begin; i < end;) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const size_t first = i;
        while (i < end && text[i] != ' ') {
            ++i;
        }
        if (static_cast<size_t>(count_) == tokens_.size()) {
            tokens_.resize(tokens_.size() + 8);
        }
        tokens_[static_cast<size_t>(count_++)] = KivNorvikToken(text + first, i - first);
    }
}
