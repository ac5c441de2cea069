#include "Controls.h"
#include "app/WindowSetFixture.h"

#include "ImmutableFile.h"
#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/registry/RegHive.h"
#include "settings/BrowserSettings.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/BrowseForFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <optional>

namespace {

const QString mainKey = "Software\\Microsoft\\Internet Explorer\\Main";
const QString editorKey =
    "Software\\Microsoft\\Internet Explorer\\Default HTML Editor\\shell\\edit\\command";
const QString autoCompleteKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";

// A string value as user.reg holds it, read apart from the program's registry layer.
std::optional<QString> stored(const PrefixBuilder &prefix, const QString &keyPath,
                              const QString &name)
{
    const auto hive = RegHive::parse(prefix.userReg());
    const RegHive::Key *key = hive->findKey(keyPath.split('\\'));
    const RegHive::Value *value = key ? key->value(name) : nullptr;
    if (!value)
        return std::nullopt;
    const auto *units = reinterpret_cast<const char16_t *>(value->data().constData());
    return QString::fromUtf16(units, value->data().size() / 2).section(QChar(0), 0, 0);
}

// Types into the start page window, then leaves it by the link given, or by the close box.
ModalAnswerer::Step editStartPage(const QString &typed, ClickLabel *link, QString *shown = nullptr)
{
    return [=](QWidget *) {
        if (shown)
            *shown = control<QLineEdit>(ChangeStartPageForm, "Edit1")->text();
        control<QLineEdit>(ChangeStartPageForm, "Edit1")->setText(typed);
        if (link)
            emit link->clicked();
        else
            ChangeStartPageForm->close();
        return true;
    };
}

class BrowserSettingsTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        ReadOnlyNotice::setHandler([](const QString &) { ShowMessage2(Qutrans::get(196)); });
        platform::setShellOpenHandler([this](const QString &target) {
            opened << target;
            return true;
        });
    }

    void TearDown() override
    {
        ReadOnlyNotice::setHandler({});
        platform::setShellOpenHandler({});
    }

    QStringList opened;
};

TEST_F(BrowserSettingsTest, EmptyPrefixShowsDefaultsAndWritesOnlyWhatIsClicked)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    LoadBrowserSettings();

    EXPECT_EQ(control<ClickLabel>(Form1, "Label50")->text(), QString());
    EXPECT_EQ(control<ClickLabel>(Form1, "Label61")->text(), Qutrans::get(172));
    EXPECT_EQ(control<QLabel>(Form1, "Label54")->text(), Qutrans::get(171));
    for (QCheckBox *box :
         {control<QCheckBox>(Form6, "CheckBox2"), control<QCheckBox>(Form6, "CheckBox1"),
          control<QCheckBox>(Form6, "CheckBox3"), control<QCheckBox>(Form1, "CheckBox1"),
          control<QCheckBox>(Form1, "CheckBox3")})
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    const auto hive = RegHive::parse(prefix.userReg());
    for (const QString &key : {mainKey, editorKey, autoCompleteKey})
        EXPECT_TRUE(hive->findKey(key.split('\\'))) << key.toStdString();
    const QByteArray before = prefix.userReg();
    SaveBrowserSettings();
    EXPECT_EQ(prefix.userReg(), before) << "the replacement texts are never written";

    control<QCheckBox>(Form1, "CheckBox3")->click();
    EXPECT_EQ(stored(prefix, mainKey, "Print_Background"), "no");
    EXPECT_FALSE(control<QCheckBox>(Form1, "CheckBox3")->isChecked());
    control<QCheckBox>(Form1, "CheckBox3")->click();
    EXPECT_EQ(stored(prefix, mainKey, "Print_Background"), "yes");
    EXPECT_FALSE(stored(prefix, mainKey, "NotifyDownloadComplete"));
}

TEST_F(BrowserSettingsTest, OnlyTheExactNoIsOff)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    prefix.value(autoCompleteKey, "AutoSuggest", "no");
    prefix.value(mainKey, "FormSuggest Passwords", "No");
    prefix.value(mainKey, "Use FormSuggest", "0");
    prefix.rawValue(mainKey, "NotifyDownloadComplete", 4, QByteArray("\0\0\0\0", 4));
    LoadBrowserSettings();

    EXPECT_FALSE(control<QCheckBox>(Form6, "CheckBox2")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(Form6, "CheckBox1")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(Form6, "CheckBox3")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(Form1, "CheckBox1")->isChecked())
        << "a value that is not a string counts as missing";

    control<QCheckBox>(Form6, "CheckBox2")->click();
    control<QCheckBox>(Form6, "CheckBox1")->click();
    EXPECT_EQ(stored(prefix, autoCompleteKey, "AutoSuggest"), "yes");
    EXPECT_EQ(stored(prefix, mainKey, "FormSuggest Passwords"), "no");
    EXPECT_EQ(stored(prefix, mainKey, "Use FormSuggest"), "0") << "an unclicked switch is kept";
}

