#pragma once

#include <NorvikExport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace norvik_test {

using FieldList = std::vector<std::pair<std::string, std::string>>;

// Every field of a record as (path, value text); two records hold the same
// values exactly when their lists are equal, and a failing comparison names
// the fields that differ.
struct Flattener
{
    FieldList fields;
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
        std::string text;
        for (const wchar_t* p = value.getStringW(); *p; ++p)
            text.push_back(static_cast<char>(*p));
        fields.emplace_back(path, "\"" + text + "\"");
    }
};

template <class Record>
FieldList flatten(const Record& record)
{
    Flattener f;
    visitFields(record, f);
    return f.fields;
}

// Fills every visited field with a random value: integers in [-999, 9999],
// reals with at most three decimals, texts of one word. Callers set array
// lengths first and fix the fields whose values are codes afterwards.
struct Randomizer
{
    std::mt19937& rng;
    void operator()(const std::string&, int& value)
    {
        value = std::uniform_int_distribution<int>(-999, 9999)(rng);
    }
    void operator()(const std::string&, double& value)
    {
        value = std::uniform_int_distribution<int>(-999999, 9999999)(rng) / 1000.0;
    }
    void operator()(const std::string&, KivString& value)
    {
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.-/";
        const int length = std::uniform_int_distribution<int>(1, 12)(rng);
        std::string word;
        for (int i = 0; i < length; ++i)
            word.push_back(letters[std::uniform_int_distribution<int>(0, sizeof letters - 2)(rng)]);
        value = KivString(word.c_str());
    }
};

template <class Record>
void randomize(Record& record, std::mt19937& rng)
{
    Randomizer r{rng};
    visitFields(record, r);
}

// Every field set to a value that tells the fields apart: integers count up
// from 1, reals from 1.125 in steps of 1, texts are T1, T2, ... Golden files
// of "every field set" records stay readable this way. Callers fix the code
// fields afterwards.
struct Numbering
{
    int next = 1;
    void operator()(const std::string&, int& v) { v = next++; }
    void operator()(const std::string&, double& v) { v = next++ + 0.125; }
    void operator()(const std::string&, KivString& v)
    {
        v = KivString(("T" + std::to_string(next++)).c_str());
    }
};

template <class Record>
void numberFields(Record& record)
{
    Numbering n;
    visitFields(record, n);
}

inline int undefinedLike(int) { return KivNorvikData::kUndefinedInteger; }
inline double undefinedLike(double) { return KivNorvikData::kUndefinedReal; }
inline KivString undefinedLike(const KivString&) { return KivNorvikData::undefinedString(); }

// Sets the `which`-th visited field of a record to its undefined value and
// gives its path; "" when the record has fewer fields.
struct FieldClearer
{
    int which;
    int index = 0;
    std::string cleared;
    template <class T>
    void operator()(const std::string& path, T& value)
    {
        if (index++ == which) {
            value = undefinedLike(value);
            cleared = path;
        }
    }
};

template <class Record>
std::string clearField(Record& record, int which)
{
    FieldClearer clear{which, 0, std::string()};
    visitFields(record, clear);
    return clear.cleared;
}

// Expects every field of a record at its undefined value; a text for which
// `emptyText(path)` holds is expected empty instead.
template <class EmptyText>
struct UndefinedChecker
{
    EmptyText emptyText;
    void operator()(const std::string& path, const int& value)
    {
        EXPECT_EQ(KivNorvikData::kUndefinedInteger, value) << path;
    }
    void operator()(const std::string& path, const double& value)
    {
        EXPECT_EQ(KivNorvikData::kUndefinedReal, value) << path;
    }
    void operator()(const std::string& path, const KivString& value)
    {
        if (emptyText(path))
            EXPECT_NE(0, value.isEmpty()) << path;
        else
            EXPECT_TRUE(value == KivNorvikData::undefinedString()) << path;
    }
};

template <class Record, class EmptyText>
void expectUndefined(const Record& record, EmptyText emptyText)
{
    UndefinedChecker<EmptyText> check{emptyText};
    visitFields(record, check);
}

// Readable difference of two field lists, for failure messages.
inline std::string describeDifference(const FieldList& expected, const FieldList& actual)
{
    std::string out;
    const size_t n = expected.size() > actual.size() ? expected.size() : actual.size();
    for (size_t i = 0; i < n; ++i) {
        const std::string e = i < expected.size() ? expected[i].first + "=" + expected[i].second : "<none>";
        const std::string a = i < actual.size() ? actual[i].first + "=" + actual[i].second : "<none>";
        if (e != a)
            out += "  expected " + e + "\n  actual   " + a + "\n";
    }
    return out;
}

// A fresh record and a reader of kind 1 (BL1) to 5 (BL5).
inline std::unique_ptr<KivNorvikData> recordOf(int kind)
{
    switch (kind) {
    case 1: return std::make_unique<KivBL1Data>();
    case 2: return std::make_unique<KivBL2Data>();
    case 3: return std::make_unique<KivBL3Data>();
    case 4: return std::make_unique<KivBL4Data>();
    default: return std::make_unique<KivBL5Data>();
    }
}

template <class... Args>
std::unique_ptr<KivNorvikFileReader> readerOf(int kind, Args... args)
{
    switch (kind) {
    case 1: return std::make_unique<KivNorvikBL1Reader>(args...);
    case 2: return std::make_unique<KivNorvikBL2Reader>(args...);
    case 3: return std::make_unique<KivNorvikBL3Reader>(args...);
    case 4: return std::make_unique<KivNorvikBL4Reader>(args...);
    default: return std::make_unique<KivNorvikBL5Reader>(args...);
    }
}

// The fields of a record of kind 1 to 5.
inline FieldList flattenKind(int kind, const KivNorvikData& r)
{
    switch (kind) {
    case 1: return flatten(static_cast<const KivBL1Data&>(r));
    case 2: return flatten(static_cast<const KivBL2Data&>(r));
    case 3: return flatten(static_cast<const KivBL3Data&>(r));
    case 4: return flatten(static_cast<const KivBL4Data&>(r));
    default: return flatten(static_cast<const KivBL5Data&>(r));
    }
}

} // namespace norvik_test
