#include "KivNorvikBL1Reader.h"

#include "KivBL1Layout.h"

#include <cstring>

namespace {

bool is(const KivNorvikGroupLayout& group, const char* header)
{
    return std::strcmp(group.header, header) == 0;
}

} // namespace

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

void* KivNorvikBL1Reader::beginGroup(const KivNorvikGroupLayout& group)
{
    if (record == nullptr)
        return nullptr;
    if (is(group, KivBL1Layout::kGeneral))
        return &record->generalGroup;
    if (is(group, KivBL1Layout::kColumn))
        return &record->potGroup;
    if (is(group, KivBL1Layout::kACR)) {
        // The ACR group stands in for the column: keep that choice, so the
        // record writes its ACR group again.
        record->potGroup.con = KivString(L"ACR");
        return &record->acr;
    }
    if (is(group, KivBL1Layout::kRight) || is(group, KivBL1Layout::kLeft)) {
        // Each beam-side group replaces its side as a whole.
        pendingTraverse = KivBL1Data::BL1Traverse();
        return &pendingTraverse;
    }
    return nullptr;
}

void KivNorvikBL1Reader::endGroup(const KivNorvikGroupLayout& group, void* target)
{
    if (record == nullptr || target != &pendingTraverse)
        return;
    if (is(group, KivBL1Layout::kRight)) {
        pendingTraverse.side = 1;
        record->rightTraverse = pendingTraverse;
    } else if (is(group, KivBL1Layout::kLeft)) {
        pendingTraverse.side = 0;
        record->leftTraverse = pendingTraverse;
    }
}
