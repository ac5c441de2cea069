#include "MsiecfExport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

std::pair<int, int> exportedItems(const QString &index)
{
    const QString exporter = QStandardPaths::findExecutable(QStringLiteral("msiecfexport"));
    if (exporter.isEmpty())
        return {-1, -1};
    QProcess run;
    run.start(exporter, {QStringLiteral("-m"), QStringLiteral("all"), index});
    run.waitForFinished(-1);
    const QString out = QString::fromUtf8(run.readAllStandardOutput() + run.readAllStandardError());
    const auto count = [&](const char *what) {
        const auto m =
            QRegularExpression(QStringLiteral("Number of %1: (\\d+)").arg(QLatin1String(what)))
                .match(out);
        return m.hasMatch() ? m.captured(1).toInt() : -2;
    };
    return {count("items"), count("recovered items")};
}
