#include "app/Program.h"

#include "app/Automations.h"
#include "app/CommandLine.h"
#include "app/CompanionFiles.h"
#include "app/KeepListOptions.h"
#include "app/PrefixOptions.h"
#include "app/ProgramVersion.h"
#include "app/ScreenFallback.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "automation/AutoPanel.h"
#include "automation/AutostartLinks.h"
#include "automation/CleanupPreview.h"
#include "cleanup/Cleaners.h"
#include "common/Erase.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "dialogs/u_splash.h"
#include "i18n/ApplyTranslations.h"
#include "i18n/Qutrans.h"
#include "i18n/u_language.h"
#include "panels/FavoritenPanel.h"
#include "panels/u_URLChangeForm.h"
#include "platform/context/PrefixContext.h"
#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/LogCategories.h"
#include "platform/multimedia/SoundEffectPlayer.h"
#include "platform/prefix/Prefix.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/Registry.h"
#include "privacy/CookieKeepList.h"
#include "privacy/SicherheitsPanel.h"
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>

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
void installUnreachableNotice()
{
    common::setUnreachableNotice([](const std::string &where) {
        const QString folder = QFile::decodeName(QByteArray::fromStdString(where));
        std::fprintf(stderr, "navolis: %s (%s)\n", common::UnreachableText, qPrintable(folder));
        if (CommandLine::arguments().isEmpty() && !CommandLine::headless())
            ShowMessage2(Qutrans::get(213));
    });
}

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

// An interactive run that has no screen to show its window on.
constexpr int NoScreenStatus = 4;

// The letters and what each does come from the clean-ups themselves.
QString usage()
{
    QString letters;
    for (const cleanup::Cleaner &cleaner : cleanup::cleaners())
        letters += QStringLiteral("  %1  %2\n").arg(cleaner.letter).arg(cleaner.task);
    return QStringLiteral(
               "usage: navolis [--prefix PATH] [--no-overwrite] [LETTERS]\n"
               "       navolis [--prefix PATH] --preview LETTERS [--json]\n"
               "       navolis --all-prefixes [--preview] LETTERS [--json]\n"
               "       navolis --list-prefixes [--json]\n"
               "       navolis --keep-cookies-of HOST | --forget-cookies-of HOST | --list-kept\n"
               "       navolis --help | --version\n"
               "\n"
               "Without arguments Navolis opens its window. With one argument of letters it "
               "cleans\n"
               "unattended, in this order, what the letters name, then ends:\n") +
           letters +
           QStringLiteral(
               "\n"
               "A single argument is letters only when each of its characters is one of them.\n"
               "\n"
               "Options (an argument that begins with \"-\" is never taken for letters):\n"
               "  --preview LETTERS  show what the letters would remove, and change nothing;\n"
               "                     with --json as one JSON object (per letter: found, bytes,\n"
               "                     kept, stayed, reasons)\n"
               "  --prefix PATH      work on the Wine prefix in PATH, as WINEPREFIX would name it\n"
               "  --no-overwrite     remove files without overwriting them first (by default\n"
               "                     what is removed is overwritten with zeros, so that it\n"
               "                     cannot be read back from the disk)\n"
               "  --all-prefixes LETTERS\n"
               "                     clean what the letters name in every Wine prefix found\n"
               "                     (WINEPREFIX, ~/.wine, winetricks, Steam, Bottles, Lutris,\n"
               "                     Heroic, PlayOnLinux, CrossOver, Navolis' own), a block of\n"
               "                     lines per prefix; a prefix Wine is using, or whose\n"
               "                     user.reg is damaged, is skipped and named; \"n\" shows one\n"
               "                     closing message at the end, \"r\" works as in one prefix;\n"
               "                     with --preview only show what would go\n"
               "  --list-prefixes    list the Wine prefixes found: kind, name, path, and whether\n"
               "                     Wine is using it (with --json as a JSON array)\n"
               "  --keep-cookies-of HOST\n"
               "                     keep the cookies of HOST and of every host below it\n"
               "                     whenever all cookies are removed (example.com keeps\n"
               "                     www.example.com, not example.com.other.net; an IP address\n"
               "                     keeps only itself), in every prefix: the list of cookies\n"
               "                     to keep, $XDG_CONFIG_HOME/navolis/cookies-to-keep\n"
               "  --forget-cookies-of HOST\n"
               "                     take HOST off the list of cookies to keep\n"
               "  --list-kept        print the list of cookies to keep, one site a line\n"
               "  --help             show this text and change nothing\n"
               "  --version          show the version and change nothing\n"
               "\n"
               "Environment:\n"
               "  WINEPREFIX       the Wine prefix to work on; without it ~/.wine when it holds "
               "a\n"
               "                   user.reg, else Navolis' own prefix in "
               "$XDG_DATA_HOME/navolis/prefix\n"
               "  XDG_CONFIG_HOME  where the autostart entry of the automatic clean-up goes "
               "(autostart/)\n"
               "                   and the list of cookies to keep (navolis/cookies-to-keep)\n"
               "\n"
               "Exit status: 0 when the run ended normally and every clean-up asked for did its "
               "work;\n"
               "1 when one was refused (Wine is using the prefix, or a file cannot be changed) "
               "or\n"
               "failed, or a prefix of --all-prefixes was skipped, with a line on the standard\n"
               "error for each saying what stayed and why (a list of cookies to keep that\n"
               "cannot be read refuses the removal of cookies, and its editing); 2 for an\n"
               "unknown option, a missing argument or an argument that is not letters; 3 when no\n"
               "language file is installed; 4 when the window should open but there is no screen "
               "to\n"
               "show it on (no display, or Qt's offscreen or minimal platform).\n");
}

