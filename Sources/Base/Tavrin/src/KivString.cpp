#include "KivString.h"

#include "KivBlank.h"

#include "KivCodePage.h"
#include "KivFormat.h"
#include "KivNumber.h"

#include <atomic>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

size_t skipWhite(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && kivIsBlank(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

// A text's block: this header, then the characters and a terminating zero.
// Lengths stay below 2^31, as the string's int positions need.
struct KivString::Block
{
    // The owner count of a block that lives to the end of the process: never
    // changed, so copies of its strings count nothing.
    static constexpr int kPermanent = INT_MIN / 2;

    std::atomic<int> owners;
    unsigned length;
    unsigned capacity; // characters, not counting the terminating zero
    wchar_t* characters() { return reinterpret_cast<wchar_t*>(this + 1); }

    static Block* make(size_t capacity)
    {
        static_assert(sizeof(Block) % alignof(wchar_t) == 0, "the characters follow the header aligned");
        if (capacity >= static_cast<size_t>(INT_MAX)) {
            throw std::bad_alloc();
        }
        void* raw = ::operator new(sizeof(Block) + (capacity + 1) * sizeof(wchar_t));
        Block* block = new (raw) Block;
        block->owners.store(1, std::memory_order_relaxed);
        block->length = 0;
        block->capacity = static_cast<unsigned>(capacity);
        block->characters()[0] = 0;
        return block;
    }
};

static_assert(sizeof(KivString) == sizeof(void*), "a string is one pointer");

std::wstring_view KivString::text() const
{
    return block_ != nullptr ? std::wstring_view(block_->characters(), block_->length) : std::wstring_view();
}

void KivString::retain() const noexcept
{
    // A permanent block's count never changes, so a relaxed look suffices.
    if (block_ != nullptr && block_->owners.load(std::memory_order_relaxed) >= 0) {
        block_->owners.fetch_add(1, std::memory_order_relaxed);
    }
}

void KivString::release() noexcept
{
    if (block_ != nullptr) {
        // The only owner frees the block without an atomic write: no other
        // string holds it, so none can take or drop it meanwhile.
        const int owners = block_->owners.load(std::memory_order_acquire);
        if (owners == 1 || (owners > 1 && block_->owners.fetch_sub(1, std::memory_order_acq_rel) == 1)) {
            block_->~Block();
            ::operator delete(block_);
        }
    }
    block_ = nullptr;
}

wchar_t* KivString::ownText(size_t length, size_t keep)
{
    if (block_ != nullptr && block_->owners.load(std::memory_order_acquire) == 1 &&
        block_->capacity >= length) {
        block_->length = static_cast<unsigned>(length);
        block_->characters()[length] = 0;
        return block_->characters();
    }
    if (length == 0) {
        release();
        return nullptr;
    }
    const size_t old = block_ != nullptr ? block_->length : 0;
    // Growth by appending doubles the block, so that a loop of += stays linear.
    size_t capacity = keep > 0 && length < 2 * old ? 2 * old : length;
    if (capacity >= static_cast<size_t>(INT_MAX)) {
        capacity = length;
    }
    Block* block = Block::make(capacity);
    if (keep > 0 && old > 0) {
        std::wmemcpy(block->characters(), block_->characters(), keep < old ? keep : old);
    }
    release();
    block_ = block;
    block_->length = static_cast<unsigned>(length);
    block_->characters()[length] = 0;
    return block_->characters();
}

void KivString::setText(const wchar_t* source, size_t length)
{
    if (block_ != nullptr && block_->owners.load(std::memory_order_acquire) == 1 &&
        block_->capacity >= length) {
        std::wmemmove(block_->characters(), source, length);
        block_->length = static_cast<unsigned>(length);
        block_->characters()[length] = 0;
        return;
    }
    if (length == 0) {
        release();
        return;
    }
    Block* block = Block::make(length);
    std::wmemcpy(block->characters(), source, length);
    block->length = static_cast<unsigned>(length);
    block->characters()[length] = 0;
    release();
    block_ = block;
}

KivString::KivString() = default;

namespace {

// The texts that shared() has made permanent. Bounded, so that a file of
// ever new names cannot make it grow without end.
struct SharedTexts
{
    static constexpr size_t kLongest = 15;
    static constexpr size_t kMost = 1024;
    std::mutex lock;
    std::unordered_map<std::string, KivString> texts;
    std::atomic<bool> full{false};

    // Never freed: its texts may be in use until the process ends.
    static SharedTexts& get()
    {
        static SharedTexts* const pool = new SharedTexts;
        return *pool;
    }
};

} // namespace

KivString KivString::shared(const char* text, size_t length)
{
    const void* zero = std::memchr(text, 0, length);
    if (zero != nullptr) {
        length = static_cast<size_t>(static_cast<const char*>(zero) - text);
    }
    KivString result;
    SharedTexts& pool = SharedTexts::get();
    if (length == 0 || length > SharedTexts::kLongest || pool.full.load(std::memory_order_relaxed)) {
        result.assign(text, length);
        return result;
    }
    std::string key(text, length);
    const std::lock_guard<std::mutex> hold(pool.lock);
    const auto found = pool.texts.find(key);
    if (found != pool.texts.end()) {
        return found->second;
    }
    result.assign(text, length);
    if (pool.texts.size() >= SharedTexts::kMost) {
        pool.full.store(true, std::memory_order_relaxed);
        return result;
    }
    pool.texts.emplace(std::move(key), result);
    // No other thread can see the block yet: the pool's lock is held.
    result.block_->owners.store(Block::kPermanent, std::memory_order_relaxed);
    return result;
}

KivString KivString::permanent(const wchar_t* text)
{
    KivString result(text);
    if (result.block_ != nullptr) {
        result.block_->owners.store(Block::kPermanent, std::memory_order_relaxed);
    }
    return result;
}

KivString::KivString(const char* text)
{
    if (text != nullptr) {
        assign(text, std::strlen(text));
    }
}

KivString::KivString(const wchar_t* text)
{
    if (text != nullptr) {
        setText(text, std::wcslen(text));
    }
}

KivString::KivString(const KivString& other) : block_(other.block_) { retain(); }

KivString::KivString(KivString&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }

KivString::~KivString()
{
    // A permanent text is left where it is: a static string that held it
    // still points to it, so that leak checkers see it as reachable.
    if (block_ != nullptr && block_->owners.load(std::memory_order_relaxed) >= 0) {
        release();
    }
}

KivString& KivString::operator=(const KivString& other)
{
    if (this != &other && block_ != other.block_) {
        other.retain();
        release();
        block_ = other.block_;
    }
    return *this;
}

KivString& KivString::operator=(KivString&& other) noexcept
{
    if (this != &other) {
        release();
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

KivString& KivString::operator=(const char* text)
{
    if (text == nullptr) {
        release();
        return *this;
    }
    return assign(text, std::strlen(text));
}

KivString& KivString::assign(const char* text, size_t length)
{
    const void* zero = length != 0 ? std::memchr(text, 0, length) : nullptr; // `text` may be null when empty
    const size_t n = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : length;
    wchar_t* out = ownText(n, 0);
    unsigned char high = 0;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        out[i] = static_cast<wchar_t>(byte);
        high |= byte;
    }
    if ((high & 0x80) != 0) {
        for (size_t i = 0; i < n; ++i) {
            out[i] = KivCodePage::toWide(static_cast<unsigned char>(text[i]));
        }
    }
    return *this;
}

bool KivString::operator==(const KivString& other) const
{
    return block_ == other.block_ || text() == other.text();
}
bool KivString::operator!=(const KivString& other) const { return !(*this == other); }

wchar_t KivString::operator[](int index) const
{
    const std::wstring_view t = text();
    if (index < 0 || static_cast<size_t>(index) >= t.size()) {
        return 0;
    }
    return t[static_cast<size_t>(index)];
}

KivString KivString::operator+(const KivString& other) const
{
    KivString result(*this);
    result += other;
    return result;
}

KivString& KivString::operator+=(const KivString& other)
{
    // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): keeps the text alive when `other` is this string
    const KivString added(other);
    const size_t old = text().size();
    const std::wstring_view tail = added.text();
    if (tail.empty()) {
        return *this;
    }
    wchar_t* out = ownText(old + tail.size(), old);
    std::wmemcpy(out + old, tail.data(), tail.size());
    return *this;
}

int KivString::find(const KivString& s, int start) const
{
    const std::wstring_view t = text();
    if (start < 0) {
        start = 0;
    }
    if (static_cast<size_t>(start) > t.size()) {
        return -1;
    }
    const size_t at = t.find(s.text(), static_cast<size_t>(start));
    if (at == std::wstring_view::npos || at > static_cast<size_t>(INT_MAX)) {
        return -1;
    }
    return static_cast<int>(at);
}

KivString KivString::left(int n) const
{
    if (n <= 0) {
        return KivString();
    }
    const std::wstring_view t = text();
    if (static_cast<size_t>(n) >= t.size()) {
        return *this;
    }
    KivString result;
    result.setText(t.data(), static_cast<size_t>(n));
    return result;
}

KivString& KivString::TrimLeft()
{
    const std::wstring_view t = text();
    const size_t first = skipWhite(t);
    if (first > 0) {
        setText(t.data() + first, t.size() - first);
    }
    return *this;
}

KivString& KivString::TrimRight()
{
    const std::wstring_view t = text();
    size_t end = t.size();
    while (end > 0 && kivIsBlank(t[end - 1])) {
        --end;
    }
    if (end < t.size()) {
        setText(t.data(), end);
    }
    return *this;
}

KivString& KivString::TrimLeft(const KivString& set)
{
    const std::wstring_view t = text();
    size_t first = t.find_first_not_of(set.text());
    if (first == std::wstring_view::npos) {
        first = t.size();
    }
    if (first > 0) {
        setText(t.data() + first, t.size() - first);
    }
    return *this;
}

KivString& KivString::TrimRight(const KivString& set)
{
    const std::wstring_view t = text();
    const size_t last = t.find_last_not_of(set.text());
    const size_t end = last == std::wstring_view::npos ? 0 : last + 1;
    if (end < t.size()) {
        setText(t.data(), end);
    }
    return *this;
}

int KivString::isEmpty() const { return text().empty() ? 1 : 0; }

KivString& KivString::replace(int pos, int count, const KivString& s)
{
    std::wstring result(text());
    if (pos < 0) {
        pos = 0;
    }
    if (static_cast<size_t>(pos) > result.size()) {
        pos = static_cast<int>(result.size());
    }
    if (count < 0) {
        count = 0;
    }
    result.replace(static_cast<size_t>(pos), static_cast<size_t>(count), s.text());
    setText(result.data(), result.size());
    return *this;
}

double KivString::toDouble(bool) const
{
    const std::wstring_view characters = text();
    size_t used = 0;
    return KivNumber::toDouble(characters.data(), characters.size(), used);
}

int KivString::toInteger() const
{
    const std::wstring_view characters = text();
    size_t used = 0;
    return KivNumber::toInteger(characters.data(), characters.size(), used);
}

int KivString::compareNoCase(const KivString& a, const KivString& b, int n)
{
    for (int i = 0; i < n; ++i) {
        const wchar_t ca = a[i];
        const wchar_t cb = b[i];
        if (std::towlower(static_cast<wint_t>(ca)) != std::towlower(static_cast<wint_t>(cb))) {
            return 0;
        }
        if (ca == 0) {
            break;
        }
    }
    return 1;
}

const wchar_t* KivString::getStringW() const { return block_ != nullptr ? block_->characters() : L""; }

KivString& KivString::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const std::string bytes = KivFormat::format(fmt, args);
    va_end(args);
    *this = bytes.c_str();
    return *this;
}

KivString& KivString::format(const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const std::wstring text = KivFormat::format(fmt, args);
    va_end(args);
    setText(text.data(), text.size());
    return *this;
}
