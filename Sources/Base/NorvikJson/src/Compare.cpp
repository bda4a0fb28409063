#include "Compare.h"

#include "FileWords.h"

#include <algorithm>
#include <map>
#include <set>

namespace norvik {

namespace {
struct Paths
{
    static constexpr bool walksStructure = true;
    std::vector<FieldPath>& out;
    std::string element;

    template <class T>
    void operator()(const std::string& path, const T&)
    {
        out.push_back({path, element});
    }
    void code(const std::string& path, const int&, int) { out.push_back({path, element}); }
    template <class A, class Each>
    void elements(const std::string& path, A& items, Each each)
    {
        for (int i = 0; i < items.getLength(); ++i) {
            element = path + "[" + std::to_string(i) + "]";
            each(items[i], element);
        }
        element.clear();
    }
};

std::vector<std::string> split(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '.') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}
} // namespace

std::vector<FieldPath> fieldPaths(const KivNorvikData& record)
{
    std::vector<FieldPath> out;
    Paths visitor{out, {}};
    // cppcheck-suppress danglingTemporaryLifetime ; the visitor refers to locals, not to a temporary
    withRecord(record, [&](const auto& r) { visitFields(r, visitor); });
    return out;
}

std::string render(const Json& value)
{
    if (value.is_null()) {
        return "unset";
    }
    if (value.is_object()) {
        std::string text = "{";
        for (auto it = value.begin(); it != value.end(); ++it) {
            text += (it == value.begin() ? "" : ", ") + it.key() + ": " + render(it.value());
        }
        return text + "}";
    }
    if (value.is_array()) {
        std::string text = "[";
        for (size_t i = 0; i < value.size(); ++i) {
            text += (i != 0u ? ", " : "") + render(value[i]);
        }
        return text + "]";
    }
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string showTree(const KivNorvikData& record, bool all)
{
    const Json doc = toJson(record);
    const Json fresh = toJson(*freshRecord(record.dataType));
    std::string out = std::string("kind: ") + kindName(record.dataType) + "\n";
    out += "projectName: " + render(doc.at("projectName")) + "\n";
    std::vector<std::string> previous;
    for (const FieldPath& field : fieldPaths(record)) {
        const auto p = pointerOf(field.path);
        const Json& value = doc.at(p);
        if (!all && fresh.contains(p) && fresh.at(p) == value) {
            continue;
        }
        const std::vector<std::string> parts = split(field.path);
        size_t same = 0;
        while (same + 1 < parts.size() && same < previous.size() && previous[same] == parts[same]) {
            ++same;
        }
        for (size_t i = same; i + 1 < parts.size(); ++i) {
            out += std::string(2 * i, ' ') + parts[i] + "\n";
        }
        out += std::string(2 * (parts.size() - 1), ' ') + parts.back() + ": " + render(value) + "\n";
        previous = parts;
    }
    return out;
}

Comparison compare(const KivNorvikData& a, const KivNorvikData& b)
{
    Comparison c{toJson(a), toJson(b), {}};
    if (c.before.at("projectName") != c.after.at("projectName")) {
        c.differences.push_back({"projectName", &c.before.at("projectName"), &c.after.at("projectName")});
    }
    const std::vector<FieldPath> pathsA = fieldPaths(a);
    const std::vector<FieldPath> pathsB = fieldPaths(b);
    std::set<std::string> inA, inB;
    for (const FieldPath& f : pathsA) {
        inA.insert(f.path);
    }
    for (const FieldPath& f : pathsB) {
        inB.insert(f.path);
    }
    std::set<std::string> elementsDone;
    auto extra = [&](const FieldPath& f, bool fromA) {
        if (!elementsDone.insert(f.element).second) {
            return;
        }
        const Json& doc = fromA ? c.before : c.after;
        const Json* element = &doc.at(pointerOf(f.element));
        c.differences.push_back({f.element, fromA ? element : nullptr, fromA ? nullptr : element});
    };
    // Both walks in one: the paths they share come in the same order.
    size_t i = 0, j = 0;
    while (i < pathsA.size() || j < pathsB.size()) {
        if (i < pathsA.size() && j < pathsB.size() && pathsA[i].path == pathsB[j].path) {
            const auto p = pointerOf(pathsA[i].path);
            if (c.before.at(p) != c.after.at(p)) {
                c.differences.push_back({pathsA[i].path, &c.before.at(p), &c.after.at(p)});
            }
            ++i;
            ++j;
        } else if (i < pathsA.size() && (inB.count(pathsA[i].path) == 0u)) {
            extra(pathsA[i++], true);
        } else {
            extra(pathsB[j++], false);
        }
    }
    return c;
}

std::string diffText(const Comparison& comparison)
{
    std::string out;
    for (const Difference& d : comparison.differences) {
        out += d.path + ": " + (d.before != nullptr ? render(*d.before) : "(none)") + " -> " +
               (d.after != nullptr ? render(*d.after) : "(none)") + "\n";
    }
    return out;
}

Json diffJson(const Comparison& comparison)
{
    Json list = Json::array();
    for (const Difference& d : comparison.differences) {
        Json item = {{"path", d.path}};
        if (d.before != nullptr) {
            item["old"] = *d.before;
        }
        if (d.after != nullptr) {
            item["new"] = *d.after;
        }
        list.push_back(item);
    }
    return {{"kind", comparison.before.at("kind")}, {"equal", list.empty()}, {"differences", list}};
}

} // namespace norvik

