// The reader's line splitting and row lookup, compiled into this program from
// the library's sources (they are not exported), checked against plain
// reference versions: the lookup against the group's own linear find().
#include <KivNorvikKindLayout.h>
#include <KivNorvikKinds.h>
#include <KivNorvikLineTokens.h>
#include <KivNorvikRowIndex.h>

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// A line's bytes followed by the 16 readable bytes that split() and find() may load.
struct Padded
{
    explicit Padded(const std::string& line) : bytes(line + std::string(16, '\0')), length(line.size()) {}
    std::string bytes;
    size_t length;
};

std::vector<std::string> referenceSplit(const std::string& line)
{
    auto white = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    size_t first = 0, last = line.size();
    while (first < last && white(line[first]))
        ++first;
    while (last > first && white(line[last - 1]))
        --last;
    std::vector<std::string> out;
    for (size_t i = first; i < last;) {
        while (line[i] == ' ')
            ++i;
        const size_t start = i;
        while (i < last && line[i] != ' ')
            ++i;
        out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::vector<std::string> texts(const KivNorvikLineTokens& tokens)
{
    std::vector<std::string> out;
    for (int i = 0; i < tokens.getLength(); ++i)
        out.emplace_back(tokens[i].data(), tokens[i].size());
    return out;
}

// A pattern's words as a line holds them: "(AME)" as AME, "*" as any word.
std::string lineWord(const std::string& word)
{
    if (word == "*")
        return "ANY";
    return word.size() >= 2 && word.front() == '(' ? word.substr(1, word.size() - 2) : word;
}

} // namespace

TEST(LineTokens, SplitsAsTheReferenceDoesAcrossVectorBlocks)
{
    // Lines of blanks, white bytes and short words, long enough to cross
    // several 16-byte blocks and to start more tokens than a block holds.
    std::mt19937 random(7);
    const char alphabet[] = {' ', ' ', ' ', 'a', 'b', '7', '\t', '\r', '\f', '-'};
    KivNorvikLineTokens tokens;
    for (int round = 0; round < 4000; ++round) {
        std::string line;
        const size_t length = random() % 80;
        for (size_t i = 0; i < length; ++i)
            line += alphabet[random() % sizeof alphabet];
        const Padded padded(line);
        tokens.split(padded.bytes.data(), padded.length);
        ASSERT_EQ(referenceSplit(line), texts(tokens)) << '"' << line << '"';
    }
    const Padded many(std::string(200, ' ') + "a b c d e f g h i j k l m n o p q r s t u v w x y z " +
                      std::string(40, 'x'));
    tokens.split(many.bytes.data(), many.length);
    EXPECT_EQ(27, tokens.getLength());
    EXPECT_EQ(std::string(40, 'x'), texts(tokens).back());
}

TEST(RowIndex, FindsTheRowTheGroupsLinearFindFinds)
{
    // Lines made of every kind's keywords and pattern words, right and
    // wrong, with any number of values: the index must pick the same row.
    std::mt19937 random(11);
    KivNorvikLineTokens tokens;
    int found = 0;
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKindLayout* kind = KivNorvikKinds::at(k).lines;
        std::vector<std::string> words = {"1", "2.5", "X", "*", "", "ZZZZZZZZZZZZZZZZZZZZ"};
        for (int g = 0; g < kind->groupCount; ++g) {
            const KivNorvikGroupLayout& group = kind->groups[g];
            for (int r = 0; r < group.ruleCount; ++r) {
                if (!group.rules[r].reads())
                    continue;
                const std::string keyword = group.rules[r].keyword;
                words.push_back(keyword);
                words.push_back(keyword + "S"); // one byte longer
                words.push_back(keyword.substr(0, keyword.size() - 1));
                for (const std::string& word : referenceSplit(group.rules[r].pattern))
                    words.push_back(lineWord(word));
            }
        }
        for (int g = 0; g < kind->groupCount; ++g) {
            const KivNorvikGroupLayout& group = kind->groups[g];
            const KivNorvikRowIndex index(group);
            auto check = [&](const std::string& line) {
                const Padded padded(line);
                tokens.split(padded.bytes.data(), padded.length);
                const KivNorvikLineRule* expected = group.find(tokens);
                const int got = index.find(tokens);
                ASSERT_EQ(expected != nullptr ? static_cast<int>(expected - group.rules) : -1, got)
                    << KivNorvikKinds::at(k).name << " " << group.header << ": \"" << line << '"';
                found += got >= 0 ? 1 : 0;
            };
            // Each row's own line, with 0 to 9 values after its pattern words.
            for (int r = 0; r < group.ruleCount; ++r) {
                if (!group.rules[r].reads())
                    continue;
                std::string line = group.rules[r].keyword;
                for (const std::string& word : referenceSplit(group.rules[r].pattern))
                    line += " " + lineWord(word);
                for (int values = 0; values < 10; ++values, line += " 1")
                    check(line);
            }
            // Random lines of the kind's words.
            for (int round = 0; round < 3000; ++round) {
                std::string line = words[6 + random() % (words.size() - 6)];
                const int count = static_cast<int>(random() % 7);
                for (int i = 0; i < count; ++i)
                    line += " " + words[random() % words.size()];
                check(line);
            }
        }
    }
    EXPECT_GT(found, 5000); // most lines select a row: the comparison is not vacuous
}

