#include "KivNorvikBL2Reader.h"

#include "KivBL2Data.h"
#include "KivBL2Lines.h"
#include "KivNorvikKinds.h"

#include <memory>
#include <new>
#include <typeinfo>
#include <utility>

struct KivNorvikBL2Reader::Private
{
    std::unique_ptr<KivBL2Data> record;
};

KivNorvikBL2Reader::KivNorvikBL2Reader(const KivString& path) : KivNorvikFileReader(path), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL2Reader::KivNorvikBL2Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL2Reader::~KivNorvikBL2Reader() { delete d; }

void KivNorvikBL2Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        if (dynamic_cast<KivBL2Data*>(&data) == nullptr) {
            reportRecordClass("KivBL2Data", false);
        }
        if (d == nullptr) {
            throw std::bad_alloc(); // the constructor could not make its state
        }
        d->record.reset();
        d->record.reset(new KivBL2Data());
        scanLines(*KivNorvikKinds::of(KivNorvikData::eBL2), *d->record);
        if (typeid(data) == typeid(KivBL2Data)) {
            // What setFrom does, without copying the fresh record.
            static_cast<KivBL2Data&>(data).takeFrom(std::move(*d->record));
        } else {
            data.setFrom(d->record.get());
        }
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

KivNorvikTarget KivNorvikBL2Reader::beginGroup(int group, const KivString&)
{
    if (d == nullptr || d->record == nullptr) {
        return KivNorvikTarget();
    }
    switch (group) {
    case KivBL2Lines::General: return KivNorvikTarget::of(d->record->generalGroup);
    case KivBL2Lines::Column: return KivNorvikTarget::of(d->record->columnGroup);
    case KivBL2Lines::Support: return KivNorvikTarget::of(d->record->supportGroup);
    default: return KivNorvikTarget();
    }
}
