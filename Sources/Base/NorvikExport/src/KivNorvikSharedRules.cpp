#include "KivNorvikSharedRules.h"

namespace {

// The values the tokens give, over a default loading.
void fillLoading(NorvikGlobalData::GenLoading& loading, const KivNorvikLineTokens& tokens)
{
    const int count = tokens.getLength();
    if (count > 1) {
        loading.number = tokens[1].toInteger();
    }
    if (count > 2) {
        loading.text1.assign(tokens[2].data(), tokens[2].size());
    }
    if (count > 3) {
        loading.text2.assign(tokens[3].data(), tokens[3].size());
    }
    if (count > 4) {
        loading.type = tokens[4].toInteger();
    }
}

} // namespace

void KivNorvikSharedRules::readLoading(NorvikGlobalData::GenLoading& loading,
                                       const KivNorvikLineTokens& tokens)
{
    loading = NorvikGlobalData::GenLoading();
    fillLoading(loading, tokens);
}

void KivNorvikSharedRules::appendLoading(KivArray<NorvikGlobalData::GenLoading>& loadings,
                                         const KivNorvikLineTokens& tokens)
{
    // Appended as a copy of a kept default, which shares its texts: the slot
    // is a default loading already.
    static const NorvikGlobalData::GenLoading fresh;
    const int index = loadings.append(fresh);
    if (index >= 0) {
        fillLoading(loadings[index], tokens);
    }
}

KivNorvikFillResult KivNorvikSharedRules::readSection(NorvikGlobalData::Section& section,
                                                      const KivNorvikLineTokens& tokens)
{
    const int count = tokens.getLength();
    if (count < 4) {
        return KivNorvikFillResult::MissingValues;
    }
    if (tokens[1] == "DIM") {
        if (count < 8) {
            return KivNorvikFillResult::MissingValues;
        }
        section.type = 1;
        const int shape = tokens[2].toInteger();
        if (shape != 1 && shape != 3 && shape != 4 && shape != 7 && shape != 8) {
            return KivNorvikFillResult::UnknownWord;
        }
        section.dimension.shape = shape;
        // The writer's order is dim2, dim4, dim1, dim3, dim5.
        section.dimension.dim2 = tokens[3].toDouble(false);
        section.dimension.dim4 = tokens[4].toDouble(false);
        section.dimension.dim1 = tokens[5].toDouble(false);
        section.dimension.dim3 = tokens[6].toDouble(false);
        section.dimension.dim5 = tokens[7].toDouble(false);
        return KivNorvikFillResult::Done;
    }
    section.type = 0;
    section.profile.text1.assign(tokens[2].data(), tokens[2].size());
    section.profile.text2.assign(tokens[3].data(), tokens[3].size());
    return KivNorvikFillResult::Done;
}
