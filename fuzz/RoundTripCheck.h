#pragma once

#include "RecordDecoder.h"

#include <NorvikExport.h>

#include <fstream>
#include <sstream>
#include <string>

namespace norvik_check {

inline std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Reads `path` with the kind's reader and writes the record again, twice over:
// once normalised by one pass through the library, a file must read and write
// back to the same bytes. Returns false when it does not; `detail` then names
// the two files that differ.
template <class Reader, class Record>
bool writeAfterReadIsStable(const std::string& path, const std::string& workBase,
                            KivNorvikFileWriter::eNorvikFormatFile kind, std::string& detail)
{
    std::string input = path;
    std::string previous;
    for (int pass = 0; pass < 3; ++pass) {
        Record record;
        Reader reader{KivString(input.c_str())};
        if (!reader.readFile(record)) {
            detail = "cannot read " + input;
            return false;
        }
        const std::string base = workBase + "_" + std::to_string(pass);
        KivNorvikFileWriter writer;
        if (!writer.startWrite(KivString(base.c_str()), kind) || !writer.write(record) ||
            !writer.endWrite()) {
            detail = "cannot write " + base;
            return false;
        }
        input = base + "." + KivNorvikFileWriter::extension(kind);
        const std::string bytes = fileBytes(input);
        if (pass == 2 && bytes != previous) {
            detail = workBase + "_1 and " + input + " differ";
            return false;
        }
        previous = bytes;
    }
    return true;
}

// Runs the check with the reader of a kind (1 to 5).
inline bool writeAfterReadIsStable(int kind, const std::string& path, const std::string& workBase,
                                   std::string& detail)
{
    switch (kind) {
    case 1:
        return writeAfterReadIsStable<KivNorvikBL1Reader, KivBL1Data>(
            path, workBase, KivNorvikFileWriter::eFormatBL1, detail);
    case 2:
        return writeAfterReadIsStable<KivNorvikBL2Reader, KivBL2Data>(
            path, workBase, KivNorvikFileWriter::eFormatBL2, detail);
    case 3:
        return writeAfterReadIsStable<KivNorvikBL3Reader, KivBL3Data>(
            path, workBase, KivNorvikFileWriter::eFormatBL3, detail);
    case 4:
        return writeAfterReadIsStable<KivNorvikBL4Reader, KivBL4Data>(
            path, workBase, KivNorvikFileWriter::eFormatBL4, detail);
    default:
        return writeAfterReadIsStable<KivNorvikBL5Reader, KivBL5Data>(
            path, workBase, KivNorvikFileWriter::eFormatBL5, detail);
    }
}

} // namespace norvik_check

