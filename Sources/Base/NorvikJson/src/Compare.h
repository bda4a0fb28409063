#pragma once

#include "JsonRecord.h"

#include <string>
#include <vector>

// Records field by field: the tree of `show` and the differences of `diff`.
namespace norvik {

// One field of a record: its dotted path and, inside a KivArray, the path of its element.
struct FieldPath
{
    std::string path;
    std::string element;
};
std::vector<FieldPath> fieldPaths(const KivNorvikData& record);

// A JSON value as the terminal shows it: unset, texts in double quotes,
// objects as {name: value, ...}.
std::string render(const Json& value);

// The indented tree of a record's fields: those that differ from a fresh
// record of its kind, or all of them.
std::string showTree(const KivNorvikData& record, bool all);

struct Difference
{
    std::string path;
    const Json* before = nullptr; // null: no such element
    const Json* after = nullptr;
};

// The differences of two records of one kind, in field order; the documents
// keep the values that the differences point to.
struct Comparison
{
    Json before;
    Json after;
    std::vector<Difference> differences;
};
Comparison compare(const KivNorvikData& a, const KivNorvikData& b);

// "path: old -> new" per difference.
std::string diffText(const Comparison& comparison);
Json diffJson(const Comparison& comparison);

} // namespace norvik
