#pragma once

#include "Library.h"
#include "Records.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

// A record as JSON and back: members named as in the code, fixed-count fields
// as arrays, KivArrays and fixed-count groups as arrays of objects, unset
// values as null, plus "kind", "formatVersion" and "projectName".
namespace norvik {

using Json = nlohmann::ordered_json;

constexpr int kJsonFormatVersion = 1;

Json toJson(const KivNorvikData& record);

// The record that `json` describes; fields it leaves out keep a fresh
// record's values. Null with `error` set ("path: reason") when the JSON has
// the wrong shape; nothing is partly applied.
std::unique_ptr<KivNorvikData> fromJson(const Json& json, std::string& error);
// The same from JSON text; invalid JSON is an error too.
std::unique_ptr<KivNorvikData> fromJsonText(const std::string& text, std::string& error);

// A finding as `check --json` gives it: line, column (null when unknown),
// severity ("error" or "warning"), code, message, keyword, group, fields, paths.
Json findingJson(const Finding& finding);

// The JSON Schema (draft 2020-12) of a kind's JSON.
Json jsonSchema(Kind kind);

// "generalGroup.xy[2]" as a JSON pointer "/generalGroup/xy/2"; "[*]" becomes "/$elements".
Json::json_pointer pointerOf(const std::string& dottedPath);

} // namespace norvik
