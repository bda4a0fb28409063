#include "Input.h"

#include "Diagnostics.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>

namespace norvik {

namespace {
// Why `path` cannot be read as a file, or empty.
std::string notAFile(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(std::filesystem::u8path(path), ec);
    if (!std::filesystem::exists(status)) {
        return path + ": no such file";
    }
    if (std::filesystem::is_directory(status)) {
        return path + ": is a folder, not a file";
    }
    return {};
}
} // namespace

bool parseKindChoice(const std::string& text, KindChoice& choice)
{
    choice = {};
    if (text.empty()) {
        return true;
    }
    if (text == "auto") {
        choice.detect = true;
        return true;
    }
    choice.given = kindFromName(text);
    return choice.given.has_value();
}

bool readWhole(const std::string& path, std::string& bytes, std::string& error)
{
    if (path == "-") {
        std::ostringstream all;
        all << std::cin.rdbuf();
        bytes = all.str();
        if (std::cin.bad()) {
            error = "standard input: cannot be read";
            return false;
        }
        return true;
    }
    const auto fsPath = std::filesystem::u8path(path);
    error = notAFile(path);
    if (!error.empty()) {
        return false;
    }
    errno = 0;
    std::ifstream in(fsPath, std::ios::binary);
    if (!in) {
        error = path + ": " + (errno ? std::strerror(errno) : "cannot be opened");
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path + ": cannot be read";
        return false;
    }
    return true;
}

ReadResult loadExchangeFile(const std::string& path, const KindChoice& choice, const ReadOptions& options,
                            std::string* bytes)
{
    ReadResult result;
    const bool stdinput = path == "-";
    const std::string name = stdinput ? "standard input" : path;
    if (!stdinput) {
        result.error = notAFile(path);
    }
    if (!result.error.empty()) {
        return result;
    }
    std::optional<Kind> kind = choice.given;
    if (!kind && !choice.detect && !stdinput) {
        kind = kindFromPath(path);
    }
    if (!kind && !choice.detect) {
        result.error =
            name + (stdinput ? ": the kind is unknown; give --kind BL1..BL5 or auto"
                             : ": the kind is unknown (the extension is not .bl1 to .bl5); give --kind");
        return result;
    }
    // A file of a known kind goes to its reader by path; standard input and
    // files whose content tells the kind are read here first.
    if (kind && !stdinput) {
        result = readFile(*kind, path, options);
        if (!result.record) {
            result.error = name + ": " + result.error;
        }
        return result;
    }
    std::string content;
    if (!readWhole(path, content, result.error)) {
        return result;
    }
    result = readBytesAs(name, content, kind, options);
    if (bytes != nullptr) {
        *bytes = std::move(content);
    }
    return result;
}

std::map<int, std::string> findingLines(const std::string& path, const std::string& bytes,
                                        const std::vector<Finding>& findings)
{
    std::set<int> numbers;
    for (const Finding& f : findings) {
        if (f.line > 0) {
            numbers.insert(f.line);
        }
    }
    if (numbers.empty()) {
        return {};
    }
    return bytes.empty() && path != "-" ? linesOfFile(path, numbers) : linesOfBytes(bytes, numbers);
}

} // namespace norvik
