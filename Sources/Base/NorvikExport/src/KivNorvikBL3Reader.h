#pragma once

#include "KivNorvikFileReader.h"
#include "NorvikExportApi.h"

class KivBL3Data;

// Reads a BL3 file into a KivBL3Data.
// Not meant to be derived from outside the library.
class NORVIK_API KivNorvikBL3Reader : public KivNorvikFileReader
{
public:
    explicit KivNorvikBL3Reader(const KivString& path);
    // Reads `size` bytes at `bytes`, which must stay valid until readFile returns.
    KivNorvikBL3Reader(const char* bytes, size_t size);
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
    KivNorvikTarget beginGroup(int group, const KivString& header) override;

private:
    struct Private;
    Private* d;
};
