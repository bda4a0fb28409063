#include "KivNorvikKindLayout.h"

const KivNorvikGroupLayout* KivNorvikKindLayout::findGroup(const char* line, size_t length) const
{
    if (length == 0) {
        return nullptr;
    }
    for (int i = 0; i < groupCount; ++i) {
        if (groups[i].header[0] == line[0] && groups[i].isHeader(line, length)) {
            return &groups[i];
        }
    }
    return nullptr;
}
