#include "KivNorvikRecordCheck.h"

#include "KivBL1Fields.h"
#include "KivBL2Fields.h"
#include "KivBL3Fields.h"
#include "KivBL4Fields.h"
#include "KivBL5Fields.h"
#include "KivNorvikKinds.h"
#include "KivNorvikLineWalker.h"
#include "KivNorvikTableWalk.h"

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace {

using Datum = KivNorvikLineWalker::Datum;
using Fields = std::vector<std::pair<std::string, Datum>>;

// Every field of a record with its value, the project name first.
struct Collector
{
    Fields fields;
    template <class T>
    void operator()(const std::string& path, const T& value)
    {
        fields.emplace_back(path, Datum::of(value));
    }
};

template <class Record>
Fields fieldsOf(const Record& record, bool skipHostData)
{
    Collector c;
    c.fields.emplace_back("projectName", Datum::of(record.projectName));
    visitFields(record, c);
    if (skipHostData) {
        // extraData is the host's: never written, and kept by a reader.
        Fields kept;
        for (auto& f : c.fields) {
            if (f.first.size() < 10 || f.first.compare(f.first.size() - 10, 10, ".extraData") != 0) {
                kept.push_back(std::move(f));
            }
        }
        return kept;
    }
    return c.fields;
}

template <class Record>
void checkRecord(const Record& record, const KivNorvikKind& kind, KivArray<KivNorvikRecordIssue>& issues)
{
    KivNorvikLineWalker walker(KivNorvikLineWalker::Mode::Check, kind.exactReals, kind.writesUnset);
    KivNorvikTableWalk(walker).walk(kind, record);
    const Record fresh;
    walker.findings(fieldsOf(record, kind.keepsHostData), fieldsOf(fresh, kind.keepsHostData), issues);
}

} // namespace

int KivNorvikRecordCheck::check(const KivNorvikData& record, KivArray<KivNorvikRecordIssue>& issues)
{
    try {
        issues.setLength(0);
        // The kind of the record's class, whatever its dataType says.
        if (const auto* bl1 = dynamic_cast<const KivBL1Data*>(&record)) {
            checkRecord(*bl1, *KivNorvikKinds::of(KivNorvikData::eBL1), issues);
        } else if (const auto* bl2 = dynamic_cast<const KivBL2Data*>(&record)) {
            checkRecord(*bl2, *KivNorvikKinds::of(KivNorvikData::eBL2), issues);
        } else if (const auto* bl3 = dynamic_cast<const KivBL3Data*>(&record)) {
            checkRecord(*bl3, *KivNorvikKinds::of(KivNorvikData::eBL3), issues);
        } else if (const auto* bl4 = dynamic_cast<const KivBL4Data*>(&record)) {
            checkRecord(*bl4, *KivNorvikKinds::of(KivNorvikData::eBL4), issues);
        } else if (const auto* bl5 = dynamic_cast<const KivBL5Data*>(&record)) {
            checkRecord(*bl5, *KivNorvikKinds::of(KivNorvikData::eBL5), issues);
        } else {
            return 0;
        }
        return 1;
    } catch (const std::exception&) {
        // Out of memory (std::bad_alloc and the containers' length errors).
        issues.setLength(0);
        return 0;
    }
}