namespace norvik {

namespace {
// Whether `path` is `part` or lies inside it ("a.b" and "a.b[2].c" in "a.b").
bool within(const std::string& path, const std::string& part)
{
    return path.compare(0, part.size(), part) == 0 &&
           (path.size() == part.size() || path[part.size()] == '.' || path[part.size()] == '[');
}

// The first line read for a field inside `part`; 0 when none is known.
int firstLine(const std::map<std::string, int>& lines, const std::string& part)
{
    int first = 0;
    for (auto it = lines.lower_bound(part); it != lines.end() && it->first.compare(0, part.size(), part) == 0;
         ++it) {
        if (within(it->first, part) && it->second > 0 && (first == 0 || it->second < first)) {
            first = it->second;
        }
    }
    return first;
}

size_t setValues(const Json& value)
{
    if (value.is_object() || value.is_array()) {
        size_t n = 0;
        for (const Json& v : value) {
            n += setValues(v);
        }
        return n;
    }
    return value.is_null() ? 0 : 1;
}

// The record parts that a group carries: the groups of the record's JSON
// and each group of a fixed-count array of groups (the diagonals).
std::vector<std::string> recordParts(const Json& doc)
{
    std::vector<std::string> parts;
    for (auto it = doc.begin(); it != doc.end(); ++it) {
        if (it.value().is_object()) {
            parts.push_back(it.key());
        } else if (it.value().is_array()) {
            for (size_t i = 0; i < it.value().size(); ++i) {
                parts.push_back(it.key() + "[" + std::to_string(i) + "]");
            }
        }
    }
    return parts;
}
} // namespace

std::string valueText(Kind kind, const std::string& path, const Json& value)
{
    if (value.is_null()) {
        return "unset";
    }
    if (value.is_string() || value.is_object() || value.is_array()) {
        return render(value);
    }
    const std::vector<std::string>& words = codeWords(kind, path);
    if (!words.empty() && value.is_number_integer()) {
        const long long code = value.get<long long>();
        if (code >= 0 && code < static_cast<long long>(words.size())) {
            return std::to_string(code) + " (" + words[static_cast<size_t>(code)] + ")";
        }
    }
    return fileText(kind, path, value);
}

std::vector<ShownField> shownFields(const ReadResult& read, bool all)
{
    std::vector<ShownField> rows;
    if (!read.record) {
        return rows;
    }
    const Kind kind = read.record->dataType;
    const Json doc = toJson(*read.record);
    const Json fresh = toJson(*freshRecord(kind));
    for (const FieldPath& field : fieldPaths(*read.record)) {
        const auto p = pointerOf(field.path);
        const Json& value = doc.at(p);
        std::vector<const Finding*> errors;
        for (const Finding& f : read.findings) {
            const bool concerns = std::any_of(f.paths.begin(), f.paths.end(), [&](const std::string& path) {
                return within(field.path, path);
            });
            if (f.error && concerns) {
                errors.push_back(&f);
            }
        }
        if (!all && errors.empty() && fresh.contains(p) && fresh.at(p) == value) {
            continue;
        }
        const auto line = read.fieldLines.find(field.path);
        std::string keyword = fieldKeyword(kind, field.path, doc);
        if (keyword.empty() && !codeWords(kind, field.path).empty()) {
            keyword = fileText(kind, field.path, value); // a code that the group's header carries
        }
        rows.push_back({field.path, keyword, line == read.fieldLines.end() ? 0 : line->second,
                        valueText(kind, field.path, value), std::move(errors)});
    }
    return rows;
}

std::string showText(const ReadResult& read, bool all)
{
    const std::vector<ShownField> rows = shownFields(read, all);
    size_t pathWidth = 0, keywordWidth = 0, lineWidth = 0;
    for (const ShownField& row : rows) {
        pathWidth = std::max(pathWidth, row.path.size());
        keywordWidth = std::max(keywordWidth, row.keyword.size());
        if (row.line > 0) {
            lineWidth = std::max(lineWidth, 5 + std::to_string(row.line).size());
        }
    }
    auto padded = [](const std::string& text, size_t width) {
        return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
    };
    std::string out = std::string("kind: ") + kindName(read.record->dataType) + "\n";
    out += "projectName: " + render(toJson(*read.record).at("projectName"));
    const auto tag = read.fieldLines.find("projectName");
    out += (tag == read.fieldLines.end() ? std::string() : "  line " + std::to_string(tag->second)) + "\n";
    for (const ShownField& row : rows) {
        std::string line = padded(row.path, pathWidth) + "  " + padded(row.keyword, keywordWidth) + "  ";
        if (lineWidth > 0) {
            line += padded(row.line > 0 ? "line " + std::to_string(row.line) : "", lineWidth) + "  ";
        }
        line += row.value;
        for (const Finding* f : row.errors) {
            line += "  [error: " + f->code + (f->line > 0 ? ", line " + std::to_string(f->line) : "") + "]";
        }
        out += line + "\n";
    }
    return out;
}

FileComparison compareFiles(const ReadResult& before, const ReadResult& after)
{
    FileComparison fc{before.record->dataType, compare(*before.record, *after.record), {}};
    const Json fresh = toJson(*freshRecord(fc.kind));
    auto present = [&](const ReadResult& read, const Json& doc, const std::string& part) {
        if (!read.fieldLines.empty()) {
            return firstLine(read.fieldLines, part) > 0;
        }
        const auto p = pointerOf(part);
        return !fresh.contains(p) || doc.at(p) != fresh.at(p);
    };
    // The groups that one file has and the other has not, each as one difference.
    std::vector<std::string> alone;
    for (const std::string& part : recordParts(fc.values.before)) {
        const bool inBefore = present(before, fc.values.before, part);
        const bool inAfter = present(after, fc.values.after, part);
        if (inBefore == inAfter) {
            continue;
        }
        const Json& doc = inBefore ? fc.values.before : fc.values.after;
        const Json* group = &doc.at(pointerOf(part));
        FileDifference d{part,
                         groupHeader(fc.kind, part, doc),
                         true,
                         inBefore ? group : nullptr,
                         inAfter ? group : nullptr,
                         0,
                         0,
                         setValues(*group)};
        (inBefore ? d.lineBefore : d.lineAfter) = firstLine((inBefore ? before : after).fieldLines, part);
        alone.push_back(part);
        fc.differences.push_back(d);
    }
    std::vector<FileDifference> fields;
    for (const Difference& d : fc.values.differences) {
        if (std::any_of(alone.begin(), alone.end(),
                        [&](const std::string& part) { return within(d.path, part); })) {
            continue;
        }
        const Json& doc = d.after != nullptr ? fc.values.after : fc.values.before;
        // The tag line carries the project name: it has no keyword.
        std::string keyword = d.path == "projectName" ? std::string() : fieldKeyword(fc.kind, d.path, doc);
        const Json* value = d.after != nullptr ? d.after : d.before;
        if (keyword.empty() && value != nullptr && value->is_object() && !value->empty()) {
            keyword = fieldKeyword(fc.kind, d.path + "." + value->begin().key(), doc); // an array element
        }
        fields.push_back({d.path, keyword, false, d.before, d.after,
                          d.before != nullptr ? firstLine(before.fieldLines, d.path) : 0,
                          d.after != nullptr ? firstLine(after.fieldLines, d.path) : 0, 0});
    }
    // Groups first, in record order with the fields.
    std::vector<FileDifference> ordered;
    for (const std::string& part : recordParts(fc.values.before)) {
        for (const FileDifference& d : fc.differences) {
            if (d.path == part) {
                ordered.push_back(d);
            }
        }
        for (const FileDifference& d : fields) {
            if (within(d.path, part)) {
                ordered.push_back(d);
            }
        }
    }
    for (const FileDifference& d : fields) {
        if (d.path == "projectName") {
            ordered.insert(ordered.begin(), d);
        }
    }
    fc.differences = std::move(ordered);
    return fc;
}

std::string diffText(const FileComparison& comparison)
{
    std::string out;
    for (const FileDifference& d : comparison.differences) {
        auto side = [&](const Json* value, int line) {
            if (value == nullptr) {
                return std::string("(none)");
            }
            const std::string where = line > 0 ? "line " + std::to_string(line) + ": " : "";
            if (d.group) {
                return where + "group of " + std::to_string(d.values) +
                       (d.values == 1 ? " value" : " values");
            }
            return where + valueText(comparison.kind, d.path, *value);
        };
        out += d.path + (d.keyword.empty() ? "" : "  " + d.keyword) + "  " + side(d.before, d.lineBefore) +
               " -> " + side(d.after, d.lineAfter) + "\n";
    }
    return out;
}

Json diffJson(const FileComparison& comparison)
{
    Json list = Json::array();
    for (const FileDifference& d : comparison.differences) {
        Json item = {{"path", d.path}};
        if (d.group) {
            item["group"] = d.keyword;
            item["values"] = d.values;
        } else if (!d.keyword.empty()) {
            item["keyword"] = d.keyword;
        }
        if (d.before != nullptr) {
            item["old"] = *d.before;
            if (d.lineBefore > 0) {
                item["oldLine"] = d.lineBefore;
            }
        }
        if (d.after != nullptr) {
            item["new"] = *d.after;
            if (d.lineAfter > 0) {
                item["newLine"] = d.lineAfter;
            }
        }
        list.push_back(item);
    }
    return {{"kind", kindName(comparison.kind)}, {"equal", list.empty()}, {"differences", list}};
}

} // namespace norvik
