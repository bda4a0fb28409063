#pragma once

#include "Library.h"
#include "Records.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

// A record as JSON and back: members named as in the code, fixed-count fields
// as arrays, KivArrays and fixed-count groups as arrays of objects, unset
// values as null, plus "kind", "formatVersion" and "projectName".
namespace norvik {

using Json = nlohmann::ordered_json;

constexpr int kJsonFormatVersion = 1;

Json toJson(const KivNorvikData& record);

// The record that `json` describes; fields it leaves out keep a fresh
// record's values. Null with `error` set ("path: reason") when the JSON has
// the wrong shape; nothing is partly applied. A code may take every value
// that a reader gives (the words of codeWords). `unset`, when given, lists
// the values that the record stores as unset although the JSON gives them as
// a number or text: the undefined values (-123456.78, -123456,
// "stringDummyNorvikExport"), code "undefined-value".
std::unique_ptr<KivNorvikData> fromJson(const Json& json, std::string& error,
                                        std::vector<CheckItem>* unset = nullptr);
// The same from JSON text; invalid JSON is an error too, and so is a key
// given twice in one object (the error names its path).
std::unique_ptr<KivNorvikData> fromJsonText(const std::string& text, std::string& error,
                                            std::vector<CheckItem>* unset = nullptr);

// A finding as `check --json` gives it: line, column (null when unknown),
// severity ("error" or "warning"), code, message, keyword, group, fields, paths.
Json findingJson(const Finding& finding);

// The JSON Schema (draft 2020-12) of a kind's JSON.
Json jsonSchema(Kind kind);

// "generalGroup.xy[2]" as a JSON pointer "/generalGroup/xy/2"; "[*]" becomes "/$elements".
Json::json_pointer pointerOf(const std::string& dottedPath);

} // namespace norvik
