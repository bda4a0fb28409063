#pragma once

// The promise of `norvik from-json` for any input: refused with a reason, or
// a record whose JSON comes back unchanged.

#include "JsonRecord.h"

#include <string>

namespace norvik_check {

inline bool fromJsonKeepsItsPromise(const std::string& text, std::string& detail)
{
    std::string error;
    const auto record = norvik::fromJsonText(text, error);
    if (!record) {
        detail = error.empty() ? "refused without a reason" : "";
        return !error.empty();
    }
    const norvik::Json json = norvik::toJson(*record);
    const auto again = norvik::fromJson(json, error);
    if (!again || norvik::toJson(*again) != json) {
        detail = "JSON of a record did not come back: " + error;
        return false;
    }
    return true;
}

} // namespace norvik_check