int usageError(const QString &what)
{
    std::fprintf(stderr, "navolis: %s\n\n%s", qPrintable(what), qPrintable(usage()));
    return 2;
}

// The preview for scripts: per letter what was found and what would stay, and why.
QByteArray previewJson(const QString &root, const CleanupForecast &forecast, const char *refusal)
{
    QJsonObject preview{{QStringLiteral("prefix"), root},
                        {QStringLiteral("letters"), outcomesJson(forecast.outcomes)}};
    if (refusal)
        preview.insert(QStringLiteral("refused"), QString::fromUtf8(refusal));
    if (common::overwriting() && !common::overwriteReaches(QFile::encodeName(root).toStdString()))
        preview.insert(QStringLiteral("note"), QString::fromUtf8(common::UnreachableText));
    return QJsonDocument(preview).toJson(QJsonDocument::Indented);
}

// What the run would remove, found by reading only: no key is created, no file is opened for
// writing and no write lock is taken. A run that would be refused, or would not do a step (a
// container it cleans cannot be read), is said, and ends with 1 as the run does.
int answerPreview(const QString &letters, bool json)
{
    const QString root = Prefix::resolveRoot();
    if (!qEnvironmentVariableIsEmpty("WINEPREFIX") && !QFileInfo(root).isDir()) {
        std::fprintf(stderr, "navolis: the prefix %s does not exist\n", qPrintable(root));
        return 1;
    }
    // Looking must not create the prefix that a run would make.
    if (!QFileInfo::exists(root + QStringLiteral("/user.reg"))) {
        std::printf("There is no prefix at %s: Navolis would remove nothing.\n", qPrintable(root));
        return 0;
    }
    refuseWritesTo(root);
    const char *refusal = WineServer(root).isRunning()
                              ? "Wine is using the prefix (a wineserver is running)"
                          : win::UserHiveIsDamaged() ? "its registry file (user.reg) is damaged"
                                                     : nullptr;
    const CleanupForecast forecast =
        CleanupPreview(letters, {CompanionFiles::runningProgramPath(), {}});
    const int status = refusal || !forecast.complete ? 1 : 0;
    if (json) {
        std::puts(previewJson(root, forecast, refusal).constData());
        return status;
    }
    std::printf("Navolis would remove from the prefix %s:\n", qPrintable(root));
    for (const QString &line : forecast.lines)
        std::printf("  %s\n", qPrintable(line));
    if (common::overwriting() && !common::overwriteReaches(QFile::encodeName(root).toStdString()))
        std::printf("Note: %s.\n", common::UnreachableText);
    if (refusal)
        std::printf("The run would be refused and remove nothing: %s.\n", refusal);
    return status;
}

