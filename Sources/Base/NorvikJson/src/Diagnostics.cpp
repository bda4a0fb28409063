#include "Diagnostics.h"

#include "FindingKinds.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace norvik {

namespace {
// clang's colours: the place and the message bold, errors red, warnings
// magenta, the caret green.
const char* const kBold = "\033[1m";
const char* const kRed = "\033[1;31m";
const char* const kMagenta = "\033[1;35m";
const char* const kGreen = "\033[1;32m";
const char* const kReset = "\033[0m";

// The widest source line shown; a longer one is cut around the caret.
constexpr size_t kShownWidth = 160;

// Well-formed UTF-8: no overlong form, surrogate or code point beyond U+10FFFF.
bool validUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t extra = c < 0x80                ? 0
                             : c >= 0xC2 && c < 0xE0 ? 1
                             : c >= 0xE0 && c < 0xF0 ? 2
                             : c >= 0xF0 && c < 0xF5 ? 3
                                                     : 9;
        if (extra > 3 || text.size() - i <= extra) {
            return false;
        }
        unsigned long cp = extra == 0 ? c : c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (d & 0x3F);
        }
        const unsigned long least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

size_t codePoints(const std::string& text)
{
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// One character of a source line as shown: its text, its width on a
// terminal and the byte of the line where it starts.
struct Shown
{
    std::string text;
    size_t width;
    size_t byte;
};

// A source line as a terminal shows it: UTF-8 as it is, other bytes as
// Windows-1252 (as the readers read them), control characters and a
// byte-order mark as escapes.
std::vector<Shown> shownLine(const std::string& line)
{
    const bool utf8 = validUtf8(line);
    std::vector<Shown> out;
    for (size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        size_t length = 1;
        if (utf8 && c >= 0x80) {
            length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        }
        std::string text;
        if (line.compare(i, 3, "\xEF\xBB\xBF") == 0) {
            text = "\\ufeff";
        } else if (utf8 || c < 0x80) {
            text = printable(line.substr(i, length));
        } else {
            KivString one;
            one.assign(&line[i], 1);
            text = printable(toUtf8(one));
        }
        const size_t width = codePoints(text);
        out.push_back({std::move(text), width, i});
        i += length;
    }
    return out;
}

std::string percentEncoded(const std::string& text, const char* keep)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) != 0 || std::strchr(keep, ch) != nullptr) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// GitHub's escapes of a workflow command's message and properties.
std::string commandData(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c == '%' ? "%25" : c == '\r' ? "%0D" : c == '\n' ? "%0A" : std::string(1, c);
    }
    return out;
}
std::string commandProperty(const std::string& text)
{
    std::string out;
    for (char c : commandData(text)) {
        out += c == ':' ? "%3A" : c == ',' ? "%2C" : std::string(1, c);
    }
    return out;
}

const char* severityWord(const Finding& f) { return f.error ? "error" : "warning"; }
} // namespace

