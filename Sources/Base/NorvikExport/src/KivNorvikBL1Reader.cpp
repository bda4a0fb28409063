#include "KivNorvikBL1Reader.h"

#include "KivBL1Layout.h"


KivNorvikBL1Reader::KivNorvikBL1Reader(const KivString& path)
    : KivNorvikFileReader(path), record(nullptr) {}

KivNorvikBL1Reader::~KivNorvikBL1Reader()
{
    delete record;
}

void KivNorvikBL1Reader::fillStructure(KivNorvikData& data)
{
    delete record;
    record = new KivBL1Data();
    scanLines(KivBL1Layout::kind(), false, false, *record);
    data.setFrom(record);
}

void* KivNorvikBL1Reader::beginGroup(int group)
{
    if (record == nullptr)
        return nullptr;
    switch (group) {
    case KivBL1Layout::General:
        return &record->generalGroup;
    case KivBL1Layout::Column:
        return &record->potGroup;
    case KivBL1Layout::ACR:
        // The ACR group stands in for the column: keep that choice, so the
        // record writes its ACR group again.
        record->potGroup.con = KivString(L"ACR");
        return &record->acr;
    case KivBL1Layout::Right:
    case KivBL1Layout::Left:
        // Each beam-side group replaces its side as a whole.
        pendingTraverse = KivBL1Data::BL1Traverse();
        return &pendingTraverse;
    default:
        return nullptr;
    }
}

void KivNorvikBL1Reader::endGroup(int group, void* target)
{
    if (record == nullptr || target != &pendingTraverse)
        return;
    pendingTraverse.side = group == KivBL1Layout::Right ? 1 : 0;
    (group == KivBL1Layout::Right ? record->rightTraverse : record->leftTraverse) = pendingTraverse;
}
