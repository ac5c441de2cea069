#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/CompanionFiles.h"
#include "app/ProgramVersion.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "automation/Automations.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "dialogs/u_splash.h"
#include "i18n/ApplyTranslations.h"
#include "i18n/Qutrans.h"
#include "i18n/u_language.h"
#include "panels/u_URLChangeForm.h"
#include "platform/kernel/AtomicFile.h"
#include "platform/multimedia/SoundEffectPlayer.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <cstdio>
#include <exception>

namespace {

// An exception that escapes a handler is shown in the standard error message box.
class NavolisApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &error) {
            QMessageBox::critical(nullptr, applicationDisplayName(),
                                  QString::fromUtf8(error.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, applicationDisplayName(),
                                  QStringLiteral("Unknown error."));
        }
        return false;
    }
};

// The prefix is in use by Wine: said once, in the message window, or on the standard error
// stream in the unattended run, which must never wait for anyone.
void installReadOnlyNotice()
{
    ReadOnlyNotice::setHandler([](const QString &prefixRoot) {
        const QString text = Qutrans::get(196);
        if (CommandLine::arguments().size() == 1) {
            const QString line =
                TShowMessage2Form::displayText(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
            std::fprintf(stderr, "navolis: %s (%s)\n", qPrintable(line), qPrintable(prefixRoot));
        } else {
            ShowMessage2(text);
        }
    });
}

} // namespace

void checkLanguageVersion(const CompanionFiles &files)
{
    if (ReadFirstLine(files.languageChoiceFile()) == ProgramVersion)
        return;
    QFile::remove(files.languageChoiceFile());
    QFile definitionTemplate(files.definitionTemplate());
    if (definitionTemplate.open(QIODevice::ReadOnly))
        AtomicFile::replace(files.definitionFile(), definitionTemplate.readAll());
}

void createWindowSet()
{
    Form1 = new TForm1;
    Form3 = new TForm3;
    Form6 = new TForm6;
    StoredLayout::setCaption(Form3->Label1, Qutrans::get(1));
    Form3->show();
    Form3->repaint();
    QCoreApplication::processEvents();
    Form2 = new TForm2;
    Form4 = new TForm4;
    Form5 = new TForm5;
    CookieForm = new TCookieForm;
    HistoryForm = new THistoryForm;
    ShowMessage2Form = new TShowMessage2Form;
    TypedURLsForm = new TTypedURLsForm;
    MruForm = new TMruForm;
    URLChangeForm = new TURLChangeForm;
    ChangeStartPageForm = new TChangeStartPageForm;
    Form3->hide();
    delete Form3;
    Form3 = nullptr;
}

void prepareRun(const QStringList &arguments, const std::function<void()> &removeAutostartLinks)
{
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("r"))
        removeAutostartLinks();
    Form4->exec();
    ApplyTranslations();
}

int runNavolis(int &argc, char **argv)
{
    checkLanguageVersion(CompanionFiles::forRunningProgram());

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine::setArguments(arguments);

    NavolisApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    StoredLayout::installFontSubstitutes();
    platform::installSoundEffectPlayer();

    Qutrans::start();
    createWindowSet();
    installReadOnlyNotice();
    prepareRun(CommandLine::arguments(), RemoveAutostartLinks);

    // A language switch may already have asked the main window to close: then the loop ends
    // at its first turn.
    if (Form1->closeRequested())
        return 0;
    Form1->show();
    if (Form1->closeRequested())
        return 0;
    return QApplication::exec();
}
