#include "FileWords.h"

#include <KivFormat.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

namespace norvik {

namespace {

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    return out;
}

// The path with the index of each array element as "[]", as the format
// reference names them.
std::string generalised(const std::string& path)
{
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '[' && i + 1 < path.size() &&
            std::isdigit(static_cast<unsigned char>(path[i + 1])) != 0) {
            const size_t close = path.find(']', i);
            // Fixed-count fields keep their index: only an element followed by a member is generalised.
            if (close != std::string::npos && close + 1 < path.size() && path[close + 1] == '.') {
                out += "[]";
                i = close;
                continue;
            }
        }
        out += path[i];
    }
    return out;
}

using FieldLines = std::map<std::string, FieldLine>;

// Each field of the format reference with its line; array elements as "[]".
FieldLines collect(Kind kind)
{
    FieldLines lines;
    for (const FormatGroup& group : formatGroups(kind)) {
        for (const FormatLine& line : group.lines) {
            const std::vector<std::string> fields = words(line.field);
            const std::vector<std::string> formats = words(line.format);
            // The field whose words the keyword carries, where it has choices.
            std::string chooser;
            if (line.keyword.find('|') != std::string::npos && fields.size() == formats.size()) {
                for (size_t i = 0; i < fields.size() && chooser.empty(); ++i) {
                    chooser = formats[i] == "(keyword)" ? fields[i] : "";
                }
            }
            for (size_t i = 0; i < fields.size(); ++i) {
                if (fields[i] == "-") {
                    continue;
                }
                const std::string format = fields.size() == formats.size() ? formats[i] : std::string();
                const FieldLine facts{group.header, line.keyword, format, line.condition, line.when, chooser};
                lines.emplace(fields[i], facts);
                // A group listed once for all its copies (the BL4/BL5 diagonals) stands for each.
                lines.emplace(generalised(fields[i]), facts);
            }
        }
    }
    return lines;
}

const FieldLines& linesOf(Kind kind)
{
    return oncePerKind(kind, [](Kind k) { return collect(k); });
}

// The paths of a record's code fields, array elements as "[]".
struct CodePaths
{
    static constexpr bool walksStructure = true;
    std::set<std::string>& codes;

    template <class T>
    void operator()(const std::string&, T&)
    {
    }
    void code(const std::string& path, int&, int) { codes.insert(generalised(path)); }
    template <class A, class Each>
    void elements(const std::string& path, A&, Each each)
    {
        std::remove_reference_t<decltype(std::declval<A&>()[0])> element;
        each(element, path + "[0]");
    }
};

// "BOU TRA|BOU REN" as {"BOU TRA", "BOU REN"}; "SECTION  PRF" with one blank.
std::vector<std::string> choices(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string choice; std::getline(in, choice, '|');) {
        std::string joined;
        for (const std::string& word : words(choice)) {
            joined += (joined.empty() ? "" : " ") + word;
        }
        out.push_back(joined);
    }
    return out;
}

using CodeWords = std::map<std::string, std::vector<std::string>>;

// A code's words come from the line that carries it: the choices of a word
// the line writes after its keyword (CONNEC_TYPE RAID|PLAT_ABOUT|...), else
// the choices of its keyword (BOU_PRIM|BOU_SEC), else the keywords of the
// lines that each carry one code, in writer order (PRO, I); a code that no
// line carries takes the choices of its group's header (TRA G|TRA D).
CodeWords collectCodeWords(Kind kind)
{
    std::set<std::string> codes;
    CodePaths walk{codes};
    auto record = freshRecord(kind);
    withRecord(*record, [&](auto& r) { visitFields(r, walk); });
    CodeWords found, byLine;
    const std::vector<FormatGroup> groups = formatGroups(kind);
    for (const FormatGroup& group : groups) {
        for (const FormatLine& line : group.lines) {
            const std::vector<std::string> fields = words(line.field);
            const std::vector<std::string> formats = words(line.format);
            if (fields.size() != formats.size()) {
                continue;
            }
            for (size_t i = 0; i < fields.size(); ++i) {
                const std::string path = generalised(fields[i]);
                if (formats[i] != "(keyword)" || codes.count(path) == 0) {
                    continue;
                }
                std::vector<std::string> named;
                for (size_t j = 0; j < fields.size(); ++j) {
                    if (fields[j] == "-" && formats[j].find('|') != std::string::npos) {
                        named = choices(formats[j]);
                    }
                }
                if (named.empty() && line.keyword.find('|') != std::string::npos) {
                    named = choices(line.keyword);
                }
                if (!named.empty()) {
                    found[path] = named;
                    continue;
                }
                std::vector<std::string>& each = byLine[path];
                const std::string keyword = choices(line.keyword).front();
                if (std::find(each.begin(), each.end(), keyword) == each.end()) {
                    each.push_back(keyword);
                }
            }
        }
    }
    found.insert(byLine.begin(), byLine.end());
    for (const FormatGroup& group : groups) {
        if (group.header.find('|') == std::string::npos || group.lines.empty()) {
            continue;
        }
        const std::string field = group.lines.front().field;
        const std::string part = field.substr(0, field.find_first_of(". "));
        for (const std::string& code : codes) {
            if (code.compare(0, part.size() + 1, part + ".") == 0 && found.count(code) == 0) {
                found[code] = choices(group.header);
            }
        }
    }
    return found;
}

