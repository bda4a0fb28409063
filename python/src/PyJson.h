#pragma once

#include "JsonRecord.h"

#include <pybind11/pybind11.h>

#include <string>

// Python values and the JSON layer's documents, converted as json.loads and
// json.dumps would through JSON text, so that the module's records take the
// same paths through the layer as the tool's JSON files.
namespace norvik::python {

namespace py = pybind11;

// `value` as JSON: None, bool, int, float, str, dict with str keys, list and
// tuple. False with `error` set ("generalGroup.xy[2]: reason") for anything
// else, including NaN and infinities, which JSON cannot carry. Needs the GIL.
bool jsonFromPython(py::handle value, Json& out, std::string& error);

// JSON as the Python values that json.loads gives. Needs the GIL.
py::object pythonFromJson(const Json& value);

// A UTF-8 text as a str; invalid sequences become U+FFFD.
py::str pythonText(const std::string& text);

} // namespace norvik::python
