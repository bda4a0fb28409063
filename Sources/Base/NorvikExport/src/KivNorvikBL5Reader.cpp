#include "KivNorvikBL5Reader.h"

#include "KivBL5Data.h"
#include "KivBL5Lines.h"
#include "KivNorvikKinds.h"

#include "KivNorvikSharedLines.h"

#include <cstring>
#include <new>
#include <utility>

struct KivNorvikBL5Reader::Private
{
    KivBL5Data record;

    KivBL5Data::BL5DiagonalElementGroup diagonal;
    int diagonals = 0; // "DIAG_" groups stored
    bool fresh = true; // `record` is as constructed: no read has used it
    bool diagonalOpen = false;
};

KivNorvikBL5Reader::KivNorvikBL5Reader(const KivString& path) : KivNorvikFileReader(path), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL5Reader::KivNorvikBL5Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL5Reader::~KivNorvikBL5Reader() { delete d; }

void KivNorvikBL5Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        KivBL5Data* host = dynamic_cast<KivBL5Data*>(&data);
        if (host == nullptr) {
            reportRecordClass("KivBL5Data", true);
            return;
        }
        if (d == nullptr) {
            throw std::bad_alloc(); // the constructor could not make its state
        }
        if (!d->fresh) {
            d->record = KivBL5Data();
        }
        d->fresh = false;
        d->diagonals = 0;
        scanLines(*KivNorvikKinds::of(KivNorvikData::eBL5), d->record);
        KivBL5Data result(std::move(d->record));

        *host = std::move(result); // cannot throw: the host changes whole or not at all
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

KivNorvikTarget KivNorvikBL5Reader::beginGroup(int group, const KivString& header)
{
    d->diagonalOpen = false;
    switch (group) {
    case KivBL5Lines::General: return KivNorvikTarget::of(d->record.generalGroup);
    case KivBL5Lines::MainElement: return KivNorvikTarget::of(d->record.mainElementGroup);
    case KivBL5Lines::Column: return KivNorvikTarget::of(d->record.columnGroup);
    case KivBL5Lines::Diagonal:
        if (d->diagonals >= 2) {
            return KivNorvikTarget();
        }
        // A fresh diagonal numbered from its header "DIAG_n".
        d->diagonal = KivBL5Data::BL5DiagonalElementGroup();
        d->diagonal.number = KivNorvikSharedLines::headerNumber(
            header, std::strlen(KivBL5Lines::layout.groups[KivBL5Lines::Diagonal].header));
        d->diagonalOpen = true;
        return KivNorvikTarget::of(d->diagonal);
    default: return KivNorvikTarget();
    }
}

void KivNorvikBL5Reader::endGroup(int group)
{

    if (group == KivBL5Lines::Diagonal && d->diagonalOpen) {
        d->record.diagonalElementGroups[d->diagonals++] = std::move(d->diagonal);
    }
    d->diagonalOpen = false;
}
