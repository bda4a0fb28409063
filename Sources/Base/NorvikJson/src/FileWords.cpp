#include "FileWords.h"

#include <KivFormat.h>

#include <cctype>
#include <map>
#include <mutex>
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
        if (path[i] == '[' && i + 1 < path.size() && std::isdigit(static_cast<unsigned char>(path[i + 1]))) {
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
            for (size_t i = 0; i < fields.size(); ++i) {
                if (fields[i] == "-") {
                    continue;
                }
                const std::string format = fields.size() == formats.size() ? formats[i] : std::string();
                const FieldLine facts{group.header, line.keyword, format, line.condition, line.when};
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
    static FieldLines all[5];
    static std::once_flag once[5];
    const int k = static_cast<int>(kind);
    std::call_once(once[k], [&] { all[k] = collect(kind); });
    return all[k];
}

} // namespace

const FieldLine* fieldLine(Kind kind, const std::string& path)
{
    const FieldLines& lines = linesOf(kind);
    auto found = lines.find(path);
    if (found == lines.end()) {
        found = lines.find(generalised(path));
    }
    return found == lines.end() ? nullptr : &found->second;
}

std::string fileText(Kind kind, const std::string& path, const Json& value)
{
    if (value.is_null()) {
        return {};
    }
    if (value.is_string()) {
        return value.get<std::string>();
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
