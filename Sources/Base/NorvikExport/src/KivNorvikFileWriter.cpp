#include "KivNorvikFileWriter.h"

#include "KivNorvikOpenFile.h"
#include "KivNorvikOutput.h"

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
    static const char* const extensions[] = {"bl1", "bl2", "bl3", "bl4", "bl5"};
    const int index = static_cast<int>(kind);
    return index >= 0 && index <= 4 ? extensions[index] : "";
}

int KivNorvikFileWriter::startWrite(const KivString& path, eNorvikFormatFile kind)
{
    if (file != nullptr && file->isOpen()) {
        error = EBUSY;
        return 0;
    }
    file.reset(); // completed through a copy: this writer starts afresh
    const int index = static_cast<int>(kind);
    if (index < 0 || index > 4) {
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

KivNorvikOutput KivNorvikFileWriter::output() const
{
    if (file != nullptr && file->isOpen()) {
        file->beginRecord();
    }
    return KivNorvikOutput(file != nullptr && file->isOpen() ? file.get() : nullptr, majorVersion,
                           minorVersion);
}

int KivNorvikFileWriter::finish(const KivNorvikOutput& out) const
{
    if (file == nullptr || !file->isOpen()) {
        error = EBADF;
        return 0;
    }
    file->endRecord(); // hands the record's bytes to the file
    if (!out.ok() || file->error() != 0) {
        error = file->error();
        return 0;
    }
    return 1;
}