// Options are answered before anything is read or written.
std::optional<int> answerOptions(const QStringList &arguments)
{
    auto option = std::find_if(arguments.begin(), arguments.end(),
                               [](const QString &a) { return a.startsWith(QLatin1Char('-')); });
    if (option == arguments.end())
        return std::nullopt;
    // "--preview" names what --all-prefixes does, not a preview of one prefix.
    const auto all =
        std::find(arguments.begin(), arguments.end(), QStringLiteral("--all-prefixes"));
    if (all != arguments.end())
        option = all;
    if (*option == QLatin1String("--help") || *option == QLatin1String("-h")) {
        std::fputs(qPrintable(usage()), stdout);
        return 0;
    }
    if (*option == QLatin1String("--version")) {
        std::printf("navolis %s\n", qPrintable(ProgramVersion));
        return 0;
    }
    const bool json = arguments.contains(QStringLiteral("--json"));
    const auto onlyThese = [&](const QStringList &known) -> std::optional<int> {
        for (const QString &argument : arguments)
            if (!known.contains(argument))
                return usageError(*option + QStringLiteral(" takes no ") + argument);
        return std::nullopt;
    };
    if (*option == QLatin1String("--list-prefixes")) {
        if (const auto error = onlyThese({*option, QStringLiteral("--json")}))
            return error;
        return listPrefixes(json);
    }
    if (*option == QLatin1String("--list-kept")) {
        if (const auto error = onlyThese({*option}))
            return error;
        return listKeptSites();
    }
    if (*option == QLatin1String("--keep-cookies-of") ||
        *option == QLatin1String("--forget-cookies-of")) {
        if (option + 1 == arguments.end())
            return usageError(*option + QStringLiteral(" needs a host name"));
        const QString host = *(option + 1);
        if (const auto error = onlyThese({*option, host}))
            return error;
        if (CookieKeepList::site(host).isEmpty())
            return usageError(QStringLiteral("\"%1\" is no host name or IP address").arg(host));
        return *option == QLatin1String("--keep-cookies-of") ? keepCookiesOf(host)
                                                             : forgetCookiesOf(host);
    }
    if (*option == QLatin1String("--all-prefixes")) {
        const bool preview = arguments.contains(QStringLiteral("--preview"));
        const auto letters = std::find_if(arguments.begin(), arguments.end(), [](const QString &a) {
            return !a.startsWith(QLatin1Char('-'));
        });
        if (letters == arguments.end() || letters->isEmpty() || !cleanup::isLetters(*letters))
            return usageError("--all-prefixes needs the letters of a clean-up");
        if (const auto error = onlyThese(
                {*option, *letters, QStringLiteral("--preview"), QStringLiteral("--json")}))
            return error;
        if (json && !preview)
            return usageError("--json goes with --preview or --list-prefixes");
        // The run itself needs the language of its closing message: it goes on after this.
        return preview ? std::optional<int>(previewAllPrefixes(*letters, json)) : std::nullopt;
    }
    if (*option == QLatin1String("--preview")) {
        if (option + 1 == arguments.end() || !cleanup::isLetters(*(option + 1)))
            return usageError("--preview needs the letters of a clean-up");
        if (const auto error =
                onlyThese({QStringLiteral("--preview"), *(option + 1), QStringLiteral("--json")}))
            return error;
        return answerPreview(*(option + 1), json);
    }
    return usageError(QStringLiteral("unknown option ") + *option);
}

