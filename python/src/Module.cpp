// norvik._norvik: read, check and write exchange files from Python, through
// the JSON layer that the norvik tool uses, so that records, findings,
// differences and written bytes are the tool's.
#include "Compare.h"
#include "Export.h"
#include "FileContent.h"
#include "JsonRecord.h"
#include "Library.h"
#include "PyJson.h"
#include "RecordDict.h"

#include <pybind11/pybind11.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;
using namespace norvik;
using norvik::python::jsonFromPython;
using norvik::python::pythonFromJson;
using norvik::python::pythonText;

namespace {

// A read: kept native until its record or findings are asked for, then
// converted once. The native record stays, so that a result whose dict was
// never made is written or compared without a conversion.
class Result
{
public:
    Result(ReadResult&& read, py::object path)
        : path_(std::move(path)), record_(std::move(read.record)), findings_(std::move(read.findings))
    {
        for (const Finding& f : findings_) {
            ok_ = ok_ && !f.error;
        }
    }

    const char* kind() const { return kindName(record_->dataType); }
    std::string projectName() const { return toUtf8(record_->projectName); }
    bool ok() const { return ok_; }
    const py::object& path() const { return path_; }
    const std::vector<Finding>& nativeFindings() const { return findings_; }

    // Under the GIL, which a conversion may give up (a garbage collection
    // running a finalizer): two threads may then both convert, and the first
    // result stays.
    py::object record()
    {
        if (!dict_) {
            py::object made = python::recordDict(*record_);
            if (!dict_) {
                dict_ = std::move(made);
            }
        }
        return dict_;
    }
    bool recordMade() const { return bool(dict_); }
    const KivNorvikData& nativeRecord() const { return *record_; }

    py::object findings()
    {
        if (!findingList_) {
            py::list list;
            for (const Finding& f : findings_) {
                list.append(py::cast(f));
            }
            if (!findingList_) {
                findingList_ = std::move(list);
            }
        }
        return findingList_;
    }

private:
    py::object path_;
    std::unique_ptr<KivNorvikData> record_;
    std::vector<Finding> findings_;
    bool ok_ = true;
    py::object dict_;
    py::object findingList_;
};

// One value of `norvik diff --json`: absent where the element is missing.
struct Change
{
    std::string path;
    py::object before, after;
    bool hasBefore = false, hasAfter = false;
};

[[noreturn]] void valueError(const std::string& message) { throw py::value_error(message); }

// OSError(errno, reason, filename): Python picks the subclass (FileNotFoundError, ...).
[[noreturn]] void osError(int error, const std::string& reason, const py::object& filename)
{
    py::object exception = error != 0
                               ? py::reinterpret_borrow<py::object>(PyExc_OSError)(error, reason, filename)
                               : py::reinterpret_borrow<py::object>(PyExc_OSError)(reason);
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exception.ptr())), exception.ptr());
    throw py::error_already_set();
}

std::string systemText(int error) { return std::strerror(error); }

// A path argument: str, or os.PathLike; as UTF-8, and as given for messages.
struct PathArgument
{
    std::string utf8;
    py::object given;
};

PathArgument pathArgument(py::handle value, const char* what)
{
    PyObject* fsPath = PyOS_FSPath(value.ptr());
    if (fsPath == nullptr) {
        PyErr_Clear();
        throw py::type_error(std::string(what) + " must be a path (str or os.PathLike), not " +
                             Py_TYPE(value.ptr())->tp_name);
    }
    py::object given = py::reinterpret_steal<py::object>(fsPath);
    py::object text = given;
    if (PyBytes_Check(given.ptr())) {
        text = py::module_::import("os").attr("fsdecode")(given);
    }
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
    if (utf8 == nullptr) {
        throw py::error_already_set(); // UnicodeEncodeError, a ValueError
    }
    std::string path(utf8, static_cast<size_t>(size));
    if (path.find('\0') != std::string::npos) {
        valueError("embedded null byte in the path");
    }
    return {std::move(path), std::move(text)};
}

// A source: bytes (or another bytes-like object) are content, anything else a path.
struct Source
{
    bool isPath = false;
    PathArgument path;
    std::string bytes;
};

Source sourceOf(py::handle value)
{
    Source source;
    if (PyObject_CheckBuffer(value.ptr()) != 0 && !PyUnicode_Check(value.ptr())) {
        const py::buffer_info info = py::reinterpret_borrow<py::buffer>(value).request();
        source.bytes.assign(static_cast<const char*>(info.ptr),
                            static_cast<size_t>(info.size * info.itemsize));
        return source;
    }
    source.isPath = true;
    source.path = pathArgument(value, "source");
    return source;
}

