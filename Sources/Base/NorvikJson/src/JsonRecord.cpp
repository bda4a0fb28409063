#include "JsonRecord.h"

#include "FileWords.h"
#include "JsonValues.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <set>

namespace norvik {

namespace {

const char* const kElements = "$elements"; // variable-length array in a shape
const char* const kLeaf = "$leaf";         // a field's schema in a shape

// Writes every field of a record into a JSON document.
struct ToJson : JsonValues
{
    template <class A, class Each>
    void elements(const std::string& path, A& items, Each each)
    {
        doc[pointerOf(path)] = Json::array();
        for (int i = 0; i < items.getLength(); ++i) {
            each(items[i], path + "[" + std::to_string(i) + "]");
        }
    }
};

// Gives each KivArray of a record the length of the input's array at its path.
struct Resize
{
    static constexpr bool walksStructure = true;
    const Json& in;

    template <class T>
    void operator()(const std::string&, T&)
    {
    }
    void code(const std::string&, int&, int) {}
    template <class A, class Each>
    void elements(const std::string& path, A& items, Each each)
    {
        const auto p = pointerOf(path);
        if (!in.contains(p) || !in.at(p).is_array()) {
            return;
        }
        const size_t n = in.at(p).size();
        if (n > static_cast<size_t>(std::numeric_limits<int>::max() / 2)) {
            return; // refused by the shape check
        }
        items.setLength(static_cast<int>(n));
        for (int i = 0; i < items.getLength(); ++i) {
            each(items[i], path + "[" + std::to_string(i) + "]");
        }
    }
};

std::string describe(const Json& value)
{
    switch (value.type()) {
    case Json::value_t::object: return "an object";
    case Json::value_t::array: return "an array";
    case Json::value_t::null: return "null";
    default: {
        std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
        if (text.size() > 40) {
            text.replace(37, std::string::npos, "...");
        }
        return text;
    }
    }
}

std::string join(const std::string& path, const std::string& key)
{
    return path.empty() ? key : path + "." + key;
}

// The input against the record's shape: objects with known members, arrays of the right length.
bool checkShape(const Json& in, const Json& shape, const std::string& path, std::string& error)
{
    if (shape.is_object()) {
        if (!in.is_object()) {
            error = (path.empty() ? "(document)" : path) + ": expected an object, got " + describe(in);
            return false;
        }
        for (auto it = in.begin(); it != in.end(); ++it) {
            if (path.empty() &&
                (it.key() == "kind" || it.key() == "formatVersion" || it.key() == "projectName")) {
                continue;
            }
            if (!shape.contains(it.key())) {
                error = join(path, it.key()) + ": unknown field";
                return false;
            }
            if (!checkShape(it.value(), shape.at(it.key()), join(path, it.key()), error)) {
                return false;
            }
        }
        return true;
    }
    if (shape.is_array()) {
        if (!in.is_array()) {
            error = path + ": expected an array, got " + describe(in);
            return false;
        }
        if (in.size() != shape.size()) {
            error = path + ": expected an array of " + std::to_string(shape.size()) + " values, got " +
                    std::to_string(in.size());
            return false;
        }
        for (size_t i = 0; i < in.size(); ++i) {
            if (!checkShape(in[i], shape[i], path + "[" + std::to_string(i) + "]", error)) {
                return false;
            }
        }
    }
    return true;
}

// The size of a code's table: the field lists' count, or more where a reader
// gives more codes (a BL4 bolt line "BOUDIST" is kind 3 of a count of 3).
int codeCount(Kind kind, const std::string& path, int count)
{
    return std::max(count, static_cast<int>(codeWords(kind, path).size()));
}

// Takes each field present in the input, checking its type and range.
struct Assign
{
    static constexpr bool walksStructure = true;
    const Json& in;
    Kind kind;
    std::string error;
    std::vector<CheckItem>* unset; // values the record stores as unset, when asked

    // A value given as the number or text that stands for "unset" is read as unset.
    void noteUnset(const std::string& path, const Json& v)
    {
        if (unset != nullptr) {
            unset->push_back({path, "undefined-value",
                              describe(v) + " stands for an unset value and reads as one: write null"});
        }
    }

