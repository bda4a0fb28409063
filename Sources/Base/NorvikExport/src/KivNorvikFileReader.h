#pragma once

#include "KivNorvikFinding.h"
#include "KivNorvikLineRule.h"
#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

#include <cstddef>
#include <exception>

class KivNorvikData;

// Reads an exchange file into a line store and fills a record of the file's
// kind from it, noting on the way what it passed over or read doubtfully.
// The kind readers give the layout and the record. Not meant to be derived
// from outside the library: the protected interface may change.
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

    // Reads every non-empty line (any length; "\n" or "\r\n" ends a line),
    // then fills `data` through fillStructure. 1 on success; 0, with `data`
    // untouched, when the file could not be opened or read to its end or
    // memory ran out; a finding then says why. Throws nothing.
    int readFile(KivNorvikData& data);

    // In the base class a contract violation: only the kind readers fill records.
    virtual void fillStructure(KivNorvikData& data);

    // The non-empty lines of the last readFile, without their line ends;
    // built on the first call after it.
    const KivArray<KivString>& getLines() const;

    // What the last readFile passed over or read doubtfully, in file order.
    const KivArray<KivNorvikFinding>& getFindings() const;

    // Replaces `tokens` with the blank-separated tokens of a line, after trimming white
    // space; runs of blanks give no empty tokens, a tab is part of a token.
    static void tokenize(const KivString& line, KivNorvikTokens& tokens);

    // The project name that a tag line gives, if any. The first comma-separated
    // field, trimmed and unquoted, being the tag "NV_ATT", the name is the rest
    // of the line, trimmed, less one enclosing pair of quotes; otherwise the
    // first field itself, less its quotes. `bl3` removes a leading
    // "2006.15c2:" from the name.
    static bool projectNameFromTagLine(const KivString& line, bool bl3, KivString& name);
    // The same for a kind whose tag is `tag` ("NV_ATT_04").
    static bool projectNameFromTagLine(const KivString& line, bool bl3, KivString& name, const char* tag);

protected:
    // The scan of fillStructure: each line equal to a header of `layout`
    // starts its group, whose lines run until "FIN" or the next header; tag
    // lines are looked for outside groups, all of them when `everyTagLine`,
    // else only the first. The project name goes to `record`.
    void scanLines(const KivNorvikKindLayout& layout, bool everyTagLine, bool bl3, KivNorvikData& record);

    // The target that the rules of a group fill, given its header line, and
    // what happens when its lines end; `group` is the group's index in the
    // layout (the kind's Group enumeration). An empty target passes the
    // group over as one the record has no room for. By default there is none.
    virtual KivNorvikTarget beginGroup(int group, const KivString& header);
    virtual void endGroup(int group);

    // Notes a host record that is not a `className`; `refuse` makes readFile
    // return 0 without touching it.
    void reportRecordClass(const char* className, bool refuse);

    // Ends a fillStructure that could not finish (memory ran out): readFile
    // returns 0 and the one finding says why.
    void reportFailure(const std::exception& error);

    // The number of lines that are not empty, as the last readFile found them.
    int lineCount() const;
    // Whether the last readFile found a line that is not empty; cheaper than
    // lineCount, which counts them.
    bool hasLines() const;

    // The lines as getLines() gives them, built on its first call.
    mutable KivArray<KivString> lines;

private:
    struct Private;
    Private* d;
};
