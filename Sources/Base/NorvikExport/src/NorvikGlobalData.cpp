#include "NorvikGlobalData.h"

#include "KivNorvikData.h"

namespace NorvikGlobalData {

namespace {
constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;

// The undefined text, looked up once: long lists construct many defaults.
const KivString& undefinedText()
{
    static const KivString& text = KivNorvikData::undefinedString();
    return text;
}
} // namespace

SectionByProfileAttributes::SectionByProfileAttributes()
    : text1(KivNorvikData::undefinedString()), text2(KivNorvikData::undefinedString())
{
}

SectionByDimensionAttributes::SectionByDimensionAttributes()
    : shape(kInteger), dim1(kReal), dim2(kReal), dim3(kReal), dim4(kReal), dim5(kReal)
{
}

BL12SectionByDimension::BL12SectionByDimension()
    : dim1(kReal), dim2(kReal), dim3(kReal), dim4(kReal), dim5(kReal)
{
}

Section::Section() : type(kInteger) {}

bool Section::exportPRF() const
{
    return type == 0 && KivNorvikData::isDefined(profile.text1) && KivNorvikData::isDefined(profile.text2);
}

bool Section::exportDIM() const
{
    const SectionByDimensionAttributes& d = dimension;
    return type == 1 && KivNorvikData::isDefined(d.dim1) && KivNorvikData::isDefined(d.dim2) &&
           KivNorvikData::isDefined(d.dim3) && KivNorvikData::isDefined(d.dim4) &&
           KivNorvikData::isDefined(d.dim5);
}

BL12Section::BL12Section() : type(kInteger) {}

bool BL12Section::exportPRO() const
{
    return type == 0 && KivNorvikData::isDefined(profile.text1) && KivNorvikData::isDefined(profile.text2);
}

bool BL12Section::exportI() const
{
    const BL12SectionByDimension& d = dimension;
    return type == 1 && KivNorvikData::isDefined(d.dim1) && KivNorvikData::isDefined(d.dim2) &&
           KivNorvikData::isDefined(d.dim3) && KivNorvikData::isDefined(d.dim4) &&
           KivNorvikData::isDefined(d.dim5);
}

GenLoading::GenLoading() : number(kInteger), text1(undefinedText()), text2(undefinedText()), type(kInteger) {}

bool GenLoading::isSnow() const { return type == 2 || type == -1; }

bool hasSnowLoading(const KivArray<GenLoading>& loadings)
{
    for (int i = 0; i < loadings.getLength(); ++i) {
        if (loadings[i].isSnow()) {
            return true;
        }
    }
    return false;
}

} // namespace NorvikGlobalData
