#pragma once

#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

class KivBL2Data;

// Reads a BL2 file into a KivBL2Data by the table of KivBL2Layout.
class NORVIK_API KivNorvikBL2Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL2Reader(const KivString& path);
    ~KivNorvikBL2Reader() override;

    // Reads the lines into a fresh record, then hands it to `data` through
    // setFrom: only a BL2 record takes it.
    void fillStructure(KivNorvikData& data) override;

protected:
    void* beginGroup(int group) override;

private:
    KivBL2Data* record;
};
