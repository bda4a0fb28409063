#include "KivNorvikTableWalk.h"

#include "KivNorvikData.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using Line = KivNorvikLineWalker::Line;
using Datum = KivNorvikLineWalker::Datum;

namespace {

// The words of a choice joined by "|", each in the place of the chosen word
// within `words` (the line's words, as written).
std::string choices(const std::vector<std::string>& words, const KivNorvikChoice& choice,
                    const char* separator)
{
    std::string out;
    for (int c = 0; c < choice.words->count; ++c) {
        std::string line;
        for (size_t i = 0; i < words.size(); ++i) {
            line += (i == 0 ? "" : " ") +
                    (static_cast<int>(i) == choice.position ? std::string(choice.words->words[c]) : words[i]);
        }
        out += (c == 0 ? "" : separator) + line;
    }
    return out;
}

// The keyword and pattern words of a row as written: "(AME)" as AME, "*" left out.
std::vector<std::string> writtenWords(const KivNorvikLineRule& rule)
{
    std::vector<std::string> words;
    words.emplace_back(rule.keyword != nullptr ? rule.keyword : "");
    std::string pattern = rule.pattern;
    size_t at = 0;
    while (at < pattern.size()) {
        while (at < pattern.size() && pattern[at] == ' ') {
            ++at;
        }
        const size_t end = std::min(pattern.find(' ', at), pattern.size());
        std::string word = pattern.substr(at, end - at);
        if (word.size() >= 2 && word.front() == '(') {
            word = word.substr(1, word.size() - 2);
        }
        if (!word.empty()) {
            words.push_back(word);
        }
        at = end;
    }
    return words;
}

// The row among `group`'s that reads the line `rule` writes with the word of
// `code`: the row of the same words and choice whose own code it is; null
// for none.
const KivNorvikLineRule* readerOf(const KivNorvikGroupLayout& group, const KivNorvikLineRule& rule, int code)
{
    std::vector<std::string> words = writtenWords(rule);
    const size_t position = static_cast<size_t>(rule.choice.position);
    for (int r = 0; r < group.ruleCount; ++r) {
        const KivNorvikLineRule& other = group.rules[r];
        if (other.choice.words != rule.choice.words || other.choice.position != rule.choice.position ||
            other.choice.own != code || !other.reads()) {
            continue;
        }
        std::vector<std::string> otherWords = writtenWords(other);
        if (otherWords.size() == words.size() && position < words.size()) {
            otherWords[position] = words[position];
            if (otherWords == words) {
                return &other;
            }
        }
    }
    return nullptr;
}

bool allows(const KivNorvikValue& value, int number)
{
    for (int i = 0; i < value.allowedCount; ++i) {
        if (value.allowed[i] == number) {
            return true;
        }
    }
    return value.allowed == nullptr;
}

std::string layoutOf(const KivNorvikLineRule& rule, const std::vector<std::string>& words,
                     const std::string& shownWords)
{
    std::string text(static_cast<size_t>(rule.indent), ' ');
    if (rule.choice.words != nullptr) {
        text += shownWords;
    } else {
        for (size_t i = 0; i < words.size(); ++i) {
            text += (i == 0 ? "" : (rule.wideGaps & (1u << i)) != 0u ? "  " : " ") + words[i];
        }
    }
    for (int v = 0; v < rule.valueCount; ++v) {
        const KivNorvikValue& value = rule.values[v];
        if (value.kind == KivNorvikValueKind::Fixed || value.kind == KivNorvikValueKind::Sets) {
            continue;
        }
        text += value.token < 32 && (rule.wideGaps & (1u << value.token)) != 0u ? "  " : " ";
        switch (value.kind) {
        case KivNorvikValueKind::Code:
        case KivNorvikValueKind::Word: {
            std::string all;
            for (int c = 0; c < value.words->count; ++c) {
                all += (c == 0 ? "" : "|") + std::string(value.words->words[c]);
            }
            text += all;
            break;
        }
        case KivNorvikValueKind::Version: text += "%d.%d"; break;
        default: text += value.format.text; break;
        }
    }
    return text;
}

} // namespace

void KivNorvikTableWalk::walk(const KivNorvikKind& kind, const KivNorvikData& record)
{
    w_.tag(kind, record.projectName);
    const KivNorvikKindLayout& layout = *kind.lines;
    for (int g = 0; g < layout.writtenCount; ++g) {
        walkGroup(layout, layout.written[g], record);
    }
}