// The kind argument: None, "auto", or BL1..BL5 in either case.
struct KindArgument
{
    std::optional<Kind> kind;
    bool detect = false;
};

KindArgument kindArgument(const py::object& value)
{
    KindArgument argument;
    if (value.is_none()) {
        return argument;
    }
    if (!PyUnicode_Check(value.ptr())) {
        throw py::type_error(std::string("kind must be a str or None, not ") + Py_TYPE(value.ptr())->tp_name);
    }
    const std::string text = value.cast<std::string>();
    argument.detect = text == "auto";
    argument.kind = kindFromName(text);
    if (!argument.detect && !argument.kind) {
        valueError("unknown kind " + std::string(py::repr(value)) + " (BL1..BL5, 'auto' or None)");
    }
    return argument;
}

Kind kindOf(const std::string& name)
{
    const auto kind = kindFromName(name);
    if (!kind) {
        valueError("unknown kind '" + name + "' (one of BL1 to BL5)");
    }
    return *kind;
}

std::string kindList(const std::vector<Kind>& kinds)
{
    std::string out;
    for (size_t i = 0; i < kinds.size(); ++i) {
        out += std::string(i == 0 ? "" : i + 1 == kinds.size() ? " and " : ", ") + kindName(kinds[i]);
    }
    return out;
}

// What a read came to, found without the GIL.
struct ReadOutcome
{
    ReadResult read;
    int systemError = 0;
    std::string undetected; // why "auto" found no kind
};

void readDetected(const std::string& name, const std::string& bytes, ReadOutcome& outcome)
{
    const std::vector<Kind> kinds = detectKind(bytes);
    if (kinds.size() != 1) {
        outcome.undetected =
            name +
            (kinds.empty() ? ": neither the tag line nor the headers show the kind of file"
                           : ": the tag line and the headers fit " + kindList(kinds) + " alike") +
            "; give kind='BL1'..'BL5'";
        return;
    }
    outcome.read = readBytes(kinds.front(), bytes);
}

ReadOutcome readNativeSource(Source& source, const std::optional<Kind>& kind)
{
    ReadOutcome outcome;
    if (!source.isPath) {
        if (kind) {
            outcome.read = readBytes(*kind, source.bytes);
        } else {
            readDetected("bytes", source.bytes, outcome);
        }
        return outcome;
    }
    // A file of a known kind goes to its reader by path, as the tool reads
    // it; the system's reason for a failure comes from reading it here.
    if (kind) {
        outcome.read = readFile(*kind, source.path.utf8);
        if (outcome.read.record) {
            return outcome;
        }
    }
    std::string bytes;
    outcome.systemError = readFileContent(source.path.utf8, bytes);
    if (outcome.systemError != 0) {
        return outcome;
    }
    if (kind) {
        outcome.read = readBytes(*kind, bytes); // readable after all: it changed meanwhile
    } else {
        readDetected(source.path.utf8, bytes, outcome);
    }
    return outcome;
}

py::object readSource(py::handle sourceValue, const py::object& kindValue)
{
    Source source = sourceOf(sourceValue);
    const KindArgument argument = kindArgument(kindValue);
    std::optional<Kind> kind = argument.kind;
    if (!kind && !argument.detect) {
        if (!source.isPath) {
            valueError("bytes have no name to tell their kind: give kind='BL1'..'BL5' or 'auto'");
        }
        kind = kindFromPath(source.path.utf8);
        if (!kind) {
            valueError(source.path.utf8 +
                       ": the kind is unknown (the extension is not .bl1 to .bl5); give kind='BL1'..'BL5' or "
                       "'auto'");
        }
    }
    ReadOutcome outcome;
    {
        const py::gil_scoped_release unlocked;
        outcome = readNativeSource(source, kind);
    }
    if (outcome.systemError != 0) {
        osError(outcome.systemError, systemText(outcome.systemError), source.path.given);
    }
    if (!outcome.undetected.empty()) {
        valueError(outcome.undetected);
    }
    if (!outcome.read.record) {
        // Not a fault of the file: the reader ran out of memory.
        throw std::bad_alloc();
    }
    const py::object path = source.isPath ? source.path.given : py::none();
    return py::cast(Result(std::move(outcome.read), path));
}

