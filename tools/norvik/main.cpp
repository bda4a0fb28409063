// norvik: look into, compare, check, convert and produce exchange files.
#include "Check.h"
#include "Compare.h"
#include "Export.h"
#include "Input.h"
#include "JsonRecord.h"
#include "Library.h"
#include "Sample.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>

namespace {

using namespace norvik;

constexpr int kUsageError = 2;

int fail(const std::string& message)
{
    std::cerr << "norvik: " << message << "\n";
    return kUsageError;
}

void printFindings(std::ostream& out, const std::string& file, const std::vector<Finding>& findings)
{
    for (const Finding& f : findings) {
        out << findingLine(file == "-" ? "<stdin>" : file, f) << "\n";
    }
}

int show(const std::string& file, const KindChoice& kind, bool all)
{
    ReadResult read = loadExchangeFile(file, kind);
    if (!read.record) {
        return fail(read.error);
    }
    std::cout << showTree(*read.record, all);
    std::cout << (read.findings.empty() ? "findings: none\n" : "findings:\n");
    printFindings(std::cout, file, read.findings);
    return 0;
}

int diff(const std::string& a, const std::string& b, const KindChoice& kind, bool json)
{
    if (a == "-" && b == "-") {
        return fail("only one of the two files can be standard input");
    }
    // Standard input takes the kind of the other file unless one is given.
    const bool stdinFirst = a == "-";
    ReadResult first = loadExchangeFile(stdinFirst ? b : a, kind);
    if (!first.record) {
        return fail(first.error);
    }
    KindChoice secondKind = kind;
    if (!kind.given && !kind.detect) {
        secondKind.given = first.record->dataType;
    }
    ReadResult second = loadExchangeFile(stdinFirst ? a : b, (a == "-" || b == "-") ? secondKind : kind);
    if (!second.record) {
        return fail(second.error);
    }
    ReadResult& before = stdinFirst ? second : first;
    ReadResult& after = stdinFirst ? first : second;
    printFindings(std::cerr, a, before.findings);
    printFindings(std::cerr, b, after.findings);
    if (before.record->dataType != after.record->dataType) {
        return fail(std::string("the files are of different kinds (") + kindName(before.record->dataType) +
                    " and " + kindName(after.record->dataType) + ")");
    }
    const Comparison c = compare(*before.record, *after.record);
    if (json) {
        std::cout << diffJson(c).dump(2) << "\n";
    } else {
        std::cout << diffText(c);
    }
    return c.differences.empty() ? 0 : 1;
}

int toJsonCommand(const std::string& file, const KindChoice& kind)
{
    ReadResult read = loadExchangeFile(file, kind);
    if (!read.record) {
        return fail(read.error);
    }
    printFindings(std::cerr, file, read.findings);
    std::cout << toJson(*read.record).dump(2) << "\n";
    return 0;
}

int fromJsonCommand(const std::string& in, const std::string& out, bool strict)
{
    std::string text, error;
    if (!readWhole(in, text, error)) {
        return fail(error);
    }
    const std::string name = in == "-" ? "standard input" : in;
    auto record = fromJsonText(text, error);
    if (!record) {
        return fail(name + ": " + error);
    }
    const ExportOutcome outcome = exportRecord(*record, out, strict, name);
    for (const CheckItem& p : outcome.problems) {
        std::cerr << "norvik: " << (strict ? "error" : "warning") << ": " << p.path << ": " << p.reason
                  << " [" << p.code << "]\n";
    }
    if (!outcome.refused.empty()) {
        return fail(outcome.refused);
    }
    return outcome.error.empty() ? 0 : fail(outcome.error);
}

int sample(const std::string& kindName_, const std::string& out, const std::string& folder)
{
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::u8path(folder), ec);
        if (ec) {
            return fail(folder + ": " + ec.message());
        }
        for (Kind k : allKinds()) {
            const std::string error =
                writeRecord(*sampleRecord(k), (std::filesystem::u8path(folder) / "sample").u8string());
            if (!error.empty()) {
                return fail(error);
            }
        }
        return 0;
    }
    const auto kind = kindFromName(kindName_);
    if (!kind) {
        return fail("unknown kind \"" + kindName_ + "\" (one of BL1 to BL5)");
    }
    if (out.empty()) {
        return fail("sample needs KIND OUT, or --all DIR\nRun 'norvik sample --help' for more information.");
    }
    const std::string error = writeRecord(*sampleRecord(*kind), out);
    return error.empty() ? 0 : fail(error);
}

