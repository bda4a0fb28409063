#pragma once

#include "NorvikExportApi.h"

#include <KivString.h>

#include <memory>

class KivBL1Data;
class KivBL2Data;
class KivBL3Data;
class KivBL4Data;
class KivBL5Data;
class KivNorvikData;
class KivNorvikOutput;
class KivNorvikOpenFile;

/// Writes one connection record as an exchange file:
/// startWrite(path, kind), write(record), endWrite().
///
/// The file never loses its previous version: the record goes to a temporary
/// file ".<name>.<random>.tmp" in the folder of the file that the path finally
/// names, and endWrite renames it over that file only when everything was
/// written, flushed and closed. A symbolic link stays and its target is
/// replaced; the replaced file keeps its permission bits (and owner and group
/// where the system allows). A target that is not a regular file (a device, a
/// pipe, a dangling link), a target with more than one hard link, and a target
/// whose folder does not allow a new file are written in place, as they cannot
/// be replaced without changing what they are.
///
/// Results: 1 for success, 0 for failure; after a 0, errorCode() and
/// errorText() say why. No entry point throws: an allocation failure returns
/// 0 (ENOMEM) and leaves nothing behind. Value operations (KivString,
/// KivArray, record copies) may throw std::bad_alloc, the one exception that
/// leaves the library.
///
/// Threads: a writer and its copies serve one thread at a time; writers that
/// are not copies of each other may be used from different threads at once.
class NORVIK_API KivNorvikFileWriter
{
public:
    enum eNorvikFormatFile { eFormatBL1 = 0, eFormatBL2 = 1, eFormatBL3 = 2, eFormatBL4 = 3, eFormatBL5 = 4 };
    enum eNorvikExporter { eOlmarin = 0 };

    KivNorvikFileWriter();
    /// Copies share the open file and its ownership: the first endWrite through
    /// any of them completes it; write and endWrite through any of them then
    /// return 0 and touch nothing.
    KivNorvikFileWriter(const KivNorvikFileWriter& other);
    /// Shares `other`'s file; a file that this writer alone held open is
    /// completed first, as by endWrite.
    KivNorvikFileWriter& operator=(const KivNorvikFileWriter& other);
    /// The last writer sharing an open file completes it as endWrite would.
    /// Files still open when the process exits are completed too.
    virtual ~KivNorvikFileWriter();

    void setNorvikExporter(const eNorvikExporter& value);
    void setMajorVersion(const int& value);
    void setMinorVersion(const int& value);

    /// Opens path + "." + the kind's extension ("bl1" to "bl5") for writing.
    /// 1 when open. 0 when:
    /// - the file cannot be created or written (the system's code: ENOENT for
    ///   a missing folder, EISDIR for a folder, EACCES for an existing file the
    ///   caller may not write, which is not replaced);
    /// - a file is already open (EBUSY; that file stays open and untouched);
    /// - memory runs out (ENOMEM).
    /// A kind outside the enumeration is reported through KivAssert and opens
    /// the name ending in a bare ".".
    int startWrite(const KivString& path, eNorvikFormatFile kind);

    /// Writes the whole file body of one record. 1 on success; 0 when no file
    /// is open (EBADF, or the reason startWrite failed; EBADF also once a copy
    /// has completed the file) or output
    /// failed (the system's code, or ENOMEM). After a failure the rest of the
    /// record is not written and endWrite leaves the old file in place.
    int write(const KivBL1Data& data);
    int write(const KivBL2Data& data);
    int write(const KivBL3Data& data);
    int write(const KivBL4Data& data);
    int write(const KivBL5Data& data);

    /// Completes the file: flushes and closes it and puts it in place of the
    /// old one. 1 when all the data reached the file. 0 when none was open
    /// (EBADF), when a write had failed, or when flushing, closing or the
    /// replace failed (the system's code, such as ENOSPC or EFBIG); then the
    /// temporary file is removed and the old file is untouched (a file written
    /// in place keeps what reached it). The writer is closed afterwards either way.
    int endWrite();

    /// Why the last startWrite, write or endWrite returned 0: an errno value
    /// (ENOSPC, ENOENT, EACCES, EISDIR, EFBIG, EIO, ENOMEM; EBADF for no open
    /// file, EBUSY for a file already open). Meaningful only after a 0.
    int errorCode() const;
    /// The system's text of errorCode(), such as "No space left on device";
    /// empty when the code is 0. A value operation: may throw std::bad_alloc.
    KivString errorText() const;

    /// The extension of a kind ("bl1" to "bl5"), or "" outside the enumeration.
    static const char* extension(eNorvikFormatFile kind);

private:
    // Writes the lines of `record`, a record of the class of the data type
    // `type`, from its kind's line table.
    int writeRecord(const KivNorvikData& record, int type);

    std::shared_ptr<KivNorvikOpenFile> file;
    eNorvikExporter exporter;
    int majorVersion;
    int minorVersion;
    mutable int error;
};
