#include "i18n/LanguageSwitch.h"
#include "Controls.h"
#include "FileBytes.h"
#include "ModalAnswerer.h"
#include "app/WindowSetFixture.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "i18n/u_language.h"
#include "platform/desktop/ShellOpen.h"

#include <QComboBox>
#include <QDir>
#include <QScopeGuard>
#include <QTimer>

namespace {

class LanguageSwitchTest : public WindowSetTest
{
protected:
    QStringList started;
    CompanionFiles files = CompanionFiles::forRunningProgram();

    void SetUp() override
    {
        platform::setShellOpenHandler([this](const QString &target) {
            started << target;
            return true;
        });
    }
    void TearDown() override
    {
        platform::setShellOpenHandler({});
        Qutrans::SetLanguage(QStringLiteral("ENGLISH"));
    }

    int indexOf(const QString &language) const
    {
        return control<QComboBox>(Form1, "ComboBox1")->findText(language, Qt::MatchFixedString);
    }
};

TEST_F(LanguageSwitchTest, PickingTheCurrentLanguageDoesNothing)
{
    const int current = indexOf(Qutrans::get(0));
    ASSERT_GE(current, 0);
    QFile marker(files.helpFile());
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write("help");
    marker.close();

    control<QComboBox>(Form1, "ComboBox1")->setCurrentIndex(current);
    emit control<QComboBox>(Form1, "ComboBox1")->activated(current);

    EXPECT_EQ(files::read(files.helpFile()), "help") << "no file is deleted";
    EXPECT_TRUE(started.isEmpty()) << "no restart";
    EXPECT_FALSE(Form1->closeRequested());
}

TEST_F(LanguageSwitchTest, LanguageWindowNeverRewritesAnExistingChoice)
{
    QFile choice(files.languageChoiceFile());
    ASSERT_TRUE(choice.open(QIODevice::WriteOnly));
    choice.write("1.5a-kept");
    choice.close();
    control<QComboBox>(Form4, "ComboBox1")->setCurrentIndex(indexOf(QStringLiteral("DEUTSCH")));
    Form4->BitBtn1Click();
    EXPECT_EQ(files::read(files.languageChoiceFile()), "1.5a-kept");
    QFile::remove(files.languageChoiceFile());
}

TEST_F(LanguageSwitchTest, ALanguageWithoutHelpFilesIsRetriedByWayOfEnglish)
{
    QStringList calls;
    const auto withoutHelp = [&](const QString &language) { calls << language; };
    SwitchLanguage(QStringLiteral("KLINGON"), withoutHelp);
    EXPECT_EQ(calls, QStringList({"KLINGON", "ENGLISH", "KLINGON"}));

    calls.clear();
    const auto withHelp = [&](const QString &language) {
        calls << language;
        QFile help(files.helpFile());
        help.open(QIODevice::WriteOnly);
    };
    SwitchLanguage(QStringLiteral("DEUTSCH"), withHelp);
    EXPECT_EQ(calls, QStringList{"DEUTSCH"}) << "no retry when the language brought its files";
    EXPECT_EQ(started.size(), 2) << "each switch starts the program anew";
    QFile::remove(files.helpFile());
}

// A choice file that cannot be created (here a link to nowhere, which even root cannot create
// over): the user hears so in the chosen language and goes on in it, without a restart that
// would only ask again.
TEST_F(LanguageSwitchTest, UnwritableChoiceGoesOnInTheChosenLanguage)
{
    QFile::remove(files.languageChoiceFile());
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/nonexistent-navolis/choice"), files.languageChoiceFile()));
    const auto removeLink = qScopeGuard([this] { QFile::remove(files.languageChoiceFile()); });
    control<QComboBox>(Form4, "ComboBox1")->setCurrentIndex(indexOf(QStringLiteral("DEUTSCH")));
    Form4->setResult(QDialog::Rejected);
    ASSERT_FALSE(Form1->Timer1->isActive());
    ModalAnswerer answerer;

    Form4->BitBtn1Click();

    EXPECT_EQ(Qutrans::GetLanguage(), QStringLiteral("DEUTSCH"));
    EXPECT_EQ(answerer.answered(), QStringList{TShowMessage2Form::displayText(Qutrans::get(206))});
    EXPECT_EQ(Form4->result(), QDialog::Accepted);
    EXPECT_TRUE(started.isEmpty()) << "no restart";
    EXPECT_TRUE(Form1->Timer1->isActive()) << "the run goes on with the start timer";
    Form1->Timer1->stop();
}

// Ends with the main window closed: the last test of this process.
TEST_F(LanguageSwitchTest, ZPickingAnotherLanguageSwitchesAndRestarts)
{
    QFile::remove(files.languageChoiceFile());
    const int other = indexOf(QStringLiteral("DEUTSCH"));
    ASSERT_GE(other, 0);
    control<QComboBox>(Form4, "ComboBox1")->setCurrentIndex(other);
    Form4->BitBtn1Click();

    EXPECT_EQ(files::read(files.languageChoiceFile()), "1.5a");
    EXPECT_EQ(Qutrans::GetLanguage(), QStringLiteral("DEUTSCH"));
    EXPECT_TRUE(QFile::exists(files.helpFile()));
    EXPECT_TRUE(QFile::exists(files.documentationFile()));
    EXPECT_EQ(started, QStringList{files.programPath()});
    EXPECT_TRUE(Form1->closeRequested());

    // The old instance ends without a word, even where it would have had one to say: the new
    // instance says it.
    const QByteArray prefix = qgetenv("WINEPREFIX");
    const auto restore = qScopeGuard([&] { qputenv("WINEPREFIX", prefix); });
    qputenv("WINEPREFIX", "/nonexistent-navolis/prefix");
    ModalAnswerer answerer;
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_TRUE(answerer.answered().isEmpty());
    EXPECT_FALSE(Form1->isVisible());
}

} // namespace
