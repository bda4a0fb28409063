// The web page's doorway into the library, compiled with Emscripten and bound
// with embind. File bytes cross as Uint8Array both ways (embind would take a
// JS string as UTF-8); everything else as JSON text, whose values the page
// shows as the file's text forms, so no number goes through JavaScript.
// Nothing throws to JavaScript: each call returns its error instead.
#include "Compare.h"
#include "FieldEdit.h"
#include "FileWords.h"
#include "JsonRecord.h"
#include "JsonValues.h"
#include "Library.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>

namespace {

using emscripten::val;
using namespace norvik;

std::string bytesOf(const val& array)
{
    std::string bytes(array["length"].as<size_t>(), '\0');
    // A view onto the string's buffer, filled by one copy on the JavaScript side.
    val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<unsigned char*>(&bytes[0])))
        .call<void>("set", array);
    return bytes;
}

val arrayOf(const std::string& bytes)
{
    const val view = val(
        emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
    return view.call<val>("slice"); // a copy that outlives a growth of the module's memory
}

// The file's bytes and its record's bytes alike once line ends are "\n".
bool sameText(const std::string& opened, const std::string& written)
{
    size_t i = 0, j = 0;
    while (i < opened.size() && j < written.size()) {
        if (opened[i] == '\r' && i + 1 < opened.size() && opened[i + 1] == '\n') {
            ++i;
        }
        if (opened[i++] != written[j++]) {
            return false;
        }
    }
    return i == opened.size() && j == written.size();
}

// A value as the file writes it; an element of a list as {member: text, ...}.
std::string textOf(Kind kind, const std::string& path, const Json* value)
{
    if (value == nullptr) {
        return {};
    }
    if (value->is_object()) {
        std::string text = "{";
        for (auto it = value->begin(); it != value->end(); ++it) {
            text += (it == value->begin() ? "" : ", ") + it.key() + ": " +
                    textOf(kind, path + "." + it.key(), &it.value());
        }
        return text + "}";
    }
    if (value->is_array()) {
        std::string text = "[";
        for (size_t i = 0; i < value->size(); ++i) {
            text += (i == 0 ? "" : ", ") + textOf(kind, path + "[" + std::to_string(i) + "]", &(*value)[i]);
        }
        return text + "]";
    }
    return fileText(kind, path, *value);
}

const char* typeName(FieldType type)
{
    switch (type) {
    case FieldType::Real: return "real";
    case FieldType::Integer: return "integer";
    case FieldType::Code: return "code";
    default: return "text";
    }
}

// The record as toJson gives it, but of each list only the elements in a
// window: showing a record of 30,000 efforts then costs no more than the
// elements shown. `lengths` receives the length of each list.
struct PartialJson : JsonValues
{
    std::map<std::string, size_t>& lengths;
    std::string list; // the list windowed; empty: every list, from its start
    size_t from = 0;
    size_t count = 0;

    template <class A, class Each>
    void elements(const std::string& path, A& items, Each each)
    {
        const size_t length = static_cast<size_t>(items.getLength());
        lengths[path] = length;
        doc[pointerOf(path)] = Json::array();
        size_t first = 0, last = std::min(length, count);
        if (path == list) {
            first = from;
            last = std::min(length, from + count);
        } else if (!list.empty()) {
            // Only the element that holds the list windowed, if any.
            first = last = 0;
            if (list.compare(0, path.size() + 1, path + "[") == 0) {
                first = std::strtoul(list.c_str() + path.size() + 1, nullptr, 10);
                last = std::min(length, first + 1);
            }
        }
        for (size_t i = first; i < last; ++i) {
            each(items[static_cast<int>(i)], path + "[" + std::to_string(i) + "]");
        }
    }
};

// Errors of a call, as its JSON answer.
template <class F>
std::string guarded(F&& f)
{
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return Json{{"error", "out of memory"}}.dump();
    } catch (const std::exception& e) {
        return Json{{"error", e.what()}}.dump();
    }
}

class WebFile
{
public:
    // Reads `bytes` named `name`: the kind from the name's extension, else from the content.
    WebFile(const std::string& name, const val& bytes) : name_(name)
    {
        try {
            bytes_ = bytesOf(bytes);
            open();
        } catch (const std::exception& e) {
            error_ = name + ": " + e.what();
        }
    }

