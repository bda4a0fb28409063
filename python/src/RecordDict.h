#pragma once

#include <KivNorvikData.h>

#include <pybind11/pybind11.h>

// A record as the dict that json.loads gives of the layer's toJson document:
// the same members in the same order, None for unset (and non-finite) values.
// Made straight from the record, without the JSON document in between: a
// kind's fields are walked once, with the field lists that toJson walks, into
// a plan of member names and field offsets, and each record is then read
// through its kind's plan. Equal to toJson's document by test, on every file
// of the tests.
namespace norvik::python {

// Needs the GIL.
pybind11::dict recordDict(const KivNorvikData& record);

} // namespace norvik::python
