#include "FieldEdit.h"

#include "FileWords.h"

#include <KivNumber.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <mutex>

namespace norvik {

namespace {

const Json& schemaOf(Kind kind)
{
    return oncePerKind(kind, [](Kind k) { return jsonSchema(k); });
}

// The schema of the member at `path`, or null.
const Json* schemaAt(Kind kind, const std::string& path)
{
    const Json* node = &schemaOf(kind);
    size_t i = 0;
    while (i < path.size()) {
        if (path[i] == '[') {
            const size_t close = path.find(']', i);
            size_t index = 0;
            if (close == std::string::npos ||
                std::from_chars(path.data() + i + 1, path.data() + close, index).ptr != path.data() + close) {
                return nullptr;
            }
            if (node->contains("prefixItems")) {
                const Json& items = node->at("prefixItems");
                if (index >= items.size()) {
                    return nullptr;
                }
                node = &items[index];
            } else if (node->contains("items") && node->at("items").is_object()) {
                node = &node->at("items");
            } else {
                return nullptr;
            }
            i = close + 1;
        } else {
            if (path[i] == '.') {
                ++i;
            }
            const size_t end = std::min(path.find_first_of(".[", i), path.size());
            const std::string name = path.substr(i, end - i);
            if (!node->contains("properties") || !node->at("properties").contains(name)) {
                return nullptr;
            }
            node = &node->at("properties").at(name);
            i = end;
        }
    }
    return node == &schemaOf(kind) ? nullptr : node;
}

bool allows(const Json& schema, const char* type)
{
    if (!schema.contains("type")) {
        return false;
    }
    const Json& t = schema.at("type");
    return t == type || (t.is_array() && std::find(t.begin(), t.end(), Json(type)) != t.end());
}

FieldType typeOf(const Json& schema)
{
    if (schema.contains("enum")) {
        return FieldType::Code;
    }
    if (allows(schema, "object")) {
        return FieldType::Group;
    }
    if (allows(schema, "array")) {
        return schema.contains("prefixItems") ? FieldType::FixedArray : FieldType::Elements;
    }
    if (allows(schema, "integer")) {
        return FieldType::Integer;
    }
    if (allows(schema, "number")) {
        return FieldType::Real;
    }
    return allows(schema, "string") ? FieldType::Text : FieldType::None;
}

std::optional<Kind> kindOf(const Json& doc)
{
    if (!doc.is_object() || !doc.contains("kind") || !doc.at("kind").is_string()) {
        return std::nullopt;
    }
    return kindFromName(doc.at("kind").get<std::string>());
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string quoted(const std::string& text)
{
    return "\"" + (text.size() > 40 ? text.substr(0, 37) + "..." : text) + "\"";
}

// The value of `text` for a field of `type`; the reason when it is none.
std::string valueOf(FieldType type, const std::string& text, const std::vector<std::string>& choices,
                    Json& value)
{
    const std::string t = trimmed(text);
    value = Json();
    if (t.empty()) {
        return {};
    }
    switch (type) {
    case FieldType::Real: {
        size_t used = 0;
        const double number = KivNumber::toDouble(t.data(), t.size(), used);
        if (used != t.size() || !std::isfinite(number)) {
            return quoted(text) + " is not a number";
        }
        if (KivNorvikData::isDefined(number)) {
            value = number;
        }
        return {};
    }
    case FieldType::Integer: {
        const char* first = t.data() + (t[0] == '+' && t.size() > 1 && t[1] != '-' ? 1 : 0);
        long long number = 0;
        const auto result = std::from_chars(first, t.data() + t.size(), number);
        if (result.ptr != t.data() + t.size() || result.ec == std::errc::invalid_argument) {
            return quoted(text) + " is not an integer";
        }
        if (result.ec != std::errc() || number < INT32_MIN || number > INT32_MAX) {
            return quoted(text) + " is outside the 32-bit integer range";
        }
        if (KivNorvikData::isDefined(static_cast<int>(number))) {
            value = static_cast<int>(number);
        }
        return {};
    }
    case FieldType::Code: {
        const auto found = std::find(choices.begin(), choices.end(), t);
        if (found == choices.end()) {
            std::string list;
            for (const std::string& c : choices) {
                list += (list.empty() ? "" : ", ") + c;
            }
            return quoted(text) + " is not one of " + list;
        }
        value = static_cast<int>(found - choices.begin());
        return {};
    }
    default: value = text; return {};
    }
}

} // namespace

FieldType fieldType(Kind kind, const std::string& path)
{
    const Json* schema = schemaAt(kind, path);
    return schema == nullptr ? FieldType::None : typeOf(*schema);
}

std::vector<std::string> codeChoices(Kind kind, const std::string& path)
{
    std::vector<std::string> words;
    const Json* schema = schemaAt(kind, path);
    if (schema == nullptr || !schema->contains("enum")) {
        return words;
    }
    for (const Json& value : schema->at("enum")) {
        if (!value.is_null()) {
            words.push_back(fileText(kind, path, value));
        }
    }
    return words;
}

std::string setFieldText(Json& doc, const std::string& path, const std::string& text)
{
    const auto kind = kindOf(doc);
    if (!kind) {
        return "kind: not the JSON of a record";
    }
    const Json* schema = schemaAt(*kind, path);
    const FieldType type = schema == nullptr ? FieldType::None : typeOf(*schema);
    const Json::json_pointer pointer = pointerOf(path);
    if (type == FieldType::None || type == FieldType::Group || type == FieldType::FixedArray ||
        type == FieldType::Elements || !doc.contains(pointer)) {
        return path + ": not a field of the record";
    }
    Json value;
    const std::string reason = valueOf(
        type, text, type == FieldType::Code ? codeChoices(*kind, path) : std::vector<std::string>(), value);
    if (!reason.empty()) {
        return path + ": " + reason;
    }
    if (value.is_null() && !allows(*schema, "null")) {
        value = ""; // the project name is a text, never unset
    }
    doc[pointer] = value;
    return {};
}

std::string resizeElements(Json& doc, const std::string& path, size_t length)
{
    const auto kind = kindOf(doc);
    if (!kind) {
        return "kind: not the JSON of a record";
    }
    const Json::json_pointer pointer = pointerOf(path);
    if (fieldType(*kind, path) != FieldType::Elements || !doc.contains(pointer) ||
        !doc.at(pointer).is_array()) {
        return path + ": not a list of the record";
    }
    if (length > static_cast<size_t>(INT32_MAX / 2)) {
        return path + ": " + std::to_string(length) + " elements are too many";
    }
    Json& items = doc.at(pointer);
    if (length <= items.size()) {
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(length), items.end());
        return {};
    }
    // An element of a fresh record: its fields start unset, as the record's own do.
    Json fresh = toJson(*freshRecord(*kind));
    if (!fresh.contains(pointer)) {
        return path + ": not a list of the record";
    }
    fresh.at(pointer) = Json::array({Json::object()});
    std::string error;
    const auto record = fromJson(fresh, error);
    if (!record) {
        return path + ": " + error;
    }
    const Json element = toJson(*record).at(pointer).at(0);
    while (items.size() < length) {
        items.push_back(element);
    }
    return {};
}

} // namespace norvik
