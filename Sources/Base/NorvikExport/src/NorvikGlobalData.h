#pragma once

#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

// Records shared by several kinds: sections and general loadings.
namespace NorvikGlobalData {

struct NORVIK_API SectionByProfileAttributes
{
    SectionByProfileAttributes();
    KivString text1;
    KivString text2;
};

struct NORVIK_API SectionByDimensionAttributes
{
    SectionByDimensionAttributes();
    int shape;
    double dim1, dim2, dim3, dim4, dim5;
};

struct NORVIK_API BL12SectionByDimension
{
    BL12SectionByDimension();
    double dim1, dim2, dim3, dim4, dim5;
};

// A section of BL3, BL4 and BL5 elements: by profile (type 0) or by dimensions (type 1).
struct NORVIK_API Section
{
    Section();
    bool exportPRF() const;
    bool exportDIM() const;

    int type;
    SectionByProfileAttributes profile;
    SectionByDimensionAttributes dimension;
};

// A section of BL1 and BL2 members: by profile (type 0) or by dimensions (type 1).
struct NORVIK_API BL12Section
{
    BL12Section();
    bool exportPRO() const;
    bool exportI() const;

    int type;
    SectionByProfileAttributes profile;
    BL12SectionByDimension dimension;
};

// One general loading, a "CHA" line.
struct NORVIK_API GenLoading
{
    GenLoading();
    // A loading of type 2 or -1 carries snow: the snow line goes with it.
    bool isSnow() const;
    int number;
    KivString text1;
    KivString text2;
    int type;
};

// Whether any of the loadings carries snow.
NORVIK_API bool hasSnowLoading(const KivArray<GenLoading>& loadings);

} // namespace NorvikGlobalData

// A loading holds integers and strings only: a growing list moves it by its bytes.
template <>
struct KivRelocatable<NorvikGlobalData::GenLoading> : std::true_type
{
};
