#include "KivNorvikBL2Reader.h"

#include "KivBL2Data.h"
#include "KivBL2Layout.h"

#include <cstring>

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

void* KivNorvikBL2Reader::beginGroup(const KivNorvikGroupLayout& group)
{
    if (record == nullptr)
        return nullptr;
    if (std::strcmp(group.header, "GEN") == 0)
        return &record->generalGroup;
    if (std::strcmp(group.header, "POT") == 0)
        return &record->columnGroup;
    if (std::strcmp(group.header, "APP") == 0)
        return &record->supportGroup;
    return nullptr;
}
