#pragma once

#include "NorvikExportApi.h"

#include <KivString.h>

#include <cstdio>

class KivBL1Data;
class KivBL2Data;
class KivBL3Data;
class KivBL4Data;
class KivBL5Data;
class KivNorvikOutput;

// Writes one connection record as an exchange file:
// startWrite(path, kind), write(record), endWrite().
class NORVIK_API KivNorvikFileWriter
{
public:
    enum eNorvikFormatFile { eFormatBL1 = 0, eFormatBL2 = 1, eFormatBL3 = 2, eFormatBL4 = 3, eFormatBL5 = 4 };
    enum eNorvikExporter { eOlmarin = 0 };

    KivNorvikFileWriter();
    // Copies share the open file: only one of them may call endWrite.
    KivNorvikFileWriter(const KivNorvikFileWriter& other);
    KivNorvikFileWriter& operator=(const KivNorvikFileWriter& other);
    // Does not close the file; endWrite does.
    virtual ~KivNorvikFileWriter();

    void setNorvikExporter(const eNorvikExporter& value);
    void setMajorVersion(const int& value);
    void setMinorVersion(const int& value);

    // Opens path + "." + the kind's extension ("bl1" to "bl5"), created or
    // truncated. 1 when open; 0 when it cannot be opened, or when a file is
    // already open (that file stays open and untouched).
    int startWrite(const KivString& path, eNorvikFormatFile kind);

    // Writes the whole file body of one record. 1 on success; 0 when no file
    // is open or the stream has failed.
    int write(const KivBL1Data& data);
    int write(const KivBL2Data& data);
    int write(const KivBL3Data& data);
    int write(const KivBL4Data& data);
    int write(const KivBL5Data& data);

    // Closes the file. 1 when a file was open and all its data reached the
    // file; 0 when none was open or flushing or closing failed. The writer is
    // closed afterwards either way.
    int endWrite();

    // The extension of a kind ("bl1" to "bl5"), or "" outside the enumeration.
    static const char* extension(eNorvikFormatFile kind);

private:
    KivNorvikOutput output() const;
    int finish(const KivNorvikOutput& out) const;

    FILE* file;
    eNorvikExporter exporter;
    int majorVersion;
    int minorVersion;
};
