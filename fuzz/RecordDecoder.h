#pragma once

// Records made from arbitrary bytes, for the writer's fuzz target and the
// replay of the inputs it found. Each field takes the next bytes of the input
// (zeros once it runs out), so a small change of the input changes few fields.

#include <NorvikExport.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace norvik_check {

// The input, read from the front.
class ByteSource
{
public:
    ByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t word()
    {
        uint32_t w = 0;
        for (int i = 0; i < 4; ++i)
            w = w << 8 | byte();
        return w;
    }
    uint64_t wide() { return static_cast<uint64_t>(word()) << 32 | word(); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Fills every field of a record from a ByteSource.
//   carriable: what the file can carry: texts of one word from a plain
//     alphabet, reals of at most three decimals, integers of a few digits,
//     codes within their table, one value in eight unset.
//   otherwise anything: texts of any characters (blanks, line ends, beyond
//     Windows-1252), any bit pattern of a real (NaN, infinity), any integer,
//     codes outside their table.
// Fields whose path is in `keep` consume their bytes but keep the value of a
// fresh record, so that the other fields take the same values as without.
struct RecordDecoder
{
    static constexpr bool walksStructure = true;
    ByteSource& in;
    bool carriable;
    const std::set<std::string>& keep;

    bool unset() { return in.byte() % 8 == 0; }

    void operator()(const std::string& path, int& value)
    {
        const uint32_t w = in.word();
        int decoded;
        if (carriable)
            decoded = w % 8 == 0 ? KivNorvikData::kUndefinedInteger : static_cast<int>(w >> 3) % 100000;
        else
            decoded = static_cast<int>(w);
        if (!keep.count(path))
            value = decoded;
    }
    void code(const std::string& path, int& value, int count)
    {
        const uint8_t b = in.byte();
        int decoded;
        if (carriable)
            decoded = b % 8 == 0 ? KivNorvikData::kUndefinedInteger : b % count;
        else
            decoded = b < 200 ? b % (count + 2) - 1 : static_cast<int>(in.word());
        if (!keep.count(path))
            value = decoded;
    }
    void operator()(const std::string& path, double& value)
    {
        double decoded;
        if (carriable) {
            const uint32_t w = in.word();
            decoded =
                w % 8 == 0 ? KivNorvikData::kUndefinedReal : static_cast<int>(w >> 3) % 100000000 / 1000.0;
        } else {
            const uint64_t bits = in.wide();
            std::memcpy(&decoded, &bits, sizeof decoded);
        }
        if (!keep.count(path))
            value = decoded;
    }
    void operator()(const std::string& path, KivString& value)
    {
        const KivString decoded = text();
        if (!keep.count(path))
            value = decoded;
    }
    KivString text()
    {
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.-/";
        const uint8_t length = in.byte();
        std::wstring text;
        if (carriable) {
            if (length % 8 == 0)
                return KivNorvikData::undefinedString();
            for (int i = 0; i < 1 + length % 12; ++i)
                text.push_back(static_cast<wchar_t>(letters[in.byte() % (sizeof letters - 1)]));
        } else {
            for (int i = 0; i < length % 24; ++i) {
                const uint8_t b = in.byte();
                // A few characters beyond one byte: one with a Windows-1252
                // form, one without.
                text.push_back(b == 0 ? L'\x20AC' : b == 1 ? L'\x4E2D' : static_cast<wchar_t>(b));
            }
        }
        return KivString(text.c_str());
    }
    template <class A, class Each>
    void elements(const std::string& path, A& items, Each each)
    {
        items.setLength(in.byte() % (carriable ? 5 : 9));
        for (int i = 0; i < items.getLength(); ++i)
            each(items[i], path + "[" + std::to_string(i) + "]");
    }
};

// Every field of a record as (path, value text), the project name first; two
// records hold the same values exactly when their lists are equal.
struct FieldText
{
    std::vector<std::pair<std::string, std::string>> fields;
    void operator()(const std::string& path, const int& value)
    {
        fields.emplace_back(path, std::to_string(value));
    }
    void operator()(const std::string& path, const double& value)
    {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", value);
        fields.emplace_back(path, std::isnan(value) ? std::string("nan") : std::string(text));
    }
    void operator()(const std::string& path, const KivString& value)
    {
        std::string text = "\"";
        for (const wchar_t* p = value.getStringW(); *p; ++p) {
            if (*p >= 0x20 && *p < 0x7F) {
                text.push_back(static_cast<char>(*p));
            } else {
                text += "\\u" + std::to_string(static_cast<unsigned long>(*p)) + ";";
            }
        }
        fields.emplace_back(path, text + "\"");
    }
};

template <class Record>
std::vector<std::pair<std::string, std::string>> fieldTexts(const Record& record)
{
    FieldText f;
    f(std::string("projectName"), record.projectName);
    visitFields(record, f);
    return f.fields;
}

// Fills `record`, a fresh record, from the input; fields in `keep` stay as
// they are. (A record's copy leaves out the project name: hence no return.)
template <class Record>
void decodeRecord(Record& record, const uint8_t* data, size_t size, bool carriable,
                  const std::set<std::string>& keep)
{
    ByteSource in(data, size);
    RecordDecoder decoder{in, carriable, keep};
    const KivString name = decoder.text();
    if (!keep.count("projectName"))
        record.projectName = name;
    visitFields(record, decoder);
}

} // namespace norvik_check
