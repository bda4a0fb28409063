#include "KivNorvikFileFormat.h"

#include "KivNorvikKinds.h"
#include "KivNorvikLineWalker.h"
#include "KivNorvikTableWalk.h"

#include <exception>
#include <memory>
#include <new>

int KivNorvikFileFormat::lines(KivNorvikData::eNorvikDataType kind, KivArray<KivNorvikLineFormat>& lines)
{
    try {
        lines.setLength(0);
        const KivNorvikKind* found = KivNorvikKinds::of(kind);
        if (found == nullptr) {
            return 0;
        }
        const std::unique_ptr<KivNorvikData> record(found->create());
        if (record == nullptr) {
            throw std::bad_alloc();
        }
        KivNorvikLineWalker walker(KivNorvikLineWalker::Mode::Describe, false, false);
        KivNorvikTableWalk(walker).walk(*found, *record);
        for (const KivNorvikLineFormat& row : walker.rows()) {
            const int index = lines.getLength();
            lines.setLength(index + 1);
            if (lines.getLength() != index + 1) {
                throw std::bad_alloc();
            }
            lines[index] = row;
        }
        return 1;
    } catch (const std::exception&) {
        lines.setLength(0);
        return 0;
    }
}
