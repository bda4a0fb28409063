#include "KivNorvikFileReader.h"

#include "KivNorvikData.h"
#include "KivNorvikDiagnosis.h"
#include "KivNorvikGroupScan.h"
#include "KivNorvikLineCursor.h"

#include <KivAssert.h>
#include <KivFileSystem.h>

#include <cerrno>
#include <exception>
#include <new>
#include <string>

// A bench-only build turns the findings off to measure what they cost.
#ifndef NORVIK_RECORD_FINDINGS
#  define NORVIK_RECORD_FINDINGS 1
#endif

namespace {

constexpr bool kRecord = NORVIK_RECORD_FINDINGS != 0;

using Kind = KivNorvikDiagnosis::Kind;

} // namespace

// The reader's state: where the bytes come from, the stages that read them
// (the line cursor, the group scan, the diagnosis) and the lines getLines gives.
struct KivNorvikFileReader::Private : KivNorvikGroupScan::Targets
{
    explicit Private(KivNorvikFileReader& owner) : reader(owner) {}

    KivNorvikTarget begin(int group, const KivString& header) override
    {
        return reader.beginGroup(group, header);
    }
    void end(int group) override { reader.endGroup(group); }

    // A finding about the whole file, with a reason of its own.
    void fail(int line, Kind kind, const std::string& reason) { diagnosis.add(line, kind).text = reason; }

    KivNorvikFileReader& reader;
    int descriptor = -1;
    int openError = 0;
    bool readBefore = false; // a later readFile reads the file again from its start
    const char* bytes = nullptr;
    size_t size = 0;
    bool fromBuffer = false;
    bool refused = false;
    bool findings = true; // the scan makes findings: the bytes are text and hold a line
    KivNorvikLineCursor cursor;
    KivNorvikGroupScan scan;
    KivNorvikDiagnosis diagnosis;
    // The lines as getLines() gives them, built on its first call.
    mutable KivArray<KivString> lines;
    // The fields' lines as getFieldLines() gives them, built on its first call.
    mutable KivArray<FieldLine> fieldLines;
    mutable bool fieldLinesBuilt = true;
    mutable bool linesBuilt = true; // `lines` holds the lines of the last readFile
};

KivNorvikFileReader::KivNorvikFileReader(const KivString& path) : d(new (std::nothrow) Private(*this))
{
    if (d == nullptr) {
        return;
    }
    errno = 0;
    d->descriptor = KivFileSystem::openToRead(KivFileSystem::nativePath(path.getStringW()));
    if (d->descriptor < 0) {
        d->openError = errno;
    }
}

KivNorvikFileReader::KivNorvikFileReader(const char* bytes, size_t size)
    : d(new (std::nothrow) Private(*this))
{
    if (d == nullptr) {
        return;
    }
    d->fromBuffer = true;
    d->bytes = bytes;
    d->size = bytes != nullptr ? size : 0;
}

KivNorvikFileReader::~KivNorvikFileReader()
{
    if (d != nullptr && d->descriptor >= 0) {
        KivFileSystem::close(d->descriptor);
    }
    delete d;
}

const KivArray<KivString>& KivNorvikFileReader::getLines() const
{
    static const KivArray<KivString> none;
    if (d == nullptr) {
        return none;
    }
    // Built on the first call: the reading itself works on the file's bytes.
    if (!d->linesBuilt) {
        KivNorvikLineCursor::Position at;
        KivNorvikLineCursor::Line line;
        int index = 0;
        d->lines.setLength(d->cursor.count());
        d->linesBuilt = true;
        while (index < d->lines.getLength() && d->cursor.next(at, line)) {
            d->lines[index++].assign(line.text, line.length);
        }
    }
    return d->lines;
}

bool KivNorvikFileReader::hasLines() const { return d != nullptr && d->cursor.any(); }

const KivArray<KivNorvikFinding>& KivNorvikFileReader::getFindings() const
{
    static const KivArray<KivNorvikFinding> none;
    return d != nullptr ? d->diagnosis.findings(true) : none;
}

void KivNorvikFileReader::setMaxFindings(int count)
{
    if (d != nullptr) {
        d->diagnosis.setMaxFindings(count);
    }
}

int KivNorvikFileReader::countFindings(KivNorvikFinding::Severity severity, const char* code) const
{
    return d != nullptr ? d->diagnosis.count(severity, code) : 0;
}

void KivNorvikFileReader::setFieldLines(bool keep)
{
    if (d != nullptr) {
        d->scan.noteReads(keep);
    }
}