TEST_F(BrowserSettingsTest, StartPageWindowKeepsOrDiscards)
{
    PrefixBuilder prefix;
    prefix.value(mainKey, "Start Page", "http://Home.example.org/");
    LoadBrowserSettings();
    const QByteArray before = prefix.userReg();
    // One answerer per run: a window reopened at once would still count as answered.
    const auto run = [](ModalAnswerer::Step step) {
        ModalAnswerer answerer;
        answerer.on(ChangeStartPageForm, std::move(step));
        emit control<ClickLabel>(Form1, "Label46")->clicked();
    };

    QString shown;
    run(editStartPage("http://other.example.org/",
                      control<ClickLabel>(ChangeStartPageForm, "Label4"), &shown));
    EXPECT_EQ(shown, "http://Home.example.org/");
    run(editStartPage("HTTP://HOME.EXAMPLE.ORG/", nullptr));
    EXPECT_EQ(prefix.userReg(), before) << "discarding, or a change of letter case, writes nothing";
    EXPECT_EQ(control<ClickLabel>(Form1, "Label50")->text(), "http://Home.example.org/");

    run(editStartPage("about:blank", control<ClickLabel>(ChangeStartPageForm, "Label5")));
    EXPECT_EQ(stored(prefix, mainKey, "Start Page"), "about:blank");
    EXPECT_EQ(control<ClickLabel>(Form1, "Label50")->text(), "about:blank " + Qutrans::get(152));
    SaveBrowserSettings();
    EXPECT_EQ(stored(prefix, mainKey, "Start Page"), "about:blank") << "the note is never stored";
}

// The same by keys alone: Tab to "hier", Enter, type the address, Tab to save, Enter.
TEST_F(BrowserSettingsTest, StartPageIsChangedByKeysAlone)
{
    PrefixBuilder prefix;
    prefix.value(mainKey, "Start Page", "http://Home.example.org/");
    LoadBrowserSettings();
    const auto focused = [] {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    };
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    Form1->show();
    control<QToolButton>(Form1, "SpeedButton5")->click();
    QApplication::setActiveWindow(Form1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    control<QToolButton>(Form1, "SpeedButton5")->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 20 && focused() != "Label46"; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(focused(), "Label46");

    ModalAnswerer answerer;
    QStringList reached;
    answerer.on(ChangeStartPageForm, [&](QWidget *window) {
        QApplication::setActiveWindow(window);
        reached << focused();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "about:blank");
        press(Qt::Key_Tab);
        reached << focused();
        press(Qt::Key_Return);
        return true;
    });
    press(Qt::Key_Return);
    Form1->hide();

    EXPECT_EQ(reached, QStringList({"Edit1", "Label5"}));
    EXPECT_EQ(stored(prefix, mainKey, "Start Page"), "about:blank");
}

TEST_F(BrowserSettingsTest, EditorCommandIsChosenAsWindowsPathAndNeverRewrittenUnasked)
{
    PrefixBuilder prefix;
    prefix.file("drive_c/Tools/ed.exe", "MZ");
    prefix.value(editorKey, "", "\"C:\\Old\\ed.exe\" \"%1\"");
    LoadBrowserSettings();
    EXPECT_EQ(control<ClickLabel>(Form1, "Label61")->text(), "\"C:\\Old\\ed.exe\" \"%1\"");
    control<QCheckBox>(Form1, "CheckBox1")->click();
    EXPECT_EQ(stored(prefix, editorKey, ""), "\"C:\\Old\\ed.exe\" \"%1\"");

    ModalAnswerer answerer;
    // Typed as a user would: the dialog's selectFile() leaves a focused name box alone.
    answerer.on(Form1->iePowerPanel()->OpenDialog1, [&](QWidget *window) {
        window->findChild<QLineEdit *>("fileNameEdit")
            ->setText(prefix.path("drive_c/Tools/ed.exe"));
        static_cast<QDialog *>(window)->accept();
        return true;
    });
    emit control<ClickLabel>(Form1, "Label60")->clicked();
    EXPECT_EQ(stored(prefix, editorKey, ""), "C:\\Tools\\ed.exe %1");
    EXPECT_EQ(control<ClickLabel>(Form1, "Label61")->text(), "C:\\Tools\\ed.exe");
    emit control<ClickLabel>(Form1, "Label61")->clicked();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().endsWith("/drive_c/Tools/ed.exe")) << opened.first().toStdString();

    prefix.value(editorKey, "", "ed %1");
    LoadBrowserSettings();
    EXPECT_EQ(control<ClickLabel>(Form1, "Label61")->text(), Qutrans::get(172));
    control<QCheckBox>(Form1, "CheckBox1")->click();
    EXPECT_EQ(stored(prefix, editorKey, ""), "ed %1");
}