// The record that `value` stands for: a dict as the tool's JSON, or a read's
// result (its dict when that was made, which the caller may have changed).
struct RecordArgument
{
    std::unique_ptr<KivNorvikData> owned;
    const KivNorvikData* record = nullptr;
    py::object keep; // the result that owns `record`
};

RecordArgument recordArgument(py::handle value)
{
    RecordArgument argument;
    py::object dict = py::reinterpret_borrow<py::object>(value);
    if (py::isinstance<Result>(value)) {
        auto& result = value.cast<Result&>();
        if (!result.recordMade()) {
            argument.record = &result.nativeRecord();
            argument.keep = py::reinterpret_borrow<py::object>(value);
            return argument;
        }
        dict = result.record();
    }
    Json json;
    std::string error;
    if (jsonFromPython(dict, json, error)) {
        argument.owned = fromJson(json, error);
    }
    if (!argument.owned) {
        valueError(error);
    }
    argument.record = argument.owned.get();
    return argument;
}

py::list issueList(const std::vector<CheckItem>& items)
{
    py::list list;
    for (const CheckItem& item : items) {
        list.append(py::cast(item));
    }
    return list;
}

std::string refusal(const ExportOutcome& outcome)
{
    std::string text = outcome.refused;
    for (size_t i = 0; i < outcome.problems.size(); ++i) {
        const CheckItem& p = outcome.problems[i];
        text += (i == 0 ? ": " : "; ") + p.path + ": " + p.reason + " [" + p.code + "]";
    }
    return text;
}

py::list writeRecordFile(py::handle recordValue, py::handle pathValue, bool strict)
{
    const RecordArgument record = recordArgument(recordValue);
    const PathArgument path = pathArgument(pathValue, "path");
    ExportOutcome outcome;
    {
        const py::gil_scoped_release unlocked;
        outcome = exportRecord(*record.record, path.utf8, strict, "record");
    }
    if (!outcome.refused.empty()) {
        valueError(refusal(outcome));
    }
    if (!outcome.error.empty()) {
        const Kind kind = record.record->dataType;
        const std::string written = writerBase(path.utf8, kind) + "." + kindExtension(kind);
        // The layer's reason starts with the file's name, which OSError gives apart.
        std::string reason = outcome.error;
        if (reason.compare(0, written.size() + 2, written + ": ") == 0) {
            reason.erase(0, written.size() + 2);
        }
        if (outcome.systemError != 0 && reason != systemText(outcome.systemError)) {
            reason += " (" + systemText(outcome.systemError) + ")";
        }
        osError(outcome.systemError, reason, pythonText(written));
    }
    return issueList(outcome.problems);
}

py::bytes toBytes(py::handle recordValue, bool strict)
{
    const RecordArgument record = recordArgument(recordValue);
    std::string bytes;
    ExportOutcome outcome;
    {
        const py::gil_scoped_release unlocked;
        outcome = exportBytes(*record.record, strict, "record", bytes);
    }
    if (!outcome.refused.empty()) {
        valueError(refusal(outcome));
    }
    if (!outcome.error.empty()) {
        osError(outcome.systemError, outcome.error, py::none());
    }
    return {bytes};
}

py::list checkRecord(py::handle recordValue)
{
    const RecordArgument record = recordArgument(recordValue);
    std::vector<CheckItem> items;
    {
        const py::gil_scoped_release unlocked;
        items = recordCheck(*record.record);
    }
    return issueList(items);
}

py::list diff(py::handle a, py::handle b)
{
    const RecordArgument before = recordArgument(a);
    const RecordArgument after = recordArgument(b);
    if (before.record->dataType != after.record->dataType) {
        valueError(std::string("the records are of different kinds (") + kindName(before.record->dataType) +
                   " and " + kindName(after.record->dataType) + ")");
    }
    Json differences;
    {
        const py::gil_scoped_release unlocked;
        differences = diffJson(compare(*before.record, *after.record)).at("differences");
    }
    py::list list;
    for (const Json& item : differences) {
        Change change{item.at("path").get<std::string>(), py::none(), py::none()};
        if (item.contains("old")) {
            change.before = pythonFromJson(item.at("old"));
            change.hasBefore = true;
        }
        if (item.contains("new")) {
            change.after = pythonFromJson(item.at("new"));
            change.hasAfter = true;
        }
        list.append(py::cast(std::move(change)));
    }
    return list;
}