const KivArray<KivNorvikFileReader::FieldLine>& KivNorvikFileReader::getFieldLines() const
{
    static const KivArray<FieldLine> none;
    if (d == nullptr) {
        return none;
    }
    if (!d->fieldLinesBuilt) {
        d->fieldLinesBuilt = true;
        try {
            for (const KivNorvikGroupScan::Read& read : d->scan.reads()) {
                const KivNorvikLineRule& rule = *read.rule;
                for (int v = 0; v < rule.valueCount; ++v) {
                    if (!KivNorvikDiagnosis::sets(rule, rule.values[v], read.count)) {
                        continue;
                    }
                    const std::string path =
                        KivNorvikDiagnosis::fieldPath(read.path, rule, rule.values[v], read.element);
                    const int index = d->fieldLines.getLength();
                    d->fieldLines.setLength(index + 1);
                    if (d->fieldLines.getLength() != index + 1) {
                        return d->fieldLines; // as many as memory allows
                    }
                    d->fieldLines[index].path.assign(path.data(), path.size());
                    d->fieldLines[index].line = read.line;
                }
            }
        } catch (const std::exception&) {
            // As many as memory allows.
        }
    }
    return d->fieldLines;
}

int KivNorvikFileReader::readFile(KivNorvikData& data)
{
    if (d == nullptr) {
        return 0;
    }
    try {
        d->diagnosis.clear();
        d->refused = false;
        d->lines.setLength(0);
        d->linesBuilt = true;
        d->fieldLines.setLength(0);
        d->fieldLinesBuilt = true;
        d->cursor.clear();
        KivNorvikFileBytes& content = d->cursor.bytes();
        if (d->fromBuffer) {
            // Copied, so that getLines() may still read them after readFile.
            content.assign(d->bytes != nullptr ? d->bytes : "", d->size);
        } else {
            if (d->descriptor < 0) {
                d->fail(1, Kind::CannotOpen,
                        d->openError != 0 ? KivFileSystem::describe(d->openError) : "unknown reason");
                return 0;
            }
            // Every readFile reads the file from its start, so a second call
            // gives the file again rather than an empty record.
            errno = 0;
            int error = 0;
            if (d->readBefore && KivFileSystem::seek(d->descriptor, 0) != 0) {
                error = errno != 0 ? errno : EIO;
            }
            d->readBefore = true;
            if (error == 0) {
                error = content.read(d->descriptor);
            }
            if (error != 0) {
                content.clear();
                d->fail(1, Kind::ReadError, KivFileSystem::describe(error));
                return 0;
            }
        }
        d->findings = d->cursor.take(d->diagnosis, kRecord) && kRecord;
        if (d->findings && !d->cursor.anyText()) {
            d->findings = false;
            d->diagnosis.clear(); // of blank lines, the one finding says enough
            d->diagnosis.add(1, Kind::EmptyFile).text =
                content.size() == 0 ? "The file is empty" : "The file holds only blank lines";
        }
        d->linesBuilt = false;
        fillStructure(data);
        d->fieldLinesBuilt = false; // from what the scan noted
        return d->refused ? 0 : 1;
    } catch (const std::exception& e) {
        // Nothing of the file reaches `data`: the records are filled apart and
        // handed over last.
        reportFailure(e);
        return 0;
    }
}

void KivNorvikFileReader::reportFailure(const std::exception& error)
{
    if (d == nullptr) {
        return;
    }
    try {
        d->refused = true;
        d->lines.setLength(0);
        d->linesBuilt = true;
        d->diagnosis.clear();
        d->cursor.bytes().release();
        d->cursor.clear();
        if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
            d->diagnosis.add(1, Kind::OutOfMemory);
        } else {
            d->fail(1, Kind::ReadFailed, error.what());
        }
        d->diagnosis.findings(true);
    } catch (...) {
        // The reason is kept only if memory allows.
    }
}

void KivNorvikFileReader::fillStructure(KivNorvikData&) { KIV_REPORT("false"); }

void KivNorvikFileReader::reportRecordClass(const char* className, bool refuse)
{
    if (d == nullptr) {
        return;
    }
    if (refuse) {
        d->refused = true;
        d->diagnosis.clear();
    }
    d->diagnosis.add(1, refuse ? Kind::WrongRecordRefused : Kind::WrongRecordLost).name = className;
}

void KivNorvikFileReader::scanLines(const KivNorvikKind& kind, KivNorvikData& record)
{
    if (d == nullptr) {
        throw std::bad_alloc(); // the constructor could not make the reader's state
    }
    d->scan.scan(kind, d->cursor, d->diagnosis, *d, record, d->findings);
}

KivNorvikTarget KivNorvikFileReader::beginGroup(int, const KivString&) { return KivNorvikTarget(); }

void KivNorvikFileReader::endGroup(int) {}
