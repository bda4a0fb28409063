#include "KivNorvikKinds.h"

#include "KivBL1Lines.h"
#include "KivBL2Lines.h"
#include "KivBL3Lines.h"
#include "KivBL4Lines.h"
#include "KivBL5Lines.h"
#include "KivNorvikFileSyntax.h"

#include <KivAssert.h>

#include <cctype>
#include <exception>
#include <iterator>
#include <new>
#include <string>
#include <string_view>

namespace {

template <class Record>
KivNorvikData* create()
{
    try {
        return new Record();
    } catch (const std::exception&) {
        return nullptr; // out of memory
    }
}

// clang-format off
const KivNorvikKind kinds[] = {
    // name  extension tag          name prefix   type               create            exact  unset  host   every tag line
    {"BL1", "bl1", "NV_ATT",    "",           KivNorvikData::eBL1, create<KivBL1Data>, false, false, false, false, &KivBL1Lines::layout},
    {"BL2", "bl2", "NV_ATT",    "",           KivNorvikData::eBL2, create<KivBL2Data>, true,  false, false, false, &KivBL2Lines::layout},
    {"BL3", "bl3", "NV_ATT",    "2006.15c2:", KivNorvikData::eBL3, create<KivBL3Data>, false, false, false, true,  &KivBL3Lines::layout},
    {"BL4", "bl4", "NV_ATT_04", "",           KivNorvikData::eBL4, create<KivBL4Data>, false, true,  true,  false, &KivBL4Lines::layout},
    {"BL5", "bl5", "NV_ATT_05", "",           KivNorvikData::eBL5, create<KivBL5Data>, false, true,  false, false, &KivBL5Lines::layout},
};
// clang-format on
constexpr int kCount = static_cast<int>(std::size(kinds));

bool equalsFolded(std::string_view a, const char* b)
{
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == '\0' || std::tolower(static_cast<unsigned char>(a[i])) !=
                                std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return b[i] == '\0';
}

// The non-empty lines of a file as the readers find them ("\n" or "\r\n"
// ends a line), each followed by readable bytes of `bytes`.
template <class Visit>
void eachLine(const std::string& bytes, size_t size, Visit visit)
{
    size_t start = 0;
    while (start < size) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string::npos || end >= size ? size : end + 1;
        if (end == std::string::npos || end >= size) {
            end = size;
        }
        if (end > start && bytes[end - 1] == '\r') {
            --end;
        }
        if (end > start && !visit(std::string_view(bytes.data() + start, end - start))) {
            return;
        }
        start = next;
    }
}

// How well the lines fit a kind's table: two for each header of its groups,
// one for each line a row of its group reads.
int fit(const std::string& bytes, size_t size, const KivNorvikKindLayout& layout)
{
    int score = 0;
    const KivNorvikGroupLayout* group = nullptr;
    KivNorvikLineTokens tokens;
    eachLine(bytes, size, [&](std::string_view line) {
        if (const KivNorvikGroupLayout* header = layout.findGroup(line.data(), line.size())) {
            group = header;
            score += 2;
            return true;
        }
        if (group == nullptr) {
            return true;
        }
        tokens.split(line.data(), line.size());
        if (tokens.getLength() == 1 && tokens[0] == "FIN") {
            group = nullptr;
        } else if (group->find(tokens) != nullptr) {
            ++score;
        }
        return true;
    });
    return score;
}

} // namespace

int KivNorvikKinds::count() { return kCount; }

const KivNorvikKind& KivNorvikKinds::at(int index)
{
    KIV_ASSERT(index >= 0 && index < kCount);
    return index >= 0 && index < kCount ? kinds[index] : kinds[0];
}

const KivNorvikKind* KivNorvikKinds::of(KivNorvikData::eNorvikDataType type)
{
    for (const KivNorvikKind& kind : kinds) {
        if (kind.type == type) {
            return &kind;
        }
    }
    return nullptr;
}

const KivNorvikKind* KivNorvikKinds::named(const char* text)
{
    if (text == nullptr) {
        return nullptr;
    }
    for (const KivNorvikKind& kind : kinds) {
        if (equalsFolded(text, kind.name) || equalsFolded(text, kind.extension)) {
            return &kind;
        }
    }
    return nullptr;
}

const KivNorvikKind* KivNorvikKinds::ofPath(const KivString& path)
{
    const std::wstring text(path.getStringW());
    for (const KivNorvikKind& kind : kinds) {
        const std::string_view extension = kind.extension;
        if (text.size() <= extension.size() || text[text.size() - extension.size() - 1] != L'.') {
            continue;
        }
        bool same = true;
        for (size_t i = 0; i < extension.size(); ++i) {
            const wchar_t c = text[text.size() - extension.size() + i];
            same = same && c < 0x80 && std::tolower(static_cast<int>(c)) == extension[i];
        }
        if (same) {
            return &kind;
        }
    }
    return nullptr;
}

int KivNorvikKinds::detect(const char* bytes, size_t size, KivArray<const KivNorvikKind*>& found)
{
    try {
        found.setLength(0);
        // The tokenizer reads past a line's end: the copy is followed by zero bytes.
        std::string text(bytes != nullptr ? bytes : "", bytes != nullptr ? size : 0);
        size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; // a byte-order mark hides the tag
        text.erase(0, start);
        const size_t length = text.size();
        text.append(16, '\0');
        // The tag line comes before the groups.
        unsigned candidates = 0;
        eachLine(text, length, [&candidates](std::string_view line) {
            for (const KivNorvikKind& kind : kinds) {
                if (kind.lines->findGroup(line.data(), line.size()) != nullptr) {
                    return false;
                }
            }
            candidates = KivNorvikFileSyntax::tagKinds(line);
            return candidates == 0u;
        });
        const bool tagged = candidates != 0u;
        if (!tagged) {
            candidates = (1u << kCount) - 1;
        }
        unsigned best = 0;
        int bestScore = 0;
        if ((candidates & (candidates - 1)) == 0u) {
            best = candidates; // the tag tells
        } else {
            for (int k = 0; k < kCount; ++k) {
                if ((candidates & (1u << k)) == 0u) {
                    continue;
                }
                const int score = fit(text, length, *kinds[k].lines);
                if (score > bestScore) {
                    best = 0;
                    bestScore = score;
                }
                if (score == bestScore && score > 0) {
                    best |= 1u << k;
                }
            }
            if (best == 0u && tagged) {
                best = candidates;
            }
        }
        for (int k = 0; k < kCount; ++k) {
            if ((best & (1u << k)) != 0u) {
                const int index = found.getLength();
                found.setLength(index + 1);
                if (found.getLength() != index + 1) {
                    throw std::bad_alloc();
                }
                found[index] = &kinds[k];
            }
        }
        return found.getLength();
    } catch (const std::exception&) {
        found.setLength(0);
        return -1;
    }
}
