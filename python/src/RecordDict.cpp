#include "RecordDict.h"

#include "PyJson.h"
#include "Records.h"

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace norvik::python {

namespace {

// One member of a record's JSON: an object, a fixed-count array, a value
// read at `offset` from the record (or the array element) that holds it, or
// the elements of a KivArray at `offset`.
struct Node
{
    enum Type { Object, Array, Integer, Real, Text, Elements };
    explicit Node(Type t = Object) : type(t) {}
    Type type;
    std::ptrdiff_t offset = 0;
    std::vector<Node> children;           // Object: in walk order; Array: by index; Elements: the element
    std::vector<std::string> keys;        // Object: the members' names
    std::vector<PyObject*> names;         // the same, interned, kept for the process's life
    int (*length)(const char*) = nullptr; // Elements: the array's length ...
    const char* (*first)(const char*) = nullptr; // ... its first element
    size_t stride = 0;                           // ... and the distance between two
};

template <class T>
const char* address(const T& object)
{
    return reinterpret_cast<const char*>(&object);
}

// Walks a fresh record of a kind, as toJson does, and notes where each member
// of its JSON lives. An array's element fields come back to the same visitor
// through `each`, and are noted relative to that element.
struct PlanBuilder
{
    static constexpr bool walksStructure = true;
    Node* root;         // the object that the walk's paths lead into
    const char* base;   // what the offsets count from
    std::string prefix; // the start of every path under `root`

    static Node& child(Node& parent, const std::string& segment, bool index, Node::Type type)
    {
        if (index) {
            const size_t i = std::stoul(segment);
            if (i == parent.children.size()) {
                parent.children.emplace_back(type);
            }
            return parent.children.at(i);
        }
        for (size_t i = 0; i < parent.keys.size(); ++i) {
            if (parent.keys[i] == segment) {
                return parent.children[i];
            }
        }
        PyObject* name = PyUnicode_InternFromString(segment.c_str());
        if (name == nullptr) {
            throw py::error_already_set();
        }
        parent.keys.push_back(segment);
        parent.names.push_back(name);
        parent.children.emplace_back(type);
        return parent.children.back();
    }

    // The node at `path` ("generalGroup.xy[1]"), made with its parents as needed.
    Node& place(const std::string& path, Node::Type type)
    {
        if (path.compare(0, prefix.size(), prefix) != 0) {
            throw std::logic_error("field path " + path + " outside " + prefix);
        }
        Node* node = root;
        size_t i = prefix.size();
        for (;;) {
            if (i < path.size() && path[i] == '.') {
                ++i;
            }
            const bool index = i < path.size() && path[i] == '[';
            const size_t start = index ? i + 1 : i;
            const size_t end = index ? path.find(']', start) : path.find_first_of(".[", start);
            const std::string segment = path.substr(start, end - start);
            i = end == std::string::npos ? path.size() : end + (index ? 1 : 0);
            const bool last = i == path.size();
            node = &child(*node, segment, index, last ? type : path[i] == '[' ? Node::Array : Node::Object);
            if (last) {
                return *node;
            }
        }
    }

    template <class T>
    void leaf(const std::string& path, const T& field, Node::Type type)
    {
        place(path, type).offset = address(field) - base;
    }
    void operator()(const std::string& path, const int& field) { leaf(path, field, Node::Integer); }
    void operator()(const std::string& path, const double& field) { leaf(path, field, Node::Real); }
    void operator()(const std::string& path, const KivString& field) { leaf(path, field, Node::Text); }
    void code(const std::string& path, const int& field, int) { leaf(path, field, Node::Integer); }

    template <class A, class Each>
    void elements(const std::string& path, A& items, Each each)
    {
        using Items = std::remove_const_t<A>;
        using Element = std::remove_const_t<std::remove_reference_t<decltype(std::declval<Items&>()[0])>>;
        Node& node = place(path, Node::Elements);
        node.offset = address(items) - base;
        node.length = [](const char* at) { return reinterpret_cast<const Items*>(at)->getLength(); };
        node.first = [](const char* at) { return address((*reinterpret_cast<const Items*>(at))[0]); };
        node.stride = sizeof(Element);
        node.children.assign(1, Node(Node::Object));
        const Element element{};
        Node* outerRoot = root;
        const char* outerBase = base;
        std::string outerPrefix = prefix;
        root = &node.children[0];
        base = address(element);
        prefix = path + "[*]";
        each(element, prefix);
        root = outerRoot;
        base = outerBase;
        prefix = std::move(outerPrefix);
    }
};

py::object steal(PyObject* object)
{
    if (object == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(object);
}

py::object make(const Node& node, const char* base, bool emptyIsUnset);

// The members of an object node into `dict`, in walk order.
void fill(PyObject* dict, const Node& node, const char* base, bool emptyIsUnset)
{
    for (size_t i = 0; i < node.children.size(); ++i) {
        const py::object value = make(node.children[i], base, emptyIsUnset);
        if (PyDict_SetItem(dict, node.names[i], value.ptr()) != 0) {
            throw py::error_already_set();
        }
    }
}

// The values as toJson gives them: unset and non-finite values are null
// (the JSON text of NaN is null too).
py::object make(const Node& node, const char* base, bool emptyIsUnset)
{
    const char* at = base + node.offset;
    switch (node.type) {
    case Node::Integer: {
        int value = 0;
        std::memcpy(&value, at, sizeof value);
        return KivNorvikData::isDefined(value) ? steal(PyLong_FromLong(value)) : py::none();
    }
    case Node::Real: {
        double value = 0;
        std::memcpy(&value, at, sizeof value);
        return KivNorvikData::isDefined(value) && std::isfinite(value) ? steal(PyFloat_FromDouble(value))
                                                                       : py::none();
    }
    case Node::Text: {
        const KivString& value = *reinterpret_cast<const KivString*>(at);
        const bool unset = emptyIsUnset ? value.isEmpty() != 0 : !KivNorvikData::isDefined(value);
        if (unset) {
            return py::none();
        }
        return pythonText(toUtf8(value));
    }
    case Node::Array: {
        py::object list = steal(PyList_New(static_cast<Py_ssize_t>(node.children.size())));
        for (size_t i = 0; i < node.children.size(); ++i) {
            PyList_SET_ITEM(list.ptr(), static_cast<Py_ssize_t>(i),
                            make(node.children[i], base, emptyIsUnset).release().ptr());
        }
        return list;
    }
    case Node::Elements: {
        const int n = node.length(at);
        py::object list = steal(PyList_New(n));
        const char* element = n > 0 ? node.first(at) : nullptr;
        for (int i = 0; i < n; ++i, element += node.stride) {
            PyList_SET_ITEM(list.ptr(), i, make(node.children[0], element, emptyIsUnset).release().ptr());
        }
        return list;
    }
    default: {
        py::object dict = steal(PyDict_New());
        fill(dict.ptr(), node, base, emptyIsUnset);
        return dict;
    }
    }
}

// Each kind's plan, made at its first use under the GIL and kept.
const Node& planOf(Kind kind)
{
    static std::map<Kind, std::unique_ptr<Node>> plans;
    std::unique_ptr<Node>& plan = plans[kind];
    if (!plan) {
        auto made = std::make_unique<Node>();
        const auto fresh = freshRecord(kind);
        withRecord(static_cast<const KivNorvikData&>(*fresh), [&](const auto& r) {
            PlanBuilder builder{made.get(), address(r), {}};
            visitFields(r, builder);
        });
        plan = std::move(made);
    }
    return *plan;
}

} // namespace

py::dict recordDict(const KivNorvikData& record)
{
    const Node& plan = planOf(record.dataType);
    py::dict dict;
    dict["kind"] = kindName(record.dataType);
    dict["formatVersion"] = kJsonFormatVersion;
    dict["projectName"] = pythonText(toUtf8(record.projectName));
    const bool emptyIsUnset = textUnsetIsEmpty(record.dataType);
    withRecord(record, [&](const auto& r) { fill(dict.ptr(), plan, address(r), emptyIsUnset); });
    return dict;
}

} // namespace norvik::python