    const Json* find(const std::string& path) const
    {
        const auto p = pointerOf(path);
        return in.contains(p) ? &in.at(p) : nullptr;
    }
    bool fail(const std::string& path, const std::string& reason)
    {
        if (error.empty()) {
            error = path + ": " + reason;
        }
        return false;
    }
    bool integer(const std::string& path, const Json& v, int& field)
    {
        if (v.is_null()) {
            field = KivNorvikData::kUndefinedInteger;
            return true;
        }
        if (v.is_number_float()) {
            const double d = v.get<double>();
            if (!(d >= INT32_MIN && d <= INT32_MAX) || d != std::floor(d)) {
                return fail(path, "expected a 32-bit integer, got " + describe(v));
            }
            field = static_cast<int>(d);
            if (field == KivNorvikData::kUndefinedInteger) {
                noteUnset(path, v);
            }
            return true;
        }
        if (!v.is_number_integer()) {
            return fail(path, "expected an integer, got " + describe(v));
        }
        if (v.is_number_unsigned()
                ? v.get<std::uint64_t>() > static_cast<std::uint64_t>(INT32_MAX)
                : (v.get<std::int64_t>() < INT32_MIN || v.get<std::int64_t>() > INT32_MAX)) {
            return fail(path, describe(v) + " is outside the 32-bit integer range");
        }
        field = static_cast<int>(v.get<std::int64_t>());
        if (field == KivNorvikData::kUndefinedInteger) {
            noteUnset(path, v);
        }
        return true;
    }
    void operator()(const std::string& path, int& field)
    {
        if (const Json* v = find(path)) {
            integer(path, *v, field);
        }
    }
    void code(const std::string& path, int& field, int count)
    {
        const Json* v = find(path);
        int value = field;
        if ((v == nullptr) || !integer(path, *v, value)) {
            return;
        }
        count = codeCount(kind, path, count);
        if (KivNorvikData::isDefined(value) && (value < 0 || value >= count)) {
            fail(path, describe(*v) + " is not a code (0 to " + std::to_string(count - 1) + ")");
            return;
        }
        field = value;
    }
    void operator()(const std::string& path, double& field)
    {
        const Json* v = find(path);
        if (v == nullptr) {
            return;
        }
        if (v->is_null()) {
            field = KivNorvikData::kUndefinedReal;
        } else if (v->is_number()) {
            field = v->get<double>();
            if (!KivNorvikData::isDefined(field)) {
                noteUnset(path, *v);
            }
        } else {
            fail(path, "expected a number, got " + describe(*v));
        }
    }
    void operator()(const std::string& path, KivString& field)
    {
        const Json* v = find(path);
        if (v == nullptr) {
            return;
        }
        const bool emptyIsUnset = textUnsetIsEmpty(kind);
        if (v->is_null()) {
            field = emptyIsUnset ? KivString() : KivNorvikData::undefinedString();
        } else if (v->is_string()) {
            field = fromUtf8(v->get<std::string>());
            if (!emptyIsUnset && !KivNorvikData::isDefined(field)) {
                noteUnset(path, *v);
            }
        } else {
            fail(path, "expected a text, got " + describe(*v));
        }
    }
    template <class A, class Each>
    void elements(const std::string& path, A& items, Each each)
    {
        for (int i = 0; i < items.getLength(); ++i) {
            each(items[i], path + "[" + std::to_string(i) + "]");
        }
    }
};

// Records the schema of every field into a shape document.
struct SchemaShape
{
    static constexpr bool walksStructure = true;
    Json& doc;
    Kind kind;

