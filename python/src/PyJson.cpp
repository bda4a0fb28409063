#include "PyJson.h"

#include <cmath>
#include <cstdint>

namespace norvik::python {

namespace {

// Deeper than any record; stops a list that contains itself.
constexpr int kMaxDepth = 64;

std::string member(const std::string& path, const std::string& name)
{
    return path.empty() ? name : path + "." + name;
}

std::string where(const std::string& path) { return path.empty() ? "(document)" : path; }

std::string typeName(py::handle value) { return Py_TYPE(value.ptr())->tp_name; }

bool fail(const std::string& path, const std::string& reason, std::string& error)
{
    error = where(path) + ": " + reason;
    return false;
}

// An int as json.loads reads its digits: 64 bits signed or unsigned, else a double.
bool integerFromPython(py::handle value, const std::string& path, Json& out, std::string& error)
{
    int overflow = 0;
    const long long small = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0) {
        out = static_cast<std::int64_t>(small);
        return true;
    }
    if (overflow > 0) {
        const unsigned long long large = PyLong_AsUnsignedLongLong(value.ptr());
        if (PyErr_Occurred() == nullptr) {
            out = static_cast<std::uint64_t>(large);
            return true;
        }
        PyErr_Clear();
    }
    const double d = PyLong_AsDouble(value.ptr());
    if (PyErr_Occurred() != nullptr) {
        PyErr_Clear();
        return fail(path, "expected a number, got an integer beyond the range of a double", error);
    }
    out = d;
    return true;
}

bool convert(py::handle value, const std::string& path, int depth, Json& out, std::string& error)
{
    PyObject* v = value.ptr();
    if (depth > kMaxDepth) {
        return fail(path, "nested too deeply", error);
    }
    if (v == Py_None) {
        out = nullptr;
    } else if (PyBool_Check(v)) {
        out = v == Py_True;
    } else if (PyLong_Check(v)) {
        return integerFromPython(value, path, out, error);
    } else if (PyFloat_Check(v)) {
        const double d = PyFloat_AS_DOUBLE(v);
        if (!std::isfinite(d)) {
            return fail(path, "expected a number, got " + std::string(py::str(value)) + " (JSON has none)",
                        error);
        }
        out = d;
    } else if (PyUnicode_Check(v)) {
        Py_ssize_t size = 0;
        const char* text = PyUnicode_AsUTF8AndSize(v, &size);
        if (text == nullptr) {
            PyErr_Clear();
            return fail(path, "a text that is not valid Unicode (a lone surrogate)", error);
        }
        out = std::string(text, static_cast<size_t>(size));
    } else if (PyDict_Check(v)) {
        out = Json::object();
        PyObject* key = nullptr;
        PyObject* item = nullptr;
        Py_ssize_t position = 0;
        while (PyDict_Next(v, &position, &key, &item) != 0) {
            if (!PyUnicode_Check(key)) {
                return fail(path, "member names are texts, got " + std::string(py::repr(key)), error);
            }
            Py_ssize_t size = 0;
            const char* name = PyUnicode_AsUTF8AndSize(key, &size);
            if (name == nullptr) {
                PyErr_Clear();
                return fail(path, "a member name that is not valid Unicode (a lone surrogate)", error);
            }
            const std::string nameText(name, static_cast<size_t>(size));
            Json& slot = out[nameText];
            if (!convert(item, member(path, nameText), depth + 1, slot, error)) {
                return false;
            }
        }
    } else if (PyList_Check(v) || PyTuple_Check(v)) {
        const py::sequence items = py::reinterpret_borrow<py::sequence>(value);
        out = Json::array();
        const size_t n = items.size();
        for (size_t i = 0; i < n; ++i) {
            Json element;
            if (!convert(items[i], path + "[" + std::to_string(i) + "]", depth + 1, element, error)) {
                return false;
            }
            out.push_back(std::move(element));
        }
    } else {
        return fail(path, "expected None, a bool, a number, a text, a list or a dict, got " + typeName(value),
                    error);
    }
    return true;
}

} // namespace

bool jsonFromPython(py::handle value, Json& out, std::string& error)
{
    error.clear();
    return convert(value, "", 0, out, error);
}

py::str pythonText(const std::string& text)
{
    PyObject* s = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace");
    if (s == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(s);
}

py::object pythonFromJson(const Json& value)
{
    switch (value.type()) {
    case Json::value_t::boolean: return py::bool_(value.get<bool>());
    case Json::value_t::number_integer: return py::int_(value.get<std::int64_t>());
    case Json::value_t::number_unsigned: return py::int_(value.get<std::uint64_t>());
    case Json::value_t::number_float: return py::float_(value.get<double>());
    case Json::value_t::string: return pythonText(value.get_ref<const std::string&>());
    case Json::value_t::array: {
        py::list list(value.size());
        for (size_t i = 0; i < value.size(); ++i) {
            list[i] = pythonFromJson(value[i]);
        }
        return std::move(list);
    }
    case Json::value_t::object: {
        py::dict dict;
        for (auto it = value.begin(); it != value.end(); ++it) {
            dict[pythonText(it.key())] = pythonFromJson(it.value());
        }
        return std::move(dict);
    }
    default: return py::none(); // null; JSON text has no other
    }
}

} // namespace norvik::python