void KivNorvikTableWalk::walkGroup(const KivNorvikKindLayout& layout, const KivNorvikWrittenGroup& written,
                                   const KivNorvikData& record)
{
    const KivNorvikGroupLayout& group = layout.groups[written.group];
    const KivNorvikTarget member = written.member(record);
    const bool holds = written.when.holds == nullptr || written.when.holds(&record);
    std::string header = group.header;
    if (written.header.words != nullptr) {
        header = choices({header}, written.header, "|");
    } else if (written.number != nullptr) {
        header += "%d";
    }
    // The walker keeps the header's text while it walks the group.
    texts_.push_back(header);
    w_.group(texts_.back().c_str(), written.path, written.when.name, written.when.text, holds,
             written.reason != nullptr ? written.reason : "");
    if (written.outside.holds != nullptr && written.outside.holds(&record)) {
        w_.outsideTable(written.outside.field, written.outside.message);
    }
    const KivNorvikLineRule& first = group.rules[0];
    const void* object = member.as(first.elements.append != nullptr ? first.elements.owner : first.type);
    if (written.header.words != nullptr) {
        const KivNorvikChoice& choice = written.header;
        const int code = choice.code(object);
        const bool inTable = code >= 0 && code < choice.words->count;
        if (KivNorvikData::isDefined(code) && !inTable) {
            w_.outsideTable(choice.field, choice.outside);
        }
        // The header's group is read into the member of the written group whose own code it is.
        std::string into;
        for (int w = 0; inTable && w < layout.writtenCount; ++w) {
            if (layout.written[w].header.words == choice.words && layout.written[w].header.own == code) {
                into = layout.written[w].path;
            }
        }
        if (!into.empty() && into != written.path) {
            w_.explain(choice.field, "read-elsewhere", "the group is read back as " + into);
        }
        w_.readInto(into, written.replaces);
        if (inTable) {
            w_.groupSets(choice.field, Datum::of(code));
        }
    }
    if (written.setsField != nullptr) {
        w_.groupSets(written.setsField, Datum::of(KivString(written.setsText)), true);
    }
    if (written.number != nullptr) {
        const char* numberHeader = group.header;
        Line line(numberHeader);
        line.integer(written.numberField, written.number(object)).layout(group.header + std::string("%d"));
        w_.line(line);
    }
    for (int r = 0; r < group.ruleCount; ++r) {
        const KivNorvikLineRule& rule = group.rules[r];
        if (!rule.writes()) {
            continue;
        }
        if (rule.elements.count != nullptr) {
            const void* owner = member.as(rule.elements.owner);
            if (w_.describing()) {
                walkRow(group, rule, rule.elements.fresh(), -1); // a default element
                continue;
            }
            const int count = owner != nullptr ? rule.elements.count(owner) : 0;
            for (int i = 0; i < count; ++i) {
                walkRow(group, rule, rule.elements.at(owner, i).as(rule.type), i);
            }
            continue;
        }
        walkRow(group, rule, member.as(rule.type), -1);
    }
}

