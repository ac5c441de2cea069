#include "SettingsTestSupport.h"

#include "ModalAnswerer.h"
#include "dialogs/u_info.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"

#include <QFileDialog>
#include <QLineEdit>

using namespace settingstest;

namespace {

// Types into the start page window, then leaves it by the given link (or the close box).
ModalAnswerer::Step editStartPage(const QString &typed, ClickLabel *link, QString *shown = nullptr)
{
    return [=](QWidget *) {
        if (shown)
            *shown = ChangeStartPageForm->Edit1->text();
        ChangeStartPageForm->Edit1->setText(typed);
        if (link)
            emit link->clicked();
        else
            ChangeStartPageForm->close();
        return true;
    };
}

class SettingsPanelTest : public SettingsTest
{
};

TEST_F(SettingsPanelTest, StartPageWindowKeepsOrDiscardsTheTypedAddress)
{
    PrefixBuilder prefix;
    prefix.value(mainKey, "Start Page", "http://Home.example.org/");
    LoadBrowserSettings();
    const QByteArray before = prefix.userReg();

    {
        ModalAnswerer answerer;
        QString shown;
        answerer.on(ChangeStartPageForm, editStartPage("http://other.example.org/",
                                                       ChangeStartPageForm->Label4, &shown));
        emit Form1->Label46->clicked();
        EXPECT_EQ(shown, "http://Home.example.org/");
    }
    EXPECT_EQ(prefix.userReg(), before) << "discarding writes nothing";
    EXPECT_EQ(Form1->Label50->text(), "http://Home.example.org/");

    {
        ModalAnswerer answerer;
        answerer.on(ChangeStartPageForm, editStartPage("HTTP://HOME.EXAMPLE.ORG/", nullptr));
        emit Form1->Label46->clicked();
    }
    EXPECT_EQ(prefix.userReg(), before) << "a change of letter case only is no change";
    EXPECT_EQ(Form1->Label50->text(), "http://Home.example.org/");

    {
        ModalAnswerer answerer;
        answerer.on(ChangeStartPageForm, editStartPage("about:blank", ChangeStartPageForm->Label5));
        emit Form1->Label46->clicked();
    }
    EXPECT_EQ(stored(prefix, mainKey, "Start Page"), "about:blank");
    EXPECT_EQ(Form1->Label50->text(), "about:blank " + Qutrans::get(152));
}

TEST_F(SettingsPanelTest, ChosenEditorIsStoredAsWindowsCommandAndStartsFromTheLabel)
{
    PrefixBuilder prefix;
    prefix.file("drive_c/Tools/ed.exe", "MZ");
    LoadBrowserSettings();
    EXPECT_EQ(Form1->OpenDialog1->defaultSuffix(), "exe");

    ModalAnswerer answerer;
    // Typed as a user would: the dialog's own selectFile() leaves a focused name box alone.
    answerer.on(Form1->OpenDialog1, [&](QWidget *window) {
        window->findChild<QLineEdit *>("fileNameEdit")
            ->setText(prefix.path("drive_c/Tools/ed.exe"));
        static_cast<QDialog *>(window)->accept();
        return true;
    });
    emit Form1->Label60->clicked();

    EXPECT_EQ(stored(prefix, editorKey, ""), "C:\\Tools\\ed.exe %1");
    EXPECT_EQ(Form1->Label61->text(), "C:\\Tools\\ed.exe");
    emit Form1->Label61->clicked();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().endsWith("/drive_c/Tools/ed.exe")) << opened.first().toStdString();
}

TEST_F(SettingsPanelTest, AutocompleteWindowOpenedAndClosedWritesNothing)
{
    PrefixBuilder prefix;
    LoadBrowserSettings();
    const QByteArray before = prefix.userReg();
    ModalAnswerer answerer;
    answerer.on(Form6, [](QWidget *) {
        Form6->BitBtn5->click();
        return true;
    });

    emit Form1->Image37->clicked();

    EXPECT_FALSE(Form6->isVisible());
    EXPECT_EQ(prefix.userReg(), before);
}

TEST_F(SettingsPanelTest, UnderWineNothingIsWrittenAndTheControlsShowTheStoredValues)
{
    PrefixBuilder prefix;
    prefix.value(mainKey, "Start Page", "http://home.example.org/");
    prefix.value(mainKey, "Print_Background", "no");
    LoadBrowserSettings();
    prefix.holdServerLock();
    const QByteArray before = prefix.userReg();

    ModalAnswerer answerer;
    answerer.on(ChangeStartPageForm,
                editStartPage("http://other.example.org/", ChangeStartPageForm->Label5));
    Form1->CheckBox3->click();
    Form6->CheckBox2->click();
    emit Form1->Label46->clicked();

    EXPECT_EQ(prefix.userReg(), before);
    EXPECT_EQ(answerer.answered(), QStringList{message(196)}) << "the notice is given once";
    EXPECT_FALSE(Form1->CheckBox3->isChecked());
    EXPECT_TRUE(Form6->CheckBox2->isChecked());
    EXPECT_EQ(Form1->Label50->text(), "http://home.example.org/");
}

} // namespace