// --prefix PATH names the prefix as WINEPREFIX does, for everything after it; it is taken out
// of the arguments, so that "--prefix PATH cbh" is the unattended run of "cbh" there.
std::optional<int> takePrefixOption(QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--prefix"));
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= arguments.size() || arguments.at(at + 1).isEmpty() ||
        arguments.at(at + 1).startsWith(QLatin1Char('-')))
        return usageError("--prefix needs the path of a prefix");
    if (arguments.contains(QStringLiteral("--all-prefixes")) ||
        arguments.contains(QStringLiteral("--list-prefixes")))
        return usageError("--prefix names one prefix: it goes with neither --all-prefixes nor "
                          "--list-prefixes");
    qputenv("WINEPREFIX", QFile::encodeName(QDir(arguments.at(at + 1)).absolutePath()));
    arguments.remove(at, 2);
    return std::nullopt;
}

// The run over every prefix, without a window; "n" is one closing message at the end, "r" is
// done once, as in the run over one prefix.
int runOnAllPrefixes(const QString &letters)
{
    AllPrefixesResult result = cleanAllPrefixes(letters, CompanionFiles::runningProgramPath());
    if (letters.contains(QLatin1Char('r'))) {
        cleanup::Outcome removed =
            cleanup::cleanerFor(QLatin1Char('r'))
                ->run(cleanup::Mode::Clean, {CompanionFiles::runningProgramPath(), {}});
        if (!AutostartLinks::removeAllPrefixesEntry())
            removed.reasons << AutostartLinks::allPrefixesEntryPath() +
                                   QStringLiteral(" could not be removed");
        if (!removed.done()) {
            result.complete = false;
            std::fprintf(stderr, "navolis: %s\n",
                         qPrintable(cleanup::stepReport(QLatin1Char('r'), removed)));
        }
    }
    if (letters.contains(QLatin1Char('n'))) {
        const QString text = Qutrans::get(result.complete         ? 167
                                          : result.wineWasRunning ? 196
                                                                  : 197);
        if (CommandLine::headless()) {
            std::puts(qPrintable(TShowMessage2Form::displayText(text)));
        } else {
            ShowMessage2Form = new TShowMessage2Form;
            ShowMessage2(text);
        }
    }
    return result.complete ? 0 : 1;
}

// Without a language the language window could never be confirmed: say so instead of waiting.
int reportMissingLanguages()
{
    const QString text =
        QStringLiteral("Navolis cannot start: no language file (*.lng) is installed in %1.")
            .arg(QFileInfo(CompanionFiles::runningProgramPath()).absolutePath() +
                 QStringLiteral("/qutrans"));
    std::fprintf(stderr, "navolis: %s\n", qPrintable(text));
    if (!CommandLine::headless())
        QMessageBox::critical(nullptr, QStringLiteral("Navolis"), text);
    return 3;
}