    std::string error() const { return error_; }
    std::string kind() const { return record_ ? kindName(record_->dataType) : ""; }
    bool edited() const { return edited_; }

private:
    void open()
    {
        // The page shows each field's line; noting them costs about 2 us a
        // field, so a large file opens without them.
        constexpr size_t kFieldLinesUpTo = 256 * 1024;
        ReadOptions options;
        options.fieldLines = bytes_.size() <= kFieldLinesUpTo;
        ReadResult read = readBytesAs(name_, bytes_, kindFromPath(name_), options);
        record_ = std::move(read.record);
        findings_ = std::move(read.findings);
        fieldLines_ = std::move(read.fieldLines);
        error_ = read.error;
        const std::string tool = "; give --kind BL1..BL5";
        if (error_.size() > tool.size() &&
            error_.compare(error_.size() - tool.size(), tool.size(), tool) == 0) {
            error_.replace(error_.size() - tool.size(), tool.size(),
                           "; give it the extension of its kind (.bl1 to .bl5)");
        }
        for (const Finding& f : findings_) {
            for (const std::string& path : f.paths) {
                if (f.error) {
                    errors_.emplace(path, f.message);
                }
            }
        }
    }

public:
    // The findings as `norvik check --json` gives them.
    std::string findings() const
    {
        return guarded([&] {
            Json list = Json::array();
            for (const Finding& f : findings_) {
                list.push_back(findingJson(f));
            }
            return list.dump();
        });
    }

    // The record as a tree of groups and fields; of each list its first `limit` elements.
    std::string fields(int limit)
    {
        return guarded([&] {
            if (!record_) {
                return Json{{"error", error_}}.dump();
            }
            Lengths lengths;
            const Json partial = doc_.is_null() ? window("", 0, static_cast<size_t>(limit), lengths) : Json();
            const Json& source = doc_.is_null() ? partial : doc_;
            Json nodes = Json::array();
            nodes.push_back(field("projectName", "projectName", source.at("projectName")));
            for (auto it = source.begin(); it != source.end(); ++it) {
                if (it.value().is_object() || it.value().is_array()) {
                    nodes.push_back(node(it.key(), it.key(), it.value(), limit, lengths));
                }
            }
            return Json{{"nodes", nodes}}.dump();
        });
    }

    // Elements `from` to `from + count` of the list at `path`.
    std::string elements(const std::string& path, int from, int count)
    {
        return guarded([&] {
            const auto pointer = pointerOf(path);
            const size_t first = static_cast<size_t>(std::max(from, 0));
            const size_t number = static_cast<size_t>(std::max(count, 0));
            Lengths lengths;
            const Json partial = record_ && doc_.is_null() ? window(path, first, number, lengths) : Json();
            const Json& source = doc_.is_null() ? partial : doc_;
            if (!source.contains(pointer) || !source.at(pointer).is_array() ||
                fieldType(record_->dataType, path) != FieldType::Elements) {
                return Json{{"error", path + ": not a list of the record"}}.dump();
            }
            const Json& items = source.at(pointer);
            const size_t length = doc_.is_null() ? lengths.at(path) : items.size();
            Json nodes = Json::array();
            for (size_t i = first; i < items.size() && i < first + number; ++i) {
                const std::string name = "[" + std::to_string(i) + "]";
                nodes.push_back(node(name, path + name, items[i], 0, lengths));
            }
            return Json{{"nodes", nodes}, {"length", length}}.dump();
        });
    }

    // Sets a field from the text typed; the answer holds the value's text as the file writes it.
    std::string setValue(const std::string& path, const std::string& text)
    {
        return guarded([&] {
            if (!loaded()) {
                return Json{{"error", error_}}.dump();
            }
            const std::string error = setFieldText(doc_, path, text);
            if (error.empty()) {
                edited_ = true;
                return Json{{"text", fileText(record_->dataType, path, doc_.at(pointerOf(path)))}}.dump();
            }
            return Json{{"error", error}}.dump();
        });
    }

