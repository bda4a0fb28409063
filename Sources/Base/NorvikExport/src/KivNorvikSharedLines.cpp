#include "KivNorvikSharedLines.h"

#include <KivNumber.h>

#include <climits>
#include <cwchar>

namespace {

const char* const originWords[] = {"Olmarin"};

// The token's text in `field`. Long lists of loadings repeat the same few
// texts: a text equal to the one of the entry before is taken from it, and a
// new one from the shared texts, so that copies count no owners.
void assignText(KivString& field, const KivNorvikToken& token, const KivString* before)
{
    if (before != nullptr && token.sameText(*before)) {
        field = *before;
    } else {
        field = KivString::shared(token.data(), token.size());
    }
}

// Every field of the loading: the tokens' values, a default loading's for
// the fields that the line does not give.
void fillLoading(NorvikGlobalData::GenLoading& loading, const KivNorvikLineTokens& tokens,
                 const NorvikGlobalData::GenLoading* before)
{
    static const NorvikGlobalData::GenLoading fresh;
    const int count = tokens.getLength();
    loading.number = count > 1 ? tokens[1].readInteger() : fresh.number;
    if (count > 2) {
        assignText(loading.text1, tokens[2], before != nullptr ? &before->text1 : nullptr);
    } else {
        loading.text1 = fresh.text1;
    }
    if (count > 3) {
        assignText(loading.text2, tokens[3], before != nullptr ? &before->text2 : nullptr);
    } else {
        loading.text2 = fresh.text2;
    }
    loading.type = count > 4 ? tokens[4].readInteger() : fresh.type;
}

} // namespace

const char* const KivNorvikSharedLines::sectionKeyword = "SECTION";
const char* const KivNorvikSharedLines::connectionKeyword = "CONNEC_SEC";
const int KivNorvikSharedLines::sectionShapes[5] = {1, 3, 4, 7, 8};
const KivNorvikWords KivNorvikSharedLines::origin = {originWords, 1, -1, -1};

void KivNorvikSharedLines::readLoading(NorvikGlobalData::GenLoading& loading,
                                       const KivNorvikLineTokens& tokens)
{
    fillLoading(loading, tokens, nullptr);
}

void KivNorvikSharedLines::appendLoading(KivArray<NorvikGlobalData::GenLoading>& loadings,
                                         const KivNorvikLineTokens& tokens)
{
    const int index = loadings.getLength();
    if (index == INT_MAX) {
        return;
    }
    loadings.setLength(index + 1); // the new slot is filled whole below, whatever it held
    if (loadings.getLength() == index + 1) {
        fillLoading(loadings[index], tokens, index > 0 ? &loadings[index - 1] : nullptr);
    }
}

KivNorvikFillResult KivNorvikSharedLines::readSection(NorvikGlobalData::Section& section,
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
        bool known = false;
        for (int s : sectionShapes) {
            known = known || s == shape;
        }
        if (!known) {
            return KivNorvikFillResult::UnknownWord;
        }
        section.dimension.shape = shape;
        // The writer's order is dim2, dim4, dim1, dim3, dim5.
        section.dimension.dim2 = tokens[3].readReal();
        section.dimension.dim4 = tokens[4].readReal();
        section.dimension.dim1 = tokens[5].readReal();
        section.dimension.dim3 = tokens[6].readReal();
        section.dimension.dim5 = tokens[7].readReal();
        return KivNorvikFillResult::Done;
    }
    section.type = 0;
    section.profile.text1.assign(tokens[2].data(), tokens[2].size());
    section.profile.text2.assign(tokens[3].data(), tokens[3].size());
    return KivNorvikFillResult::Done;
}

int KivNorvikSharedLines::headerNumber(const KivString& header, size_t prefix)
{
    const wchar_t* text = header.getStringW();
    const size_t length = std::wcslen(text);
    size_t used = 0;
    return length > prefix ? KivNumber::toInteger(text + prefix, length - prefix, used) : 0;
}
