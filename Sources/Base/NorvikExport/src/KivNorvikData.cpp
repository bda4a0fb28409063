#include "KivNorvikData.h"

#include <cmath>
#include <utility>

// A host that binds the constants to a reference takes them from the DLL
// (imported static data), so the DLL defines and exports them.
constexpr double KivNorvikData::kUndefinedReal;
constexpr int KivNorvikData::kUndefinedInteger;

const KivString& KivNorvikData::undefinedString()
{
    static const KivString text = KivString::permanent(L"stringDummyNorvikExport");
    return text;
}

bool KivNorvikData::isDefined(double value) { return isDefined(value, kUndefinedReal); }

bool KivNorvikData::isDefined(double value, double undefinedValue)
{
    return std::fabs(value - undefinedValue) > 1e-6; // false for NaN
}

bool KivNorvikData::isSetExactly(double value) { return !(value == kUndefinedReal); }

bool KivNorvikData::isDefined(int value) { return value != kUndefinedInteger; }

bool KivNorvikData::isDefined(const KivString& value) { return value != undefinedString(); }

// The kind is left for the derived records to set; eBL1 keeps it from being indeterminate.
KivNorvikData::KivNorvikData() : dataType(eBL1) {}
KivNorvikData::KivNorvikData(const eNorvikDataType& type) : dataType(type) {}
KivNorvikData::KivNorvikData(const KivNorvikData& other)
    : projectName(other.projectName), dataType(other.dataType)
{
}

KivNorvikData& KivNorvikData::operator=(const KivNorvikData& other)
{
    dataType = other.dataType;
    projectName = other.projectName;
    return *this;
}

KivNorvikData::KivNorvikData(KivNorvikData&& other) noexcept
    : projectName(std::move(other.projectName)), dataType(other.dataType)
{
}

KivNorvikData& KivNorvikData::operator=(KivNorvikData&& other) noexcept
{
    dataType = other.dataType;
    projectName = std::move(other.projectName);
    return *this;
}

KivNorvikData::~KivNorvikData() = default;

void KivNorvikData::setFrom(const KivNorvikData* source)
{
    if (source == nullptr) {
        return;
    }
    KivString name(source->projectName);
    dataType = source->dataType;
    projectName = std::move(name);
}

KivString KivNorvikData::getProjectName() const { return projectName; }
void KivNorvikData::setProjectName(const KivString& name) { projectName = name; }
KivNorvikData::eNorvikDataType KivNorvikData::getDataType() const { return dataType; }
void KivNorvikData::setDataType(const eNorvikDataType& type) { dataType = type; }
