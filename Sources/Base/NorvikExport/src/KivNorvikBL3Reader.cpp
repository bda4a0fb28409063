#include "KivNorvikBL3Reader.h"

#include "KivBL3Data.h"
#include "KivBL3Lines.h"
#include "KivNorvikKinds.h"

#include <memory>
#include <new>
#include <typeinfo>
#include <utility>

struct KivNorvikBL3Reader::Private
{
    std::unique_ptr<KivBL3Data> record;
};

KivNorvikBL3Reader::KivNorvikBL3Reader(const KivString& path) : KivNorvikFileReader(path), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL3Reader::KivNorvikBL3Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL3Reader::~KivNorvikBL3Reader() { delete d; }

void KivNorvikBL3Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        if (dynamic_cast<KivBL3Data*>(&data) == nullptr) {
            reportRecordClass("KivBL3Data", false);
        }
        if (d == nullptr) {
            throw std::bad_alloc(); // the constructor could not make its state
        }
        d->record.reset();
        d->record.reset(new KivBL3Data());
        scanLines(*KivNorvikKinds::of(KivNorvikData::eBL3), *d->record);
        if (hasLines()) {
            if (typeid(data) == typeid(KivBL3Data)) {
                // What setFrom does, without copying the fresh record.
                static_cast<KivBL3Data&>(data).takeFrom(std::move(*d->record));
            } else {
                data.setFrom(d->record.get());
            }
        }
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

const KivBL3Data* KivNorvikBL3Reader::getRecord() const { return d != nullptr ? d->record.get() : nullptr; }

KivNorvikTarget KivNorvikBL3Reader::beginGroup(int group, const KivString&)
{
    if (d == nullptr || d->record == nullptr) {
        return KivNorvikTarget();
    }
    switch (group) {
    case KivBL3Lines::General: return KivNorvikTarget::of(d->record->generalGroup);
    case KivBL3Lines::MainElement: return KivNorvikTarget::of(d->record->mainElementGroup);
    case KivBL3Lines::SecondaryElement: return KivNorvikTarget::of(d->record->secondaryElementGroup);
    default: return KivNorvikTarget();
    }
}
