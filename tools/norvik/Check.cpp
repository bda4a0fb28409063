#include "Check.h"

#include "JsonRecord.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

#ifdef _WIN32
#  include <io.h>
#  define NORVIK_ISATTY(f) _isatty(_fileno(f))
#else
#  include <unistd.h>
#  define NORVIK_ISATTY(f) isatty(fileno(f))
#endif

namespace fs = std::filesystem;

namespace norvik {

namespace {
bool isWriterTemporary(const std::string& name)
{
    return name.size() > 5 && name[0] == '.' && name.compare(name.size() - 4, 4, ".tmp") == 0;
}

// Whether a folder entry is an exchange file to check.
bool wanted(const fs::directory_entry& entry)
{
    std::error_code ec;
    const std::string name = entry.path().filename().u8string();
    return !isWriterTemporary(name) && entry.is_regular_file(ec) && kindFromPath(name).has_value();
}

void walk(const fs::path& folder, bool recursive, std::vector<std::string>& out)
{
    std::vector<fs::path> files, folders;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e2;
        if (it->is_symlink(e2) && it->is_directory(e2)) {
            continue; // a link to a folder
        }
        if (it->is_directory(e2)) {
            if (recursive) {
                folders.push_back(it->path());
            }
        } else if (wanted(*it)) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& f : files) {
        out.push_back(f.u8string());
    }
    for (const fs::path& f : folders) {
        walk(f, recursive, out);
    }
}

struct FileResult
{
    std::string path;
    ReadResult read;
    bool done = false;
};

const char* severity(const Finding& f) { return f.error ? "error" : "warning"; }
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

std::string findingLine(const std::string& file, const Finding& finding)
{
    return printable(file) + ":" + std::to_string(finding.line) + ": " + severity(finding) + ": " +
           printable(finding.message) + " [" + finding.code + "]";
}

std::vector<std::string> findFiles(const std::vector<std::string>& paths, bool recursive,
                                   std::vector<std::string>& missing)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code ec;
        const fs::path p = fs::u8path(path);
        if (path != "-" && fs::is_directory(p, ec)) {
            walk(p, recursive, files);
        } else if (path == "-" || fs::exists(p, ec)) { // "-": standard input
            files.push_back(path);
        } else {
            missing.push_back(path);
        }
    }
    return files;
}

int runCheck(const std::vector<std::string>& paths, const CheckOptions& options)
{
    if (std::count(paths.begin(), paths.end(), "-") > 1) {
        std::cerr << "norvik: standard input (-) can be checked once only\n";
        return 2;
    }
    std::vector<std::string> missing;
    const std::vector<std::string> files = findFiles(paths, options.recursive, missing);
    bool failedToRead = !missing.empty();
    for (const std::string& m : missing) {
        std::cerr << "norvik: " << m << ": no such file or folder\n";
    }
    if (files.empty()) {
        std::cerr << "norvik: no exchange file found to check\n";
        return 2;
    }

    std::vector<FileResult> results(files.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < files.size(); i = next++) {
            ReadResult read = loadExchangeFile(files[i], options.kind);
            std::lock_guard<std::mutex> lock(mutex);
            results[i].path = files[i];
            results[i].read = std::move(read);
            results[i].done = true;
            ready.notify_all();
        }
    };
    unsigned jobs = options.jobs != 0u ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    jobs = static_cast<unsigned>(std::min<size_t>(jobs, files.size()));
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < jobs; ++t) {
        threads.emplace_back(work);
    }

    const bool terminal = NORVIK_ISATTY(stderr) != 0;
    const auto start = std::chrono::steady_clock::now();
    bool progressShown = false;
    size_t errors = 0, warnings = 0, unreadable = 0;
    Json report = {{"files", Json::array()}};
    for (size_t i = 0; i < files.size(); ++i) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!ready.wait_for(lock, std::chrono::milliseconds(100), [&] { return results[i].done; })) {
            if (terminal && std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) {
                size_t done = 0;
                for (const FileResult& r : results) {
                    done += static_cast<unsigned long>(r.done);
                }
                std::fprintf(stderr, "\rchecked %zu of %zu files", done, files.size());
                std::fflush(stderr);
                progressShown = true;
            }
        }
        FileResult result = std::move(results[i]);
        lock.unlock();
        if (progressShown) {
            std::fprintf(stderr, "\r\033[K");
            progressShown = false;
        }
        Json item = {{"path", result.path}};
        if (!result.read.record) {
            ++unreadable;
            failedToRead = true;
            item["error"] = result.read.error;
            if (!options.json) {
                std::cerr << "norvik: " << result.read.error << "\n";
            }
        } else {
            item["kind"] = kindName(result.read.record->dataType);
            item["findings"] = Json::array();
            for (const Finding& f : result.read.findings) {
                (f.error ? errors : warnings)++;
                if (options.json) {
                    item["findings"].push_back(findingJson(f));
                } else {
                    std::cout << findingLine(result.path == "-" ? "<stdin>" : result.path, f) << "\n";
                }
            }
        }
        report["files"].push_back(item);
    }
    for (std::thread& t : threads) {
        t.join();
    }
    if (progressShown) {
        std::fprintf(stderr, "\r\033[K");
    }

    if (options.json) {
        report["summary"] = {
            {"files", files.size()}, {"errors", errors}, {"warnings", warnings}, {"unreadable", unreadable}};
        std::cout << report.dump(2) << "\n";
    }
    std::cout.flush();
    std::cerr << "norvik: checked " << files.size() << (files.size() == 1 ? " file: " : " files: ") << errors
              << (errors == 1 ? " error, " : " errors, ") << warnings
              << (warnings == 1 ? " warning" : " warnings");
    if (unreadable != 0u) {
        std::cerr << ", " << unreadable << " unreadable";
    }
    std::cerr << "\n";
    if (failedToRead) {
        return 2;
    }
    return (errors != 0u) || (options.denyWarnings && (warnings != 0u)) ? 1 : 0;
}

} // namespace norvik
