#include "KivNorvikBL3Reader.h"

#include "KivBL3Data.h"
#include "KivBL3Layout.h"

#include <new>
#include <typeinfo>
#include <utility>

KivNorvikBL3Reader::KivNorvikBL3Reader(const KivString& path) : KivNorvikFileReader(path), record(nullptr) {}

KivNorvikBL3Reader::KivNorvikBL3Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), record(nullptr)
{
}

KivNorvikBL3Reader::~KivNorvikBL3Reader() { delete record; }

void KivNorvikBL3Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        if (dynamic_cast<KivBL3Data*>(&data) == nullptr) {
            reportRecordClass("KivBL3Data", false);
        }
        delete record;
        record = nullptr;
        record = new KivBL3Data();
        scanLines(KivBL3Layout::kind(), true, true, *record);
        if (hasLines()) {
            if (typeid(data) == typeid(KivBL3Data)) {
                // What setFrom does, without copying the fresh record.
                static_cast<KivBL3Data&>(data).takeFrom(std::move(*record));
            } else {
                data.setFrom(record);
            }
        }
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

const KivBL3Data* KivNorvikBL3Reader::getRecord() const { return record; }

KivNorvikTarget KivNorvikBL3Reader::beginGroup(int group, const KivString&)
{
    if (record == nullptr) {
        return KivNorvikTarget();
    }
    switch (group) {
    case KivBL3Layout::General: return KivNorvikTarget::of(record->generalGroup);
    case KivBL3Layout::MainElement: return KivNorvikTarget::of(record->mainElementGroup);
    case KivBL3Layout::SecondaryElement: return KivNorvikTarget::of(record->secondaryElementGroup);
    default: return KivNorvikTarget();
    }
}
