#include "automation/Automations.h"

#include "app/CommandLine.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "browserdata/IECache.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "i18n/Qutrans.h"
#include "privacy/u_cookieForm.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

void processMessages()
{
    QCoreApplication::processEvents();
}

// Each clean-up step lets the busy window repaint first.
void processMessagesThreeTimes()
{
    for (int i = 0; i < 3; ++i)
        processMessages();
}

void setProgress(int position)
{
    Form2->ProgressBar1->setValue(position);
    processMessages();
}

} // namespace

// The start-up shortcut, the check boxes and the other clean-up steps are filled in by the
// components they work on; until then each of them leaves everything as it is.
void LoadAutomationChoices() {}
void RemoveAutostartLinks() {}
void EmptyBrowserCache() {}
void ClearBrowserHistory() {}
void ClearMruLists() {}

// Nothing is reported: the unattended run has no one to tell.
void DeleteAllCookies()
{
    processMessagesThreeTimes();
    try {
        CookieForm->IECache1->SearchPattern = spCookies;
        CookieForm->IECache1->DeleteAllEntries();
    } catch (...) {
    }
}

void RunAutomaticCleanup()
{
    Form1->Timer1->stop();
    const QStringList arguments = CommandLine::arguments();
    const QString letters = arguments.isEmpty() ? QString() : arguments.first();

    Form2->Label2->setText(Qutrans::get(170));
    Form2->Label2->setVisible(true);
    Form2->Panel1->setVisible(true);
    Form2->ProgressBar1->setRange(0, 100);
    Form2->ProgressBar1->setValue(0);
    Form2->show();

    setProgress(10);
    if (letters.contains(QLatin1Char('c')))
        DeleteAllCookies();
    setProgress(20);
    if (letters.contains(QLatin1Char('b')))
        EmptyBrowserCache();
    setProgress(60);
    if (letters.contains(QLatin1Char('h')))
        ClearBrowserHistory();
    setProgress(80);
    if (letters.contains(QLatin1Char('m')))
        ClearMruLists();
    setProgress(90);
    if (letters.contains(QLatin1Char('e')))
        ClearTypedUrls();
    processMessages();
    if (letters.contains(QLatin1Char('r')))
        RemoveAutostartLinks();
    setProgress(100);
    if (letters.contains(QLatin1Char('n')))
        ShowMessage2(Qutrans::get(167));

    Form2->Panel1->setVisible(false);
    Form2->close();
    Form1->close();
}
