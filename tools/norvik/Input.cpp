#include "Input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace norvik {

bool parseKindChoice(const std::string& text, KindChoice& choice)
{
    choice = {};
    if (text.empty())
        return true;
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
    std::error_code ec;
    const auto status = std::filesystem::status(fsPath, ec);
    if (!std::filesystem::exists(status)) {
        error = path + ": no such file";
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        error = path + ": is a folder, not a file";
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

ReadResult loadExchangeFile(const std::string& path, const KindChoice& choice)
{
    ReadResult result;
    const std::string name = path == "-" ? "standard input" : path;
    std::string bytes;
    // The content is read here first: missing, unreadable and folder inputs get their reason.
    if (!readWhole(path, bytes, result.error))
        return result;
    std::optional<Kind> kind = choice.given;
    if (!kind && choice.detect) {
        if (!detectsKinds()) {
            result.error = name + ": this build cannot tell a file's kind from its content; give --kind BL1..BL5";
            return result;
        }
        kind = detectKind(bytes);
        if (!kind) {
            result.error = name + ": neither the tag line nor the headers show the file's kind";
            return result;
        }
    }
    if (!kind && path != "-")
        kind = kindFromPath(path);
    if (!kind) {
        result.error = name + ": the kind is unknown (the extension is not .bl1 to .bl5); give --kind";
        return result;
    }
    if (!readable(*kind)) {
        result.error = name + ": this build does not read " + kindName(*kind) + " files";
        return result;
    }
    result = path == "-" ? readBytes(*kind, bytes) : readFile(*kind, path);
    if (!result.record && !result.error.empty())
        result.error = name + ": " + result.error;
    return result;
}

} // namespace norvik
