#include "FindingKinds.h"

#include <KivNorvikFinding.h>

#include <algorithm>

namespace norvik {

const std::vector<FindingKind>& findingKinds()
{
    // The library's table of codes, read once.
    static const std::vector<FindingKind> kinds = [] {
        int count = 0;
        const KivNorvikFinding::Code* codes = KivNorvikFinding::codes(count);
        std::vector<FindingKind> out;
        out.reserve(static_cast<size_t>(std::max(count, 0)));
        for (int i = 0; i < count; ++i) {
            out.push_back({codes[i].code, codes[i].severity == KivNorvikFinding::Error, codes[i].summary});
        }
        return out;
    }();
    return kinds;
}

const FindingKind* findingKind(const std::string& code)
{
    const std::vector<FindingKind>& kinds = findingKinds();
    const auto found =
        std::find_if(kinds.begin(), kinds.end(), [&](const FindingKind& k) { return k.code == code; });
    return found == kinds.end() ? nullptr : &*found;
}

} // namespace norvik
