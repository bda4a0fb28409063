#pragma once

#include <KivBL1Data.h>
#include <KivBL1Fields.h>
#include <KivBL2Data.h>
#include <KivBL2Fields.h>
#include <KivBL3Data.h>
#include <KivBL3Fields.h>
#include <KivBL4Data.h>
#include <KivBL4Fields.h>
#include <KivBL5Data.h>
#include <KivBL5Fields.h>

#include <mutex>
#include <KivNorvikData.h>
#include <KivNorvikKinds.h>
#include <KivString.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The kinds as the library's kind table gives them, and the generic handling
// of their records.
namespace norvik {

using Kind = KivNorvikData::eNorvikDataType;

// What `make(kind)` gives, made once per kind and process (thread-safe).
// `make` is a lambda: each one, a type of its own, keeps its own five.
template <class Make>
const auto& oncePerKind(Kind kind, Make make)
{
    using Value = decltype(make(kind));
    static Value all[5];
    static std::once_flag once[5];
    const int k = static_cast<int>(kind);
    std::call_once(once[k], [&] { all[k] = make(kind); });
    return all[k];
}
// Every kind, in the table's order (BL1 to BL5).
std::vector<Kind> allKinds();

const char* kindName(Kind kind);                           // "BL1"
const char* kindExtension(Kind kind);                      // "bl1"
std::optional<Kind> kindFromName(const std::string& name); // "BL1" or "bl1", in any case
// The kind named by a path's extension, in any case.
std::optional<Kind> kindFromPath(const std::string& path);

// Texts of kinds that write values as they stand (BL4, BL5): their "unset" is the empty text.
inline bool textUnsetIsEmpty(Kind kind)
{
    const KivNorvikKind* found = KivNorvikKinds::of(kind);
    return found != nullptr && found->writesUnset;
}

std::unique_ptr<KivNorvikData> freshRecord(Kind kind);

// Calls f with the record as its own class.
template <class R, class F>
decltype(auto) withRecord(R& record, F&& f)
{
    constexpr bool isConst = std::is_const_v<R>;
    auto as = [&](auto* type) -> decltype(auto) {
        using T = std::remove_pointer_t<decltype(type)>;
        using Q = std::conditional_t<isConst, const T, T>;
        return f(static_cast<Q&>(record));
    };
    switch (record.dataType) {
    case KivNorvikData::eBL1: return as(static_cast<KivBL1Data*>(nullptr));
    case KivNorvikData::eBL2: return as(static_cast<KivBL2Data*>(nullptr));
    case KivNorvikData::eBL3: return as(static_cast<KivBL3Data*>(nullptr));
    case KivNorvikData::eBL4: return as(static_cast<KivBL4Data*>(nullptr));
    default: return as(static_cast<KivBL5Data*>(nullptr));
    }
}

// UTF-8 and the records' wide text. Invalid UTF-8 sequences become U+FFFD.
std::string toUtf8(const KivString& text);
std::string toUtf8(const std::wstring& text);
KivString fromUtf8(const std::string& text);
std::wstring wideFromUtf8(const std::string& text);

// Writes `record` through the library's writer to `out` ("-": standard
// output). The kind's extension is added unless `out` already ends in it (in
// any case; the file then ends in the writer's ".bl1"); exportRecord also
// refuses an `out` that ends in another kind's extension. Empty on success,
// else the reason.
std::string writeRecord(const KivNorvikData& record, const std::string& out);

// The bytes of `record`'s exchange file as the library's writer writes them
// (through a temporary file). Empty on success, else the reason.
std::string recordBytes(const KivNorvikData& record, std::string& bytes);

// The path the writer gets for `out`: `out` less a trailing ".blN" of the kind, in any case.
std::string writerBase(const std::string& out, Kind kind);

} // namespace norvik
