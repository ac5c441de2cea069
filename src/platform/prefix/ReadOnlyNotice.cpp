#include "platform/prefix/ReadOnlyNotice.h"

#include <QMutex>

#include <cstdio>

namespace ReadOnlyNotice {

namespace {

QMutex mutex;
Handler handler;
bool given = false;

void printToStderr(const QString &prefixRoot)
{
    const QByteArray line = QStringLiteral("navolis: the Wine prefix %1 is in use by Wine; Navolis "
                                           "changes nothing in it until its Wine programs are "
                                           "closed.\n")
                                .arg(prefixRoot)
                                .toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

} // namespace

void setHandler(Handler newHandler)
{
    QMutexLocker lock(&mutex);
    handler = std::move(newHandler);
}

void report(const QString &prefixRoot)
{
    Handler current;
    {
        QMutexLocker lock(&mutex);
        if (given)
            return;
        given = true;
        current = handler;
    }
    if (current)
        current(prefixRoot);
    else
        printToStderr(prefixRoot);
}

bool wasGiven()
{
    QMutexLocker lock(&mutex);
    return given;
}

void reset()
{
    QMutexLocker lock(&mutex);
    given = false;
}

} // namespace ReadOnlyNotice
