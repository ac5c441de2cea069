#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

namespace testenv {

// Points HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at a private temporary folder and
// clears WINEPREFIX, so that no test reads or writes the real home folder.
void isolateHome();

// Gives this test process a program path of its own (an empty file in the isolated home),
// so that companion files such as the language choice never meet another process's.
void isolateProgramFiles(const char *argv0);

// The home folder that isolateHome() set up.
QString home();

// The Wine 8 sample prefix shipped with the tests (read-only: copy before changing it).
QString samplePrefix();

// A Wine 8 prefix whose wininet stored URLs and file names with characters beyond ASCII, for
// the user "root" (tools/wine-checks made it).
QString nonAsciiSamplePrefix();

} // namespace testenv

// Readable Qt strings in test failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}
