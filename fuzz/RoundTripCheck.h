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

// Runs the check with the reader of a readable kind (1, 2 or 3).
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
    default:
        return writeAfterReadIsStable<KivNorvikBL3Reader, KivBL3Data>(
            path, workBase, KivNorvikFileWriter::eFormatBL3, detail);
    }
}

} // namespace norvik_check
