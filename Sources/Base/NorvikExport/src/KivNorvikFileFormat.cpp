#include "KivNorvikFileFormat.h"

#include "KivBL1Lines.h"
#include "KivBL2Lines.h"
#include "KivBL3Lines.h"
#include "KivBL4Lines.h"
#include "KivBL5Lines.h"
#include "KivNorvikLineWalker.h"

#include <exception>

namespace {

template <class Record, class Lines>
void describe(KivArray<KivNorvikLineFormat>& lines)
{
    KivNorvikLineWalker walker(KivNorvikLineWalker::Mode::Describe, false, false);
    const Record record;
    Lines::walk(walker, record);
    for (const KivNorvikLineFormat& row : walker.rows()) {
        const int index = lines.getLength();
        lines.setLength(index + 1);
        if (lines.getLength() != index + 1) {
            throw std::bad_alloc();
        }
        lines[index] = row;
    }
}

} // namespace

int KivNorvikFileFormat::lines(KivNorvikData::eNorvikDataType kind, KivArray<KivNorvikLineFormat>& lines)
{
    try {
        lines.setLength(0);
        switch (kind) {
        case KivNorvikData::eBL1: describe<KivBL1Data, KivBL1Lines>(lines); return 1;
        case KivNorvikData::eBL2: describe<KivBL2Data, KivBL2Lines>(lines); return 1;
        case KivNorvikData::eBL3: describe<KivBL3Data, KivBL3Lines>(lines); return 1;
        case KivNorvikData::eBL4: describe<KivBL4Data, KivBL4Lines>(lines); return 1;
        case KivNorvikData::eBL5: describe<KivBL5Data, KivBL5Lines>(lines); return 1;
        }
        return 0;
    } catch (const std::exception&) {
        lines.setLength(0);
        return 0;
    }
}
