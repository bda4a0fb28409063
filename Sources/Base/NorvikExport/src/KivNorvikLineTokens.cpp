#include "KivNorvikLineTokens.h"

#include "KivNorvikFileBytes.h"

#include <KivBlank.h>

#include <cstdint>

#if NORVIK_VECTOR_SCAN
#  include <emmintrin.h>
#endif

void KivNorvikLineTokens::grow(KivNorvikToken*& out, KivNorvikToken*& limit, size_t room)
{
    const size_t used = static_cast<size_t>(out - tokens_.data());
    tokens_.resize(used + (room > used ? room : used));
    out = tokens_.data() + used;
    limit = tokens_.data() + tokens_.size();
}

void KivNorvikLineTokens::split(const char* text, size_t length)
{
    const char* p = text;
    const char* end = text + length;
    while (p < end && kivIsBlank(*p)) {
        ++p;
    }
    while (end > p && kivIsBlank(end[-1])) {
        --end;
    }
    KivNorvikToken* out = tokens_.data();
    KivNorvikToken* limit = out + tokens_.size();
#if NORVIK_VECTOR_SCAN
    // Sixteen bytes at a time: a bit for each byte of a token, then the bits
    // where tokens start and where they end. Bytes past `end` count as blanks.
    // The k-th start and the k-th end make the k-th token: starts are written
    // first, ends then give the lengths.
    const __m128i blank = _mm_set1_epi8(' ');
    KivNorvikToken* ended = out;
    std::uint32_t before = 0; // 1 when the byte before the block is a token's
    for (const char* block = p; block < end; block += 16) {
        if (limit - out < 8) { // a block starts at most 8 tokens
            const size_t open = static_cast<size_t>(out - ended);
            grow(out, limit, 16);
            ended = out - open;
        }
        const size_t left = static_cast<size_t>(end - block);
        const std::uint32_t inside = left >= 16 ? 0xFFFFu : (1u << left) - 1u;
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        const std::uint32_t word =
            ~static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank))) & inside;
        const std::uint32_t shifted = (word << 1) | before;
        std::uint32_t starts = word & ~shifted;
        std::uint32_t ends = ~word & shifted & inside;
        before = (word >> 15) & 1u;
        for (; starts != 0; starts &= starts - 1) {
            KivNorvikToken& token = *out++;
            token.text_ = block + __builtin_ctz(starts);
            token.used_ = 0;
            token.state_ = KivNorvikToken::None;
        }
        for (; ends != 0; ends &= ends - 1, ++ended) {
            ended->length_ = static_cast<size_t>(block + __builtin_ctz(ends) - ended->text_);
        }
    }
    // The last byte is not white: the last token ends with the line.
    if (ended != out) {
        ended->length_ = static_cast<size_t>(end - ended->text_);
    }
#else
    // The last byte is not white: every run of blanks is followed by a token.
    while (p < end) {
        while (*p == ' ') {
            ++p;
        }
        const char* first = p;
        while (p < end && *p != ' ') {
            ++p;
        }
        if (out == limit) {
            grow(out, limit, 8);
        }
        *out++ = KivNorvikToken(first, static_cast<size_t>(p - first));
    }
#endif
    // cppcheck-suppress invalidContainer ; grow() moves `out` with the storage
    count_ = static_cast<int>(out - tokens_.data());
}