std::string printable(const std::string& text)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) { // a C1 control in UTF-8
            out += std::string("\\u00") + hex[next >> 4] + hex[next & 15];
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string findingLine(const std::string& file, const Finding& finding, bool color)
{
    std::string place = printable(file) + ":";
    if (finding.line > 0) {
        place += std::to_string(finding.line) + ":";
        if (finding.column > 0) {
            place += std::to_string(finding.column) + ":";
        }
    }
    const std::string text = printable(finding.message) + " [" + finding.code + "]";
    if (!color) {
        return place + " " + severityWord(finding) + ": " + text;
    }
    return kBold + place + kReset + " " + (finding.error ? kRed : kMagenta) + severityWord(finding) + ":" +
           kReset + " " + kBold + text + kReset;
}

std::string diagnosticText(const std::string& file, const Finding& finding, const std::string* source,
                           bool color)
{
    std::string out = findingLine(file, finding, color) + "\n";
    if (source == nullptr || finding.line <= 0) {
        return out;
    }
    const std::vector<Shown> shown = shownLine(*source);
    // The caret's character and the token it marks: to the next blank.
    const size_t column = finding.column > 0 ? static_cast<size_t>(finding.column) - 1 : 0;
    size_t caret = 0;
    while (caret < shown.size() && shown[caret].byte < column) {
        ++caret;
    }
    size_t tokenEnd = caret;
    while (tokenEnd < shown.size() && source->at(shown[tokenEnd].byte) != ' ' &&
           source->at(shown[tokenEnd].byte) != '\t') {
        ++tokenEnd;
    }
    // A long line is cut to a window around the caret.
    size_t first = 0, last = shown.size(), width = 0;
    for (const Shown& s : shown) {
        width += s.width;
    }
    if (width > kShownWidth) {
        first = caret;
        width = 0;
        while (first > 0 && width + shown[first - 1].width <= kShownWidth / 3) {
            width += shown[--first].width;
        }
        last = first;
        width = 0;
        while (last < shown.size() && width + shown[last].width <= kShownWidth) {
            width += shown[last++].width;
        }
        tokenEnd = std::min(tokenEnd, last);
    }
    std::string gutter = std::to_string(finding.line);
    gutter = std::string(gutter.size() < 5 ? 5 - gutter.size() : 0, ' ') + gutter + " | ";
    std::string text = first > 0 ? "..." : "", marks = std::string(first > 0 ? 3 : 0, ' ');
    for (size_t i = first; i < last; ++i) {
        text += shown[i].text;
        if (i < caret) {
            marks += std::string(shown[i].width, ' ');
        } else if (i == caret) {
            marks += "^" + std::string(shown[i].width - 1, '~');
        } else if (i < tokenEnd) {
            marks += std::string(shown[i].width, '~');
        }
    }
    if (caret >= shown.size()) {
        marks += "^"; // after the end of the line
    }
    out += gutter + text + (last < shown.size() ? "..." : "") + "\n";
    if (finding.column > 0) {
        const std::string blank = std::string(gutter.size() - 2, ' ') + "| ";
        const size_t at = marks.find_first_not_of(' ');
        out += blank + (color ? marks.substr(0, at) + kGreen + marks.substr(at) + kReset : marks) + "\n";
    }
    return out;
}

std::map<int, std::string> linesOfBytes(const std::string& bytes, const std::set<int>& numbers)
{
    std::map<int, std::string> lines;
    size_t start = 0;
    for (int number = 1; start <= bytes.size() && !numbers.empty() && number <= *numbers.rbegin(); ++number) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string::npos ? bytes.size() + 1 : end + 1;
        if (end == std::string::npos) {
            end = bytes.size();
        }
        if (numbers.count(number) != 0) {
            lines[number] =
                bytes.substr(start, end > start && bytes[end - 1] == '\r' ? end - start - 1 : end - start);
        }
        start = next;
    }
    return lines;
}

std::map<int, std::string> linesOfFile(const std::string& path, const std::set<int>& numbers)
{
    std::map<int, std::string> lines;
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::string line;
    for (int number = 1; !numbers.empty() && number <= *numbers.rbegin() && std::getline(in, line);
         ++number) {
        if (numbers.count(number) != 0) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines[number] = line;
        }
    }
    return lines;
}

std::string githubAnnotation(const std::string& file, const Finding& finding)
{
    std::string properties;
    if (file != "-") {
        properties += "file=" + commandProperty(file) + ",";
    }
    if (finding.line > 0) {
        properties += "line=" + std::to_string(finding.line) + ",";
        if (finding.column > 0) {
            properties += "col=" + std::to_string(finding.column) + ",";
        }
    }
    properties += "title=" + commandProperty("norvik " + finding.code);
    return std::string("::") + severityWord(finding) + " " + properties + "::" + commandData(finding.message);
}

std::string githubError(const std::string& file, const std::string& reason)
{
    return "::error " + (file == "-" ? std::string() : "file=" + commandProperty(file) + ",") +
           "title=norvik::" + commandData(reason);
}

bool FindingFilter::keeps(const std::string& code) const
{
    if (ignore.count(code) != 0) {
        return false;
    }
    return select.empty() || select.count(code) != 0 || code == "too-many-findings";
}

void countFindings(CheckedFile& file)
{
    file.errors = file.warnings = 0;
    for (const Finding& f : file.findings) {
        // The finding that counts those left out is not one more.
        if (f.code != "too-many-findings") {
            ++(f.error ? file.errors : file.warnings);
        }
    }
    for (const OmittedFindings& o : file.omitted) {
        (o.error ? file.errors : file.warnings) += static_cast<size_t>(std::max(o.count, 0));
    }
}

Json checkReport(const std::vector<CheckedPath>& paths, const std::vector<CheckedFile>& files,
                 const std::string& toolVersion)
{
    Json report = {{"tool", "norvik"}, {"version", toolVersion}, {"formatVersion", kCheckReportVersion}};
    size_t errors = 0, warnings = 0, unreadable = 0;
    Json given = Json::array();
    for (const CheckedPath& p : paths) {
        Json item = {{"path", p.path}, {"outcome", p.outcome}};
        if (p.outcome == "folder") {
            item["files"] = p.files;
        }
        if (!p.error.empty()) {
            item["error"] = p.error;
            ++unreadable;
        }
        given.push_back(item);
    }
    Json list = Json::array();
    for (const CheckedFile& f : files) {
        Json item = {{"path", f.path}};
        if (!f.kind) {
            item["outcome"] = "unreadable";
            item["error"] = f.error;
            ++unreadable;
        } else {
            item["outcome"] = "read";
            item["kind"] = kindName(*f.kind);
            item["errors"] = f.errors;
            item["warnings"] = f.warnings;
            item["findings"] = Json::array();
            for (const Finding& finding : f.findings) {
                item["findings"].push_back(findingJson(finding));
            }
            if (!f.omitted.empty()) {
                item["omitted"] = Json::array();
                for (const OmittedFindings& o : f.omitted) {
                    item["omitted"].push_back(
                        {{"code", o.code}, {"severity", o.error ? "error" : "warning"}, {"count", o.count}});
                }
            }
            errors += f.errors;
            warnings += f.warnings;
        }
        list.push_back(item);
    }
    report["paths"] = given;
    report["files"] = list;
    report["summary"] = {{"paths", paths.size()},
                         {"files", files.size()},
                         {"errors", errors},
                         {"warnings", warnings},
                         {"unreadable", unreadable}};
    return report;
}

