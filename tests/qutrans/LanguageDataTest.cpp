// The shipped language files: complete, well-formed, and fit for the controls they fill.
#include "LanguageFile.h"

#include <gtest/gtest.h>
#include <set>

namespace {

constexpr int lastTextNumber = 227;
const std::set<int> unusedNumbers = {5,   13,  32,  33,  34,  36,  37,  168, 173, 174, 175, 176,
                                     177, 178, 179, 180, 181, 182, 183, 184, 185, 186, 187};
// Memo and information texts (byte 10 breaks lines) and messages (bytes 13 10).
const std::set<int> multiLineNumbers = {16,  18,  67,  68,  97,  98,  153, 154, 155, 160, 167,
                                        194, 196, 197, 198, 199, 200, 201, 202, 203, 204, 205,
                                        206, 207, 208, 209, 210, 213, 217, 218, 219, 227};

class ShippedLanguage : public ::testing::TestWithParam<const char *>
{
protected:
    qutrans::LanguageFile file =
        qutrans::readLanguageFile(std::string(QUTRANS_LANG_DIR) + "/" + GetParam() + ".lng");
};

TEST_P(ShippedLanguage, IsWellFormedAndNamesItself)
{
    for (const std::string &problem : file.problems)
        ADD_FAILURE() << problem;
    EXPECT_EQ(file.texts[0], GetParam());
    EXPECT_EQ(file.texts.rbegin()->first, lastTextNumber);
}

TEST_P(ShippedLanguage, HasEveryNumberAndNoEmptyUsedText)
{
    for (int n = 0; n <= lastTextNumber; ++n) {
        ASSERT_TRUE(file.texts.contains(n)) << "text " << n << " missing";
        if (!unusedNumbers.contains(n)) {
            EXPECT_FALSE(file.texts[n].empty()) << "text " << n << " is empty";
        }
    }
}

TEST_P(ShippedLanguage, LineBreaksOnlyWhereTheControlSplitsThem)
{
    for (const auto &[n, text] : file.texts) {
        const bool breaks = text.find_first_of("\r\n") != std::string::npos;
        EXPECT_EQ(breaks, multiLineNumbers.contains(n)) << "text " << n;
    }
    // Messages break as bytes 13 10, never a lone 10.
    for (int n : {97,  98,  167, 196, 197, 198, 199, 200, 201, 202, 203,
                  204, 205, 206, 207, 208, 209, 210, 217, 218, 219})
        EXPECT_EQ(file.texts[n].find("\r\n") != std::string::npos, true) << "text " << n;
}

TEST_P(ShippedLanguage, ComposedTextsFitTheirComposition)
{
    // Appended directly to an entry, so they start with a blank.
    EXPECT_EQ(file.texts[102].front(), ' ');
    EXPECT_EQ(file.texts[103].front(), ' ');
    // Followed directly by the amount, so it ends with a blank.
    EXPECT_EQ(file.texts[122].back(), ' ');
    EXPECT_EQ(file.texts[4].find("mailto:"), std::string::npos);
    EXPECT_EQ(file.texts[3].rfind("https://", 0), 0u);
    // Part of a file name.
    EXPECT_EQ(file.texts[169].find_first_of("/\\:*?\"<>|"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguage, ::testing::Values("ENGLISH", "DEUTSCH"));

TEST(LanguageFileFormat, ParsesEscapesAndKeepsTrailingBlanks)
{
    const auto file = qutrans::parseLanguageFile(
        "\xEF\xBB\xBF# comment\r\n\n1=a\\nb\\r\\n\\\\c\n2=here \r\n3=\n4=x=y");
    EXPECT_TRUE(file.problems.empty());
    EXPECT_EQ(file.texts.at(1), "a\nb\r\n\\c");
    EXPECT_EQ(file.texts.at(2), "here ");
    EXPECT_EQ(file.texts.at(3), "");
    EXPECT_EQ(file.texts.at(4), "x=y");
}

TEST(LanguageFileFormat, ReportsEveryBadLine)
{
    const auto file = qutrans::parseLanguageFile(
        "1=ok\n1=again\n2=bad \\t escape\n3=ends in \\\nx=text\n=text\nno equals\n-1=neg\n");
    EXPECT_EQ(file.problems.size(), 7u);
    EXPECT_EQ(file.texts.size(), 1u);
    EXPECT_EQ(file.texts.at(1), "ok");
}

} // namespace