void KivNorvikTableWalk::walkRow(const KivNorvikGroupLayout& group, const KivNorvikLineRule& rule,
                                 const void* object, int index)
{
    const std::vector<std::string> words = writtenWords(rule);
    std::string keyword;
    std::string shown;
    const KivNorvikLineRule* reader = &rule;
    int chosen = -1;
    if (rule.choice.words != nullptr) {
        const KivNorvikChoice& choice = rule.choice;
        const int code = choice.code(object);
        const char* word = choice.words->wordOf(code);
        chosen = word != nullptr
                     ? (code >= 0 && code < choice.words->count ? code : choice.words->writtenOther)
                     : -1;
        if (choice.outside != nullptr && KivNorvikData::isDefined(code) &&
            (code < 0 || code >= choice.words->count)) {
            w_.outsideTable(choice.field, choice.outside);
        }
        std::vector<std::string> line = words;
        line[static_cast<size_t>(choice.position)] = word != nullptr ? word : choice.words->words[choice.own];
        for (size_t i = 0; i < line.size(); ++i) {
            keyword += (i == 0 ? "" : " ") + line[i];
        }
        shown = choices(words, choice, "|");
        if (chosen >= 0) {
            const KivNorvikLineRule* sibling = readerOf(group, rule, chosen);
            reader = sibling != nullptr ? sibling : &rule;
        }
    } else {
        for (size_t i = 0; i < words.size(); ++i) {
            keyword += (i == 0 ? "" : (rule.wideGaps & (1u << i)) != 0u ? "  " : " ") + words[i];
        }
        shown = keyword;
    }
    if (rule.range.holds != nullptr && rule.range.holds(object)) {
        w_.outsideTable(rule.range.field, rule.range.message);
    }
    const bool holds = rule.when.holds == nullptr || rule.when.holds(object);
    // A deque keeps its elements in place as it grows: the line may point to them.
    texts_.push_back(keyword);
    texts_.push_back(shown);
    Line line(texts_[texts_.size() - 2].c_str(), texts_.back().c_str());
    line.when(rule.when.name, rule.when.text, holds).layout(layoutOf(rule, words, shown));
    if (rule.selected != nullptr && !rule.selected(object)) {
        line.reason("not-selected");
    } else if (rule.reason != nullptr) {
        line.reason(rule.reason);
    }
    if (rule.elements.field != nullptr) {
        line.element(rule.elements.field, index);
    }
    if (holds && rule.note.field != nullptr) {
        w_.explain(rule.note.field, rule.note.code, rule.note.message);
    }
    bool refused = false; // a value the reader does not take: the line's values are not read
    for (int v = 0; v < rule.valueCount; ++v) {
        const KivNorvikValue& value = rule.values[v];
        const KivNorvikValue& read = reader->values[v];
        const KivNorvikLoaded loaded = value.load != nullptr ? value.load(object) : KivNorvikLoaded();
        switch (value.kind) {
        case KivNorvikValueKind::Fixed:
            line.code(value.field, loaded.integer);
            if (rule.choice.words == nullptr || std::string(rule.choice.field) != value.field) {
                line.sets(value.field, Datum::of(value.constant));
            } else if (chosen >= 0) {
                line.sets(read.field, Datum::of(chosen));
            }
            break;
        case KivNorvikValueKind::Sets: line.sets(value.field, Datum::of(value.constant)); break;
        case KivNorvikValueKind::Integer:
        case KivNorvikValueKind::ListInteger:
            line.integer(value.field, loaded.integer, value.format.text);
            if (!allows(value, loaded.integer) && holds) {
                w_.outsideTable(value.field, value.refused != nullptr
                                                 ? value.refused
                                                 : "the reader does not take this value");
                refused = true;
            }
            break;
        case KivNorvikValueKind::Real:
            if (value.transform != nullptr) {
                line.realAsInteger(value.field, loaded.real, value.transform(loaded.real));
            } else {
                line.real(value.field, loaded.real, value.format.text);
            }
            break;
        case KivNorvikValueKind::Text: line.text(value.field, *loaded.text); break;
        case KivNorvikValueKind::Code: {
            const char* word = value.words->wordOf(loaded.integer);
            std::string all;
            for (int c = 0; c < value.words->count; ++c) {
                all += (c == 0 ? "" : "|") + std::string(value.words->words[c]);
            }
            texts_.push_back(all);
            line.code(value.field, loaded.integer).word(word != nullptr ? word : "", texts_.back().c_str());
            if (word != nullptr) {
                const int back = value.words->codeOf(KivNorvikToken(word, std::strlen(word)));
                line.sets(value.field, Datum::of(back >= 0 ? back : value.words->readOther));
            }
            break;
        }
        case KivNorvikValueKind::Word: line.word(value.words->words[0]); break;
        case KivNorvikValueKind::Version: line.word("%d.%d"); break;
        }
        if (reader != &rule && value.kind != KivNorvikValueKind::Fixed &&
            value.kind != KivNorvikValueKind::Sets) {
            line.into(read.field);
        }
    }
    if (refused) {
        line.unread(); // the reader stops at the line: none of its values reaches the record
    }
    const int needed = std::max(group.minTokens, rule.requiredTokens());
    if (rule.exactTokens > 0) {
        line.exactTokens(rule.exactTokens);
    } else {
        line.minTokens(needed);
    }
    w_.line(line);
}
