#pragma once

// The promise of `norvik from-json` for any input: refused with a reason, or
// a record whose JSON comes back unchanged and that the record check goes
// through. The same bytes go through the tool's kind detection, which reads
// files of unknown kind.

#include "JsonRecord.h"
#include "Library.h"

#include <string>

namespace norvik_check {

inline bool fromJsonKeepsItsPromise(const std::string& text, std::string& detail)
{
    (void)norvik::detectKind(text);
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
    for (const norvik::CheckItem& item : norvik::recordCheck(*record)) {
        if (item.path.empty() || item.code.empty()) {
            detail = "a record check item without a field or code";
            return false;
        }
    }
    return true;
}

} // namespace norvik_check
