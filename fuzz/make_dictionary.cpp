// Prints a libFuzzer dictionary of every group header, keyword and pattern
// word that the readers know, taken from the kinds' layout tables.
#include <NorvikExport.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

int main()
{
    std::set<std::string> words = {"FIN",   "\"NV_ATT\",\"", "2006.15c2:",      "\\x0d\\x0a", "  ",
                                   "\\x0d", "\\x09",         "\\xef\\xbb\\xbf", ", "};
    const KivNorvikKindLayout* kinds[] = {&KivBL1Layout::kind(), &KivBL2Layout::kind(), &KivBL3Layout::kind(),
                                          &KivBL4Layout::kind(), &KivBL5Layout::kind()};
    for (const KivNorvikKindLayout* kind : kinds) {
        words.insert(std::string("\"") + kind->tag + "\",\"");
        for (int g = 0; g < kind->groupCount; ++g) {
            const KivNorvikGroupLayout& group = kind->groups[g];
            words.insert(std::string(group.header) + (group.numbered ? "1\\x0a" : "\\x0a"));
            for (int r = 0; r < group.ruleCount; ++r) {
                words.insert(group.rules[r].keyword);
                std::istringstream pattern(group.rules[r].pattern);
                std::string word;
                while (pattern >> word)
                    if (word != "*")
                        words.insert(word);
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
