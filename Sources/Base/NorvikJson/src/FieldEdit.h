#pragma once

#include "JsonRecord.h"

#include <string>
#include <vector>

// A record's JSON (as toJson gives it) changed field by field, with values
// typed as the file writes them: for the web page's form and any other editor.
// The values stay in the document as C++ reads them ("-0.000" stays -0.0).
namespace norvik {

enum class FieldType {
    None,       // no such member in the kind's JSON, or one not to edit ("kind")
    Real,       // a number, typed "355.000"
    Integer,    // a 32-bit integer
    Text,       // UTF-8 text
    Code,       // a code, typed as its word (fileText of the code)
    Group,      // an object of fields
    FixedArray, // a fixed count of values or groups ("xy", "diagonalElementGroups")
    Elements    // a variable count of groups (the loadings, the efforts of a BL1 beam side)
};

// What the JSON of `kind` holds at the JSON path `path` ("generalGroup.acier",
// "rightTraverse.efforts[3].value1", "generalGroup.loadings"), by its schema.
FieldType fieldType(Kind kind, const std::string& path);

// The values of the code at `path` as the file writes them, in code order.
std::vector<std::string> codeChoices(Kind kind, const std::string& path);

// Sets the field at `path` of `doc` from `text` as the file writes it: a real
// ("355.000", "-0.000", "1e3"), an integer, a text as it stands, a code by its
// word; "" unsets a field, as does the library's own "unset" number. Empty on
// success, else the reason ("generalGroup.acier: \"abc\" is not a number");
// `doc` is then unchanged.
std::string setFieldText(Json& doc, const std::string& path, const std::string& text);

// Gives the variable-length array at `path` of `doc` `length` elements, new
// ones as in a fresh record, removed ones from the end. Empty on success, else
// the reason.
std::string resizeElements(Json& doc, const std::string& path, size_t length);

} // namespace norvik
