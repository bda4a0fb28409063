// norvik: look into, compare, check, convert and produce exchange files.
#include "Check.h"
#include "Compare.h"
#include "Diagnostics.h"
#include "FindingKinds.h"
#include "Export.h"
#include "Input.h"
#include "JsonRecord.h"
#include "Library.h"
#include "Sample.h"
#include "Usage.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <limits>

namespace {

using namespace norvik;

constexpr int kUsageError = 2;

int fail(const std::string& message)
{
    std::cerr << "norvik: " << message << "\n";
    return kUsageError;
}

// The options of the subcommands that read exchange files.
struct Reading
{
    std::string kind;
    int maxFindings = ReadOptions().maxFindings;
    std::string color = "auto";
    KindChoice choice; // from `kind`, once parsed

    // `fieldLines`: the reads note the line of each field, for show and diff.
    ReadOptions options(bool fieldLines = false) const
    {
        ReadOptions o;
        o.maxFindings = maxFindings;
        o.fieldLines = fieldLines;
        return o;
    }
};

// The findings of a read, each with its source line; `bytes` are the file's
// when they were read here, else the lines come from the file.
void printFindings(std::ostream& out, bool color, const std::string& file, const ReadResult& read,
                   const std::string& bytes)
{
    const std::map<int, std::string> lines = findingLines(file, bytes, read.findings);
    for (const Finding& f : read.findings) {
        const auto line = lines.find(f.line);
        out << findingText(file == "-" ? "<stdin>" : file, f, line == lines.end() ? nullptr : &line->second,
                           color);
    }
}

bool hasError(const ReadResult& read)
{
    return std::any_of(read.findings.begin(), read.findings.end(), [](const Finding& f) { return f.error; });
}

int show(const std::string& file, const Reading& reading, bool all)
{
    std::string bytes;
    ReadResult read = loadExchangeFile(file, reading.choice, reading.options(true), &bytes);
    if (!read.record) {
        return fail(read.error);
    }
    std::cout << showText(read, all);
    std::cout << (read.findings.empty() ? "findings: none\n" : "findings:\n");
    printFindings(std::cout, useColor(reading.color, stdout), file, read, bytes);
    return 0;
}

// Why a file read by the kind of its name cannot be compared: its content
// is of another kind. Empty when it is not.
std::string otherContent(const std::string& file, const ReadResult& read)
{
    for (const Finding& f : read.findings) {
        if (f.code == "wrong-kind") {
            return (file == "-" ? std::string("standard input") : file) + ": read as " +
                   kindName(read.record->dataType) + ", its content is of another kind (" + f.message +
                   "); give --kind auto to read each file as the kind of its content";
        }
    }
    return {};
}

int diff(const std::string& a, const std::string& b, const Reading& reading, bool json)
{
    if (a == "-" && b == "-") {
        return fail("only one of the two files can be standard input");
    }
    // Standard input takes the kind of the other file unless one is given.
    const bool stdinFirst = a == "-";
    std::string bytesFirst, bytesSecond;
    ReadResult first =
        loadExchangeFile(stdinFirst ? b : a, reading.choice, reading.options(true), &bytesFirst);
    if (!first.record) {
        return fail(first.error);
    }
    KindChoice secondKind = reading.choice;
    if (!secondKind.given && !secondKind.detect) {
        secondKind.given = first.record->dataType;
    }
    ReadResult second =
        loadExchangeFile(stdinFirst ? a : b, (a == "-" || b == "-") ? secondKind : reading.choice,
                         reading.options(true), &bytesSecond);
    if (!second.record) {
        return fail(second.error);
    }
    ReadResult& before = stdinFirst ? second : first;
    ReadResult& after = stdinFirst ? first : second;
    for (const auto& [file, read] : {std::make_pair(a, &before), std::make_pair(b, &after)}) {
        const std::string why = otherContent(file, *read);
        if (!why.empty()) {
            return fail(why);
        }
    }
    if (before.record->dataType != after.record->dataType) {
        return fail(std::string("the files are of different kinds (") + kindName(before.record->dataType) +
                    " and " + kindName(after.record->dataType) + ")");
    }
    const bool color = useColor(reading.color, stderr);
    printFindings(std::cerr, color, a, before, stdinFirst ? bytesSecond : bytesFirst);
    printFindings(std::cerr, color, b, after, stdinFirst ? bytesFirst : bytesSecond);
    // The JSON keeps the layer's record differences, which the Python module's diff gives too.
    if (json) {
        const Comparison c = compare(*before.record, *after.record);
        std::cout << diffJson(c).dump(2) << "\n";
        return c.differences.empty() ? 0 : 1;
    }
    const FileComparison c = compareFiles(before, after);
    std::cout << diffText(c);
    return c.differences.empty() ? 0 : 1;
}

// The JSON goes to standard output whatever the findings; an error finding
// (a value lost or misread) makes the exit status 1, as for check.
int toJsonCommand(const std::string& file, const Reading& reading)
{
    std::string bytes;
    ReadResult read = loadExchangeFile(file, reading.choice, reading.options(), &bytes);
    if (!read.record) {
        return fail(read.error);
    }
    printFindings(std::cerr, useColor(reading.color, stderr), file, read, bytes);
    std::cout << toJson(*read.record).dump(2) << "\n";
    return hasError(read) ? 1 : 0;
}

int fromJsonCommand(const std::string& in, const std::string& out, bool strict)
{
    std::string text, error;
    if (!readWhole(in, text, error)) {
        return fail(error);
    }
    const std::string name = in == "-" ? "standard input" : in;
    std::vector<CheckItem> problems;
    auto record = fromJsonText(text, error, &problems);
    if (!record) {
        return fail(name + ": " + error);
    }
    // The values given as an undefined value count with those the file cannot carry.
    const ExportOutcome outcome = exportRecord(*record, out, strict, name, problems);
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
    if (const std::string refused = outputNameError(out, *kind); !refused.empty()) {
        return fail(refused);
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

namespace {
// The names of a subcommand's options, for "did you mean".
std::vector<std::string> optionNames(const CLI::App& sub)
{
    std::vector<std::string> names;
    for (const CLI::Option* option : sub.get_options()) {
        for (const std::string& n : option->get_lnames()) {
            names.push_back("--" + n);
        }
        for (const std::string& n : option->get_snames()) {
            names.push_back("-" + n);
        }
    }
    return names;
}

// An argument of `sub` that no option or operand took: the message names it.
std::string unexpected(const CLI::App& sub, const std::string& argument)
{
    if (argument.size() > 1 && argument[0] == '-') {
        const std::string name = argument.substr(0, argument.find('='));
        return "unknown option " + name + didYouMean(name, optionNames(sub));
    }
    return "unexpected argument \"" + argument + "\"";
}

// The error of a subcommand, pointing to its help.
int subcommandError(const std::string& sub, const std::string& message)
{
    return fail(sub + ": " + message + "\nRun 'norvik " + sub + " --help' for more information.");
}

// The codes of --select and --ignore: each must be a finding code.
bool codesKnown(const std::vector<std::string>& codes, std::string& error)
{
    std::vector<std::string> all;
    for (const FindingKind& k : findingKinds()) {
        all.push_back(k.code);
    }
    for (const std::string& code : codes) {
        if (findingKind(code) == nullptr) {
            error = "unknown finding code \"" + code + "\"" + didYouMean(code, all);
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
try {
    CLI::App app{"norvik " NORVIK_VERSION ": look into, compare, check, convert and produce steel-connection "
                 "exchange files (BL1 to BL5).",
                 "norvik"};
    app.set_version_flag("-V,--version", "norvik " NORVIK_VERSION, "Print the version and exit");
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 success; 1 error findings (check, to-json) or differences (diff); 2 usage error or "
        "unreadable input.\n"
        "Run 'norvik SUBCOMMAND --help' for a subcommand's options.");

    std::vector<Reading> readings(4);
    auto addReading = [&](CLI::App* sub, Reading& reading) {
        sub->add_option("--kind", reading.kind,
                        "The files' kind: BL1..BL5, or auto (from the tag line and the headers); "
                        "default: from the extension");
        sub->add_option("--max-findings", reading.maxFindings,
                        "Findings kept in full per file; the rest are counted (default: 1000)")
            ->check(CLI::Range(1, std::numeric_limits<int>::max()));
        sub->add_option("--color", reading.color,
                        "Colour the findings: auto (on a terminal, unless NO_COLOR is set), always, never")
            ->check(CLI::IsMember({"auto", "always", "never"}));
        sub->allow_extras(); // reported below with "did you mean"
    };

    CheckOptions checkOptions;
    std::vector<std::string> checkPaths, select, ignore;
    std::string checkFormat = "text";
    bool checkJson = false;
    auto* check =
        app.add_subcommand("check", "Check exchange files and folders of them; print each finding "
                                    "as FILE:LINE:COLUMN: error|warning: MESSAGE [code] with its line");
    check
        ->add_option("PATH", checkPaths,
                     "Files, or folders (their top level; -r descends); - for standard input (with --kind)")
        ->required();
    check->add_flag("-r,--recursive", checkOptions.recursive,
                    "Descend into subfolders (links to folders are not followed)");
    auto* formatOption =
        check
            ->add_option(
                "--format", checkFormat,
                "text (with the source lines), json (the files, paths and findings), sarif (SARIF 2.1.0 "
                "for code scanning) or github (workflow annotations)")
            ->check(CLI::IsMember({"text", "json", "sarif", "github"}));
    check->add_flag("--json", checkJson, "The same as --format json")->excludes(formatOption);
    check->add_flag("--deny-warnings", checkOptions.denyWarnings, "Fail on warnings too");
    check->add_option("--select", select, "Only these finding codes, separated by commas")->delimiter(',');
    check->add_option("--ignore", ignore, "Leave out these finding codes, separated by commas")
        ->delimiter(',');
    check->add_option("-j,--jobs", checkOptions.jobs, "Files checked at once (default: all cores)")
        ->check(CLI::Range(1u, 1024u));
    addReading(check, readings[0]);

    std::string file, fileB, outPath, folder, sampleKind;
    bool all = false, json = false, strict = false;
    auto* showCmd = app.add_subcommand(
        "show",
        "Show a file's fields that differ from a fresh record, each with its keyword, line and value as "
        "the file writes it, then its findings");
    showCmd->add_option("FILE", file, "The exchange file; - for standard input")->required();
    showCmd->add_flag("--all", all, "Show every field, unset ones as \"unset\"");
    addReading(showCmd, readings[1]);

    auto* diffCmd = app.add_subcommand(
        "diff", "Compare two files of one kind field by field: path  KEYWORD  line N: old -> line M: new");
    diffCmd->add_option("A", file, "The first file")->required();
    diffCmd->add_option("B", fileB, "The second file")->required();
    diffCmd->add_flag("--json", json, "Print the differences as JSON: path, old and new value per field");
    addReading(diffCmd, readings[2]);

    auto* toJsonCmd = app.add_subcommand(
        "to-json", "Print a file's record as JSON; its findings go to standard error (exit 1 on an error)");
    toJsonCmd->add_option("FILE", file, "The exchange file; - for standard input (with --kind)")->required();
    addReading(toJsonCmd, readings[3]);

    auto* fromJsonCmd = app.add_subcommand("from-json", "Write the exchange file of a record given as JSON");
    fromJsonCmd->add_option("JSON", file, "The JSON file; - for standard input")->required();
    fromJsonCmd
        ->add_option("OUT", outPath,
                     "The file to write; the kind's extension is added unless OUT ends in it (another kind's "
                     "extension is refused); - for standard output")
        ->required();
    fromJsonCmd->add_flag(
        "--strict", strict,
        "Refuse values that the file cannot carry and numbers or texts equal to an undefined "
        "value (write null) (exit 2, no file)");

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

    for (CLI::App* sub : {fromJsonCmd, schemaCmd, sampleCmd, formatCmd}) {
        sub->allow_extras();
    }

    // The first argument is the subcommand, or an option of the tool's own.
    std::vector<std::string> subcommands;
    for (const CLI::App* sub : app.get_subcommands({})) {
        subcommands.push_back(sub->get_name());
    }
    if (argc < 2) {
        return fail("a subcommand is required: one of check, show, diff, to-json, from-json, schema, sample, "
                    "format\nRun 'norvik --help' for usage.");
    }
    const std::string first = argv[1];
    const std::vector<std::string> own = {"-h", "--help", "-V", "--version"};
    if (first.size() > 1 && first[0] == '-' && std::find(own.begin(), own.end(), first) == own.end()) {
        const std::string name = first.substr(0, first.find('='));
        std::string message = "unknown option " + name + didYouMean(name, own);
        std::vector<std::string> owners;
        for (CLI::App* sub : app.get_subcommands({})) {
            if (sub->get_option_no_throw(name) != nullptr) {
                owners.push_back(sub->get_name());
            }
        }
        if (!owners.empty()) {
            message += ": it is an option of " + owners.front() + (owners.size() > 1 ? " and others" : "") +
                       ", given after the subcommand (norvik " + owners.front() + " " + name + " ...)";
        }
        return fail(message + "\nRun 'norvik --help' for usage.");
    }
    if (first[0] != '-' && std::find(subcommands.begin(), subcommands.end(), first) == subcommands.end()) {
        return fail("unknown subcommand \"" + first + "\"" + didYouMean(first, subcommands) +
                    "\nRun 'norvik --help' for usage.");
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        if (first[0] == '-') {
            return fail(std::string(e.what()) + "\nRun 'norvik --help' for usage.");
        }
        // An option it did not know explains a missing operand better than the operand does.
        const CLI::App* sub = app.get_subcommand(first);
        if (!sub->remaining().empty()) {
            return subcommandError(first, unexpected(*sub, sub->remaining().front()));
        }
        return subcommandError(first, e.what());
    }
    for (const CLI::App* sub : app.get_subcommands()) {
        if (!sub->remaining().empty()) {
            return subcommandError(sub->get_name(), unexpected(*sub, sub->remaining().front()));
        }
    }
    for (Reading& reading : readings) {
        if (!parseKindChoice(reading.kind, reading.choice)) {
            return fail("unknown kind \"" + reading.kind + "\" (BL1..BL5 or auto)");
        }
    }

    try {
        if (check->parsed()) {
            std::string error;
            if (!codesKnown(select, error) || !codesKnown(ignore, error)) {
                return subcommandError("check", error);
            }
            checkOptions.kind = readings[0].choice;
            checkOptions.read = readings[0].options();
            checkOptions.filter.select.insert(select.begin(), select.end());
            checkOptions.filter.ignore.insert(ignore.begin(), ignore.end());
            checkOptions.format = checkJson || checkFormat == "json" ? CheckFormat::Json
                                  : checkFormat == "sarif"           ? CheckFormat::Sarif
                                  : checkFormat == "github"          ? CheckFormat::Github
                                                                     : CheckFormat::Text;
            checkOptions.color = useColor(readings[0].color, stdout);
            checkOptions.version = NORVIK_VERSION;
            return runCheck(checkPaths, checkOptions);
        }
        if (showCmd->parsed()) {
            return show(file, readings[1], all);
        }
        if (diffCmd->parsed()) {
            return diff(file, fileB, readings[2], json);
        }
        if (toJsonCmd->parsed()) {
            return toJsonCommand(file, readings[3]);
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
