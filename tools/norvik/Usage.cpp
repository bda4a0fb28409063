#include "Usage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#ifdef _WIN32
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  define WIN32_LEAN_AND_MEAN
#  include <io.h>
#  include <windows.h>
#  ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#    define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#  endif
#  define NORVIK_ISATTY(f) _isatty(_fileno(f))
#else
#  include <unistd.h>
#  define NORVIK_ISATTY(f) isatty(fileno(f))
#endif

namespace norvik {

namespace {
std::string lower(std::string s)
{
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string withoutDashes(const std::string& s)
{
    return s.substr(std::min(s.find_first_not_of('-'), s.size()));
}
} // namespace

size_t editDistance(const std::string& a0, const std::string& b0)
{
    const std::string a = lower(a0), b = lower(b0);
    // d[i][j]: the distance of the first i letters of a and the first j of b.
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

std::vector<std::string> suggestions(const std::string& word, const std::vector<std::string>& candidates)
{
    const std::string bare = withoutDashes(word);
    std::vector<std::string> best, starting;
    size_t bestDistance = bare.size() <= 4 ? 1 : 2;
    for (const std::string& candidate : candidates) {
        if (candidate == word) {
            continue;
        }
        const std::string other = withoutDashes(candidate);
        if (bare.size() <= 1 || other.size() <= 1) {
            if (lower(bare) == lower(other) && !bare.empty() && word.size() == candidate.size()) {
                best = {candidate};
                bestDistance = 0;
            }
            continue;
        }
        if (bare.size() >= 2 && lower(other).rfind(lower(bare), 0) == 0) {
            starting.push_back(candidate);
        }
        const size_t distance = editDistance(word, candidate);
        if (distance < bestDistance) {
            best.clear();
            bestDistance = distance;
        }
        if (distance == bestDistance && distance < bare.size()) {
            best.push_back(candidate);
        }
    }
    if (best.empty() && starting.size() == 1) {
        return starting;
    }
    return best;
}

std::string didYouMean(const std::string& word, const std::vector<std::string>& candidates)
{
    const std::vector<std::string> found = suggestions(word, candidates);
    if (found.empty()) {
        return {};
    }
    std::string text = " (did you mean ";
    for (size_t i = 0; i < found.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == found.size() ? " or " : ", ") + found[i];
    }
    return text + "?)";
}

bool useColor(const std::string& when, FILE* stream)
{
    if (when == "always" || when == "never") {
        return when == "always";
    }
    const char* noColor = std::getenv("NO_COLOR"); // https://no-color.org: set and not empty
    if ((noColor != nullptr && *noColor != '\0') || NORVIK_ISATTY(stream) == 0) {
        return false;
    }
#ifdef _WIN32
    // A console shows the escapes once it is asked to; an older one cannot.
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0 &&
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
    const char* term = std::getenv("TERM");
    return term == nullptr || std::string(term) != "dumb";
#endif
}

} // namespace norvik
