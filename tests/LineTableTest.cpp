// The line tables are the one description of each kind's lines: their words
// appear as texts in the table sources only, each reading row is one line
// of its group, and each written line is described once.
#include <KivNorvikKindLayout.h>
#include <KivNorvikKinds.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

namespace {

// Every word the tables give a line: tags, headers, keywords, pattern
// words and the words that codes choose; not numbers.
std::set<std::string> tableWords()
{
    std::set<std::string> words;
    auto add = [&words](const std::string& word) {
        if (!word.empty() && !std::isdigit(static_cast<unsigned char>(word[0])))
            words.insert(word);
    };
    auto addAll = [&add](const KivNorvikWords* table) {
        for (int i = 0; table != nullptr && i < table->count; ++i) {
            std::istringstream in(table->words[i]);
            for (std::string word; in >> word;)
                add(word);
        }
    };
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKind& kind = KivNorvikKinds::at(k);
        add(kind.tag);
        add(kind.namePrefix);
        const KivNorvikKindLayout& layout = *kind.lines;
        for (int g = 0; g < layout.groupCount; ++g) {
            const KivNorvikGroupLayout& group = layout.groups[g];
            std::istringstream header(group.header);
            for (std::string word; header >> word;)
                add(word);
            for (int r = 0; r < group.ruleCount; ++r) {
                const KivNorvikLineRule& rule = group.rules[r];
                if (rule.keyword != nullptr)
                    add(rule.keyword);
                std::istringstream pattern(rule.pattern);
                for (std::string word; pattern >> word;)
                    add(word.front() == '(' ? word.substr(1, word.size() - 2) : word);
                addAll(rule.choice.words);
                for (int v = 0; v < rule.valueCount; ++v)
                    addAll(rule.values[v].words);
            }
        }
        for (int w = 0; w < layout.writtenCount; ++w)
            addAll(layout.written[w].header.words);
    }
    return words;
}

// The code of a source, its comments blanked: they may quote the file's words.
std::string withoutComments(const std::string& source)
{
    std::string code;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '"') { // a literal, kept whole
            const size_t start = i++;
            while (i < source.size() && source[i] != '"' && source[i] != '\n')
                i += source[i] == '\\' ? 2 : 1;
            code += source.substr(start, i - start + 1);
        } else if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i) - 1;
        } else if (source.compare(i, 2, "/*") == 0) {
            i = source.find("*/", i) + 1;
        } else if (source[i] == '\'' && i + 2 < source.size()) { // a character: '"' is not a literal
            const size_t end = source.find('\'', i + 2);
            code += source.substr(i, end - i + 1);
            i = end;
        } else {
            code += source[i];
        }
    }
    return code;
}

bool isTableSource(const std::string& name)
{
    static const std::regex table(
        R"(KivBL[1-5]Lines\.(h|cpp)|KivNorvikSharedLines\.(h|cpp)|KivNorvikKinds\.cpp)");
    return std::regex_match(name, table);
}

} // namespace

TEST(LineTables, TheirWordsAreTextsOfTheTableSourcesOnly)
{
    const std::set<std::string> words = tableWords();
    ASSERT_GT(words.size(), 150u);
    // A string literal, and a word in it as a whole word.
    const std::regex literal(R"x("((?:[^"\\\n]|\\.)*)")x");
    const std::regex word(R"([A-Za-z_][A-Za-z0-9_./]*)");
    int tableFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(NORVIK_LIBRARY_SOURCE_DIR)) {
        const std::string name = entry.path().filename().string();
        if (isTableSource(name)) {
            ++tableFiles;
            continue;
        }
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = withoutComments(text.str());
        for (std::sregex_iterator l(source.begin(), source.end(), literal), end; l != end; ++l) {
            const std::string content = (*l)[1];
            for (std::sregex_iterator w(content.begin(), content.end(), word); w != end; ++w)
                EXPECT_EQ(0u, words.count(w->str())) << name << ": \"" << content << "\" holds " << w->str();
        }
    }
    EXPECT_EQ(13, tableFiles); // the five kinds' tables, the shared lines and the kind table
}

TEST(LineTables, EachLineIsDescribedOnce)
{
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKindLayout& layout = *KivNorvikKinds::at(k).lines;
        std::set<const KivNorvikLineRule*> tables;
        for (int g = 0; g < layout.groupCount; ++g) {
            const KivNorvikGroupLayout& group = layout.groups[g];
            if (!tables.insert(group.rules).second)
                continue; // the two beam sides share their rows
            std::set<std::tuple<std::string, std::string, int, int>> read;
            std::set<std::tuple<std::string, std::string, std::string, int, int>> written;
            for (int r = 0; r < group.ruleCount; ++r) {
                const KivNorvikLineRule& rule = group.rules[r];
                const std::string keyword = rule.keyword != nullptr ? rule.keyword : "";
                if (rule.reads()) {
                    EXPECT_TRUE(read.emplace(keyword, rule.pattern, rule.minTokens, rule.exactTokens).second)
                        << KivNorvikKinds::at(k).name << " " << group.header << ": " << keyword
                        << " read twice";
                }
                std::string fields;
                for (int v = 0; v < rule.valueCount; ++v)
                    fields += std::string(rule.values[v].field) + " ";
                if (rule.writes()) {
                    EXPECT_TRUE(
                        written.emplace(keyword, rule.pattern, fields, rule.minTokens, rule.exactTokens)
                            .second)
                        << KivNorvikKinds::at(k).name << " " << group.header << ": " << keyword
                        << " written twice";
                }
                // The words a choice writes for its own code are the row's own.
                if (rule.choice.words != nullptr && rule.reads()) {
                    std::istringstream words(keyword + " " + rule.pattern);
                    std::string own;
                    for (int i = 0; i <= rule.choice.position; ++i)
                        words >> own;
                    if (!own.empty() && own.front() == '(')
                        own = own.substr(1, own.size() - 2);
                    EXPECT_EQ(std::string(rule.choice.words->words[rule.choice.own]).substr(0, own.size()),
                              own)
                        << KivNorvikKinds::at(k).name << " " << keyword << " " << rule.pattern;
                }
            }
        }
    }
}
