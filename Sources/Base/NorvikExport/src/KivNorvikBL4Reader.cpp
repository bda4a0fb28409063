#include "KivNorvikBL4Reader.h"

#include "KivBL4Data.h"
#include "KivBL4Lines.h"
#include "KivNorvikKinds.h"

#include "KivNorvikSharedLines.h"

#include <cstring>
#include <new>
#include <utility>

struct KivNorvikBL4Reader::Private
{
    KivBL4Data record;
    KivBL4Lines::MainTarget main;
    KivBL4Data::BL4DiagonalElementGroup diagonal;
    int diagonals = 0; // "DIAG_" groups stored
    bool fresh = true; // `record` is as constructed: no read has used it
    bool diagonalOpen = false;
};

KivNorvikBL4Reader::KivNorvikBL4Reader(const KivString& path) : KivNorvikFileReader(path), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL4Reader::KivNorvikBL4Reader(const char* bytes, size_t size)
    : KivNorvikFileReader(bytes, size), d(nullptr)
{
    try {
        d = new Private;
    } catch (...) {
        d = nullptr; // readFile then fails with out-of-memory
    }
}

KivNorvikBL4Reader::~KivNorvikBL4Reader() { delete d; }

void KivNorvikBL4Reader::fillStructure(KivNorvikData& data)
{
    // Any exception ends the read here: `data` is assigned last.
    try {
        KivBL4Data* host = dynamic_cast<KivBL4Data*>(&data);
        if (host == nullptr) {
            reportRecordClass("KivBL4Data", true);
            return;
        }
        if (d == nullptr) {
            throw std::bad_alloc(); // the constructor could not make its state
        }
        if (!d->fresh) {
            d->record = KivBL4Data();
        }
        d->fresh = false;
        d->diagonals = 0;
        scanLines(*KivNorvikKinds::of(KivNorvikData::eBL4), d->record);
        KivBL4Data result(std::move(d->record));
        for (int i = 0; i < 2; ++i) {
            result.diagonalElementGroups[i].extraData = host->diagonalElementGroups[i].extraData;
        }
        *host = std::move(result); // cannot throw: the host changes whole or not at all
    } catch (const std::exception& error) {
        reportFailure(error);
    }
}

KivNorvikTarget KivNorvikBL4Reader::beginGroup(int group, const KivString& header)
{
    d->diagonalOpen = false;
    switch (group) {
    case KivBL4Lines::General: return KivNorvikTarget::of(d->record.generalGroup);
    case KivBL4Lines::MainElement:
        // A repeated group goes on from the values read so far; its first
        // bolt line fills bolt1 again.
        static_cast<KivBL4Data::BL4MainElementGroup&>(d->main) = d->record.mainElementGroup;
        d->main.boltLines = 0;
        return KivNorvikTarget::of(d->main);
    case KivBL4Lines::Diagonal:
        if (d->diagonals >= 2) {
            return KivNorvikTarget();
        }
        // A fresh diagonal numbered from its header "DIAG_n".
        d->diagonal = KivBL4Data::BL4DiagonalElementGroup();
        d->diagonal.number = KivNorvikSharedLines::headerNumber(
            header, std::strlen(KivBL4Lines::layout.groups[KivBL4Lines::Diagonal].header));
        d->diagonalOpen = true;
        return KivNorvikTarget::of(d->diagonal);
    default: return KivNorvikTarget();
    }
}

void KivNorvikBL4Reader::endGroup(int group)
{
    if (group == KivBL4Lines::MainElement) {
        d->record.mainElementGroup = d->main;
    }
    if (group == KivBL4Lines::Diagonal && d->diagonalOpen) {
        d->record.diagonalElementGroups[d->diagonals++] = std::move(d->diagonal);
    }
    d->diagonalOpen = false;
}
