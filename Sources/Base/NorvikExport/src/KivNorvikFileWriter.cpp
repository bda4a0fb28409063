#include "KivNorvikFileWriter.h"

#include "KivNorvikOutput.h"

#include <KivAssert.h>
#include <KivFile.h>

#include <cerrno>

KivNorvikFileWriter::KivNorvikFileWriter()
    : file(nullptr), exporter(eOlmarin), majorVersion(6), minorVersion(1) {}

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
    if (file != nullptr)
        return 0;
    const int index = static_cast<int>(kind);
    if (index < 0 || index > 4)
        KIV_REPORT("false");
    const KivString name = path + KivString(".") + KivString(extension(kind));
    kivfopen(&file, name, KivString("w"));
    return file != nullptr ? 1 : 0;
}

int KivNorvikFileWriter::endWrite()
{
    if (file == nullptr)
        return 0;
    FILE* closing = file;
    file = nullptr;
    const bool written = std::fflush(closing) == 0 && std::ferror(closing) == 0;
    const bool closed = kivfclose(closing) == 0;
    return written && closed ? 1 : 0;
}

KivNorvikOutput KivNorvikFileWriter::output() const
{
    return KivNorvikOutput(file, majorVersion, minorVersion);
}

int KivNorvikFileWriter::finish(const KivNorvikOutput& out) const
{
    return out.ok() ? 1 : 0;
}