// A change that cannot be saved (a registry file nobody may replace) once vanished silently:
// the window says so and shows the stored values again.
TEST_F(BrowserSettingsTest, ChangeThatCannotBeSavedIsSaidAndTheStoredValueShownAgain)
{
    PrefixBuilder prefix;
    prefix.value(mainKey, "Start Page", "http://home.example.org/");
    prefix.value(mainKey, "Print_Background", "no");
    LoadBrowserSettings();
    const QByteArray before = prefix.userReg();
    const ImmutableFile fixed(prefix.userRegPath());
    if (!fixed.held())
        GTEST_SKIP() << "needs root and a file system that keeps files immutable";

    ModalAnswerer answerer;
    answerer.on(ChangeStartPageForm,
                editStartPage("http://other.example.org/",
                              control<ClickLabel>(ChangeStartPageForm, "Label5")));
    control<QCheckBox>(Form1, "CheckBox3")->click();
    emit control<ClickLabel>(Form1, "Label46")->clicked();

    EXPECT_EQ(prefix.userReg(), before);
    const QString refused = TShowMessage2Form::displayText(Qutrans::get(209));
    EXPECT_EQ(answerer.answered(), (QStringList{refused, refused}));
    EXPECT_FALSE(control<QCheckBox>(Form1, "CheckBox3")->isChecked());
    EXPECT_EQ(control<ClickLabel>(Form1, "Label50")->text(), "http://home.example.org/");
}

TEST_F(BrowserSettingsTest, UnderWineNothingIsWrittenAndTheControlsShowTheStoredValues)
{
    PrefixBuilder prefix;
    prefix.value(mainKey, "Start Page", "http://home.example.org/");
    prefix.value(mainKey, "Print_Background", "no");
    LoadBrowserSettings();
    prefix.holdServerLock();
    const QByteArray before = prefix.userReg();

    ModalAnswerer answerer;
    answerer.on(ChangeStartPageForm,
                editStartPage("http://other.example.org/",
                              control<ClickLabel>(ChangeStartPageForm, "Label5")));
    control<QCheckBox>(Form1, "CheckBox3")->click();
    control<QCheckBox>(Form6, "CheckBox2")->click();
    emit control<ClickLabel>(Form1, "Label46")->clicked();

    EXPECT_EQ(prefix.userReg(), before);
    const QString refused = TShowMessage2Form::displayText(Qutrans::get(209));
    EXPECT_EQ(answerer.answered(),
              (QStringList{TShowMessage2Form::displayText(Qutrans::get(196)), refused, refused}))
        << "the notice is given once; each later change that is not saved says so";
    EXPECT_FALSE(control<QCheckBox>(Form1, "CheckBox3")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(Form6, "CheckBox2")->isChecked());
    EXPECT_EQ(control<ClickLabel>(Form1, "Label50")->text(), "http://home.example.org/");
}

} // namespace

TEST_F(BrowserSettingsTest, DownloadFolderIsChosenInThePickerAndSavedAsItsWindowsPath)
{
    PrefixBuilder prefix;
    prefix.folder("drive_c/users/user/Downloads").folder("drive_c/Daten/Geladen");
    prefix.value("Software\\Microsoft\\Internet Explorer", "Download Directory",
                 "C:\\users\\user\\Downloads");
    LoadBrowserSettings();

    const auto choose = [](const QString &folder, bool confirm) {
        QString startedAt;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            win::ShellBrowseWindow *window =
                Form1->iePowerPanel()->BrowseForFolderDialog1->dialog();
            if (!window || !window->isVisible() || !startedAt.isEmpty())
                return;
            startedAt = Form1->iePowerPanel()->BrowseForFolderDialog1->SelectedPath();
            window->setSelection(folder);
            (confirm ? window->okButton() : window->cancelButton())->click();
        });
        poll.start(5);
        emit control<ClickLabel>(Form1, "Label53")->clicked();
        return startedAt;
    };
    EXPECT_EQ(choose("C:\\Daten\\Geladen", false), "C:\\users\\user\\Downloads");
    EXPECT_EQ(stored(prefix, "Software\\Microsoft\\Internet Explorer", "Download Directory"),
              "C:\\users\\user\\Downloads")
        << "a cancelled picker changes nothing";

    EXPECT_EQ(choose("C:\\Daten\\Geladen", true), "C:\\users\\user\\Downloads");
    EXPECT_EQ(stored(prefix, "Software\\Microsoft\\Internet Explorer", "Download Directory"),
              "C:\\Daten\\Geladen");
    EXPECT_EQ(control<QLabel>(Form1, "Label54")->text(), "C:\\Daten\\Geladen");
    EXPECT_EQ(Form1->iePowerPanel()->BrowseForFolderDialog1->StartupPath(), "C:\\Daten\\Geladen");
}
