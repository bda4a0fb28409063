#pragma once

#include "JsonRecord.h"
#include "Records.h"

#include <KivNorvikData.h>

#include <string>

namespace norvik {

// A field walker's visitor (KivBLnFields) that puts each value of a record
// into `doc` at its path, unset values as null. The lists are the deriving
// visitor's: it adds elements(), which makes each list and walks the
// elements it wants.
struct JsonValues
{
    static constexpr bool walksStructure = true;
    Json& doc;
    bool emptyIsUnset; // an empty text is unset (textUnsetIsEmpty), else the undefined text is

    void operator()(const std::string& path, const int& value)
    {
        doc[pointerOf(path)] = KivNorvikData::isDefined(value) ? Json(value) : Json();
    }
    void operator()(const std::string& path, const double& value)
    {
        doc[pointerOf(path)] = KivNorvikData::isDefined(value) ? Json(value) : Json();
    }
    void operator()(const std::string& path, const KivString& value)
    {
        const bool unset = emptyIsUnset ? value.isEmpty() != 0 : !KivNorvikData::isDefined(value);
        doc[pointerOf(path)] = unset ? Json() : Json(toUtf8(value));
    }
    void code(const std::string& path, const int& value, int) { (*this)(path, value); }
};

} // namespace norvik