std::string pathUri(const std::string& path)
{
    std::string generic = path;
    std::replace(generic.begin(), generic.end(), '\\', '/');
    const bool drive = generic.size() > 2 && std::isalpha(static_cast<unsigned char>(generic[0])) != 0 &&
                       generic[1] == ':' && generic[2] == '/';
    if (drive) {
        return "file:///" + generic.substr(0, 2) + percentEncoded(generic.substr(2), "-._~/");
    }
    if (!generic.empty() && generic[0] == '/') {
        return "file://" + percentEncoded(generic, "-._~/");
    }
    return percentEncoded(generic, "-._~/"); // ":" too is encoded: "a:b" is no scheme
}

Json sarifLog(const std::vector<CheckedPath>& paths, const std::vector<CheckedFile>& files,
              const std::string& toolVersion)
{
    Json rules = Json::array();
    std::map<std::string, size_t> ruleIndex;
    auto addRule = [&](const std::string& code, bool error, const std::string& description) {
        ruleIndex[code] = rules.size();
        rules.push_back({{"id", code},
                         {"shortDescription", {{"text", description}}},
                         {"defaultConfiguration", {{"level", error ? "error" : "warning"}}}});
    };
    for (const FindingKind& kind : findingKinds()) {
        addRule(kind.code, kind.error, kind.description);
    }
    auto location = [](const std::string& path, const Finding* finding) {
        Json artifact =
            path == "-" ? Json{{"description", {{"text", "standard input"}}}} : Json{{"uri", pathUri(path)}};
        Json physical = {{"artifactLocation", artifact}};
        if (finding != nullptr && finding->line > 0) {
            physical["region"] = {{"startLine", finding->line}};
            if (finding->column > 0) {
                physical["region"]["startColumn"] = finding->column;
            }
        }
        return Json{{"physicalLocation", physical}};
    };
    Json results = Json::array();
    Json notifications = Json::array();
    for (const CheckedPath& p : paths) {
        if (!p.error.empty()) {
            notifications.push_back({{"level", "error"},
                                     {"message", {{"text", p.error}}},
                                     {"locations", Json::array({location(p.path, nullptr)})}});
        }
    }
    for (const CheckedFile& f : files) {
        if (!f.kind) {
            notifications.push_back({{"level", "error"},
                                     {"message", {{"text", f.error}}},
                                     {"locations", Json::array({location(f.path, nullptr)})}});
            continue;
        }
        for (const Finding& finding : f.findings) {
            if (ruleIndex.count(finding.code) == 0) {
                addRule(finding.code, finding.error, finding.code);
            }
            results.push_back({{"ruleId", finding.code},
                               {"ruleIndex", ruleIndex[finding.code]},
                               {"level", finding.error ? "error" : "warning"},
                               {"message", {{"text", finding.message}}},
                               {"locations", Json::array({location(f.path, &finding)})}});
        }
    }
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).generic_u8string();
    Json run = {{"tool",
                 {{"driver",
                   {{"name", "norvik"},
                    {"version", toolVersion},
                    {"semanticVersion", toolVersion},
                    {"rules", rules}}}}},
                {"invocations", Json::array({{{"executionSuccessful", notifications.empty()},
                                              {"toolExecutionNotifications", notifications}}})},
                {"columnKind", "unicodeCodePoints"},
                {"results", results}};
    if (!ec) {
        run["originalUriBaseIds"] = {{"%SRCROOT%", {{"uri", pathUri(cwd + "/")}}}};
        for (Json& result : run["results"]) {
            Json& artifact = result["locations"][0]["physicalLocation"]["artifactLocation"];
            const std::string uri = artifact.value("uri", "");
            if (!uri.empty() && uri.rfind("file:", 0) != 0) {
                artifact["uriBaseId"] = "%SRCROOT%";
            }
        }
    }
    return {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
            {"version", "2.1.0"},
            {"runs", Json::array({run})}};
}

} // namespace norvik
