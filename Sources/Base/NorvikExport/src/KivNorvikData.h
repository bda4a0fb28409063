#pragma once

#include "NorvikExportApi.h"

#include <KivString.h>

#include <type_traits>
#include <utility>

// Base of the five connection records: the kind and the project name.
class NORVIK_API KivNorvikData
{
public:
    enum eNorvikDataType { eBL1 = 0, eBL2 = 1, eBL3 = 2, eBL4 = 3, eBL5 = 4 };

    // The undefined values: a field holding one of these is not set.
    static constexpr double kUndefinedReal = -123456.78;
    static constexpr int kUndefinedInteger = -123456;
    static const KivString& undefinedString();

    // Definedness tests. `isDefined` uses the tolerance of 1e-6 (NaN is
    // undefined); `isSetExactly` compares exactly (NaN is set).
    static bool isDefined(double value);
    static bool isDefined(double value, double undefinedValue);
    static bool isSetExactly(double value);
    static bool isDefined(int value);
    static bool isDefined(const KivString& value);

    KivNorvikData();
    explicit KivNorvikData(const eNorvikDataType& type);
    KivNorvikData(const KivNorvikData& other);
    KivNorvikData& operator=(const KivNorvikData& other);
    // The kind and the project name of `other`; never throw.
    KivNorvikData(KivNorvikData&& other) noexcept;
    KivNorvikData& operator=(KivNorvikData&& other) noexcept;
    virtual ~KivNorvikData();

    // Copies the kind and the project name of `source`, whatever its kind.
    // In every record class, a copy that throws (std::bad_alloc) leaves this
    // record as it was: the new values are made apart and moved in last.
    virtual void setFrom(const KivNorvikData* source);

    KivString getProjectName() const;
    void setProjectName(const KivString& name);
    eNorvikDataType getDataType() const;
    void setDataType(const eNorvikDataType& type);

    KivString projectName;
    eNorvikDataType dataType;

protected:
    // The source as a record of class `Record` when it is of kind `kind` and
    // really of that class (a kind set by hand on another class is refused);
    // null otherwise.
    template <class Record>
    static const Record* sourceOfKind(const KivNorvikData* source, eNorvikDataType kind)
    {
        if (source == nullptr || source->dataType != kind) {
            return nullptr;
        }
        return dynamic_cast<const Record*>(source);
    }

    // Moves `from` into `to`; only for values whose move cannot throw, so
    // that the last step of a hand-over cannot fail half-way.
    template <class T>
    static void moveIn(T& from, T& to) noexcept
    {
        static_assert(std::is_nothrow_move_assignable<T>::value, "a hand-over must not throw");
        to = std::move(from);
    }
};
