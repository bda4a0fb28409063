#pragma once

#include "KivNorvikData.h"
#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

#include <cstddef>

struct KivNorvikKindLayout;

/// One kind of exchange file, as the library knows it.
struct NORVIK_API KivNorvikKind
{
    /// "BL1" to "BL5".
    const char* name;
    /// The file name extension, without its dot: "bl1" to "bl5".
    const char* extension;
    /// The tag at the start of the file's first line: "NV_ATT" (BL1 to BL3),
    /// "NV_ATT_04" (BL4), "NV_ATT_05" (BL5).
    const char* tag;
    /// What the tag line holds before the project name: "2006.15c2:" (BL3), else "".
    const char* namePrefix;
    /// The kind's data type, which is also the writer's file kind (eFormatBL1 ..).
    KivNorvikData::eNorvikDataType type;
    /// A fresh record of the kind, every field unset; the caller deletes it.
    /// Null when memory runs out.
    KivNorvikData* (*create)();
    /// Reading and writing policies:
    /// a real is set when it differs from the undefined real at all (BL2);
    /// otherwise a real within 1e-6 of it counts as unset.
    bool exactReals;
    /// Lines are written whatever their values hold (BL4, BL5): an unset value
    /// reaches the file as it stands.
    bool writesUnset;
    /// readFile keeps the host record's own extraData (BL4 diagonals).
    bool keepsHostData;
    /// Every tag line names the project (BL3); otherwise the first one does.
    bool everyTagLine;
    /// The kind's line table; internal to the library.
    const KivNorvikKindLayout* lines;
};

/// The five kinds, BL1 to BL5, and how the kind of a file is told. Every
/// function returns at once and throws nothing but as stated; the table is
/// constant and may be read from any thread.
class NORVIK_API KivNorvikKinds
{
public:
    /// The number of kinds: 5.
    static int count();
    /// The kind at `index`, 0 (BL1) to count() - 1 (BL5). An index outside is
    /// reported through KivAssert and gives BL1.
    static const KivNorvikKind& at(int index);
    /// The kind of a data type; null for a type outside the enumeration.
    static const KivNorvikKind* of(KivNorvikData::eNorvikDataType type);
    /// The kind whose name or extension is `text` ("BL2", "bl2"), in any
    /// letter case; null for any other text or null.
    static const KivNorvikKind* named(const char* text);
    /// The kind whose extension ends `path` after a dot ("joint.BL2"), in any
    /// letter case; null when none does.
    static const KivNorvikKind* ofPath(const KivString& path);

    /// The kinds that a file's content fits best, for files whose name does not
    /// tell: the tag line's tag (and, for "NV_ATT", whether the project name
    /// carries the BL3 prefix), then, among the kinds the tag leaves (all of
    /// them without a tag line), how many of the file's group headers (two
    /// each) and lines (one each) each kind's table reads. Replaces `kinds`
    /// with one kind when the content tells it, several when it fits them
    /// alike, none when it fits none. Returns their number; -1 when memory
    /// runs out (`kinds` is then empty). Throws nothing.
    static int detect(const char* bytes, size_t size, KivArray<const KivNorvikKind*>& kinds);
};
