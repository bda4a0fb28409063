// Prints a libFuzzer dictionary of every tag, group header, keyword, pattern
// word and code word of the kinds' line tables.
#include <KivNorvikKindLayout.h>
#include <KivNorvikKinds.h>
#include <KivNorvikSharedLines.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

int main()
{
    std::set<std::string> words = {
        KivNorvikSharedLines::groupEnd, "\\x0d\\x0a", "  ", "\\x0d", "\\x09", "\\xef\\xbb\\xbf", ", "};
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKind& kind = KivNorvikKinds::at(k);
        words.insert(std::string("\"") + kind.tag + "\",\"" + kind.namePrefix);
        const KivNorvikKindLayout& layout = *kind.lines;
        for (int g = 0; g < layout.groupCount; ++g) {
            const KivNorvikGroupLayout& group = layout.groups[g];
            words.insert(std::string(group.header) + (group.numbered ? "1\\x0a" : "\\x0a"));
            for (int r = 0; r < group.ruleCount; ++r) {
                const KivNorvikLineRule& rule = group.rules[r];
                if (rule.keyword != nullptr) {
                    words.insert(rule.keyword);
                }
                std::istringstream pattern(rule.pattern);
                for (std::string word; pattern >> word;) {
                    if (word.size() >= 2 && word.front() == '(') {
                        word = word.substr(1, word.size() - 2);
                    }
                    if (word != "*") {
                        words.insert(word);
                    }
                }
                // The words that codes choose, as keywords, pattern words or values.
                const KivNorvikWords* choices[KivNorvikLineRule::kMaxValues + 1] = {rule.choice.words};
                for (int v = 0; v < rule.valueCount; ++v) {
                    choices[v + 1] = rule.values[v].words;
                }
                for (const KivNorvikWords* table : choices) {
                    for (int c = 0; table != nullptr && c < table->count; ++c) {
                        words.insert(table->words[c]);
                    }
                }
            }
        }
    }
    int n = 0;
    for (const std::string& word : words) {
        std::string escaped;
        for (char c : word)
            escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
        std::printf("w%d=\"%s\"\n", n++, escaped.c_str());
    }
    return 0;
}