    void leaf(const std::string& path, Json schema)
    {
        doc[pointerOf(path)] = Json{{kLeaf, std::move(schema)}};
    }
    void operator()(const std::string& path, const int&)
    {
        leaf(path, {{"type", {"integer", "null"}}, {"minimum", INT32_MIN}, {"maximum", INT32_MAX}});
    }
    void operator()(const std::string& path, const double&) { leaf(path, {{"type", {"number", "null"}}}); }
    void operator()(const std::string& path, const KivString&) { leaf(path, {{"type", {"string", "null"}}}); }
    void code(const std::string& path, const int&, int count)
    {
        count = codeCount(kind, path, count);
        Json values = Json::array();
        for (int i = 0; i < count; ++i) {
            values.push_back(i);
        }
        values.push_back(nullptr);
        leaf(path, {{"enum", values}});
    }
    template <class A, class Each>
    void elements(const std::string& path, A&, Each each)
    {
        std::remove_reference_t<decltype(std::declval<A&>()[0])> element;
        each(element, path + "[*]");
    }
};

Json schemaOf(const Json& shape)
{
    if (shape.is_object() && shape.contains(kLeaf)) {
        return shape.at(kLeaf);
    }
    if (shape.is_object() && shape.contains(kElements)) {
        return {{"type", "array"}, {"items", schemaOf(shape.at(kElements))}};
    }
    if (shape.is_array()) {
        Json items = Json::array();
        for (const Json& e : shape) {
            items.push_back(schemaOf(e));
        }
        return {{"type", "array"},
                {"prefixItems", items},
                {"items", false},
                {"minItems", shape.size()},
                {"maxItems", shape.size()}};
    }
    Json properties = Json::object();
    for (auto it = shape.begin(); it != shape.end(); ++it) {
        properties[it.key()] = schemaOf(it.value());
    }
    return {{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
}

} // namespace

Json::json_pointer pointerOf(const std::string& dottedPath)
{
    std::string p = "/";
    for (char c : dottedPath) {
        if (c == '.' || c == '[') {
            p += '/';
        } else if (c == '*') {
            p += kElements;
        } else if (c != ']') {
            p += c;
        }
    }
    return Json::json_pointer(p);
}

Json toJson(const KivNorvikData& record)
{
    Json doc = Json::object();
    doc["kind"] = kindName(record.dataType);
    doc["formatVersion"] = kJsonFormatVersion;
    doc["projectName"] = toUtf8(record.projectName);
    ToJson visitor{{doc, textUnsetIsEmpty(record.dataType)}};
    // cppcheck-suppress danglingTemporaryLifetime ; the visitor refers to locals, not to a temporary
    withRecord(record, [&](const auto& r) { visitFields(r, visitor); });
    return doc;
}

std::unique_ptr<KivNorvikData> fromJson(const Json& json, std::string& error, std::vector<CheckItem>* unset)
{
    error.clear();
    if (unset != nullptr) {
        unset->clear();
    }
    if (!json.is_object()) {
        error = "(document): expected an object, got " + describe(json);
        return nullptr;
    }
    if (!json.contains("kind")) {
        error = "kind: missing (one of BL1 to BL5)";
        return nullptr;
    }
    const Json& kindValue = json.at("kind");
    const auto kind = kindValue.is_string() ? kindFromName(kindValue.get<std::string>()) : std::nullopt;
    if (!kind || kindValue.get<std::string>() != kindName(*kind)) {
        error = "kind: unknown kind " + describe(kindValue) + " (one of BL1 to BL5)";
        return nullptr;
    }
    if (json.contains("formatVersion") && json.at("formatVersion") != Json(kJsonFormatVersion)) {
        error = "formatVersion: expected " + std::to_string(kJsonFormatVersion) + ", got " +
                describe(json.at("formatVersion"));
        return nullptr;
    }
    auto record = freshRecord(*kind);
    if (json.contains("projectName")) {
        if (!json.at("projectName").is_string()) {
            error = "projectName: expected a text, got " + describe(json.at("projectName"));
            return nullptr;
        }
        record->projectName = fromUtf8(json.at("projectName").get<std::string>());
    }
    Resize resize{json};
    withRecord(*record, [&](auto& r) { visitFields(r, resize); });
    if (!checkShape(json, toJson(*record), "", error)) {
        return nullptr;
    }
    Assign assign{json, *kind, {}, unset};
    // cppcheck-suppress danglingTemporaryLifetime ; the visitor refers to locals, not to a temporary
    withRecord(*record, [&](auto& r) { visitFields(r, assign); });
    if (!assign.error.empty()) {
        error = assign.error;
        return nullptr;
    }
    return record;
}

namespace {
// Follows the parse through the parser's callback and notes the first key
// that an object repeats, as a dotted path; the parsed document would keep
// only one of the values, so the input is refused.
class DuplicateKeys
{
public:
    const std::string& first() const { return duplicate_; }

    bool operator()(int, Json::parse_event_t event, Json& parsed)
    {
        switch (event) {
        case Json::parse_event_t::object_start: enter(false); break;
        case Json::parse_event_t::array_start: enter(true); break;
        case Json::parse_event_t::object_end:
        case Json::parse_event_t::array_end: frames_.pop_back(); break;
        case Json::parse_event_t::value: element(); break;
        case Json::parse_event_t::key: key(parsed.get<std::string>()); break;
        }
        return true;
    }

private:
    struct Frame
    {
        bool array = false;
        size_t index = 0; // in an array, one more than the element being read
        std::string key;
        std::set<std::string> keys;
    };

    // A value, object or array starts: in an array it is the next element.
    void element()
    {
        if (!frames_.empty() && frames_.back().array) {
            ++frames_.back().index;
        }
    }
    void enter(bool array)
    {
        element();
        frames_.push_back({array, 0, {}, {}});
    }
    void key(const std::string& name)
    {
        Frame& frame = frames_.back();
        if (!frame.keys.insert(name).second && duplicate_.empty()) {
            std::string path;
            for (size_t i = 0; i + 1 < frames_.size(); ++i) {
                path += frames_[i].array ? "[" + std::to_string(frames_[i].index - 1) + "]"
                                         : (path.empty() ? "" : ".") + frames_[i].key;
            }
            duplicate_ = path + (path.empty() ? "" : ".") + name;
        }
        frame.key = name;
    }

    std::vector<Frame> frames_;
    std::string duplicate_;
};
} // namespace

std::unique_ptr<KivNorvikData> fromJsonText(const std::string& text, std::string& error,
                                            std::vector<CheckItem>* unset)
{
    Json json;
    DuplicateKeys duplicates;
    try {
        json = Json::parse(text, std::ref(duplicates));
    } catch (const Json::exception& e) { // a syntax error, or a number out of range (9E53333)
        std::string what = e.what();
        const size_t end = what.find("] ");
        error = "(document): invalid JSON: " + (end == std::string::npos ? what : what.substr(end + 2));
        return nullptr;
    }
    if (!duplicates.first().empty()) {
        error = duplicates.first() + ": the key is given twice in its object (JSON keeps one of them)";
        return nullptr;
    }
    return fromJson(json, error, unset);
}

Json jsonSchema(Kind kind)
{
    Json shape = Json::object();
    SchemaShape visitor{shape, kind};
    auto record = freshRecord(kind);
    withRecord(*record, [&](auto& r) { visitFields(r, visitor); });
    Json body = schemaOf(shape);
    Json schema = {{"$schema", "https://json-schema.org/draft/2020-12/schema"},
                   {"title", std::string("NorvikExport ") + kindName(kind) + " record"},
                   {"type", "object"},
                   {"required", {"kind"}}};
    Json properties = {{"kind", {{"const", kindName(kind)}}},
                       {"formatVersion", {{"const", kJsonFormatVersion}}},
                       {"projectName", {{"type", "string"}}}};
    for (auto it = body["properties"].begin(); it != body["properties"].end(); ++it) {
        properties[it.key()] = it.value();
    }
    schema["properties"] = properties;
    schema["additionalProperties"] = false;
    return schema;
}

Json findingJson(const Finding& f)
{
    return {{"line", f.line},
            {"column", f.column > 0 ? Json(f.column) : Json()},
            {"severity", f.error ? "error" : "warning"},
            {"code", f.code},
            {"message", f.message},
            {"keyword", f.keyword},
            {"group", f.group},
            {"fields", f.fields},
            {"paths", f.paths}};
}

} // namespace norvik
