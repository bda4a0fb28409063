#include "KivNorvikBL1Reader.h"

#include "KivBL1Layout.h"

#include <new>
#include <typeinfo>
#include <utility>

KivNorvikBL1Reader::KivNorvikBL1Reader(const KivString& path) : KivNorvikFileReader(path), record(nullptr) {}

KivNorvikBL1Reader::KivNorvikBL1Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), record(nullptr)
{
}

KivNorvikBL1Reader::~KivNorvikBL1Reader() { delete record; }

void KivNorvikBL1Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        if (dynamic_cast<KivBL1Data*>(&data) == nullptr) {
            reportRecordClass("KivBL1Data", false);
        }
        delete record;
        record = nullptr;
        record = new KivBL1Data();
        scanLines(KivBL1Layout::kind(), false, false, *record);
        if (typeid(data) == typeid(KivBL1Data)) {
            // What setFrom does, without copying the fresh record.
            static_cast<KivBL1Data&>(data).takeFrom(std::move(*record));
        } else {
            data.setFrom(record);
        }
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

KivNorvikTarget KivNorvikBL1Reader::beginGroup(int group, const KivString&)
{
    if (record == nullptr) {
        return KivNorvikTarget();
    }
    switch (group) {
    case KivBL1Layout::General: return KivNorvikTarget::of(record->generalGroup);
    case KivBL1Layout::Column: return KivNorvikTarget::of(record->potGroup);
    case KivBL1Layout::ACR:
        // The ACR group stands in for the column: keep that choice, so the
        // record writes its ACR group again.
        record->potGroup.con = KivString(L"ACR");
        return KivNorvikTarget::of(record->acr);
    case KivBL1Layout::Right:
    case KivBL1Layout::Left:
        // Each beam-side group replaces its side as a whole.
        pendingTraverse = KivBL1Data::BL1Traverse();
        return KivNorvikTarget::of(pendingTraverse);
    default: return KivNorvikTarget();
    }
}

void KivNorvikBL1Reader::endGroup(int group)
{
    if (record == nullptr || (group != KivBL1Layout::Right && group != KivBL1Layout::Left)) {
        return;
    }
    pendingTraverse.side = group == KivBL1Layout::Right ? 1 : 0;
    (group == KivBL1Layout::Right ? record->rightTraverse : record->leftTraverse) =
        std::move(pendingTraverse);
}