    std::string resize(const std::string& path, int length)
    {
        return guarded([&] {
            if (!loaded()) {
                return Json{{"error", error_}}.dump();
            }
            const std::string error = resizeElements(doc_, path, static_cast<size_t>(std::max(length, 0)));
            edited_ = edited_ || error.empty();
            return error.empty() ? Json::object().dump() : Json{{"error", error}}.dump();
        });
    }

    // What the record check finds in the record as it stands.
    std::string check()
    {
        return guarded([&] {
            std::string error;
            std::unique_ptr<KivNorvikData> holder;
            const KivNorvikData* record = current(holder, error);
            if (record == nullptr) {
                return Json{{"error", error}}.dump();
            }
            Json list = Json::array();
            for (const CheckItem& item : recordCheck(*record)) {
                list.push_back({{"path", item.path}, {"code", item.code}, {"reason", item.reason}});
            }
            return Json{{"items", list}}.dump();
        });
    }

    // The file to download: the bytes opened for a file the writer wrote, left
    // as it was; else what the writer writes of the record through its JSON.
    val fileBytes()
    {
        val answer = writtenBytes();
        if (!edited_ && answer["error"].isUndefined() && sameText(bytes_, written_)) {
            answer.set("bytes", arrayOf(bytes_));
            answer.set("opened", true);
        }
        return answer;
    }

    // What `norvik to-json F | norvik from-json - OUT` writes.
    val writtenBytes()
    {
        val answer = val::object();
        try {
            std::string error = error_;
            const auto record = loaded() ? fromJson(doc_, error) : nullptr;
            if (record) {
                error = recordBytes(*record, written_);
            }
            if (error.empty()) {
                answer.set("bytes", arrayOf(written_));
            } else {
                answer.set("error", error);
            }
        } catch (const std::exception& e) {
            answer.set("error", std::string(e.what()));
        }
        return answer;
    }

    // What `norvik to-json F` prints.
    val jsonBytes()
    {
        val answer = val::object();
        try {
            if (loaded()) {
                answer.set("bytes", arrayOf(doc_.dump(2) + "\n"));
            } else {
                answer.set("error", error_);
            }
        } catch (const std::exception& e) {
            answer.set("error", std::string(e.what()));
        }
        return answer;
    }

    // The record as it stands: the one read until an edit, then the one of
    // the edited JSON (kept in `holder`); null with `error` set.
    const KivNorvikData* current(std::unique_ptr<KivNorvikData>& holder, std::string& error)
    {
        if (!edited_ || !loaded()) {
            error = error_;
            return record_.get();
        }
        holder = fromJson(doc_, error);
        return holder.get();
    }

private:
    using Lengths = std::map<std::string, size_t>;

    // The record's JSON with only a window of its lists, until the record is edited.
    Json window(const std::string& list, size_t from, size_t count, Lengths& lengths) const
    {
        Json doc = Json::object();
        doc["kind"] = kindName(record_->dataType);
        doc["formatVersion"] = kJsonFormatVersion;
        doc["projectName"] = toUtf8(record_->projectName);
        PartialJson visitor{{doc, textUnsetIsEmpty(record_->dataType)}, lengths, list, from, count};
        withRecord(*record_, [&](const auto& r) { visitFields(r, visitor); });
        return doc;
    }

    // The JSON document, made on first use (an edit, a download): opening a file reads it and no more.
    bool loaded()
    {
        if (record_ && doc_.is_null()) {
            doc_ = toJson(*record_);
        }
        return !doc_.is_null();
    }

    Json field(const std::string& name, const std::string& path, const Json& value)
    {
        const Kind kind = record_->dataType;
        const FieldType type = fieldType(kind, path);
        Json out = {{"t", "field"},
                    {"name", name},
                    {"path", path},
                    {"type", typeName(type)},
                    {"text", fileText(kind, path, value)}};
        if (type == FieldType::Code) {
            out["choices"] = codeChoices(kind, path);
        }
        if (const FieldLine* line = fieldLine(kind, path)) {
            out["keyword"] = line->keyword;
            out["group"] = line->group;
            out["format"] = line->format;
            out["when"] = line->when;
        }
        const auto line = fieldLines_.find(path);
        if (line != fieldLines_.end()) {
            out["line"] = line->second;
        }
        const auto error = errors_.find(path);
        if (error != errors_.end()) {
            out["error"] = error->second;
        }
        return out;
    }