std::string markdownCell(const std::string& text, bool code = false)
{
    std::string out;
    for (char c : text) {
        out += c == '|' ? std::string("\\|") : std::string(1, c);
    }
    return code && !out.empty() ? "`" + out + "`" : out;
}

// The record part that a group's lines fill: the first name of its fields' paths.
std::string recordPart(const std::string& fields)
{
    const size_t end = fields.find_first_of(". ");
    return end == std::string::npos ? std::string() : fields.substr(0, end);
}

std::string formatReference(const std::vector<Kind>& kinds)
{
    const bool every = kinds.size() > 1;
    const std::string kindLevel = every ? "## " : "# ", groupLevel = every ? "### " : "## ";
    std::string md;
    if (every) {
        md += "# Exchange file format\n\n";
    }
    if (every || !kinds.empty()) {
        md +=
            "Generated by `norvik format` from the library's line tables. For each group: its lines in the "
            "order the writer writes them, as it lays them out (the blanks as written; each value as its "
            "format: `%d` an integer, `%3.3f` a real with three decimals, `%s` a text; `A|B` the words a "
            "code chooses from), the record field behind each value (`[]`: each element of an array; `-`: a "
            "constant; a field the line's words carry comes first) and the condition under which the line is "
            "written. Each group ends with a `FIN` line.\n\n";
    }
    for (Kind k : kinds) {
        md += kindLevel + kindName(k) + " files (." + kindExtension(k) + ")\n\n";
        const std::vector<FormatGroup> groups = formatGroups(k);
        if (groups.empty()) {
            md += "Not described by this build.\n\n";
            continue;
        }
        for (const FormatGroup& g : groups) {
            md += groupLevel + (g.header.empty() ? std::string("Tag line") : "Group `" + g.header + "`");
            const std::string part = g.lines.empty() ? "" : recordPart(g.lines.front().field);
            if (!g.header.empty() && !part.empty()) {
                md += ": " + part;
            }
            md += "\n\n";
            if (!g.when.empty()) {
                md += "Condition: " + g.when +
                      (g.condition == "always" ? "" : " (" + markdownCell(g.condition, true) + ")") + ".\n\n";
            }
            md += "| Line as written | Record fields | Condition | Written when |\n|---|---|---|---|\n";
            for (const FormatLine& l : g.lines) {
                md += "| " + markdownCell(l.layout, true) + " | " + markdownCell(l.field, true) + " | " +
                      markdownCell(l.condition, true) + " | " + markdownCell(l.when) + " |\n";
            }
            md += "\n";
        }
    }
    return md;
}

} // namespace

