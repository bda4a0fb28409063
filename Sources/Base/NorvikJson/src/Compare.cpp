#include "Compare.h"

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