TEST(RowIndex, KeepsTableOrderBetweenItsChainsAndComparesLongWords)
{
    // Rows that take any second token and rows that need one word both
    // select some lines: the first in the table wins, as in the group's find().
    // A row that does not read is in no chain.
    struct Row
    {
    };
    const KivNorvikLineRule rules[] = {
        KivNorvikLineRule::row<Row>("K").words("B"),
        KivNorvikLineRule::row<Row>("K"),
        KivNorvikLineRule::row<Row>("K").words("A"),
        KivNorvikLineRule::row<Row>("L").words("(X) A"),
        KivNorvikLineRule::row<Row>("L").words("C"),
        KivNorvikLineRule::row<Row>("LONG_KEYWORD_NO_1").words("WORD_OF_EIGHTEEN_1"),
        KivNorvikLineRule::row<Row>("LONG_KEYWORD_NO_1").words("WORD_OF_EIGHTEEN_2"),
        KivNorvikLineRule::row<Row>("LONG_KEYWORD_NO_2").exactly(3),
        KivNorvikLineRule::row<Row>("M").with(kNorvikRowWrittenOnly),
    };
    const KivNorvikGroupLayout group{"G", 1, rules, static_cast<int>(std::size(rules))};
    const KivNorvikRowIndex index(group);
    KivNorvikLineTokens tokens;
    const std::pair<const char*, int> lines[] = {
        {"K B", 0},
        {"K A", 1},
        {"K", 1},
        {"K C 1", 1},
        {"L C A", 3},
        {"L C", 4},
        {"L X", -1},
        {"LONG_KEYWORD_NO_1 WORD_OF_EIGHTEEN_2", 6},
        {"LONG_KEYWORD_NO_1 WORD_OF_EIGHTEEN_3", -1},
        {"LONG_KEYWORD_NO_2 1 2", 7},
        {"LONG_KEYWORD_NO_2 1", -1},
        {"LONG_KEYWORD_NO_3 1 2", -1},
        {"M", -1},
    };
    for (const auto& [line, expected] : lines) {
        const Padded padded(line);
        tokens.split(padded.bytes.data(), padded.length);
        const KivNorvikLineRule* linear = group.find(tokens);
        EXPECT_EQ(expected, linear != nullptr ? static_cast<int>(linear - rules) : -1) << line;
        EXPECT_EQ(expected, index.find(tokens)) << line;
    }
}
