#pragma once

#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

class KivBL3Data;

// Reads a BL3 file into a KivBL3Data.
class NORVIK_API KivNorvikBL3Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL3Reader(const KivString& path);
    // Deletes the record read.
    ~KivNorvikBL3Reader() override;

    // Fills a fresh record from the lines read, then copies it into `data`
    // through setFrom, so a record of another kind is left unchanged, as is
    // any record when the file holds no line. The last tag line names the
    // project; without one the name is the fresh record's "Project".
    void fillStructure(KivNorvikData& data) override;

    // The record filled by fillStructure; null before.
    const KivBL3Data* getRecord() const;

protected:
    void* beginGroup(int group) override;

private:
    KivBL3Data* record;
};
