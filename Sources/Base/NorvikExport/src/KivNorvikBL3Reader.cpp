#include "KivNorvikBL3Reader.h"

#include "KivBL3Data.h"
#include "KivBL3Layout.h"

KivNorvikBL3Reader::KivNorvikBL3Reader(const KivString& path)
    : KivNorvikFileReader(path), record(nullptr) {}

KivNorvikBL3Reader::~KivNorvikBL3Reader()
{
    delete record;
}

void KivNorvikBL3Reader::fillStructure(KivNorvikData& data)
{
    delete record;
    record = new KivBL3Data();
    scanLines(KivBL3Layout::kind(), true, true, *record);
    if (lines.getLength() > 0)
        data.setFrom(record);
}

const KivBL3Data* KivNorvikBL3Reader::getRecord() const
{
    return record;
}

void* KivNorvikBL3Reader::beginGroup(int group)
{
    if (record == nullptr)
        return nullptr;
    switch (group) {
    case KivBL3Layout::General:
        return &record->generalGroup;
    case KivBL3Layout::MainElement:
        return &record->mainElementGroup;
    case KivBL3Layout::SecondaryElement:
        return &record->secondaryElementGroup;
    default:
        return nullptr;
    }
}
