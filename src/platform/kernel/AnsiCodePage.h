#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The Windows ANSI code page of a Western system (1252), in which the shell stores 8-bit
// strings.
namespace AnsiCodePage {

QString toUnicode(QByteArrayView bytes);

// Characters the code page lacks become '?'; `lossless` tells whether that happened.
QByteArray fromUnicode(QStringView text, bool *lossless = nullptr);

} // namespace AnsiCodePage
