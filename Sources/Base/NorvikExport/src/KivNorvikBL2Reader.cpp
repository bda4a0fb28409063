#include "KivNorvikBL2Reader.h"

#include "KivBL2Data.h"
#include "KivBL2Layout.h"

#include <new>
#include <typeinfo>
#include <utility>

KivNorvikBL2Reader::KivNorvikBL2Reader(const KivString& path) : KivNorvikFileReader(path), record(nullptr) {}

KivNorvikBL2Reader::KivNorvikBL2Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), record(nullptr)
{
}

KivNorvikBL2Reader::~KivNorvikBL2Reader() { delete record; }

void KivNorvikBL2Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        if (dynamic_cast<KivBL2Data*>(&data) == nullptr) {
            reportRecordClass("KivBL2Data", false);
        }
        delete record;
        record = nullptr;
        record = new KivBL2Data();
        scanLines(KivBL2Layout::kind(), false, false, *record);
        if (typeid(data) == typeid(KivBL2Data)) {
            // What setFrom does, without copying the fresh record.
            static_cast<KivBL2Data&>(data).takeFrom(std::move(*record));
        } else {
            data.setFrom(record);
        }
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

KivNorvikTarget KivNorvikBL2Reader::beginGroup(int group, const KivString&)
{
    if (record == nullptr) {
        return KivNorvikTarget();
    }
    switch (group) {
    case KivBL2Layout::General: return KivNorvikTarget::of(record->generalGroup);
    case KivBL2Layout::Column: return KivNorvikTarget::of(record->columnGroup);
    case KivBL2Layout::Support: return KivNorvikTarget::of(record->supportGroup);
    default: return KivNorvikTarget();
    }
}
