#include "KivNorvikRecordCheck.h"

#include "KivBL1Fields.h"
#include "KivBL1Lines.h"
#include "KivBL2Fields.h"
#include "KivBL2Lines.h"
#include "KivBL3Fields.h"
#include "KivBL3Lines.h"
#include "KivBL4Fields.h"
#include "KivBL4Lines.h"
#include "KivBL5Fields.h"
#include "KivBL5Lines.h"
#include "KivNorvikLineWalker.h"

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
Fields fieldsOf(const Record& record, bool skipExtraData)
{
    Collector c;
    c.fields.emplace_back("projectName", Datum::of(record.projectName));
    visitFields(record, c);
    if (skipExtraData) {
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

template <class Record, class Lines>
void checkRecord(const Record& record, bool exactReals, bool reportUndefined, bool hostData,
                 KivArray<KivNorvikRecordIssue>& issues)
{
    KivNorvikLineWalker walker(KivNorvikLineWalker::Mode::Check, exactReals, reportUndefined);
    Lines::walk(walker, record);
    const Record fresh;
    walker.findings(fieldsOf(record, hostData), fieldsOf(fresh, hostData), issues);
}

} // namespace

int KivNorvikRecordCheck::check(const KivNorvikData& record, KivArray<KivNorvikRecordIssue>& issues)
{
    try {
        issues.setLength(0);
        if (const auto* bl1 = dynamic_cast<const KivBL1Data*>(&record)) {
            checkRecord<KivBL1Data, KivBL1Lines>(*bl1, false, false, false, issues);
        } else if (const auto* bl2 = dynamic_cast<const KivBL2Data*>(&record)) {
            checkRecord<KivBL2Data, KivBL2Lines>(*bl2, true, false, false, issues);
        } else if (const auto* bl3 = dynamic_cast<const KivBL3Data*>(&record)) {
            checkRecord<KivBL3Data, KivBL3Lines>(*bl3, false, false, false, issues);
        } else if (const auto* bl4 = dynamic_cast<const KivBL4Data*>(&record)) {
            checkRecord<KivBL4Data, KivBL4Lines>(*bl4, false, true, true, issues);
        } else if (const auto* bl5 = dynamic_cast<const KivBL5Data*>(&record)) {
            checkRecord<KivBL5Data, KivBL5Lines>(*bl5, false, true, false, issues);
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
