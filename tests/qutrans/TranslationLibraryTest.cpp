// The library's C interface as the program uses it, against language data in a
// temporary program folder.
#include "FileBytes.h"
#include "qutrans1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class TranslationLibrary : public ::testing::Test
{
protected:
    // A program at <tmp>/app/<programName>; its data folder <tmp>/app/qutrans.
    void useProgram(const QString &programName)
    {
        program = tmp.path() + "/app/" + programName;
        base = program.endsWith(".exe") ? program.chopped(3) : program + ".";
        QDir().mkpath(tmp.path() + "/app");
        qputenv("NAVOLIS_PROGRAM_PATH", program.toUtf8());
    }

    void addLanguage(const QString &name, bool withHelp)
    {
        const QString stem = tmp.path() + "/app/qutrans/" + name;
        files::write(stem + ".lng",
                     "0=" + name.toUtf8() + "\n1=Navolis\n2=" + name.toUtf8() + "\n");
        if (withHelp) {
            files::write(stem + ".chm", "help " + name.toUtf8());
            files::write(stem + ".doc", "doc " + name.toUtf8());
        }
    }

    void SetUp() override
    {
        useProgram("navolis");
        addLanguage("ENGLISH", true);
        addLanguage("DEUTSCH", true);
        addLanguage("KLINGON", false);
    }

    void TearDown() override { qunsetenv("NAVOLIS_PROGRAM_PATH"); }

    QTemporaryDir tmp;
    QString program;
    QString base;
};

TEST_F(TranslationLibrary, ListsLanguagesInAStableOrder)
{
    start();
    ASSERT_EQ(CountLang(), 3);
    EXPECT_STREQ(AvailableLanguages(0), "DEUTSCH");
    EXPECT_STREQ(AvailableLanguages(1), "ENGLISH");
    EXPECT_STREQ(AvailableLanguages(2), "KLINGON");
    EXPECT_STREQ(AvailableLanguages(3), "");
    EXPECT_STREQ(AvailableLanguages(-1), "");
}

TEST_F(TranslationLibrary, StartsInEnglishWithoutDefinitionOrTemplate)
{
    start();
    EXPECT_STREQ(GetLanguage(), "ENGLISH");
    EXPECT_STREQ(get(0), "ENGLISH");
    EXPECT_STREQ(get(999), "");
    EXPECT_STREQ(get(-1), "");
}

TEST_F(TranslationLibrary, StartReadsTheDefinitionFileElseTheTemplate)
{
    files::write(base + "t00", "Language=KLINGON\n");
    start();
    EXPECT_STREQ(GetLanguage(), "KLINGON");

    files::write(base + "def", "# chosen\nlanguage = deutsch\n");
    start();
    EXPECT_STREQ(GetLanguage(), "DEUTSCH");
    EXPECT_STREQ(get(2), "DEUTSCH");

    files::write(base + "def", "Language=NOSUCH\n");
    start();
    EXPECT_STREQ(GetLanguage(), "ENGLISH");
}

TEST_F(TranslationLibrary, SetLanguageSurvivesARestartAndTheTemplateResetsIt)
{
    start();
    ASSERT_EQ(SetLanguage("deutsch", 0), 0);
    EXPECT_STREQ(GetLanguage(), "DEUTSCH");
    EXPECT_STREQ(get(0), "DEUTSCH");

    start();
    EXPECT_STREQ(GetLanguage(), "DEUTSCH");

    // The program resets the definition file by copying the shipped template over it.
    const QString shippedTemplate = QStringLiteral(NAVOLIS_PROGRAM_DIR "/navolis.t00");
    ASSERT_TRUE(QFile::exists(shippedTemplate));
    QFile::remove(base + "def");
    ASSERT_TRUE(QFile::copy(shippedTemplate, base + "def"));
    start();
    EXPECT_STREQ(GetLanguage(), "ENGLISH");
}

TEST_F(TranslationLibrary, SetLanguagePlacesThatLanguagesHelpAndDocumentation)
{
    start();
    ASSERT_EQ(SetLanguage("DEUTSCH", 0), 0);
    EXPECT_EQ(files::read(base + "chm"), "help DEUTSCH");
    EXPECT_EQ(files::read(base + "doc"), "doc DEUTSCH");
    ASSERT_EQ(SetLanguage("ENGLISH", 0), 0);
    EXPECT_EQ(files::read(base + "chm"), "help ENGLISH");
    EXPECT_EQ(files::read(base + "doc"), "doc ENGLISH");
    EXPECT_EQ(QDir(tmp.path() + "/app").entryList(QDir::Files).size(), 3) << "temporary files left";
}

