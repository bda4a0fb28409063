#include "KivNorvikFileWriter.h"

#include "KivBL1Data.h"
#include "KivBL2Data.h"
#include "KivBL3Data.h"
#include "KivBL4Data.h"
#include "KivBL5Data.h"

#include "KivNorvikKindLayout.h"
#include "KivNorvikKinds.h"
#include "KivNorvikOpenFile.h"
#include "KivNorvikOutput.h"
#include "KivNorvikSharedLines.h"

#include <KivAssert.h>
#include <KivFileSystem.h>

#include <cerrno>
#include <new>
#include <string>

KivNorvikFileWriter::KivNorvikFileWriter()
    : exporter(eOlmarin), majorVersion(6), minorVersion(1), error(EBADF)
{
}

KivNorvikFileWriter::KivNorvikFileWriter(const KivNorvikFileWriter& other) = default;
KivNorvikFileWriter& KivNorvikFileWriter::operator=(const KivNorvikFileWriter& other) = default;
KivNorvikFileWriter::~KivNorvikFileWriter() = default;

void KivNorvikFileWriter::setNorvikExporter(const eNorvikExporter& value) { exporter = value; }
void KivNorvikFileWriter::setMajorVersion(const int& value) { majorVersion = value; }
void KivNorvikFileWriter::setMinorVersion(const int& value) { minorVersion = value; }

const char* KivNorvikFileWriter::extension(eNorvikFormatFile kind)
{
    const KivNorvikKind* found = KivNorvikKinds::of(static_cast<KivNorvikData::eNorvikDataType>(kind));
    return found != nullptr ? found->extension : "";
}

int KivNorvikFileWriter::startWrite(const KivString& path, eNorvikFormatFile kind)
{
    if (file != nullptr && file->isOpen()) {
        error = EBUSY;
        return 0;
    }
    file.reset(); // completed through a copy: this writer starts afresh
    if (KivNorvikKinds::of(static_cast<KivNorvikData::eNorvikDataType>(kind)) == nullptr) {
        KIV_REPORT("false");
    }
    try {
        std::wstring name(path.getStringW());
        name += L'.';
        for (const char* c = extension(kind); *c != '\0'; ++c) {
            name += static_cast<wchar_t>(*c);
        }
        std::shared_ptr<KivNorvikOpenFile> opened = std::make_shared<KivNorvikOpenFile>();
        if (opened->open(name.c_str()) == 0) {
            error = opened->error();
            return 0;
        }
        file = std::move(opened);
        error = 0;
        return 1;
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
        return 0;
    }
}

int KivNorvikFileWriter::endWrite()
{
    std::shared_ptr<KivNorvikOpenFile> closing = std::move(file);
    file.reset();
    if (closing == nullptr || !closing->isOpen()) {
        error = EBADF;
        return 0;
    }
    if (closing->complete() == 0) {
        error = closing->error();
        return 0;
    }
    error = EBADF; // from now on no file is open
    return 1;
}

int KivNorvikFileWriter::errorCode() const { return error; }

KivString KivNorvikFileWriter::errorText() const { return KivString(KivFileSystem::describe(error).c_str()); }

namespace {

// The lines of one written group: its header, its rows, "FIN".
void writeGroup(KivNorvikOutput& out, const KivNorvikKindLayout& layout, const KivNorvikWrittenGroup& written,
                const KivNorvikData& record)
{
    const KivNorvikTarget member = written.member(record);
    const KivNorvikGroupLayout& group = layout.groups[written.group];
    const void* object = member.as(group.rules[0].elements.append != nullptr ? group.rules[0].elements.owner
                                                                             : group.rules[0].type);
    if (written.header.words != nullptr) {
        // A code outside the table writes an empty header line.
        const char* header = written.header.words->wordOf(written.header.code(object));
        out.line(header != nullptr ? header : "");
    } else if (written.number != nullptr) {
        const int number = written.number(object);
        out.line(group.header, &number);
    } else {
        out.line(group.header);
    }
    for (int r = 0; r < group.ruleCount; ++r) {
        const KivNorvikLineRule& rule = group.rules[r];
        if (!rule.writes()) {
            continue;
        }
        if (rule.elements.count != nullptr) {
            const void* owner = member.as(rule.elements.owner);
            const int count = owner != nullptr ? rule.elements.count(owner) : 0;
            if (count > 0) {
                out.rows(rule, static_cast<const char*>(rule.elements.first(owner)), count,
                         rule.elements.stride);
            }
            continue;
        }
        const void* values = member.as(rule.type);
        if (values == nullptr) {
            KIV_REPORT("the group's object is of the row's type");
            continue;
        }
        if (rule.when.holds != nullptr && !rule.when.holds(values)) {
            continue;
        }
        const char* chosen = nullptr;
        if (rule.choice.words != nullptr) {
            chosen = rule.choice.words->wordOf(rule.choice.code(values));
            if (chosen == nullptr) {
                continue; // a code without a word writes no line
            }
        }
        out.row(rule, values, chosen);
    }
    out.line(KivNorvikSharedLines::groupEnd);
}

} // namespace

int KivNorvikFileWriter::writeRecord(const KivNorvikData& record, int type)
{
    if (file == nullptr || !file->isOpen()) {
        error = EBADF;
        return 0; // without an open file nothing is written
    }
    // The kind of the record's class, whatever its dataType says.
    const KivNorvikKind* kind = KivNorvikKinds::of(static_cast<KivNorvikData::eNorvikDataType>(type));
    file->beginRecord();
    KivNorvikOutput out(file.get(), majorVersion, minorVersion);
    try {
        out.tagLine(*kind, record.projectName);
        const KivNorvikKindLayout& layout = *kind->lines;
        for (int g = 0; g < layout.writtenCount; ++g) {
            const KivNorvikWrittenGroup& written = layout.written[g];
            if (written.when.holds == nullptr || written.when.holds(&record)) {
                writeGroup(out, layout, written, record);
            }
        }
    } catch (const std::bad_alloc&) {
        out.outOfMemory(); // the rest is dropped; write returns 0 (ENOMEM)
    }
    file->endRecord(); // hands the record's bytes to the file
    if (!out.ok() || file->error() != 0) {
        error = file->error();
        return 0;
    }
    return 1;
}

int KivNorvikFileWriter::write(const KivBL1Data& data) { return writeRecord(data, KivNorvikData::eBL1); }
int KivNorvikFileWriter::write(const KivBL2Data& data) { return writeRecord(data, KivNorvikData::eBL2); }
int KivNorvikFileWriter::write(const KivBL3Data& data) { return writeRecord(data, KivNorvikData::eBL3); }
int KivNorvikFileWriter::write(const KivBL4Data& data) { return writeRecord(data, KivNorvikData::eBL4); }
int KivNorvikFileWriter::write(const KivBL5Data& data) { return writeRecord(data, KivNorvikData::eBL5); }
