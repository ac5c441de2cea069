#include "dialogs/MyTricks.h"

#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/shell/ShellExecute.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

void OpenInShell(const QString &target)
{
    const int result = platform::shellOpen(target);
    if (result > 32)
        return;
    const int text = result == win::SE_ERR_NOASSOC ? 207 : 208;
    ShowMessage2(Qutrans::get(text) + QLatin1Char('\r') + target);
}

void RunIfExists(const QString &path)
{
    if (QFileInfo::exists(path))
        OpenInShell(path);
}

void ProcessMessages(int times)
{
    for (int i = 0; i < times; ++i)
        QCoreApplication::processEvents();
}

void LetWindowsPaint()
{
    // Well under the 100 ms at which a still window looks frozen, and rare enough to cost
    // the work little.
    constexpr qint64 SliceMs = 40;
    static QElapsedTimer sinceLast;
    if (sinceLast.isValid() && sinceLast.elapsed() < SliceMs)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceLast.start();
}

QString ReadFirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray line = file.readLine(4096);
    const qsizetype end = line.indexOf('\r') >= 0 ? line.indexOf('\r') : line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    return QString::fromUtf8(line);
}

void WriteLineIfMissing(const QString &path, const QString &text)
{
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw std::runtime_error("Cannot create " + path.toStdString() + ": " +
                                 file.errorString().toStdString());
    if (file.write(text.toUtf8()) < 0 || !file.flush()) {
        // A half-written file would count as a choice made: it goes.
        const std::string reason = file.errorString().toStdString();
        file.remove();
        throw std::runtime_error("Cannot write " + path.toStdString() + ": " + reason);
    }
}
