#pragma once

#include "KivNorvikFinding.h"
#include "KivNorvikTarget.h"
#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

#include <cstddef>
#include <exception>

class KivNorvikData;
struct KivNorvikKind;

// Reads an exchange file and fills a record of the file's kind from it,
// noting on the way what it passed over or read doubtfully. The kind readers
// give the kind and the record. Not meant to be derived from outside the
// library: the protected interface may change.
class NORVIK_API KivNorvikFileReader
{
public:
    // Opens the file; a file that cannot be opened makes readFile return 0.
    explicit KivNorvikFileReader(const KivString& path);
    // Reads `size` bytes at `bytes` as the file's content. They are not
    // copied: they must stay valid until readFile returns.
    KivNorvikFileReader(const char* bytes, size_t size);
    KivNorvikFileReader(const KivNorvikFileReader&) = delete;
    KivNorvikFileReader& operator=(const KivNorvikFileReader&) = delete;
    virtual ~KivNorvikFileReader();

    // Reads the whole file (any line length; "\n" or "\r\n" ends a line),
    // then fills `data` through fillStructure. 1 on success; 0, with `data`
    // untouched, when the file could not be opened or read to its end or
    // memory ran out; a finding then says why. Throws nothing.
    int readFile(KivNorvikData& data);

    // In the base class a contract violation: only the kind readers fill records.
    virtual void fillStructure(KivNorvikData& data);

    // The non-empty lines of the last readFile, without their line ends;
    // built on the first call after it.
    const KivArray<KivString>& getLines() const;

    /// What the last readFile passed over or read doubtfully, in file order.
    /// When more than the bound set by setMaxFindings were found, the first
    /// ones are kept and one last finding, "too-many-findings", counts the
    /// rest by code (an error when any of them is).
    const KivArray<KivNorvikFinding>& getFindings() const;

    /// The most findings that a read keeps in full: 1000 by default, 0 or
    /// less for all. Findings about the whole file are always kept.
    void setMaxFindings(int count);

    /// The number of findings of the last readFile with `severity`, and with
    /// `code` unless it is null, those that the bound left out included
    /// ("too-many-findings" itself is not counted).
    int countFindings(KivNorvikFinding::Severity severity, const char* code = nullptr) const;

    /// A field that a read set, and the line that set it.
    struct FieldLine
    {
        /// The field's path in the record, as KivBLnFields names it ("generalGroup.acier").
        KivString path;
        /// The line, counted as findings count them.
        int line = 0;
    };
    /// Whether the next reads note the line that sets each field (off by
    /// default: it costs memory for each line read).
    void setFieldLines(bool keep);
    /// The fields that the last readFile set and the lines that set them, in
    /// file order (a field set by several lines is listed with each); empty
    /// unless setFieldLines(true) came before the read. Built on the first call.
    const KivArray<FieldLine>& getFieldLines() const;

protected:
    // The scan of fillStructure: each line equal to a header of `kind`
    // starts its group, whose lines run until "FIN" or the next header; tag
    // lines are looked for outside groups (all of them, or the first, as the
    // kind says). The project name goes to `record`.
    void scanLines(const KivNorvikKind& kind, KivNorvikData& record);

    // The target that the rows of a group fill, given its header line, and
    // what happens when its lines end; `group` is the group's index in the
    // kind's groups (the kind's Group enumeration). An empty target passes
    // the group over as one the record has no room for. By default there is none.
    virtual KivNorvikTarget beginGroup(int group, const KivString& header);
    virtual void endGroup(int group);

    // Notes a host record that is not a `className`; `refuse` makes readFile
    // return 0 without touching it.
    void reportRecordClass(const char* className, bool refuse);

    // Ends a fillStructure that could not finish (memory ran out): readFile
    // returns 0 and the one finding says why.
    void reportFailure(const std::exception& error);

    // Whether the last readFile found a line that is not empty.
    bool hasLines() const;

private:
    struct Private;
    Private* d;
};
