#include "i18n/u_language.h"

#include "ui_u_language.h"

#include "app/CommandLine.h"
#include "app/CompanionFiles.h"
#include "app/ProgramVersion.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/LanguageSwitch.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/LogCategories.h"

#include <QFileInfo>
#include <QShowEvent>
#include <QTimer>
#include <stdexcept>

TForm4::TForm4(QWidget *parent) : QDialog(parent), Timer1(new QTimer(this)), ui(new Ui::TForm4)
{
    ui->setupUi(this);
    // A sizeable window without any title-bar button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    StoredLayout::apply(this);
    // Until a language is picked the box shows nothing: the prompt names it.
    ui->Label1->setBuddy(ui->ComboBox1);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &TForm4::Timer1Timer);
    connect(ui->ComboBox1, &QComboBox::activated, this, &TForm4::ComboBox1Change);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    FormCreate();
}

TForm4::~TForm4() = default;

void TForm4::FormCreate()
{
    for (int i = 0; i < Qutrans::CountLang(); ++i)
        ui->ComboBox1->addItem(Qutrans::AvailableLanguages(i));
    ui->ComboBox1->setCurrentIndex(-1);
}

// Stored minimised: the window becomes visible to the user only when it has to ask. Its
// timer starts with the showing, so that no message loop before it can tick it early.
void TForm4::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    setWindowState(windowState() | Qt::WindowMinimized);
    Timer1->start();
}

// Without a title-bar button the only way out is a choice: Escape and the window manager's
// close would leave the main window without its start timer.
void TForm4::reject()
{
    // Deliberately ignored: the window closes only through BitBtn1Click or Timer1Timer.
}

// A run without a display cannot ask: it goes on in the language the definition names, and the
// first start with a window still asks.
void TForm4::Timer1Timer()
{
    Timer1->stop();
    if (QFileInfo::exists(CompanionFiles::forRunningProgram().languageChoiceFile()) ||
        CommandLine::headless()) {
        Form1->Timer1->start();
        done(QDialog::Rejected);
    } else {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        showNormal();
        activateWindow();
    }
}

void TForm4::ComboBox1Change()
{
    ui->BitBtn1->setEnabled(true);
}

// A choice that cannot be kept must not hold the user here: the chosen language serves this run,
// the user hears that the next start asks again, and no restart runs into the same question.
void TForm4::BitBtn1Click()
{
    const QString language = ui->ComboBox1->currentText();
    try {
        WriteLineIfMissing(CompanionFiles::forRunningProgram().languageChoiceFile(),
                           ProgramVersion);
    } catch (const std::runtime_error &error) {
        qCWarning(lcUi) << error.what();
        MakeLanguageCurrent(language);
        ShowMessage2(Qutrans::get(206));
        Form1->Timer1->start();
        accept();
        return;
    }
    SwitchLanguage(language);
    accept();
}