TEST_F(TranslationLibrary, ALanguageWithoutHelpLeavesNoHelpFromAnother)
{
    start();
    ASSERT_EQ(SetLanguage("DEUTSCH", 0), 0);
    SetLanguage("KLINGON", 0);
    EXPECT_STREQ(GetLanguage(), "KLINGON");
    EXPECT_FALSE(QFile::exists(base + "chm"));
    EXPECT_FALSE(QFile::exists(base + "doc"));
    start();
    EXPECT_STREQ(GetLanguage(), "KLINGON");
}

TEST_F(TranslationLibrary, RejectsUnknownLanguagesAndFlagsWithoutChangingAnything)
{
    start();
    EXPECT_NE(SetLanguage("NOSUCH", 0), 0);
    EXPECT_NE(SetLanguage("DEUTSCH", 1), 0);
    EXPECT_NE(SetLanguage(nullptr, 0), 0);
    EXPECT_STREQ(GetLanguage(), "ENGLISH");
    EXPECT_FALSE(QFile::exists(base + "def"));
    EXPECT_FALSE(QFile::exists(base + "chm"));
}

TEST_F(TranslationLibrary, TextsStayValidAfterASwitchAndARestart)
{
    start();
    const char *english = get(2);
    const char *name = GetLanguage();
    const char *listed = AvailableLanguages(1);
    SetLanguage("DEUTSCH", 0);
    start();
    EXPECT_STREQ(english, "ENGLISH");
    EXPECT_STREQ(name, "ENGLISH");
    EXPECT_STREQ(listed, "ENGLISH");
}

TEST_F(TranslationLibrary, CompanionNamesDropAThreeLetterExtensionOnly)
{
    useProgram("navolis.exe");
    addLanguage("ENGLISH", true);
    start();
    ASSERT_EQ(SetLanguage("ENGLISH", 0), 0);
    EXPECT_TRUE(QFile::exists(tmp.path() + "/app/navolis.def"));
    EXPECT_TRUE(QFile::exists(tmp.path() + "/app/navolis.chm"));

    useProgram("navolis.x86_64");
    start();
    ASSERT_EQ(SetLanguage("ENGLISH", 0), 0);
    EXPECT_TRUE(QFile::exists(tmp.path() + "/app/navolis.x86_64.def"));
}

TEST_F(TranslationLibrary, UnwritableProgramFolderFallsBackToTheDataHome)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    start();
    ASSERT_TRUE(QFile::setPermissions(tmp.path() + "/app", QFile::ReadOwner | QFile::ExeOwner));
    const int result = SetLanguage("DEUTSCH", 0);
    QFile::setPermissions(tmp.path() + "/app",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(result, 0);
    const QString fallback = qEnvironmentVariable("XDG_DATA_HOME") + "/navolis/navolis.";
    EXPECT_EQ(files::read(fallback + "chm"), "help DEUTSCH");
    EXPECT_TRUE(QFile::exists(fallback + "def"));
    start();
    EXPECT_STREQ(GetLanguage(), "DEUTSCH");
}

TEST(ShippedTranslationData, EveryLanguageBesideTheProgramHasHelpAndDocumentation)
{
    QTemporaryDir tmp;
    // A program folder without its own data: the library uses the data beside itself.
    qputenv("NAVOLIS_PROGRAM_PATH", (tmp.path() + "/navolis").toUtf8());
    start();
    ASSERT_GE(CountLang(), 2);
    for (int i = 0; i < CountLang(); ++i) {
        const QString name = AvailableLanguages(i);
        ASSERT_EQ(SetLanguage(AvailableLanguages(i), 0), 0) << name.toStdString();
        EXPECT_STREQ(get(0), AvailableLanguages(i));
        EXPECT_TRUE(files::read(tmp.path() + "/navolis.chm").startsWith("ITSF"))
            << name.toStdString();
        EXPECT_TRUE(files::read(tmp.path() + "/navolis.doc").startsWith("{\\rtf1"))
            << name.toStdString();
    }
    qunsetenv("NAVOLIS_PROGRAM_PATH");
}

} // namespace