const CodeWords& codeWordsOf(Kind kind)
{
    return oncePerKind(kind, [](Kind k) { return collectCodeWords(k); });
}

} // namespace

const std::vector<std::string>& codeWords(Kind kind, const std::string& path)
{
    static const std::vector<std::string> none;
    const CodeWords& all = codeWordsOf(kind);
    const auto found = all.find(generalised(path));
    return found == all.end() ? none : found->second;
}

const FieldLine* fieldLine(Kind kind, const std::string& path)
{
    const FieldLines& lines = linesOf(kind);
    auto found = lines.find(path);
    if (found == lines.end()) {
        found = lines.find(generalised(path));
    }
    return found == lines.end() ? nullptr : &found->second;
}

std::string fieldKeyword(Kind kind, const std::string& path, const Json& doc)
{
    const FieldLine* line = fieldLine(kind, path);
    if (line == nullptr) {
        return {};
    }
    const std::vector<std::string> words = choices(line->keyword);
    if (words.size() < 2 || line->chooser.empty() || line->chooser.find("[]") != std::string::npos) {
        return words.size() == 1 ? words[0] : line->keyword;
    }
    const auto pointer = pointerOf(line->chooser);
    const Json chosen = doc.contains(pointer) ? doc.at(pointer) : Json();
    const std::vector<std::string>& codes = codeWords(kind, line->chooser);
    if (!codes.empty()) {
        const long long code = chosen.is_number_integer() ? chosen.get<long long>() : -1;
        return code >= 0 && code < static_cast<long long>(codes.size()) ? codes[static_cast<size_t>(code)]
                                                                        : line->keyword;
    }
    // The writer's other choices: 0 writes the first words, any other value the second.
    return words.size() == 2 ? words[chosen == Json(0) ? 0 : 1] : line->keyword;
}

std::string groupHeader(Kind kind, const std::string& part, const Json& doc)
{
    const std::string generic = generalised(part + ".");
    const FieldLines& lines = linesOf(kind);
    std::string header;
    for (const auto& [path, line] : lines) {
        if (path.compare(0, part.size() + 1, part + ".") == 0 ||
            path.compare(0, generic.size(), generic) == 0) {
            header = line.group;
            break;
        }
    }
    const std::vector<std::string> words = choices(header);
    if (words.size() < 2) {
        return words.empty() ? std::string() : words.front();
    }
    // The code of the part whose words are the header's choices.
    for (const auto& [path, codes] : codeWordsOf(kind)) {
        if (codes != words || path.compare(0, part.size() + 1, part + ".") != 0) {
            continue;
        }
        const auto pointer = pointerOf(path);
        const Json value = doc.contains(pointer) ? doc.at(pointer) : Json();
        if (value.is_number_integer() && value.get<long long>() >= 0 &&
            value.get<long long>() < static_cast<long long>(codes.size())) {
            return codes[value.get<size_t>()];
        }
    }
    return header;
}

std::string fileText(Kind kind, const std::string& path, const Json& value)
{
    if (value.is_null()) {
        return {};
    }
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_number_integer()) {
        const std::vector<std::string>& words = codeWords(kind, path);
        const long long code = value.get<long long>();
        if (code >= 0 && code < static_cast<long long>(words.size())) {
            return words[static_cast<size_t>(code)];
        }
    }
    const FieldLine* line = fieldLine(kind, path);
    if (value.is_number() && line != nullptr && line->format.size() > 1 && line->format[0] == '%') {
        const char conversion = line->format.back();
        std::string text;
        if (conversion == 'f') {
            const size_t point = line->format.find('.');
            const int precision =
                point == std::string::npos ? 6 : std::atoi(line->format.c_str() + point + 1);
            KivFormat::appendFixed(text, value.get<double>(), 0, precision);
            return text;
        }
        if (conversion == 'd' && value.is_number_integer()) {
            return std::to_string(value.get<long long>());
        }
    }
    return value.dump();
}

} // namespace norvik
