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
    CheckedFile file;
    std::map<int, std::string> source; // the lines of its findings, for the text
    bool done = false;
};

// Reads one file and keeps the findings the filter leaves.
FileResult checkOne(const std::string& path, const CheckOptions& options)
{
    FileResult result;
    std::string bytes;
    ReadResult read = loadExchangeFile(path, options.kind, options.read, &bytes);
    CheckedFile& file = result.file;
    file.path = path;
    if (!read.record) {
        file.error = read.error;
        return result;
    }
    file.kind = read.record->dataType;
    for (Finding& f : read.findings) {
        if (options.filter.keeps(f.code)) {
            file.findings.push_back(std::move(f));
        }
    }
    for (OmittedFindings& o : read.omitted) {
        if (options.filter.keeps(o.code)) {
            file.omitted.push_back(std::move(o));
        }
    }
    countFindings(file);
    if (options.format == CheckFormat::Text) {
        result.source = findingLines(path, bytes, file.findings);
    }
    return result;
}

// Prints one file's findings as they come, in the streaming formats.
void printFile(const FileResult& result, const CheckOptions& options)
{
    const CheckedFile& file = result.file;
    const std::string name = file.path == "-" ? "<stdin>" : file.path;
    if (!file.kind) {
        if (options.format == CheckFormat::Github) {
            std::cout << githubError(file.path, file.error) << "\n";
        } else if (options.format == CheckFormat::Text) {
            std::cerr << "norvik: " << file.error << "\n";
        }
        return;
    }
    for (const Finding& f : file.findings) {
        if (options.format == CheckFormat::Github) {
            std::cout << githubAnnotation(file.path, f) << "\n";
        } else if (options.format == CheckFormat::Text) {
            const auto line = result.source.find(f.line);
            std::cout << findingText(name, f, line == result.source.end() ? nullptr : &line->second,
                                     options.color);
        }
    }
}
} // namespace

std::string findingText(const std::string& name, const Finding& finding, const std::string* source,
                        bool color)
{
    std::string text = diagnosticText(name, finding, source, color);
    if (finding.code == "wrong-kind") {
        text += std::string(color ? "\033[1;36mnote:\033[0m" : "note:") +
                " give --kind auto to read each file as the kind of its content\n";
    }
    return text;
}

std::vector<std::string> findFiles(const std::vector<std::string>& paths, bool recursive,
                                   std::vector<CheckedPath>& given)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code ec;
        const fs::path p = fs::u8path(path);
        if (path != "-" && fs::is_directory(p, ec)) {
            const size_t before = files.size();
            walk(p, recursive, files);
            given.push_back({path, "folder", files.size() - before, {}});
        } else if (path == "-" || fs::exists(p, ec)) { // "-": standard input
            files.push_back(path);
            given.push_back({path, "file", 1, {}});
        } else {
            given.push_back({path, "missing", 0, path + ": no such file or folder"});
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
    std::vector<CheckedPath> given;
    const std::vector<std::string> files = findFiles(paths, options.recursive, given);
    const bool report = options.format == CheckFormat::Json || options.format == CheckFormat::Sarif;
    size_t unreadable = 0;
    for (const CheckedPath& p : given) {
        if (p.error.empty()) {
            continue;
        }
        ++unreadable;
        if (options.format == CheckFormat::Github) {
            std::cout << githubError(p.path, p.error) << "\n";
        } else if (!report) {
            std::cerr << "norvik: " << p.error << "\n";
        }
    }

    std::vector<FileResult> results(files.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < files.size(); i = next++) {
            FileResult result = checkOne(files[i], options);
            std::lock_guard<std::mutex> lock(mutex);
            results[i] = std::move(result);
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
    size_t errors = 0, warnings = 0;
    std::vector<CheckedFile> checked; // for the reports, printed at the end
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
        if (!result.file.kind) {
            ++unreadable;
        }
        errors += result.file.errors;
        warnings += result.file.warnings;
        if (report) {
            checked.push_back(std::move(result.file));
        } else {
            printFile(result, options);
        }
    }
    for (std::thread& t : threads) {
        t.join();
    }
    if (progressShown) {
        std::fprintf(stderr, "\r\033[K");
    }

    if (options.format == CheckFormat::Json) {
        std::cout << checkReport(given, checked, options.version).dump(2) << "\n";
    } else if (options.format == CheckFormat::Sarif) {
        std::cout << sarifLog(given, checked, options.version).dump(2) << "\n";
    }
    std::cout.flush();
    if (files.empty()) {
        std::cerr << "norvik: no exchange file found to check\n";
        return 2;
    }
    std::cerr << "norvik: checked " << files.size() << (files.size() == 1 ? " file: " : " files: ") << errors
              << (errors == 1 ? " error, " : " errors, ") << warnings
              << (warnings == 1 ? " warning" : " warnings");
    if (unreadable != 0u) {
        std::cerr << ", " << unreadable << " unreadable";
    }
    std::cerr << "\n";
    if (unreadable != 0u) {
        return 2;
    }
    return (errors != 0u) || (options.denyWarnings && (warnings != 0u)) ? 1 : 0;
}

} // namespace norvik
