// navolis-screenshots: pictures of windows over the target prefix, in every installed
// language, for the documentation and the reviews of a change.
//
//   navolis-screenshots OUTDIR           one child run per language
//   navolis-screenshots --language L OUTDIR
//
// Seed the prefix first (WINEPREFIX=... navolis-seed demo). Runs on Qt's offscreen platform and
// keeps the program's own language choice untouched: the companion files live in a
// temporary folder.

#include "app/Program.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "browserdata/FavoritesListView.h"
#include "i18n/Qutrans.h"
#include "panels/FavoritenPanel.h"
#include "panels/u_URLChangeForm.h"
#include "privacy/u_history.h"
#include "settings/IEPowerPanel.h"
#include "shell/BrowseForFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

bool save(QWidget *window, const QString &path)
{
    settle();
    const bool saved = window->grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

int shoot(const QString &language, const QString &outDir)
{
    Qutrans::SetLanguage(language);
    Qutrans::start();
    createWindowSet();
    prepareRun({}, [] {});
    Form1->Timer1Timer();
    const QString name = language.toLower();
    bool ok = true;

    Form1->show();
    Form1->sideButtons().at(2)->setChecked(true);
    Form1->SpeedButton3Click();
    ok &= save(Form1, outDir + "/cache-panel-" + name + ".png");

    Form1->sideButtons().at(3)->setChecked(true);
    Form1->SpeedButton4Click();
    TFavoritesListView *favourites = Form1->favoritenPanel()->favoritesList();
    const int link = favourites->FindItem(QStringLiteral("Example"), 0, true);
    favourites->setCurrentIndex(favourites->model()->index(qMax(link, 0), 0));
    Form1->favoritenPanel()->FavoritesListView1Click();
    ok &= save(Form1, outDir + "/favourites-panel-" + name + ".png");

    // A link as the keyboard leaves it: focused, in its frame, with the group around it.
    Form1->sideButtons().at(1)->setChecked(true);
    Form1->SpeedButton2Click();
    QApplication::setActiveWindow(Form1);
    if (auto *cookies = Form1->findChild<QWidget *>(QStringLiteral("Label16"))) {
        cookies->setFocus(Qt::TabFocusReason);
        ok &= save(cookies->parentWidget(), outDir + "/focused-link-" + name + ".png");
    }
    Form1->hide();

    // The download folder picker, shot while it is open and then cancelled.
    QTimer picker;
    QObject::connect(&picker, &QTimer::timeout, [&] {
        win::ShellBrowseWindow *window = Form1->iePowerPanel()->BrowseForFolderDialog1->dialog();
        if (!window || !window->isVisible())
            return;
        picker.stop();
        ok &= save(window, outDir + "/folder-picker-" + name + ".png");
        window->reject();
    });
    picker.start(20);
    Form1->iePowerPanel()->Label53Click();

    URLChangeForm->show();
    ok &= save(URLChangeForm, outDir + "/link-window-" + name + ".png");
    URLChangeForm->hide();

    HistoryForm->show();
    HistoryForm->CloseTimer->stop();
    ok &= save(HistoryForm, outDir + "/history-" + name + ".png");
    HistoryForm->hide();
    return ok ? 0 : 1;
}

// The program's companion files in a folder of their own, with the language already chosen.
bool prepareCompanionFiles(const QTemporaryDir &dir)
{
    const QString built = QCoreApplication::applicationDirPath();
    const QString program = dir.filePath("navolis");
    QFile(program).open(QIODevice::WriteOnly);
    QFile choice(dir.filePath("navolis.cho"));
    if (!choice.open(QIODevice::WriteOnly) || choice.write("1.5a") != 4)
        return false;
    choice.close();
    for (const char *file : {"navolis.t00", "clck.wav"})
        QFile::copy(built + '/' + file, dir.filePath(file));
    return qputenv("NAVOLIS_PROGRAM_PATH", QFile::encodeName(program));
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == "--language")
        return shoot(args[1], args[2]);
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: navolis-screenshots OUTDIR\n";
        return 2;
    }
    QDir().mkpath(args[0]);
    QTemporaryDir companions;
    if (!companions.isValid() || !prepareCompanionFiles(companions)) {
        QTextStream(stderr) << "cannot prepare the companion files\n";
        return 1;
    }
    int status = 0;
    for (const char *language : {"ENGLISH", "DEUTSCH"})
        status |= QProcess::execute(app.applicationFilePath(),
                                    {"--language", language, QDir(args[0]).absolutePath()});
    return status == 0 ? 0 : 1;
}