    Json node(const std::string& name, const std::string& path, const Json& value, int limit,
              const Lengths& lengths)
    {
        const FieldType type = fieldType(record_->dataType, path);
        if (type == FieldType::Elements) {
            const auto known = lengths.find(path);
            const size_t length = known != lengths.end() ? known->second : value.size();
            Json children = Json::array();
            for (size_t i = 0; i < value.size() && i < static_cast<size_t>(limit); ++i) {
                const std::string element = "[" + std::to_string(i) + "]";
                children.push_back(node(element, path + element, value[i], limit, lengths));
            }
            return {
                {"t", "list"}, {"name", name}, {"path", path}, {"length", length}, {"children", children}};
        }
        if (value.is_object()) {
            Json children = Json::array();
            for (auto it = value.begin(); it != value.end(); ++it) {
                children.push_back(node(it.key(), path + "." + it.key(), it.value(), limit, lengths));
            }
            return {{"t", "group"}, {"name", name}, {"path", path}, {"children", children}};
        }
        if (value.is_array()) {
            Json children = Json::array();
            for (size_t i = 0; i < value.size(); ++i) {
                const std::string element = "[" + std::to_string(i) + "]";
                children.push_back(node(name + element, path + element, value[i], limit, lengths));
            }
            return {{"t", "group"}, {"name", name}, {"path", path}, {"fixed", true}, {"children", children}};
        }
        return field(name, path, value);
    }

    std::string name_;
    std::string bytes_;
    std::unique_ptr<KivNorvikData> record_;
    std::vector<Finding> findings_;
    std::map<std::string, int> fieldLines_;
    std::map<std::string, std::string> errors_; // JSON path -> the first error finding's message
    std::string error_;
    Json doc_;
    std::string written_;
    bool edited_ = false;
};

// The differences of two open files as `norvik diff` finds them, each value as its file writes it.
std::string compareOpenFiles(WebFile& a, WebFile& b)
{
    return guarded([&] {
        std::string error;
        std::unique_ptr<KivNorvikData> holderA, holderB;
        const KivNorvikData* before = a.current(holderA, error);
        if (before == nullptr) {
            return Json{{"error", error}}.dump();
        }
        const KivNorvikData* after = b.current(holderB, error);
        if (after == nullptr) {
            return Json{{"error", error}}.dump();
        }
        const Kind kind = before->dataType;
        if (after->dataType != kind) {
            return Json{{"error", std::string("the files are of different kinds (") + kindName(kind) +
                                      " and " + kindName(after->dataType) + ")"}}
                .dump();
        }
        const Comparison comparison = compare(*before, *after);
        Json list = Json::array();
        for (const Difference& d : comparison.differences) {
            Json item = {{"path", d.path},
                         {"old", textOf(kind, d.path, d.before)},
                         {"new", textOf(kind, d.path, d.after)}};
            if (const FieldLine* line = fieldLine(kind, d.path)) {
                item["keyword"] = line->keyword;
            }
            list.push_back(item);
        }
        return Json{{"differences", list}}.dump();
    });
}

std::string libraryVersion() { return NORVIK_VERSION; }

} // namespace

EMSCRIPTEN_BINDINGS(norvik)
{
    emscripten::class_<WebFile>("WebFile")
        .constructor<std::string, val>()
        .function("error", &WebFile::error)
        .function("kind", &WebFile::kind)
        .function("edited", &WebFile::edited)
        .function("findings", &WebFile::findings)
        .function("fields", &WebFile::fields)
        .function("elements", &WebFile::elements)
        .function("setValue", &WebFile::setValue)
        .function("resize", &WebFile::resize)
        .function("check", &WebFile::check)
        .function("fileBytes", &WebFile::fileBytes)
        .function("writtenBytes", &WebFile::writtenBytes)
        .function("jsonBytes", &WebFile::jsonBytes);
    emscripten::function("compareFiles", &compareOpenFiles);
    emscripten::function("version", &libraryVersion);
}