py::object detect(py::handle sourceValue)
{
    Source source = sourceOf(sourceValue);
    std::vector<Kind> kinds;
    int error = 0;
    {
        const py::gil_scoped_release unlocked;
        if (source.isPath) {
            error = readFileContent(source.path.utf8, source.bytes);
        }
        if (error == 0) {
            kinds = detectKind(source.bytes);
        }
    }
    if (error != 0) {
        osError(error, systemText(error), source.path.given);
    }
    return kinds.size() == 1 ? py::object(py::str(kindName(kinds.front()))) : py::none();
}

// For the benchmark: the native read alone, no dicts; the number of findings.
size_t readNative(py::handle sourceValue, const std::string& kindName_)
{
    Source source = sourceOf(sourceValue);
    const Kind kind = kindOf(kindName_);
    const py::gil_scoped_release unlocked;
    const ReadResult read = source.isPath ? readFile(kind, source.path.utf8) : readBytes(kind, source.bytes);
    return read.findings.size();
}

py::object findingDict(const Finding& f) { return pythonFromJson(findingJson(f)); }

std::string findingRepr(const Finding& f)
{
    return "Finding(line=" + std::to_string(f.line) + ", severity='" + (f.error ? "error" : "warning") +
           "', code='" + f.code + "', message=" + std::string(py::repr(pythonText(f.message))) + ")";
}

bool sameFinding(const Finding& a, const Finding& b)
{
    return a.line == b.line && a.column == b.column && a.error == b.error && a.code == b.code &&
           a.message == b.message && a.keyword == b.keyword && a.group == b.group && a.fields == b.fields &&
           a.paths == b.paths;
}

py::list textList(const std::vector<std::string>& texts)
{
    py::list list;
    for (const std::string& t : texts) {
        list.append(pythonText(t));
    }
    return list;
}

} // namespace

