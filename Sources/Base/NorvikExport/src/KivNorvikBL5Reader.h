#pragma once

#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

// Reads a BL5 file into a KivBL5Data: the
// general group, the main element or column group, and the "DIAG_n" groups, the
// first filling the first diagonal and the second the second.
// The format loses: an undefined bouCls (written as -123456.8, read as
// -123456.8), angleDiag other than 0 and 1 (written as LOCAL, read as 0), the
// group that typeAtt does not select (not written: a new record's values),
// "NEIGE" without a snow loading (not written), texts with blanks or empty
// texts before other values of their line, and reals beyond three decimals
// (bouCls: one).
// Not meant to be derived from outside the library.
class NORVIK_API KivNorvikBL5Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL5Reader(const KivString& path);
    // Reads `size` bytes at `bytes`, which must stay valid until readFile returns.
    KivNorvikBL5Reader(const char* bytes, size_t size);
    ~KivNorvikBL5Reader() override;

    // Fills a fresh record from the lines read and assigns it to `data`,
    // which keeps its diagonals' extraData. A record that is not a KivBL5Data
    // (or derived from it) is left untouched and readFile returns 0.
    void fillStructure(KivNorvikData& data) override;

protected:
    KivNorvikTarget beginGroup(int group, const KivString& header) override;
    void endGroup(int group) override;

private:
    struct Private;
    Private* d;
};
