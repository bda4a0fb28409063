#include "Library.h"

#include <KivBL1Layout.h>
#include <KivBL2Layout.h>
#include <KivBL3Layout.h>
#include <KivNorvikBL1Reader.h>
#include <KivNorvikBL2Reader.h>
#include <KivNorvikBL3Reader.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <process.h>
#define NORVIK_PID _getpid()
#else
#include <unistd.h>
#define NORVIK_PID getpid()
#endif

namespace norvik {

namespace {
template <class Reader>
ReadResult readWith(Kind kind, const std::string& path)
{
    ReadResult result;
    auto record = freshRecord(kind);
    Reader reader(fromUtf8(path));
    if (!reader.readFile(*record)) {
        result.error = "cannot be read";
        return result;
    }
    result.record = std::move(record);
    return result;
}

const KivNorvikKindLayout* layoutOf(Kind kind)
{
    switch (kind) {
    case KivNorvikData::eBL1: return &KivBL1Layout::kind();
    case KivNorvikData::eBL2: return &KivBL2Layout::kind();
    case KivNorvikData::eBL3: return &KivBL3Layout::kind();
    default: return nullptr;
    }
}

const char* valueFormat(KivNorvikValueKind kind)
{
    switch (kind) {
    case KivNorvikValueKind::Integer: return "integer";
    case KivNorvikValueKind::Real: return "real";
    case KivNorvikValueKind::Text: return "text";
    default: return "";
    }
}
} // namespace

bool readable(Kind kind) { return kind <= KivNorvikData::eBL3; }

ReadResult readFile(Kind kind, const std::string& path)
{
    switch (kind) {
    case KivNorvikData::eBL1: return readWith<KivNorvikBL1Reader>(kind, path);
    case KivNorvikData::eBL2: return readWith<KivNorvikBL2Reader>(kind, path);
    case KivNorvikData::eBL3: return readWith<KivNorvikBL3Reader>(kind, path);
    default: {
        ReadResult result;
        result.error = std::string("this build does not read ") + kindName(kind) + " files";
        return result;
    }
    }
}

ReadResult readBytes(Kind kind, const std::string& bytes)
{
    if (!readable(kind))
        return readFile(kind, {});
    static std::atomic<int> counter{0};
    const auto path = std::filesystem::temp_directory_path() /
                      ("norvik-in-" + std::to_string(NORVIK_PID) + "-" + std::to_string(counter++));
    {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            ReadResult result;
            result.error = "cannot be buffered in " + path.u8string();
            return result;
        }
    }
    ReadResult result = readFile(kind, path.u8string());
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return result;
}

std::optional<Kind> detectKind(const std::string&) { return std::nullopt; }
bool detectsKinds() { return false; }

std::vector<CheckItem> recordCheck(const KivNorvikData&) { return {}; }

std::vector<FormatGroup> formatGroups(Kind kind)
{
    std::vector<FormatGroup> groups;
    const KivNorvikKindLayout* layout = layoutOf(kind);
    if (!layout)
        return groups;
    for (int g = 0; g < layout->groupCount; ++g) {
        const KivNorvikGroupLayout& group = layout->groups[g];
        FormatGroup out{group.header, {}};
        for (int r = 0; r < group.ruleCount; ++r) {
            const KivNorvikLineRule& rule = group.rules[r];
            FormatLine line{rule.keyword, {}, {}, {}};
            if (rule.pattern && *rule.pattern)
                line.keyword += std::string(" ") + rule.pattern;
            for (int v = 0; v < KivNorvikLineRule::kMaxValues && rule.values[v].field; ++v) {
                const KivNorvikValue& value = rule.values[v];
                if (value.kind == KivNorvikValueKind::Fixed)
                    continue;
                line.format += (line.format.empty() ? "" : " ") + std::string(valueFormat(value.kind));
                line.field += (line.field.empty() ? "" : ", ") + std::string(value.field);
            }
            out.lines.push_back(line);
        }
        groups.push_back(out);
    }
    return groups;
}

} // namespace norvik
