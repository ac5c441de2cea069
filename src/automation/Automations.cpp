#include "automation/Automations.h"

#include "app/CommandLine.h"
#include "app/CompanionFiles.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "automation/AutoPanel.h"
#include "automation/AutostartLinks.h"
#include "automation/ShellLnk.h"
#include "browserdata/IECache.h"
#include "browserdata/UrlHistory.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "i18n/Qutrans.h"
#include "panels/BrowsercachePanel.h"
#include "platform/kernel/FileCalls.h"
#include "platform/kernel/LogCategories.h"
#include "platform/prefix/Prefix.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/prefix/WineServer.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace {

void setProgress(int position)
{
    Form2->setProgress(position);
    ProcessMessages();
}

const QString FixedLinkName = QStringLiteral("Navolis-Auto.lnk");

// A translated name that would reach outside the start-up folder, or is no file name at all,
// is not used: nothing is read, written or deleted under it.
bool isPlainFileName(const QString &name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (c.unicode() < 32 || forbidden.contains(c))
            return false;
    }
    return true;
}

// The shortcut under its name in the current language, or empty when that name is unusable.
QString namedLinkFile(const QString &folder)
{
    const QString name = Qutrans::get(169);
    return isPlainFileName(name) ? folder + name + QStringLiteral(".lnk") : QString();
}

// False when the file is still there.
bool removeWhenPresent(const QString &fileName)
{
    return fileName.isEmpty() || !win::FileExists(fileName) || win::DeleteFile(fileName) ||
           !win::FileExists(fileName);
}

} // namespace

// The shortcut under the fixed name, else under the current language's name, else one that a
// language chosen earlier named: each starts this program with the letters chosen.
void LoadAutomationChoices()
{
    const QString folder = AutostartLinks::startupFolder();
    if (folder.isEmpty())
        return;
    QStringList candidates{folder + FixedLinkName};
    if (const QString named = namedLinkFile(folder); !named.isEmpty())
        candidates << named;
    candidates << AutostartLinks::linksStarting(CompanionFiles::runningProgramPath());
    QString letters;
    for (const QString &link : candidates) {
        if (win::FileExists(link)) {
            Form1->ShellLink1->LoadFromFile(link);
            letters = Form1->ShellLink1->arguments();
            break;
        }
    }
    Form1->autoPanel()->TickLetters(letters);
}

// Wine runs the shortcut only when it simulates a start of Windows; the desktop entry runs the
// same clean-up when the user logs in to the Linux session. The new shortcut replaces the old
// one before anything else changes, so that a refusal (Wine running) leaves every entry as it
// was.
bool CreateAutostartLink(const QString &letters)
{
    const QString folder = AutostartLinks::startupFolder();
    const QString named = namedLinkFile(folder);
    if (folder.isEmpty() || named.isEmpty())
        return true; // no place for a choice: nothing to store
    const QString program = CompanionFiles::runningProgramPath();
    TShellLink *link = Form1->ShellLink1;
    link->setPath(program);
    link->setArguments(letters);
    link->setIconLocation(program);
    if (!link->SaveToFile(named))
        return false;
    // A translation may name the shortcut as the fixed name does: then it is the new one.
    bool othersGone = named.compare(folder + FixedLinkName, Qt::CaseInsensitive) == 0 ||
                      removeWhenPresent(folder + FixedLinkName);
    for (const QString &other : AutostartLinks::linksStarting(program))
        if (other.compare(named, Qt::CaseInsensitive) != 0)
            othersGone = removeWhenPresent(other) && othersGone;
    return AutostartLinks::writeDesktopEntry(Qutrans::get(169), program, letters) && othersGone;
}

// The desktop entry goes last, and only with every shortcut: the login clean-up never stops
// while the shortcut still asks for it.
bool RemoveAutostartLinks()
{
    const QString folder = AutostartLinks::startupFolder();
    bool linksGone = true;
    if (!folder.isEmpty()) {
        linksGone = removeWhenPresent(folder + FixedLinkName);
        linksGone = removeWhenPresent(namedLinkFile(folder)) && linksGone;
        for (const QString &link :
             AutostartLinks::linksStarting(CompanionFiles::runningProgramPath()))
            linksGone = removeWhenPresent(link) && linksGone;
    }
    return linksGone && AutostartLinks::removeDesktopEntry();
}

