#pragma once

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
        if (!writer.startWrite(KivString(base.c_str()), kind) || !writer.write(record) || !writer.endWrite()) {
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
bool bufferAndFileAgree(const std::string& bytes, const std::string& path,
                        KivNorvikFileWriter::eNorvikFormatFile kind, const std::string& workBase,
                        std::string& detail)
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
    if (!bytes.empty() && bytes.back() != '\n')
        ++lineCount;
    const KivArray<KivNorvikFinding>& findings = bufferReader.getFindings();
    for (int i = 0; i < findings.getLength(); ++i) {
        const int line = findings[i].line;
        if (line < 0 || line > lineCount || (i > 0 && line < findings[i - 1].line)) {
            detail = "finding " + std::to_string(i) + " on line " + std::to_string(line) + " of " +
                     std::to_string(lineCount);
            return false;
        }
    }
    KivNorvikFileWriter w1, w2;
    const std::string b1 = workBase + "_buffer", b2 = workBase + "_file";
    w1.startWrite(KivString(b1.c_str()), kind);
    w1.write(fromBuffer);
    w1.endWrite();
    w2.startWrite(KivString(b2.c_str()), kind);
    w2.write(fromFile);
    w2.endWrite();
    const std::string ext = std::string(".") + KivNorvikFileWriter::extension(kind);
    if (fileBytes(b1 + ext) != fileBytes(b2 + ext)) {
        detail = "buffer and file give different records";
        return false;
    }
    return true;
}

inline bool bufferAndFileAgree(int kind, const std::string& bytes, const std::string& path,
                               const std::string& workBase, std::string& detail)
{
    switch (kind) {
    case 1:
        return bufferAndFileAgree<KivNorvikBL1Reader, KivBL1Data>(bytes, path, KivNorvikFileWriter::eFormatBL1, workBase, detail);
    case 2:
        return bufferAndFileAgree<KivNorvikBL2Reader, KivBL2Data>(bytes, path, KivNorvikFileWriter::eFormatBL2, workBase, detail);
    case 3:
        return bufferAndFileAgree<KivNorvikBL3Reader, KivBL3Data>(bytes, path, KivNorvikFileWriter::eFormatBL3, workBase, detail);
    case 4:
        return bufferAndFileAgree<KivNorvikBL4Reader, KivBL4Data>(bytes, path, KivNorvikFileWriter::eFormatBL4, workBase, detail);
    default:
        return bufferAndFileAgree<KivNorvikBL5Reader, KivBL5Data>(bytes, path, KivNorvikFileWriter::eFormatBL5, workBase, detail);
    }
}

} // namespace norvik_check
