#pragma once

#include "KivBL1Data.h"
#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

// Reads a BL1 file into a KivBL1Data: the groups "GEN", "POT", "ACR",
// "TRA D" and "TRA G" and their lines. Not meant to be derived from outside
// the library.
class NORVIK_API KivNorvikBL1Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL1Reader(const KivString& path);
    // Reads `size` bytes at `bytes`, which must stay valid until readFile returns.
    KivNorvikBL1Reader(const char* bytes, size_t size);
    ~KivNorvikBL1Reader() override;

    // Fills a fresh record from the line store (project name from the first
    // tag line) and hands it to `data` through setFrom. A record that is not a
    // KivBL1Data takes the project name alone, with a finding.
    void fillStructure(KivNorvikData& data) override;

protected:
    KivNorvikTarget beginGroup(int group, const KivString& header) override;
    void endGroup(int group) override;

private:
    struct Private;
    Private* d;
};