namespace {

int cleanupStatus = 0;

// A container that cannot be read keeps every entry: each is named, and the step fails.
bool allReadable(const QStringList &unreadable)
{
    for (const QString &file : unreadable)
        std::fprintf(stderr, "navolis: %s is damaged or cannot be read; nothing in it is changed\n",
                     qPrintable(file));
    std::fflush(stderr);
    return unreadable.isEmpty();
}

// Whether a search finds nothing left, without touching any window's list.
bool nothingLeft(TFilterOptions filter, TSearchPattern pattern)
{
    TIECache probe;
    probe.SetFilterOptions(filter);
    probe.SearchPattern = pattern;
    int left = 0;
    probe.OnEntry = [&left](QObject *, bool &) { ++left; };
    probe.RetrieveEntries(0);
    return allReadable(probe.UnreadableContainers()) && left == 0;
}

} // namespace

// Nothing is shown: the unattended run has no one to tell.
bool DeleteAllCookies()
{
    ProcessMessages(3);
    try {
        CookieForm->IECache1->SearchPattern = spCookies;
        CookieForm->IECache1->DeleteAllEntries();
    } catch (...) {
        logIgnoredException(lcUrlCache(), "deleting the cookies");
    }
    return nothingLeft(CookieForm->IECache1->FilterOptions(), spCookies);
}

// Through the main window's own enumerator, as the cache panel empties the cache.
bool EmptyBrowserCache()
{
    TBrowsercachePanel *panel = Form1->browsercachePanel();
    panel->EmptyBrowserCache();
    return nothingLeft(panel->IECache1->FilterOptions(), spUrl);
}

namespace {

bool autostartLinkLeft()
{
    if (QFileInfo::exists(AutostartLinks::desktopEntryPath()))
        return true;
    const QString folder = AutostartLinks::startupFolder();
    if (folder.isEmpty())
        return false;
    const QString named = namedLinkFile(folder);
    return win::FileExists(folder + FixedLinkName) ||
           (!named.isEmpty() && win::FileExists(named)) ||
           !AutostartLinks::linksStarting(CompanionFiles::runningProgramPath()).isEmpty();
}

// What a step that did not do its work says; the run goes on with the next.
void stepFailed(const char *what)
{
    cleanupStatus = 1;
    std::fprintf(stderr, "navolis: %s: not done completely\n", what);
    std::fflush(stderr);
}

// Without a display nobody could close the message window: the text goes to the standard output.
// After a step that did not do its work, the message says so instead of claiming the end.
void showClosingMessage()
{
    const QString text = Qutrans::get(cleanupStatus == 0           ? 167
                                      : ReadOnlyNotice::wasGiven() ? 196
                                                                   : 197);
    if (!CommandLine::headless()) {
        ShowMessage2(text);
        return;
    }
    const QString lines = TShowMessage2Form::displayText(text);
    std::fputs(qPrintable(lines + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

} // namespace

void RunAutomaticCleanup()
{
    Form1->Timer1->stop();
    const QStringList arguments = CommandLine::arguments();
    const QString letters = arguments.isEmpty() ? QString() : arguments.first();

    Form2->showProgressDisplay(Qutrans::get(170));

    cleanupStatus = 0;
    // In a prefix where nothing may be written (a damaged registry file) every step is refused:
    // what it could not even find is not claimed as removed.
    const bool refused = writesRefusedTo(Prefix::current().root());
    const auto step = [&](char letter, const char *what, const std::function<bool()> &run) {
        if (letters.contains(QLatin1Char(letter)) && (refused || !run()))
            stepFailed(what);
    };
    setProgress(10);
    step('c', "c, the cookies", DeleteAllCookies);
    setProgress(20);
    step('b', "b, the cache of temporary files", EmptyBrowserCache);
    setProgress(60);
    step('h', "h, the history", [] {
        const bool cleared = ClearBrowserHistory();
        return allReadable(HistoryForm->UrlHistory1->UnreadableContainers()) && cleared;
    });
    setProgress(80);
    step('m', "m, the run dialog's list and the recent documents", ClearMruLists);
    setProgress(90);
    step('e', "e, the typed addresses", ClearTypedUrls);
    ProcessMessages();
    step('r', "r, the start-up shortcut",
         [] { return RemoveAutostartLinks() && !autostartLinkLeft(); });
    setProgress(100);
    if (letters.contains(QLatin1Char('n')))
        showClosingMessage();

    Form2->endProgressDisplay();
    Form1->close();
}

int AutomaticCleanupStatus()
{
    return cleanupStatus;
}
