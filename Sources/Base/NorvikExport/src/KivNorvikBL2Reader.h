#pragma once

#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

class KivBL2Data;

// Reads a BL2 file into a KivBL2Data: the groups "GEN", "POT" and "APP" and their lines.
// Not meant to be derived from outside the library.
class NORVIK_API KivNorvikBL2Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL2Reader(const KivString& path);
    // Reads `size` bytes at `bytes`, which must stay valid until readFile returns.
    KivNorvikBL2Reader(const char* bytes, size_t size);
    ~KivNorvikBL2Reader() override;

    // Reads the lines into a fresh record, then hands it to `data` through
    // setFrom: only a BL2 record takes it.
    void fillStructure(KivNorvikData& data) override;

protected:
    KivNorvikTarget beginGroup(int group, const KivString& header) override;

private:
    struct Private;
    Private* d;
};