PYBIND11_MODULE(_norvik, m)
{
    py::options options;
    options.disable_function_signatures();

    m.doc() = "Read, check and write steel-connection exchange files (BL1 to BL5).";
    m.attr("__version__") = NORVIK_VERSION;
    py::list kinds;
    for (Kind kind : allKinds()) {
        kinds.append(kindName(kind));
    }
    m.attr("KINDS") = py::tuple(kinds);

    py::class_<Finding>(
        m, "Finding",
        "What a read passed over or read doubtfully, as the norvik tool's `check --json` gives it.")
        .def_property_readonly(
            "line", [](const Finding& f) { return f.line; },
            "The line, 1-based as an editor counts; 0: the file.")
        .def_property_readonly(
            "column",
            [](const Finding& f) { return f.column > 0 ? py::object(py::int_(f.column)) : py::none(); },
            "The 1-based byte of the line where the fault starts; None when unknown.")
        .def_property_readonly(
            "severity", [](const Finding& f) { return f.error ? "error" : "warning"; },
            "'error' (a value lost or misread) or 'warning' (harmless or probably unintended).")
        .def_property_readonly(
            "code", [](const Finding& f) { return f.code; },
            "A stable kebab-case identifier ('unknown-keyword').")
        .def_property_readonly(
            "message", [](const Finding& f) { return pythonText(f.message); }, "The message, in English.")
        .def_property_readonly(
            "keyword", [](const Finding& f) { return pythonText(f.keyword); },
            "The line's keyword; '' when none.")
        .def_property_readonly(
            "group", [](const Finding& f) { return pythonText(f.group); },
            "The group's header; '' when none.")
        .def_property_readonly(
            "fields", [](const Finding& f) { return textList(f.fields); },
            "The fields concerned, as paths inside the group.")
        .def_property_readonly(
            "paths", [](const Finding& f) { return textList(f.paths); },
            "The fields concerned, as paths of the record dict ('generalGroup.acier').")
        .def("to_dict", &findingDict,
             "to_dict() -> dict\n\nThe finding as one member of `norvik check --json`'s findings.")
        .def("__eq__", [](const Finding& a, const Finding& b) { return sameFinding(a, b); })
        .def("__repr__", &findingRepr)
        .def("__str__", [](const Finding& f) {
            return pythonText(std::to_string(f.line) + ": " + (f.error ? "error" : "warning") + ": " +
                              f.message + " [" + f.code + "]");
        });

    py::class_<CheckItem>(m, "Issue", "A value that the exchange file cannot carry as it stands.")
        .def_property_readonly(
            "path", [](const CheckItem& i) { return pythonText(i.path); }, "The field ('generalGroup.lia').")
        .def_property_readonly(
            "code", [](const CheckItem& i) { return i.code; }, "A stable identifier ('text-with-blank').")
        .def_property_readonly(
            "message", [](const CheckItem& i) { return pythonText(i.reason); }, "Why, in English.")
        .def("__eq__",
             [](const CheckItem& a, const CheckItem& b) {
                 return a.path == b.path && a.code == b.code && a.reason == b.reason;
             })
        .def("__repr__", [](const CheckItem& i) {
            return "Issue(path='" + i.path + "', code='" + i.code +
                   "', message=" + std::string(py::repr(pythonText(i.reason))) + ")";
        });

    py::class_<Change>(m, "Difference",
                       "A field whose value differs between two records, as `norvik diff --json`.")
        .def_property_readonly(
            "path", [](const Change& c) { return pythonText(c.path); },
            "The field ('generalGroup.acier'), or an array element present in one record only.")
        .def_property_readonly(
            "old", [](const Change& c) { return c.before; },
            "The first record's value: None when unset, or when the element is missing from it.")
        .def_property_readonly(
            "new", [](const Change& c) { return c.after; },
            "The second record's value: None when unset, or when the element is missing from it.")
        .def(
            "to_dict",
            [](const Change& c) {
                py::dict d;
                d["path"] = pythonText(c.path);
                if (c.hasBefore) {
                    d["old"] = c.before;
                }
                if (c.hasAfter) {
                    d["new"] = c.after;
                }
                return d;
            },
            "to_dict() -> dict\n\nThe difference as `norvik diff --json` gives it: 'old' or 'new' left out where "
            "the element is missing.")
        .def("__eq__",
             [](const Change& a, const Change& b) {
                 return a.path == b.path && a.hasBefore == b.hasBefore && a.hasAfter == b.hasAfter &&
                        a.before.equal(b.before) && a.after.equal(b.after);
             })
        .def("__repr__", [](const Change& c) {
            return "Difference(path='" + c.path + "', old=" + std::string(py::repr(c.before)) +
                   ", new=" + std::string(py::repr(c.after)) + ")";
        });

    py::class_<Result>(m, "ReadResult", "A file as read: its kind, record and findings.")
        .def_property_readonly("kind", &Result::kind, "The kind the file was read as: 'BL1' .. 'BL5'.")
        .def_property_readonly(
            "project_name", [](const Result& r) { return pythonText(r.projectName()); },
            "The project name of the tag line; '' when none.")
        .def_property_readonly(
            "record", &Result::record,
            "The record as a dict, equal to json.loads of `norvik to-json`; None for unset "
            "values. Made on first use, then the same dict.")
        .def_property_readonly("findings", &Result::findings,
                               "The findings in file order (a list of Finding), as `norvik check --json`.")
        .def_property_readonly("ok", &Result::ok, "True when no finding is an error.")
        .def_property_readonly("path", &Result::path, "The path that was read; None for bytes.")
        .def("__repr__", [](const Result& r) {
            size_t errors = 0;
            for (const Finding& f : r.nativeFindings()) {
                errors += f.error ? 1 : 0;
            }
            const size_t warnings = r.nativeFindings().size() - errors;
            return "<ReadResult " + std::string(r.kind()) +
                   (r.path().is_none() ? std::string() : " " + std::string(py::repr(r.path()))) + ": " +
                   std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
                   std::to_string(warnings) + (warnings == 1 ? " warning>" : " warnings>");
        });

    // The package's functions (norvik/__init__.py) call these and carry their documentation.
    m.def("read", &readSource, py::arg("source"), py::arg("kind") = py::none(), "See norvik.read.");
    m.def("write", &writeRecordFile, py::arg("record"), py::arg("path"), py::arg("strict") = false,
          "See norvik.write.");
    m.def("to_bytes", &toBytes, py::arg("record"), py::arg("strict") = false, "See norvik.to_bytes.");
    m.def("check_record", &checkRecord, py::arg("record"), "See norvik.check_record.");
    m.def(
        "schema", [](const std::string& kind) { return pythonFromJson(jsonSchema(kindOf(kind))); },
        py::arg("kind"), "See norvik.schema.");
    m.def("diff", &diff, py::arg("a"), py::arg("b"), "See norvik.diff.");
    m.def("detect_kind", &detect, py::arg("source"), "See norvik.detect_kind.");
    m.def("_read_native", &readNative, py::arg("source"), py::arg("kind"),
          "For benchmarks: the native read alone, without the dicts; the "
          "number of findings.");
}
