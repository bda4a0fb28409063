#include "KivNorvikBL2Reader.h"

#include "KivBL2Data.h"
#include "KivBL2Layout.h"


KivNorvikBL2Reader::KivNorvikBL2Reader(const KivString& path)
    : KivNorvikFileReader(path), record(nullptr) {}

KivNorvikBL2Reader::~KivNorvikBL2Reader()
{
    delete record;
}

void KivNorvikBL2Reader::fillStructure(KivNorvikData& data)
{
    delete record;
    record = new KivBL2Data();
    scanLines(KivBL2Layout::kind(), false, false, *record);
    data.setFrom(record);
}

void* KivNorvikBL2Reader::beginGroup(int group)
{
    if (record == nullptr)
        return nullptr;
    switch (group) {
    case KivBL2Layout::General:
        return &record->generalGroup;
    case KivBL2Layout::Column:
        return &record->columnGroup;
    case KivBL2Layout::Support:
        return &record->supportGroup;
    default:
        return nullptr;
    }
}
