#pragma once

#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

// Reads a BL4 file into a KivBL4Data: the
// general group, the main element group, and the "DIAG_n" groups, the
// first filling the first diagonal and the second the second.
// The format loses: an undefined value6 of a bolt (written as -123456.8, read
// as -123456.8), a bolt kind outside 0..3 (written as "BOUDIST", read as 3),
// "NEIGE" without a snow loading (not written), texts with blanks or empty
// texts before other values of their line, reals beyond three decimals
// (value6: one), and extraData (never written: the host's value stays).
// Not meant to be derived from outside the library.
class NORVIK_API KivNorvikBL4Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL4Reader(const KivString& path);
    // Reads `size` bytes at `bytes`, which must stay valid until readFile returns.
    KivNorvikBL4Reader(const char* bytes, size_t size);
    ~KivNorvikBL4Reader() override;

    // Fills a fresh record from the lines read and assigns it to `data`,
    // which keeps its diagonals' extraData. A record that is not a KivBL4Data
    // (or derived from it) is left untouched and readFile returns 0.
    void fillStructure(KivNorvikData& data) override;

protected:
    KivNorvikTarget beginGroup(int group, const KivString& header) override;
    void endGroup(int group) override;

private:
    struct Private;
    Private* d;
};
