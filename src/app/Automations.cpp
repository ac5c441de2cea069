#include "app/Automations.h"

#include "app/CommandLine.h"
#include "app/CompanionFiles.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "automation/AutoPanel.h"
#include "automation/AutostartLinks.h"
#include "automation/ShellLnk.h"
#include "cleanup/Cleaners.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/FileCalls.h"
#include "platform/prefix/ReadOnlyNotice.h"

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

using cleanup::FixedLinkName;

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
    TAutoPanel *panel = Form1->autoPanel();
    if (const auto letters = AutostartLinks::allPrefixesEntryLetters();
        letters && cleanup::isLetters(*letters)) {
        panel->TickLetters(*letters);
        panel->TickAllPrefixes(true);
        return;
    }
    panel->TickAllPrefixes(false);
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

namespace {

// What the start-up entries are: the shortcut's names and the program they start.
cleanup::Context cleanupContext()
{
    const QString folder = AutostartLinks::startupFolder();
    return {CompanionFiles::runningProgramPath(),
            folder.isEmpty() ? QString() : namedLinkFile(folder)};
}

bool cleanWith(char letter)
{
    return cleanup::cleanerFor(QLatin1Char(letter))
        ->run(cleanup::Mode::Clean, cleanupContext())
        .done();
}

} // namespace

bool RemoveAutostartLinks()
{
    return cleanWith('r');
}

void StoreAutomationChoice(const QString &letters)
{
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    // A closing message with nothing to clean is no automation.
    const bool cleansNothing = letters.isEmpty() || letters == QLatin1String("n");
    // The run over every prefix at login takes the place of the shown prefix's entries.
    const bool stored =
        Form1->autoPanel()->AllPrefixesChosen() && !cleansNothing
            ? RemoveAutostartLinks() && AutostartLinks::removeSinglePrefixEntries() &&
                  AutostartLinks::writeAllPrefixesEntry(
                      Qutrans::get(169), CompanionFiles::runningProgramPath(), letters)
            : AutostartLinks::removeAllPrefixesEntry() &&
                  (cleansNothing ? RemoveAutostartLinks() : CreateAutostartLink(letters));
    if (stored)
        return;
    LoadAutomationChoices();
    if (noticeBefore || !ReadOnlyNotice::wasGiven())
        ShowMessage2(Qutrans::get(210));
}

namespace {

int cleanupStatus = 0;

} // namespace

// Nothing is shown: the unattended run has no one to tell.
bool DeleteAllCookies()
{
    ProcessMessages(3);
    return cleanWith('c');
}

bool EmptyBrowserCache()
{
    ProcessMessages(3);
    return cleanWith('b');
}

namespace {

// What a step that did not do its work says, and why; the run goes on with the next.
void stepFailed(const cleanup::Cleaner &cleaner, const cleanup::Outcome &outcome)
{
    cleanupStatus = 1;
    std::fprintf(stderr, "navolis: %s\n", qPrintable(cleanup::stepReport(cleaner.letter, outcome)));
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
    const cleanup::Context context = cleanupContext();
    const auto step = [&](char letter) {
        if (!letters.contains(QLatin1Char(letter)))
            return;
        ProcessMessages(3);
        const cleanup::Cleaner &cleaner = *cleanup::cleanerFor(QLatin1Char(letter));
        const cleanup::Outcome outcome = cleaner.run(cleanup::Mode::Clean, context);
        if (!outcome.done())
            stepFailed(cleaner, outcome);
        else if (outcome.contentKept > 0 || outcome.notOverwritten > 0)
            std::fprintf(stderr, "navolis: %s\n",
                         qPrintable(cleanup::stepReport(cleaner.letter, outcome)));
    };
    setProgress(10);
    step('c');
    setProgress(20);
    step('b');
    setProgress(60);
    step('h');
    setProgress(80);
    step('m');
    setProgress(90);
    step('e');
    ProcessMessages();
    step('r');
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
