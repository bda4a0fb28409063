#pragma once

#include "KivBL1Data.h"
#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

// Reads a BL1 file into a KivBL1Data. The groups and keywords are those of
// KivBL1Layout.
class NORVIK_API KivNorvikBL1Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL1Reader(const KivString& path);
    ~KivNorvikBL1Reader() override;

    // Fills a fresh record from the line store (project name from the first
    // tag line) and hands it to `data` through setFrom.
    void fillStructure(KivNorvikData& data) override;

protected:
    void* beginGroup(int group) override;
    void endGroup(int group, void* target) override;

private:
    KivBL1Data* record;
    // The beam side being read; stored into the record at the group's end.
    KivBL1Data::BL1Traverse pendingTraverse;
};