namespace norvik_check {

// The findings of a reader as comparable text.
inline std::string findingsText(const KivNorvikFileReader& reader)
{
    std::string out;
    const KivArray<KivNorvikFinding>& findings = reader.getFindings();
    for (int i = 0; i < findings.getLength(); ++i) {
        const KivNorvikFinding& f = findings[i];
        out += std::to_string(f.line) + " " + f.code + "\n";
    }
    return out;
}

// Reads `bytes` with the kind's reader from a buffer and from the file at
// `path` holding the same bytes: both must give the same result, record and
// findings, and the findings must be in line order within 0..line count.
template <class Reader, class Record>
bool bufferAndFileAgree(const std::string& bytes, const std::string& path, std::string& detail)
{
    Record fromBuffer, fromFile;
    Reader bufferReader(bytes.data(), bytes.size());
    Reader fileReader{KivString(path.c_str())};
    const int a = bufferReader.readFile(fromBuffer);
    const int b = fileReader.readFile(fromFile);
    if (a != b || findingsText(bufferReader) != findingsText(fileReader)) {
        detail = "buffer and file differ in result or findings";
        return false;
    }
    int lineCount = 0;
    for (char c : bytes)
        lineCount += c == '\n';
    if (bytes.empty() || bytes.back() != '\n')
        ++lineCount; // an empty file's findings are on its line 1
    const KivArray<KivNorvikFinding>& findings = bufferReader.getFindings();
    for (int i = 0; i < findings.getLength(); ++i) {
        const int line = findings[i].line;
        if (line < 1 || line > lineCount || (i > 0 && line < findings[i - 1].line)) {
            detail = "finding " + std::to_string(i) + " on line " + std::to_string(line) + " of " +
                     std::to_string(lineCount);
            return false;
        }
    }
    if (fieldTexts(fromBuffer) != fieldTexts(fromFile)) {
        detail = "buffer and file give different records";
        return false;
    }
    return true;
}

inline bool bufferAndFileAgree(int kind, const std::string& bytes, const std::string& path,
                               std::string& detail)
{
    switch (kind) {
    case 1: return bufferAndFileAgree<KivNorvikBL1Reader, KivBL1Data>(bytes, path, detail);
    case 2: return bufferAndFileAgree<KivNorvikBL2Reader, KivBL2Data>(bytes, path, detail);
    case 3: return bufferAndFileAgree<KivNorvikBL3Reader, KivBL3Data>(bytes, path, detail);
    case 4: return bufferAndFileAgree<KivNorvikBL4Reader, KivBL4Data>(bytes, path, detail);
    default: return bufferAndFileAgree<KivNorvikBL5Reader, KivBL5Data>(bytes, path, detail);
    }
}

// The reader's promises for a file of `bytes` of a kind (1 to 5): buffer and
// file agree (bufferAndFileAgree) and what is read writes back stably
// (writeAfterReadIsStable). The file is workBase.in.
inline bool readerKeepsItsPromises(int kind, const std::string& bytes, const std::string& workBase,
                                   std::string& detail)
{
    const std::string input = workBase + ".in";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            detail = "cannot write " + input;
            return false;
        }
    }
    return bufferAndFileAgree(kind, bytes, input, detail) &&
           writeAfterReadIsStable(kind, input, workBase, detail);
}

} // namespace norvik_check

#include <map>
#include <set>