// Said once at start, in the window or on the standard error: a prefix that WINEPREFIX names but
// that does not exist, or one whose registry file is damaged, in which nothing is then changed;
// a registry file that is a link, which is then left as it is. The unattended run never waits
// for a message.
void reportPrefixProblem()
{
    const QString root = Prefix::resolveRoot();
    int problem = 0;
    if (!qEnvironmentVariableIsEmpty("WINEPREFIX") && !QFileInfo(root).isDir()) {
        refuseWritesTo(root);
        problem = 200;
    } else if (win::UserHiveIsDamaged()) {
        refuseWritesTo(root);
        problem = 201;
    } else if (win::UserHiveIsLinked()) {
        problem = 205;
    }
    if (problem == 0)
        return;
    const QString text = Qutrans::get(problem) + QLatin1Char('\r') + QDir::toNativeSeparators(root);
    std::fprintf(stderr, "navolis: %s\n",
                 qPrintable(TShowMessage2Form::displayText(text).replace(QLatin1Char('\n'),
                                                                         QLatin1Char(' '))));
    if (CommandLine::arguments().isEmpty())
        ShowMessage2(text);
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
    Form3->setTitleText(Qutrans::get(1));
    Form3->show();
    Form3->repaint();
    QCoreApplication::processEvents();
    qCDebug(lcUi) << "splash shown";
    Form1->favoritenPanel()->FirstFilling();
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
    // Where one window makes another act.
    TSicherheitsPanel *privacy = Form1->sicherheitsPanel();
    QObject::connect(TypedURLsForm, &TTypedURLsForm::deletionRequested, privacy,
                     &TSicherheitsPanel::Label23Click);
    QObject::connect(HistoryForm, &THistoryForm::clearingRequested, privacy,
                     &TSicherheitsPanel::Label22Click);
    QObject::connect(Form1->autoPanel(), &TAutoPanel::choiceChanged, &StoreAutomationChoice);
    TFavoritenPanel *favourites = Form1->favoritenPanel();
    QObject::connect(favourites, &TFavoritenPanel::linkSelected, URLChangeForm,
                     &TURLChangeForm::ShowLink);
    QObject::connect(favourites, &TFavoritenPanel::editLinkRequested, URLChangeForm,
                     &TURLChangeForm::EditLink);
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

int runMessageLoop()
{
    // A language switch has already asked the main window to close: this instance ends at the
    // loop's first turn and leaves every message to the one it started.
    if (Form1->closeRequested())
        return 0;
    reportPrefixProblem();
    Form1->show();
    const int loop = Form1->closeRequested() ? 0 : QApplication::exec();
    return loop != 0 ? loop : AutomaticCleanupStatus();
}

int runNavolis(int &argc, char **argv)
{
    ScreenFallback platform(argc, argv);
    NavolisApplication app(platform.argc(), platform.argv());
    platform.restoreEnvironment();
    // Only what Qt left: its own options ("-reverse", "-platform xcb") are never letters.
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (const auto status = takePrefixOption(arguments))
        return *status;
    // Removed files are overwritten unless the run says otherwise.
    if (arguments.removeAll(QStringLiteral("--no-overwrite")) > 0)
        common::setOverwriting(false);
    if (const auto status = answerOptions(arguments))
        return *status;
    const bool allPrefixes = arguments.contains(QStringLiteral("--all-prefixes"));
    if (arguments.size() == 1 && !cleanup::isLetters(arguments.first()))
        return usageError(
            QStringLiteral("\"%1\" is not a word of clean-up letters").arg(arguments.first()));
    const bool screenless = ScreenFallback::hasNoScreen();
    if (arguments.size() != 1 && screenless && !allPrefixes) {
        std::fprintf(stderr,
                     "navolis: there is no screen for the window (platform \"%s\"); run it "
                     "on a display, or give one word of letters to clean unattended\n",
                     qPrintable(QGuiApplication::platformName()));
        return NoScreenStatus;
    }
    CommandLine::setArguments(arguments);
    // From cron, a login script or ssh nobody could answer a window: messages go to the
    // standard output and the language is the one the definition names.
    CommandLine::setHeadless(screenless);
    // The run over every prefix cleans what it finds and makes none.
    if (!allPrefixes)
        PrefixContext::chooseAtStart();
    checkLanguageVersion(CompanionFiles::forRunningProgram());

    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/appicon.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.navolis.Navolis"));
    StoredLayout::installFontSubstitutes();
    platform::installSoundEffectPlayer();

    Qutrans::start();
    if (Qutrans::CountLang() == 0)
        return reportMissingLanguages();
    if (allPrefixes)
        return runOnAllPrefixes(
            *std::find_if(arguments.begin(), arguments.end(),
                          [](const QString &a) { return cleanup::isLetters(a); }));
    createWindowSet();
    installReadOnlyNotice();
    installUnreachableNotice();
    prepareRun(CommandLine::arguments(), RemoveAutostartLinks);
    return runMessageLoop();
}
