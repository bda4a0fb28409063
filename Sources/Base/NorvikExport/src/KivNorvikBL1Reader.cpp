#include "KivNorvikBL1Reader.h"

#include "KivBL1Lines.h"
#include "KivNorvikKinds.h"

#include <memory>
#include <new>
#include <typeinfo>
#include <utility>

struct KivNorvikBL1Reader::Private
{
    std::unique_ptr<KivBL1Data> record;
    // The beam side being read; stored into the record at the group's end.
    KivBL1Data::BL1Traverse pendingTraverse;
};

KivNorvikBL1Reader::KivNorvikBL1Reader(const KivString& path) : KivNorvikFileReader(path), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL1Reader::KivNorvikBL1Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL1Reader::~KivNorvikBL1Reader() { delete d; }

void KivNorvikBL1Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        if (d == nullptr) {
            throw std::bad_alloc(); // the constructor could not make its state
        }
        if (dynamic_cast<KivBL1Data*>(&data) == nullptr) {
            reportRecordClass("KivBL1Data", false);
        }
        d->record.reset();
        d->record.reset(new KivBL1Data());
        scanLines(*KivNorvikKinds::of(KivNorvikData::eBL1), *d->record);
        if (typeid(data) == typeid(KivBL1Data)) {
            // What setFrom does, without copying the fresh record.
            static_cast<KivBL1Data&>(data).takeFrom(std::move(*d->record));
        } else {
            data.setFrom(d->record.get());
        }
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

KivNorvikTarget KivNorvikBL1Reader::beginGroup(int group, const KivString&)
{
    if (d == nullptr || d->record == nullptr) {
        return KivNorvikTarget();
    }
    KivBL1Data& record = *d->record;
    switch (group) {
    case KivBL1Lines::General: return KivNorvikTarget::of(record.generalGroup);
    case KivBL1Lines::Column: return KivNorvikTarget::of(record.potGroup);
    case KivBL1Lines::ACR:
        // The ACR group stands in for the column: keep that choice, so the
        // record writes its ACR group again.
        record.potGroup.con = KivString(KivBL1Lines::layout.groups[KivBL1Lines::ACR].header);
        return KivNorvikTarget::of(record.acr);
    case KivBL1Lines::Right:
    case KivBL1Lines::Left:
        // Each beam-side group replaces its side as a whole.
        d->pendingTraverse = KivBL1Data::BL1Traverse();
        return KivNorvikTarget::of(d->pendingTraverse);
    default: return KivNorvikTarget();
    }
}

void KivNorvikBL1Reader::endGroup(int group)
{
    if (d == nullptr || d->record == nullptr || (group != KivBL1Lines::Right && group != KivBL1Lines::Left)) {
        return;
    }
    d->pendingTraverse.side = group == KivBL1Lines::Right ? 1 : 0;
    (group == KivBL1Lines::Right ? d->record->rightTraverse : d->record->leftTraverse) =
        std::move(d->pendingTraverse);
}