namespace norvik_check {

// Writes `record` to base.<ext>; false, with `detail`, when the writer refuses.
template <class Record>
bool writeRecord(const Record& record, KivNorvikFileWriter::eNorvikFormatFile kind, const std::string& base,
                 std::string& bytes, std::string& detail)
{
    KivNorvikFileWriter writer;
    if (!writer.startWrite(KivString(base.c_str()), kind) || !writer.write(record) || !writer.endWrite()) {
        detail = "cannot write " + base + ": " + std::to_string(writer.errorCode());
        return false;
    }
    bytes = fileBytes(base + "." + KivNorvikFileWriter::extension(kind));
    return true;
}

template <class Reader, class Record>
bool readRecord(const std::string& bytes, Record& record, std::string& detail)
{
    Reader reader(bytes.data(), bytes.size());
    if (!reader.readFile(record)) {
        detail = "cannot read a written file";
        return false;
    }
    return true;
}

// The writer's promises for a record decoded from `data`.
// A record of values the file can carry, less those the record check lists
// (each set back to a fresh record's value until the check lists nothing
// new), comes back field for field and writes the same bytes again; the
// fields the check still lists, and the host's extraData, are spared the
// comparison. A record of any values may lose some of them to its first
// file (a text with a blank splits, see the record check); then the files
// reach a fixed point: what is read from a written file writes that file.
template <class Reader, class Record>
bool writerKeepsItsPromises(const uint8_t* data, size_t size, KivNorvikFileWriter::eNorvikFormatFile kind,
                            const std::string& workBase, std::string& detail)
{
    // The paths of the values the check says will not come back as set.
    const auto listedOf = [](const Record& record, std::set<std::string>& listed) {
        KivArray<KivNorvikRecordIssue> issues;
        if (!KivNorvikRecordCheck::check(record, issues))
            return false;
        listed.clear();
        for (int i = 0; i < issues.getLength(); ++i) {
            if (issues[i].code == KivString("undefined-written"))
                continue; // read back as written
            std::string path;
            for (const wchar_t* p = issues[i].path.getStringW(); *p; ++p)
                path.push_back(static_cast<char>(*p));
            listed.insert(path);
        }
        return true;
    };
    std::set<std::string> keep, listed;
    for (int round = 0; round < 32; ++round) {
        Record attempt;
        decodeRecord(attempt, data, size, true, keep);
        if (!listedOf(attempt, listed)) {
            detail = "the record check failed";
            return false;
        }
        const size_t before = keep.size();
        keep.insert(listed.begin(), listed.end());
        if (keep.size() == before)
            break;
    }
    Record written;
    decodeRecord(written, data, size, true, keep);
    if (!listedOf(written, listed)) {
        detail = "the record check failed";
        return false;
    }
    std::string first, again;
    Record back;
    if (!writeRecord(written, kind, workBase + "_c1", first, detail) ||
        !readRecord<Reader>(first, back, detail) || !writeRecord(back, kind, workBase + "_c2", again, detail))
        return false;
    std::map<std::string, std::string> read;
    for (const auto& field : fieldTexts(back))
        read.insert(field);
    for (const auto& field : fieldTexts(written)) {
        const auto it = read.find(field.first);
        const bool host =
            field.first.size() > 10 && field.first.compare(field.first.size() - 10, 10, ".extraData") == 0;
        if (!listed.count(field.first) && !host && (it == read.end() || it->second != field.second)) {
            detail = field.first + " written " + field.second + ", read " +
                     (it == read.end() ? std::string("nothing") : it->second);
            return false;
        }
    }
    if (listed.empty() && first != again) {
        detail = "a record the file carries wrote different bytes the second time";
        return false;
    }

    // Passes of read and write until the file stays the same: the second
    // pass at the latest (white space other than blanks inside a text read
    // from the first file is trimmed where the text ends a line).
    Record any;
    decodeRecord(any, data, size, false, {});
    std::string file;
    if (!writeRecord(any, kind, workBase + "_a0", file, detail))
        return false;
    for (int pass = 1;; ++pass) {
        Record fromFile;
        std::string rewritten;
        if (!readRecord<Reader>(file, fromFile, detail) ||
            !writeRecord(fromFile, kind, workBase + "_a" + std::to_string(pass), rewritten, detail))
            return false;
        if (rewritten == file)
            break;
        if (pass == 3) {
            detail = "what is read from a written file writes another file, pass after pass";
            return false;
        }
        file = rewritten;
    }
    return true;
}

inline bool writerKeepsItsPromises(int kind, const uint8_t* data, size_t size, const std::string& workBase,
                                   std::string& detail)
{
    switch (kind) {
    case 1:
        return writerKeepsItsPromises<KivNorvikBL1Reader, KivBL1Data>(
            data, size, KivNorvikFileWriter::eFormatBL1, workBase, detail);
    case 2:
        return writerKeepsItsPromises<KivNorvikBL2Reader, KivBL2Data>(
            data, size, KivNorvikFileWriter::eFormatBL2, workBase, detail);
    case 3:
        return writerKeepsItsPromises<KivNorvikBL3Reader, KivBL3Data>(
            data, size, KivNorvikFileWriter::eFormatBL3, workBase, detail);
    case 4:
        return writerKeepsItsPromises<KivNorvikBL4Reader, KivBL4Data>(
            data, size, KivNorvikFileWriter::eFormatBL4, workBase, detail);
    default:
        return writerKeepsItsPromises<KivNorvikBL5Reader, KivBL5Data>(
            data, size, KivNorvikFileWriter::eFormatBL5, workBase, detail);
    }
}

} // namespace norvik_check