int main(int argc, char** argv)
try {
    CLI::App app{"norvik " NORVIK_VERSION ": look into, compare, check, convert and produce steel-connection "
                 "exchange files (BL1 to BL5).",
                 "norvik"};
    app.set_version_flag("--version", "norvik " NORVIK_VERSION, "Print the version and exit");
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 success; 1 findings (check) or differences (diff); 2 usage error or unreadable input.\n"
        "Run 'norvik SUBCOMMAND --help' for a subcommand's options.");

    std::string kindText;
    auto addKind = [&](CLI::App* sub) {
        sub->add_option("--kind", kindText,
                        "The files' kind: BL1..BL5, or auto (from the tag line and the headers); "
                        "default: from the extension");
    };

    CheckOptions checkOptions;
    std::vector<std::string> checkPaths;
    auto* check = app.add_subcommand("check", "Check exchange files and folders of them; print each finding "
                                              "as FILE:LINE: error|warning: MESSAGE [code]");
    check
        ->add_option("PATH", checkPaths,
                     "Files, or folders (their top level; -r descends); - for standard input (with --kind)")
        ->required();
    check->add_flag("-r,--recursive", checkOptions.recursive,
                    "Descend into subfolders (links to folders are not followed)");
    check->add_flag("--json", checkOptions.json, "Print one JSON document of the files and their findings");
    check->add_flag("--deny-warnings", checkOptions.denyWarnings, "Fail on warnings too");
    check->add_option("-j,--jobs", checkOptions.jobs, "Files checked at once (default: all cores)")
        ->check(CLI::Range(1u, 1024u));
    addKind(check);

    std::string file, fileB, outPath, folder, sampleKind;
    bool all = false, json = false, strict = false;
    auto* showCmd =
        app.add_subcommand("show", "Show a file's record as a tree of the fields that differ from a fresh "
                                   "record, then its findings");
    showCmd->add_option("FILE", file, "The exchange file; - for standard input")->required();
    showCmd->add_flag("--all", all, "Show every field, unset ones as \"unset\"");
    addKind(showCmd);

    auto* diffCmd =
        app.add_subcommand("diff", "Compare two files of one kind field by field: path: old -> new");
    diffCmd->add_option("A", file, "The first file")->required();
    diffCmd->add_option("B", fileB, "The second file")->required();
    diffCmd->add_flag("--json", json, "Print the differences as JSON");
    addKind(diffCmd);

    auto* toJsonCmd = app.add_subcommand("to-json", "Print a file's record as JSON");
    toJsonCmd->add_option("FILE", file, "The exchange file; - for standard input (with --kind)")->required();
    addKind(toJsonCmd);

    auto* fromJsonCmd = app.add_subcommand("from-json", "Write the exchange file of a record given as JSON");
    fromJsonCmd->add_option("JSON", file, "The JSON file; - for standard input")->required();
    fromJsonCmd
        ->add_option("OUT", outPath,
                     "The file to write; the kind's extension is added unless OUT ends in it; "
                     "- for standard output")
        ->required();
    fromJsonCmd->add_flag("--strict", strict, "Refuse values that the file cannot carry (exit 2, no file)");

    std::string schemaKind;
    auto* schemaCmd = app.add_subcommand("schema", "Print the JSON Schema (draft 2020-12) of a kind's JSON");
    schemaCmd->add_option("KIND", schemaKind, "BL1..BL5")->required();

    auto* sampleCmd = app.add_subcommand("sample", "Write a realistic, fully filled file of a kind");
    sampleCmd->add_option("KIND", sampleKind, "BL1..BL5");
    sampleCmd->add_option("OUT", outPath,
                          "The file to write; the kind's extension is added unless OUT ends in it");
    sampleCmd->add_option("--all", folder, "Write DIR/sample.bl1 .. DIR/sample.bl5 instead");

    std::string formatKind;
    auto* formatCmd = app.add_subcommand("format", "Print the format reference in Markdown");
    formatCmd->add_option("KIND", formatKind, "BL1..BL5; default: every kind");

    if (argc > 1 && argv[1][0] != '-') {
        try {
            app.get_subcommand(argv[1]);
        } catch (const CLI::OptionNotFound&) {
            return fail(std::string("unknown subcommand \"") + argv[1] +
                        "\"\nRun 'norvik --help' for usage.");
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "norvik: " << e.what() << "\nRun 'norvik --help' for usage.\n";
        return kUsageError;
    }

    KindChoice kind;
    if (!parseKindChoice(kindText, kind)) {
        return fail("unknown kind \"" + kindText + "\" (BL1..BL5 or auto)");
    }

    try {
        if (check->parsed()) {
            checkOptions.kind = kind;
            return runCheck(checkPaths, checkOptions);
        }
        if (showCmd->parsed()) {
            return show(file, kind, all);
        }
        if (diffCmd->parsed()) {
            return diff(file, fileB, kind, json);
        }
        if (toJsonCmd->parsed()) {
            return toJsonCommand(file, kind);
        }
        if (fromJsonCmd->parsed()) {
            return fromJsonCommand(file, outPath, strict);
        }
        if (schemaCmd->parsed()) {
            const auto k = kindFromName(schemaKind);
            if (!k) {
                return fail("unknown kind \"" + schemaKind + "\" (one of BL1 to BL5)");
            }
            std::cout << jsonSchema(*k).dump(2) << "\n";
            return 0;
        }
        if (sampleCmd->parsed()) {
            if (folder.empty() == sampleKind.empty()) {
                return fail(
                    "sample needs KIND OUT, or --all DIR\nRun 'norvik sample --help' for more information.");
            }
            return sample(sampleKind, outPath, folder);
        }
        if (formatCmd->parsed()) {
            std::vector<Kind> kinds = allKinds();
            if (!formatKind.empty()) {
                const auto k = kindFromName(formatKind);
                if (!k) {
                    return fail("unknown kind \"" + formatKind + "\" (one of BL1 to BL5)");
                }
                kinds = {*k};
            }
            std::cout << formatReference(kinds);
            return 0;
        }
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return kUsageError;
} catch (const std::exception& e) {
    // Setting up the options can fail too (no memory); the tool then ends with a message.
    return fail(e.what());
}
